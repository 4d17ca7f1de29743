#include "platform/serial.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "platform/error.h"
#include "platform/posix/posix_backend.h"

namespace Platform {
namespace {

using Posix::Fail;
using Posix::FailWithErrno;

constexpr std::pair<uint32_t, speed_t> kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr tcflag_t kDataBitFlags[] = {CS5, CS6, CS7, CS8};  // for 5 to 8 data bits
constexpr tcflag_t kParityFlags[] = {
    0,                         // none
    PARENB | PARODD,           // odd
    PARENB,                    // even
    PARENB | CMSPAR | PARODD,  // mark
    PARENB | CMSPAR,           // space
};
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

std::optional<speed_t> StandardSpeed(uint32_t rate) {
  for (const auto& [bitsPerSecond, code] : kStandardRates) {
    if (bitsPerSecond == rate) return code;
  }
  return std::nullopt;
}

bool IsStandardSpeed(speed_t code) {
  return std::any_of(std::begin(kStandardRates), std::end(kStandardRates),
                     [code](const auto& entry) { return entry.second == code; });
}

// One and a half stop bits exist only beside 5 data bits, where CSTOPB means exactly that;
// that is also why 5 data bits cannot have two (Windows refuses both combinations too).
bool ValidFraming(const SerialLine& line) {
  const bool fiveBits = line.dataBits == 5;
  return line.dataBits >= 5 && line.dataBits <= 8 && line.parity < std::size(kParityFlags) &&
         (line.stopBits == 0 || (line.stopBits == 1 && fiveBits) ||
          (line.stopBits == 2 && !fiveBits));
}

void ApplyFraming(const SerialLine& line, termios& settings) {
  settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  settings.c_cflag |= kDataBitFlags[line.dataBits - 5] | kParityFlags[line.parity] | CLOCAL | CREAD;
  if (line.stopBits != 0) settings.c_cflag |= CSTOPB;
  if (line.hardwareFlow) settings.c_cflag |= CRTSCTS;
}

// What cfmakeraw does, without its forced 8N1: the bytes pass untouched both ways.
void ApplyRawMode(bool softwareFlow, termios& settings) {
  settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON |
                        IXOFF | IXANY | INPCK);
  if (softwareFlow) {
    settings.c_iflag |= IXON | IXOFF;
    settings.c_cc[VSTART] = kXon;
    settings.c_cc[VSTOP] = kXoff;
  }
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
}

// Drivers do not refuse a rate they cannot make: they pick another and report it. Rounded to
// what the driver's clock can divide, a rate still works within 2% (what a UART tolerates);
// anything further off means the rate was refused.
bool RateTookEffect(int fd, uint32_t rate) {
  uint32_t actual = 0;
  if (!Posix::ReadBaudRate(fd, actual)) return false;
  const uint64_t difference = actual > rate ? actual - rate : rate - actual;
  return difference * 50 <= rate || Fail(kErrorInvalidParameter);
}

bool ApplyLine(int fd, const termios& settings, uint32_t rate, bool standardRate) {
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return FailWithErrno();
  if (!standardRate && !Posix::SetCustomBaudRate(fd, rate)) return false;
  return RateTookEffect(fd, rate);
}

}  // namespace

bool ConfigureSerialLine(CFile& port, const SerialLine& line) {
  if (!port.IsOpen()) return Fail(kErrorInvalidHandle);
  const int fd = static_cast<int>(port.NativeHandle());
  termios previous{};
  if (tcgetattr(fd, &previous) != 0) return FailWithErrno();
  if (line.baudRate == 0 || !ValidFraming(line)) return Fail(kErrorInvalidParameter);

  termios settings = previous;
  ApplyFraming(line, settings);
  ApplyRawMode(line.softwareFlow, settings);
  const std::optional<speed_t> standard = StandardSpeed(line.baudRate);
  if (standard &&
      (cfsetispeed(&settings, *standard) != 0 || cfsetospeed(&settings, *standard) != 0)) {
    return FailWithErrno();
  }
  uint32_t previousRate = 0;
  const bool previousCustom =
      !IsStandardSpeed(cfgetospeed(&previous)) && Posix::ReadBaudRate(fd, previousRate);
  if (ApplyLine(fd, settings, line.baudRate, standard.has_value())) return true;

  // tcsetattr cannot express a custom rate, so an old one is put back through termios2.
  const uint32_t failure = LastError();
  tcsetattr(fd, TCSANOW, &previous);
  if (previousCustom) Posix::SetCustomBaudRate(fd, previousRate);
  return Fail(failure);
}

bool SetSerialTimeouts(CFile& port, uint32_t timeoutMs) {
  if (!port.IsOpen()) return Fail(kErrorInvalidHandle);
  const int fd = static_cast<int>(port.NativeHandle());
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return FailWithErrno();
  port.m_timeoutMs =
      static_cast<int32_t>(std::min<uint32_t>(timeoutMs, std::numeric_limits<int32_t>::max()));
  return true;
}

bool SerialBytesWaiting(CFile& port, uint32_t& waiting) {
  waiting = 0;
  if (!port.IsOpen()) return Fail(kErrorInvalidHandle);
  int queued = 0;
  if (ioctl(static_cast<int>(port.NativeHandle()), FIONREAD, &queued) != 0) return FailWithErrno();
  waiting = static_cast<uint32_t>(std::max(queued, 0));
  return true;
}

}  // namespace Platform
