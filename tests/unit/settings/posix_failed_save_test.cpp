#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fake_host.h"
#include "posix/other_connection.h"
#include "plugin/host_users.h"
#include "farlib/message_ids.h"
#include "platform/error.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "settings_fixture.h"

// A store that cannot take a save: the save says so (false and one error box with the
// reason) and keeps nothing of it, so the file is byte for byte what it was.
namespace {

namespace fs = std::filesystem;

// The bytes of a file; nothing for a folder.
std::string ReadWhole(const std::string& path) {
  if (!fs::is_regular_file(path)) return {};
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct UnwritableStore {
  const char* label;
  // A store holding an earlier save that is locked now, or a file that never was a store.
  bool holdsASave;
  // Spoils the store at `file` for writing; what it returns lives until the save is over.
  std::function<std::shared_ptr<void>(const std::string& file)> spoil;
  uint32_t reason;
};

void PrintTo(const UnwritableStore& store, std::ostream* out) { *out << store.label; }

std::shared_ptr<void> HeldBy(const std::string& file, const char* sql) {
  auto other = std::make_shared<COtherConnection>(file, sql);
  EXPECT_TRUE(other->Held()) << sql;
  return other;
}

class FailedSaveTest : public CSettingsFixture,
                       public testing::WithParamInterface<UnwritableStore> {};

TEST_P(FailedSaveTest, ReturnsFalseShowsOneBoxAndKeepsTheStore) {
  CFakeHost host;
  host.SetMessageText(Msg::kSettingsNotSaved, "Settings could not be saved");
  PluginStartupInfo info = host.StartupInfo();
  const std::string root = KeyPath().substr(0, KeyPath().size() - std::string("\\Zantel").size());
  info.RootKey = root.c_str();
  FarLib::SetStartupInfo(info);

  const std::string& file = Registry().File();
  std::shared_ptr<void> spoiled;
  if (GetParam().holdsASave) {
    Settings().DefaultSCA = "+447700900000";
    Settings().Profiles.push_back({"Nokia", "6310i", "GSM", 2, 15});
    ASSERT_TRUE(SaveSettings());
    // Locks held elsewhere are waited for only briefly here; the failure is the same.
    Platform::Posix::CRegistryStore::Current()->SetBusyTimeout(50);
  }
  const PluginSettings saved = Settings();
  spoiled = GetParam().spoil(file);
  const std::string before = ReadWhole(file);
  const bool wasFolder = fs::is_directory(file);

  host.AnswerMessage(0);
  Settings().DefaultSCA = "+15550100";
  Settings().FirstCOM.Port = 4;
  Settings().Profiles.push_back({"SIEMENS", "S55", "UCS2", 1, 5});
  EXPECT_FALSE(SaveSettingsOrTell());
  spoiled.reset();

  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].items,
            (std::vector<std::string>{"Zantel", "Settings could not be saved",
                                      Platform::ErrorText(GetParam().reason), "OK"}));
  EXPECT_EQ(fs::is_directory(file), wasFolder);
  EXPECT_EQ(ReadWhole(file), before) << "the failed save changed the store";
  if (GetParam().holdsASave) {
    LoadSettings();
    EXPECT_EQ(Settings(), saved) << "a part of the failed save was kept";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stores, FailedSaveTest,
    testing::Values(
        // The save cannot even start: another writer holds the store.
        UnwritableStore{"LockedByAWriter", true,
                        [](const std::string& file) { return HeldBy(file, "BEGIN IMMEDIATE"); },
                        Platform::kErrorSharingViolation},
        // Every value is written, then the commit waits in vain for a reader to finish.
        UnwritableStore{"LockedByAReader", true,
                        [](const std::string& file) {
                          return HeldBy(file, "BEGIN; SELECT count(*) FROM keys");
                        },
                        Platform::kErrorSharingViolation},
        UnwritableStore{"NotAStore", false,
                        [](const std::string& file) {
                          std::ofstream(file, std::ios::binary) << "[HKEY_CURRENT_USER]\n";
                          return std::shared_ptr<void>();
                        },
                        Platform::kErrorBadDatabase},
        UnwritableStore{"FolderInPlaceOfTheFile", false,
                        [](const std::string& file) {
                          fs::create_directory(file);
                          return std::shared_ptr<void>();
                        },
                        Platform::kErrorAccessDenied}),
    [](const testing::TestParamInfo<UnwritableStore>& info) { return info.param.label; });

}  // namespace
