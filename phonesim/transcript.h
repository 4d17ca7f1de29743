#pragma once
#include <chrono>
#include <fstream>
#include <string>
#include <string_view>

namespace PhoneSim {

// Everything the phone received and sent, one line per piece as it went over the line:
// milliseconds since the start, "<<" for received or ">>" for sent, then the bytes with
// control characters written as \r, \n and \xHH.
class CTranscript {
 public:
  explicit CTranscript(const std::string& path);
  bool IsOpen() const { return m_file.is_open(); }
  void Received(std::string_view bytes) { Log("<<", bytes); }
  void Sent(std::string_view bytes) { Log(">>", bytes); }
  void Note(std::string_view text) { Log("--", text); }

 private:
  void Log(const char* direction, std::string_view bytes);

  std::ofstream m_file;
  std::chrono::steady_clock::time_point m_start;
};

}  // namespace PhoneSim
