#include "sms/message_rendering.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../platform/scoped_environment.h"
#include "fake_host.h"
#include "farlib/message_ids.h"
#include "settings/settings.h"

namespace {

constexpr Platform::FileTime kSentAt = 127551178010000000;  // 2005-03-12 16:16:41 UTC

CSMSMessage Message(bool received, std::string address, std::string text = "Hello") {
  CSMSMessage message(received, "", 128);
  message.address = std::move(address);
  message.text = std::move(text);
  if (received) message.timestamp = kSentAt;
  return message;
}

struct NamingCase {
  const char* name;
  std::string address;
  std::string label;  // before the look-up
  bool showPhone;
  std::string labelAfter;
  std::string fileName;
};

void PrintTo(const NamingCase& c, std::ostream* out) { *out << c.name; }

class MessageNaming : public testing::TestWithParam<NamingCase> {};

TEST_P(MessageNaming, LabelsAndNamesTheItem) {
  const NamingCase& c = GetParam();
  CFakeHost host;
  host.SetMessageText(Msg::kSmsNoNumber, "No number");
  // ME, not read yet, knows +15550001 as Anna; SM knows only +447700900123 as Anna, and an
  // entry without a number.
  std::vector<std::unique_ptr<PhoneBookStorage>> book;
  for (const char* storage : {"ME", "SM"}) {
    book.push_back(std::make_unique<PhoneBookStorage>(storage));
    book.back()->Loaded = book.size() > 1;
    for (const char* number : {"", "+15550001", "+447700900123"}) {
      book.back()->Entries.push_back(std::make_unique<PhoneBookEntry>());
      book.back()->Entries.back()->Number = number;
      book.back()->Entries.back()->Name = *number ? "Anna" : "Nobody";
    }
  }
  book.back()->Entries[1]->Number = "-";
  const bool showPhone = std::exchange(Settings().AlwaysShowPhone, c.showPhone);
  CSMSMessage message = Message(true, c.address, "Hi\r\nthere");
  message.label = c.label;
  message.storageIndex = 17;
  EXPECT_EQ(LookUpName(message, book), c.labelAfter.ends_with("Anna"));
  EXPECT_EQ(message.label, c.labelAfter);
  PluginPanelItem item{};
  FillPanelItem(message, 4, item);
  Settings().AlwaysShowPhone = showPhone;
  EXPECT_EQ(std::string(item.FindData.cFileName), c.fileName);
  EXPECT_EQ(std::string(item.Description ? item.Description : "(null)"), "Hi\r\nthere");
  std::free(item.Description);
  EXPECT_EQ(std::vector<uint64_t>({item.UserData, item.FindData.nFileSizeLow,
                                   item.FindData.ftLastWriteTime.dwHighDateTime,
                                   item.FindData.ftCreationTime.dwLowDateTime}),
            std::vector<uint64_t>({4, 17, kSentAt >> 32, kSentAt & 0xFFFFFFFF}));
}

INSTANTIATE_TEST_SUITE_P(
    Rendering, MessageNaming,
    testing::Values(NamingCase{"KnownWithPhone", "+447700900123", "", true, "Anna",
                               "Anna (+447700900123)"},
                    NamingCase{"KnownNameOnly", "+447700900123", "", false, "Anna", "Anna"},
                    NamingCase{"NationalFormIsAnother", "07700900123", "", true, "", "07700900123"},
                    NamingCase{"StorageNotRead", "+15550001", "", false, "", "+15550001"},
                    NamingCase{"EmptyAddress", "", "", true, "No number", "No number"},
                    NamingCase{"Report", "+447700900123", "Delivered to: ", false,
                               "Delivered to: Anna", "Delivered to_ Anna"},
                    NamingCase{"ReportToUnknown", "+15550001", "Delivered to: ", true,
                               "Delivered to: ", "Delivered to_ +15550001"},
                    NamingCase{"ClimbingFolders", "../../x", "", false, "", ".._.._x"},
                    NamingCase{"Separators", "a\\b:c", "", false, "", "a_b_c"},
                    NamingCase{"Escape", "\x1b[2J", "", true, "", "_[2J"},
                    NamingCase{"Dots", "..", "", false, "", "__"}),
    [](const auto& info) { return std::string(info.param.name); });

// The message dialog closed with Escape, as the host saw it.
Host::ShownDialog Shown(const CSMSMessage& message, const MessageList& folder = {}) {
  CFakeHost host;
  host.SetMessageText(Msg::kSmsPartOf, "Part %d of %d");
  host.AnswerDialog("ReadSMSMsg").Escape();
  EXPECT_EQ(ShowSMSMessage(message, folder), MessageAction::kClose);
  return host.Dialogs().empty() ? Host::ShownDialog{} : host.Dialogs()[0];
}

std::vector<std::string> ShownLines(const CSMSMessage& message, const MessageList& folder = {}) {
  std::vector<std::string> lines;
  for (const Host::ShownDialogItem& item : Shown(message, folder).items) {
    if (item.type == DI_EDIT) lines.push_back(item.data);
  }
  return lines;
}

TEST(MessageRendering, WrapsParagraphsAtFiftyColumns) {
  const std::string x50(50, 'x');
  const std::string x60(60, 'x');
  const struct {
    std::string body;
    std::vector<std::string> lines;
  } cases[] = {
      {std::string(120, 'x'), {std::string(120, 'x')}},
      {x50 + " b", {x50, "b"}},
      {x50 + " ", {x50, ""}},
      {x50.substr(5) + " 0123456789 yz", {x50.substr(5), "0123456789 yz"}},
      {x60 + " tail end", {x60, "tail end"}},
      {x60.substr(20) + "\t" + x60.substr(40), {x60.substr(20), x60.substr(40)}},
      {"one  \r\n \n two\nthree", {"one", "two", "three"}},
      {"bell\a and \x1b[2J", {"bell? and ?[2J"}},
      {std::string(600, 'w'), {std::string(600, 'w')}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownLines(Message(false, "+1", c.body)), c.lines) << c.body;
  }
}

TEST(MessageRendering, GathersThePartsOfAConcatenatedMessage) {
  MessageList folder;
  for (auto [reference, number, count, text] : {std::tuple{7, 2, 2, "World"},
                                                {8, 1, 2, "Other"},
                                                {7, 1, 2, "Hello "},
                                                {9, 3, 3, "C"},
                                                {9, 1, 3, "A"}}) {
    folder.push_back(std::make_unique<CSMSMessage>(Message(true, "+1", text)));
    folder.back()->concatenated = true;
    folder.back()->concatReference = static_cast<uint16_t>(reference);
    folder.back()->partNumber = static_cast<uint8_t>(number);
    folder.back()->partCount = static_cast<uint8_t>(count);
  }
  EXPECT_EQ(ShownLines(*folder[0], folder), std::vector<std::string>{"Hello World"});
  EXPECT_EQ(ShownLines(*folder[2], folder), std::vector<std::string>{"Hello World"});
  EXPECT_EQ(ShownLines(*folder[3], folder), std::vector<std::string>{"AC"});
  EXPECT_TRUE(MessageFileText(*folder[0]).ends_with("\r\n\r\nWorld\r\n"));
}

// Every item as "type row,left-right text", the default button marked with '*'.
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
  CSMSMessage message = Message(true, "+15550001\x1b", "Hello");
  message.concatenated = true;
  message.partNumber = 1;
  message.partCount = 2;
  const Host::ShownDialog shown = Shown(message);
  EXPECT_EQ(std::vector<int>({shown.x2, shown.y2}), std::vector<int>({60, 14}));
  const std::string file = MessageFileText(message);
  const size_t time = file.find("Time: ") + 6;
  EXPECT_EQ(
      Layout(shown),
      std::vector<std::string>(
          {"3 1,3-56 message 138", "0 3,5-0 message 139", "0 3,15-0 +15550001?",
           "7 3,45-0 message 156", "0 4,5-0 message 140", "0 4,15-0 ", "0 5,5-0 message 141",
           "0 5,15-0 " + file.substr(time, file.find('\r', time) - time), "0 7,5-0 Part 1 of 2",
           "4 8,5-55 Hello", "7 10,0-0 OK*", "7 10,0-0 message 148", "7 10,0-0 message 151"}));
  EXPECT_EQ(shown.items[9].flags & DIF_READONLY, DIF_READONLY);
}

TEST(MessageRendering, MessageDialogAnswersByButton) {
  // An unknown sender's one-line draft: 3 add, 7 OK, 8 details, 9 reply; -1 is Escape.
  const struct {
    std::vector<int> closedBy;
    MessageAction action;
  } cases[] = {{{7}, MessageAction::kClose},     {{9}, MessageAction::kReply},
               {{3}, MessageAction::kAddSender}, {{-1}, MessageAction::kClose},
               {{8, 9}, MessageAction::kReply},  {{8, 8, 7}, MessageAction::kClose}};
  for (const auto& c : cases) {
    CFakeHost host;
    for (int item : c.closedBy) {
      if (item < 0) host.AnswerDialog("ReadSMSMsg").Escape();
      if (item >= 0) host.AnswerDialog("ReadSMSMsg").Close(item);
      if (item == 8) host.AnswerDialog("ReadSMSAvdancedMsg").Escape();
    }
    EXPECT_EQ(ShowSMSMessage(Message(false, "+15550001"), {}), c.action) << c.closedBy.back();
  }
  CSMSMessage known = Message(false, "+447700900123", "One\nTwo");
  known.label = "Anna";
  const Host::ShownDialog shown = Shown(known);
  const std::vector<std::string> layout = Layout(shown);
  EXPECT_EQ(std::vector<std::string>(layout.begin() + 3, layout.end()),
            std::vector<std::string>({"0 4,5-0 message 140", "0 4,15-0 Anna", "4 6,5-55 One",
                                      "4 7,5-55 Two", "7 9,0-0 OK*", "7 9,0-0 message 148",
                                      "7 9,0-0 message 151"}));
  EXPECT_EQ(shown.y2, 13);
}

TEST(MessageRendering, DetailDialogRowsFollowTheKindOfMessage) {
  const std::string to = "000B914477000910F20000";
  const struct {
    std::string pdu;
    bool received;
    bool complete;                  // else the first rows only
    std::vector<std::string> rows;  // from row 7 on, the items with a text
  } cases[] = {
      {"0000" + to.substr(2) + "5030219061148A05C8329BFD06",
       true,
       true,
       {"0 7,5-0 Time:", "4 7,11-40 12.03.05 09:16:41 GMT -7.00", "0 8,5-0 FO:", "4 8,11-12 0",
        "0 9,5-0 PID:", "4 9,11-12 0", "0 10,5-0 DCS:", "4 10,11-12 0",
        "0 12,5-0 Text:", "4 12,11-64 Hello"}},
      {"0011" + to + "A705C8329BFD06",
       false,
       true,
       {"0 8,5-0 Valid for:", "4 8,21-40 01 days 00:00:00", "8 8,43-0 Single-shot", "0 9,5-0 MR:",
        "4 9,11-12 0", "0 10,5-0 FO:", "4 10,11-12 17", "0 11,5-0 PID:", "4 11,11-12 0",
        "0 12,5-0 DCS:", "4 12,11-12 0", "0 14,5-0 Text:", "4 14,11-64 Hello"}},
      {"0001" + to + "05C8329BFD06", false, false, {"0 7,5-0 MR:", "4 7,11-12 0", "0 8,5-0 FO:"}},
      {"0009" + to + "4000000000000005C8329BFD06",
       false,
       false,
       {"0 8,5-0 Valid for:", "4 8,21-40 undefined", "8 8,43-0 Single-shot", "0 9,5-0 MR:"}},
      {"0019" + to + "5030219061140005C8329BFD06",
       false,
       false,
       {"0 8,5-0 Valid until:", "4 8,21-50 12.03.05 09:16:41 GMT +0.00", "0 9,5-0 MR:"}},
  };
  for (const auto& c : cases) {
    CFakeHost host;
    host.AnswerDialog("ReadSMSAvdancedMsg").Escape();
    CSMSMessage message(c.received, "", 128);
    ASSERT_TRUE(message.Decode(c.pdu));
    ShowDetails(message);
    ASSERT_EQ(host.Dialogs().size(), 1u);
    const Host::ShownDialog& shown = host.Dialogs()[0];
    const std::vector<std::string> layout = Layout(shown);
    std::vector<std::string> rows;
    for (size_t i = 0; i < layout.size(); ++i) {
      const Host::ShownDialogItem& item = shown.items[i];
      EXPECT_EQ(item.flags, item.type == DI_EDIT       ? DIF_READONLY
                            : item.type == DI_CHECKBOX ? DIF_DISABLE
                                                       : 0u);
      EXPECT_EQ(item.selected, item.type == DI_CHECKBOX && message.singleShot ? 1 : 0);
      if (item.y1 >= 7 && !item.data.empty()) rows.push_back(layout[i]);
    }
    EXPECT_EQ(std::vector<std::string>(layout.begin(), layout.begin() + 11),
              std::vector<std::string>(
                  {"3 1,3-66 message 143", "0 3,5-0 PDU:", "4 3,11-64 " + c.pdu,
                   "0 5,5-0 SCA:", "4 5,11-30 ", "0 5,33-0 Type:", "4 5,38-39 128",
                   "0 6,5-0 Phone:", "4 6,11-30 +44770090012", "0 6,33-0 Type:", "4 6,38-39 145"}));
    if (!c.complete) rows.resize(std::min(rows.size(), c.rows.size()));
    EXPECT_EQ(rows, c.rows) << c.pdu;
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
  // Minutes and seconds only, since the user's format may count hours to 12; the zone's half
  // hour tells local time from UTC where the system follows TZ.
  char clock[32];
  std::snprintf(clock, sizeof clock, ":%02d:%02d", parts.minute, parts.second);

  const std::string file = MessageFileText(known);
  const size_t body = file.find("\r\n\r\n");
  EXPECT_TRUE(file.starts_with("From: Anna (+447700900123)\r\nTime: ")) << file;
  EXPECT_NE(file.substr(0, body).find(clock), std::string::npos) << file << " at " << clock;
  EXPECT_EQ(file.substr(body), "\r\n\r\nHi\r\nthere\r\nend\r\n\rcr\r\n");
  // The user's locale reached the time format only: numbers keep their decimal point.
  EXPECT_EQ(FormatTimestamp("\x50\x30\x21\x90\x61\x14\x32"), "12.03.05 09:16:41 GMT +5.45");
  EXPECT_EQ(MessageFileText(Message(false, "+1555", "Draft")), "From: +1555\r\n\r\nDraft\r\n");
  EXPECT_EQ(MessageFileText(untimed), "From: +1555\r\n\r\nHello\r\n");
}

}  // namespace
