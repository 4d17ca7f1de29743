#include "plugin/edit_profile.h"

#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"

namespace {

constexpr int kWidth = 70;
constexpr int kHeight = 19;

void AddSpecialCharacters(FarLib::CFarDialog& dialog, ModelProfile& profile) {
  dialog.Add<FarLib::CFarTextItem>(5, 5, 0, FarLib::GetMsg(Msg::kSpecialCharacters));
  const FarLib::CFarIntegerStorage choice(profile.SpecialCharacters);
  for (int32_t value = 0; value < 3; ++value) {
    dialog.Add<FarLib::CFarRadioButtonItem>(
        5, 6 + value, value == 0 ? DIF_GROUP : 0,
        FarLib::GetMsg(Msg::kSpecialCharactersFirstChoice + value), choice, value);
  }
}

void AddFlags(FarLib::CFarDialog& dialog, ModelProfile& profile) {
  struct Switch {
    uint32_t bit;
    int label;
  };
  static constexpr Switch kSwitches[] = {{kProfilePhoneChoosesIndex, Msg::kPhoneChoosesIndex},
                                         {kProfileDeleteByIndexOnly, Msg::kDeleteByIndexOnly},
                                         {kProfileOmitServiceCentre, Msg::kOmitServiceCentre},
                                         {kProfileReadStorageAtOnce, Msg::kReadStorageAtOnce}};
  const FarLib::CFarIntegerStorage flags(profile.Flags);
  int row = 10;
  for (const Switch& item : kSwitches) {
    dialog.Add<FarLib::CFarCheckBoxItem>(5, row++, 0, FarLib::GetMsg(item.label), flags, item.bit);
  }
}

}  // namespace

bool EditProfile(ModelProfile& profile) {
  FarLib::CFarDialog dialog(kWidth, kHeight, "InfoConfigDlg");
  dialog.AddFrame(Msg::kModelInfo);
  dialog.Add<FarLib::CFarTextItem>(5, 3, 0, profile.Manufacturer + " " + profile.Model);
  AddSpecialCharacters(dialog, profile);
  AddFlags(dialog, profile);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return dialog.Run() == 0;
}
