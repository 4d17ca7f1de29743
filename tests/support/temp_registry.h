#pragma once
#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "platform/registry.h"
#include "scoped_environment.h"

// A registry of the test's own: on POSIX a new store file named by $ZANTEL_REGISTRY, on
// Windows a new key below HKEY_CURRENT_USER\Software\ZantelTests; both are removed at the end.
class CTempRegistry {
 public:
  CTempRegistry()
      : m_name(UniqueName()),
        m_file((std::filesystem::temp_directory_path() / (m_name + ".sqlite3")).string()),
        m_store("ZANTEL_REGISTRY", m_file) {}
  ~CTempRegistry() {
    Platform::CRegKey::Open(kTestsKey).DeleteSubtree(m_name);
    std::error_code ignored;
    std::filesystem::remove(m_file, ignored);
  }
  CTempRegistry(const CTempRegistry&) = delete;
  CTempRegistry& operator=(const CTempRegistry&) = delete;

  // A key path of its own below HKEY_CURRENT_USER, not yet created.
  std::string Root() const { return std::string(kTestsKey) + "\\" + m_name; }
  const std::string& File() const { return m_file; }

 private:
  static constexpr const char* kTestsKey = "Software\\ZantelTests";

  static std::string UniqueName() {
    std::random_device random;
    return "zantel-registry-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
           std::to_string(random());
  }

  std::string m_name;
  std::string m_file;
  CScopedEnvironment m_store;
};
