#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "encoding/charset.h"

namespace {

// Packs bit by bit, the way the standard draws it, to check the octet-wise packer against.
std::string ReferencePack(const std::string& septets) {
  std::vector<bool> bits;
  for (const char septet : septets) {
    for (int bit = 0; bit < 7; ++bit) {
      bits.push_back((septet >> bit) & 1);
    }
  }
  std::string octets((bits.size() + 7) / 8, '\0');
  for (size_t bit = 0; bit < bits.size(); ++bit) {
    octets[bit / 8] = static_cast<char>(octets[bit / 8] | (bits[bit] << (bit % 8)));
  }
  return octets;
}

struct CSeptetPattern {
  const char* m_name;
  std::function<char(size_t)> m_septetAt;
};

const CSeptetPattern kPatterns[] = {
    {"AllOnes", [](size_t) { return '\x7F'; }},
    {"AllZeros", [](size_t) { return '\0'; }},
    {"Alternating", [](size_t i) { return i % 2 ? '\x2A' : '\x55'; }},
    {"Walking", [](size_t i) { return static_cast<char>((i * 37 + 11) & 0x7F); }},
    {"SingleBit", [](size_t i) { return static_cast<char>(1 << (i % 7)); }},
};

}  // namespace

TEST(Septets, PackTenCharacters) {
  std::string octets;
  EXPECT_TRUE(PackSeptets("hellohello", octets));
  EXPECT_EQ(octets, "\xE8\x32\x9B\xFD\x46\x97\xD9\xEC\x37");
}

TEST(Septets, PackEightDigitsIntoSevenOctets) {
  std::string octets;
  EXPECT_TRUE(PackSeptets("12345678", octets));
  EXPECT_EQ(octets, "\x31\xD9\x8C\x56\xB3\xDD\x70");
}

TEST(Septets, UnpackKnownTexts) {
  std::string septets;
  EXPECT_TRUE(UnpackSeptets("\xE8\x32\x9B\xFD\x46\x97\xD9\xEC\x37", 10, septets));
  EXPECT_EQ(septets, "hellohello");
  EXPECT_TRUE(UnpackSeptets("\x31\xD9\x8C\x56\xB3\xDD\x70", 8, septets));
  EXPECT_EQ(septets, "12345678");
}

TEST(Septets, RoundTripEveryLengthUpToTwenty) {
  for (const CSeptetPattern& pattern : kPatterns) {
    for (size_t length = 0; length <= 20; ++length) {
      SCOPED_TRACE(testing::Message() << pattern.m_name << " length " << length);
      std::string septets;
      for (size_t i = 0; i < length; ++i) {
        septets.push_back(pattern.m_septetAt(i));
      }
      std::string octets;
      EXPECT_TRUE(PackSeptets(septets, octets));
      EXPECT_EQ(octets.size(), (7 * length + 7) / 8);
      EXPECT_EQ(octets, ReferencePack(septets));
      std::string unpacked = "stale";
      EXPECT_TRUE(UnpackSeptets(octets, length, unpacked));
      EXPECT_EQ(unpacked, septets);
    }
  }
}

TEST(Septets, PackIgnoresHighBitInsteadOfSpillingIntoNeighbour) {
  std::string dirty, clean;
  PackSeptets("\xC1\xC2", dirty);
  PackSeptets("\x41\x42", clean);
  EXPECT_EQ(dirty, clean);
}

struct CShortInputCase {
  const char* m_name;
  std::string m_octets;
  size_t m_count;
  std::string m_septets;
};

class SeptetsShortInput : public testing::TestWithParam<CShortInputCase> {};

TEST_P(SeptetsShortInput, GivesOnlySeptetsPresentInInput) {
  std::string septets = "stale";
  EXPECT_TRUE(UnpackSeptets(GetParam().m_octets, GetParam().m_count, septets));
  EXPECT_EQ(septets, GetParam().m_septets);
}

INSTANTIATE_TEST_SUITE_P(
    Septets, SeptetsShortInput,
    testing::Values(
        CShortInputCase{"FewerThanCounted", "\xE8\x32\x9B", 10, "hel"},
        CShortInputCase{"HalfSeptetIsDropped", "\xE8", 2, "h"},
        CShortInputCase{"CountBelowInput", "\xE8\x32\x9B\xFD\x46\x97\xD9\xEC\x37", 5, "hello"},
        CShortInputCase{"HugeCountIsBoundedByInput", "\xE8\x32\x9B\xFD\x46\x97\xD9\xEC\x37",
                        std::numeric_limits<size_t>::max(), "hellohello"},
        CShortInputCase{"EmptyInput", "", 3, ""}, CShortInputCase{"ZeroCount", "\xE8", 0, ""}),
    [](const auto& info) { return std::string(info.param.m_name); });

TEST(Septets, UnpackGsmTextDecodesAlphabet) {
  std::string octets;
  PackSeptets(std::string("\x1B\x65"
                          "5\0",
                          4),
              octets);
  WideString wide;
  EXPECT_TRUE(UnpackGsmText(octets, 3, wide));
  EXPECT_EQ(wide, u"€5");
  EXPECT_TRUE(UnpackGsmText(octets, 4, wide));
  EXPECT_EQ(wide, u"€5@");
}
