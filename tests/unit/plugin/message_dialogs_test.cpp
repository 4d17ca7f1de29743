#include "plugin/message_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/message_ids.h"
#include "sample_message.h"

namespace {

// The message dialog closed with Escape, as the host saw it.
Host::ShownDialog Shown(const CSMSMessage& message, const MessageList& folder = {}) {
  CFakeHost host;
  host.SetMessageText(Msg::kSmsPartOf, "Part %d of %d");
  host.AnswerDialog("ReadSMSMsg").Escape();
  EXPECT_EQ(ShowSMSMessage(message, folder), MessageAction::kClose);
  return host.Dialogs().empty() ? Host::ShownDialog{} : host.Dialogs()[0];
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

TEST(MessageDialogs, MessageDialogOfAReceivedPart) {
  CSMSMessage message = SampleMessage(true, "+15550001\x1b", "Hello");
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

TEST(MessageDialogs, MessageDialogAnswersByButton) {
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
    EXPECT_EQ(ShowSMSMessage(SampleMessage(false, "+15550001"), {}), c.action) << c.closedBy.back();
  }
  CSMSMessage known = SampleMessage(false, "+447700900123", "One\nTwo");
  known.label = "Anna";
  const Host::ShownDialog shown = Shown(known);
  const std::vector<std::string> layout = Layout(shown);
  EXPECT_EQ(std::vector<std::string>(layout.begin() + 3, layout.end()),
            std::vector<std::string>({"0 4,5-0 message 140", "0 4,15-0 Anna", "4 6,5-55 One",
                                      "4 7,5-55 Two", "7 9,0-0 OK*", "7 9,0-0 message 148",
                                      "7 9,0-0 message 151"}));
  EXPECT_EQ(shown.y2, 13);
}

TEST(MessageDialogs, DetailDialogRowsFollowTheKindOfMessage) {
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

}  // namespace
