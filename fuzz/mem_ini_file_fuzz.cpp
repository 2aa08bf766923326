// Random settings files through the INI reader (from a temporary file, read
// by its path): it never fails on content; CR LF, lone CR
// and lone LF read alike; nothing after a NUL counts; a value found is the
// rest of a line of the file after its first '='; and for ASCII files every
// answer equals that of a plain reference reader.
//
// Input: the file's bytes. Besides the two keys the run reads, the queries
// take the first section name and the first key name the file holds, once as
// written and once in upper case.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/mem_ini_file.h"
#include "support/reference_lines.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}


std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

// The reader's rules in their plainest form, for ASCII text: the text ends
// at a NUL; lines starting with ';' and empty lines are skipped; "[name]" starts a
// section; the first section of the name is searched for the first line
// whose text before its first '=' is the key.
std::string Reference(std::string_view bytes, std::string_view section, std::string_view key,
                      std::string_view fallback) {
  bytes = bytes.substr(0, bytes.find('\0'));
  bool in_section = false, seen_section = false;
  for (const std::string& line : ReferenceLines(bytes)) {
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      if (in_section) break;
      in_section = !seen_section && SameIgnoringAsciiCase(line.substr(1, line.size() - 2), section);
      seen_section = seen_section || in_section;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (in_section && eq != std::string::npos &&
        SameIgnoringAsciiCase(std::string_view(line).substr(0, eq), key)) {
      return line.substr(eq + 1);
    }
  }
  return std::string(fallback);
}

// One file for the whole run, rewritten for each input. (The reader refuses
// a /proc/self/fd path of a file in memory: it names no file.)
class MemoryFile {
 public:
  MemoryFile() : path_(MakePath()), fd_(::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600)) {
    Check(fd_ >= 0);
  }
  ~MemoryFile() { ::unlink(path_.c_str()); }
  const std::string& Path() const { return path_; }
  void Fill(std::string_view bytes) const {
    Check(ftruncate(fd_, 0) == 0);
    Check(pwrite(fd_, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
  }

 private:
  static std::string MakePath() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/mem_ini_file_fuzz-" +
           std::to_string(::getpid()) + ".ini";
  }
  std::string path_;
  int fd_;
};

using Query = std::pair<std::string, std::string>;

std::vector<std::string> Answers(const MemoryFile& file, std::string_view bytes,
                                 const std::vector<Query>& queries) {
  file.Fill(bytes);
  const TMemIniFile ini(file.Path());
  std::vector<std::string> answers;
  for (const Query& q : queries) answers.push_back(ini.ReadString(q.first, q.second, "\x01"));
  return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const MemoryFile file;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::vector<Query> queries = {{"DateTime", "Format"}, {"Separate", "Separator"}};
  std::string section, key;
  for (const std::string& line : ReferenceLines(bytes.substr(0, bytes.find('\0')))) {
    if (section.empty() && line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (!section.empty() && line.find('=') != std::string::npos && line[0] != ';') {
      key = line.substr(0, line.find('='));
      break;
    }
  }
  queries.push_back({section, key});
  queries.push_back({Upper(section), Upper(key)});

  const std::vector<std::string> answers = Answers(file, bytes, queries);

  // Every value found is the tail of a line after its first '='.
  const std::vector<std::string> lines = ReferenceLines(bytes.substr(0, bytes.find('\0')));
  for (const std::string& answer : answers) {
    if (answer == "\x01") continue;
    bool found = false;
    for (const std::string& line : lines) {
      const std::size_t eq = line.find('=');
      found = found || (eq != std::string::npos && line.compare(eq + 1, std::string::npos, answer) == 0);
    }
    Check(found);
  }

  // The same lines with other breaks, or other bytes after a NUL, read alike.
  std::string lf;
  for (const std::string& line : lines) lf += line + "\n";
  std::string cr = lf;
  for (char& c : cr) c = c == '\n' ? '\r' : c;
  Check(Answers(file, lf, queries) == answers);
  Check(Answers(file, cr, queries) == answers);
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string::npos) {
    Check(Answers(file, bytes.substr(0, nul) + std::string(1, '\0') + "\n[DateTime]\nFormat=x\n",
                  queries) == answers);
  }

  bool ascii = true;
  for (unsigned char c : bytes) ascii = ascii && c < 0x80;
  if (ascii) {
    for (std::size_t i = 0; i < queries.size(); ++i) {
      Check(answers[i] == Reference(bytes, queries[i].first, queries[i].second, "\x01"));
    }
  }
  return 0;
}
