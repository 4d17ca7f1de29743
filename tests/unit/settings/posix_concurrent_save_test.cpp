#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/settings.h"
#include "settings_fixture.h"

// Two host processes that share one store save their settings at the same moment. Each save
// must land whole: whatever is read afterwards is exactly one process's save, never a mix.
namespace {

constexpr const char* kSharedRoot = "ZANTEL_TEST_SHARED_ROOT";
constexpr const char* kSharedStore = "ZANTEL_TEST_SHARED_STORE";
constexpr const char* kWriter = "ZANTEL_TEST_WRITER";
constexpr int kSaves = 40;

// Settings in which every value carries the same stamp, so a mix of two saves shows.
PluginSettings Stamped(int stamp) {
  PluginSettings s;
  const std::string text = std::to_string(stamp);
  s.DefaultSCA = text;
  s.LogFile = text;
  s.LastNamedPipe = text;
  s.LastPhoneSMSSent = text;
  s.LastTextSMSSent = text;
  s.FirstCOM.BaudRate = 300u + static_cast<uint32_t>(stamp);
  s.SecondCOM.BaudRate = 300u + static_cast<uint32_t>(stamp);
  s.Profiles.front().Charset = text;
  for (int i = 0; i < stamp % 4; ++i) s.Profiles.push_back({"Maker", text, text, 1, 7});
  return s;
}

bool IsOneWholeSave(const PluginSettings& loaded) {
  const int stamp = std::atoi(loaded.DefaultSCA.c_str());
  return loaded == Stamped(stamp);
}

class CConcurrentSaves : public CSettingsFixture {
 protected:
  // The store and root the writers share when run by the test below, else the test's own.
  CConcurrentSaves() : m_store("ZANTEL_REGISTRY", SharedStore()) {
    if (const char* shared = std::getenv(kSharedRoot)) UseRootKey(shared);
  }

 private:
  static std::optional<std::string> SharedStore() {
    if (const char* shared = std::getenv(kSharedStore)) return shared;
    if (const char* own = std::getenv("ZANTEL_REGISTRY")) return own;
    return std::nullopt;
  }

  CScopedEnvironment m_store;
};

TEST_F(CConcurrentSaves, EveryLoadBetweenSavesSeesOneWholeSave) {
  const char* writer = std::getenv(kWriter);
  const int base = 1000 * (writer ? std::atoi(writer) : 1);
  for (int i = 0; i < kSaves; ++i) {
    Settings() = Stamped(base + i);
    SaveSettings();
    Settings() = PluginSettings{};
    LoadSettings();
    ASSERT_TRUE(IsOneWholeSave(Settings()))
        << "save " << i << " read back as " << Settings().DefaultSCA;
  }
}

TEST_F(CConcurrentSaves, TwoProcessesSavingAtOnceLeaveOneWholeSave) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string root = KeyPath().substr(0, KeyPath().size() - std::string("\\Zantel").size());
  const std::string writer =
      std::string(kSharedRoot) + "='" + root + "' " + kSharedStore + "='" + Registry().File() +
      "' '" + self + "' --gtest_filter=CConcurrentSaves.EveryLoadBetweenSavesSeesOneWholeSave";
  const std::string script = "ZANTEL_TEST_WRITER=1 " + writer + " >/dev/null & first=$!; " +
                             "ZANTEL_TEST_WRITER=2 " + writer + " >/dev/null & second=$!; " +
                             "wait $first || exit 1; wait $second || exit 1";
  EXPECT_EQ(std::system(script.c_str()), 0);
  LoadSettings();
  EXPECT_TRUE(IsOneWholeSave(Settings()));
  EXPECT_EQ(Settings().DefaultSCA.size(), 4u) << "no save landed";
}

}  // namespace
