#include "platform/error.h"

#include <gtest/gtest.h>

#include <thread>

namespace Platform {
namespace {

struct ErrorTextCase {
  uint32_t code;
  const char* text;
};

TEST(ErrorText, KnownCodesReadAsWindowsSentencesOthersByNumber) {
  const ErrorTextCase cases[] = {
      {kErrorFileNotFound, "The system cannot find the file specified."},
      {kErrorAccessDenied, "Access is denied."},
      {kErrorSharingViolation,
       "The process cannot access the file because it is being used by another process."},
      {kErrorFileExists, "The file exists."},
      {kErrorInvalidParameter, "The parameter is incorrect."},
      {kErrorTimeout, "This operation returned because the timeout period expired."},
      {12345, "Error 12345"},
      {0xFFFFFFFF, "Error 4294967295"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ErrorText(code), text) << code;
}

TEST(LastError, BelongsToTheCallingThread) {
  SetLastError(kErrorFileExists);
  uint32_t seenByOther = 1;
  std::thread other([&seenByOther] {
    seenByOther = LastError();
    SetLastError(kErrorDiskFull);
  });
  other.join();
  EXPECT_EQ(seenByOther, kErrorSuccess);
  EXPECT_EQ(LastError(), kErrorFileExists);
}

}  // namespace
}  // namespace Platform
