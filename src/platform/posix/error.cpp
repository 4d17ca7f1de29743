#include "platform/error.h"

#include <dlfcn.h>

#include <cerrno>
#include <string_view>
#include <utility>

#include "platform/posix/posix_backend.h"
#include "platform/registry.h"

namespace Platform {
namespace {

thread_local uint32_t t_lastError = kErrorSuccess;

// Windows numbers used only for errno values that have no constant in error.h.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorNotSameDevice = 17;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorSeekOnDevice = 132;
constexpr uint32_t kErrorDirNotEmpty = 145;

constexpr std::pair<int, uint32_t> kErrnoCodes[] = {
    {ENOENT, kErrorFileNotFound},
    {ENXIO, kErrorFileNotFound},  // a device node whose hardware is absent
    {ENODEV, kErrorFileNotFound},
    {ENOTDIR, kErrorPathNotFound},
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},  // Windows refuses to open or delete a folder as a file
    {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory},
    {EAGAIN, kErrorSharingViolation},  // a lock held by another open
    {EBUSY, kErrorSharingViolation},
    {ETXTBSY, kErrorSharingViolation},
    {EEXIST, kErrorFileExists},
    {EINVAL, kErrorInvalidParameter},
    {EPIPE, kErrorBrokenPipe},
    {ENOSPC, kErrorDiskFull},
    {EDQUOT, kErrorDiskFull},
    {ENAMETOOLONG, kErrorInvalidName},
    {EIO, kErrorGenFailure},
    {ETIMEDOUT, kErrorTimeout},
    {ENOTTY, kErrorInvalidFunction},  // a terminal request on something that is not one
    {EMFILE, kErrorTooManyOpenFiles},
    {ENFILE, kErrorTooManyOpenFiles},
    {EXDEV, kErrorNotSameDevice},
    {EROFS, kErrorWriteProtect},
    {ESPIPE, kErrorSeekOnDevice},
    {ENOTEMPTY, kErrorDirNotEmpty},
    {ENOSYS, kErrorNotSupported},
    {EOPNOTSUPP, kErrorNotSupported},
};

constexpr std::pair<uint32_t, std::string_view> kTexts[] = {
    {kErrorSuccess, "The operation completed successfully."},
    {kErrorInvalidFunction, "Incorrect function."},
    {kErrorFileNotFound, "The system cannot find the file specified."},
    {kErrorPathNotFound, "The system cannot find the path specified."},
    {kErrorTooManyOpenFiles, "The system cannot open the file."},
    {kErrorAccessDenied, "Access is denied."},
    {kErrorInvalidHandle, "The handle is invalid."},
    {kErrorNotEnoughMemory, "Not enough storage is available to process this command."},
    {kErrorNotSameDevice, "The system cannot move the file to a different disk drive."},
    {kErrorWriteProtect, "The media is write protected."},
    {kErrorGenFailure, "A device attached to the system is not functioning."},
    {kErrorSharingViolation,
     "The process cannot access the file because it is being used by another process."},
    {kErrorHandleEof, "Reached the end of the file."},
    {kErrorNotSupported, "The request is not supported."},
    {kErrorFileExists, "The file exists."},
    {kErrorInvalidParameter, "The parameter is incorrect."},
    {kErrorBrokenPipe, "The pipe has been ended."},
    {kErrorDiskFull, "There is not enough space on the disk."},
    {kErrorInvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {kErrorSeekOnDevice, "The file pointer cannot be set on the specified device or file."},
    {kErrorDirNotEmpty, "The directory is not empty."},
    {kErrorAlreadyExists, "Cannot create a file when that file already exists."},
    // The registry's own failures, which the POSIX store reports too.
    {kErrorBadDatabase, "The configuration registry database is corrupt."},
    {kErrorRegistryIoFailed,
     "An I/O operation initiated by the registry failed unrecoverably. The registry could not "
     "read in, or write out, or flush, one of the files that contain the system's image of the "
     "registry."},
    {kErrorKeyDeleted,
     "Illegal operation attempted on a registry key that has been marked for deletion."},
    {kErrorNoUnicodeTranslation,
     "No mapping for the Unicode character exists in the target multi-byte code page."},
    {kErrorTimeout, "This operation returned because the timeout period expired."},
};

// The thread's slot as this copy of the backend holds it. A module (zantel.so) carries a copy of
// its own and keeps it to itself.
uint32_t* OwnSlot() { return &t_lastError; }

}  // namespace

// On Windows every module of a process reads the one GetLastError. Here the host executable and
// each module it loads link their own copy of this file, so a host box would read the host's
// copy while the module set the error in its own. A host that exports this function lends its
// slot to every copy in the process: they all find it by name in the global scope, where a
// module loaded privately, its own copy included, is not.
extern "C" __attribute__((visibility("default"))) uint32_t* ZantelLastErrorSlot() {
  return OwnSlot();
}

namespace {

uint32_t& Slot() {
  using SlotFunction = uint32_t* (*)();
  static const SlotFunction slot = [] {
    void* shared = dlsym(RTLD_DEFAULT, "ZantelLastErrorSlot");
    return shared != nullptr ? reinterpret_cast<SlotFunction>(shared) : &OwnSlot;
  }();
  return *slot();
}

}  // namespace

uint32_t LastError() { return Slot(); }

void SetLastError(uint32_t code) { Slot() = code; }

std::string ErrorText(uint32_t code) {
  for (const auto& [known, text] : kTexts) {
    if (known == code) return std::string(text);
  }
  return "Error " + std::to_string(code);
}

namespace Posix {

uint32_t WindowsErrorFromErrno(int errnoValue) {
  for (const auto& [number, code] : kErrnoCodes) {
    if (number == errnoValue) return code;
  }
  return kErrorGenFailure;
}

bool FailWithErrno() { return Fail(WindowsErrorFromErrno(errno)); }

bool Fail(uint32_t code) {
  SetLastError(code);
  return false;
}

}  // namespace Posix
}  // namespace Platform
