#include "plugin/startup.h"

#include "farlib/host.h"
#include "settings/settings.h"

namespace Plugin {

void Start(const PluginStartupInfo& info) {
  FarLib::SetStartupInfo(info);
  LoadSettings();
}

int Configure(int) {
  SaveSettings();
  return 1;
}

void Exit() { SaveSettings(); }

}  // namespace Plugin
