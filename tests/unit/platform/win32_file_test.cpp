#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file.h"

namespace Platform {
namespace {

namespace fs = std::filesystem;

class Win32Files : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = fs::temp_directory_path() /
               ("zantel-files-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
  }
  void TearDown() override { fs::remove_all(m_folder); }

  void AddFile(const std::string& name, const std::string& bytes = "") {
    std::ofstream(m_folder / name, std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const { return (m_folder / name).string(); }

  fs::path m_folder;
};

struct ListCase {
  const char* pattern;
  std::vector<std::string> names;
};

// Windows also matches the made-up 8.3 names ("ZANTEL~1.LNG" for "Zantel.lngx"); only the
// real names count.
TEST_F(Win32Files, ListingMatchesTheRealNamesOnly) {
  for (const char* name :
       {"ZantelEng.lng", "ZantelRus.LNG", "Zantel.lngx", "Zantel.hlf", "README"}) {
    AddFile(name);
  }
  fs::create_directory(m_folder / "Folder.lng");
  const ListCase cases[] = {
      {"*.ln?", {"ZantelEng.lng", "ZantelRus.LNG"}},
      {"*.lng*", {"Zantel.lngx", "ZantelEng.lng", "ZantelRus.LNG"}},
      {"README.*", {"README"}},
      {"zantel???.lng", {"ZantelEng.lng", "ZantelRus.LNG"}},
      {"*.txt", {}},
  };
  for (const ListCase& entry : cases) {
    EXPECT_EQ(ListFiles(Path(entry.pattern)), entry.names) << entry.pattern;
  }
}

TEST_F(Win32Files, ListingTellsAMissingFolderFromNoMatch) {
  EXPECT_TRUE(ListFiles(Path("*.none")).empty());
  EXPECT_EQ(LastError(), kErrorFileNotFound);
  EXPECT_TRUE(ListFiles(Path("missing\\*.lng")).empty());
  EXPECT_EQ(LastError(), kErrorPathNotFound);
}

// Appending goes to the end, however the file was written before.
TEST_F(Win32Files, AppendingWritesAtTheEnd) {
  AddFile("log", "start ");
  for (const char* piece : {"one ", "two"}) {
    CFile log = CFile::Open(Path("log"), OpenMode::AppendAlways);
    ASSERT_TRUE(log.IsOpen()) << ErrorText(LastError());
    uint32_t written = 0;
    ASSERT_TRUE(log.Write(piece, static_cast<uint32_t>(std::strlen(piece)), written));
  }
  std::ifstream in(Path("log"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "start one two");
}

// A file open for appending may be read meanwhile (by a reader that lets others write, as
// viewers do), but not written by anyone else.
TEST_F(Win32Files, AppendingSharesForReadingOnly) {
  CFile log = CFile::Open(Path("log"), OpenMode::AppendAlways);
  ASSERT_TRUE(log.IsOpen()) << ErrorText(LastError());
  uint32_t written = 0;
  ASSERT_TRUE(log.Write("AT\r", 3, written));
  std::ifstream viewer(Path("log"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(viewer), {}), "AT\r");
  SetLastError(kErrorSuccess);
  EXPECT_FALSE(CFile::Open(Path("log"), OpenMode::AppendAlways).IsOpen());
  EXPECT_EQ(LastError(), kErrorSharingViolation);
}

struct RefusalCase {
  const char* name;
  OpenMode mode;
  uint32_t error;
};

TEST_F(Win32Files, RefusalsCarryTheSystemsReason) {
  AddFile("existing");
  fs::create_directory(m_folder / "folder");
  const RefusalCase cases[] = {
      {"existing", OpenMode::CreateNew, kErrorFileExists},
      {"missing", OpenMode::ExistingRead, kErrorFileNotFound},
      {"missing\\file", OpenMode::CreateAlways, kErrorPathNotFound},
      {"folder", OpenMode::ExistingReadWrite, kErrorAccessDenied},
  };
  for (const RefusalCase& entry : cases) {
    SetLastError(kErrorSuccess);
    EXPECT_FALSE(CFile::Open(Path(entry.name), entry.mode).IsOpen()) << entry.name;
    EXPECT_EQ(LastError(), entry.error) << entry.name;
  }
}

TEST_F(Win32Files, SizeAndEndOfAnOpenFile) {
  AddFile("data", std::string(1234, 'x'));
  CFile file = CFile::Open(Path("data"), OpenMode::ExistingRead);
  ASSERT_TRUE(file.IsOpen());
  uint64_t size = 0;
  ASSERT_TRUE(file.Size(size));
  EXPECT_EQ(size, 1234u);
  ASSERT_TRUE(file.SeekToEnd());
  char byte = 0;
  uint32_t read = 1;
  EXPECT_TRUE(file.Read(&byte, 1, read));
  EXPECT_EQ(read, 0u);
}

}  // namespace
}  // namespace Platform
