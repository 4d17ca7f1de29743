#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/posix/posix_backend.h"

namespace TestSupport {

struct CChildProcess::State {
  pid_t pid = -1;
  std::optional<int> status;
};

namespace {

constexpr uint32_t kWaitPollMs = 5;

int StatusFromWait(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

// Reaps the child when it has ended; `block` waits for it.
void Reap(CChildProcess::State& state, bool block) {
  if (state.status || state.pid < 0) return;
  int raw = 0;
  pid_t done;
  do {
    done = waitpid(state.pid, &raw, block ? 0 : WNOHANG);
  } while (done < 0 && errno == EINTR);
  if (done == state.pid) {
    state.status = StatusFromWait(raw);
  } else if (done < 0) {
    state.status = -1;  // not our child any more: nothing left to wait for
  }
}

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

// The child tells a failed chdir or exec through a close-on-exec pipe: a successful exec
// closes it unwritten, so the parent reads either nothing or the child's errno.
CChildProcess CChildProcess::Start(const std::string& program,
                                   const std::vector<std::string>& arguments,
                                   const std::string& workingFolder) {
  CChildProcess process;
  std::vector<std::string> texts{program};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    Platform::Posix::FailWithErrno();
    return process;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    int failure = 0;
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) {
      failure = errno;
    } else {
      execv(program.c_str(), argv.data());
      failure = errno;
    }
    (void)!write(report[1], &failure, sizeof failure);
    _exit(127);
  }
  const int forkError = errno;
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    errno = forkError;
    Platform::Posix::FailWithErrno();
    return process;
  }
  int childError = 0;
  ssize_t got;
  do {
    got = read(report[0], &childError, sizeof childError);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  auto state = std::make_unique<State>();
  state->pid = pid;
  if (got > 0) {
    Reap(*state, true);
    errno = childError;
    Platform::Posix::FailWithErrno();
    return process;
  }
  process.m_state = std::move(state);
  Platform::SetLastError(Platform::kErrorSuccess);
  return process;
}

bool CChildProcess::IsStarted() const { return m_state != nullptr; }

bool CChildProcess::IsRunning() {
  if (!m_state) return false;
  Reap(*m_state, false);
  return !m_state->status;
}

std::optional<int> CChildProcess::Wait(uint32_t timeoutMs) {
  if (!m_state) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    Reap(*m_state, false);
    if (m_state->status || std::chrono::steady_clock::now() >= deadline) return m_state->status;
    Platform::SleepMilliseconds(kWaitPollMs);
  }
}

std::optional<int> CChildProcess::Kill() {
  if (!m_state) return std::nullopt;
  Reap(*m_state, false);
  if (!m_state->status) {
    kill(m_state->pid, SIGKILL);
    Reap(*m_state, true);
  }
  return m_state->status;
}

std::string NativeSystemPath(const std::string& path) {
  std::error_code failure;
  const std::filesystem::path absolute = std::filesystem::absolute(path, failure);
  return failure ? std::string() : absolute.string();
}

}  // namespace TestSupport
