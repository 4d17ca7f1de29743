#include "plugin/edit_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/message_ids.h"

namespace {

// Items: 0 frame, 1 the model, 2 the label, 3 to 5 the special-character choices, 6 to 9 the
// flag switches, 10 OK, 11 Cancel.
constexpr int kFirstRadio = 3;
constexpr int kFirstSwitch = 6;
constexpr int kOk = 10;
constexpr int kCancel = 11;

ModelProfile Nokia() {
  ModelProfile profile;
  profile.Manufacturer = "Nokia";
  profile.Model = "6310i";
  profile.Charset = "UCS2";
  profile.SpecialCharacters = 2;
  profile.Flags = 0x100 | 0x5;
  return profile;
}

TEST(EditProfile, ShowsTheProfile) {
  CFakeHost host;
  host.SetMessageText(Msg::kModelInfo, "Model information");
  host.AnswerDialog("InfoConfigDlg").Escape();
  ModelProfile profile = Nokia();
  EXPECT_FALSE(EditProfile(profile));
  ASSERT_EQ(host.Dialogs().size(), 1u);
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(std::vector<int>({shown.x2, shown.y2}), std::vector<int>({70, 19}));
  ASSERT_EQ(shown.items.size(), 12u);
  EXPECT_EQ(shown.items[0].type, DI_DOUBLEBOX);
  EXPECT_EQ(shown.items[0].data, "Model information");
  EXPECT_EQ(shown.items[1].data, "Nokia 6310i");
  EXPECT_EQ(std::vector<int>({shown.items[1].x1, shown.items[1].y1}), std::vector<int>({5, 3}));
  EXPECT_EQ(shown.items[2].data, "message 37");
  std::vector<int> radios;
  std::vector<int> switches;
  for (int i = 0; i < 3; ++i) {
    const Host::ShownDialogItem& radio = shown.items[static_cast<size_t>(kFirstRadio + i)];
    EXPECT_EQ(radio.type, DI_RADIOBUTTON);
    EXPECT_EQ(radio.data, "message " + std::to_string(38 + i));
    EXPECT_EQ(std::vector<int>({radio.x1, radio.y1}), std::vector<int>({5, 6 + i}));
    EXPECT_EQ(radio.flags, i == 0 ? DIF_GROUP : 0u);
    radios.push_back(radio.selected);
  }
  for (int i = 0; i < 4; ++i) {
    const Host::ShownDialogItem& box = shown.items[static_cast<size_t>(kFirstSwitch + i)];
    EXPECT_EQ(box.type, DI_CHECKBOX);
    EXPECT_EQ(box.data, "message " + std::to_string(41 + i));
    EXPECT_EQ(std::vector<int>({box.x1, box.y1}), std::vector<int>({5, 10 + i}));
    switches.push_back(box.selected);
  }
  EXPECT_EQ(radios, (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(switches, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ(shown.items[kOk].defaultButton, 1);
  EXPECT_EQ(profile, Nokia());
}

struct EditCase {
  const char* name;
  int choice;
  std::vector<int> switches;
  int32_t special;
  uint32_t flags;
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }

class EditProfileConfirmed : public testing::TestWithParam<EditCase> {};

TEST_P(EditProfileConfirmed, StoresChoiceAndLowFourBits) {
  const EditCase& c = GetParam();
  CFakeHost host;
  Host::CDialogAnswer& answer =
      host.AnswerDialog("InfoConfigDlg").SetSelected(kFirstRadio + c.choice);
  for (int i = 0; i < 4; ++i)
    answer.SetSelected(kFirstSwitch + i, c.switches[static_cast<size_t>(i)]);
  answer.Close(kOk);
  ModelProfile profile = Nokia();
  EXPECT_TRUE(EditProfile(profile));
  EXPECT_EQ(profile.SpecialCharacters, c.special);
  EXPECT_EQ(profile.Flags, c.flags);
  EXPECT_EQ(profile.Charset, "UCS2");
  EXPECT_EQ(profile.Manufacturer, "Nokia");
}

INSTANTIATE_TEST_SUITE_P(Edits, EditProfileConfirmed,
                         testing::Values(EditCase{"Unchanged", 2, {1, 0, 1, 0}, 2, 0x105},
                                         EditCase{"AllSwitchesOff", 0, {0, 0, 0, 0}, 0, 0x100},
                                         EditCase{"AllSwitchesOn", 1, {1, 1, 1, 1}, 1, 0x10F},
                                         EditCase{"ReadAtOnceOnly", 1, {0, 0, 0, 1}, 1, 0x108}),
                         [](const testing::TestParamInfo<EditCase>& info) {
                           return info.param.name;
                         });

TEST(EditProfile, CancelLeavesTheProfile) {
  CFakeHost host;
  host.AnswerDialog("InfoConfigDlg")
      .SetSelected(kFirstRadio)
      .SetSelected(kFirstSwitch, 0)
      .Close(kCancel);
  ModelProfile profile = Nokia();
  EXPECT_FALSE(EditProfile(profile));
  EXPECT_EQ(profile, Nokia());
}

}  // namespace
