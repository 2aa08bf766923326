#include "app/mem_ini_file.h"

#include "convert/string_list.h"
#include "platform/file_io.h"
#include "text/text_case.h"

TMemIniFile::TMemIniFile(const std::string& path) {
  if (!ExistsAndIsNoFolder(path)) return;
  TStringList lines;
  lines.LoadFromFileUpToNul(path);
  Section* current = nullptr;
  for (int32_t i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.Strings(i);
    // Editors on Windows start a UTF-8 file with a byte-order mark; read as
    // part of the first line, it would hide the first section.
    if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      sections_.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      current = &sections_.back();
    } else if (current) {
      current->lines.emplace_back(line);
    }
  }
}

std::string TMemIniFile::ReadString(std::string_view Section, std::string_view Key,
                                    std::string_view Default) const {
  for (const auto& section : sections_) {
    if (!EqualIgnoringCase(section.name, Section)) continue;
    for (const std::string& line : section.lines) {
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos && EqualIgnoringCase(std::string_view(line).substr(0, eq), Key)) {
        return line.substr(eq + 1);
      }
    }
    break;  // only the first section of that name is searched
  }
  return std::string(Default);
}
