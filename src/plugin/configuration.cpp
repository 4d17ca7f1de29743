#include "plugin/configuration.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/blanks.h"
#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/ui/menu.h"
#include "farlib/message_ids.h"
#include "plugin/edit_profile.h"
#include "phone/model_profiles.h"
#include "plugin/opening.h"
#include "settings/settings.h"

namespace Plugin {
namespace {

using FarLib::CFarCheckBoxItem;
using FarLib::CFarEditItem;
using FarLib::CFarIntegerRangeValidator;
using FarLib::CFarIntegerStorage;
using FarLib::CFarRadioButtonItem;
using FarLib::CFarTextItem;
using FarLib::CFarTextStorage;

// Far names its serial ports COM1 to COM8.
constexpr int32_t kFirstPortNumber = 1;
constexpr int32_t kLastPortNumber = 8;

// An integer field that refuses, with the range in a box, anything outside lower to upper.
template <typename T>
void AddNumber(FarLib::CFarDialog& dialog, int left, int top, int right, T& value, int32_t lower,
               int32_t upper) {
  dialog.Add<CFarEditItem>(
      left, top, right, 0, std::string(), CFarIntegerStorage(value),
      std::make_unique<CFarIntegerRangeValidator>(lower, upper, "OutOfRangeError"));
}

// Without a name the transcript would go nowhere and nobody would be told.
bool NamesAFile(char* text, size_t, uint32_t) {
  if (!Trimmed(text).empty()) return true;
  FarLib::ShowError(FarLib::GetMsg(Msg::kLogFileMissing));
  return false;
}

struct GeneralItems {
  int ok = -1;
  int firstPortButton = -1;
  int secondPortButton = -1;
};

GeneralItems BuildGeneralDialog(FarLib::CFarDialog& dialog, PluginSettings& settings) {
  GeneralItems items;
  dialog.AddFrame(Msg::kGeneralSettings);
  dialog.Add<CFarCheckBoxItem>(5, 3, 0, FarLib::GetMsg(Msg::kPhoneInDisksMenu),
                               settings.PhoneShowInDisksMenu);
  AddNumber(dialog, 7, 4, 7, settings.PhoneDiskMenuKey, 0, 9);
  dialog.Add<CFarTextItem>(9, 4, 0, FarLib::GetMsg(Msg::kPhoneDiskMenuDigit));
  dialog.Add<CFarCheckBoxItem>(5, 5, 0, FarLib::GetMsg(Msg::kPhoneInPluginsMenu),
                               settings.PhoneShowInPluginsMenu);
  dialog.Add<CFarCheckBoxItem>(5, 7, 0, FarLib::GetMsg(Msg::kSmsInDisksMenu),
                               settings.SMSShowInDisksMenu);
  AddNumber(dialog, 7, 8, 7, settings.SMSDiskMenuKey, 0, 9);
  dialog.Add<CFarTextItem>(9, 8, 0, FarLib::GetMsg(Msg::kSmsDiskMenuDigit));
  dialog.Add<CFarCheckBoxItem>(5, 9, 0, FarLib::GetMsg(Msg::kSmsInPluginsMenu),
                               settings.SMSShowInPluginsMenu);

  dialog.Add<CFarTextItem>(5, 11, 0, FarLib::GetMsg(Msg::kFirstPortLabel));
  AddNumber(dialog, 15, 11, 16, settings.FirstCOM.Port, kFirstPortNumber, kLastPortNumber);
  items.firstPortButton =
      dialog.Add<FarLib::CFarButtonItem>(35, 11, 0, false, FarLib::GetMsg(Msg::kPortSetupButton));
  dialog.Add<CFarTextItem>(45, 11, 0, PortDescription(settings.FirstCOM));
  dialog.Add<CFarCheckBoxItem>(5, 12, 0, FarLib::GetMsg(Msg::kSecondPortLabel),
                               settings.EnableSecondCOMPort);
  AddNumber(dialog, 26, 12, 27, settings.SecondCOM.Port, kFirstPortNumber, kLastPortNumber);
  items.secondPortButton =
      dialog.Add<FarLib::CFarButtonItem>(35, 12, 0, false, FarLib::GetMsg(Msg::kPortSetupButton));
  dialog.Add<CFarTextItem>(45, 12, 0, PortDescription(settings.SecondCOM));

  const int writeLog = dialog.Add<CFarCheckBoxItem>(5, 14, 0, FarLib::GetMsg(Msg::kWriteLogFile),
                                                    settings.WriteLogFile);
  // The name matters only while there is a log to write.
  auto logFile = std::make_unique<CFarEditItem>(
      30, 14, 63, 0, "Zantel.LogFile", CFarTextStorage(settings.LogFile),
      std::make_unique<FarLib::CFarStringValidator>(NamesAFile, 0));
  logFile->ValidateWhileChecked(writeLog);
  dialog.AddItem(std::move(logFile));
  items.ok = dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return items;
}

std::vector<std::string> ProfileItems(const ModelProfileList& profiles) {
  std::vector<std::string> items;
  items.reserve(profiles.size());
  for (const ModelProfile& profile : profiles)
    items.push_back(profile.Manufacturer + " " + profile.Model);
  return items;
}

}  // namespace

void ConfigurationMenu() {
  int selected = 0;
  for (;;) {
    const std::array<const char*, 3> items = {FarLib::GetMsg(Msg::kGeneralSettings),
                                              FarLib::GetMsg(Msg::kSmsSettings),
                                              FarLib::GetMsg(Msg::kModelInfo)};
    const int chosen = FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kConfigMenuTitle), nullptr,
                                        "Config", selected, FMENU_WRAPMODE);
    switch (chosen) {
      case 0: EditGeneralSettings(); break;
      case 1: EditSMSSettings(); break;
      case 2: EditModelProfiles(); break;
      default: return;
    }
    selected = chosen;
  }
}

void EditGeneralSettings() {
  PluginSettings& settings = Settings();
  for (;;) {
    // Built afresh each time so that the port descriptions show what the port pages left.
    FarLib::CFarDialog dialog(70, 20, "GeneralConfigDlg");
    const GeneralItems items = BuildGeneralDialog(dialog, settings);
    switch (dialog.Run({items.ok, items.firstPortButton, items.secondPortButton})) {
      case 1: EditPortSettings(settings.FirstCOM); break;
      case 2: EditPortSettings(settings.SecondCOM); break;
      default: return;
    }
  }
}

void EditSMSSettings() {
  PluginSettings& settings = Settings();
  FarLib::CFarDialog dialog(60, 11, "SMSConfigDlg");
  dialog.AddFrame(Msg::kSmsSettings);
  dialog.Add<CFarCheckBoxItem>(5, 3, 0, FarLib::GetMsg(Msg::kAlwaysShowPhone),
                               settings.AlwaysShowPhone);
  dialog.Add<CFarTextItem>(5, 5, 0, FarLib::GetMsg(Msg::kServiceCentreLabel));
  dialog.Add<CFarEditItem>(37, 5, 53, 0, "Zantel.SCA", CFarTextStorage(settings.DefaultSCA));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.Run();
}

bool EditPortSettings(PortSettings& port) {
  FarLib::CFarDialog dialog(70, 19, "PortConfigDlg");
  dialog.AddFrame(FarLib::FormatMsg(Msg::kPortSettingsTitle, port.Port));

  dialog.Add<CFarTextItem>(5, 3, 0, FarLib::GetMsg(Msg::kBaudRateLabel));
  static constexpr int32_t kBaudRates[] = {2400, 9600, 19200, 38400, 57600, 115200, 256000};
  const CFarIntegerStorage baudRate(port.BaudRate);
  for (size_t i = 0; i < std::size(kBaudRates); ++i) {
    const int column = 18 + 12 * static_cast<int>(i % 4);
    const int row = 3 + static_cast<int>(i / 4);
    dialog.Add<CFarRadioButtonItem>(column, row, i == 0 ? DIF_GROUP : 0,
                                    std::to_string(kBaudRates[i]), baudRate, kBaudRates[i]);
  }

  dialog.Add<CFarTextItem>(5, 6, 0, FarLib::GetMsg(Msg::kDataBitsLabel));
  AddNumber(dialog, 18, 6, 19, port.DataBits, 4, 8);

  dialog.Add<CFarTextItem>(5, 7, 0, FarLib::GetMsg(Msg::kParityLabel));
  static constexpr int kParityColumns[] = {18, 26, 34, 44, 55};
  const CFarIntegerStorage parity(port.Parity);
  for (int32_t value = 0; value < 5; ++value) {
    dialog.Add<CFarRadioButtonItem>(kParityColumns[value], 7, value == 0 ? DIF_GROUP : 0,
                                    FarLib::GetMsg(Msg::kParityFirstChoice + value), parity, value);
  }

  dialog.Add<CFarTextItem>(5, 8, 0, FarLib::GetMsg(Msg::kStopBitsLabel));
  static constexpr const char* kStopBits[] = {"1", "1.5", "2"};
  const CFarIntegerStorage stopBits(port.StopBits);
  for (int32_t value = 0; value < 3; ++value) {
    dialog.Add<CFarRadioButtonItem>(18 + 8 * value, 8, value == 0 ? DIF_GROUP : 0, kStopBits[value],
                                    stopBits, value);
  }

  dialog.Add<CFarCheckBoxItem>(5, 10, 0, FarLib::GetMsg(Msg::kHardwareFlowControl), port.HwCtl);
  dialog.Add<CFarCheckBoxItem>(5, 11, 0, FarLib::GetMsg(Msg::kSoftwareFlowControl), port.SwCtl);
  dialog.Add<CFarTextItem>(5, 13, 0, FarLib::GetMsg(Msg::kTimeoutLabel));
  AddNumber(dialog, 20, 13, 24, port.Timeout, 1, 60);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return dialog.Run() == 0;
}

void EditModelProfiles() {
  static constexpr int kBreakKeys[] = {kVkInsert};
  ModelProfileList& profiles = Settings().Profiles;
  int selected = 0;
  for (;;) {
    int breakCode = -1;
    const int chosen = FarLib::ShowMenu(ProfileItems(profiles), FarLib::GetMsg(Msg::kModelInfo),
                                        FarLib::GetMsg(Msg::kProfilesMenuKeys), "InfosMenu",
                                        selected, FMENU_WRAPMODE, kBreakKeys, &breakCode);
    if (breakCode == 0) {
      const int added = AddModelProfile();
      if (added < 0) {
        if (chosen >= 0) selected = chosen;
        continue;
      }
      selected = added;
    } else if (chosen < 0 || chosen >= static_cast<int>(profiles.size())) {
      return;
    } else {
      selected = chosen;
    }
    EditProfile(profiles[static_cast<size_t>(selected)]);
  }
}

int AddModelProfile() {
  ModelProfileList& profiles = Settings().Profiles;
  std::string manufacturer;
  std::string model;
  for (;;) {
    FarLib::CFarDialog dialog(60, 11, "NewProfileDlg");
    dialog.AddFrame(Msg::kNewProfileTitle);
    dialog.Add<CFarTextItem>(5, 3, 0, FarLib::GetMsg(Msg::kManufacturerLabel));
    dialog.Add<CFarEditItem>(5, 4, 54, 0, std::string(), CFarTextStorage(manufacturer));
    dialog.Add<CFarTextItem>(5, 5, 0, FarLib::GetMsg(Msg::kModelLabel));
    dialog.Add<CFarEditItem>(5, 6, 54, 0, std::string(), CFarTextStorage(model));
    dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
    if (dialog.Run() != 0) return -1;
    // Spaces around a typed name would make a profile that no phone's answer ever matches.
    manufacturer = std::string(Trimmed(manufacturer));
    model = std::string(Trimmed(model));
    if (manufacturer.empty() || model.empty()) {
      FarLib::ShowError(FarLib::GetMsg(Msg::kProfileNameMissing));
    } else if (FindProfile(profiles, manufacturer, model)) {
      FarLib::ShowError(
          FarLib::FormatMsg(Msg::kProfileExists, manufacturer.c_str(), model.c_str()).c_str());
    } else {
      AddProfile(profiles, manufacturer, model);
      return static_cast<int>(profiles.size()) - 1;
    }
  }
}

}  // namespace Plugin
