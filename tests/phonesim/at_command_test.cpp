#include <gtest/gtest.h>

#include "phonesim/at_command.h"

namespace {

using PhoneSim::AtCommand;
using PhoneSim::ParseArguments;
using PhoneSim::SplitCommandLine;

TEST(CommandLine, SplitsExtendedAndBasicCommands) {
  const auto line = SplitCommandLine("ATE0V1+CMEE=1;+CPBR=1,5;+CPBS?;+CPBR=?;&F");
  ASSERT_TRUE(line);
  EXPECT_FALSE(line->malformed);
  ASSERT_EQ(line->commands.size(), 7u);
  EXPECT_EQ(line->commands[0].name, "E");
  EXPECT_EQ(line->commands[0].arguments, "0");
  EXPECT_EQ(line->commands[1].name, "V");
  EXPECT_EQ(line->commands[2].name, "+CMEE");
  EXPECT_EQ(line->commands[2].form, AtCommand::Form::Set);
  EXPECT_EQ(line->commands[3].arguments, "1,5");
  EXPECT_EQ(line->commands[4].form, AtCommand::Form::Query);
  EXPECT_EQ(line->commands[5].form, AtCommand::Form::Test);
  EXPECT_EQ(line->commands[6].name, "&F");
}

TEST(CommandLine, SemicolonInsideQuotesBelongsToTheArgument) {
  const auto line = SplitCommandLine("at+cpbw=1,\"123\",129,\"a;b\"");
  ASSERT_TRUE(line);
  ASSERT_EQ(line->commands.size(), 1u);
  EXPECT_EQ(line->commands[0].name, "+CPBW");
  EXPECT_EQ(line->commands[0].arguments, "1,\"123\",129,\"a;b\"");
}

TEST(CommandLine, TextBeforeTheCommandPrefixIsIgnored) {
  const auto line = SplitCommandLine(
      "\x1A\x1B"
      "AT+CGMI");
  ASSERT_TRUE(line);
  ASSERT_EQ(line->commands.size(), 1u);
  EXPECT_EQ(line->commands[0].name, "+CGMI");
}

TEST(CommandLine, LineWithoutPrefixIsNoCommand) {
  EXPECT_FALSE(SplitCommandLine("0001000C91"));
  EXPECT_FALSE(SplitCommandLine(""));
}

TEST(CommandLine, UnclosedQuoteIsMalformed) {
  const auto line = SplitCommandLine("AT+CPBW=1,\"123");
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->malformed);
}

TEST(Arguments, OmittedQuotedAndBareValues) {
  const auto args = ParseArguments(",\"+12\\2234\",145, \"N\\5Cm\" ");
  ASSERT_TRUE(args);
  ASSERT_EQ(args->size(), 4u);
  EXPECT_FALSE((*args)[0].present);
  EXPECT_TRUE((*args)[1].quoted);
  EXPECT_EQ((*args)[1].text, "+12\"34");
  EXPECT_EQ((*args)[2].text, "145");
  EXPECT_EQ((*args)[3].text, "N\\m");
}

TEST(Arguments, BrokenEscapesAndQuotesAreRefused) {
  EXPECT_FALSE(ParseArguments("\"a\\2\""));
  EXPECT_FALSE(ParseArguments("\"abc"));
  EXPECT_FALSE(ParseArguments("\"a\"b"));
}

TEST(Arguments, NumbersOutsideTheirRangeAreRefused) {
  const auto args = ParseArguments("5,x,\"7\",");
  ASSERT_TRUE(args);
  EXPECT_EQ(PhoneSim::NumberArgument(*args, 0, 1, 5), 5);
  EXPECT_EQ(PhoneSim::NumberArgument(*args, 0, 6, 9), std::nullopt);
  EXPECT_EQ(PhoneSim::NumberArgument(*args, 1, 0, 9), std::nullopt);
  EXPECT_EQ(PhoneSim::NumberArgument(*args, 2, 0, 9), std::nullopt);
  EXPECT_EQ(PhoneSim::NumberArgument(*args, 3, 0, 9), std::nullopt);
}

TEST(Arguments, QuotingEscapesOnlyWhereTheSetAllows) {
  EXPECT_EQ(PhoneSim::Quoted("a\"b\\", true), "\"a\\22b\\5C\"");
  EXPECT_EQ(PhoneSim::Quoted("0041", false), "\"0041\"");
}

}  // namespace
