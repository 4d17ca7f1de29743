#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sms/sms_message.h"

namespace {

struct CVector {
    int m_line = 0;
    bool m_fromServiceCentre = false;
    bool m_decodes = false;
    std::string m_hex;
};

// Lines "<in|out> <ok|fail> <hex>"; comments say where each vector comes from.
std::vector<CVector> ReadVectors()
{
    const char* root = std::getenv("ZANTEL_TEST_DATA");
    std::ifstream file(std::string(root != nullptr ? root : "tests/data") + "/sms/pdus.txt");
    std::vector<CVector> vectors;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string direction;
        std::string expectation;
        CVector vector;
        vector.m_line = number;
        words >> direction >> expectation >> vector.m_hex;
        vector.m_fromServiceCentre = direction == "in";
        vector.m_decodes = expectation == "ok";
        EXPECT_TRUE((direction == "in" || direction == "out") && (expectation == "ok" || expectation == "fail"))
            << "line " << number << ": " << line;
        vectors.push_back(vector);
    }
    return vectors;
}

TEST(PduVectors, EachDecodesAsMarked)
{
    const std::vector<CVector> vectors = ReadVectors();
    ASSERT_GE(vectors.size(), 40u);
    for (const CVector& vector : vectors) {
        CSMSMessage message(vector.m_fromServiceCentre);
        EXPECT_EQ(message.Decode(vector.m_hex), vector.m_decodes) << "line " << vector.m_line;
        EXPECT_EQ(message.pdu, vector.m_hex);
    }
}

}  // namespace
