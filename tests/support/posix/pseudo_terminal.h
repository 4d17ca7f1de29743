#pragma once
#include <cstdint>
#include <string>

namespace Platform {

// Test helpers on POSIX pseudo-terminals. They stay in namespace Platform, beside the file
// and serial functions their tests exercise, but are no part of the plug-in.

// The master side of a pseudo-terminal, for playing a phone in tests. The slave side is
// opened by path like any serial port.
class CPseudoTerminal {
 public:
  CPseudoTerminal();  // opens a new pair in raw mode; IsOpen() tells whether it worked
  ~CPseudoTerminal();
  CPseudoTerminal(const CPseudoTerminal&) = delete;
  CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

  bool IsOpen() const { return m_master >= 0; }
  const std::string& SlavePath() const { return m_slavePath; }

  bool Write(const std::string& bytes);
  // Waits up to timeoutMs for bytes and returns what arrived (empty after the time-out).
  std::string Read(int timeoutMs);
  // Reads until `count` bytes arrived or timeoutMs passed without any byte.
  std::string ReadExactly(size_t count, int timeoutMs);
  void CloseMaster();

 private:
  int m_master = -1;
  std::string m_slavePath;
};

// Puts a terminal (for example a pseudo-terminal's slave) in the place of standard input for
// its lifetime, so the console poll can be tried on a real terminal.
class CStandardInputRedirect {
 public:
  explicit CStandardInputRedirect(const std::string& terminalPath);
  ~CStandardInputRedirect();
  CStandardInputRedirect(const CStandardInputRedirect&) = delete;
  CStandardInputRedirect& operator=(const CStandardInputRedirect&) = delete;
  bool IsActive() const { return m_savedInput >= 0; }

 private:
  int m_savedInput = -1;
};

}  // namespace Platform
