#include "phone/tools_parts.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ClockCase {
  Platform::SystemTime time;
  std::optional<int32_t> bias;
  const char* text;  // what goes between the double quotes of AT+CCLK
};

const Platform::SystemTime kMarch7{2005, 3, 1, 7, 9, 5, 2, 0};

// The zone counts quarter hours, cut toward zero, and never leaves two digits and a sign.
TEST(PhoneClock, ClockAndZoneTexts) {
  const ClockCase cases[] = {
      {kMarch7, -60, "05/03/07,09:05:02+04"},  // UTC+1
      {kMarch7, 0, "05/03/07,09:05:02+00"},
      {kMarch7, 300, "05/03/07,09:05:02-20"},   // UTC-5
      {kMarch7, -330, "05/03/07,09:05:02+22"},  // UTC+5:30
      {kMarch7, -345, "05/03/07,09:05:02+23"},  // UTC+5:45
      {kMarch7, -825, "05/03/07,09:05:02+55"},  // UTC+13:45
      {kMarch7, 570, "05/03/07,09:05:02-38"},   // UTC-9:30
      {kMarch7, 30, "05/03/07,09:05:02-02"},
      {kMarch7, -50, "05/03/07,09:05:02+03"},           // no whole quarter
      {kMarch7, std::nullopt, "05/03/07,09:05:02+00"},  // the system knows no zone
      {kMarch7, -840, "05/03/07,09:05:02+56"},          // the zones' ends
      {kMarch7, 720, "05/03/07,09:05:02-48"},
      {kMarch7, -841, "05/03/07,09:05:02+00"},  // beyond any zone: taken as unknown
      {kMarch7, 721, "05/03/07,09:05:02+00"},
      {kMarch7, INT32_MIN, "05/03/07,09:05:02+00"},
      {kMarch7, INT32_MAX, "05/03/07,09:05:02+00"},
      {{1999, 12, 5, 31, 23, 59, 59, 999}, -60, "99/12/31,23:59:59+04"},
      {{2100, 1, 5, 1, 0, 0, 0, 0}, -60, "00/01/01,00:00:00+04"},
  };
  for (const ClockCase& c : cases) {
    EXPECT_EQ(ClockText(c.time) + ZoneText(c.bias), c.text)
        << "bias " << (c.bias ? std::to_string(*c.bias) : "none");
  }
}

struct TerminalCase {
  const char* name;
  std::vector<std::string> received;   // lines as read, each up to its line feed
  size_t endsAt;                       // the line that ends the answer; past the end for none
  std::vector<std::string> lastShown;  // the scroll-back's last lines, oldest first
};

void PrintTo(const TerminalCase& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> Numbered(int first, int last, const char* ending) {
  std::vector<std::string> lines;
  for (int i = first; i <= last; ++i) lines.push_back("+CPBR: " + std::to_string(i) + ending);
  return lines;
}

class Terminal : public testing::TestWithParam<TerminalCase> {};

// Every line the phone sends is shown (echo and unsolicited codes too) until a final result.
TEST_P(Terminal, ScrollBackAndEndOfAnswer) {
  const TerminalCase& c = GetParam();
  TerminalLines lines;
  size_t end = c.received.size();
  for (size_t i = 0; i < c.received.size(); ++i) {
    if (TakeTerminalLine(lines, c.received[i])) {
      end = i;
      break;
    }
  }
  EXPECT_EQ(end, c.endsAt);
  ASSERT_LE(c.lastShown.size(), kTerminalLines);
  const std::vector<std::string> shown(lines.end() - c.lastShown.size(), lines.end());
  EXPECT_EQ(shown, c.lastShown);
  const std::vector<std::string> blank(lines.begin(), lines.end() - c.lastShown.size());
  for (const std::string& line : blank) EXPECT_EQ(line, "");
}

std::vector<std::string> TwentyLines() {
  std::vector<std::string> lines = Numbered(1, 20, "\r\n");
  lines.push_back("\r\n");
  lines.push_back("OK\r\n");
  return lines;
}

std::vector<std::string> LastFifteen() {
  std::vector<std::string> lines = Numbered(7, 20, "");
  lines.push_back("OK");
  return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Terminal,
    testing::Values(
        TerminalCase{"Ok", {"AT\r\r\n", "\r\n", "OK\r\n", "+CPBR: late\r\n"}, 2, {"AT", "OK"}},
        TerminalCase{"ErrorWithBlanks", {"ERROR  \r\n"}, 0, {"ERROR"}},
        TerminalCase{"CmsError", {"+CMS ERROR: 500\r\n", "OK\r\n"}, 0, {"+CMS ERROR: 500"}},
        TerminalCase{"CmeError", {"+CME ERROR: 10\r\n"}, 0, {"+CME ERROR: 10"}},
        TerminalCase{"NotFinal",
                     {" OK\r\n", "ok\r\n", "OKAY\r\n", "+CME ERRO\r\n", "RING\r\n"},
                     5,
                     {" OK", "ok", "OKAY", "+CME ERRO", "RING"}},
        TerminalCase{"BlankLinesAreNotShown", {"\r\n", " \t\r\n", "\n"}, 3, {}},
        TerminalCase{"ControlCharactersShownSafely",
                     {"\x1b[2J\x1b]0;owned\x07 x\x7f\x01\r\n", "+CMTI: \"SM\",\x1b\r\n"},
                     2,
                     {".[2J.]0;owned. x..", "+CMTI: \"SM\",."}},
        TerminalCase{"TwentyLinesLeaveTheLastFifteen", TwentyLines(), 21, LastFifteen()}),
    [](const auto& info) { return std::string(info.param.name); });

struct StorageCase {
  const char* name;
  std::vector<std::string> answer;
  std::vector<std::string> phoneBooks;
  std::vector<std::string> messageStores;
};

void PrintTo(const StorageCase& c, std::ostream* out) { *out << c.name; }

class ProbedStorages : public testing::TestWithParam<StorageCase> {};

TEST_P(ProbedStorages, FromTheFirstLine) {
  const StorageCase& c = GetParam();
  EXPECT_EQ(PhoneBookStoragesToProbe(c.answer), c.phoneBooks);
  EXPECT_EQ(MessageStoragesToProbe(c.answer), c.messageStores);
}

std::string ManyStorages() {
  std::string line = "+CPBS: (";
  for (int i = 0; i < 40; ++i) line += "\"S" + std::to_string(i % 10) + "\",";
  return line + "\"ME\")";
}

std::vector<std::string> First32() {
  std::vector<std::string> names;
  for (int i = 0; i < 32; ++i) names.push_back("S" + std::to_string(i % 10));
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ProbedStorages,
    testing::Values(
        StorageCase{"None", {}, {}, {}},
        StorageCase{"PhoneBooks",
                    {"+CPBS: (\"SM\",\"ME\",\"DC\")", "+CPBS: (\"XX\")"},
                    {"SM", "ME", "DC"},
                    {"SM", "ME", "DC"}},
        StorageCase{"MessageStoresOfTheFirstList",
                    {"+CPMS: (\"ME\",\"SM\",\"MT\"),(\"ME\",\"SM\"),(\"SM\")"},
                    {"ME", "SM", "MT", "ME", "SM", "SM"},
                    {"ME", "SM", "MT"}},
        StorageCase{"LongNamesAreNoPhoneBooks",
                    {"+CPMS: (\"BROADCAST\",\"SR\"),(\"SR\")"},
                    {"SR", "SR"},
                    {"BROADCAST", "SR"}},
        StorageCase{"NoListNoMessageStores", {"+CPBS: \"SM\",\"ME\""}, {"SM", "ME"}, {}},
        // A carriage return inside a name would start a command of the phone's choosing.
        StorageCase{"NamesWithControlCharactersLeftOut",
                    {"+CPMS: (\"SM\rAT+CMGD=1,4\",\"\",\"ME\",\"M\x1bT\")"},
                    {"ME"},
                    {"ME"}},
        StorageCase{"AtMostThirtyTwo", {ManyStorages()}, First32(), First32()}),
    [](const auto& info) { return std::string(info.param.name); });

// What a probe selects again once it is done: a name it could not send back selects nothing.
TEST(SelectedStorages, AreTheQuotedNamesOfTheFirstLine) {
  const struct {
    std::vector<std::string> answer;
    std::vector<std::string> selected;
  } cases[] = {
      {{"+CPBS: \"SM\",12,250"}, {"SM"}},
      {{"+CPMS: \"SM\",3,40,\"ME\",1,150,\"MT\",4,190", "+CPMS: \"XX\""}, {"SM", "ME", "MT"}},
      {{"+CPBS: \"S\rM\",12,250"}, {}},
      {{"+CPMS: \"SM\",3,40,\"\",1,150"}, {}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SelectedStorages(c.answer), c.selected) << (c.answer.empty() ? "" : c.answer[0]);
  }
}

}  // namespace
