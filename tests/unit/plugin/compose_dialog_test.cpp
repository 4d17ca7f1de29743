#include "plugin/compose_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/message_ids.h"

namespace {

struct StoppedCase {
  bool save;
  StoppedTransmission stopped;
  std::string reason;
  std::vector<std::string> lines;
};

// A transmission that stopped part-way tells the destinations that had the whole message, the
// parts that went to the one it stopped at, and the part that did not go, with the reason.
TEST(StoppedLines, TellWhatWentAndWhatDidNot) {
  CFakeHost host;
  host.SetMessageText(Msg::kSentWholeTo, "Sent whole to %s");
  host.SetMessageText(Msg::kSavedWholeFor, "Saved whole for %s");
  host.SetMessageText(Msg::kSentPartsOf, "Sent %d of %d parts to %s");
  host.SetMessageText(Msg::kSavedPartsOf, "Saved %d of %d parts for %s");
  host.SetMessageText(Msg::kPartNotSent, "Part %d of %d to %s was not sent:");
  host.SetMessageText(Msg::kPartNotSaved, "Part %d of %d for %s was not saved:");
  const StoppedCase cases[] = {
      {false,
       {{}, "+491711111111", 2, 3},
       "+CMS ERROR: 500",
       {"Sent 2 of 3 parts to +491711111111", "Part 3 of 3 to +491711111111 was not sent:",
        "+CMS ERROR: 500"}},
      {false,
       {{"+447700900123", "0301234"}, "+491711111111", 0, 1},
       "Cannot read from the phone",
       {"Sent whole to +447700900123, 0301234", "Part 1 of 1 to +491711111111 was not sent:",
        "Cannot read from the phone"}},
      {true,
       {{"+447700900123"}, "0301234", 1, 2},
       "",
       {"Saved whole for +447700900123", "Saved 1 of 2 parts for 0301234",
        "Part 2 of 2 for 0301234 was not saved:"}},
  };
  for (const StoppedCase& c : cases) {
    EXPECT_EQ(StoppedLines(c.save, c.stopped, c.reason), c.lines) << c.lines.front();
  }
}

}  // namespace
