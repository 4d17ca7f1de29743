#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fake_host.h"
#include "link/at_engine.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "link/io_error.h"
#include "platform/error.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A folder of its own per test, and the transcript switched off again afterwards.
class FileConnection : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = fs::temp_directory_path() /
               ("zantel-link-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
  }
  void TearDown() override {
    Settings() = PluginSettings{};
    fs::remove_all(m_folder);
  }
  void LogTo(const fs::path& transcript) {
    Settings().WriteLogFile = true;
    Settings().LogFile = transcript.string();
  }

  CFakeHost m_host;
  fs::path m_folder;
};

TEST_F(FileConnection, TranscriptHoldsExactlyTheTraffic) {
  const std::string phoneSays = "AT+CGMI\r\r\nNokia\r\n\r\nRING\r\nOK\r\n";
  WriteWholeFile(m_folder / "phone", phoneSays);
  LogTo(m_folder / "zantel.log");
  CDummyFileConnection link((m_folder / "phone").string(), HostLinkUser());
  ResponseList responses;
  EXPECT_TRUE(Execute(link, "AT+CGMI", &responses));
  EXPECT_EQ(responses, ResponseList{"Nokia"});
  EXPECT_EQ(ReadWholeFile(m_folder / "zantel.log"), "AT+CGMI\r" + phoneSays);
}

// Ten thousand bytes come in several blocks, with lines cut at the block edges; the second
// command's reply was read ahead with the first's and still reaches the transcript after the
// second command.
TEST_F(FileConnection, RepliesLongerThanABlockArriveWholeAndInOrder) {
  ResponseList entries;
  std::string listing = "\r\n";
  for (int i = 1; i <= 250; ++i) {
    entries.push_back("+CPBR: " + std::to_string(i) + ",\"+4477009" + std::to_string(10000 + i) +
                      "\",145,\"Name " + std::to_string(i) + "\"");
    listing += entries.back() + "\r\n";
  }
  listing += "\r\nOK\r\n";
  const std::string second = "\r\n+CPBS: \"SM\",250,250\r\n\r\nOK\r\n";
  WriteWholeFile(m_folder / "phone", listing + second);
  LogTo(m_folder / "zantel.log");
  CDummyFileConnection link((m_folder / "phone").string(), HostLinkUser());
  ResponseList responses;
  EXPECT_TRUE(Execute(link, "AT+CPBR=1,250", &responses));
  EXPECT_EQ(responses, entries);
  EXPECT_TRUE(Execute(link, "AT+CPBS?", &responses));
  EXPECT_EQ(responses, ResponseList{"+CPBS: \"SM\",250,250"});
  EXPECT_EQ(ReadWholeFile(m_folder / "zantel.log"),
            "AT+CPBR=1,250\r" + listing + "AT+CPBS?\r" + second);
}

TEST_F(FileConnection, TranscriptAppendsAndIsOffByDefault) {
  WriteWholeFile(m_folder / "phone", "OK\r\nOK\r\n");
  CDummyFileConnection link((m_folder / "phone").string(), HostLinkUser());
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  EXPECT_FALSE(fs::exists(m_folder / "zantel.log"));
  WriteWholeFile(m_folder / "zantel.log", "earlier\n");
  LogTo(m_folder / "zantel.log");
  EXPECT_TRUE(Execute(link, "ATE0", nullptr));
  EXPECT_EQ(ReadWholeFile(m_folder / "zantel.log"), "earlier\nATE0\rOK\r\n");
}

TEST_F(FileConnection, UnwritableTranscriptIsIgnored) {
  WriteWholeFile(m_folder / "phone", "OK\r\n");
  LogTo(m_folder / "no such folder" / "zantel.log");
  CDummyFileConnection link((m_folder / "phone").string(), HostLinkUser());
  EXPECT_TRUE(Execute(link, "AT", nullptr));
}

TEST_F(FileConnection, EndOfFileFailsAtOnceWithoutPrompt) {
  WriteWholeFile(m_folder / "phone", "OK\r\n");
  CDummyFileConnection link((m_folder / "phone").string(), HostLinkUser());
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  try {
    Execute(link, "AT", nullptr);
    ADD_FAILURE() << "reading past the end must throw";
  } catch (const io_error& error) {
    EXPECT_STREQ(error.what(), "Cannot read from the phone");
    EXPECT_EQ(error.Code(), Platform::kErrorHandleEof);
  }
  EXPECT_TRUE(m_host.Messages().empty());
}

TEST_F(FileConnection, MissingDeviceCannotBeOpened) {
  try {
    CDummyFileConnection link((m_folder / "missing").string(), HostLinkUser());
    ADD_FAILURE() << "opening a missing file must throw";
  } catch (const file_io_error& error) {
    EXPECT_STREQ(error.what(), "Cannot open the port");
    EXPECT_EQ(error.Code(), Platform::kErrorFileNotFound);
  }
}

TEST_F(FileConnection, UnnamedDummyLinkReadsNothing) {
  CDummyFileConnection link("", HostLinkUser());
  char byte = 0;
  uint32_t count = 1;
  EXPECT_THROW(link.Read(&byte, count), file_io_error);
  EXPECT_NO_THROW(link.Write("AT\r", 3));
}

}  // namespace
