#include <gtest/gtest.h>

#include "platform/console.h"

namespace Platform {
namespace {

// The test programs run with standard input from /dev/null, which Wine shows as a file: the
// console calls fail, and a failing poll must read as no key, every time it is asked.
TEST(Win32Console, InputThatIsNoConsoleHasNoEscape) {
  for (int poll = 0; poll < 3; ++poll) EXPECT_FALSE(ConsoleEscapePressed()) << "poll " << poll;
}

}  // namespace
}  // namespace Platform
