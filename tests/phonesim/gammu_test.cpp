#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "phonesim/phone.h"
#include "phonesim/pty_port.h"
#include "phonesim/session.h"
#include "phonesim_test_support.h"

namespace {

using PhoneSimTest::LoadTestState;

std::string Slurp(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The originating or destination address and the text of a deliver or submit PDU, decoded
// here once more so that gammu's report can be held against the state file. Only what the
// test files use: 7-bit text within ASCII, or UCS2 within the basic plane.
struct Decoded {
  std::string number;
  std::string text;
};

class CPduReader {
 public:
  explicit CPduReader(const std::string& hex) {
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      m_octets.push_back(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  int Next() { return m_octets.at(m_at++); }
  void Skip(size_t count) { m_at += count; }
  std::string Address() {
    const int digits = Next();
    const int type = Next();
    std::string number = (type & 0x70) == 0x10 ? "+" : "";
    for (int i = 0; i < digits; ++i) {
      const int octet = m_octets.at(m_at + i / 2);
      number.push_back(static_cast<char>('0' + (i % 2 ? octet >> 4 : octet & 0x0F)));
    }
    m_at += (digits + 1) / 2;
    return number;
  }
  std::string Septets(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      const size_t bit = static_cast<size_t>(i) * 7;
      int value = m_octets.at(m_at + bit / 8) >> (bit % 8);
      if (bit % 8 > 1) value |= m_octets.at(m_at + bit / 8 + 1) << (8 - bit % 8);
      text.push_back(static_cast<char>(value & 0x7F));
    }
    return text;
  }
  std::string Ucs2(int octets) {
    std::string text;
    for (int i = 0; i < octets; i += 2) {
      const int unit = m_octets.at(m_at + i) << 8 | m_octets.at(m_at + i + 1);
      if (unit < 0x80) {
        text.push_back(static_cast<char>(unit));
      } else if (unit < 0x800) {
        text.push_back(static_cast<char>(0xC0 | unit >> 6));
        text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
      } else {
        text.push_back(static_cast<char>(0xE0 | unit >> 12));
        text.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
      }
    }
    return text;
  }

 private:
  std::vector<int> m_octets;
  size_t m_at = 0;
};

Decoded Decode(const std::string& hex) {
  CPduReader pdu(hex);
  pdu.Skip(static_cast<size_t>(pdu.Next()));
  const int first = pdu.Next();
  const bool submit = (first & 0x03) == 1;
  if (submit) pdu.Skip(1);
  Decoded decoded;
  decoded.number = pdu.Address();
  pdu.Skip(1);
  const int dcs = pdu.Next();
  pdu.Skip(submit ? ((first >> 3 & 3) == 2 ? 1 : (first >> 3 & 3) ? 7 : 0) : 7);
  const int length = pdu.Next();
  decoded.text = dcs == 0x08 ? pdu.Ucs2(length) : pdu.Septets(length);
  return decoded;
}

// The simulator on a pseudo-terminal in this process; gammu, a client written by others,
// on the other side.
class Gammu : public testing::Test {
 protected:
  void SetUp() override {
    if (std::system("gammu --version > /dev/null 2>&1") != 0) {
      GTEST_SKIP() << "gammu is not installed (scripts/setup installs it)";
    }
    m_state = LoadTestState("classic.json");
    m_phone = std::make_unique<PhoneSim::CPhone>(m_state);
    m_session = std::make_unique<PhoneSim::CSession>(m_port, *m_phone, PhoneSim::Faults{});
    m_server = std::jthread([this](std::stop_token stop) {
      m_session->Run([&stop] { return stop.stop_requested(); });
    });
    std::ofstream(m_config) << "[gammu]\ndevice = " << m_port.SlavePath() << "\nconnection = at\n";
  }

  // gammu's report, bounded in time so that a hang fails instead of blocking the run.
  std::string RunGammu(const std::string& command) {
    const std::string output = PhoneSimTest::TempPath("gammu.out");
    const int status = std::system(
        ("timeout 60 gammu -c " + m_config + " " + command + " > " + output + " 2>&1").c_str());
    EXPECT_EQ(status, 0) << Slurp(output);
    return Slurp(output);
  }

  PhoneSim::PhoneState m_state;
  PhoneSim::CPseudoTerminalPort m_port;
  std::unique_ptr<PhoneSim::CPhone> m_phone;
  std::unique_ptr<PhoneSim::CSession> m_session;
  std::jthread m_server;
  std::string m_config = PhoneSimTest::TempPath("gammurc");
};

std::string Field(const std::string& report, const std::string& name) {
  const std::regex pattern("(^|\\n)" + name + "\\s*: ([^\\n]*)");
  std::smatch match;
  return std::regex_search(report, match, pattern) ? match[2].str() : "(missing)";
}

TEST_F(Gammu, IdentifiesThePhone) {
  const std::string report = RunGammu("identify");
  const PhoneSim::Identity& id = m_state.identity;
  EXPECT_EQ(Field(report, "Manufacturer"), id.manufacturer);
  EXPECT_NE(Field(report, "Model").find(id.model), std::string::npos) << report;
  EXPECT_EQ(Field(report, "Firmware"), id.revision);
  EXPECT_EQ(Field(report, "IMEI"), id.serial);
  EXPECT_EQ(Field(report, "SIM IMSI"), id.imsi);
}

TEST_F(Gammu, ReadsTheSimPhoneBook) {
  const std::string report = RunGammu("getallmemory SM");
  const std::regex entry(
      "Memory SM, Location (\\d+)\\nGeneral number\\s*: \"([^\"]*)\"\\nName\\s*: \"([^\"]*)\"");
  std::map<int, std::pair<std::string, std::string>> seen;
  for (std::sregex_iterator it(report.begin(), report.end(), entry), end; it != end; ++it) {
    seen[std::stoi((*it)[1])] = {(*it)[2], (*it)[3]};
  }
  std::map<int, std::pair<std::string, std::string>> expected;
  for (const auto& [index, e] : m_state.phoneBooks.at(0).entries)
    expected[index] = {e.number, e.name};
  EXPECT_EQ(seen, expected) << report;
}

TEST_F(Gammu, ListsTheMessagesOfTheSim) {
  const std::map<int, std::string> kStatusWords = {
      {0, "UnRead"}, {1, "Read"}, {2, "UnSent"}, {3, "Sent"}};
  std::map<int, std::string> expected;
  for (const auto& [index, message] : m_state.messageStorages.at(0).messages) {
    const Decoded decoded = Decode(message.pdu);
    expected[index] = decoded.number + "|" + kStatusWords.at(message.status) + "|" + decoded.text;
  }
  const std::string report = RunGammu("getallsms");
  const std::regex block(
      "Location (\\d+), folder \"[^\"]*\", SIM memory[^\\n]*\\n(?:[^\\n]+\\n)*?Remote number\\s*: \"([^\"]*)\"\\n"
      "Status\\s*: (\\w+)\\n\\n([^\\n]*)\\n");
  std::map<int, std::string> seen;
  for (std::sregex_iterator it(report.begin(), report.end(), block), end; it != end; ++it) {
    seen[std::stoi((*it)[1])] = (*it)[2].str() + "|" + (*it)[3].str() + "|" + (*it)[4].str();
  }
  EXPECT_EQ(seen, expected) << report;
  EXPECT_NE(report.find("phone memory"), std::string::npos) << "the ME storage was not listed";
}

}  // namespace
