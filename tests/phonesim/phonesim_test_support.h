#pragma once
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

// A state file of tests/data/phonesim, optionally as another profile's phone.
inline PhoneSim::PhoneState LoadTestState(const std::string& name, const std::string& profile = "") {
  nlohmann::json json = ReadJson(DataPath(name));
  if (!profile.empty()) json["profile"] = profile;
  return PhoneSim::StateFromJson(json);
}

}  // namespace PhoneSimTest
