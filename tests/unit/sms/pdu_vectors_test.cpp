#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sms/sms_message.h"

namespace {

struct CVector {
  std::string m_name;
  bool m_fromServiceCentre = false;
  bool m_decodes = false;
  std::string m_hex;
};

std::filesystem::path VectorFolder() {
  const char* root = std::getenv("ZANTEL_TEST_DATA");
  return std::filesystem::path(root != nullptr ? root : "tests/data") / "sms";
}

// One vector a file: "<in|out> <ok|fail> <hex>" after comment lines saying where it comes from.
CVector ReadVector(const std::filesystem::path& path) {
  std::ifstream file(path);
  CVector vector;
  vector.m_name = path.filename().string();
  std::string line;
  bool sourced = false;
  while (std::getline(file, line)) {
    if (line.starts_with("#")) {
      sourced = sourced || !line.substr(1).empty();
      continue;
    }
    std::istringstream words(line);
    std::string direction;
    std::string expectation;
    words >> direction >> expectation >> vector.m_hex;
    vector.m_fromServiceCentre = direction == "in";
    vector.m_decodes = expectation == "ok";
    EXPECT_TRUE((direction == "in" || direction == "out") &&
                (expectation == "ok" || expectation == "fail"))
        << vector.m_name << ": " << line;
  }
  EXPECT_TRUE(sourced) << vector.m_name << " does not say where it comes from";
  EXPECT_FALSE(vector.m_hex.empty()) << vector.m_name;
  return vector;
}

std::vector<CVector> ReadVectors() {
  std::vector<CVector> vectors;
  for (const auto& entry : std::filesystem::directory_iterator(VectorFolder())) {
    if (entry.path().extension() == ".txt") {
      vectors.push_back(ReadVector(entry.path()));
    }
  }
  return vectors;
}

TEST(PduVectors, EachDecodesAsMarked) {
  const std::vector<CVector> vectors = ReadVectors();
  ASSERT_GE(vectors.size(), 40u);
  for (const CVector& vector : vectors) {
    CSMSMessage message(vector.m_fromServiceCentre);
    EXPECT_EQ(message.Decode(vector.m_hex), vector.m_decodes) << vector.m_name;
    EXPECT_EQ(message.pdu, vector.m_hex);
  }
}

}  // namespace
