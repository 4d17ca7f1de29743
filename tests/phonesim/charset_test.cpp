#include <gtest/gtest.h>

#include <string>

#include "phonesim/charset.h"

namespace {

using PhoneSim::DecodeText;
using PhoneSim::EncodeText;

struct CharsetCase {
  const char* charset;
  std::string utf8;
  std::string phone;
};

// Both directions of every set against bytes worked out by hand from the tables.
class CharsetRoundTrip : public testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetRoundTrip, EncodesAndDecodes) {
  const CharsetCase& c = GetParam();
  EXPECT_EQ(EncodeText(c.utf8, c.charset), c.phone);
  EXPECT_EQ(DecodeText(c.phone, c.charset), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Sets, CharsetRoundTrip,
                         testing::Values(CharsetCase{"GSM", "Ann", "Ann"},
                                         CharsetCase{"GSM", "@£$", std::string("\x00\x01\x02", 3)},
                                         CharsetCase{"GSM", "€|", "\x1B\x65\x1B\x40"},
                                         CharsetCase{"GSM", "ΔΩ_", "\x10\x15\x11"},
                                         CharsetCase{"GSM", "Café", "Caf\x05"},
                                         CharsetCase{"GSM", "[x]", "\x1B\x3Cx\x1B\x3E"},
                                         CharsetCase{"IRA", "Work [desk]", "Work [desk]"},
                                         CharsetCase{"UCS2", "Ann", "0041006E006E"},
                                         CharsetCase{"UCS2", "Привет", "041F04400438043204350442"},
                                         CharsetCase{"UCS2", "😀", "D83DDE00"},
                                         CharsetCase{"UTF-8", "Zoë €", "Zo\xC3\xAB \xE2\x82\xAC"},
                                         CharsetCase{"HEX", "A@é", "410005"},
                                         CharsetCase{"8859-1", "Zoë", "Zo\xEB"},
                                         CharsetCase{"PCCP437", "Zoë", "Zo\x89"},
                                         CharsetCase{"PCCP437", "", ""}));

struct RefusedCase {
  const char* charset;
  std::string text;
  bool encoding;  // else decoding
};

class CharsetRefuses : public testing::TestWithParam<RefusedCase> {};

TEST_P(CharsetRefuses, TextTheSetCannotCarry) {
  const RefusedCase& c = GetParam();
  if (c.encoding) {
    EXPECT_EQ(EncodeText(c.text, c.charset), std::nullopt);
  } else {
    EXPECT_EQ(DecodeText(c.text, c.charset), std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CharsetRefuses,
    testing::Values(RefusedCase{"GSM", "Привет", true}, RefusedCase{"IRA", "Zoë", true},
                    RefusedCase{"8859-1", "€", true}, RefusedCase{"HEX", "Ж", true},
                    RefusedCase{"KOI8", "A", true}, RefusedCase{"GSM", "\x80", false},
                    RefusedCase{"IRA", "\xC3\xAB", false}, RefusedCase{"UCS2", "004", false},
                    RefusedCase{"UCS2", "00G1", false}, RefusedCase{"UCS2", "DC00", false},
                    RefusedCase{"HEX", "4", false}, RefusedCase{"UTF-8", "\xC3", false},
                    RefusedCase{"UTF-8", "\xC0\x80", false}, RefusedCase{"UCS2", "\xFF", true}));

TEST(Charset, UnlistedExtensionCodeShowsItsDefaultCharacter) {
  EXPECT_EQ(DecodeText("\x1B\x41", "GSM"), "A");
  EXPECT_EQ(DecodeText("\x1B\x1B", "GSM"), " ");
}

TEST(Charset, LossyEncodingMarksWhatTheSetLacks) {
  EXPECT_EQ(PhoneSim::EncodeTextLossy("Zoë Ж", "IRA"), "Zo? ?");
  EXPECT_EQ(PhoneSim::EncodeTextLossy("Ж", "UCS2"), "0416");
}

TEST(Charset, CountsCharactersNotBytes) {
  EXPECT_EQ(PhoneSim::CharacterCount("Привет"), 6u);
  EXPECT_EQ(PhoneSim::CharacterCount("😀a"), 2u);
}

}  // namespace
