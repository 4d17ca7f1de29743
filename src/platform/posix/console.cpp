#include "platform/console.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace Platform {
namespace {

constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kFinalFirst = 0x40;  // the bytes that end an ESC [ sequence
constexpr unsigned char kFinalLast = 0x7E;
// A paste can keep the queue filling; what is handed back after an Escape is bounded by the
// terminal's own input buffer.
constexpr size_t kMaxHandedBack = 4096;

// Standard input switched to key-by-key reads that never wait, with echo off so that bytes
// handed back are not shown; the caller's settings return when the poll ends.
class CPollingMode {
 public:
  CPollingMode() {
    if (tcgetattr(STDIN_FILENO, &m_saved) != 0) return;
    termios polling = m_saved;
    polling.c_lflag &= ~(ICANON | ECHO);
    polling.c_cc[VMIN] = 0;
    polling.c_cc[VTIME] = 0;
    m_active = tcsetattr(STDIN_FILENO, TCSANOW, &polling) == 0;
  }
  ~CPollingMode() {
    if (m_active) tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
  }
  CPollingMode(const CPollingMode&) = delete;
  CPollingMode& operator=(const CPollingMode&) = delete;
  bool IsActive() const { return m_active; }

 private:
  termios m_saved{};
  bool m_active = false;
};

bool ReadPendingByte(unsigned char& byte) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) return true;
    if (got == 0 || errno != EINTR) return false;
  }
}

void SkipControlSequence() {
  unsigned char byte = 0;
  while (ReadPendingByte(byte) && (byte < kFinalFirst || byte > kFinalLast)) {
  }
}

// A terminal cannot be peeked: telling a lone Escape from the start of a key sequence takes
// the next byte. It goes back into the queue, and so does everything behind it, to keep the
// order. Giving bytes back (TIOCSTI) may be refused on kernels built without it for anyone
// but the administrator; those keys are then lost.
void HandBack(unsigned char next) {
  std::string queued(1, static_cast<char>(next));
  unsigned char byte = 0;
  while (queued.size() < kMaxHandedBack && ReadPendingByte(byte)) {
    queued.push_back(static_cast<char>(byte));
  }
  for (char& c : queued) {
    if (ioctl(STDIN_FILENO, TIOCSTI, &c) != 0) return;
  }
}

// A background job that touches its controlling terminal is stopped (SIGTTIN, SIGTTOU), so the
// poll leaves the terminal alone unless this process is in the foreground.
bool OwnsTheTerminal() {
  if (isatty(STDIN_FILENO) == 0) return false;
  const pid_t foreground = tcgetpgrp(STDIN_FILENO);
  return foreground < 0 || foreground == getpgrp();
}

}  // namespace

bool ConsoleEscapePressed() {
  if (!OwnsTheTerminal()) return false;
  const CPollingMode mode;
  if (!mode.IsActive()) return false;
  unsigned char byte = 0;
  while (ReadPendingByte(byte)) {
    if (byte != kEscape) continue;
    unsigned char next = 0;
    if (!ReadPendingByte(next)) return true;
    if (next == '[') {
      SkipControlSequence();
    } else if (next == 'O') {
      ReadPendingByte(next);
    } else {
      HandBack(next);
      return true;
    }
  }
  return false;
}

}  // namespace Platform
