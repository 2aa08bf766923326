// TStringList: the run's list of lines, indexed from 0. A loaded file stays in
// one block of memory and each line is an 8-byte record of where its bytes
// lie in it. A replaced line is written over its old bytes when it fits
// there, else stored in an arena of large chunks. Deleted lines leave a gap
// that follows the deletions, so the bottom-up scan (which deletes just below
// its position) costs time in proportion to the list, not to its square.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/line_array.h"
#include "platform/file_io.h"

class TStringList {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(lines_.size() - GapSize()); }

  // The line's bytes, valid until the list is next changed. An index below 0
  // or not below Count raises EStringListError.
  std::string_view Strings(int32_t index) const { return View(lines_[Slot(index)]); }

  // Replaces one line; no other line moves. text may be a line of this list.
  void SetStrings(int32_t index, std::string_view text);

  // Removes one line; every later line moves up by one place.
  void Delete(int32_t index);

  // Line index becomes head, the separator byte and line index + 1, which is
  // then deleted: SetStrings(index, head + separator + Strings(index + 1))
  // followed by Delete(index + 1), in one step. When line index lies just
  // before the next one in the loaded bytes and head and separator fit in
  // its place (a rewritten time stamp over the old one and its line break),
  // nothing is copied but head. head may be a line of this list.
  void JoinWithNext(int32_t index, std::string_view head, char separator);

  void Add(std::string_view text);
  void Clear();

  // Replaces all lines with the lines of the bytes: CR LF, a lone CR and a
  // lone LF each end a line, and the end of the data adds no line. The list
  // takes ownership of the bytes.
  void SetText(std::unique_ptr<char[]> data, std::size_t size);

  // Replaces all lines with those of the named file. A file that cannot be
  // opened, is no regular file, holds a NUL byte or starts with a UTF-16
  // byte-order mark (no text in the user's charset) raises EFOpenError and
  // leaves the list as it was.
  void LoadFromFile(const std::string& name);

  // Like LoadFromFile, but a NUL byte ends the text: nothing after it is read.
  void LoadFromFileUpToNul(const std::string& name);

  // Writes every line followed by CR LF over the named file, replacing it
  // only once the whole text is safely written (see ReplaceFileContent).
  // When the lines were loaded from a file and that file was changed by
  // someone else since, nothing is written and EFCreateError is raised.
  void SaveToFile(const std::string& name) const;

 private:
  // A line of the loaded text that starts below 512 GiB and is shorter than
  // 16 MiB is its offset (bits 24-62) and length (bits 0-23). Any other line
  // (one in the arena, or too long or too far) has bit 63 set and the index
  // of its span in spans_ below it. Lines in the loaded text stay in the
  // file's order and never overlap, so the bytes from a line's start to the
  // start of the next line are its own to write over.
  using Line = LineRecord;
  struct Span {
    const char* data;
    std::size_t size;
  };
  static constexpr Line kSpanFlag = Line{1} << 63;
  static constexpr int kLengthBits = 24;
  static constexpr std::size_t kMaxPackedLength = (std::size_t{1} << kLengthBits) - 1;
  static constexpr std::size_t kMaxPackedOffset = (std::size_t{1} << 39) - 1;

  std::string_view View(Line line) const {
    if (line & kSpanFlag) {
      const Span& span = spans_[line & ~kSpanFlag];
      return {span.data, span.size};
    }
    return {text_.get() + (line >> kLengthBits), line & ((Line{1} << kLengthBits) - 1)};
  }
  // Where the line starts in the loaded text, or -1 when it lies elsewhere.
  std::ptrdiff_t TextOffset(Line line) const {
    if (line & kSpanFlag) return SpanTextOffset(line);
    return static_cast<std::ptrdiff_t>(line >> kLengthBits);
  }
  std::ptrdiff_t SpanTextOffset(Line line) const;
  // The record of bytes; reuses the span of *previous when it has one.
  // Raises std::bad_alloc only when no span was reserved.
  Line MakeLine(const char* data, std::size_t size, const Line* previous = nullptr) {
    const auto offset = reinterpret_cast<std::uintptr_t>(data) -
                        reinterpret_cast<std::uintptr_t>(text_.get());  // wraps when before it
    if (offset < text_size_ && offset <= kMaxPackedOffset && size <= kMaxPackedLength) {
      return (Line{offset} << kLengthBits) | size;
    }
    return MakeSpanLine(data, size, previous);
  }
  Line MakeSpanLine(const char* data, std::size_t size, const Line* previous);
  // Room for one more span, so that the next MakeLine cannot fail.
  void ReserveSpan() {
    if (spans_.size() == spans_.capacity()) GrowSpans();
  }
  void GrowSpans();
  std::size_t GapSize() const { return gap_end_ - gap_begin_; }
  // The slot of a line index; raises EStringListError outside the list.
  std::size_t Slot(int32_t index) const {
    if (index < 0 || index >= Count()) [[unlikely]] RaiseIndexError(index);
    const auto i = static_cast<std::size_t>(index);
    return i < gap_begin_ ? i : i + GapSize();
  }
  [[noreturn]] static void RaiseIndexError(int32_t index);
  // The end of the loaded bytes that line index (at offset, of size bytes)
  // may be written over: the end of the text for the last line, the start
  // of the next line when that lies in the text, else the line's own end.
  std::size_t WritableEnd(int32_t index, std::size_t offset, std::size_t size) const;
  void MoveGapTo(std::size_t position);
  // SetText; but when refuse_nul is set and the bytes hold a NUL byte,
  // nothing changes and the result is false.
  bool ReplaceText(std::unique_ptr<char[]> data, std::size_t size, bool refuse_nul);
  char* Allocate(std::size_t size);  // in the arena

  LineArray lines_;                // lines, with the gap [gap_begin_, gap_end_)
  std::size_t gap_begin_ = 0;
  std::size_t gap_end_ = 0;
  std::unique_ptr<char[]> text_;   // the loaded bytes, the home of most lines
  std::size_t text_size_ = 0;
  std::vector<Span> spans_;        // lines that cannot be packed
  bool loaded_ = false;            // the lines came from a file of this identity:
  FileIdentity identity_;
  std::shared_ptr<LoadedFile> file_;  // and the platform's hold on it until the save
  std::vector<std::unique_ptr<char[]>> chunks_;  // replaced lines that did not fit in place
  std::size_t chunk_used_ = 0;
  std::size_t chunk_size_ = 0;
};
