#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../platform/temp_registry.h"
#include "fake_host.h"
#include "farlib/host.h"
#include "platform/clock.h"

// The scripted host with its plug-in root in a registry of the test's own, so that phone caches
// never reach the real one (on Windows the temporary registry is a key of the real registry).
class CPhoneBookHost : public CFakeHost {
 public:
  explicit CPhoneBookHost(const std::string& root) : m_root(root) { UseRootKey(m_root); }
  void UseRootKey(const std::string& root) {
    m_root = root;
    MutableStartupInfo().RootKey = m_root.c_str();
    FarLib::SetStartupInfo(StartupInfo());
  }

 private:
  std::string m_root;
};

class CPhoneBookTest : public testing::Test {
 protected:
  CPhoneBookTest() : m_host(m_registry.Root() + "\\Far") {}
  // The full path of a key below the plug-in's own.
  std::string KeyPath(const std::string& subkey) const {
    return m_registry.Root() + "\\Far\\Zantel" + subkey;
  }

  CTempRegistry m_registry;
  CPhoneBookHost m_host;
};

// "-" for no time, else the FILETIME as the calendar shows it.
inline std::string TimeText(uint64_t time) {
  Platform::SystemTime t;
  if (time == 0 || !Platform::FileTimeToSystemTime(time, t)) return "-";
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{t.year},
                unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                unsigned{t.second});
  return text;
}
