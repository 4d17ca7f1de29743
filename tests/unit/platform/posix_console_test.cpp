#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/console.h"
#include "platform/error.h"
#include "platform/file.h"
#include "posix/pseudo_terminal.h"
#include "platform/serial.h"

namespace Platform {
namespace {

std::string DrainTerminal(const std::string& path) {
  CFile terminal = CFile::Open(path, OpenMode::ExistingRead);
  EXPECT_TRUE(SetSerialTimeouts(terminal, 0));
  std::string left;
  char buffer[64];
  uint32_t read = 0;
  while (terminal.Read(buffer, sizeof buffer, read) && read > 0) left.append(buffer, read);
  return left;
}

TEST(EscapePoll, FalseWhenInputIsNotATerminal) {
  const CStandardInputRedirect input("/dev/null");
  ASSERT_TRUE(input.IsActive());
  EXPECT_FALSE(ConsoleEscapePressed());
}

TEST(EscapePoll, EndedRedirectPutsThePreviousInputBack) {
  const CStandardInputRedirect outer("/dev/null");
  CPseudoTerminal keyboard;
  ASSERT_TRUE(keyboard.Write("\x1b"));
  { const CStandardInputRedirect inner(keyboard.SlavePath()); }
  EXPECT_FALSE(ConsoleEscapePressed());
  EXPECT_EQ(DrainTerminal(keyboard.SlavePath()), "\x1b");
}

struct KeysCase {
  const char* name;
  std::string typed;
  bool escape;
  std::string left;  // still queued after the poll
};

void PrintTo(const KeysCase& entry, std::ostream* out) { *out << entry.name; }

class EscapePollTest : public testing::TestWithParam<KeysCase> {};

TEST_P(EscapePollTest, FindsTheFirstLoneEscape) {
  CPseudoTerminal keyboard;
  ASSERT_TRUE(keyboard.IsOpen());
  const CStandardInputRedirect input(keyboard.SlavePath());
  ASSERT_TRUE(input.IsActive()) << LastError();
  ASSERT_TRUE(keyboard.Write(GetParam().typed));
  EXPECT_EQ(ConsoleEscapePressed(), GetParam().escape);
  EXPECT_EQ(DrainTerminal(keyboard.SlavePath()), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Keys, EscapePollTest,
                         testing::Values(KeysCase{"Nothing", "", false, ""},
                                         KeysCase{"Letters", "ab", false, ""},
                                         KeysCase{"Escape", "\x1b", true, ""},
                                         KeysCase{"EscapeBetweenLetters", "x\x1by", true, "y"},
                                         KeysCase{"EscapeThenMore", "\x1bqrs", true, "qrs"},
                                         KeysCase{"TwoEscapes", "\x1b\x1b", true, "\x1b"},
                                         KeysCase{"ArrowUp", "\x1b[A", false, ""},
                                         KeysCase{"ControlRight", "\x1b[1;5C", false, ""},
                                         KeysCase{"FunctionKey", "\x1bOP", false, ""},
                                         KeysCase{"ArrowThenEscape", "\x1b[B\x1b", true, ""}),
                         [](const testing::TestParamInfo<KeysCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace Platform
