#include "platform/error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

namespace Platform {
namespace {

// The words are the system's own (Wine's differ from Windows'), so only their form is fixed.
TEST(ErrorText, KnownCodesReadAsOneSentenceEach) {
  const uint32_t codes[] = {kErrorFileNotFound, kErrorAccessDenied,     kErrorSharingViolation,
                            kErrorFileExists,   kErrorInvalidParameter, kErrorTimeout};
  std::set<std::string> texts;
  for (const uint32_t code : codes) {
    const std::string text = ErrorText(code);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_NE(text, "Error " + std::to_string(code));
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code << ": " << text;
    EXPECT_NE(text.back(), ' ') << code;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(codes)) << "two codes read alike";
}

TEST(ErrorText, UnknownCodesReadByNumber) {
  const std::pair<uint32_t, const char*> cases[] = {{12345, "Error 12345"},
                                                    {0xFFFFFFFF, "Error 4294967295"}};
  for (const auto& [code, text] : cases) EXPECT_EQ(ErrorText(code), text) << code;
}

TEST(ErrorText, LeavesTheLastErrorAlone) {
  for (const uint32_t code : {kErrorFileExists, uint32_t{12345}}) {
    SetLastError(kErrorDiskFull);
    ErrorText(code);
    EXPECT_EQ(LastError(), kErrorDiskFull) << code;
  }
}

// The threads only spin between the steps: a system call made while waiting (a join, a lock)
// may itself set the waiting thread's last error.
TEST(LastError, BelongsToTheCallingThread) {
  std::atomic<int> step{0};
  uint32_t seenByOther = 1;
  std::thread other([&] {
    while (step.load() != 1) {
    }
    seenByOther = LastError();
    SetLastError(kErrorDiskFull);
    step.store(2);
  });
  SetLastError(kErrorFileExists);
  step.store(1);
  while (step.load() != 2) {
  }
  EXPECT_EQ(LastError(), kErrorFileExists);
  other.join();
  EXPECT_EQ(seenByOther, kErrorSuccess);
}

}  // namespace
}  // namespace Platform
