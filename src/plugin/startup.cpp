#include "plugin/startup.h"

#include "farlib/host.h"
#include "plugin/configuration.h"
#include "plugin/host_users.h"
#include "settings/settings.h"

namespace Plugin {

void Start(const PluginStartupInfo& info) {
  FarLib::SetStartupInfo(info);
  LoadSettings();
}

int Configure(int) {
  ConfigurationMenu();
  // However the menu was left, Escape included, what the pages changed is kept. A failed save
  // has already told the user why, in one box.
  SaveSettingsOrTell();
  return 1;
}

void Exit() { SaveSettingsOrTell(); }

}  // namespace Plugin
