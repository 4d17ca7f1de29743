#include "plugin/panels.h"

CSMSMobilePanel::CSMSMobilePanel() = default;

void CSMSMobilePanel::GetOpenPluginInfo(OpenPluginInfo& info) {
  CGenericMobilePanel::GetOpenPluginInfo(info);
}

int CSMSMobilePanel::GetFindData(PluginPanelItem** items, int* count, int) {
  *items = nullptr;
  *count = 0;
  return 1;
}

int CSMSMobilePanel::SetDirectory(const char*, int) { return 0; }

int CSMSMobilePanel::GetFiles(PluginPanelItem*, int, int, char*, int) { return 0; }

int CSMSMobilePanel::PutFiles(PluginPanelItem*, int, int, int) { return 0; }
