#include "phonesim/demo_state.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "phonesim/pdu.h"
#include "phonesim/state.h"

namespace PhoneSim {
namespace {

// The simulator's PDU writer against PDUs the state files already hold, which other decoders
// (the plug-in's, zantel-tool's) read as the texts given here.
TEST(DemoState, PduWriterMatchesKnownPdus) {
  struct Case {
    DemoMessage message;
    std::string pdu;
  };
  const Case cases[] = {
      {{"+447700900001", "Hello from Anna", "050321090000"},
       "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701"},
      {{"+79001234567", "Привет", "050321090000"},
       "0791447700090000040B919700214365F70008503012900000000C041F04400438043204350442"},
      {{"+447700900010", "Phone memory message", "050321090000"},
       "0791447700090000040C914477000900010000503012900000001450F4DB5D06B5CBEDB73C0F6A97E7F3F0B90C"},
  };
  for (const Case& c : cases) EXPECT_EQ(DeliverPdu(c.message), c.pdu) << c.message.text;
}

// A part of a long message: the header (6 octets) and one fill bit before the first septet,
// and the septet count covering both.
TEST(DemoState, ConcatenatedPartStartsOnASeptetBoundary) {
  const std::string pdu = DeliverPdu({"+441632960777", "Hi", "261207090000", 0x4A, 3, 2});
  // First octet with TP-UDHI; UDL 9 septets, the header, a fill bit, then H (0x48 << 1) and i.
  EXPECT_EQ(pdu.substr(16, 2), "44");
  EXPECT_EQ(pdu.substr(pdu.size() - 18), "090500034A03029069");
  ASSERT_TRUE(InspectPdu(pdu, Direction::ToPhone));
}

TEST(DemoState, IsAValidPhoneWithContactsCallsAndMessagesOfEveryKind) {
  const PhoneState state = StateFromJson(DemoStateJson());
  size_t contacts = 0;
  bool cyrillic = false;
  bool greek = false;
  bool latinAccents = false;
  std::set<std::string> timedBooks;
  for (const PhoneBook& book : state.phoneBooks) {
    for (const auto& [index, entry] : book.entries) {
      if (entry.time.empty()) {
        ++contacts;
      } else {
        timedBooks.insert(book.name);
      }
      cyrillic |= entry.name.find("\xD0") != std::string::npos;  // U+0400..U+043F lead byte
      greek |= entry.name.find("\xCE") != std::string::npos;     // U+0380..U+03BF lead byte
      latinAccents |= entry.name.find("\xC3") != std::string::npos;
    }
  }
  EXPECT_GE(contacts, 24u);
  EXPECT_TRUE(cyrillic && greek && latinAccents);
  EXPECT_EQ(timedBooks, (std::set<std::string>{"DC", "MC", "RC"}));

  std::set<int> statuses;
  int messages = 0;
  int reports = 0;
  int parts = 0;
  for (const MessageStorage& storage : state.messageStorages) {
    for (const auto& [index, stored] : storage.messages) {
      ++messages;
      statuses.insert(stored.status);
      const Direction direction = stored.status >= 2 ? Direction::FromPhone : Direction::ToPhone;
      const auto facts = InspectPdu(stored.pdu, direction);
      ASSERT_TRUE(facts) << storage.name << " " << index;
      if (facts->messageType == 2) ++reports;
      // TP-UDHI on a deliver whose header names reference 0x4A, three parts.
      if (stored.pdu.find("0500034A03") != std::string::npos) ++parts;
    }
  }
  EXPECT_GE(messages, 24);
  EXPECT_EQ(statuses, (std::set<int>{0, 1, 2, 3}));
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(parts, 3);
}

}  // namespace
}  // namespace PhoneSim
