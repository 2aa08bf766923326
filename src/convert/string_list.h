// TStringList: the run's list of lines, indexed from 0. A loaded file stays in
// one block of memory and each line is a span into it; a line that is
// replaced is stored in an arena of large chunks. Deleted lines leave a gap
// that follows the deletions, so the bottom-up scan (which deletes just below
// its position) costs time in proportion to the list, not to its square.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

  void Add(std::string_view text);
  void Clear();

  // Replaces all lines with the lines of the bytes: CR LF, a lone CR and a
  // lone LF each end a line, and the end of the data adds no line. The list
  // takes ownership of the bytes.
  void SetText(std::unique_ptr<char[]> data, std::size_t size);

  // Replaces all lines with those of the named file. A file that cannot be
  // opened, is no regular file, or holds a NUL byte (no text in the user's
  // charset) raises EFOpenError and leaves the list as it was.
  void LoadFromFile(const std::string& name);

  // Like LoadFromFile, but a NUL byte ends the text: nothing after it is read.
  void LoadFromFileUpToNul(const std::string& name);

  // Writes every line followed by CR LF over the named file, replacing it
  // only once the whole text is safely written (see ReplaceFileContent).
  // When the lines were loaded from a file and that file was changed by
  // someone else since, nothing is written and EFCreateError is raised.
  void SaveToFile(const std::string& name) const;

 private:
  struct Line {
    const char* data;
    std::size_t size;
  };

  static std::string_view View(const Line& line) { return {line.data, line.size}; }
  std::size_t GapSize() const { return gap_end_ - gap_begin_; }
  // The slot of a line index; raises EStringListError outside the list.
  std::size_t Slot(int32_t index) const;
  void MoveGapTo(std::size_t position);
  const char* Store(std::string_view text);

  std::vector<Line> lines_;        // lines, with the gap [gap_begin_, gap_end_)
  std::size_t gap_begin_ = 0;
  std::size_t gap_end_ = 0;
  std::unique_ptr<char[]> text_;   // the loaded bytes the spans point into
  bool loaded_ = false;            // the lines came from a file of this identity:
  FileIdentity identity_;
  std::vector<std::unique_ptr<char[]>> chunks_;  // replaced lines
  std::size_t chunk_used_ = 0;
  std::size_t chunk_size_ = 0;
};
