#include "phone_port_link.h"

#include <cstdlib>

#include "platform/environment.h"

// Natively each simulator gets a private link, and the plug-in's COMn is pointed at it
// through the POSIX backend's ZANTEL_COMn.
std::string PreparePhonePortLink(int port, const std::string& scratchFolder, std::string& failure) {
  const std::string link = scratchFolder + "/com" + std::to_string(port);
  if (!Platform::SetEnvironmentValue("ZANTEL_COM" + std::to_string(port), link)) {
    failure = "cannot set ZANTEL_COM" + std::to_string(port);
    return {};
  }
  return link;
}

int TestPhonePort() { return 1; }

void ReleasePhonePortLink(int port) {
  Platform::RemoveEnvironmentValue("ZANTEL_COM" + std::to_string(port));
}

std::string PhoneSimulatorProgram() {
  const char* program = std::getenv("ZANTEL_PHONESIM_PROGRAM");
  return program != nullptr ? program : ZANTEL_PHONESIM_PROGRAM;
}
