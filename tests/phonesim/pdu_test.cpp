#include <gtest/gtest.h>

#include <string>

#include "phonesim/pdu.h"

namespace {

using PhoneSim::Direction;
using PhoneSim::InspectPdu;

struct PduCase {
  const char* what;
  std::string hex;
  Direction direction;
  size_t tpduLength;  // 0: the PDU must be refused
};

class PduInspection : public testing::TestWithParam<PduCase> {};

TEST_P(PduInspection, MeasuresWholeMessagesAndRefusesBrokenOnes) {
  const PduCase& c = GetParam();
  const auto facts = InspectPdu(c.hex, c.direction);
  if (c.tpduLength == 0) {
    EXPECT_FALSE(facts) << c.what;
  } else {
    ASSERT_TRUE(facts) << c.what;
    EXPECT_EQ(facts->tpduLength, c.tpduLength) << c.what;
  }
}

// "Hello" to +447700900123 without and with a service-centre address, a 7-bit deliver,
// a UCS2 deliver, a concatenated submit and a status report; then the same cut or padded.
INSTANTIATE_TEST_SUITE_P(
    Kinds, PduInspection,
    testing::Values(
        PduCase{"submit without SCA", "0001000C91447700091032000005C8329BFD06",
                Direction::FromPhone, 18},
        PduCase{"submit with SCA", "07914477000900F001000C91447700091032000005C8329BFD06",
                Direction::FromPhone, 18},
        PduCase{"submit, relative validity", "0011000C914477000910320000AA05C8329BFD06",
                Direction::FromPhone, 19},
        PduCase{
            "deliver",
            "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701",
            Direction::ToPhone, 33},
        PduCase{"deliver UCS2",
                "0791447700090000040B919700214365F70008503012900000000C041F04400438043204350442",
                Direction::ToPhone, 31},
        PduCase{"submit with header", "0041000C9144770009103200000B050003010201C8329B0D",
                Direction::FromPhone, 23},
        PduCase{"status report",
                "000206"
                "0C91447700091032"
                "50301290000000"
                "50301290000100"
                "00",
                Direction::ToPhone, 25},
        PduCase{"submit one octet short", "0001000C91447700091032000005C8329BFD",
                Direction::FromPhone, 0},
        PduCase{"submit one octet long", "0001000C91447700091032000005C8329BFD0600",
                Direction::FromPhone, 0},
        PduCase{
            "deliver sent the wrong way",
            "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701",
            Direction::FromPhone, 0},
        PduCase{"submit received", "0001000C91447700091032000005C8329BFD06", Direction::ToPhone, 0},
        PduCase{"odd hex", "0001000C91447700091032000005C8329BFD0", Direction::FromPhone, 0},
        PduCase{"not hex", "0001000C9144770009103200000XC8329BFD06", Direction::FromPhone, 0},
        PduCase{"SCA beyond the end", "0F0102", Direction::FromPhone, 0},
        PduCase{"empty", "", Direction::FromPhone, 0},
        PduCase{"header longer than the data", "0041000C914477000910320000040A050000",
                Direction::FromPhone, 0},
        PduCase{"address of 21 digits", "000100159144770009103254769810F2000001C8",
                Direction::FromPhone, 0}));

TEST(Pdu, MessageReferenceIsReplacedAfterTheServiceCentreAddress) {
  EXPECT_EQ(
      PhoneSim::WithMessageReference("07914477000900F001000C91447700091032000005C8329BFD06", 0xA7),
      "07914477000900F001A70C91447700091032000005C8329BFD06");
  EXPECT_EQ(PhoneSim::WithMessageReference("0001000C91447700091032000005C8329BFD06", 3),
            "0001030C91447700091032000005C8329BFD06");
}

}  // namespace
