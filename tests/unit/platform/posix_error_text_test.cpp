#include <gtest/gtest.h>

#include "platform/error.h"

namespace Platform {
namespace {

struct ErrorTextCase {
  uint32_t code;
  const char* text;
};

// Without a system to ask, the POSIX backend carries the sentences Windows uses.
TEST(ErrorText, KnownCodesReadAsWindowsSentences) {
  const ErrorTextCase cases[] = {
      {kErrorFileNotFound, "The system cannot find the file specified."},
      {kErrorAccessDenied, "Access is denied."},
      {kErrorSharingViolation,
       "The process cannot access the file because it is being used by another process."},
      {kErrorFileExists, "The file exists."},
      {kErrorInvalidParameter, "The parameter is incorrect."},
      {kErrorTimeout, "This operation returned because the timeout period expired."},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ErrorText(code), text) << code;
}

}  // namespace
}  // namespace Platform
