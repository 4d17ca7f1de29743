#include "phonesim/transcript.h"

#include <cctype>
#include <cstdio>

namespace PhoneSim {

std::string CPinMask::Masked(std::string_view bytes) {
  static constexpr std::string_view kCommand = "+CPIN=";
  std::string masked;
  for (const char c : bytes) {
    const bool digit = std::isdigit(static_cast<unsigned char>(c));
    if (m_inPin && digit) {
      if (!m_inDigits) masked += "****";
      m_inDigits = true;
      continue;
    }
    masked.push_back(c);
    m_inDigits = false;
    if (m_inPin) {
      m_inPin = c == '"' || c == ',' || c == ' ';
      continue;
    }
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    m_matched = upper == kCommand[m_matched] ? m_matched + 1 : (upper == kCommand[0] ? 1 : 0);
    if (m_matched == kCommand.size()) {
      m_inPin = true;
      m_matched = 0;
    }
  }
  return masked;
}

CTranscript::CTranscript(const std::string& path)
    : m_file(path, std::ios::trunc), m_start(std::chrono::steady_clock::now()) {}

void CTranscript::Log(const char* direction, std::string_view bytes) {
  if (!m_file) return;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - m_start);
  std::string line;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\\') {
      line += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      line += hex;
    } else {
      line.push_back(c);
    }
  }
  m_file << ms.count() << ' ' << direction << ' ' << line << '\n';
  m_file.flush();
}

}  // namespace PhoneSim
