#include "plugin/plugin_info.h"

#include <array>
#include <cstring>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "settings/settings.h"

namespace Plugin {
namespace {

// The phone-book item first, then the SMS item; a menu shows a run of them.
struct MenuRun {
  int first;
  int count;
};

MenuRun Run(bool showPhoneBook, bool showSms) {
  if (showPhoneBook) return {0, showSms ? 2 : 1};
  return {1, showSms ? 1 : 0};
}

MenuRun DiskMenuRun() {
  const PluginSettings& settings = Settings();
  return Run(settings.PhoneShowInDisksMenu, settings.SMSShowInDisksMenu);
}

MenuRun PluginsMenuRun() {
  const PluginSettings& settings = Settings();
  return Run(settings.PhoneShowInPluginsMenu, settings.SMSShowInPluginsMenu);
}

}  // namespace

void FillPluginInfo(PluginInfo& info) {
  // The host reads these after the call returns. The texts are asked for each time, so a
  // change of the host's language shows at once.
  static std::array<const char*, 2> itemTexts;
  static const char* configText;
  static std::array<int, 2> diskNumbers;
  itemTexts = {FarLib::GetMsg(Msg::kPhoneBookItem), FarLib::GetMsg(Msg::kSmsItem)};
  configText = FarLib::GetMsg(Msg::kConfigMenuTitle);
  diskNumbers = {Settings().PhoneDiskMenuKey, Settings().SMSDiskMenuKey};

  const MenuRun disk = DiskMenuRun();
  const MenuRun plugins = PluginsMenuRun();
  info.StructSize = sizeof(PluginInfo);
  info.Flags = 0;
  info.DiskMenuStrings = itemTexts.data() + disk.first;
  info.DiskMenuNumbers = diskNumbers.data() + disk.first;
  info.DiskMenuStringsNumber = disk.count;
  info.PluginMenuStrings = itemTexts.data() + plugins.first;
  info.PluginMenuStringsNumber = plugins.count;
  info.PluginConfigStrings = &configText;
  info.PluginConfigStringsNumber = 1;
  info.CommandPrefix = nullptr;
}

namespace {
constexpr char kPhoneBookShortcut[] = "PhoneBook";
constexpr char kSmsShortcut[] = "SMS";
}  // namespace

const char* ShortcutData(bool phoneView) { return phoneView ? kPhoneBookShortcut : kSmsShortcut; }

bool OpensPhoneBook(int openFrom, intptr_t item) {
  if (openFrom == OPEN_SHORTCUT && item != 0) {
    return std::strcmp(reinterpret_cast<const char*>(item), kPhoneBookShortcut) == 0;
  }
  if (item != 0) return false;
  switch (openFrom) {
    case OPEN_DISKMENU: return DiskMenuRun().first == 0;
    case OPEN_PLUGINSMENU: return PluginsMenuRun().first == 0;
    default: return true;
  }
}

}  // namespace Plugin
