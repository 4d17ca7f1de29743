#include "phone_port_link.h"

#include <cstdlib>

// Under Wine, COMn is whatever the prefix maps it to, so a simulator can serve only the port
// scripts/test-windows maps to a fixed link path (ZANTEL_TEST_PHONE_PORT, ZANTEL_TEST_PHONE_LINK,
// a Unix path). Any other port may be a real one and is never handed out.
std::string PreparePhonePortLink(int port, const std::string&, std::string& failure) {
  const char* mappedPort = std::getenv("ZANTEL_TEST_PHONE_PORT");
  const char* link = std::getenv("ZANTEL_TEST_PHONE_LINK");
  if (mappedPort == nullptr || link == nullptr || std::to_string(port) != mappedPort) {
    failure = "COM" + std::to_string(port) +
              " is not mapped to a phone simulator's link; run the Windows tests through "
              "scripts/test-windows, which maps ZANTEL_TEST_PHONE_PORT to ZANTEL_TEST_PHONE_LINK";
    return {};
  }
  return link;
}

void ReleasePhonePortLink(int) {}

// The native simulator of a Linux build, which scripts/test-windows builds and names.
std::string PhoneSimulatorProgram() {
  const char* program = std::getenv("ZANTEL_PHONESIM_PROGRAM");
  return program != nullptr ? program : "";
}
