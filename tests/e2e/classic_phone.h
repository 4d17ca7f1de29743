#pragma once
#include <fstream>
#include <sstream>
#include <string>

// The classic phone of tests/data/phonesim: two writable phone books, call lists and messages
// in SM and ME, as the simulator's state text.
namespace EndToEnd {

inline std::string ClassicState() {
  std::ifstream file(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/classic.json");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace EndToEnd
