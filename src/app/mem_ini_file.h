// TMemIniFile: a settings file held in memory as sections of verbatim lines,
// read once when created and never written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TMemIniFile {
 public:
  // Reads the file; a UTF-8 byte-order mark at its start is skipped. No
  // file of that name (or a directory, or an empty name) gives an empty
  // reader; a file that exists but cannot be opened raises EFOpenError.
  explicit TMemIniFile(const std::string& path);

  // The rest of the first matching key's line after its first '=', or
  // Default when the section or the key is not there. Section and key names
  // compare without regard to case; nothing is trimmed.
  std::string ReadString(std::string_view Section, std::string_view Key,
                         std::string_view Default) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::string> lines;
  };
  std::vector<Section> sections_;
};
