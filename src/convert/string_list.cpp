#include "convert/string_list.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/charset.h"
#include "platform/exceptions.h"
#include "platform/file_io.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;

// The first CR or LF in [p, end), or end.
const char* FindBreak(const char* p, const char* end) {
  for (; p < end; ++p) {
    if (*p == '\r' || *p == '\n') return p;
  }
  return end;
}

// The number of lines the splitting rule makes of the bytes.
std::size_t CountLines(const char* p, const char* end) {
  std::size_t count = 0;
  while (p < end) {
    p = FindBreak(p, end);
    ++count;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
  return count;
}

}  // namespace

std::size_t TStringList::Slot(int32_t index) const {
  if (index < 0 || index >= Count()) {
    throw EStringListError(LocalText("リストのインデックスが範囲を超えています (") +
                           std::to_string(index) + ")");
  }
  const std::size_t i = static_cast<std::size_t>(index);
  return i < gap_begin_ ? i : i + GapSize();
}

void TStringList::MoveGapTo(std::size_t position) {
  if (position < gap_begin_) {
    const std::size_t n = gap_begin_ - position;
    std::memmove(&lines_[gap_end_ - n], &lines_[position], n * sizeof(Line));
    gap_begin_ -= n;
    gap_end_ -= n;
  } else if (position > gap_begin_) {
    const std::size_t n = position - gap_begin_;
    std::memmove(&lines_[gap_begin_], &lines_[gap_end_], n * sizeof(Line));
    gap_begin_ += n;
    gap_end_ += n;
  }
}

const char* TStringList::Store(std::string_view text) {
  if (text.size() > chunk_size_ - chunk_used_) {
    const std::size_t size = std::max(kChunk, text.size());
    chunks_.emplace_back(new char[size]);
    chunk_size_ = size;
    chunk_used_ = 0;
  }
  char* at = chunks_.back().get() + chunk_used_;
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  chunk_used_ += text.size();
  return at;
}

void TStringList::SetStrings(int32_t index, std::string_view text) {
  Line& line = lines_[Slot(index)];
  line = {Store(text), text.size()};
}

void TStringList::Delete(int32_t index) {
  Slot(index);  // the index check
  MoveGapTo(static_cast<std::size_t>(index));
  ++gap_end_;
}

void TStringList::Add(std::string_view text) {
  MoveGapTo(static_cast<std::size_t>(Count()));
  if (gap_begin_ == gap_end_) {
    lines_.push_back({Store(text), text.size()});
    gap_begin_ = gap_end_ = lines_.size();
    return;
  }
  lines_[gap_begin_++] = {Store(text), text.size()};
}

void TStringList::Clear() {
  lines_.clear();
  gap_begin_ = gap_end_ = 0;
  text_.reset();
  loaded_ = false;
  chunks_.clear();
  chunk_used_ = chunk_size_ = 0;
}

void TStringList::SetText(std::unique_ptr<char[]> data, std::size_t size) {
  const char* p = data.get();
  const char* const end = p + size;
  const std::size_t count = CountLines(p, end);
  if (count > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw EReadError(LocalText("行数が多すぎます"));
  }
  std::vector<Line> lines;
  lines.reserve(count);
  while (p < end) {
    const char* stop = FindBreak(p, end);
    lines.push_back({p, static_cast<std::size_t>(stop - p)});
    p = stop;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
  Clear();
  lines_ = std::move(lines);
  gap_begin_ = gap_end_ = lines_.size();
  text_ = std::move(data);
}

void TStringList::LoadFromFile(const std::string& name) {
  FileBytes bytes = ReadWholeFile(name);
  if (std::memchr(bytes.data.get(), '\0', bytes.size)) {
    throw EFOpenError(LocalText("ファイル ") + name + LocalText(" は開けません"));
  }
  SetText(std::move(bytes.data), bytes.size);
  loaded_ = true;
  identity_ = bytes.identity;
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
    const int32_t count = Count();
    for (int32_t i = 0; i < count; ++i) {
      const std::string_view line = Strings(i);
      sink.Write(line.data(), line.size());
      sink.Write("\r\n", 2);
    }
  }, loaded_ ? &identity_ : nullptr);
}
