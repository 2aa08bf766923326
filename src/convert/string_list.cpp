#include "convert/string_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "convert/line_splitter.h"
#include "platform/charset.h"
#include "platform/exceptions.h"
#include "platform/file_errors.h"
#include "platform/file_io.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kLongestRun = std::size_t{8} << 20;

// p points into the size bytes at begin (compared as addresses: p may come
// from another block).
bool Within(const char* p, const char* begin, std::size_t size) {
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const auto low = reinterpret_cast<std::uintptr_t>(begin);
  return at >= low && at - low < size;
}

}  // namespace

void TStringList::RaiseIndexError(int32_t index) {
  throw EStringListError(LocalText("リストのインデックスが範囲を超えています (") +
                         std::to_string(index) + ")");
}

std::ptrdiff_t TStringList::SpanTextOffset(Line line) const {
  const Span& span = spans_[line & ~kSpanFlag];
  if (!Within(span.data, text_.get(), text_size_)) return -1;
  return span.data - text_.get();
}

TStringList::Line TStringList::MakeSpanLine(const char* data, std::size_t size,
                                             const Line* previous) {
  if (previous && (*previous & kSpanFlag)) {
    spans_[*previous & ~kSpanFlag] = {data, size};
    return *previous;
  }
  spans_.push_back({data, size});
  return kSpanFlag | (spans_.size() - 1);
}

std::size_t TStringList::WritableEnd(int32_t index, std::size_t offset, std::size_t size) const {
  const std::size_t end = offset + size;
  if (index == Count() - 1) return text_size_;  // no later line lies in the text
  const std::ptrdiff_t next = TextOffset(lines_[Slot(index + 1)]);
  return next >= 0 && static_cast<std::size_t>(next) >= end ? static_cast<std::size_t>(next) : end;
}

void TStringList::MoveGapTo(std::size_t position) {
  // The scan moves the gap by a few lines at a time: a plain loop beats a
  // call of memmove there.
  const auto move = [](Line* to, const Line* from, std::size_t n) {
    if (n > 16) {
      std::memmove(to, from, n * sizeof(Line));
    } else if (to > from) {
      while (n--) to[n] = from[n];
    } else {
      for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
  };
  if (position < gap_begin_) {
    const std::size_t n = gap_begin_ - position;
    move(&lines_[gap_end_ - n], &lines_[position], n);
    gap_begin_ -= n;
    gap_end_ -= n;
  } else if (position > gap_begin_) {
    const std::size_t n = position - gap_begin_;
    move(&lines_[gap_begin_], &lines_[gap_end_], n);
    gap_begin_ += n;
    gap_end_ += n;
  }
}

char* TStringList::Allocate(std::size_t size) {
  if (chunks_.empty() || size > chunk_size_ - chunk_used_) {
    const std::size_t bytes = std::max(kChunk, size);
    chunks_.emplace_back(new char[bytes]);
    chunk_size_ = bytes;
    chunk_used_ = 0;
  }
  char* at = chunks_.back().get() + chunk_used_;
  chunk_used_ += size;
  return at;
}

void TStringList::GrowSpans() { spans_.reserve(spans_.size() * 2 + 16); }

void TStringList::SetStrings(int32_t index, std::string_view text) {
  const std::size_t slot = Slot(index);
  ReserveSpan();  // nothing fails once the old bytes are written over
  const std::ptrdiff_t offset = TextOffset(lines_[slot]);
  if (offset >= 0) {
    const auto start = static_cast<std::size_t>(offset);
    const std::size_t end = WritableEnd(index, start, View(lines_[slot]).size());
    if (text.size() <= end - start) {
      char* at = text_.get() + start;
      if (!text.empty()) std::memmove(at, text.data(), text.size());
      lines_[slot] = MakeLine(at, text.size(), &lines_[slot]);
      return;
    }
  }
  char* at = Allocate(text.size());
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  lines_[slot] = MakeLine(at, text.size(), &lines_[slot]);
}

void TStringList::JoinWithNext(int32_t index, std::string_view head, char separator) {
  const std::size_t slot = Slot(index);
  const std::size_t next_slot = Slot(index + 1);
  ReserveSpan();  // nothing fails once the old bytes are written over
  const std::string_view next = View(lines_[next_slot]);
  const std::size_t prefix = head.size() + 1;
  const std::ptrdiff_t offset = TextOffset(lines_[slot]);
  const std::ptrdiff_t next_offset = TextOffset(lines_[next_slot]);
  char* at;
  if (offset >= 0 && next_offset >= offset &&
      static_cast<std::size_t>(next_offset - offset) >= prefix) {
    // The joined line ends where the next line ends; head and the separator
    // go over the old line and its break, right before the next line's bytes.
    at = text_.get() + next_offset - static_cast<std::ptrdiff_t>(prefix);
    if (!head.empty()) std::memmove(at, head.data(), head.size());
    at[head.size()] = separator;
  } else {
    at = Allocate(prefix + next.size());
    if (!head.empty()) std::memcpy(at, head.data(), head.size());
    at[head.size()] = separator;
    if (!next.empty()) std::memcpy(at + prefix, next.data(), next.size());
  }
  lines_[slot] = MakeLine(at, prefix + next.size(), &lines_[slot]);
  MoveGapTo(static_cast<std::size_t>(index) + 1);  // Delete(index + 1), its index checked above
  ++gap_end_;
}

void TStringList::Delete(int32_t index) {
  Slot(index);  // the index check
  MoveGapTo(static_cast<std::size_t>(index));
  ++gap_end_;
}

void TStringList::Add(std::string_view text) {
  MoveGapTo(static_cast<std::size_t>(Count()));
  char* at = Allocate(text.size());
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  const Line line = MakeLine(at, text.size());
  if (gap_begin_ == gap_end_) {
    lines_.push_back(line);
    gap_begin_ = gap_end_ = lines_.size();
    return;
  }
  lines_[gap_begin_++] = line;
}

void TStringList::Clear() {
  lines_ = LineArray();
  gap_begin_ = gap_end_ = 0;
  text_.reset();
  text_size_ = 0;
  std::vector<Span>().swap(spans_);
  loaded_ = false;
  file_.reset();
  chunks_.clear();
  chunk_used_ = chunk_size_ = 0;
}

void TStringList::SetText(std::unique_ptr<char[]> data, std::size_t size) {
  ReplaceText(std::move(data), size, false);
}

bool TStringList::ReplaceText(std::unique_ptr<char[]> data, std::size_t size, bool refuse_nul) {
  const char* const text = data.get();
  LineArray lines;
  std::vector<Span> spans;
  lines.Reserve(size / 32 + 16);  // a guess; realloc grows it cheaply
  Line* out = lines.data();
  std::size_t count = 0, capacity = lines.capacity();
  std::size_t line_start = 0;
  const auto add = [&](std::size_t end) {
    if (count == capacity) [[unlikely]] {
      lines.Reserve(capacity * 2);
      out = lines.data();
      capacity = lines.capacity();
    }
    const std::size_t length = end - line_start;
    if (line_start <= kMaxPackedOffset && length <= kMaxPackedLength) [[likely]] {
      out[count++] = (Line{line_start} << kLengthBits) | length;
    } else {
      spans.push_back({text + line_start, length});
      out[count++] = kSpanFlag | (spans.size() - 1);
    }
  };
  const bool nul = SplitLines(text, size, [&](std::size_t end, std::size_t next) {
    add(end);
    line_start = next;
  });
  if (line_start < size) add(size);
  lines.Resize(count);
  if (refuse_nul && nul) return false;
  if (lines.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw EReadError(LocalText("行数が多すぎます"));
  }
  Clear();
  lines_ = std::move(lines);
  spans_ = std::move(spans);
  gap_begin_ = gap_end_ = lines_.size();
  text_ = std::move(data);
  text_size_ = size;
  return true;
}

void TStringList::LoadFromFile(const std::string& name) {
  file_.reset();  // the previous file's hold goes before the next is opened
  FileBytes bytes = ReadWholeFile(name);
  // A UTF-16 text starts with its byte-order mark, which no text in a
  // single- or multi-byte charset does; without NUL bytes (CJK only) it
  // would pass the NUL check and be split at its 0x0A bytes.
  const bool utf16 = bytes.size >= 2 && ((bytes.data[0] == '\xFF' && bytes.data[1] == '\xFE') ||
                                         (bytes.data[0] == '\xFE' && bytes.data[1] == '\xFF'));
  if (utf16 || !ReplaceText(std::move(bytes.data), bytes.size, true)) {
    throw EFOpenError(OpenErrorMessage(name));
  }
  loaded_ = true;
  identity_ = bytes.identity;
  file_ = std::move(bytes.file);
}

void TStringList::LoadFromFileUpToNul(const std::string& name) {
  FileBytes bytes = ReadWholeFile(name);
  const void* nul = std::memchr(bytes.data.get(), '\0', bytes.size);
  const std::size_t size = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) -
                                                          bytes.data.get())
                               : bytes.size;
  SetText(std::move(bytes.data), size);
}

void TStringList::SaveToFile(const std::string& name) const {
  ReplaceFileContent(name, [this](BlockSink& sink) {
    // Lines that lie one after the other in the loaded text, each followed
    // there by CR LF, go out as one run of bytes: [run, run_end) of the text.
    // A run ends after some megabytes, as one write of hundreds of them can
    // be slower than the same bytes in parts.
    const char* const text = text_.get();
    std::size_t run = 0, run_end = 0;
    const auto flush = [&] {
      if (run_end > run) sink.Write(text + run, run_end - run);
      run = run_end;
    };
    const auto put = [&](Line line) {
      if (!(line & kSpanFlag)) {
        const std::size_t start = line >> kLengthBits;
        const std::size_t end = start + (line & ((Line{1} << kLengthBits) - 1));
        if (text_size_ - end >= 2 && text[end] == '\r' && text[end + 1] == '\n') {
          if (start != run_end || run_end - run >= kLongestRun) {
            flush();
            run = start;
          }
          run_end = end + 2;
          return;
        }
      }
      flush();
      const std::string_view bytes = View(line);
      sink.Write(bytes.data(), bytes.size());
      sink.Write("\r\n", 2);
    };
    for (std::size_t i = 0; i < gap_begin_; ++i) put(lines_[i]);
    for (std::size_t i = gap_end_; i < lines_.size(); ++i) put(lines_[i]);
    flush();
  }, loaded_ ? &identity_ : nullptr, loaded_ ? file_.get() : nullptr);
}
