#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// Long texts typed in a host whose OEM code page carries them: Cyrillic in 866, the euro sign
// in 1252. The simulated phone checks each saved part's length and coding with its own reading
// of GSM 03.40; listed again, the parts read back as the text that was typed. Natively only:
// under Wine the OEM code page is the locale's, which the Windows suite keeps at 437.
namespace EndToEnd {
namespace {

using Host::EPanel;

constexpr int kDestination = 2;
constexpr int kFirstLine = 5;
constexpr int kSave = 11;

struct LongTextCase {
  const char* name;
  const char* codePage;
  std::string typed;  // in that code page
  std::vector<std::string> lengths;
  std::vector<std::string> parts;  // as the Unsent folder shows them, in part order
};

void PrintTo(const LongTextCase& c, std::ostream* out) { *out << c.name; }

std::string Repeated(const std::string& piece, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// "Привет" in code page 866, and 71 Cyrillic letters made of it.
const std::string kPrivet = "\x8F\xE0\xA8\xA2\xA5\xE2";
const std::string kCyrillic71 = Repeated(kPrivet, 11) + "\x8F\xE0\xA8\xA2\xA5";

// A part is 13 octets of header fields and user-data length, then the user data: the
// concatenation header of 6 octets and 67 UCS2 units (140), or 4 units (14); in the default
// alphabet 153 septets and the header's 7 (140 octets), or 6 letters, the euro's escape and
// code and the header (15 septets, 14 octets).
const LongTextCase kCases[] = {
    {"SeventyOneCyrillicLettersInTwoUcsTwoParts",
     "866",
     kCyrillic71,
     {"AT+CMGW=153", "AT+CMGW=27"},
     {kCyrillic71.substr(0, 67), kCyrillic71.substr(67)}},
    {"OneEuroMakesOneHundredSixtyCharactersTwoParts",
     "1252",
     std::string(159, 'a') + "\x80",
     {"AT+CMGW=153", "AT+CMGW=27"},
     {std::string(153, 'a'), std::string(6, 'a') + "\x80"}},
};

class LongTexts : public OpenPhone, public testing::WithParamInterface<LongTextCase> {};

TEST_P(LongTexts, AreSavedInPartsThePhoneAcceptsAndReadBackAsTyped) {
  const LongTextCase& c = GetParam();
  CScopedEnvironment oem("ZANTEL_OEMCP", std::string(c.codePage));
  Load();
  StartPhone(Phone("classic"));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  m_host.Activate(EPanel::Plugin);
  m_host.AnswerDialog("CreateSMSMsg")
      .SetText(kDestination, "+447700900123")
      .SetText(kFirstLine, c.typed)
      .Close(kSave);
  m_host.AnswerMessage(0).Topic("TextTooLongMsg");
  m_host.AnswerMessage(0);
  ASSERT_TRUE(m_host.PressKey(kVkF4, PKF_SHIFT));

  ASSERT_TRUE(m_host.SetDirectory("Unsent"));
  std::vector<std::string> listed;
  for (const Host::CPanelItem& item : m_host.Panel(EPanel::Plugin).Items()) {
    if (!item.IsParent()) listed.push_back(item.description);
  }
  std::vector<std::string> saveCommands;
  for (const std::string& command : FinishPhone()) {
    if (command.starts_with("AT+CMGW")) saveCommands.push_back(command);
  }
  EXPECT_EQ(saveCommands, c.lengths);
  EXPECT_EQ(listed, c.parts) << "the phone refused a part, or a part reads back otherwise";
}

INSTANTIATE_TEST_SUITE_P(Composing, LongTexts, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace EndToEnd
