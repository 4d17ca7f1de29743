#include "platform/environment.h"

#include <stdlib.h>

#include "platform/error.h"

namespace Platform {
namespace {

bool Put(const std::string& name, const std::string& value) {
  if (_putenv_s(name.c_str(), value.c_str()) == 0) return true;
  SetLastError(kErrorInvalidParameter);
  return false;
}

}  // namespace

// The run-time cannot hold an empty value: it takes one for removal.
bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (value.empty()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  return Put(name, value);
}

bool RemoveEnvironmentValue(const std::string& name) { return Put(name, ""); }

}  // namespace Platform
