#include "platform/portkit/SerialPortArbitraryRate.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

int SetArbitraryBaudRate(int fd, int baudRate) {
  termios2 settings{};
  if (::ioctl(fd, TCGETS2, &settings) != 0)
    return errno;
  settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  settings.c_ispeed = static_cast<speed_t>(baudRate);
  settings.c_ospeed = static_cast<speed_t>(baudRate);
  if (::ioctl(fd, TCSETS2, &settings) != 0)
    return errno;
  return 0;
}

int ReadBaudRate(int fd) {
  termios2 settings{};
  if (::ioctl(fd, TCGETS2, &settings) != 0)
    return 0;
  return static_cast<int>(settings.c_ospeed);
}
