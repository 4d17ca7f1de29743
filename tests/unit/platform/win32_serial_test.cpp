#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/serial.h"
#include "serial_pair.h"

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// The plug-in's end of the pair as a CFile, the phone's end as the other.
class Win32Serial : public testing::Test {
 protected:
  void SetUp() override {
    const std::optional<SerialPair> pair = SerialPair::FromEnvironment();
    ASSERT_TRUE(pair) << kNoSerialPair;
    m_phone.emplace(pair->phonePort);
    ASSERT_TRUE(m_phone->IsOpen()) << ErrorText(LastError());
    m_phone->Drain();
    m_port = CFile::Open("COM" + std::to_string(pair->pluginPort), OpenMode::ExistingReadWrite);
    ASSERT_TRUE(m_port.IsOpen()) << ErrorText(LastError());
    ASSERT_TRUE(ConfigureSerialLine(m_port, SerialLine{})) << ErrorText(LastError());
  }

  std::optional<CPhonePort> m_phone;
  CFile m_port;
};

SerialLine Line(uint32_t baudRate, uint8_t dataBits, uint8_t parity, uint8_t stopBits,
                bool hardwareFlow = false, bool softwareFlow = false) {
  return SerialLine{baudRate, dataBits, parity, stopBits, hardwareFlow, softwareFlow};
}

TEST_F(Win32Serial, TakesTheLineSettings) {
  const SerialLine lines[] = {
      Line(115200, 8, 0, 0),
      Line(9600, 7, 2, 0),
      Line(19200, 8, 1, 2),
      Line(57600, 8, 0, 0, true),
      Line(38400, 8, 0, 0, false, true),
  };
  for (const SerialLine& line : lines) {
    EXPECT_TRUE(ConfigureSerialLine(m_port, line))
        << line.baudRate << " " << int{line.dataBits} << ": " << ErrorText(LastError());
  }
}

TEST_F(Win32Serial, EveryByteValuePassesBothWays) {
  std::string everyByte;
  for (int value = 0; value < 256; ++value) everyByte.push_back(static_cast<char>(value));
  ASSERT_TRUE(SetSerialTimeouts(m_port, 5000));
  uint32_t written = 0;
  ASSERT_TRUE(m_port.Write(everyByte.data(), 256, written));
  EXPECT_EQ(written, 256u);
  EXPECT_EQ(m_phone->ReadExactly(256, 5000), everyByte);

  ASSERT_TRUE(m_phone->Write(everyByte));
  std::string received;
  while (received.size() < everyByte.size()) {
    char chunk[256];
    uint32_t read = 0;
    ASSERT_TRUE(m_port.Read(chunk, sizeof chunk, read));
    ASSERT_GT(read, 0u) << "the rest never arrived after " << received.size() << " bytes";
    received.append(chunk, read);
  }
  EXPECT_EQ(received, everyByte);
}

// The link reads one byte at a time: each read must end with the byte, not with the time-out.
// (Wine also waits out the time-out when a read asks for more than is there; Windows does not.)
TEST_F(Win32Serial, OneByteReadReturnsAsSoonAsTheByteIsThere) {
  ASSERT_TRUE(SetSerialTimeouts(m_port, 10'000));
  ASSERT_TRUE(m_phone->Write("OK"));
  const auto start = Clock::now();
  std::string received;
  for (int i = 0; i < 2; ++i) {
    char byte = 0;
    uint32_t read = 0;
    ASSERT_TRUE(m_port.Read(&byte, 1, read));
    ASSERT_EQ(read, 1u);
    received.push_back(byte);
  }
  EXPECT_EQ(received, "OK");
  EXPECT_LT(Since(start).count(), 5000) << "a read waited for the time-out";
}

// What waits is what a read then returns at once; the bytes cross the pair a moment after the
// phone wrote them, so the count is watched until it settles.
TEST_F(Win32Serial, BytesWaitingCountsWhatAReadReturnsAtOnce) {
  struct Case {
    std::string sent;
    uint32_t taken;
  };
  const Case cases[] = {
      {"", 0}, {"OK\r\n", 0}, {"+CPBR: 1,\"1\",129,\"A\"\r\n", 5}, {std::string(3000, 'x'), 2999}};
  ASSERT_TRUE(SetSerialTimeouts(m_port, 10'000));
  for (const Case& test : cases) {
    ASSERT_TRUE(m_phone->Write(test.sent));
    uint32_t waiting = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (waiting < test.sent.size() && Clock::now() < deadline) {
      ASSERT_TRUE(SerialBytesWaiting(m_port, waiting)) << ErrorText(LastError());
    }
    EXPECT_EQ(waiting, test.sent.size());
    const auto start = Clock::now();
    std::string received(test.sent.size(), '\0');
    uint32_t read = 0;
    if (test.taken > 0) {
      ASSERT_TRUE(m_port.Read(received.data(), test.taken, read));
      EXPECT_EQ(received.substr(0, read), test.sent.substr(0, test.taken));
    }
    ASSERT_TRUE(SerialBytesWaiting(m_port, waiting));
    EXPECT_EQ(waiting, test.sent.size() - test.taken);
    if (waiting > 0) {
      ASSERT_TRUE(m_port.Read(received.data(), waiting, read));
      EXPECT_EQ(received.substr(0, read), test.sent.substr(test.taken));
    }
    EXPECT_LT(Since(start).count(), 5000) << "a read of what waited waited for the time-out";
  }
  CFile closed;
  uint32_t waiting = 7;
  EXPECT_FALSE(SerialBytesWaiting(closed, waiting));
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
  EXPECT_EQ(waiting, 0u);
}

TEST_F(Win32Serial, SilentLineGivesNoBytesAfterTheTimeout) {
  ASSERT_TRUE(SetSerialTimeouts(m_port, 500));
  char byte = 0;
  uint32_t read = 1;
  const auto start = Clock::now();
  EXPECT_TRUE(m_port.Read(&byte, 1, read));
  EXPECT_EQ(read, 0u);
  EXPECT_GE(Since(start).count(), 400) << "the read did not wait for the time-out";
}

}  // namespace
}  // namespace Platform
