#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "temp_registry.h"
#include "platform/clock.h"
#include "scripted_phone_book_user.h"
#include "test_texts.h"

// The plug-in's root in a registry of the test's own, so that phone caches never reach the real
// one (on Windows the temporary registry is a key of the real registry), and the person at the
// panel played by the test.
class CPhoneBookTest : public testing::Test {
 protected:
  CPhoneBookTest() : m_texts(m_registry.Root() + "\\Far") {}
  // The full path of a key below the plug-in's own.
  std::string KeyPath(const std::string& subkey) const {
    return m_registry.Root() + "\\Far\\Zantel" + subkey;
  }

  CTempRegistry m_registry;
  CTestTexts m_texts;
  CScriptedPhoneBookUser m_user;
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
