#include "host_root_key.h"

#include <random>

#include "platform/registry.h"

namespace {

constexpr const char* kTestsKey = "Software\\ZantelTests";

const std::string& ProgramKeyName() {
  static const std::string name = "host-" + std::to_string(std::random_device{}());
  return name;
}

}  // namespace

std::string TestHostRootKey() {
  return std::string(kTestsKey) + "\\" + ProgramKeyName() + "\\Far\\Plugins";
}

void ForgetTestHostRootKey() { Platform::CRegKey::Open(kTestsKey).DeleteSubtree(ProgramKeyName()); }
