#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "phonesim/changes.h"
#include "phonesim_test_support.h"

namespace {

using nlohmann::json;
using PhoneSim::ApplyChange;
using PhoneSim::PhoneState;
using PhoneSimTest::LoadTestState;

const std::string kHelloPdu = "0001000C91447700091032000005C8329BFD06";

// What the phone holds, one fact a line: "book SM 2 +447700900002 145 Bob",
// "message SM 3 2 <pdu>", "imsi <digits>".
using Facts = std::set<std::string>;

Facts FactsOf(const PhoneState& state) {
  Facts facts = {"imsi " + state.identity.imsi};
  for (const PhoneSim::PhoneBook& book : state.phoneBooks) {
    for (const auto& [index, entry] : book.entries) {
      facts.insert("book " + book.name + " " + std::to_string(index) + " " + entry.number + " " +
                   std::to_string(entry.type) + " " + entry.name);
    }
  }
  for (const PhoneSim::MessageStorage& storage : state.messageStorages) {
    for (const auto& [index, message] : storage.messages) {
      facts.insert("message " + storage.name + " " + std::to_string(index) + " " +
                   std::to_string(message.status) + " " + message.pdu);
    }
  }
  return facts;
}

struct ChangeCase {
  const char* name;
  json change;
  Facts removed;
  Facts added;
};

std::string ChangeName(const testing::TestParamInfo<ChangeCase>& info) { return info.param.name; }

class ChangeApplied : public testing::TestWithParam<ChangeCase> {};

// The classic phone afterwards holds what it held, less `removed`, plus `added`.
TEST_P(ChangeApplied, AltersOnlyWhatItNames) {
  PhoneState state = LoadTestState("classic.json");
  Facts expected = FactsOf(state);
  for (const std::string& fact : GetParam().removed) ASSERT_EQ(expected.erase(fact), 1u) << fact;
  expected.insert(GetParam().added.begin(), GetParam().added.end());
  ApplyChange(state, GetParam().change);
  EXPECT_EQ(FactsOf(state), expected);
}

json Books(json books) { return {{"phoneBooks", books}}; }

const std::string kSimCard = "234159876543210";
const std::string kEighteenLetters = "éééééééééééééééééé";

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangeApplied,
    testing::Values(
        ChangeCase{
            "EntryOverwrittenAndErased",
            Books({{"SM", {{"2", {{"number", "0123"}, {"name", "Robert"}}}, {"1", nullptr}}}}),
            {"book SM 1 +447700900001 145 Anna Schmidt", "book SM 2 +447700900002 145 Bob"},
            {"book SM 2 0123 129 Robert"}},
        // The limit counts letters: eighteen of two bytes each fit.
        ChangeCase{"NameAtTheLimitInLetters",
                   Books({{"SM", {{"3", {{"number", "1"}, {"name", kEighteenLetters}}}}}}),
                   {},
                   {"book SM 3 1 129 " + kEighteenLetters}},
        ChangeCase{"BookReplaced",
                   Books({{"ME", {{"replace", true}, {"2", {{"number", "5"}, {"type", 161}}}}}}),
                   {"book ME 1 +447700900010 145 Home", "book ME 3 +447700900011 145 Work [desk]"},
                   {"book ME 2 5 161 "}},
        ChangeCase{"AnotherSim",
                   {{"imsi", kSimCard},
                    {"phoneBooks", {{"SM", {{"replace", true}, {"1", {{"number", "9"}}}}}}}},
                   {"imsi 234150123456789", "book SM 1 +447700900001 145 Anna Schmidt",
                    "book SM 2 +447700900002 145 Bob", "book SM 4 01632960123 129 Café Zoë",
                    "book SM 7 +447700900007 145 Anna Berg", "book SM 12 *100# 129 Balance"},
                   {"imsi " + kSimCard, "book SM 1 9 129 "}},
        ChangeCase{
            "MessagesStoredAndErased",
            {{"messageStorages",
              {{"ME", {{"4", {{"status", 2}, {"pdu", kHelloPdu}}}, {"1", nullptr}}}}}},
            {"message ME 1 1 "
             "0791447700090000040C914477000900010000503012900000001450F4DB5D06B5CBEDB73C0F6A9"
             "7E7F3F0B90C"},
            {"message ME 4 2 " + kHelloPdu}}),
    ChangeName);

struct RefusedCase {
  const char* name;
  json change;
  const char* complaint;
};

std::string RefusedName(const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; }

class ChangeRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(ChangeRefused, NamingTheProblemAndChangingNothing) {
  PhoneState state = LoadTestState("classic.json");
  const json before = PhoneSim::StateToJson(state);
  try {
    ApplyChange(state, GetParam().change);
    ADD_FAILURE() << "accepted";
  } catch (const PhoneSim::state_error& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().complaint), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(PhoneSim::StateToJson(state), before);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangeRefused,
    testing::Values(
        RefusedCase{"LocationOutside", Books({{"SM", {{"251", {{"number", "1"}}}}}}), "1 to 250"},
        RefusedCase{"LocationNotANumber", Books({{"SM", {{"first", nullptr}}}}), "location first"},
        RefusedCase{"NameTooLong", Books({{"SM", {{"3", {{"name", "abcdefghijklmnopqrs"}}}}}}),
                    "name too long"},
        RefusedCase{"EntryNotAnObject", Books({{"SM", {{"3", "Ann"}}}}), "JSON object"},
        RefusedCase{"ReplaceNotABoolean", Books({{"SM", {{"replace", 1}}}}), "replace"},
        RefusedCase{"BookUnknown", Books({{"XX", {{"1", nullptr}}}}), "no phone book XX"},
        RefusedCase{"StorageUnknown",
                    {{"messageStorages", {{"MT", json::object()}}}},
                    "no message storage MT"},
        RefusedCase{"ImsiWithLetters", {{"imsi", "23415abc"}}, "imsi"},
        RefusedCase{"MemberUnknown", {{"phonebooks", json::object()}}, "\"phonebooks\""},
        // The good parts of a change are not made when another part is bad.
        RefusedCase{"PartlyBad",
                    {{"imsi", kSimCard},
                     {"phoneBooks", {{"SM", {{"replace", true}, {"251", {{"number", "1"}}}}}}}},
                    "1 to 250"}),
    RefusedName);

std::string Slurp(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(ChangeFile, IsTakenOnceAndRemovedWhateverItHolds) {
  const std::string path = PhoneSimTest::TempPath("change.json");
  const std::string transcriptPath = PhoneSimTest::TempPath("transcript.log");
  PhoneState state = LoadTestState("classic.json");
  {
    PhoneSim::CTranscript transcript(transcriptPath);
    PhoneSim::CChangeFile changes(path, state, &transcript);
    std::ofstream(path) << R"({"imsi": ")" << kSimCard << R"("})";
    changes.Take();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(state.identity.imsi, kSimCard);
    state.identity.imsi = "1";  // a file taken twice would set it back
    changes.Take();
    std::ofstream(path) << R"({"imsi": "2)";
    changes.Take();
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  EXPECT_EQ(state.identity.imsi, "1");
  const std::string notes = Slurp(transcriptPath);
  EXPECT_NE(notes.find("-- change applied\n"), std::string::npos) << notes;
  EXPECT_NE(notes.find("-- change refused: "), std::string::npos) << notes;
}

}  // namespace
