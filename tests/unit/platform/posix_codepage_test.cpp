#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/codepage.h"
#include "scoped_environment.h"

namespace Platform {
namespace {

using Setting = std::optional<std::string>;

struct SystemPagesCase {
  Setting language;
  Setting oem;
  Setting ansi;
  uint32_t expectedOem;
  uint32_t expectedAnsi;
};

TEST(SystemCodePages, FollowLanguageUnlessOverridden) {
  const SystemPagesCase cases[] = {
      {std::nullopt, std::nullopt, std::nullopt, 437, 1252},
      {"en_US.UTF-8", std::nullopt, std::nullopt, 437, 1252},
      {"ru_RU.UTF-8", std::nullopt, std::nullopt, 866, 1251},
      {"ru_RU.UTF-8", "850", std::nullopt, 850, 1251},
      {"en_GB", std::nullopt, "1250", 437, 1250},
      {"en_GB", "cp850", "1", 437, 1252},
  };
  for (const SystemPagesCase& entry : cases) {
    const CScopedEnvironment language("LANG", entry.language);
    const CScopedEnvironment oem("ZANTEL_OEMCP", entry.oem);
    const CScopedEnvironment ansi("ZANTEL_ACP", entry.ansi);
    EXPECT_EQ(OemCodePage(), entry.expectedOem) << entry.language.value_or("-");
    EXPECT_EQ(AnsiCodePage(), entry.expectedAnsi) << entry.language.value_or("-");
  }
}

class RussianPages : public testing::Test {
 protected:
  CScopedEnvironment m_oem{"ZANTEL_OEMCP", "866"};
  CScopedEnvironment m_ansi{"ZANTEL_ACP", "1251"};
};

TEST_F(RussianPages, ZeroAndOneStandForAnsiAndOem) {
  std::u16string wide;
  ASSERT_TRUE(MultiByteToWide(kAnsiCodePageId, "\xCF", wide));
  EXPECT_EQ(wide, u"П");
  ASSERT_TRUE(MultiByteToWide(kOemCodePageId, "\x8F", wide));
  EXPECT_EQ(wide, u"П");
  std::string bytes;
  ASSERT_TRUE(WideToMultiByte(kOemCodePageId, u"ё", bytes));
  EXPECT_EQ(bytes, "\xF1");
}

// Box-drawing bytes have no counterpart in 1251 and stay as they are.
TEST_F(RussianPages, OemAndAnsiConvertByteForByte) {
  EXPECT_EQ(OemToAnsi("\x8F\xE0\xA8\xA2\xA5\xE2 1\xB0"), "\xCF\xF0\xE8\xE2\xE5\xF2 1\xB0");
  EXPECT_EQ(AnsiToOem("\xCF\xF0\xE8\xE2\xE5\xF2 1\xA8"), "\x8F\xE0\xA8\xA2\xA5\xE2 1\xF0");
}

struct CaseCase {
  uint32_t ansiPage;
  unsigned char lower;
  unsigned char upper;
};

TEST(AnsiCase, FollowsTheAnsiPage) {
  const CaseCase cases[] = {
      {1252, 'a', 'A'}, {1252, 0xE9, 0xC9}, {1252, 0xFF, 0x9F}, {1252, 0xB5, 0xB5},
      {1252, '1', '1'}, {1251, 0xE0, 0xC0}, {1251, 0xB8, 0xA8}, {1251, 'z', 'Z'},
  };
  for (const CaseCase& entry : cases) {
    const CScopedEnvironment ansi("ZANTEL_ACP", std::to_string(entry.ansiPage));
    EXPECT_EQ(static_cast<unsigned char>(AnsiUpper(static_cast<char>(entry.lower))), entry.upper)
        << entry.ansiPage << " " << int{entry.lower};
    EXPECT_EQ(static_cast<unsigned char>(AnsiLower(static_cast<char>(entry.upper))), entry.lower)
        << entry.ansiPage << " " << int{entry.upper};
  }
}

}  // namespace
}  // namespace Platform
