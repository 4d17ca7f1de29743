#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/codepage.h"
#include "platform/posix/codepage_tables.h"

namespace Platform::Posix {
namespace {

struct TablePageCase {
  uint32_t page;
  bool tabled;
};

// Counts the inputs on which the table route and iconv differ, naming the first of them.
class CDifferences {
 public:
  void Compare(uint32_t page, const std::string& bytes) {
    std::u16string fromTable, fromIconv;
    const bool tableDone = MultiByteToWide(page, bytes, fromTable);
    const bool iconvDone = IconvMultiByteToWide(page, bytes, fromIconv);
    if (tableDone != iconvDone || fromTable != fromIconv)
      Note("bytes", bytes.size(), static_cast<unsigned char>(bytes[0]));
  }
  void Compare(uint32_t page, const std::u16string& wide) {
    std::string fromTable, fromIconv;
    const bool tableDone = WideToMultiByte(page, wide, fromTable);
    const bool iconvDone = IconvWideToMultiByte(page, wide, fromIconv);
    if (tableDone != iconvDone || fromTable != fromIconv) Note("units", wide.size(), wide[0]);
  }
  size_t Count() const { return m_count; }
  const std::string& First() const { return m_first; }

 private:
  void Note(const char* what, size_t length, char16_t first) {
    if (m_count++ == 0) {
      m_first = std::string(what) + " of length " + std::to_string(length) + " starting " +
                std::to_string(static_cast<unsigned>(first));
    }
  }
  size_t m_count = 0;
  std::string m_first;
};

// The pages of one byte per character convert through tables, and give what iconv gives: each
// byte, each UTF-16 unit on its own, all of them in one run (where neighbouring surrogates pair
// up or not), and the default character for what the page cannot show. Pages with lead bytes
// or with accents that glibc joins stay with iconv.
TEST(CodePageTables, GiveWhatIconvGives) {
  const TablePageCase cases[] = {
      {866, true}, {1251, true}, {437, true}, {1252, true}, {65001, false}, {1258, false},
  };
  for (const TablePageCase& entry : cases) {
    ASSERT_EQ(HasSingleByteTable(entry.page), entry.tabled) << entry.page;
    if (!entry.tabled) continue;
    CDifferences differences;
    std::string allBytes;
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
      const std::string one(1, static_cast<char>(byte));
      differences.Compare(entry.page, one);
      allBytes += one;
    }
    differences.Compare(entry.page, allBytes);
    std::u16string allUnits;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
      const std::u16string one(1, static_cast<char16_t>(unit));
      differences.Compare(entry.page, one);
      allUnits += one;
    }
    differences.Compare(entry.page, allUnits);
    for (const std::u16string& text :
         {std::u16string(u"a\U0001F600b"),
          std::u16string(u"\xD83D"
                         u"b"),
          std::u16string(u"\xDE00\xD83D"), std::u16string(u"x\xD83D"), std::u16string(u"Ёж€")}) {
      differences.Compare(entry.page, text);
    }
    EXPECT_EQ(differences.Count(), 0u) << entry.page << ": first at " << differences.First();
  }
}

struct HeldBackCase {
  uint32_t page;
  std::string bytes;
  std::u16string wide;
};

// glibc's 1255 and 1258 hold a letter back until they see whether an accent follows: the last
// letter, and one before a byte the page does not decode, must still come out.
TEST(CodePageTables, PagesThatHoldLettersBackLoseNone) {
  const HeldBackCase cases[] = {
      {1255, "ab\xE0", u"ab\u05D0"},       {1255, "\xE0\xFF\xE0", u"\u05D0\uFFFD\u05D0"},
      {1255, "\xE0\xD9", u"\u05D0\uFFFD"}, {1258, "xa", u"xa"},
      {1258, "Ha Noi", u"Ha Noi"},
  };
  for (const HeldBackCase& entry : cases) {
    std::u16string wide;
    ASSERT_TRUE(MultiByteToWide(entry.page, entry.bytes, wide)) << entry.page;
    EXPECT_EQ(wide, entry.wide) << entry.page << " " << entry.bytes;
  }
}

}  // namespace
}  // namespace Platform::Posix
