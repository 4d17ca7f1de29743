#pragma once
#include <chrono>
#include <fstream>
#include <string>
#include <string_view>

namespace PhoneSim {

// Hides what follows AT+CPIN= (the PIN, and a PUK with its new PIN): each run of digits
// becomes "****", also when the command comes and goes in pieces.
class CPinMask {
 public:
  std::string Masked(std::string_view bytes);

 private:
  size_t m_matched = 0;  // how much of "+CPIN=" the bytes so far end in
  bool m_inPin = false;
  bool m_inDigits = false;
};

// Everything the phone received and sent, one line per piece as it went over the line:
// milliseconds since the start, "<<" for received or ">>" for sent, then the bytes with
// control characters written as \r, \n and \xHH. A PIN never shows.
class CTranscript {
 public:
  explicit CTranscript(const std::string& path);
  bool IsOpen() const { return m_file.is_open(); }
  void Received(std::string_view bytes) { Log("<<", m_receivedMask.Masked(bytes)); }
  void Sent(std::string_view bytes) { Log(">>", m_sentMask.Masked(bytes)); }
  void Note(std::string_view text) { Log("--", text); }

 private:
  void Log(const char* direction, std::string_view bytes);

  CPinMask m_receivedMask;
  CPinMask m_sentMask;
  std::ofstream m_file;
  std::chrono::steady_clock::time_point m_start;
};

}  // namespace PhoneSim
