#include "child_process.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/error.h"
#include "platform/win32/windows_api.h"

namespace TestSupport {
namespace {

constexpr uint32_t kPollMs = 10;
// How long a Unix child's shell may take to report the child's number.
constexpr uint32_t kPidReportLimitMs = 5000;

// Wine's own exports for converting between its paths and the Unix ones; absent on Windows.
using UnixFileNameFunction = char*(__cdecl*)(const wchar_t*);
using DosFileNameFunction = wchar_t*(__cdecl*)(const char*);

template <typename Function>
Function WineFunction(const char* name) {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                : nullptr;
}

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(length - 1));
  return narrow;
}

// The Windows name Wine gives a Unix path (empty outside Wine).
std::string WineDosPath(const std::string& unixPath) {
  const auto convert = WineFunction<DosFileNameFunction>("wine_get_dos_file_name");
  if (!convert) return {};
  wchar_t* dos = convert(unixPath.c_str());
  if (!dos) return {};
  std::string result = Narrow(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

// One argument as the C run-time (and Wine, for a Unix child) splits a command line again:
// backslashes count only before a quote.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
    return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, '\\');
  quoted.push_back('"');
  return quoted;
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = Quoted(program);
  for (const std::string& argument : arguments) line += " " + Quoted(argument);
  return line;
}

bool IsUnixProgram(const std::string& program) {
  const HANDLE file = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char magic[4] = {};
  DWORD read = 0;
  const bool elf = ReadFile(file, magic, sizeof magic, &read, nullptr) && read == sizeof magic &&
                   std::string(magic, sizeof magic) ==
                       "\x7F"
                       "ELF";
  CloseHandle(file);
  return elf;
}

std::optional<int> ReadNumber(const std::string& path) {
  std::ifstream file(path);
  int value = 0;
  if (file >> value) return value;
  return std::nullopt;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A scratch folder of this process's own for one Unix child's reports.
// Process numbers come round again, and a test program that was killed leaves its folders
// behind: a name already taken is passed over.
std::string NewReportFolder() {
  static std::atomic<unsigned> counter{0};
  char temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) return {};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::ostringstream name;
    name << temp << "zantel-process-" << GetCurrentProcessId() << "-" << counter++;
    if (CreateDirectoryA(name.str().c_str(), nullptr)) return name.str();
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

}  // namespace

struct CChildProcess::State {
  HANDLE handle = nullptr;  // a Windows child
  std::string reports;      // a Unix child under Wine: the folder its shell reports to
  std::optional<int> status;

  ~State() {
    if (handle) CloseHandle(handle);
    if (!reports.empty()) {
      DeleteFileA((reports + "\\pid").c_str());
      DeleteFileA((reports + "\\status").c_str());
      DeleteFileA((reports + "\\status.part").c_str());
      RemoveDirectoryA(reports.c_str());
    }
  }

  void Poll() {
    if (status) return;
    if (handle) {
      DWORD code = 0;
      if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(handle, &code))
        status = static_cast<int>(code);
    } else if (Exists(reports + "\\status")) {
      status = ReadNumber(reports + "\\status").value_or(-1);
    }
  }
};

namespace {

bool Launch(const std::string& commandLine, const std::string& workingFolder,
            PROCESS_INFORMATION& info) {
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                        &info) != 0;
}

// Wine starts a Unix program without a Windows process: it gives no process handle, and what
// it leaves in the thread's is no handle of ours (closing it closed another of this program's,
// such as a registry key). Only a Windows child's thread handle is ours to close.
void CloseThreadHandle(const PROCESS_INFORMATION& info) {
  if (info.hProcess && info.hThread) CloseHandle(info.hThread);
}

// The shell reports the child's number at once and its exit status (128 + the signal for a
// killed one) when it ends; the status file appears whole, renamed into place.
constexpr const char* kReportingShell =
    "r=$1; shift; \"$@\" & echo $! > \"$r/pid\"; wait $!; echo $? > \"$r/status.part\"; "
    "mv \"$r/status.part\" \"$r/status\"";

}  // namespace

CChildProcess::CChildProcess() = default;
CChildProcess::CChildProcess(CChildProcess&& other) noexcept = default;

CChildProcess& CChildProcess::operator=(CChildProcess&& other) noexcept {
  if (this != &other) {
    Kill();
    m_state = std::move(other.m_state);
  }
  return *this;
}

CChildProcess::~CChildProcess() { Kill(); }

CChildProcess CChildProcess::Start(const std::string& program,
                                   const std::vector<std::string>& arguments,
                                   const std::string& workingFolder) {
  CChildProcess process;
  auto state = std::make_unique<State>();
  std::string commandLine;
  if (IsUnixProgram(program)) {
    const std::string shell = WineDosPath("/bin/sh");
    const std::string unixProgram = NativeSystemPath(program);
    state->reports = NewReportFolder();
    const std::string unixReports = NativeSystemPath(state->reports);
    if (shell.empty() || unixProgram.empty() || state->reports.empty() || unixReports.empty()) {
      Platform::SetLastError(Platform::kErrorNotSupported);
      return process;
    }
    std::vector<std::string> shellArguments{"-c", kReportingShell, "zantel-process", unixReports,
                                            unixProgram};
    shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
    commandLine = CommandLine(shell, shellArguments);
  } else {
    commandLine = CommandLine(program, arguments);
  }
  PROCESS_INFORMATION info{};
  if (!Launch(commandLine, workingFolder, info)) {
    Platform::SetLastError(GetLastError());
    return process;
  }
  CloseThreadHandle(info);
  state->handle = info.hProcess;
  if (!state->handle && state->reports.empty()) {
    Platform::SetLastError(Platform::kErrorNotSupported);  // started, but nothing to follow it by
    return process;
  }
  process.m_state = std::move(state);
  Platform::SetLastError(Platform::kErrorSuccess);
  return process;
}

bool CChildProcess::IsStarted() const { return m_state != nullptr; }

bool CChildProcess::IsRunning() {
  if (!m_state) return false;
  m_state->Poll();
  return !m_state->status;
}

std::optional<int> CChildProcess::Wait(uint32_t timeoutMs) {
  if (!m_state) return std::nullopt;
  if (m_state->handle) {
    WaitForSingleObject(m_state->handle, timeoutMs);
    m_state->Poll();
    return m_state->status;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    m_state->Poll();
    if (m_state->status || std::chrono::steady_clock::now() >= deadline) return m_state->status;
    Sleep(kPollMs);
  }
}

// A Unix child is killed by /bin/kill, a Unix program itself; its shell then reports the
// signal as the status.
std::optional<int> CChildProcess::Kill() {
  if (!m_state) return std::nullopt;
  m_state->Poll();
  if (m_state->status) return m_state->status;
  if (m_state->handle) {
    TerminateProcess(m_state->handle, 128 + 9);
    return Wait(INFINITE);
  }
  std::optional<int> pid;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kPidReportLimitMs);
  while (!(pid = ReadNumber(m_state->reports + "\\pid")) &&
         std::chrono::steady_clock::now() < deadline) {
    Sleep(kPollMs);
  }
  const std::string killer = WineDosPath("/bin/kill");
  PROCESS_INFORMATION info{};
  if (!pid || killer.empty() ||
      !Launch(CommandLine(killer, {"-KILL", std::to_string(*pid)}), "", info)) {
    return std::nullopt;
  }
  CloseThreadHandle(info);
  if (info.hProcess) CloseHandle(info.hProcess);
  return Wait(kPidReportLimitMs);
}

std::string NativeSystemPath(const std::string& path) {
  char full[MAX_PATH + 1] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length > MAX_PATH) return {};
  const auto convert = WineFunction<UnixFileNameFunction>("wine_get_unix_file_name");
  if (!convert) return full;
  char* unixPath = convert(Wide(full).c_str());
  if (!unixPath) return {};
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

}  // namespace TestSupport
