#include "phonesim/transcript.h"

#include <cstdio>

namespace PhoneSim {

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
