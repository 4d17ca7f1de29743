#include "sms/message_rendering.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "scoped_environment.h"
#include "farlib/message_ids.h"
#include "sample_message.h"
#include "settings/settings.h"
#include "test_texts.h"

namespace {

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
  CTestTexts texts;
  texts.SetMessageText(Msg::kSmsNoNumber, "No number");
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
  CSMSMessage message = SampleMessage(true, c.address, "Hi\r\nthere");
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
            std::vector<uint64_t>({4, 17, kSampleSentAt >> 32, kSampleSentAt & 0xFFFFFFFF}));
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
    std::vector<std::string> lines = DisplayLines(c.body);
    for (std::string& line : lines) line = MessageScreenText(line);
    EXPECT_EQ(lines, c.lines) << c.body;
  }
}

TEST(MessageRendering, GathersThePartsOfAConcatenatedMessage) {
  MessageList folder;
  // A part shares its reference with parts of other messages: another sender's, one with a
  // 16-bit reference of the same number, one of another part count.
  for (auto [sender, reference, wide, number, count, text] :
       {std::tuple{"+1", 7, false, 2, 2, "World"},
        {"+1", 8, false, 1, 2, "Other"},
        {"+1", 7, false, 1, 2, "Hello "},
        {"+1", 9, false, 3, 3, "C"},
        {"+1", 9, false, 1, 3, "A"},
        {"+2", 7, false, 1, 2, "Stranger "},
        {"+1", 7, true, 1, 2, "Wide "},
        {"+1", 7, false, 1, 3, "Three "}}) {
    folder.push_back(std::make_unique<CSMSMessage>(SampleMessage(true, sender, text)));
    folder.back()->concatenated = true;
    folder.back()->concatReference = static_cast<uint16_t>(reference);
    folder.back()->concat16Bit = wide;
    folder.back()->partNumber = static_cast<uint8_t>(number);
    folder.back()->partCount = static_cast<uint8_t>(count);
  }
  EXPECT_EQ(DialogBody(*folder[0], folder), "Hello World");
  EXPECT_EQ(DialogBody(*folder[2], folder), "Hello World");
  EXPECT_EQ(DialogBody(*folder[3], folder), "AC");
  EXPECT_EQ(DialogBody(*folder[5], folder), "Stranger ");
  EXPECT_EQ(DialogBody(*folder[6], folder), "Wide ");
  EXPECT_EQ(DialogBody(*folder[7], folder), "Three ");
  EXPECT_TRUE(MessageFileText(*folder[0]).ends_with("\r\n\r\nWorld\r\n"));
}

TEST(MessageRendering, FileText) {
  CScopedEnvironment zone("TZ", "XST-5:30");
  CSMSMessage known = SampleMessage(true, "+447700900123", "Hi\r\nthere\nend\r\r\n\rcr");
  known.label = "Anna";
  CSMSMessage untimed = SampleMessage(true, "+1555");
  untimed.timestamp = 0;
  Platform::FileTime local = 0;
  Platform::SystemTime parts;
  ASSERT_TRUE(Platform::FileTimeToLocalFileTime(kSampleSentAt, local));
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
  EXPECT_EQ(MessageFileText(SampleMessage(false, "+1555", "Draft")),
            "From: +1555\r\n\r\nDraft\r\n");
  EXPECT_EQ(MessageFileText(untimed), "From: +1555\r\n\r\nHello\r\n");
}

}  // namespace
