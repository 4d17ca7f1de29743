#pragma once
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/serial.h"

// Two COM ports joined like a null-modem cable: under Wine, the two ends of one
// pseudo-terminal pair, which scripts/test-windows maps and names in ZANTEL_TEST_SERIAL_PAIR
// as "<plug-in's port>,<phone's port>" (for example "1,2"). No test opens a port it was not
// given this way: any other COM port may be a real one.
struct SerialPair {
  int pluginPort = 0;
  int phonePort = 0;

  static std::optional<SerialPair> FromEnvironment() {
    const char* text = std::getenv("ZANTEL_TEST_SERIAL_PAIR");
    if (text == nullptr) return std::nullopt;
    const std::string_view value(text);
    SerialPair pair;
    const char* end = value.data() + value.size();
    auto [comma, error] = std::from_chars(value.data(), end, pair.pluginPort);
    if (error != std::errc() || comma == end || *comma != ',') return std::nullopt;
    auto [last, error2] = std::from_chars(comma + 1, end, pair.phonePort);
    if (error2 != std::errc() || last != end || pair.pluginPort == pair.phonePort)
      return std::nullopt;
    return pair;
  }
};

inline constexpr const char* kNoSerialPair =
    "ZANTEL_TEST_SERIAL_PAIR does not name two ports; run the Windows tests through "
    "scripts/test-windows, which maps them to a pseudo-terminal pair";

// The phone's end of the pair, opened as the plug-in opens its own.
class CPhonePort {
 public:
  explicit CPhonePort(int port)
      : m_file(Platform::CFile::Open("COM" + std::to_string(port),
                                     Platform::OpenMode::ExistingReadWrite)) {
    if (m_file.IsOpen()) Platform::ConfigureSerialLine(m_file, Platform::SerialLine{});
  }

  bool IsOpen() const { return m_file.IsOpen(); }
  Platform::CFile& File() { return m_file; }

  bool Write(const std::string& bytes) {
    Platform::SetSerialTimeouts(m_file, kWriteTimeoutMs);
    uint32_t written = 0;
    return m_file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) &&
           written == bytes.size();
  }

  // Reads until `count` bytes arrived or `timeoutMs` passed without any.
  std::string ReadExactly(size_t count, uint32_t timeoutMs) {
    Platform::SetSerialTimeouts(m_file, timeoutMs);
    std::string data;
    std::array<char, 256> chunk{};
    while (data.size() < count) {
      uint32_t read = 0;
      const auto wanted = static_cast<uint32_t>(std::min(chunk.size(), count - data.size()));
      if (!m_file.Read(chunk.data(), wanted, read) || read == 0) break;
      data.append(chunk.data(), read);
    }
    return data;
  }

  // Whatever an earlier test left on the line.
  void Drain() {
    while (!ReadExactly(4096, kDrainTimeoutMs).empty()) {
    }
  }

 private:
  static constexpr uint32_t kWriteTimeoutMs = 5000;
  static constexpr uint32_t kDrainTimeoutMs = 50;
  Platform::CFile m_file;
};
