#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "posix/pseudo_terminal.h"

namespace Platform {
namespace {

TEST(PseudoTerminal, ReadWaitsForAPortOpenedLater) {
  CPseudoTerminal phone;
  ASSERT_TRUE(phone.IsOpen());
  std::thread plugin([&phone] {
    SleepMilliseconds(100);
    CFile port = CFile::Open(phone.SlavePath(), OpenMode::ExistingReadWrite);
    uint32_t written = 0;
    port.Write("ATI\r", 4, written);
  });
  EXPECT_EQ(phone.ReadExactly(4, 5000), "ATI\r");
  plugin.join();
}

TEST(PseudoTerminal, BytesWrittenBeforeThePortOpensWaitForIt) {
  CPseudoTerminal phone;
  ASSERT_TRUE(phone.Write("\r\nRING\r\n"));
  EXPECT_EQ(phone.Read(50), "");
  CFile port = CFile::Open(phone.SlavePath(), OpenMode::ExistingReadWrite);
  char buffer[16];
  uint32_t read = 0;
  ASSERT_TRUE(port.Read(buffer, sizeof buffer, read));
  EXPECT_EQ(std::string(buffer, read), "\r\nRING\r\n");
}

TEST(PseudoTerminal, ClosedMasterNeitherReadsNorWrites) {
  CPseudoTerminal phone;
  phone.CloseMaster();
  EXPECT_FALSE(phone.IsOpen());
  EXPECT_FALSE(phone.Write("OK"));
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
  EXPECT_EQ(phone.Read(10), "");
}

}  // namespace
}  // namespace Platform
