#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "posix/scoped_umask.h"
#include "scoped_environment.h"
#include "temp_registry.h"

namespace Platform {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// What another process sees: a connection of its own on the same file.
int64_t CountKeysSeenElsewhere(const std::string& file) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* count = nullptr;
  sqlite3_prepare_v2(db, "SELECT count(*) FROM keys", -1, &count, nullptr);
  const int64_t keys = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int64(count, 0) : -1;
  sqlite3_finalize(count);
  sqlite3_close(db);
  return keys;
}

std::string UniqueName(const std::string& prefix) {
  std::random_device random;
  return prefix + std::to_string(random()) + std::to_string(random());
}

TEST(RegistryStore, DefaultsToTheUsersConfigFolder) {
  const fs::path home = fs::temp_directory_path() / UniqueName("zantel-home-");
  fs::remove_all(home);
  const CScopedEnvironment homeVariable("HOME", home.string());
  const CScopedEnvironment store("ZANTEL_REGISTRY", std::nullopt);
  EXPECT_EQ(Posix::RegistryStorePath(), (home / ".config/zantel/registry.sqlite3").string());
  EXPECT_TRUE(CRegKey::Create("Software\\Far\\Plugins\\Zantel").IsOpen());
  EXPECT_TRUE(fs::is_regular_file(home / ".config/zantel/registry.sqlite3"));
  fs::remove_all(home);
}

struct UnusableStore {
  const char* label;
  std::string bytes;
};

class UnusableStoreTest : public testing::TestWithParam<UnusableStore> {};

TEST_P(UnusableStoreTest, GivesNoKeysAndIsLeftAsItWas) {
  CTempRegistry registry;
  WriteWhole(registry.File(), GetParam().bytes);
  EXPECT_FALSE(CRegKey::Create(registry.Root()).IsOpen());
  {
    CRegTransaction save;
    EXPECT_FALSE(CRegKey::Create(registry.Root() + "\\Zantel").IsOpen());
  }
  EXPECT_EQ(ReadWhole(registry.File()), GetParam().bytes);
}

std::string ForeignDatabase() {
  const fs::path path = fs::temp_directory_path() / UniqueName("zantel-foreign-");
  fs::remove(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE keys(a); INSERT INTO keys VALUES(1)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::string bytes = ReadWhole(path.string());
  fs::remove(path);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableStoreTest,
    testing::Values(UnusableStore{"Text", "[HKEY_CURRENT_USER\\Software]\n"},
                    UnusableStore{"TruncatedHeader", std::string("SQLite format 3\0\x10", 18)},
                    UnusableStore{"ForeignDatabase", ForeignDatabase()}),
    [](const testing::TestParamInfo<UnusableStore>& info) { return info.param.label; });

// Windows compares key names upper-cased, which puts '_' (0x5F) after the letters; a
// lower-case fold would put it first.
TEST(RegistryStore, SubKeysFoldToUpperCaseAsWindowsDoes) {
  CTempRegistry registry;
  for (const char* name : {"beta", "_under", "Alpha"})
    CRegKey::Create(registry.Root() + "\\" + name);
  EXPECT_EQ(CRegKey::Open(registry.Root()).SubKeyNames(),
            (std::vector<std::string>{"Alpha", "beta", "_under"}));
}

TEST(RegistryStore, EmptyNameInAPathIsRefused) {
  CTempRegistry registry;
  EXPECT_FALSE(CRegKey::Create(registry.Root() + "\\\\Zantel").IsOpen());
  EXPECT_FALSE(CRegKey::Create(registry.Root() + "\\").IsOpen());
  EXPECT_FALSE(CRegKey::Open("\\Software").IsOpen());
}

TEST(RegistryStore, KeyNamesUpTo255CharactersAndNothingOfARefusedPath) {
  CTempRegistry registry;
  EXPECT_TRUE(CRegKey::Create(registry.Root() + "\\A\\" + std::string(255, 'k')).IsOpen());
  EXPECT_FALSE(CRegKey::Create(registry.Root() + "\\B\\" + std::string(256, 'k')).IsOpen());
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\B").IsOpen());
}

TEST(RegistryStore, AFolderInPlaceOfTheFileGivesNoKeys) {
  CTempRegistry registry;
  fs::create_directory(registry.File());
  EXPECT_FALSE(CRegKey::Create(registry.Root()).IsOpen());
  EXPECT_TRUE(fs::is_directory(registry.File()));
}

TEST(RegistryStore, OthersSeeAScopesChangesOnlyWhenItEnds) {
  CTempRegistry registry;
  CRegKey::Create(registry.Root());
  const int64_t before = CountKeysSeenElsewhere(registry.File());
  {
    CRegTransaction save;
    CRegKey::Create(registry.Root() + "\\Zantel\\FirstCOM");
    EXPECT_EQ(CountKeysSeenElsewhere(registry.File()), before);
  }
  EXPECT_EQ(CountKeysSeenElsewhere(registry.File()), before + 2);
}

// Another connection holds a lock the scope needs: the writer's lock keeps the scope from
// starting, the reader's from committing. Either way the unit fails whole and says why, and
// the scope nested in it knows as well.
class LockedStoreTest : public testing::TestWithParam<const char*> {};

TEST_P(LockedStoreTest, AScopeThatCannotLandKeepsNothingAndSaysWhy) {
  CTempRegistry registry;
  ASSERT_TRUE(CRegKey::Create(registry.Root()).IsOpen());
  Posix::CRegistryStore::Current()->SetBusyTimeout(50);
  const std::string before = ReadWhole(registry.File());
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(registry.File().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, GetParam(), nullptr, nullptr, nullptr), SQLITE_OK);
  {
    CRegTransaction outer;
    CRegKey key = CRegKey::Create(registry.Root() + "\\Zantel");
    if (key.IsOpen()) key.SetValue("Port", kRegDword, std::vector<uint8_t>{1, 0, 0, 0});
    {
      CRegTransaction inner;
      CRegKey::Create(registry.Root() + "\\Devices");
      EXPECT_EQ(inner.Commit(), key.IsOpen()) << "a unit that could not start fails at once";
    }
    SetLastError(kErrorSuccess);
    EXPECT_FALSE(outer.Commit());
    EXPECT_EQ(LastError(), kErrorSharingViolation);
    EXPECT_FALSE(outer.Commit()) << "a second call repeats the answer";
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(ReadWhole(registry.File()), before);
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Zantel").IsOpen());
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Devices").IsOpen());
  CRegTransaction after;
  EXPECT_TRUE(CRegKey::Create(registry.Root() + "\\Zantel").IsOpen());
  EXPECT_TRUE(after.Commit()) << "the next unit starts afresh";
}

INSTANTIATE_TEST_SUITE_P(Locks, LockedStoreTest,
                         testing::Values("BEGIN IMMEDIATE", "BEGIN; SELECT count(*) FROM keys"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "HeldByAWriter" : "HeldByAReader");
                         });

// ---- Who may read the store ----

unsigned Mode(const fs::path& path) {
  return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask);
}

struct PrivateStoreCase {
  const char* label;
  unsigned umask;
  bool existing;  // the store was there already, readable by everyone
};

void PrintTo(const PrivateStoreCase& c, std::ostream* out) { *out << c.label; }

class PrivateStore : public testing::TestWithParam<PrivateStoreCase> {};

// The store caches every contact's name and number; the journal holds the same pages while a
// save is under way.
TEST_P(PrivateStore, StoreAndJournalAreTheUsersAlone) {
  const PrivateStoreCase& c = GetParam();
  const CScopedUmask mask(c.umask);
  CTempRegistry registry;
  if (c.existing) {
    std::string store;
    {
      CTempRegistry earlier;
      CRegKey::Create(earlier.Root());
      store = ReadWhole(earlier.File());
    }
    WriteWhole(registry.File(), store);
    fs::permissions(registry.File(), static_cast<fs::perms>(0644));
  }
  ASSERT_TRUE(CRegKey::Create(registry.Root()).IsOpen());
  EXPECT_EQ(Mode(registry.File()), 0600u);
  {
    CRegTransaction save;
    ASSERT_TRUE(CRegKey::Create(registry.Root() + "\\Zantel").IsOpen());
    const fs::path journal = registry.File() + "-journal";
    ASSERT_TRUE(fs::exists(journal));
    EXPECT_EQ(Mode(journal), 0600u);
  }
  EXPECT_EQ(Mode(registry.File()), 0600u);
}

INSTANTIATE_TEST_SUITE_P(Modes, PrivateStore,
                         testing::Values(PrivateStoreCase{"FreshUnderUmask022", 022, false},
                                         PrivateStoreCase{"FreshUnderUmask000", 0, false},
                                         PrivateStoreCase{"ExistingNarrowed", 0, true}),
                         [](const testing::TestParamInfo<PrivateStoreCase>& info) {
                           return std::string(info.param.label);
                         });

// The default folder is Zantel's and is made private; a folder the user names is theirs, and
// only the store in it is narrowed.
TEST(RegistryStore, OnlyZantelsOwnFolderIsMadePrivate) {
  struct Case {
    const char* label;
    std::optional<unsigned> folderBefore;  // none: the folder does not exist yet
    bool named;                            // by $ZANTEL_REGISTRY
    unsigned folderAfter;
  };
  const Case cases[] = {
      {"DefaultCreated", std::nullopt, false, 0700},
      {"DefaultNarrowed", 0755, false, 0700},
      {"NamedLeftAlone", 0755, true, 0755},
  };
  const CScopedUmask mask(0);
  for (const Case& c : cases) {
    const fs::path home = fs::temp_directory_path() / UniqueName("zantel-home-");
    const fs::path folder = home / ".config/zantel";
    if (c.folderBefore) {
      fs::create_directories(folder);
      fs::permissions(folder, static_cast<fs::perms>(*c.folderBefore));
    }
    const CScopedEnvironment homeVariable("HOME", home.string());
    const CScopedEnvironment store(
        "ZANTEL_REGISTRY",
        c.named ? std::optional<std::string>((folder / "mine.sqlite3").string()) : std::nullopt);
    const fs::path file = c.named ? folder / "mine.sqlite3" : folder / "registry.sqlite3";
    EXPECT_TRUE(CRegKey::Create("Software\\Far\\Plugins\\Zantel").IsOpen()) << c.label;
    EXPECT_EQ(Mode(folder), c.folderAfter) << c.label;
    EXPECT_EQ(Mode(file), 0600u) << c.label;
    fs::remove_all(home);
  }
}

}  // namespace
}  // namespace Platform
