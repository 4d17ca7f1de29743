#include "plugin/guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farapi/far_api.h"
#include "farlib/message_ids.h"
#include "link/io_error.h"
#include "platform/error.h"

namespace Plugin {
namespace {

TEST(Guard, PassesTheResultThroughAndShowsNothing) {
  CFakeHost host;
  EXPECT_EQ(Guard([] { return 5; }, -1), 5);
  int value = 0;
  EXPECT_EQ(Guard([&value] { return &value; }, static_cast<int*>(nullptr)), &value);
  EXPECT_TRUE(host.Messages().empty());
}

struct FailureCase {
  const char* name;
  std::function<int()> body;
  FarDword flags;
  const char* helpTopic;
  std::vector<std::string> items;
  uint32_t lastError;  // what the system-error box finds as the last error
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class GuardFailure : public testing::TestWithParam<FailureCase> {};

// Whatever reaches an export is shown once and the host gets the failure value.
TEST_P(GuardFailure, IsShownOnceAndGivesTheFailureValue) {
  const FailureCase& c = GetParam();
  CFakeHost host;
  host.SetMessageText(Msg::kUnexpectedFailure, "Zantel could not finish the operation");
  uint32_t errorWhenShown = 0;
  host.AnswerMessage(0, [&] { errorWhenShown = Platform::LastError(); });
  Platform::SetLastError(0);
  EXPECT_EQ(Guard(c.body, -1), -1);
  ASSERT_EQ(host.Messages().size(), 1u);
  const auto& box = host.Messages()[0];
  EXPECT_EQ(box.flags, c.flags);
  EXPECT_EQ(box.helpTopic, c.helpTopic);
  EXPECT_EQ(box.items, c.items);
  if (c.flags & FMSG_ERRORTYPE) {
    EXPECT_EQ(errorWhenShown, c.lastError);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Thrown, GuardFailure,
    testing::Values(
        FailureCase{"LinkFailureInTheSystemErrorBox",
                    []() -> int { throw file_io_error("Cannot read from the phone", 1460); },
                    FMSG_WARNING | FMSG_ERRORTYPE,
                    "SysError",
                    {"Zantel", "Cannot read from the phone", "OK"},
                    1460},
        FailureCase{"OtherExceptionWithItsText",
                    []() -> int { throw std::out_of_range("vector::at"); },
                    FMSG_WARNING,
                    "Error",
                    {"Zantel", "Zantel could not finish the operation", "vector::at", "OK"},
                    0},
        FailureCase{"AnythingElse",
                    []() -> int { throw 42; },
                    FMSG_WARNING,
                    "Error",
                    {"Zantel", "Zantel could not finish the operation", "OK"},
                    0}));

TEST(Guard, ExportWithoutResultShowsAndSwallows) {
  CFakeHost host;
  host.AnswerMessage(0);
  bool ran = false;
  EXPECT_NO_THROW(Guard([&ran] {
    ran = true;
    throw std::runtime_error("settings unreadable");
  }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(host.Messages().size(), 1u);
}

}  // namespace
}  // namespace Plugin
