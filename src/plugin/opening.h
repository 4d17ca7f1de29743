#pragma once
#include <memory>
#include <string>

#include "plugin/panels.h"

struct PortSettings;

namespace Plugin {

// A port's settings in a few characters, for example "115200, 8N1 HW".
std::string PortDescription(const PortSettings& port);

// Chooses the link (asking when the second port is enabled), connects and builds the panel,
// which greets the phone. Null when the user cancelled or the link failed; a link failure has
// been shown in the system-error box.
std::unique_ptr<CMobilePanel> OpenPhone(bool phoneView);

}  // namespace Plugin
