#include "platform/environment.h"

#include <stdlib.h>

#include "platform/posix/posix_backend.h"

namespace Platform {

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  return setenv(name.c_str(), value.c_str(), 1) == 0 || Posix::FailWithErrno();
}

bool RemoveEnvironmentValue(const std::string& name) {
  return unsetenv(name.c_str()) == 0 || Posix::FailWithErrno();
}

}  // namespace Platform
