#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "encoding/charset.h"
#include "platform/clock.h"
#include "sms/sms_message.h"

namespace {

struct CVector {
  std::string m_name;
  bool m_fromServiceCentre = false;
  bool m_decodes = false;
  std::string m_hex;
  // What a vector that decodes must give, worked out from its octets apart from the decoder.
  std::optional<std::string> m_address;
  std::optional<WideString> m_text;
  std::optional<Platform::FileTime> m_timestamp;  // UTC; 0 for a message without one
};

std::filesystem::path VectorFolder() {
  const char* root = std::getenv("ZANTEL_TEST_DATA");
  return std::filesystem::path(root != nullptr ? root : "tests/data") / "sms";
}

// A quoted text with the escapes \\, \", \n and \uXXXX; the rest is UTF-8.
std::optional<WideString> QuotedText(const std::string& quoted) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return std::nullopt;
  std::string utf8;
  WideString text;
  const auto flush = [&] {
    text += Utf8ToWide(utf8);
    utf8.clear();
  };
  for (size_t at = 1; at + 1 < quoted.size(); ++at) {
    if (quoted[at] != '\\') {
      utf8 += quoted[at];
      continue;
    }
    if (++at + 1 >= quoted.size()) return std::nullopt;
    const char escaped = quoted[at];
    if (escaped == 'n') {
      utf8 += '\n';
    } else if (escaped == 'u' && at + 5 < quoted.size()) {
      flush();
      text.push_back(static_cast<char16_t>(std::stoi(quoted.substr(at + 1, 4), nullptr, 16)));
      at += 4;
    } else {
      utf8 += escaped;
    }
  }
  flush();
  return text;
}

// "YYYY-MM-DD hh:mm:ss +hh:mm": the sender's local reading and its zone; "none": no time stamp.
std::optional<Platform::FileTime> UtcTime(const std::string& text) {
  if (text == "none") return Platform::FileTime{0};
  Platform::SystemTime local;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, zoneHours = 0,
      zoneMinutes = 0;
  char sign = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d %c%2d:%2d", &year, &month, &day, &hour,
                  &minute, &second, &sign, &zoneHours, &zoneMinutes) != 9 ||
      (sign != '+' && sign != '-')) {
    return std::nullopt;
  }
  local.year = static_cast<uint16_t>(year);
  local.month = static_cast<uint16_t>(month);
  local.day = static_cast<uint16_t>(day);
  local.hour = static_cast<uint16_t>(hour);
  local.minute = static_cast<uint16_t>(minute);
  local.second = static_cast<uint16_t>(second);
  Platform::FileTime ticks = 0;
  if (!Platform::SystemTimeToFileTime(local, ticks)) return std::nullopt;
  constexpr int64_t kTicksPerMinute = 600'000'000;
  const int64_t zone = (sign == '-' ? -1 : 1) * (zoneHours * 60 + zoneMinutes) * kTicksPerMinute;
  return static_cast<Platform::FileTime>(static_cast<int64_t>(ticks) - zone);
}

// One vector a file: "<in|out> <ok|fail> <hex>" after comment lines saying where it comes from,
// then for a vector that decodes "address", "text" and "time" lines.
CVector ReadVector(const std::filesystem::path& path) {
  std::ifstream file(path);
  CVector vector;
  vector.m_name = path.filename().string();
  std::string line;
  bool sourced = false;
  while (std::getline(file, line)) {
    if (line.starts_with("#")) {
      sourced = sourced || !line.substr(1).empty();
      continue;
    }
    const std::string key = line.substr(0, line.find(' '));
    const std::string value = key.size() < line.size() ? line.substr(key.size() + 1) : "";
    if (key == "address") {
      vector.m_address = value;
      continue;
    }
    if (key == "text") {
      vector.m_text = QuotedText(value);
      EXPECT_TRUE(vector.m_text) << vector.m_name << ": " << line;
      continue;
    }
    if (key == "time") {
      vector.m_timestamp = UtcTime(value);
      EXPECT_TRUE(vector.m_timestamp) << vector.m_name << ": " << line;
      continue;
    }
    std::istringstream words(line);
    std::string direction;
    std::string expectation;
    words >> direction >> expectation >> vector.m_hex;
    vector.m_fromServiceCentre = direction == "in";
    vector.m_decodes = expectation == "ok";
    EXPECT_TRUE((direction == "in" || direction == "out") &&
                (expectation == "ok" || expectation == "fail"))
        << vector.m_name << ": " << line;
  }
  EXPECT_TRUE(sourced) << vector.m_name << " does not say where it comes from";
  EXPECT_FALSE(vector.m_hex.empty()) << vector.m_name;
  const bool expects = vector.m_address || vector.m_text || vector.m_timestamp;
  EXPECT_EQ(expects, vector.m_decodes) << vector.m_name << ": address, text and time belong to "
                                       << "a vector that decodes, and to each of them";
  return vector;
}

std::vector<CVector> ReadVectors() {
  std::vector<CVector> vectors;
  for (const auto& entry : std::filesystem::directory_iterator(VectorFolder())) {
    if (entry.path().extension() == ".txt") {
      vectors.push_back(ReadVector(entry.path()));
    }
  }
  return vectors;
}

TEST(PduVectors, EachDecodesAsMarked) {
  const std::vector<CVector> vectors = ReadVectors();
  ASSERT_GE(vectors.size(), 40u);
  for (const CVector& vector : vectors) {
    CSMSMessage message(vector.m_fromServiceCentre);
    EXPECT_EQ(message.Decode(vector.m_hex), vector.m_decodes) << vector.m_name;
    EXPECT_EQ(message.pdu, vector.m_hex);
  }
}

TEST(PduVectors, EachGivesItsAddressTextAndTime) {
  size_t checked = 0;
  for (const CVector& vector : ReadVectors()) {
    if (!vector.m_decodes) continue;
    ASSERT_TRUE(vector.m_address && vector.m_text && vector.m_timestamp) << vector.m_name;
    CSMSMessage message(vector.m_fromServiceCentre);
    ASSERT_TRUE(message.Decode(vector.m_hex)) << vector.m_name;
    EXPECT_EQ(message.address, *vector.m_address) << vector.m_name;
    EXPECT_TRUE(message.wideText == *vector.m_text)
        << vector.m_name << ": " << WideToUtf8(message.wideText);
    EXPECT_EQ(message.timestamp, *vector.m_timestamp) << vector.m_name;
    ++checked;
  }
  EXPECT_GE(checked, 30u);
}

}  // namespace
