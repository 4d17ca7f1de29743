#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A program started by this one, ended (killed if need be) when the object goes, so that no
// test leaves a child behind. Exit statuses follow the POSIX shell: a child ended by a signal
// reports 128 plus the signal's number.
//
// Under Wine a native Linux program (an ELF file) can be started as well: Wine runs it as a
// Unix process but hands back no process handle, so the Windows backend starts it through
// /bin/sh, which writes the child's number and, at its end, its exit status to a scratch
// folder; running, waiting and killing go through those files.
class CChildProcess {
 public:
  CChildProcess();
  ~CChildProcess();
  CChildProcess(CChildProcess&& other) noexcept;
  CChildProcess& operator=(CChildProcess&& other) noexcept;

  // Starts `program` (a path, not looked up in PATH) with `arguments`, in `workingFolder` when
  // one is given. Not started (IsStarted() false, Platform::LastError() set) when the system
  // refuses or the program cannot be run.
  static CChildProcess Start(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingFolder = "");

  bool IsStarted() const;
  bool IsRunning();
  // The exit status once the program has ended, waiting up to `timeoutMs` for it.
  std::optional<int> Wait(uint32_t timeoutMs);
  // Ends the program at once and waits for it; its status, or nullopt when it could not be
  // ended. A program that had already ended keeps its own status.
  std::optional<int> Kill();

  struct State;

 private:
  std::unique_ptr<State> m_state;
};

// A path as the system underneath names it, for handing to a native program: under Wine the
// Unix path of a Windows path; elsewhere the path itself, made absolute. Empty when it cannot
// be converted.
std::string NativeSystemPath(const std::string& path);

}  // namespace TestSupport
