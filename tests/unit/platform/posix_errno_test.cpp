#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/posix/posix_backend.h"

namespace Platform {
namespace {

struct ErrnoCase {
  int errnoValue;
  uint32_t code;
};

constexpr ErrnoCase kErrnoCases[] = {
    {ENOENT, kErrorFileNotFound},
    {ENOTDIR, kErrorPathNotFound},
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},
    {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory},
    {EWOULDBLOCK, kErrorSharingViolation},
    {EBUSY, kErrorSharingViolation},
    {EEXIST, kErrorFileExists},
    {EINVAL, kErrorInvalidParameter},
    {EPIPE, kErrorBrokenPipe},
    {ENOSPC, kErrorDiskFull},
    {ENAMETOOLONG, kErrorInvalidName},
    {EIO, kErrorGenFailure},
    {ETIMEDOUT, kErrorTimeout},
    {EOPNOTSUPP, kErrorNotSupported},
    {ECHILD, kErrorGenFailure},
    {0, kErrorGenFailure},
};

TEST(ErrnoMapping, GivesTheWindowsNumbers) {
  for (const auto& [errnoValue, code] : kErrnoCases) {
    EXPECT_EQ(Posix::WindowsErrorFromErrno(errnoValue), code) << "errno " << errnoValue;
  }
}

TEST(ErrnoMapping, EveryMappedCodeHasASentence) {
  for (int errnoValue = 1; errnoValue < 134; ++errnoValue) {
    const std::string text = ErrorText(Posix::WindowsErrorFromErrno(errnoValue));
    EXPECT_NE(text.rfind("Error ", 0), 0u) << "errno " << errnoValue << ": " << text;
  }
}

TEST(ErrnoMapping, FullDeviceReportsDiskFull) {
  CFile full = CFile::Open("/dev/full", OpenMode::ExistingReadWrite);
  ASSERT_TRUE(full.IsOpen()) << LastError();
  uint32_t written = 0;
  EXPECT_FALSE(full.Write("x", 1, written));
  EXPECT_EQ(LastError(), kErrorDiskFull);
}

}  // namespace
}  // namespace Platform
