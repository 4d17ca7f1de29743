#include "settings/settings.h"

PluginSettings& Settings() {
  static PluginSettings settings;
  return settings;
}
