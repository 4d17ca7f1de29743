#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "farapi/far_api.h"

// The box a serial link shows when the phone has been silent for its one-second time-out.
inline void ExpectTimeoutPrompt(const CFakeHost::ShownMessage& box) {
  EXPECT_EQ(box.flags, static_cast<FarDword>(FMSG_WARNING));
  EXPECT_EQ(box.helpTopic, "TimeoutError");
  EXPECT_EQ(box.items,
            (std::vector<std::string>{"Zantel", "The phone has not answered for 1 seconds", "Wait",
                                      "Give up"}));
  EXPECT_EQ(box.buttons, 2);
}
