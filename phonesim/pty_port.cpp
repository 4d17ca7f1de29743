#include "phonesim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

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

bool WriteTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno == EAGAIN) {
      pollfd entry{fd, POLLOUT, 0};
      poll(&entry, 1, 100);
      continue;
    }
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

}  // namespace

CPseudoTerminalPort::CPseudoTerminalPort() {
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
}

CPseudoTerminalPort::~CPseudoTerminalPort() { HangUp(); }

ReadOutcome CPseudoTerminalPort::Read(std::string& bytes, int timeoutMs) {
  if (m_master < 0) return ReadOutcome::Closed;
  return ReadFrom(m_master, bytes, timeoutMs);
}

bool CPseudoTerminalPort::Write(std::string_view bytes) {
  return m_master >= 0 && WriteTo(m_master, bytes);
}

// Closing the master discards what the slave has not read yet, while on a real line the
// bytes sent before the hang-up still arrive; so the close waits until the client has them.
// Bytes written to the master reach the slave's queue a moment later, hence the settling time.
void CPseudoTerminalPort::HangUp() {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    int unread = 0;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &unread) != 0 || elapsed > kDrainLimit) break;
    if (unread == 0 && elapsed > kSettleTime) break;
    poll(nullptr, 0, kDrainPollMs);
  }
  if (m_slave >= 0) close(m_slave);
  if (m_master >= 0) close(m_master);
  m_slave = m_master = -1;
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
