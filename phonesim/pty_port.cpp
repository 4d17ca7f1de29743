#include "phonesim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace PhoneSim {
namespace {

volatile sig_atomic_t g_stop = 0;

// How long a hang-up waits for the client to take what was already sent.
constexpr auto kDrainLimit = std::chrono::seconds(2);
constexpr auto kSettleTime = std::chrono::milliseconds(50);
constexpr int kDrainPollMs = 5;
// While no client has the terminal open, Linux reports a hang-up on the master at once, so
// waiting for the first client means looking again every so often.
constexpr int kNoClientRetryMs = 10;

void OnStopSignal(int) { g_stop = 1; }

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Raw from the start: in the default cooked mode the slave would echo the phone's own
// answers back to it until the client configures the line.
void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) Fail("tcgetattr");
  cfmakeraw(&settings);
  if (tcsetattr(fd, TCSANOW, &settings) != 0) Fail("tcsetattr");
}

ReadOutcome ReadFrom(int fd, std::string& bytes, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  const int ready = poll(&entry, 1, timeoutMs);
  if (ready == 0 || (ready < 0 && errno == EINTR)) return ReadOutcome::TimedOut;
  if (ready < 0) return ReadOutcome::Closed;
  std::array<char, 4096> buffer{};
  const ssize_t got = read(fd, buffer.data(), buffer.size());
  if (got > 0) {
    bytes.append(buffer.data(), static_cast<size_t>(got));
    return ReadOutcome::Data;
  }
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return ReadOutcome::TimedOut;
  return ReadOutcome::Closed;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<int64_t>(left.count(), 0));
}

bool WriteTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno == EAGAIN) {
      // A client that closed the terminal takes nothing more.
      pollfd entry{fd, POLLOUT, 0};
      if (poll(&entry, 1, 100) > 0 && (entry.revents & (POLLHUP | POLLERR))) return false;
      continue;
    }
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

}  // namespace

CPseudoTerminalPort::CPseudoTerminalPort(ClientPolicy policy) : m_policy(policy) {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0) Fail("posix_openpt");
  std::array<char, 128> path{};
  if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
      ptsname_r(m_master, path.data(), path.size()) != 0) {
    const int saved = errno;
    close(m_master);
    errno = saved;
    Fail("cannot set up the pseudo-terminal");
  }
  m_slavePath = path.data();
  m_slave = open(path.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_slave < 0) {
    close(m_master);
    Fail(path.data());
  }
  try {
    MakeRaw(m_slave);
  } catch (...) {
    HangUp();
    throw;
  }
  // The line settings stay with the terminal while the master is open.
  // Without a slave handle of our own, a write must not block on a client that has gone.
  if (m_policy == ClientPolicy::UntilClosed) {
    close(m_slave);
    m_slave = -1;
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
      HangUp();
      Fail("fcntl");
    }
  }
}

CPseudoTerminalPort::~CPseudoTerminalPort() { HangUp(); }

ReadOutcome CPseudoTerminalPort::Read(std::string& bytes, int timeoutMs) {
  if (m_master < 0) return ReadOutcome::Closed;
  if (m_policy == ClientPolicy::UntilClosed) return ReadWithoutOwnSlave(bytes, timeoutMs);
  return ReadFrom(m_master, bytes, timeoutMs);
}

// Without a slave handle of our own, the master reports a hang-up exactly while no client
// has the terminal open: before the first client that means "not yet", after it "gone".
// A quiet line that is not hung up has a client. What a client wrote before it closed is
// still read first.
ReadOutcome CPseudoTerminalPort::ReadWithoutOwnSlave(std::string& bytes, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    pollfd entry{m_master, POLLIN, 0};
    const int ready = poll(&entry, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) return ReadOutcome::TimedOut;
    if (ready < 0) return ReadOutcome::Closed;
    if (ready == 0) {
      m_clientSeen = true;
      return ReadOutcome::TimedOut;
    }
    if (entry.revents & POLLIN) {
      std::array<char, 4096> buffer{};
      const ssize_t got = read(m_master, buffer.data(), buffer.size());
      if (got > 0) {
        m_clientSeen = true;
        bytes.append(buffer.data(), static_cast<size_t>(got));
        return ReadOutcome::Data;
      }
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) return ReadOutcome::TimedOut;
      if (got == 0 || errno != EIO) return ReadOutcome::Closed;
    } else if (!(entry.revents & POLLHUP)) {
      return ReadOutcome::Closed;
    }
    if (m_clientSeen) return ReadOutcome::Closed;
    const int remaining = RemainingMs(deadline);
    if (remaining == 0) return ReadOutcome::TimedOut;
    poll(nullptr, 0, std::min(kNoClientRetryMs, remaining));
  }
}

bool CPseudoTerminalPort::Write(std::string_view bytes) {
  return m_master >= 0 && WriteTo(m_master, bytes);
}

void CPseudoTerminalPort::HangUp() {
  if (m_master >= 0) WaitUntilClientHasEverything();
  if (m_slave >= 0) close(m_slave);
  if (m_master >= 0) close(m_master);
  m_slave = m_master = -1;
}

// Closing the master discards what the slave has not read yet, while on a real line the
// bytes sent before the hang-up still arrive; so the close waits until the client has them.
// Bytes written to the master reach the slave's queue a moment later, hence the settling time.
// The queue is only visible through a slave handle: without one of our own, a short-lived one
// looks (its close is no hang-up while the client still has the terminal open).
void CPseudoTerminalPort::WaitUntilClientHasEverything() {
  int slave = m_slave;
  if (slave < 0) slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    int unread = 0;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (slave < 0 || ioctl(slave, FIONREAD, &unread) != 0 || elapsed > kDrainLimit) break;
    if (unread == 0 && elapsed > kSettleTime) break;
    poll(nullptr, 0, kDrainPollMs);
  }
  if (slave >= 0 && slave != m_slave) close(slave);
}

ReadOutcome CStandardStreamsPort::Read(std::string& bytes, int timeoutMs) {
  if (m_closed) return ReadOutcome::Closed;
  const ReadOutcome outcome = ReadFrom(STDIN_FILENO, bytes, timeoutMs);
  if (outcome == ReadOutcome::Closed) m_closed = true;
  return outcome;
}

bool CStandardStreamsPort::Write(std::string_view bytes) {
  return !m_closed && WriteTo(STDOUT_FILENO, bytes);
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

bool StopSignalled() { return g_stop != 0; }

}  // namespace PhoneSim
