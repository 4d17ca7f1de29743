#include <optional>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// The configuration command as a user meets it: the menu, each page changing the settings, and
// what ends up in the registry once the menu is left.
namespace EndToEnd {
namespace {

std::optional<uint32_t> DwordValue(const std::string& subkey, const std::string& name) {
  Platform::CRegKey key = Platform::CRegKey::Open(kSettingsKey + subkey);
  Platform::RegValue value;
  if (!key.IsOpen() || key.QueryValue(name, value) != 0 || value.Data.size() != 4) {
    return std::nullopt;
  }
  uint32_t number = 0;
  for (size_t i = 0; i < 4; ++i) number |= static_cast<uint32_t>(value.Data[i]) << (8 * i);
  return number;
}

// Item numbers of the pages, in the order the user sees their fields.
namespace General {
constexpr int kPhoneInDisks = 1, kPhoneDigit = 2, kSmsDigit = 6, kFirstPort = 10,
              kFirstPortButton = 11, kFirstPortText = 12, kSecondEnabled = 13, kSecondPort = 14,
              kSecondPortText = 16, kWriteLog = 17, kLogFile = 18, kOk = 19, kCancel = 20;
}
namespace Port {
constexpr int kBaud9600 = 3, kDataBits = 10, kEvenParity = 14, kTwoStopBits = 20, kHwCtl = 21,
              kTimeout = 24, kOk = 25;
}
namespace Sms {
constexpr int kAlwaysShowPhone = 1, kServiceCentre = 3, kOk = 4;
}
namespace Profile {
constexpr int kName = 1, kFirstChoice = 3, kLastChoice = 5, kPhoneChoosesIndex = 6, kReadAtOnce = 9,
              kOk = 10;
}
namespace NewProfile {
constexpr int kManufacturer = 2, kModel = 4, kOk = 5;
}

using Dialogs = std::vector<Host::ShownDialog>;

const Host::ShownDialog* NthDialog(const Dialogs& shown, const std::string& topic, int n) {
  for (const Host::ShownDialog& dialog : shown) {
    if (dialog.helpTopic == topic && n-- == 0) return &dialog;
  }
  return nullptr;
}

TEST_F(OpenPhone, ConfigurationPagesChangeAndStoreTheSettings) {
  SetDword("", "PhoneDiskMenuKey", 5);
  SetDword("", "SMSDiskMenuKey", 7);
  Load();
  const std::string logFile = m_registry.File() + ".log";

  // General page: a port outside 1 to 8 is refused and the dialog comes back as typed; then the
  // first port's button stores the page and opens that port's page.
  m_host.AnswerMenu("Config").Choose(0);
  m_host.AnswerDialog("GeneralConfigDlg")
      .SetSelected(General::kPhoneInDisks, 0)
      .SetText(General::kPhoneDigit, "0")
      .SetText(General::kFirstPort, "9")
      .Close(General::kOk);
  m_host.AnswerMessage(0).Topic("OutOfRangeError");
  m_host.AnswerDialog("GeneralConfigDlg")
      .SetText(General::kFirstPort, "3")
      .Close(General::kFirstPortButton);
  m_host.AnswerDialog("PortConfigDlg")
      .SetSelected(Port::kBaud9600)
      .SetText(Port::kDataBits, "7")
      .SetSelected(Port::kEvenParity)
      .SetSelected(Port::kTwoStopBits)
      .SetSelected(Port::kHwCtl, 0)
      .SetText(Port::kTimeout, "30")
      .Close(Port::kOk);
  m_host.AnswerDialog("GeneralConfigDlg")
      .SetSelected(General::kSecondEnabled)
      .SetText(General::kSecondPort, "2")
      .SetSelected(General::kWriteLog)
      .SetText(General::kLogFile, " ")
      .Close(General::kOk);
  m_host.AnswerMessage(0).Topic("Error");
  m_host.AnswerDialog("GeneralConfigDlg").SetText(General::kLogFile, logFile).Close(General::kOk);
  // A cancelled page changes nothing, even what it had typed.
  m_host.AnswerMenu("Config").Choose(0);
  m_host.AnswerDialog("GeneralConfigDlg")
      .SetText(General::kSmsDigit, "1")
      .SetText(General::kSecondPort, "8")
      .Close(General::kCancel);

  m_host.AnswerMenu("Config").Choose(1);
  m_host.AnswerDialog("SMSConfigDlg")
      .SetSelected(Sms::kAlwaysShowPhone)
      .SetText(Sms::kServiceCentre, "+447700900123")
      .Close(Sms::kOk);
  m_host.AnswerMenu("Config").Choose(1);
  m_host.AnswerDialog("SMSConfigDlg")
      .SetSelected(Sms::kAlwaysShowPhone, 0)
      .SetText(Sms::kServiceCentre, "+15550100")
      .Escape();

  // Model information: the default profile edited, then a profile added for a model the user
  // names, which starts from the edited default; empty and taken names are refused.
  m_host.AnswerMenu("Config").Choose(2);
  m_host.AnswerMenu("InfosMenu").Choose(0);
  m_host.AnswerDialog("InfoConfigDlg")
      .SetSelected(Profile::kFirstChoice)
      .SetSelected(Profile::kPhoneChoosesIndex, 0)
      .SetSelected(Profile::kReadAtOnce)
      .Close(Profile::kOk);
  m_host.AnswerMenu("InfosMenu").PressKey(kVkInsert);
  m_host.AnswerDialog("NewProfileDlg")
      .SetText(NewProfile::kManufacturer, "   ")
      .SetText(NewProfile::kModel, "6310i")
      .Close(NewProfile::kOk);
  m_host.AnswerMessage(0).Topic("Error");
  m_host.AnswerDialog("NewProfileDlg")
      .SetText(NewProfile::kManufacturer, " Nokia ")
      .Close(NewProfile::kOk);
  m_host.AnswerDialog("InfoConfigDlg").SetSelected(Profile::kLastChoice).Close(Profile::kOk);
  m_host.AnswerMenu("InfosMenu").PressKey(kVkInsert);
  m_host.AnswerDialog("NewProfileDlg")
      .SetText(NewProfile::kManufacturer, "Nokia")
      .SetText(NewProfile::kModel, "6310i")
      .Close(NewProfile::kOk);
  m_host.AnswerMessage(0).Topic("Error");
  m_host.AnswerDialog("NewProfileDlg").Escape();
  m_host.AnswerMenu("InfosMenu").Escape();
  // Leaving the menu with Escape saves all the same.
  m_host.AnswerMenu("Config").Escape();

  EXPECT_EQ(m_host.Configure(0), 1);
  m_host.Verify();

  // What the user saw on the way.
  const Dialogs& dialogs = m_host.Dialogs();
  const Host::ShownDialog* generalAgain = NthDialog(dialogs, "GeneralConfigDlg", 2);
  ASSERT_NE(generalAgain, nullptr);
  EXPECT_EQ(generalAgain->items.at(General::kFirstPortText).data, "9600, 7E2");
  EXPECT_EQ(generalAgain->items.at(General::kSecondPortText).data, "115200, 8N1");
  EXPECT_EQ(generalAgain->items.at(General::kFirstPort).data, "3");
  const Host::ShownDialog* refused = NthDialog(dialogs, "GeneralConfigDlg", 1);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->items.at(General::kFirstPort).data, "9") << "the refused input is kept";
  EXPECT_EQ(refused->items.at(General::kFirstPort).focus, 1);
  const Host::ShownDialog* port = NthDialog(dialogs, "PortConfigDlg", 0);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->items.at(0).data, "COM3 port settings");
  const Host::ShownDialog* added = NthDialog(dialogs, "InfoConfigDlg", 1);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->items.at(Profile::kName).data, "Nokia 6310i");
  const Host::ShownDialog* retyped = NthDialog(dialogs, "NewProfileDlg", 1);
  ASSERT_NE(retyped, nullptr);
  EXPECT_EQ(retyped->items.at(NewProfile::kModel).data, "6310i") << "the typed model is kept";
  std::vector<std::string> boxes;
  for (const Host::ShownMessage& box : m_host.Messages()) boxes.push_back(box.items.at(1));
  EXPECT_EQ(boxes,
            (std::vector<std::string>{"The value must be from 1 to 8", "Give the log file's name",
                                      "Give both the manufacturer and the model",
                                      "There is a profile for Nokia 6310i already"}));
  std::vector<std::vector<std::string>> profileMenus;
  std::vector<int> profileCursor;
  for (const Host::ShownMenu& menu : m_host.Menus()) {
    if (menu.helpTopic != "InfosMenu") continue;
    profileMenus.emplace_back();
    profileCursor.push_back(-1);
    for (size_t i = 0; i < menu.items.size(); ++i) {
      profileMenus.back().push_back(menu.items[i].text);
      if (menu.items[i].selected) profileCursor.back() = static_cast<int>(i);
    }
  }
  EXPECT_EQ(profileMenus.back(), (std::vector<std::string>{"Default ", "Nokia 6310i"}));
  EXPECT_EQ(profileCursor, (std::vector<int>{0, 0, 1, 1}));

  // What was stored.
  struct Stored {
    const char* subkey;
    const char* name;
    uint32_t value;
  };
  const Stored kStored[] = {
      {"", "PhoneShowInDisksMenu", 0},
      {"", "PhoneDiskMenuKey", 0},
      {"", "SMSDiskMenuKey", 7},
      {"", "EnableSecondCOMPort", 1},
      {"", "WriteLogFile", 1},
      {"", "AlwaysShowPhone", 1},
      {"\\FirstCOM", "Port", 3},
      {"\\FirstCOM", "BaudRate", 9600},
      {"\\FirstCOM", "DataBits", 7},
      {"\\FirstCOM", "Parity", 2},
      {"\\FirstCOM", "StopBits", 2},
      {"\\FirstCOM", "HwCtl", 0},
      {"\\FirstCOM", "Timeout", 30},
      {"\\SecondCOM", "Port", 2},
      {"\\SecondCOM", "BaudRate", 115200},
      {"\\Models", "SpecialCharacters", 0},
      {"\\Models", "Flags", 14},
      {"\\Models\\0000", "SpecialCharacters", 2},
      {"\\Models\\0000", "Flags", 14},
  };
  for (const Stored& stored : kStored) {
    EXPECT_EQ(DwordValue(stored.subkey, stored.name), stored.value)
        << stored.subkey << "\\" << stored.name;
  }
  EXPECT_EQ(StringValue("", "LogFile"), logFile);
  EXPECT_EQ(StringValue("", "DefaultSCA"), "+447700900123");
  EXPECT_EQ(StringValue("\\Models\\0000", "Manufacturer"), "Nokia");
  EXPECT_EQ(StringValue("\\Models\\0000", "Model"), "6310i");
  EXPECT_EQ(StringValue("\\Models\\0000", "Charset"), "");
  EXPECT_FALSE(StringValue("\\Models\\0001", "Model"));
}

// The log file's name is asked for only while the log is to be written: with the box clear an
// empty name is stored as it is; checking the box with that name brings the box that asks.
TEST_F(OpenPhone, LogFileNameIsNeededOnlyForTheLog) {
  Load();
  m_host.AnswerMenu("Config").Choose(0);
  m_host.AnswerDialog("GeneralConfigDlg")
      .SetSelected(General::kWriteLog, 0)
      .SetText(General::kLogFile, "")
      .Close(General::kOk);
  m_host.AnswerMenu("Config").Choose(0);
  m_host.AnswerDialog("GeneralConfigDlg").SetSelected(General::kWriteLog).Close(General::kOk);
  m_host.AnswerMessage(0).Topic("Error");
  m_host.AnswerDialog("GeneralConfigDlg").Close(General::kCancel);
  m_host.AnswerMenu("Config").Escape();

  EXPECT_EQ(m_host.Configure(0), 1);
  m_host.Verify();
  ASSERT_EQ(m_host.Messages().size(), 1u);
  EXPECT_EQ(m_host.Messages()[0].items.at(1), "Give the log file's name");
  const Host::ShownDialog* refused = NthDialog(m_host.Dialogs(), "GeneralConfigDlg", 2);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->items.at(General::kLogFile).focus, 1);
  EXPECT_EQ(DwordValue("", "WriteLogFile"), 0u);
  EXPECT_EQ(StringValue("", "LogFile"), "");
}

}  // namespace
}  // namespace EndToEnd
