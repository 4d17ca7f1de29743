#include "plugin/guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace Plugin {
namespace {

TEST(Guard, PassesTheResultThrough) {
  EXPECT_EQ(Guard([] { return 5; }, -1), 5);
  int value = 0;
  EXPECT_EQ(Guard([&value] { return &value; }, static_cast<int*>(nullptr)), &value);
}

TEST(Guard, AnythingThrownGivesTheFailureValue) {
  const std::vector<std::function<int()>> throwers = {
      []() -> int { throw std::runtime_error("link broke"); },
      []() -> int { throw std::bad_alloc(); },
      []() -> int { throw 42; },
  };
  for (size_t i = 0; i < throwers.size(); ++i) EXPECT_EQ(Guard(throwers[i], -1), -1) << i;
}

TEST(Guard, ExportWithoutResultSwallowsTheException) {
  bool ran = false;
  EXPECT_NO_THROW(Guard([&ran] {
    ran = true;
    throw std::runtime_error("settings unreadable");
  }));
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace Plugin
