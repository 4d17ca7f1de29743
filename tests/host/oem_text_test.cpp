#include "host/oem_text.h"

#include <gtest/gtest.h>

namespace Host {
namespace {

// Names from the file system read as UTF-8 when they are; anything else is the OEM page's.
TEST(OemText, FileNamesReadAsUtf8OnlyWhenWellFormed) {
  const std::pair<std::string, std::wstring> utf8[] = {
      {"plain.txt", L"plain.txt"},
      {"\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD0\xB0\xD0\xBA\xD1\x82.vcf", L"Контакт.vcf"},
      {"Caf\xC3\xA9 \xE2\x82\xAC", L"Café €"},
      {"", L""},
  };
  for (const auto& [bytes, expected] : utf8) EXPECT_EQ(FileNameText(bytes), expected) << bytes;
  const std::string oem[] = {
      "\x92\xA5\xE1\xE2.txt",  // "Тест" in code page 866
      "\xC0\xAF",              // an overlong '/'
      "\xED\xA0\x80",          // a surrogate
      "name\xD0",              // cut short
      "\xF4\x90\x80\x80",      // past U+10FFFF
      "\x80start",             // a continuation byte first
  };
  for (const std::string& bytes : oem) EXPECT_EQ(FileNameText(bytes), FromOem(bytes)) << bytes;
}

}  // namespace
}  // namespace Host
