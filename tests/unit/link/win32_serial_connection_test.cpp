#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farapi/far_api.h"
#include "link/at_engine.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "link/io_error.h"
#include "piecewise_reply.h"
#include "platform/error.h"
#include "serial_pair.h"
#include "settings/settings.h"
#include "timeout_prompt.h"

namespace {

constexpr uint32_t kWaitMs = 5000;

// The plug-in's link on one COM port of the pair; the test plays the phone on the other.
class Win32SerialConnection : public testing::Test {
 protected:
  void SetUp() override {
    const std::optional<SerialPair> pair = SerialPair::FromEnvironment();
    ASSERT_TRUE(pair) << kNoSerialPair;
    m_phone.emplace(pair->phonePort);
    ASSERT_TRUE(m_phone->IsOpen()) << Platform::ErrorText(Platform::LastError());
    m_phone->Drain();
    m_settings.Port = pair->pluginPort;
    m_settings.Timeout = 1;
    m_settings.HwCtl = false;
  }

  CFakeHost m_host;
  std::optional<CPhonePort> m_phone;
  PortSettings m_settings;
};

TEST_F(Win32SerialConnection, ReadsTheReply) {
  CSerialConnection link(m_settings, HostLinkUser());
  ASSERT_TRUE(m_phone->Write("ATI\r\r\nZantel test phone\r\nOK\r\n"));
  ResponseList responses;
  EXPECT_TRUE(Execute(link, "ATI", &responses));
  EXPECT_EQ(responses, ResponseList{"Zantel test phone"});
  EXPECT_EQ(m_phone->ReadExactly(4, kWaitMs), "ATI\r");
  EXPECT_TRUE(m_host.Messages().empty());
}

TEST_F(Win32SerialConnection, SilentPhoneKeepWaitingThenAnswer) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(0, [this] { m_phone->Write("\r\nOK\r\n"); });
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  ASSERT_EQ(m_host.Messages().size(), 1u);
  ExpectTimeoutPrompt(m_host.Messages()[0]);
}

TEST_F(Win32SerialConnection, EscapeAtPromptMeansKeepWaiting) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(-1);
  m_host.AnswerMessage(0, [this] { m_phone->Write("OK\r\n"); });
  EXPECT_TRUE(Execute(link, "AT", nullptr));
  EXPECT_EQ(m_host.Messages().size(), 2u);
}

TEST_F(Win32SerialConnection, GivingUpEndsTheCommandWithReadError) {
  CSerialConnection link(m_settings, HostLinkUser());
  m_host.AnswerMessage(1);
  ResponseList responses;
  ASSERT_TRUE(m_phone->Write("\r\n+CPBR: 1,\"1\",129,\"A\"\r\n"));
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

class Win32SerialConnectionPieces : public Win32SerialConnection,
                                    public testing::WithParamInterface<PiecewiseCase> {};

// Wine's serial driver waits out the whole time-out when a read asks for more than has arrived:
// with a ten-second time-out, a link that asked so would take seconds where the reply takes
// milliseconds, and would show no prompt.
TEST_P(Win32SerialConnectionPieces, ReplyInPiecesIsReadWhole) {
  const bool prompted = PromptsIn(GetParam()) > 0;
  if (!prompted) m_settings.Timeout = 10;
  CPiecewisePhoneUser user("AT+CPBR=1,5", GetParam().pieces,
                           [this](const std::string& bytes) { return m_phone->Write(bytes); });
  CSerialConnection link(m_settings, user);
  const auto start = std::chrono::steady_clock::now();
  ExpectPiecewiseReply(link, user, GetParam());
  if (!prompted) {
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
        << "a read waited for bytes that were not coming";
  }
}

INSTANTIATE_TEST_SUITE_P(Replies, Win32SerialConnectionPieces, testing::ValuesIn(kPiecewiseCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
