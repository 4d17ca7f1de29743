#include "posix/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <limits>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/posix/posix_backend.h"

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;
using Posix::Fail;
using Posix::FailWithErrno;

// While no one has the slave open, Linux reports a hang-up on the master at once, so
// waiting for a phone to open its port means looking again every so often.
constexpr int kNoSlaveRetryMs = 10;
// A write gives up when the slave side takes nothing for this long (nobody reads it).
constexpr auto kWriteStallLimit = std::chrono::seconds(5);
constexpr int kWriteRetryMs = 50;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<int64_t>(left.count(), 0, std::numeric_limits<int>::max()));
}

bool MakeSlaveRaw(const char* path) {
  const int slave = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) return FailWithErrno();
  termios settings{};
  bool done = tcgetattr(slave, &settings) == 0;
  if (done) {
    cfmakeraw(&settings);
    done = tcsetattr(slave, TCSANOW, &settings) == 0;
  }
  if (!done) FailWithErrno();
  close(slave);
  return done;
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return (flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0) || FailWithErrno();
}

// Up to `limit` bytes, as soon as any arrived; empty after the time-out.
std::string ReadAvailable(int master, size_t limit, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::string data;
  std::array<char, 4096> chunk{};
  while (data.size() < limit) {
    const ssize_t got = read(master, chunk.data(), std::min(chunk.size(), limit - data.size()));
    if (got > 0) {
      data.append(chunk.data(), static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    const int remaining = RemainingMs(deadline);
    if (!data.empty() || remaining == 0) break;
    if (got < 0 && errno == EIO) {
      SleepMilliseconds(static_cast<uint32_t>(std::min(kNoSlaveRetryMs, remaining)));
    } else if (got < 0 && errno == EAGAIN) {
      pollfd entry{master, POLLIN, 0};
      poll(&entry, 1, remaining);
    } else {
      break;
    }
  }
  return data;
}

}  // namespace

CPseudoTerminal::CPseudoTerminal() {
  const int master = Posix::AboveStandardStreams(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (master < 0) {
    FailWithErrno();
    return;
  }
  std::array<char, 128> path{};
  const bool ready = (grantpt(master) == 0 && unlockpt(master) == 0 &&
                      ptsname_r(master, path.data(), path.size()) == 0) ||
                     FailWithErrno();
  if (ready && MakeSlaveRaw(path.data()) && SetNonBlocking(master)) {
    m_master = master;
    m_slavePath = path.data();
  } else {
    close(master);
  }
}

CPseudoTerminal::~CPseudoTerminal() { CloseMaster(); }

bool CPseudoTerminal::Write(const std::string& bytes) {
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  size_t done = 0;
  auto lastProgress = Clock::now();
  while (done < bytes.size()) {
    const ssize_t put = write(m_master, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += static_cast<size_t>(put);
      lastProgress = Clock::now();
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) return FailWithErrno();
    if (Clock::now() - lastProgress > kWriteStallLimit) return Fail(kErrorTimeout);
    pollfd entry{m_master, POLLOUT, 0};
    poll(&entry, 1, kWriteRetryMs);
  }
  return true;
}

std::string CPseudoTerminal::Read(int timeoutMs) {
  if (!IsOpen()) return {};
  return ReadAvailable(m_master, std::numeric_limits<size_t>::max(), timeoutMs);
}

std::string CPseudoTerminal::ReadExactly(size_t count, int timeoutMs) {
  std::string data;
  while (IsOpen() && data.size() < count) {
    const std::string piece = ReadAvailable(m_master, count - data.size(), timeoutMs);
    if (piece.empty()) break;
    data += piece;
  }
  return data;
}

void CPseudoTerminal::CloseMaster() {
  if (m_master >= 0) close(m_master);
  m_master = -1;
}

// A closed standard input comes back as /dev/null when the redirect ends.
CStandardInputRedirect::CStandardInputRedirect(const std::string& terminalPath) {
  int saved = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (saved < 0 && errno == EBADF) {
    saved = Posix::AboveStandardStreams(open("/dev/null", O_RDONLY | O_CLOEXEC));
  }
  if (saved < 0) {
    FailWithErrno();
    return;
  }
  const int terminal =
      Posix::AboveStandardStreams(open(terminalPath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (terminal < 0 || dup2(terminal, STDIN_FILENO) < 0) {
    FailWithErrno();
    close(saved);
  } else {
    m_savedInput = saved;
  }
  if (terminal >= 0) close(terminal);
}

CStandardInputRedirect::~CStandardInputRedirect() {
  if (!IsActive()) return;
  dup2(m_savedInput, STDIN_FILENO);
  close(m_savedInput);
}

}  // namespace Platform
