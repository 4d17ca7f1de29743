#include <algorithm>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// Names as each of the phone's character sets carries them, shown in a Russian host's OEM code
// page (866), and written back unchanged by an edit that changes nothing. Natively only: under
// Wine the OEM code page is the locale's, which the Windows suite keeps at 437.
namespace EndToEnd {
namespace {

struct CharsetCase {
  const char* name;
  const char* profile;    // the simulator's kind of phone
  const char* storedSet;  // the set the model's profile asks for; empty: the plug-in chooses
  const char* chosenSet;  // what the phone is asked for
  std::string utf8Name;   // as the phone holds it
  std::string oemName;    // as the panel shows it, in code page 866
};

void PrintTo(const CharsetCase& c, std::ostream* out) { *out << c.name; }

class PhoneBookCharsets : public OpenPhone, public testing::WithParamInterface<CharsetCase> {};

TEST_P(PhoneBookCharsets, NamesShowInTheOemPageAndSurviveAnEdit) {
  const CharsetCase& c = GetParam();
  CScopedEnvironment russian("LANG", std::string("ru_RU.UTF-8"));
  CScopedEnvironment oem("ZANTEL_OEMCP", std::nullopt);
  if (*c.storedSet) {
    Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey + "\\Models\\0000");
    for (const auto& [name, text] :
         {std::pair<std::string, std::string>{"Manufacturer", "Zantel"},
          {"Model", c.profile == std::string("modem") ? "USB Stick 4G" : "Classic 100"},
          {"Charset", c.storedSet}}) {
      key.SetValue(name, Platform::kRegSz,
                   {reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1});
    }
  }
  PhoneSimulatorSetup setup = Phone(c.profile);
  setup.stateJson = std::string(R"({"profile": ")") + c.profile +
                    R"(", "phoneBooks": [{"name": "SM", "size": 250, "numberLength": 40,
                    "nameLength": 18, "entries": [{"index": 1, "number": "+79001234567",
                    "type": 145, "name": ")" +
                    c.utf8Name + R"("}]}]})";
  Load();
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  const Host::CPanel& panel = m_host.Panel(Host::EPanel::Plugin);
  ASSERT_EQ(panel.Items().size(), 2u);
  EXPECT_EQ(panel.Items()[1].name, c.oemName);
  EXPECT_EQ(panel.Items()[1].description, c.oemName);

  m_host.Activate(Host::EPanel::Plugin);
  ASSERT_TRUE(m_host.Panel(Host::EPanel::Plugin).SetCurrent(c.oemName));
  m_host.AnswerDialog("EditItemDlg").Close(5);
  m_host.PressKey(kVkF4);
  EXPECT_EQ(m_host.Panel(Host::EPanel::Plugin).Items().at(1).name, c.oemName);
  const Commands commands = FinishPhone();
  EXPECT_NE(
      std::find(commands.begin(), commands.end(), std::string("AT+CSCS=\"") + c.chosenSet + "\""),
      commands.end());
  EXPECT_NE(std::find_if(commands.begin(), commands.end(),
                         [](const std::string& line) { return line.starts_with("AT+CPBW=1,"); }),
            commands.end())
      << "the edit was not written";
  EXPECT_NE(m_phone->SavedState().find(c.utf8Name), std::string::npos)
      << "the phone's name changed: " << m_phone->SavedState();
}

INSTANTIATE_TEST_SUITE_P(
    Sets, PhoneBookCharsets,
    testing::Values(CharsetCase{"Ucs2", "classic", "", "UCS2", "Анна Смирнова",
                                "\x80\xAD\xAD\xA0\x20\x91\xAC\xA8\xE0\xAD\xAE\xA2\xA0"},
                    CharsetCase{"Utf8", "modem", "", "UTF-8", "Дмитрий",
                                "\x84\xAC\xA8\xE2\xE0\xA8\xA9"},
                    CharsetCase{"GsmWithEscapes", "classic", "GSM", "GSM", "Ivan ¤ [x]",
                                "\x49\x76\x61\x6E\x20\xFD\x20\x5B\x78\x5D"}));

}  // namespace
}  // namespace EndToEnd
