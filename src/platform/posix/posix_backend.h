#pragma once
// What the POSIX backend's files share with each other (and with its tests). Only plain
// types here: the custom-rate file must not see <termios.h>.
#include <cstdint>
#include <string>

namespace Platform::Posix {

// The Windows error number that stands for an errno value (ERROR_GEN_FAILURE when none fits).
uint32_t WindowsErrorFromErrno(int errnoValue);

// Sets LastError() and returns false, so that a failing call ends with `return Fail...;`.
bool FailWithErrno();
bool Fail(uint32_t code);

// The descriptor itself or, when it took the number of a closed standard stream, a copy above
// them (the original closed): a port on descriptor 0, 1 or 2 would meet console polls and
// stray prints. -1 stays -1.
int AboveStandardStreams(int fd);

// The device path a file name stands for: "COMn" (any letter case, n from 1 without a
// leading zero) is $ZANTEL_COMn when set, else /dev/ttyS(n-1); any other name is itself.
std::string DevicePath(const std::string& name);

// Linux termios2: sets a rate in bits per second that has no B-constant, both directions,
// leaving every other setting alone.
bool SetCustomBaudRate(int fd, uint32_t rate);
// The output rate in bits per second as the driver reports it.
bool ReadBaudRate(int fd, uint32_t& rate);

}  // namespace Platform::Posix
