#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "phonesim/state.h"
#include "phonesim_test_support.h"

namespace {

using nlohmann::json;
using PhoneSim::PhoneState;
using PhoneSim::StateFromJson;
using PhoneSim::StateToJson;
using PhoneSimTest::ReadJson;

TEST(State, CompleteFileReadsBackUnchanged) {
  for (const char* name : {"classic.json", "large.json"}) {
    const json original = ReadJson(PhoneSimTest::DataPath(name));
    EXPECT_EQ(StateToJson(StateFromJson(original)), original) << name;
  }
  json locked = ReadJson(PhoneSimTest::DataPath("classic.json"));
  locked["identity"]["pin"] = "1234";
  EXPECT_EQ(StateToJson(StateFromJson(locked)), locked);
}

TEST(State, EmptyFileGetsTheProfilesBooksAndStorages) {
  const PhoneState state = StateFromJson({{"profile", "modem"}});
  ASSERT_EQ(state.phoneBooks.size(), 3u);
  EXPECT_EQ(state.phoneBooks[0].name, "SM");
  EXPECT_EQ(state.phoneBooks[0].size, 250);
  EXPECT_EQ(state.phoneBooks[2].name, "LD");
  ASSERT_EQ(state.messageStorages.size(), 2u);
  EXPECT_EQ(state.messageStorages[1].size, 100);
  EXPECT_EQ(state.identity.model, "USB Stick 4G");
}

TEST(State, BooksOnlyTheFileNamesComeAfterTheProfiles) {
  const PhoneState state = StateFromJson(
      {{"phoneBooks",
        json::array({{{"name", "FD"}, {"size", 5}}, {{"name", "ME"}, {"size", 20}}})}});
  ASSERT_EQ(state.phoneBooks.size(), 6u);
  EXPECT_EQ(state.phoneBooks[1].name, "ME");
  EXPECT_EQ(state.phoneBooks[1].size, 20);
  EXPECT_EQ(state.phoneBooks[5].name, "FD");
}

struct BrokenCase {
  const char* name;
  json state;
  const char* complaint;
};

std::string BrokenName(const testing::TestParamInfo<BrokenCase>& info) { return info.param.name; }

class StateRefuses : public testing::TestWithParam<BrokenCase> {};

TEST_P(StateRefuses, NamingTheProblem) {
  try {
    StateFromJson(GetParam().state);
    ADD_FAILURE() << "accepted";
  } catch (const PhoneSim::state_error& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().complaint), std::string::npos)
        << error.what();
  }
}

json Book(json entries) {
  return {{"phoneBooks", json::array({{{"name", "SM"}, {"entries", entries}}})}};
}
json Messages(json messages) {
  return {{"messageStorages", json::array({{{"name", "SM"}, {"messages", messages}}})}};
}

INSTANTIATE_TEST_SUITE_P(
    Files, StateRefuses,
    testing::Values(
        BrokenCase{"UnknownProfile", {{"profile", "nokia"}}, "unknown profile"},
        BrokenCase{"NotAnObject", json::array(), "JSON object"},
        BrokenCase{"IndexOutside", Book(json::array({{{"index", 251}, {"number", "1"}}})),
                   "out of range"},
        BrokenCase{"IndexTwice", Book(json::array({{{"index", 2}}, {{"index", 2}}})), "used twice"},
        BrokenCase{"NumberWithLetters", Book(json::array({{{"index", 1}, {"number", "12ab"}}})),
                   "dial string"},
        BrokenCase{"NumberTooLong",
                   Book(json::array({{{"index", 1}, {"number", std::string(41, '1')}}})),
                   "too long"},
        BrokenCase{"NameTooLong",
                   Book(json::array({{{"index", 1}, {"name", "abcdefghijklmnopqrs"}}})),
                   "name too long"},
        BrokenCase{"TimeMalformed",
                   Book(json::array({{{"index", 1}, {"time", "2005-13-01 00:00:00"}}})), "time"},
        BrokenCase{"WrongType", Book(json::array({{{"index", 1}, {"type", "145"}}})), "wrong type"},
        BrokenCase{"ClockMalformed", {{"clock", "05/03/07 09:05:02"}}, "clock"},
        BrokenCase{"StatusOutside",
                   Messages(json::array({{{"index", 1}, {"status", 5}, {"pdu", "00"}}})), "status"},
        BrokenCase{"SubmitFiledAsReceived",
                   Messages(json::array({{{"index", 1},
                                          {"status", 1},
                                          {"pdu", "0001000C91447700091032000005C8329BFD06"}}})),
                   "PDU"},
        BrokenCase{"PduCut",
                   Messages(json::array(
                       {{{"index", 1}, {"status", 2}, {"pdu", "0001000C9144770009103200000"}}})),
                   "PDU"}),
    BrokenName);

TEST(State, ClockReadsAndWritesItsOwnForm) {
  const auto clock = PhoneSim::ParseClock("05/03/07,09:05:02+04");
  ASSERT_TRUE(clock);
  EXPECT_EQ(clock->time.year, 2005);
  EXPECT_EQ(clock->time.second, 2);
  EXPECT_EQ(clock->zone, "+04");
  EXPECT_EQ(PhoneSim::FormatClock(*clock), "05/03/07,09:05:02+04");
  EXPECT_FALSE(PhoneSim::ParseClock("05/03/07,09:05:02+4"));
  EXPECT_FALSE(PhoneSim::ParseClock("05/03/07,24:05:02"));
}

}  // namespace
