#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "classic_phone.h"
#include "open_phone_fixture.h"

// Composing as a user meets it in the SMS view: the message dialog, names from the phone book,
// and what the simulated phone took in (it checks every PDU with its own reading of GSM 03.40
// and refuses one whose length or coding does not add up).
namespace EndToEnd {
namespace {

using Host::EPanel;

// The dialog's items: the destination field, the first of the five text lines, the buttons.
constexpr int kDestination = 2;
constexpr int kFirstLine = 5;
constexpr int kSend = 10;
constexpr int kSave = 11;

const std::string kUk = "+447700900123";
// Worked out by hand: SMS-SUBMIT without SC address, message reference 0, destination, PID 0,
// DCS 0, then the packed septets.
const std::string kHelloPdu =
    "0001000C914477000910320000"
    "05C8329BFD06";
const std::string kHiTherePdu =
    "0001000C914477000910320000"
    "08C8B4828E2ECBCB";
const std::string kHiThereNationalPdu =
    "0001000B811036920621F30000"
    "08C8B4828E2ECBCB";
// Bob of the SIM phone book, with no text.
const std::string kEmptyToBobPdu =
    "0001000C914477000900200000"
    "00";

// The SIM's message memory, 40 places with 5 taken, made `size` places large.
std::string ClassicPhoneWithSimMessages(int size) {
  std::string state = ClassicState();
  const std::string full = "\"size\": 40";
  const size_t at = state.find(full);
  if (at != std::string::npos) state.replace(at, full.size(), "\"size\": " + std::to_string(size));
  return state;
}

// The commands and PDUs of sending and saving alone, without the listing after them.
Commands Transmitted(const Commands& commands) {
  Commands transmitted;
  bool afterPrompt = false;
  for (const std::string& command : commands) {
    if (afterPrompt || command.starts_with("AT+CMGS") || command.starts_with("AT+CMGW")) {
      transmitted.push_back(command);
    }
    afterPrompt = command.starts_with("AT+CMGS") || command.starts_with("AT+CMGW");
  }
  return transmitted;
}

// Every "pdu" of the saved state, in order: stored messages, then those handed to the network.
std::vector<std::string> SavedPdus(const std::string& state) {
  std::vector<std::string> pdus;
  static const std::regex kPdu("\"pdu\"\\s*:\\s*\"([0-9A-F]*)\"");
  for (auto it = std::sregex_iterator(state.begin(), state.end(), kPdu);
       it != std::sregex_iterator(); ++it) {
    pdus.push_back((*it)[1]);
  }
  return pdus;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// A PDU as the phone keeps what it handed to the network: its own message reference in place.
std::string AsSent(const std::string& pdu, int reference) {
  char octet[3];
  std::snprintf(octet, sizeof octet, "%02X", reference);
  return pdu.substr(0, 4) + octet + pdu.substr(6);
}

class Compose : public OpenPhone {
 protected:
  void OpenSms(const std::string& state, const std::string& faults = {}) {
    Load();
    PhoneSimulatorSetup setup = Phone("classic", {}, faults);
    setup.stateJson = state;
    StartPhone(setup);
    ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
    m_host.Activate(EPanel::Plugin);
  }

  void NewMessage() { ASSERT_TRUE(m_host.PressKey(kVkF4, PKF_SHIFT)); }

  // The message dialog, when it comes, filled in with one destination and one line of text and
  // closed with `button`.
  void Fill(const std::string& destination, const std::string& text, int button) {
    m_host.AnswerDialog("CreateSMSMsg")
        .SetText(kDestination, destination)
        .SetText(kFirstLine, text)
        .Close(button);
  }

  const Host::ShownDialog& LastDialog() const { return m_host.Dialogs().back(); }

  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const Host::ShownMessage& box : m_host.Messages()) {
      if (box.buttons == 0) continue;  // wait boxes
      std::string text = box.helpTopic + ":";
      for (size_t i = 0; i + box.buttons < box.items.size(); ++i) text += " " + box.items[i];
      boxes.push_back(text);
    }
    return boxes;
  }
};

TEST_F(Compose, SendsToOneAndTwoDestinationsAndOffersTheLastOnesAgain) {
  OpenSms(ClassicState());
  Fill(kUk, "Hello", kSend);
  m_host.AnswerMessage(0);
  NewMessage();

  // The next message starts from the last one; two numbers typed with a semicolon are two
  // recipients.
  m_host.AnswerDialog("CreateSMSMsg")
      .SetText(kDestination, kUk + " ; 01632960123")
      .SetText(kFirstLine, "Hi")
      .SetText(kFirstLine + 1, "there")
      .Close(kSend);
  m_host.AnswerMessage(0);
  NewMessage();
  EXPECT_EQ(LastDialog().items[kDestination].data, kUk);
  EXPECT_EQ(LastDialog().items[kFirstLine].data, "Hello");

  m_host.AnswerDialog("CreateSMSMsg").Escape();
  NewMessage();
  const Host::ShownDialog& third = LastDialog();
  EXPECT_EQ(third.items[kDestination].data, "<several recipients>");
  EXPECT_NE(third.items[kDestination].flags & DIF_READONLY, 0u);
  EXPECT_EQ(third.items[kFirstLine].data, "Hi");
  EXPECT_EQ(third.items[kFirstLine + 1].data, "there");
  EXPECT_EQ(third.items[kFirstLine + 2].data, "");

  EXPECT_EQ(Boxes(), (std::vector<std::string>{": Information The message has been sent",
                                               ": Information The message has been sent"}));
  EXPECT_EQ(Transmitted(FinishPhone()), (Commands{"AT+CMGS=18", kHelloPdu, "AT+CMGS=20",
                                                  kHiTherePdu, "AT+CMGS=20", kHiThereNationalPdu}));
  const std::vector<std::string> pdus = SavedPdus(m_phone->SavedState());
  EXPECT_TRUE(Contains(pdus, AsSent(kHelloPdu, 7)));
  EXPECT_TRUE(Contains(pdus, AsSent(kHiTherePdu, 8)));
  EXPECT_TRUE(Contains(pdus, AsSent(kHiThereNationalPdu, 9)));
}

TEST_F(Compose, SavesALongMessageInPartsAndSendsAnEmptyOneToANameFromThePhoneBook) {
  Load();
  PhoneSimulatorSetup setup = Phone("classic");
  setup.stateJson = ClassicState();
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.SetDirectory("SM"));  // the phone book's names are known from here on
  m_host.AnswerMenu("Functions").Choose(5);
  ASSERT_TRUE(m_host.PressKey(kVkF2));

  // One line of 161 characters: two messages, after the question.
  Fill(kUk, std::string(161, 'a'), kSave);
  m_host.AnswerMessage(0).Topic("TextTooLongMsg");
  m_host.AnswerMessage(0);
  NewMessage();

  // "bob" is the beginning of one name; the empty text is sent after the question.
  Fill("bob", "", kSend);
  m_host.AnswerMessage(0).Topic("EmptyMsg");
  m_host.AnswerMessage(0);
  NewMessage();

  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "TextTooLongMsg: Warning The text is too long for one message. It has 161 "
                         "characters; one message holds 160. Send it in 2 parts?",
                         ": Information The message has been saved in the phone",
                         "EmptyMsg: Warning The message is empty. Send it all the same?",
                         ": Information The message has been sent"}));
  const Commands transmitted = Transmitted(FinishPhone());
  ASSERT_EQ(transmitted.size(), 6u);
  EXPECT_EQ(transmitted[0], "AT+CMGW=153");
  EXPECT_EQ(transmitted[2], "AT+CMGW=27");
  EXPECT_EQ(transmitted[4], "AT+CMGS=13");
  EXPECT_EQ(transmitted[5], kEmptyToBobPdu);
  // Both parts carry the header of part 1 and 2 of 2 under one reference.
  const std::regex part(
      "0041000C914477000910320000(A0|0F)050003([0-9A-F]{2})020([12])C2E170381C0E87.*");
  std::smatch first;
  std::smatch second;
  ASSERT_TRUE(std::regex_match(transmitted[1], first, part)) << transmitted[1];
  ASSERT_TRUE(std::regex_match(transmitted[3], second, part)) << transmitted[3];
  EXPECT_EQ(first[1], "A0");
  EXPECT_EQ(second[1], "0F");
  EXPECT_EQ(first[2], second[2]);
  EXPECT_EQ(first[3], "1");
  EXPECT_EQ(second[3], "2");
  const std::vector<std::string> pdus = SavedPdus(m_phone->SavedState());
  EXPECT_TRUE(Contains(pdus, transmitted[1]));
  EXPECT_TRUE(Contains(pdus, transmitted[3]));
  EXPECT_TRUE(Contains(pdus, AsSent(kEmptyToBobPdu, 7)));
}

TEST_F(Compose, RefusalsEndTheTransmissionWithThePhonesLine) {
  // The phone turns down the first prompt; its memory then has room for two messages only.
  OpenSms(ClassicPhoneWithSimMessages(7),
          R"({"refusals": [{"command": "AT+CMGS", "times": 1, "reply": "+CMS ERROR: 304"}]})");
  Fill(kUk, "Hello", kSend);
  m_host.AnswerMessage(0);
  NewMessage();

  // Nothing went out after the refusal and the phone is still in step: the same message goes.
  m_host.AnswerDialog("CreateSMSMsg").Close(kSend);
  m_host.AnswerMessage(0);
  NewMessage();

  // Three parts to save, room for two: the third is refused.
  m_host.AnswerDialog("CreateSMSMsg").SetText(kFirstLine, std::string(307, 'a')).Close(kSave);
  m_host.AnswerMessage(0).Topic("TextTooLongMsg");
  m_host.AnswerMessage(0);
  NewMessage();

  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], "Error: Zantel The message could not be sent +CMS ERROR: 304");
  EXPECT_EQ(boxes[1], ": Information The message has been sent");
  // The box says what the phone took before it refused.
  EXPECT_EQ(boxes[3], "PartlySent: Zantel The message could not be saved Saved 2 of 3 parts for " +
                          kUk + " Part 3 of 3 for " + kUk +
                          " was not saved: +CMS ERROR: memory full");
  const Commands received = FinishPhone();
  const Commands transmitted = Transmitted(received);
  ASSERT_EQ(transmitted.size(), 9u);
  // Nothing was taken at the refused prompt, so nothing is listed again; the two parts that were
  // saved are.
  const auto refused = std::find(received.begin(), received.end(), "AT+CMGS=18");
  ASSERT_NE(refused, received.end());
  EXPECT_EQ(*(refused + 1), "AT+CMGS=18");
  EXPECT_TRUE(received.back().starts_with("AT+CMGL")) << received.back();
  EXPECT_EQ(transmitted[0], "AT+CMGS=18");
  EXPECT_EQ(transmitted[1], "AT+CMGS=18");
  EXPECT_EQ(transmitted[2], kHelloPdu);
  EXPECT_EQ(transmitted[3], "AT+CMGW=153");
  EXPECT_EQ(transmitted[5], "AT+CMGW=153");
  EXPECT_EQ(transmitted[7], "AT+CMGW=20");
  const std::vector<std::string> pdus = SavedPdus(m_phone->SavedState());
  EXPECT_EQ(std::count(pdus.begin(), pdus.end(), transmitted[4]), 1);
  EXPECT_EQ(std::count(pdus.begin(), pdus.end(), transmitted[6]), 1);
  EXPECT_FALSE(Contains(pdus, transmitted[8]));
}

// A three-part message whose third part the phone refuses: the box says the first two went, and
// the phone handed each of them to the network once.
TEST_F(Compose, SendStoppedAtTheThirdPartSaysWhatWent) {
  OpenSms(ClassicState(),
          R"({"refusals": [{"command": "AT+CMGS=20", "reply": "+CMS ERROR: 500"}]})");
  Fill(kUk, std::string(307, 'a'), kSend);
  m_host.AnswerMessage(0).Topic("TextTooLongMsg");
  m_host.AnswerMessage(0);
  NewMessage();

  EXPECT_EQ(Boxes().back(),
            "PartlySent: Zantel The message could not be sent Sent 2 of 3 parts to " + kUk +
                " Part 3 of 3 to " + kUk + " was not sent: +CMS ERROR: 500");
  const Commands transmitted = Transmitted(FinishPhone());
  ASSERT_GE(transmitted.size(), 5u);
  EXPECT_EQ(transmitted[4], "AT+CMGS=20");
  EXPECT_TRUE(transmitted.size() == 5 || transmitted[5].starts_with("AT"))
      << "no PDU went after the refused prompt";
  const std::vector<std::string> pdus = SavedPdus(m_phone->SavedState());
  for (const size_t part : {1u, 3u}) {
    EXPECT_EQ(std::count_if(pdus.begin(), pdus.end(),
                            [&](const std::string& pdu) {
                              return pdu.substr(6) == transmitted[part].substr(6);
                            }),
              1)
        << "part " << (part + 1) / 2;
  }
}

// F4 on a stored message: the dialog holds its recipient and text, and sent again unchanged it
// goes out as the very TPDU the phone had stored (the model's profile leaves the service centre
// to the phone).
TEST_F(Compose, StoredMessagesGoOutAgainAsTheyWereStored) {
  OpenSms(ClassicState());
  ASSERT_TRUE(m_host.SetDirectory("Unsent"));
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(1));
  m_host.AnswerDialog("CreateSMSMsg").Close(kSend);
  m_host.AnswerMessage(0);
  ASSERT_TRUE(m_host.PressKey(kVkF4));
  EXPECT_EQ(LastDialog().items[kDestination].data, "+447700900007");
  EXPECT_EQ(LastDialog().items[kFirstLine].data, "Draft to Anna");
  ASSERT_TRUE(m_host.SetDirectory(".."));
  ASSERT_TRUE(m_host.SetDirectory("Sent"));
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(1));
  m_host.AnswerDialog("CreateSMSMsg").Close(kSend);
  m_host.AnswerMessage(0);
  ASSERT_TRUE(m_host.PressKey(kVkF4));

  EXPECT_EQ(Transmitted(FinishPhone()),
            (Commands{"AT+CMGS=25", "0001000C9144770009007000000D4479D84C07D1DFA0A0DB1D06",
                      "AT+CMGS=23", "0001000C9144770009002000000BD3B29B0EA2BF41C2B718"}));
}

// The recipients menu: Ins picks a name from the phone book, Ctrl+Ins takes a typed number,
// Del removes the highlighted one.
TEST_F(Compose, RecipientsMenuAddsFromThePhoneBookAndByNumber) {
  Load();
  PhoneSimulatorSetup setup = Phone("classic");
  setup.stateJson = ClassicState();
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  m_host.AnswerMenu("Functions").Choose(5);
  ASSERT_TRUE(m_host.PressKey(kVkF2));

  m_host.AnswerDialog("CreateSMSMsg").SetText(kDestination, "+447700900999").Close(4);
  m_host.AnswerMenu("Multiple").PressKey(kVkInsert);
  m_host.AnswerMenu("SelectMenu").Choose(1);  // Anna Schmidt, after Anna Berg
  m_host.AnswerMenu("Multiple").PressKey(kVkInsert | (PKF_CONTROL << 16));
  m_host.AnswerDialog("AddNumber").SetText(2, "0163 296 0123").Close(4);
  m_host.AnswerMenu("Multiple").At(0).PressKey(kVkDelete);
  m_host.AnswerMenu("Multiple").Escape();
  m_host.AnswerDialog("CreateSMSMsg").SetText(kFirstLine, "Hello").Close(kSend);
  m_host.AnswerMessage(0);
  NewMessage();

  const std::vector<Host::ShownMenu>& menus = m_host.Menus();
  ASSERT_GE(menus.size(), 5u);
  const Host::ShownMenu& picked = menus[menus.size() - 4];
  ASSERT_EQ(picked.helpTopic, "SelectMenu");
  ASSERT_GE(picked.items.size(), 2u);
  EXPECT_EQ(picked.items[0].text, "Anna Berg (+447700900007)");
  EXPECT_EQ(picked.items[1].text, "Anna Schmidt (+447700900001)");
  std::vector<std::string> last;
  for (const Host::ShownMenuItem& item : menus.back().items) last.push_back(item.text);
  EXPECT_EQ(last, (std::vector<std::string>{"Anna Schmidt (+447700900001)", "0163 296 0123"}));
  EXPECT_EQ(Transmitted(FinishPhone()), (Commands{"AT+CMGS=18",
                                                  "0001000C914477000900100000"
                                                  "05C8329BFD06",
                                                  "AT+CMGS=18",
                                                  "0001000B811036920621F30000"
                                                  "05C8329BFD06"}));
}

// A delivery report and a modem's signal announced before the prompt, on a phone that ends its
// lines with carriage returns alone: the message goes out.
TEST_F(Compose, NoticesBeforeThePromptOnACarriageReturnPhone) {
  OpenSms(ClassicState(), R"({"lineEnd": "cr", "unsolicited": [
      {"command": 1, "every": 1, "at": "beforePrompt", "text": "+CDSI: \"SR\",3"},
      {"command": 1, "every": 1, "at": "beforePrompt", "text": "^RSSI:17"}]})");
  Fill(kUk, "Hello", kSend);
  m_host.AnswerMessage(0);
  NewMessage();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{": Information The message has been sent"}));
  EXPECT_EQ(Transmitted(FinishPhone()), (Commands{"AT+CMGS=18", kHelloPdu}));
  EXPECT_TRUE(Contains(SavedPdus(m_phone->SavedState()), AsSent(kHelloPdu, 7)));
}

// A phone that refuses the PDU, or says something the plug-in cannot place where the prompt
// should be, gets Escape, so that it does not take the commands after it for the PDU: Ctrl+R
// then lists the messages again, and nothing more is shown.
class ComposeWithoutPrompt : public Compose, public testing::WithParamInterface<const char*> {};

TEST_P(ComposeWithoutPrompt, TheCommandsAfterItAreCommands) {
  OpenSms(ClassicState(), GetParam());
  ASSERT_TRUE(m_host.SetDirectory("Received"));
  std::vector<std::string> listed;
  for (const Host::CPanelItem& item : m_host.Panel(EPanel::Plugin).Items()) {
    listed.push_back(item.name);
  }
  Fill(kUk, "Hello", kSend);
  m_host.AnswerMessage(0);
  NewMessage();
  ASSERT_EQ(Boxes().size(), 1u);
  ASSERT_TRUE(m_host.PressKey('R', PKF_CONTROL));

  EXPECT_EQ(Boxes().size(), 1u) << Boxes().back();
  std::vector<std::string> relisted;
  for (const Host::CPanelItem& item : m_host.Panel(EPanel::Plugin).Items()) {
    relisted.push_back(item.name);
  }
  EXPECT_EQ(relisted, listed);
  const Commands commands = FinishPhone();
  EXPECT_EQ(Transmitted(commands), (Commands{"AT+CMGS=18", "AT+CPMS=\"SM\",\"SM\",\"SM\""}));
  EXPECT_EQ(commands.back(), "AT+CMGL=4");
  EXPECT_NE(m_phone->Transcript().find("<< \\x1B"), std::string::npos) << m_phone->Transcript();
}

INSTANTIATE_TEST_SUITE_P(
    Phones, ComposeWithoutPrompt,
    testing::Values(
        R"({"refusals": [{"command": "AT+CMGS", "reply": "+CMS ERROR: 500"}]})",
        R"({"unsolicited": [{"command": 1, "every": 1, "at": "beforePrompt", "text": "BUSY?"}]})"));

// A phone that falls silent before its prompt: the link's time-out asks, giving up ends the
// transmission with a box, and the message is not lost from the next dialog.
TEST_F(Compose, SilentPhoneAtThePromptEndsInTheTimeOut) {
  OpenSms(ClassicState(), R"({"silentAfter": 19})");
  Fill(kUk, "Hello", kSend);
  m_host.AnswerMessage(CMessageAnswer::kLastButton);
  m_host.AnswerMessage(0);
  NewMessage();
  m_host.AnswerDialog("CreateSMSMsg").Escape();
  NewMessage();

  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{
                "TimeoutError: Zantel The phone has not answered for 1 seconds",
                "Error: Zantel The message could not be sent Cannot read from the phone"}));
  EXPECT_EQ(LastDialog().items[kDestination].data, kUk);
  EXPECT_EQ(LastDialog().items[kFirstLine].data, "Hello");
  EXPECT_EQ(Transmitted(FinishPhone()), (Commands{"AT+CMGS=18"}));
}

// A stored text the host's code page cannot show, with CR LF between its lines, goes out again
// unchanged when the user leaves it as it is.
TEST_F(Compose, UnchangedTextKeepsWhatTheHostCannotShow) {
  const std::string stored =
      "0001000C914477000910320008"
      "08"
      "4E2D000D000A6587";
  std::string state = ClassicState();
  const std::string draft = "0001000C9144770009007000000D4479D84C07D1DFA0A0DB1D06";
  ASSERT_NE(state.find(draft), std::string::npos);
  state.replace(state.find(draft), draft.size(), stored);
  OpenSms(state);
  ASSERT_TRUE(m_host.SetDirectory("Unsent"));
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(1));
  m_host.AnswerDialog("CreateSMSMsg").Close(kSend);
  m_host.AnswerMessage(0);
  ASSERT_TRUE(m_host.PressKey(kVkF4));
  EXPECT_EQ(LastDialog().items[kFirstLine + 1].data.size(), 1u) << "CR LF is one line break";

  EXPECT_EQ(Transmitted(FinishPhone()), (Commands{"AT+CMGS=21", stored}));
}

}  // namespace
}  // namespace EndToEnd
