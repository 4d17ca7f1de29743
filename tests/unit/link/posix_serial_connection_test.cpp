#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "fake_host.h"
#include "farapi/far_api.h"
#include "link/at_engine.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "link/io_error.h"
#include "piecewise_reply.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/serial.h"
#include "posix/pseudo_terminal.h"
#include "settings/settings.h"
#include "timeout_prompt.h"

namespace {

constexpr int kWaitMs = 5000;

// The test plays the phone on the master side of a pseudo-terminal that stands for COM3.
class SerialConnection : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_phone.IsOpen());
    setenv("ZANTEL_COM3", m_phone.SlavePath().c_str(), 1);
    m_settings.Port = 3;
    m_settings.Timeout = 1;
    m_settings.HwCtl = false;
  }
  void TearDown() override { unsetenv("ZANTEL_COM3"); }

  CFakeHost m_host;
  Platform::CPseudoTerminal m_phone;
  PortSettings m_settings;
};

TEST_F(SerialConnection, ReadsTheReply) {
  CSerialConnection link(m_settings, HostLinkUser());
  ASSERT_TRUE(m_phone.Write("ATI\r\r\nZantel test phone\r\nOK\r\n"));
  ResponseList responses;
  EXPECT_TRUE(Execute(link, "ATI", &responses));
  EXPECT_EQ(responses, ResponseList{"Zantel test phone"});
  EXPECT_EQ(m_phone.ReadExactly(4, kWaitMs), "ATI\r");
  EXPECT_TRUE(m_host.Messages().empty());
}

TEST_F(SerialConnection, SilentPhoneKeepWaitingThenAnswer) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(0, [this] { m_phone.Write("\r\nOK\r\n"); });
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  ASSERT_EQ(m_host.Messages().size(), 1u);
  ExpectTimeoutPrompt(m_host.Messages()[0]);
}

TEST_F(SerialConnection, EscapeAtPromptMeansKeepWaiting) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(-1);
  m_host.AnswerMessage(0, [this] { m_phone.Write("OK\r\n"); });
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  EXPECT_EQ(m_host.Messages().size(), 2u);
}

TEST_F(SerialConnection, GivingUpEndsTheCommandWithReadError) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(1);
  ResponseList responses;
  m_phone.Write("\r\n+CPBR: 1,\"1\",129,\"A\"\r\n");
  try {
    Execute(link, "AT+CPBR=1,5", &responses);
    ADD_FAILURE() << "giving up must throw";
  } catch (const io_error& error) {
    EXPECT_STREQ(error.what(), "Cannot read from the phone");
    EXPECT_EQ(error.Code(), Platform::kErrorTimeout);
  }
  EXPECT_EQ(responses, ResponseList{"+CPBR: 1,\"1\",129,\"A\""});
  ASSERT_EQ(m_host.Messages().size(), 1u);
  ExpectTimeoutPrompt(m_host.Messages()[0]);
}

// The terminal buffers only so much: the write stalls until the phone reads again, and then
// the rest must follow, neither repeated nor lost.
TEST_F(SerialConnection, ShortWriteResumesWithTheRest) {
  CSerialConnection link(m_settings, HostLinkUser());
  std::string block(256 * 1024, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('A' + i % 23);
  std::string received;
  std::thread phoneReads;
  m_host.AnswerMessage(0, [&] {
    phoneReads = std::thread([&] { received = m_phone.ReadExactly(block.size(), kWaitMs); });
  });
  m_host.AnswerEveryMessage(0);
  link.Write(block.data(), static_cast<uint32_t>(block.size()));
  ASSERT_TRUE(phoneReads.joinable());
  phoneReads.join();
  EXPECT_GE(m_host.Messages().size(), 1u);
  EXPECT_EQ(received.size(), block.size());
  EXPECT_TRUE(received == block) << "the bytes arrived changed, doubled or out of order";
}

TEST_F(SerialConnection, GivingUpOnAFullLineEndsWithWriteError) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(1);
  const std::string block(256 * 1024, 'x');
  try {
    link.Write(block.data(), static_cast<uint32_t>(block.size()));
    ADD_FAILURE() << "giving up must throw";
  } catch (const io_error& error) {
    EXPECT_STREQ(error.what(), "Cannot write to the phone");
  }
}

TEST_F(SerialConnection, HangUpIsAReadError) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_phone.CloseMaster();
  EXPECT_THROW(Execute(link, "AT", nullptr), io_error);
  EXPECT_TRUE(m_host.Messages().empty());
}

TEST_F(SerialConnection, TranscriptLogsCommandOnceAndRepliesAsReceived) {
  const std::string log = testing::TempDir() + "zantel-serial.log";
  std::remove(log.c_str());
  Settings().WriteLogFile = true;
  Settings().LogFile = log;
  {
    CSerialConnection link(m_settings, HostLinkUser());
    m_phone.Write("AT\r\r\nOK\r\n");
    EXPECT_TRUE(Execute(link, "AT", nullptr));
  }
  Settings() = PluginSettings{};
  FILE* file = std::fopen(log.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char buffer[64] = {};
  const size_t size = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  std::remove(log.c_str());
  EXPECT_EQ(std::string(buffer, size), "AT\rAT\r\r\nOK\r\n");
}

TEST_F(SerialConnection, MissingPortCannotBeOpened) {
  setenv("ZANTEL_COM3", "/nonexistent/zantel-port", 1);
  try {
    CSerialConnection link(m_settings, HostLinkUser());
    ADD_FAILURE() << "opening a missing port must throw";
  } catch (const file_io_error& error) {
    EXPECT_STREQ(error.what(), "Cannot open the port");
    EXPECT_NE(error.Code(), 0u);
  }
}

class SerialConnectionPieces : public SerialConnection,
                               public testing::WithParamInterface<PiecewiseCase> {};

TEST_P(SerialConnectionPieces, ReplyInPiecesIsReadWhole) {
  CPiecewisePhoneUser user("AT+CPBR=1,5", GetParam().pieces,
                           [this](const std::string& bytes) { return m_phone.Write(bytes); });
  CSerialConnection link(m_settings, user);
  ExpectPiecewiseReply(link, user, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Replies, SerialConnectionPieces, testing::ValuesIn(kPiecewiseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The link has read a block that ends inside a line when the phone hangs up: what the block
// holds still comes out, line by line, before the hang-up is reported.
TEST_F(SerialConnection, HangUpInsideABufferedBlockLosesNothingBeforeIt) {
  const std::string sent = "\r\n+CPBR: 1,\"1\",129,\"A\"\r\n+CPBR: 2,\"2\",129,\"B\"\r\n+CPB";
  CPiecewisePhoneUser user("", {}, [](const std::string&) { return true; });
  CSerialConnection link(m_settings, user);
  ASSERT_TRUE(m_phone.Write(sent));
  // Everything sent is in the terminal before the link reads, so its first read takes it all.
  Platform::CFile observer =
      Platform::CFile::Open(m_phone.SlavePath(), Platform::OpenMode::ExistingRead);
  uint32_t waiting = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (waiting < sent.size() && std::chrono::steady_clock::now() < deadline) {
    ASSERT_TRUE(Platform::SerialBytesWaiting(observer, waiting));
  }
  ASSERT_EQ(waiting, sent.size());

  std::string line;
  ReadLine(link, line);
  EXPECT_EQ(line, "+CPBR: 1,\"1\",129,\"A\"");
  m_phone.CloseMaster();
  ASSERT_NO_THROW(ReadLine(link, line)) << "the bytes read before the hang-up were lost";
  EXPECT_EQ(line, "+CPBR: 2,\"2\",129,\"B\"");
  EXPECT_THROW(ReadLine(link, line), io_error);
  EXPECT_EQ(user.Prompts(), 0);
  EXPECT_EQ(user.Transcript(), sent);
}

}  // namespace
