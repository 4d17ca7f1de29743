#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/posix/posix_backend.h"
#include "posix/pseudo_terminal.h"
#include "platform/serial.h"
#include "scoped_environment.h"

namespace Platform {
namespace {

// A pseudo-terminal plays the phone; the port is its slave side.
class SerialPort : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_phone.IsOpen()) << LastError();
    m_port = CFile::Open(m_phone.SlavePath(), OpenMode::ExistingReadWrite);
    ASSERT_TRUE(m_port.IsOpen()) << LastError();
  }
  std::string ReadFromPort(uint32_t count) {
    std::string buffer(count, '\0');
    uint32_t read = 0;
    EXPECT_TRUE(m_port.Read(buffer.data(), count, read)) << LastError();
    buffer.resize(read);
    return buffer;
  }
  uint32_t PortRate() {
    uint32_t rate = 0;
    EXPECT_TRUE(Posix::ReadBaudRate(static_cast<int>(m_port.NativeHandle()), rate));
    return rate;
  }

  CPseudoTerminal m_phone;
  CFile m_port;
};

struct LineCase {
  const char* name;
  SerialLine line;
  uint32_t error;  // kErrorSuccess when the line is accepted
};

void PrintTo(const LineCase& entry, std::ostream* out) { *out << entry.name; }

class SerialLineTest : public SerialPort, public testing::WithParamInterface<LineCase> {};

TEST_P(SerialLineTest, ConfiguresOrRefuses) {
  const LineCase& entry = GetParam();
  const bool accepted = ConfigureSerialLine(m_port, entry.line);
  EXPECT_EQ(accepted, entry.error == kErrorSuccess);
  if (!accepted) {
    EXPECT_EQ(LastError(), entry.error);
    return;
  }
  EXPECT_EQ(PortRate(), entry.line.baudRate);
  const std::string raw("\r\n\x03\x04\x7f\xff\0", 7);
  ASSERT_TRUE(m_phone.Write(raw));
  ASSERT_TRUE(SetSerialTimeouts(m_port, 2000));
  EXPECT_EQ(ReadFromPort(64), raw);
}

constexpr uint32_t kAccepted = kErrorSuccess;
constexpr uint32_t kRefused = kErrorInvalidParameter;

const LineCase kLines[] = {
    {"Plain8N1", {115200, 8, 0, 0, false, false}, kAccepted},
    {"HardwareFlow", {115200, 8, 0, 0, true, false}, kAccepted},
    {"SoftwareFlow", {115200, 8, 0, 0, false, true}, kAccepted},
    {"SevenEvenOne", {9600, 7, 2, 0, false, false}, kAccepted},
    {"SevenOddOne", {19200, 7, 1, 0, false, false}, kAccepted},
    {"MarkParity", {57600, 8, 3, 0, false, false}, kAccepted},
    {"SpaceParity", {57600, 8, 4, 0, false, false}, kAccepted},
    {"FiveBitsOneAndAHalfStop", {1200, 5, 0, 1, false, false}, kAccepted},
    {"SixBitsTwoStop", {4800, 6, 0, 2, false, false}, kAccepted},
    {"CustomRate", {250000, 8, 0, 0, false, false}, kAccepted},
    {"FourDataBits", {115200, 4, 0, 0, false, false}, kRefused},
    {"NineDataBits", {115200, 9, 0, 0, false, false}, kRefused},
    {"UnknownParity", {115200, 8, 5, 0, false, false}, kRefused},
    {"EightBitsOneAndAHalfStop", {115200, 8, 0, 1, false, false}, kRefused},
    {"FiveBitsTwoStop", {115200, 5, 0, 2, false, false}, kRefused},
    {"UnknownStopBits", {115200, 8, 0, 3, false, false}, kRefused},
    {"ZeroRate", {0, 8, 0, 0, false, false}, kRefused},
};

INSTANTIATE_TEST_SUITE_P(Lines, SerialLineTest, testing::ValuesIn(kLines),
                         [](const testing::TestParamInfo<LineCase>& info) {
                           return info.param.name;
                         });

TEST_F(SerialPort, RefusedLineKeepsTheCustomRateInForce) {
  ASSERT_TRUE(ConfigureSerialLine(m_port, {31250, 8, 0, 0, false, false}));
  EXPECT_FALSE(ConfigureSerialLine(m_port, {250000, 4, 0, 0, false, false}));
  EXPECT_EQ(PortRate(), 31250u);
  ASSERT_TRUE(ConfigureSerialLine(m_port, {115200, 8, 0, 0, false, false}));
  EXPECT_EQ(PortRate(), 115200u);
}

TEST_F(SerialPort, ConfiguringWhatIsNotATerminalFails) {
  CFile notAPort = CFile::Open("/dev/null", OpenMode::ExistingReadWrite);
  EXPECT_FALSE(ConfigureSerialLine(notAPort, SerialLine{}));
  EXPECT_NE(LastError(), kErrorSuccess);
}

TEST_F(SerialPort, BufferedBytesComeAtOnceUpToTheCount) {
  ASSERT_TRUE(m_phone.Write("OK\r\n"));
  ASSERT_TRUE(SetSerialTimeouts(m_port, 10000));
  EXPECT_EQ(ReadFromPort(2), "OK");
  EXPECT_EQ(ReadFromPort(64), "\r\n");
}

TEST_F(SerialPort, ReadWithNothingArrivingGivesNoBytes) {
  ASSERT_TRUE(SetSerialTimeouts(m_port, 100));
  EXPECT_EQ(ReadFromPort(64), "");
}

TEST_F(SerialPort, ByteArrivingLaterIsReturned) {
  ASSERT_TRUE(SetSerialTimeouts(m_port, 10000));
  std::thread phone([this] {
    SleepMilliseconds(200);
    m_phone.Write("R");
  });
  EXPECT_EQ(ReadFromPort(64), "R");
  phone.join();
}

TEST_F(SerialPort, ReadAfterThePhoneHungUpFails) {
  for (const bool timed : {true, false}) {
    CPseudoTerminal phone;
    CFile port = CFile::Open(phone.SlavePath(), OpenMode::ExistingReadWrite);
    if (timed) {
      ASSERT_TRUE(SetSerialTimeouts(port, 1000));
    }
    phone.CloseMaster();
    char byte = 0;
    uint32_t read = 0;
    EXPECT_FALSE(port.Read(&byte, 1, read)) << "timed " << timed;
  }
}

TEST_F(SerialPort, SecondOpenOfThePortFailsWithSharingViolation) {
  const CScopedEnvironment com7("ZANTEL_COM7", m_phone.SlavePath());
  EXPECT_FALSE(CFile::Open("COM7", OpenMode::ExistingReadWrite).IsOpen());
  EXPECT_EQ(LastError(), kErrorSharingViolation);
  m_port.Close();
  EXPECT_TRUE(CFile::Open("COM7", OpenMode::ExistingReadWrite).IsOpen());
}

TEST_F(SerialPort, WriteTheReaderDoesNotTakeReturnsShortAfterTheTimeOut) {
  ASSERT_TRUE(SetSerialTimeouts(m_port, 1000));
  const std::string large(1 << 20, 'x');
  uint32_t written = 0;
  ASSERT_TRUE(m_port.Write(large.data(), static_cast<uint32_t>(large.size()), written));
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, large.size());
}

// What waits is what a read then returns at once; the terminal passes the bytes on a moment
// after the phone wrote them, so the count is watched until it settles.
TEST_F(SerialPort, BytesWaitingCountsWhatAReadReturnsAtOnce) {
  struct Case {
    std::string sent;
    uint32_t taken;
  };
  const Case cases[] = {
      {"", 0}, {"OK\r\n", 0}, {"+CPBR: 1,\"1\",129,\"A\"\r\n", 5}, {std::string(3000, 'x'), 2999}};
  ASSERT_TRUE(SetSerialTimeouts(m_port, 100));
  for (const Case& test : cases) {
    ASSERT_TRUE(m_phone.Write(test.sent));
    uint32_t waiting = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waiting < test.sent.size() && std::chrono::steady_clock::now() < deadline) {
      ASSERT_TRUE(SerialBytesWaiting(m_port, waiting)) << LastError();
    }
    EXPECT_EQ(waiting, test.sent.size());
    EXPECT_EQ(ReadFromPort(test.taken), test.sent.substr(0, test.taken));
    ASSERT_TRUE(SerialBytesWaiting(m_port, waiting));
    EXPECT_EQ(waiting, test.sent.size() - test.taken) << test.sent.substr(0, 10);
    EXPECT_EQ(ReadFromPort(waiting), test.sent.substr(test.taken));
  }
  CFile closed;
  uint32_t waiting = 7;
  EXPECT_FALSE(SerialBytesWaiting(closed, waiting));
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
  EXPECT_EQ(waiting, 0u);
}

TEST_F(SerialPort, PhoneReadsExactlyWhatWasWritten) {
  const std::string command = "AT+CPBR=1,250\r";
  uint32_t written = 0;
  ASSERT_TRUE(m_port.Write(command.data(), static_cast<uint32_t>(command.size()), written));
  EXPECT_EQ(m_phone.ReadExactly(5, 2000), "AT+CP");
  EXPECT_EQ(m_phone.Read(2000), "BR=1,250\r");
  EXPECT_EQ(m_phone.Read(50), "");
}

}  // namespace
}  // namespace Platform
