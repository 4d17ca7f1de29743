// Linux's termios2 carries the rate in bits per second. Its header clashes with <termios.h>,
// so this file sees only the kernel's definitions and declares ioctl itself.
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include "platform/posix/posix_backend.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace Platform::Posix {

bool SetCustomBaudRate(int fd, uint32_t rate) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return FailWithErrno();
  settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  settings.c_ispeed = rate;
  settings.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &settings) == 0 || FailWithErrno();
}

bool ReadBaudRate(int fd, uint32_t& rate) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return FailWithErrno();
  rate = settings.c_ospeed;
  return true;
}

}  // namespace Platform::Posix
