#include "phone_port_link.h"

#include <cstdlib>
#include <string_view>

namespace {

// Under Wine, COMn is whatever the prefix maps it to. scripts/test-windows maps each port of
// ZANTEL_TEST_PHONE_PORTS ("1,2") to the link path ZANTEL_TEST_PHONE_LINKS/comN (a Unix path),
// where the simulator of the test holding that port serves; any other port may be a real one
// and is never handed out.
bool IsMappedPort(int port) {
  const char* ports = std::getenv("ZANTEL_TEST_PHONE_PORTS");
  if (ports == nullptr) return false;
  const std::string wanted = std::to_string(port);
  std::string_view rest = ports;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    if (rest.substr(0, comma) == wanted) return true;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return false;
}

}  // namespace

std::string PreparePhonePortLink(int port, const std::string&, std::string& failure) {
  const char* links = std::getenv("ZANTEL_TEST_PHONE_LINKS");
  if (links == nullptr || !IsMappedPort(port)) {
    failure = "COM" + std::to_string(port) +
              " is not mapped to a phone simulator's link; run the Windows tests through "
              "scripts/test-windows, which maps ZANTEL_TEST_PHONE_PORTS into "
              "ZANTEL_TEST_PHONE_LINKS";
    return {};
  }
  return std::string(links) + "/com" + std::to_string(port);
}

void ReleasePhonePortLink(int) {}

// ctest hands each test that starts simulators one port of the resource "phone_ports", in
// CTEST_RESOURCE_GROUP_0_PHONE_PORTS as "id:2,slots:1"; a test run by hand has port 1.
int TestPhonePort() {
  const char* granted = std::getenv("CTEST_RESOURCE_GROUP_0_PHONE_PORTS");
  if (granted == nullptr) return 1;
  const std::string_view text = granted;
  if (!text.starts_with("id:")) return 1;
  const int port = std::atoi(granted + 3);
  return port > 0 ? port : 1;
}

// The native simulator of a Linux build, which scripts/test-windows builds and names.
std::string PhoneSimulatorProgram() {
  const char* program = std::getenv("ZANTEL_PHONESIM_PROGRAM");
  return program != nullptr ? program : "";
}
