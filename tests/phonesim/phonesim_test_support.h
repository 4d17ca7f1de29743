#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "phonesim/state.h"

namespace PhoneSimTest {

inline std::string DataPath(const std::string& name) {
  const char* root = std::getenv("ZANTEL_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/phonesim/" + name;
}

inline nlohmann::json ReadJson(const std::string& path) {
  std::ifstream file(path);
  return nlohmann::json::parse(file);
}

// A scratch file of its own for the running test: CTest runs tests in parallel processes.
inline std::string TempPath(const std::string& name) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string path =
      std::string("phonesim-") + test->test_suite_name() + "-" + test->name() + "-" + name;
  for (char& c : path) c = c == '/' ? '_' : c;
  return testing::TempDir() + path;
}

// A state file of tests/data/phonesim, optionally as another profile's phone.
inline PhoneSim::PhoneState LoadTestState(const std::string& name,
                                          const std::string& profile = "") {
  nlohmann::json json = ReadJson(DataPath(name));
  if (!profile.empty()) json["profile"] = profile;
  return PhoneSim::StateFromJson(json);
}

}  // namespace PhoneSimTest
