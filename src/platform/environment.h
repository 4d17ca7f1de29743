#pragma once
#include <string>

namespace Platform {

// Changes this process's environment where std::getenv sees it (on Windows the C run-time
// keeps a copy of its own, which the system's SetEnvironmentVariableA does not reach).
bool SetEnvironmentValue(const std::string& name, const std::string& value);
bool RemoveEnvironmentValue(const std::string& name);

}  // namespace Platform
