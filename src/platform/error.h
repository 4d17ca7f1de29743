#pragma once
#include <cstdint>
#include <string>

// The last-error code of the calling thread, in Windows numbering on every OS, so that
// link exceptions and error boxes carry the same numbers everywhere.
namespace Platform {

constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorHandleEof = 38;
constexpr uint32_t kErrorNotSupported = 50;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorBrokenPipe = 109;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorNoUnicodeTranslation = 1113;
constexpr uint32_t kErrorTimeout = 1460;

uint32_t LastError();
void SetLastError(uint32_t code);

// The system's text for an error code, without a trailing line break.
std::string ErrorText(uint32_t code);

}  // namespace Platform
