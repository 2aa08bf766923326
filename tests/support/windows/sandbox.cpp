#include "support/windows/sandbox.h"

#include <algorithm>
#include <stdexcept>

#include "platform/windows/handle.h"
#include "platform/windows/win32.h"

namespace {

// Removes the folder and everything in it, read-only files too.
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

Sandbox::Sandbox() {
  char temp[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) throw std::runtime_error("no temporary folder");
  std::string base(temp, n);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  for (unsigned attempt = 0;; ++attempt) {
    dir_ = base + "\\logstamp-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(attempt);
    if (CreateDirectoryA(dir_.c_str(), nullptr)) break;
    if (attempt == 100) throw std::runtime_error("cannot create " + dir_);
  }
  if (!CopyFileA(LOGSTAMP_EXE, Path("logstamp.exe").c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " LOGSTAMP_EXE);
  }
}

Sandbox::~Sandbox() { RemoveTree(dir_); }

void Sandbox::Write(const std::string& name, const std::string& bytes) const {
  Handle file(CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid() || !WriteAll(file.Get(), bytes.data(), bytes.size())) {
    throw std::runtime_error("cannot write " + name);
  }
}

std::string Sandbox::Read(const std::string& name) const {
  Handle file(CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file.Valid()) return bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(file.Get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  return bytes;
}

bool Sandbox::Exists(const std::string& name) const {
  return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Sandbox::MakeFolder(const std::string& name) const {
  if (!CreateDirectoryA(Path(name).c_str(), nullptr)) {
    throw std::runtime_error("cannot create folder " + name);
  }
}

std::vector<std::string> Sandbox::List(const std::string& folder) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const std::string dir = folder.empty() ? dir_ : Path(folder);
  const HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

RunResult Sandbox::Run(const std::vector<std::string>& args) const {
  std::string line;
  for (const std::string& arg : args) {
    line += ' ';
    line += QuoteArgument(arg);
  }
  return RunCommandLine(line);
}

RunResult Sandbox::RunCommandLine(const std::string& arguments) const {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("no pipe");
  Handle reader(readEnd), writer(writeEnd);
  SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
  Handle nul(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherit, OPEN_EXISTING, 0, nullptr));

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul.Get();
  startup.hStdOutput = nul.Get();
  startup.hStdError = writer.Get();
  const std::string program = Path("logstamp.exe");
  std::string command = QuoteArgument(program) + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      dir_.c_str(), &startup, &process)) {
    throw std::runtime_error("cannot start " + program);
  }
  Handle child(process.hProcess), thread(process.hThread);
  writer.Reset();  // the child's copy is the only writer left

  RunResult result;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(reader.Get(), buf, sizeof buf, &got, nullptr) && got > 0) result.err.append(buf, got);
  WaitForSingleObject(child.Get(), INFINITE);
  GetExitCodeProcess(child.Get(), &result.exit_code);
  return result;
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    const char c = argument[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < argument.size()) {  // with its trail byte
      quoted.append(backslashes, '\\');
      backslashes = 0;
      quoted += c;
      quoted += argument[++i];
      continue;
    }
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // before the closing quote
  return quoted + "\"";
}

bool RunningUnderWine() { return !WineVersion().empty(); }

std::string WineVersion() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll) return {};
  using Version = const char*(CDECL*)();
  const auto get = reinterpret_cast<Version>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  return get ? get() : "";
}
