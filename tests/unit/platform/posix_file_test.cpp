#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <ostream>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/posix/posix_backend.h"
#include "posix/pseudo_terminal.h"
#include "platform/serial.h"
#include "scoped_environment.h"

namespace Platform {
namespace {

namespace fs = std::filesystem;

struct DevicePathCase {
  const char* name;
  std::optional<std::string> com3;  // $ZANTEL_COM3 while the name is resolved
  const char* expected;
};

void PrintTo(const DevicePathCase& entry, std::ostream* out) {
  *out << entry.name << " with ZANTEL_COM3=" << entry.com3.value_or("(unset)");
}

class DevicePathTest : public testing::TestWithParam<DevicePathCase> {};

TEST_P(DevicePathTest, ResolvesOnlyWholeComNames) {
  const CScopedEnvironment com3("ZANTEL_COM3", GetParam().com3);
  const CScopedEnvironment com12("ZANTEL_COM12", std::nullopt);
  EXPECT_EQ(Posix::DevicePath(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DevicePathTest,
    testing::Values(
        DevicePathCase{"COM3", std::nullopt, "/dev/ttyS2"},
        DevicePathCase{"com12", std::nullopt, "/dev/ttyS11"},
        DevicePathCase{"COM3", "/dev/pts/9", "/dev/pts/9"},
        DevicePathCase{"cOm3", "/dev/ttyUSB0", "/dev/ttyUSB0"},
        DevicePathCase{"COM3", "", "/dev/ttyS2"}, DevicePathCase{"COM", "/mapped", "COM"},
        DevicePathCase{"COMx", "/mapped", "COMx"}, DevicePathCase{"COM0", "/mapped", "COM0"},
        DevicePathCase{"COM03", "/mapped", "COM03"}, DevicePathCase{"COM3x", "/mapped", "COM3x"},
        DevicePathCase{"COM+3", "/mapped", "COM+3"}, DevicePathCase{"XCOM3", "/mapped", "XCOM3"},
        DevicePathCase{"dir/COM3", "/mapped", "dir/COM3"},
        DevicePathCase{"COM99999999999", "/mapped", "COM99999999999"}));

TEST(SerialNames, MappedPortOpensThatDevice) {
  CPseudoTerminal phone;
  ASSERT_TRUE(phone.IsOpen());
  const CScopedEnvironment com7("ZANTEL_COM7", phone.SlavePath());
  CFile port = CFile::Open("com7", OpenMode::ExistingReadWrite);
  ASSERT_TRUE(port.IsOpen()) << LastError();
  uint32_t written = 0;
  ASSERT_TRUE(port.Write("AT\r", 3, written));
  EXPECT_EQ(phone.ReadExactly(3, 2000), "AT\r");
}

TEST(SerialNames, MappedPortAtMissingPathFailsWithFileNotFound) {
  const CScopedEnvironment com7("ZANTEL_COM7", "/nonexistent/zantel-port");
  EXPECT_FALSE(CFile::Open("COM7", OpenMode::ExistingReadWrite).IsOpen());
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

class Files : public testing::Test {
 protected:
  Files() {
    std::random_device random;
    m_folder = fs::temp_directory_path() / ("zantel-files-" + std::to_string(random()));
    fs::create_directories(m_folder);
  }
  ~Files() override {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }
  std::string Path(const std::string& name) const { return (m_folder / name).string(); }
  void Put(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name)) << text;
  }
  std::string Contents(const std::string& name) const {
    std::ifstream in(Path(name));
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(CFile& file, const std::string& text) {
    uint32_t written = 0;
    ASSERT_TRUE(file.Write(text.data(), static_cast<uint32_t>(text.size()), written))
        << LastError();
    ASSERT_EQ(written, text.size());
  }

  fs::path m_folder;
};

TEST_F(Files, CreateNewTwiceFailsWithFileExists) {
  EXPECT_TRUE(CFile::Open(Path("new.txt"), OpenMode::CreateNew).IsOpen());
  EXPECT_FALSE(CFile::Open(Path("new.txt"), OpenMode::CreateNew).IsOpen());
  EXPECT_EQ(LastError(), kErrorFileExists);
}

TEST_F(Files, CreateAlwaysTruncates) {
  Put("log.txt", "old contents");
  CFile file = CFile::Open(Path("log.txt"), OpenMode::CreateAlways);
  uint64_t size = 99;
  ASSERT_TRUE(file.Size(size));
  EXPECT_EQ(size, 0u);
}

TEST_F(Files, AppendAlwaysCreatesThenAppends) {
  for (const char* piece : {"ab", "cd"}) {
    CFile file = CFile::Open(Path("trace.log"), OpenMode::AppendAlways);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    WriteAll(file, piece);
  }
  EXPECT_EQ(Contents("trace.log"), "abcd");
}

TEST_F(Files, ReadDeliversTheContentsThenNothing) {
  Put("phone.vcf", "BEGIN:VCARD");
  CFile file = CFile::Open(Path("phone.vcf"), OpenMode::ExistingRead);
  char buffer[64];
  uint32_t read = 0;
  ASSERT_TRUE(file.Read(buffer, sizeof buffer, read));
  EXPECT_EQ(std::string(buffer, read), "BEGIN:VCARD");
  EXPECT_TRUE(file.Read(buffer, sizeof buffer, read));
  EXPECT_EQ(read, 0u);
}

TEST_F(Files, SeekToEndThenWriteExtends) {
  Put("data.bin", "abc");
  CFile file = CFile::Open(Path("data.bin"), OpenMode::ExistingReadWrite);
  ASSERT_TRUE(file.SeekToEnd());
  WriteAll(file, "de");
  uint64_t size = 0;
  ASSERT_TRUE(file.Size(size));
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(Contents("data.bin"), "abcde");
}

TEST_F(Files, OpeningFailuresCarryWindowsCodes) {
  Put("plain.txt", "x");
  fs::create_directory(Path("folder"));
  struct Case {
    std::string name;
    OpenMode mode;
    uint32_t code;
  };
  const Case cases[] = {
      {"missing.txt", OpenMode::ExistingRead, kErrorFileNotFound},
      {"missing/file.txt", OpenMode::CreateAlways, kErrorFileNotFound},
      {"plain.txt/inner", OpenMode::ExistingRead, kErrorPathNotFound},
      {"folder", OpenMode::ExistingRead, kErrorAccessDenied},
      {"folder", OpenMode::ExistingReadWrite, kErrorAccessDenied},
      {std::string(300, 'n'), OpenMode::CreateNew, kErrorInvalidName},
  };
  for (const Case& entry : cases) {
    EXPECT_FALSE(CFile::Open(Path(entry.name), entry.mode).IsOpen()) << entry.name;
    EXPECT_EQ(LastError(), entry.code) << entry.name;
  }
}

TEST_F(Files, SecondReadWriteOpenFailsWithSharingViolation) {
  Put("port.bin", "");
  CFile first = CFile::Open(Path("port.bin"), OpenMode::ExistingReadWrite);
  ASSERT_TRUE(first.IsOpen());
  EXPECT_FALSE(CFile::Open(Path("port.bin"), OpenMode::ExistingReadWrite).IsOpen());
  EXPECT_EQ(LastError(), kErrorSharingViolation);
  first.Close();
  EXPECT_TRUE(CFile::Open(Path("port.bin"), OpenMode::ExistingReadWrite).IsOpen());
}

TEST_F(Files, MovedFileKeepsItsHandle) {
  CFile original = CFile::Open(Path("moved.txt"), OpenMode::CreateNew);
  CFile target = CFile::Open(Path("other.txt"), OpenMode::CreateNew);
  target = std::move(original);
  EXPECT_FALSE(original.IsOpen());
  WriteAll(target, "kept");
  target.Close();
  EXPECT_EQ(Contents("moved.txt"), "kept");
  uint32_t read = 0;
  char byte = 0;
  EXPECT_FALSE(target.Read(&byte, 1, read));
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
}

TEST_F(Files, DeleteAndExistence) {
  Put("gone.txt", "x");
  EXPECT_TRUE(FileExists(Path("gone.txt")));
  EXPECT_FALSE(IsDirectory(Path("gone.txt")));
  EXPECT_TRUE(IsDirectory(m_folder.string()));
  EXPECT_TRUE(DeleteFile(Path("gone.txt")));
  EXPECT_FALSE(FileExists(Path("gone.txt")));
  EXPECT_FALSE(DeleteFile(Path("gone.txt")));
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

TEST_F(Files, ListFilesMatchesWildcardsWithoutRegardToCase) {
  for (const char* name : {"Alpha.LNG", "beta.lng", "a1.lng", "gamma.txt", "readme"}) Put(name, "");
  fs::create_directory(Path("sub.lng"));
  const std::string folder = m_folder.string();
  struct Case {
    std::string pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {folder + "/*.lng", {"a1.lng", "Alpha.LNG", "beta.lng"}},
      {folder + "/?1.*", {"a1.lng"}},
      {folder + "/*.*", {"a1.lng", "Alpha.LNG", "beta.lng", "gamma.txt", "readme"}},
      {folder + "/BETA.LNG", {"beta.lng"}},
      {folder + "/*m*.t?t", {"gamma.txt"}},
      {folder + "\\*.TXT", {"gamma.txt"}},
      {folder + "/*.doc", {}},
      {folder + "/missing/*", {}},
  };
  for (const Case& entry : cases) EXPECT_EQ(ListFiles(entry.pattern), entry.names) << entry.pattern;
}

}  // namespace
}  // namespace Platform
