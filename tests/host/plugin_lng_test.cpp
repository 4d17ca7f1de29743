#include <gtest/gtest.h>

#include <string>

#include "host/lng_catalog.h"

namespace {

// The plug-in's own language files as Far reads them: each language is found by its name and
// both carry the same number of messages, so no number shows the text of another in one of them.
TEST(PluginLanguageFiles, FarFindsBothWithTheSameMessages) {
  Host::CLngCatalog english;
  Host::CLngCatalog russian;
  ASSERT_TRUE(english.Load(ZANTEL_LANG_DIR, "English"));
  ASSERT_TRUE(russian.Load(ZANTEL_LANG_DIR, "Russian"));
  EXPECT_EQ(english.Language(), "English");
  EXPECT_EQ(russian.Language(), "Russian");
  EXPECT_EQ(russian.Count(), english.Count());
  for (const Host::CLngCatalog* catalog : {&english, &russian}) {
    for (const int number : {0, 1, 4, 185}) {
      ASSERT_NE(catalog->Message(number), nullptr) << catalog->Language() << " " << number;
      EXPECT_FALSE(catalog->Message(number)->empty()) << catalog->Language() << " " << number;
    }
    ASSERT_NE(catalog->Message(178), nullptr) << catalog->Language();
    const std::string& range = *catalog->Message(178);
    EXPECT_NE(range.find("%d"), range.rfind("%d")) << catalog->Language() << ": " << range;
  }
}

}  // namespace
