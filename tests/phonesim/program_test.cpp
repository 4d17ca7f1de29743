#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "fake_host.h"
#include "link/at_engine.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "phonesim/options.h"
#include "phonesim_test_support.h"
#include "settings/settings.h"

namespace {

using PhoneSimTest::DataPath;
using PhoneSimTest::ReadJson;

std::string Program() { return ZANTEL_PHONESIM_PROGRAM; }

std::string Slurp(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Temp(const std::string& name) { return PhoneSimTest::TempPath(name); }

// Runs a shell command line and returns its exit status.
int Shell(const std::string& command) {
  const std::string status = Temp("status");
  std::system((command + "; echo $? > " + status).c_str());
  return std::stoi(Slurp(status));
}

bool WaitFor(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(Program, ServesStandardStreamsAndSavesTheState) {
  const std::string input = Temp("input");
  const std::string output = Temp("output");
  const std::string saved = Temp("saved.json");
  std::ofstream(input) << "ATE0\rAT+CPBW=3,\"+4912\",145,\"Neu\"\rAT+CPBR=3\r";
  ASSERT_EQ(Shell(Program() + " --stdio --state " + DataPath("classic.json") + " --save " + saved +
                  " < " + input + " > " + output),
            0);
  EXPECT_EQ(Slurp(output),
            "ATE0\r\r\nOK\r\n\r\nOK\r\n\r\n+CPBR: 3,\"+4912\",145,\"Neu\"\r\n\r\nOK\r\n");
  const nlohmann::json state = ReadJson(saved);
  EXPECT_EQ(state["phoneBooks"][0]["entries"][2],
            (nlohmann::json{{"index", 3}, {"number", "+4912"}, {"type", 145}, {"name", "Neu"}}));
}

TEST(Program, ServesAPseudoTerminalBehindALinkUntilItHangsUp) {
  const std::string link = Temp("link");
  const std::string saved = Temp("pty-saved.json");
  std::filesystem::remove(saved);
  std::filesystem::remove(link);
  std::system(("(" + Program() + " --link " + link + " --state " + DataPath("classic.json") +
               " --save " + saved + " --hang-up-after 3 > " + Temp("pty-output") + " 2>&1 &)")
                  .c_str());
  ASSERT_TRUE(WaitFor(link));
  CFakeHost host;
  host.AnswerEveryMessage(1);
  setenv("ZANTEL_COM5", link.c_str(), 1);
  PortSettings settings;
  settings.Port = 5;
  settings.Timeout = 2;
  settings.HwCtl = false;
  {
    CSerialConnection connection(settings, HostLinkUser());
    ResponseList responses;
    EXPECT_TRUE(Execute(connection, "ATE0", nullptr));
    EXPECT_TRUE(Execute(connection, "AT+CPBW=,\"0123\",129,\"Neu\"", nullptr));
    EXPECT_TRUE(Execute(connection, "AT+CPBR=3", &responses));
    EXPECT_EQ(responses, ResponseList{"+CPBR: 3,\"0123\",129,\"Neu\""});
  }
  unsetenv("ZANTEL_COM5");
  ASSERT_TRUE(WaitFor(saved));
  EXPECT_EQ(ReadJson(saved)["phoneBooks"][0]["entries"][2]["name"], "Neu");
  EXPECT_FALSE(std::filesystem::exists(link));
  EXPECT_TRUE(Slurp(Temp("pty-output")).starts_with("/dev/pts/"));
}

TEST(Program, ListsItsProfiles) {
  const std::string output = Temp("profiles");
  ASSERT_EQ(Shell(Program() + " --list-profiles > " + output), 0);
  EXPECT_EQ(Slurp(output),
            "classic\nbare\nucs2\nmodem\nfour-statuses\nmotorola-l\nstrict-reads\n"
            "nokia-entries\nempty-field-entries\nhex-text-entries\ncombined-memory\n");
}

TEST(Program, RefusesWhatItCannotServe) {
  EXPECT_EQ(Shell(Program() + " --rate fast 2> /dev/null"), 2);
  EXPECT_EQ(Shell(Program() + " --stdio --link x 2> /dev/null"), 2);
  EXPECT_EQ(Shell(Program() + " --stdio --until-closed 2> /dev/null"), 2);
  EXPECT_EQ(Shell(Program() + " --stdio --ready x 2> /dev/null"), 2);
  EXPECT_EQ(Shell(Program() + " --max-seconds -1 2> /dev/null"), 2);
  EXPECT_EQ(Shell(Program() + " --stdio --profile nokia < /dev/null 2> /dev/null"), 1);
  EXPECT_EQ(Shell(Program() + " --stdio --state /nonexistent.json < /dev/null 2> /dev/null"), 1);
}

TEST(Options, SingleValuedFaultsOverrideTheScript) {
  std::string error;
  const auto options =
      PhoneSim::ParseOptions({"--stdio", "--rate", "960", "--split-seed", "0", "--hang-up-during",
                              "4", "--unstored-writes-from", "6"},
                             error);
  ASSERT_TRUE(options) << error;
  PhoneSim::Faults script;
  script.bytesPerSecond = 100;
  script.latencyMs = 30;
  script.unstoredWrites = PhoneSim::UnstoredWrites{2, 1};
  const PhoneSim::Faults merged = PhoneSim::MergeFaults(script, options->faults);
  EXPECT_EQ(merged.bytesPerSecond, 960);
  EXPECT_EQ(merged.latencyMs, 30);
  EXPECT_EQ(merged.splitSeed, 0u);
  EXPECT_EQ(merged.hangUpDuring, 4);
  ASSERT_TRUE(merged.unstoredWrites);
  EXPECT_EQ(merged.unstoredWrites->from, 6);
  EXPECT_EQ(merged.unstoredWrites->times, 0);
}

TEST(Options, FaultScriptReadsEveryKind) {
  const PhoneSim::Faults faults = PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({
      "bytesPerSecond": 1200, "splitSeed": 9, "silentAfter": 5, "latencyMs": 40, "latencyFrom": 3,
      "refusals": [{"command": "AT+CPBR", "times": 2, "reply": "+CME ERROR: 100", "from": 4}],
      "unsolicited": [{"command": 3, "every": 2, "text": "RING"}],
      "garbage": [{"command": 1, "bytes": "FF00"}],
      "unstoredWrites": {"from": 7, "times": 2}})"));
  EXPECT_EQ(faults.bytesPerSecond, 1200);
  EXPECT_EQ(faults.splitSeed, 9u);
  EXPECT_EQ(faults.silentAfter, 5);
  EXPECT_EQ(faults.latencyMs, 40);
  EXPECT_EQ(faults.latencyFrom, 3);
  ASSERT_EQ(faults.refusals.size(), 1u);
  EXPECT_EQ(faults.refusals[0].reply, "+CME ERROR: 100");
  EXPECT_EQ(faults.refusals[0].from, 4);
  ASSERT_EQ(faults.unsolicited.size(), 1u);
  EXPECT_EQ(faults.unsolicited[0].every, 2);
  ASSERT_EQ(faults.garbage.size(), 1u);
  EXPECT_EQ(faults.garbage[0].bytes, std::string("\xFF\x00", 2));
  ASSERT_TRUE(faults.unstoredWrites);
  EXPECT_EQ(faults.unstoredWrites->from, 7);
  EXPECT_EQ(faults.unstoredWrites->times, 2);
  EXPECT_THROW(PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({"garbage": [{"bytes": "F"}]})")),
               std::runtime_error);
  EXPECT_THROW(PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({"latencyMs": -1})")),
               std::runtime_error);
  EXPECT_THROW(PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({"latencyFrom": 0})")),
               std::runtime_error);
  EXPECT_THROW(
      PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({"unstoredWrites": {"from": 0}})")),
      std::runtime_error);
  EXPECT_THROW(PhoneSim::FaultsFromJson(
                   nlohmann::json::parse(R"({"unsolicited": [{"text": "RING", "at": "late"}]})")),
               std::runtime_error);
  EXPECT_THROW(PhoneSim::FaultsFromJson(nlohmann::json::parse(R"({"lineEnd": "lf"})")),
               std::runtime_error);
}

}  // namespace
