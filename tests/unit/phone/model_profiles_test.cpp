#include "phone/model_profiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ModelProfileList SomeProfiles() {
  ModelProfileList profiles = {DefaultProfile()};
  profiles.push_back({"Nokia", "6310i", "GSM", 2, 15});
  profiles.push_back({"SIEMENS", "S55", "UCS2", 0, 4});
  profiles.push_back({"Nokia", "6310i", "IRA", 1, 1});
  return profiles;
}

struct MatchCase {
  const char* label;
  const char* manufacturer;
  const char* model;
  int expected;  // position in SomeProfiles(), -1 for none
};

class FindProfileTest : public testing::TestWithParam<MatchCase> {};

TEST_P(FindProfileTest, MatchesManufacturerAndModelExactly) {
  ModelProfileList profiles = SomeProfiles();
  const ModelProfile* found = FindProfile(profiles, GetParam().manufacturer, GetParam().model);
  const ModelProfile* expected = GetParam().expected < 0 ? nullptr : &profiles[GetParam().expected];
  EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(Phones, FindProfileTest,
                         testing::Values(MatchCase{"FirstOfTwo", "Nokia", "6310i", 1},
                                         MatchCase{"Exact", "SIEMENS", "S55", 2},
                                         MatchCase{"ManufacturerCase", "Siemens", "S55", -1},
                                         MatchCase{"ModelCase", "SIEMENS", "s55", -1},
                                         MatchCase{"TrailingBlank", "SIEMENS", "S55 ", -1},
                                         MatchCase{"NoModel", "Nokia", "", -1},
                                         MatchCase{"Nothing", "", "", -1},
                                         MatchCase{"DefaultItself", "Default", "", 0}),
                         [](const testing::TestParamInfo<MatchCase>& info) {
                           return info.param.label;
                         });

TEST(ModelProfiles, NewPhoneInheritsSwitchesButNotTheCharacterSet) {
  ModelProfileList profiles = {{"Default", "", "UCS2", 0, 13}};
  const ModelProfile& added = AddProfile(profiles, "SonyEricsson", "T610");
  EXPECT_EQ(added, (ModelProfile{"SonyEricsson", "T610", "", 0, 13}));
  EXPECT_EQ(&added, &profiles.back());
  EXPECT_EQ(profiles.size(), 2u);
}

TEST(ModelProfiles, EditedDefaultIsTheTemplateForLaterPhones) {
  ModelProfileList profiles = SomeProfiles();
  const ModelProfile before = AddProfile(profiles, "Motorola", "C380");
  profiles.front().Flags = 8;
  profiles.front().SpecialCharacters = 2;
  const ModelProfile after = AddProfile(profiles, "Motorola", "V3");
  EXPECT_EQ(before.Flags, 7u);
  EXPECT_EQ(after.Flags, 8u);
  EXPECT_EQ(after.SpecialCharacters, 2);
}

TEST(ModelProfiles, ProfilesPanelsPointToStayPutWhileOthersAreAdded) {
  ModelProfileList profiles = SomeProfiles();
  ModelProfile* siemens = FindProfile(profiles, "SIEMENS", "S55");
  for (int i = 0; i < 1000; ++i) AddProfile(profiles, "Maker", std::to_string(i));
  EXPECT_EQ(siemens, FindProfile(profiles, "SIEMENS", "S55"));
  EXPECT_EQ(siemens->Charset, "UCS2");
}

}  // namespace
