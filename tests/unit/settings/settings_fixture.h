#pragma once
#include <gtest/gtest.h>

#include <string>

#include "temp_registry.h"
#include "farapi/far_api.h"
#include "farlib/host.h"
#include "settings/settings.h"

// A host whose plug-in root is a key of the test's own, and settings back at their defaults.
class CSettingsFixture : public testing::Test {
 protected:
  CSettingsFixture() : m_root(m_registry.Root() + "\\Far\\Plugins") { UseRootKey(m_root); }
  ~CSettingsFixture() override {
    FarLib::SetStartupInfo(PluginStartupInfo{});
    Settings() = PluginSettings{};
  }

  void UseRootKey(const std::string& root) {
    m_root = root;
    PluginStartupInfo info{};
    info.RootKey = m_root.c_str();
    FarLib::SetStartupInfo(info);
    Settings() = PluginSettings{};
  }

  // The full path of a settings key, for looking at the store directly.
  std::string KeyPath(const std::string& subkey = {}) const { return m_root + "\\Zantel" + subkey; }
  const CTempRegistry& Registry() const { return m_registry; }

 private:
  CTempRegistry m_registry;
  std::string m_root;
};
