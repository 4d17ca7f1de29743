#include "sms/message_rendering.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "../platform/scoped_environment.h"
#include "fake_host.h"
#include "farlib/message_ids.h"
#include "settings/settings.h"

namespace {

// 2005-03-12 16:16:41 UTC.
constexpr Platform::FileTime kSentAt = 127551178010000000;

CSMSMessage Message(bool received, std::string address, std::string text = "Hello") {
  CSMSMessage message(received, "", 128);
  message.address = std::move(address);
  message.text = std::move(text);
  if (received) message.timestamp = kSentAt;
  return message;
}

std::vector<std::unique_ptr<PhoneBookStorage>> PhoneBook() {
  std::vector<std::unique_ptr<PhoneBookStorage>> book;
  auto add = [&book](const char* storage, bool loaded, const char* number, const char* name) {
    book.push_back(std::make_unique<PhoneBookStorage>(storage));
    book.back()->Loaded = loaded;
    book.back()->Entries.push_back(std::make_unique<PhoneBookEntry>());
    book.back()->Entries.back()->Number = number;
    book.back()->Entries.back()->Name = name;
  };
  add("ME", false, "+15550001", "Not read yet");
  add("SM", true, "", "No number at all");
  add("SM", true, "+447700900123", "Anna");
  return book;
}

class CShowPhone {
 public:
  explicit CShowPhone(bool on) : m_saved(Settings().AlwaysShowPhone) {
    Settings().AlwaysShowPhone = on;
  }
  ~CShowPhone() { Settings().AlwaysShowPhone = m_saved; }

 private:
  bool m_saved;
};

struct NamingCase {
  const char* name;
  std::string address;
  std::string reportPrefix;
  bool showPhone;
  bool found;
  std::string label;
  std::string fileName;
};

void PrintTo(const NamingCase& c, std::ostream* out) { *out << c.name; }

class MessageNaming : public testing::TestWithParam<NamingCase> {};

TEST_P(MessageNaming, LabelsAndNamesTheItem) {
  const NamingCase& c = GetParam();
  CFakeHost host;
  host.SetMessageText(Msg::kSmsNoNumber, "No number");
  CShowPhone showPhone(c.showPhone);
  CSMSMessage message = Message(true, c.address, "Hi\r\nthere");
  message.label = c.reportPrefix;
  message.storageIndex = 17;
  EXPECT_EQ(LookUpName(message, PhoneBook()), c.found);
  EXPECT_EQ(message.label, c.label);

  PluginPanelItem item{};
  FillPanelItem(message, 4, item);
  EXPECT_EQ(std::string(item.FindData.cFileName), c.fileName);
  ASSERT_NE(item.Description, nullptr);
  EXPECT_EQ(std::string(item.Description), "Hi\r\nthere");
  std::free(item.Description);
  EXPECT_EQ(item.UserData, 4u);
  EXPECT_EQ(item.FindData.nFileSizeLow, 17u);
  EXPECT_EQ(item.FindData.ftLastWriteTime.dwHighDateTime, kSentAt >> 32);
  EXPECT_EQ(item.FindData.ftCreationTime.dwLowDateTime, kSentAt & 0xFFFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(
    Rendering, MessageNaming,
    testing::Values(NamingCase{"KnownWithPhone", "+447700900123", "", true, true, "Anna",
                               "Anna (+447700900123)"},
                    NamingCase{"KnownNameOnly", "+447700900123", "", false, true, "Anna", "Anna"},
                    NamingCase{"NationalFormIsAnotherNumber", "07700900123", "", true, false, "",
                               "07700900123"},
                    NamingCase{"StorageNotReadIsNotSearched", "+15550001", "", false, false, "",
                               "+15550001"},
                    NamingCase{"EmptyAddress", "", "", true, false, "No number", "No number"},
                    NamingCase{"ReportFollowedByName", "+447700900123", "Delivered to: ", false,
                               true, "Delivered to: Anna", "Delivered to_ Anna"},
                    NamingCase{"SenderClimbingFolders", "../../x", "", false, false, "", ".._.._x"},
                    NamingCase{"SenderWithSeparators", "a\\b:c", "", false, false, "", "a_b_c"},
                    NamingCase{"SenderWithEscape", "\x1b[2J", "", true, false, "", "_[2J"},
                    NamingCase{"SenderOfDots", "..", "", false, false, "", "__"}),
    [](const auto& info) { return std::string(info.param.name); });

// The display lines of the message dialog, which is closed with Escape.
std::vector<std::string> ShownLines(const CSMSMessage& message, const MessageList& folder = {}) {
  CFakeHost host;
  host.AnswerDialog("ReadSMSMsg").Escape();
  EXPECT_EQ(ShowSMSMessage(message, folder), MessageAction::kClose);
  std::vector<std::string> lines;
  if (host.Dialogs().size() != 1) return lines;
  for (const Host::ShownDialogItem& item : host.Dialogs()[0].items) {
    if (item.type == DI_EDIT) lines.push_back(item.data);
  }
  return lines;
}

TEST(MessageRendering, WrapsParagraphsAtFiftyColumns) {
  const std::string x50(50, 'x');
  const struct {
    std::string body;
    std::vector<std::string> lines;
  } cases[] = {
      {std::string(120, 'x'), {std::string(120, 'x')}},
      {x50 + " b", {x50, "b"}},
      {x50 + " ", {x50, ""}},
      {std::string(45, 'x') + " " + std::string(10, 'y') + " zz",
       {std::string(45, 'x'), std::string(10, 'y') + " zz"}},
      {std::string(60, 'x') + " tail end", {std::string(60, 'x'), "tail end"}},
      {std::string(40, 'x') + "\t" + std::string(20, 'y'),
       {std::string(40, 'x'), std::string(20, 'y')}},
      {"one  \r\n \n two\nthree", {"one", "two", "three"}},
      {"bell\a and \x1b[2J", {"bell? and ?[2J"}},
      {std::string(600, 'w'), {std::string(600, 'w')}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownLines(Message(false, "+1", c.body)), c.lines) << c.body;
  }
}

TEST(MessageRendering, GathersThePartsOfAConcatenatedMessage) {
  auto part = [](uint16_t reference, uint8_t number, uint8_t count, const char* text) {
    auto message = std::make_unique<CSMSMessage>(Message(true, "+1", text));
    message->concatenated = true;
    message->concatReference = reference;
    message->partNumber = number;
    message->partCount = count;
    return message;
  };
  MessageList folder;
  folder.push_back(part(7, 2, 2, "World"));
  folder.push_back(part(8, 1, 2, "Other "));
  folder.push_back(part(7, 1, 2, "Hello "));
  folder.push_back(part(9, 3, 3, "C"));
  folder.push_back(part(9, 1, 3, "A"));
  const std::vector<std::string> both = {"Hello World"};
  EXPECT_EQ(ShownLines(*folder[0], folder), both);
  EXPECT_EQ(ShownLines(*folder[2], folder), both);
  EXPECT_EQ(ShownLines(*folder[3], folder), std::vector<std::string>{"AC"});
  // The text file holds the one part only.
  EXPECT_NE(MessageFileText(*folder[0]).find("\r\n\r\nWorld\r\n"), std::string::npos);
}

// Every item as "type row,column-right text", defaults marked with '*'.
std::vector<std::string> Layout(const Host::ShownDialog& dialog) {
  std::vector<std::string> items;
  for (const Host::ShownDialogItem& item : dialog.items) {
    char place[64];
    std::snprintf(place, sizeof place, "%d %d,%d-%d ", item.type, item.y1, item.x1, item.x2);
    items.push_back(place + item.data + (item.defaultButton ? "*" : ""));
  }
  return items;
}

TEST(MessageRendering, MessageDialogOfAReceivedPart) {
  CFakeHost host;
  host.SetMessageText(Msg::kSmsPartOf, "Part %d of %d");
  host.AnswerDialog("ReadSMSMsg").Escape();
  CSMSMessage message = Message(true, "+15550001\x1b", "Hello");
  message.concatenated = true;
  message.partNumber = 1;
  message.partCount = 2;
  ShowSMSMessage(message, {});
  ASSERT_EQ(host.Dialogs().size(), 1u);
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(std::vector<int>({shown.x2, shown.y2}), std::vector<int>({60, 14}));
  const std::string file = MessageFileText(message);
  const size_t time = file.find("Time: ") + 6;
  const std::vector<std::string> expected = {
      "3 1,3-56 message 138", "0 3,5-0 message 139",
      "0 3,15-0 +15550001?",  "7 3,45-0 message 156",
      "0 4,5-0 message 140",  "0 4,15-0 ",
      "0 5,5-0 message 141",  "0 5,15-0 " + file.substr(time, file.find('\r', time) - time),
      "0 7,5-0 Part 1 of 2",  "4 8,5-55 Hello",
      "7 10,0-0 OK*",         "7 10,0-0 message 148",
      "7 10,0-0 message 151",
  };
  EXPECT_EQ(Layout(shown), expected);
  EXPECT_EQ(shown.items[9].flags & DIF_READONLY, DIF_READONLY);
}

TEST(MessageRendering, MessageDialogOfAKnownSenderHasNoAddButton) {
  CFakeHost host;
  host.AnswerDialog("ReadSMSMsg").Escape();
  CSMSMessage message = Message(false, "+447700900123", "One\nTwo");
  message.label = "Anna";
  ShowSMSMessage(message, {});
  ASSERT_EQ(host.Dialogs().size(), 1u);
  const std::vector<std::string> expected = {
      "3 1,3-56 message 138", "0 3,5-0 message 139", "0 3,15-0 +447700900123",
      "0 4,5-0 message 140",  "0 4,15-0 Anna",       "4 6,5-55 One",
      "4 7,5-55 Two",         "7 9,0-0 OK*",         "7 9,0-0 message 148",
      "7 9,0-0 message 151",
  };
  EXPECT_EQ(Layout(host.Dialogs()[0]), expected);
  EXPECT_EQ(host.Dialogs()[0].y2, 13);
}

TEST(MessageRendering, MessageDialogAnswersByButton) {
  // Items of an unknown sender's one-line message: 3 add, 7 OK, 8 details, 9 reply.
  const struct {
    std::vector<int> closedBy;  // -1 for Escape
    MessageAction action;
    std::string caption;
  } cases[] = {
      {{7}, MessageAction::kClose, "OK"},
      {{9}, MessageAction::kReply, "message 151"},
      {{3}, MessageAction::kAddSender, "message 156"},
      {{-1}, MessageAction::kClose, ""},
      {{8, 9}, MessageAction::kReply, "message 151"},
      {{8, 8, 7}, MessageAction::kClose, "OK"},
  };
  for (const auto& c : cases) {
    CFakeHost host;
    std::vector<std::string> topics;
    for (int item : c.closedBy) {
      if (item < 0) {
        host.AnswerDialog("ReadSMSMsg").Escape();
      } else {
        host.AnswerDialog("ReadSMSMsg").Close(item);
      }
      if (item == 8) host.AnswerDialog("ReadSMSAvdancedMsg").Escape();
    }
    EXPECT_EQ(ShowSMSMessage(Message(false, "+15550001"), {}), c.action) << c.caption;
    const int closing = c.closedBy.back();
    ASSERT_EQ(host.Dialogs().size(), c.closedBy.size() * 2 - 1);
    if (closing >= 0) {
      EXPECT_EQ(host.Dialogs().back().items[static_cast<size_t>(closing)].data, c.caption);
    }
  }
}

// The detail dialog of one PDU, closed with Escape: every item with a text but the frame.
std::vector<std::string> DetailItems(const std::string& pdu, bool received) {
  CFakeHost host;
  host.AnswerDialog("ReadSMSAvdancedMsg").Escape();
  CSMSMessage message(received, "", 128);
  EXPECT_TRUE(message.Decode(pdu)) << pdu;
  ShowDetails(message);
  std::vector<std::string> items;
  if (host.Dialogs().size() != 1) return items;
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(std::vector<int>({shown.x2, shown.y2}), std::vector<int>({70, 18}));
  EXPECT_EQ(shown.items[0].data, "message 143");
  const std::vector<std::string> layout = Layout(shown);
  for (size_t i = 1; i < shown.items.size(); ++i) {
    const Host::ShownDialogItem& item = shown.items[i];
    EXPECT_NE(item.type, DI_BUTTON);
    if (item.type == DI_EDIT) {
      EXPECT_EQ(item.flags & DIF_READONLY, DIF_READONLY);
    }
    if (item.type == DI_CHECKBOX) {
      EXPECT_EQ(item.flags & DIF_DISABLE, DIF_DISABLE);
      EXPECT_EQ(item.selected, message.singleShot ? 1 : 0);
    }
    if (!item.data.empty()) items.push_back(layout[i]);
  }
  return items;
}

// The rows below the fixed ones, from `row` on: MR (when given), FO, PID, DCS, a gap, Text.
std::vector<std::string> Fields(int row, std::optional<int> mr, int fo) {
  std::vector<std::string> rows;
  auto add = [&rows](int at, const char* label, int value) {
    rows.push_back("0 " + std::to_string(at) + ",5-0 " + label);
    rows.push_back("4 " + std::to_string(at) + ",11-12 " + std::to_string(value));
  };
  if (mr) add(row++, "MR:", *mr);
  add(row++, "FO:", fo);
  add(row++, "PID:", 0);
  add(row++, "DCS:", 0);
  rows.push_back("0 " + std::to_string(row + 1) + ",5-0 Text:");
  rows.push_back("4 " + std::to_string(row + 1) + ",11-64 Hello");
  return rows;
}

TEST(MessageRendering, DetailDialogRowsFollowTheKindOfMessage) {
  const std::string to = "000B914477000910F20000";
  const struct {
    const char* name;
    std::string pdu;
    bool received;
    std::vector<std::string> validity;
    std::vector<std::string> fields;
  } cases[] = {
      {"Received",
       "0000" + to.substr(2) + "5030219061148A05C8329BFD06",
       true,
       {"0 7,5-0 Time:", "4 7,11-40 12.03.05 09:16:41 GMT -7.00"},
       Fields(8, {}, 0)},
      {"SubmitWithoutValidity", "0001" + to + "05C8329BFD06", false, {}, Fields(7, 0, 1)},
      {"RelativeValidity",
       "0011" + to + "A705C8329BFD06",
       false,
       {"0 8,5-0 Valid for:", "4 8,21-40 01 days 00:00:00", "8 8,43-0 Single-shot"},
       Fields(9, 0, 0x11)},
      {"EnhancedWithoutPeriod",
       "0009" + to + "4000000000000005C8329BFD06",
       false,
       {"0 8,5-0 Valid for:", "4 8,21-40 undefined", "8 8,43-0 Single-shot"},
       Fields(9, 0, 0x09)},
      {"Absolute",
       "0019" + to + "5030219061140005C8329BFD06",
       false,
       {"0 8,5-0 Valid until:", "4 8,21-50 12.03.05 09:16:41 GMT +0.00"},
       Fields(9, 0, 0x19)},
  };
  const std::vector<std::string> fixedRows = {
      "0 3,5-0 PDU:",   "0 5,5-0 SCA:",           "0 5,33-0 Type:", "4 5,38-39 128",
      "0 6,5-0 Phone:", "4 6,11-30 +44770090012", "0 6,33-0 Type:", "4 6,38-39 145"};
  for (const auto& c : cases) {
    std::vector<std::string> expected = fixedRows;
    expected.insert(expected.begin() + 1, "4 3,11-64 " + c.pdu);
    expected.insert(expected.end(), c.validity.begin(), c.validity.end());
    expected.insert(expected.end(), c.fields.begin(), c.fields.end());
    EXPECT_EQ(DetailItems(c.pdu, c.received), expected) << c.name;
  }
}

TEST(MessageRendering, FileText) {
  CScopedEnvironment zone("TZ", "XST-5:30");
  CSMSMessage known = Message(true, "+447700900123", "Hi\r\nthere\nend\r\r\n\rcr");
  known.label = "Anna";
  CSMSMessage untimed = Message(true, "+1555");
  untimed.timestamp = 0;
  Platform::FileTime local = 0;
  Platform::SystemTime parts;
  ASSERT_TRUE(Platform::FileTimeToLocalFileTime(kSentAt, local));
  ASSERT_TRUE(Platform::FileTimeToSystemTime(local, parts));
  char clock[32];
  std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", parts.hour, parts.minute, parts.second);

  const std::string file = MessageFileText(known);
  EXPECT_EQ(file.rfind("From: Anna (+447700900123)\r\nTime: ", 0), 0u) << file;
  const size_t body = file.find("\r\n\r\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_NE(file.substr(0, body).find(clock), std::string::npos) << file << " " << clock;
  EXPECT_EQ(file.substr(body), "\r\n\r\nHi\r\nthere\r\nend\r\n\rcr\r\n");

  EXPECT_EQ(MessageFileText(Message(false, "+1555", "Draft")), "From: +1555\r\n\r\nDraft\r\n");
  EXPECT_EQ(MessageFileText(untimed), "From: +1555\r\n\r\nHello\r\n");
}

}  // namespace
