#include "platform/portkit/SerialPort.h"

#include "platform/framework/Profile.h"
#include "platform/portkit/SerialPortArbitraryRate.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::optional<speed_t> Speed(int baudRate) {
  switch (baudRate) {
  case 9600: return B9600;
  case 19200: return B19200;
  case 38400: return B38400;
  case 57600: return B57600;
  case 115200: return B115200;
  default: return std::nullopt;
  }
}

TPortError OpenFailure(int error) {
  switch (error) {
  case ENOENT:
  case ENODEV:
  case ENXIO: return {TPortFailure::Missing, std::strerror(error)};
  case EBUSY:
  case EWOULDBLOCK: return {TPortFailure::Busy, std::strerror(error)};
  case EACCES:
  case EPERM: return {TPortFailure::Denied, std::strerror(error)};
  case ENOTTY: return {TPortFailure::NotSerial, std::strerror(error)};
  default: return {TPortFailure::Other, std::strerror(error)};
  }
}

}  // namespace

std::unique_ptr<TSerialPort> TSerialPort::Open(const std::string& path, std::string name, int baudRate,
                                               TPortError& error) {
  const auto speed = baudRate > 0 ? Speed(baudRate).value_or(B38400) : std::optional<speed_t>{};
  if (!speed) {
    error = {TPortFailure::BadBaudRate, std::to_string(baudRate)};
    return nullptr;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = OpenFailure(errno);
    return nullptr;
  }
  // The advisory lock holds against every other opener, root included; the
  // terminal driver's exclusive mode only against ordinary users.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = OpenFailure(errno == EWOULDBLOCK ? EBUSY : errno);
    ::close(fd);
    return nullptr;
  }
  termios saved{};
  if (::tcgetattr(fd, &saved) != 0) {
    error = OpenFailure(errno);
    ::close(fd);
    return nullptr;
  }
  ::ioctl(fd, TIOCEXCL);

  termios raw = saved;
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  raw.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
  raw.c_cflag |= CS8;
  raw.c_iflag &= ~(IXON | IXOFF | IXANY);
  // With O_NONBLOCK this makes an empty port answer EAGAIN, so that a read
  // of 0 bytes means the end of the line.
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  ::cfsetispeed(&raw, *speed);
  ::cfsetospeed(&raw, *speed);
  if (::tcsetattr(fd, TCSANOW, &raw) != 0) {
    error = OpenFailure(errno);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return nullptr;
  }
  if (!Speed(baudRate)) {
    if (const int failed = SetArbitraryBaudRate(fd, baudRate); failed != 0) {
      error = failed == EINVAL ? TPortError{TPortFailure::BadBaudRate, std::to_string(baudRate)} : OpenFailure(failed);
      ::tcsetattr(fd, TCSANOW, &saved);
      ::ioctl(fd, TIOCNXCL);
      ::close(fd);
      return nullptr;
    }
  }
  // What the instrument sent before is stale; what the program wrote
  // through the port's last opening may not have reached the instrument yet
  // (a nebulizer's or a stream's off just before a window opens the port
  // again) and must not be thrown away.
  ::tcflush(fd, TCIFLUSH);
  error = {};
  return std::unique_ptr<TSerialPort>(new TSerialPort(fd, std::move(name), saved));
}

TSerialPort::TSerialPort(int fd, std::string name, const termios& saved)
    : Fd(fd), PortName(std::move(name)), Saved(saved) {
  TakeLineErrors();  // count from now, not from when the driver started
}

TSerialPort::~TSerialPort() {
  *Alive = false;
  // Closed from inside its own notification: the notifier must outlive the
  // signal it is sending.
  for (auto* notifier : {&Notifier, &RetiredNotifier})
    if (*notifier && InReady)
      notifier->release()->deleteLater();
  Notifier.reset();
  RetiredNotifier.reset();
  // Put back what the port had before; a port that went away refuses, and
  // that is fine.
  ::tcsetattr(Fd, TCSANOW, &Saved);
  ::ioctl(Fd, TIOCNXCL);
  ::close(Fd);
}

std::optional<std::size_t> TSerialPort::Read(std::span<std::uint8_t> buffer) {
  if (IsGone)
    return std::nullopt;
  for (;;) {
    const ssize_t got = ::read(Fd, buffer.data(), buffer.size());
    if (got > 0)
      return static_cast<std::size_t>(got);
    if (got == 0) {
      pollfd state{Fd, POLLIN, 0};
      if (::poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR))) {
        Gone("the device hung up");
        return std::nullopt;
      }
      return 0;
    }
    if (errno == EINTR)
      continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK)
      return 0;
    Gone(std::strerror(errno));
    return std::nullopt;
  }
}

bool TSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (IsGone)
    return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(Fd, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd out{Fd, POLLOUT, 0};
      if (::poll(&out, 1, 200) > 0 && !(out.revents & (POLLERR | POLLHUP)))
        continue;
      Gone("the device takes no more data");
      return false;
    }
    Gone(put < 0 ? std::strerror(errno) : "the device takes no data");
    return false;
  }
  return true;
}

bool TSerialPort::WaitForData(int timeoutMs) {
  if (IsGone)
    return true;
  pollfd in{Fd, POLLIN, 0};
  int result = 0;
  do
    result = ::poll(&in, 1, timeoutMs);
  while (result < 0 && errno == EINTR);
  return result > 0;
}

void TSerialPort::Purge() {
  if (!IsGone)
    ::tcflush(Fd, TCIFLUSH);
}

void TSerialPort::Watch(std::function<void()> ready) {
  Ready = std::move(ready);
  if (!Ready || IsGone) {
    DropNotifier();
    return;
  }
  if (Notifier) {
    Notifier->setEnabled(true);
    return;
  }
  Notifier = std::make_unique<QSocketNotifier>(Fd, QSocketNotifier::Read);
  QObject::connect(Notifier.get(), &QSocketNotifier::activated, [this, alive = Alive] {
    InReady = true;
    if (const auto ready = Ready)  // the call may change or end the watch
      ready();
    if (*alive)
      InReady = false;
  });
}

void TSerialPort::Gone(std::string why) {
  IsGone = true;
  LastError = std::move(why);
  // A hung-up descriptor stays readable: watching it further would spin.
  DropNotifier();
}

void TSerialPort::DropNotifier() {
  if (!Notifier)
    return;
  Notifier->setEnabled(false);
  if (InReady)
    RetiredNotifier = std::move(Notifier);  // deleting it inside its own signal is not allowed
  else
    Notifier.reset();
}

int TSerialPort::ActualBaudRate() const { return ReadBaudRate(Fd); }

bool TSerialPort::SetModemLine(int line, bool on) {
  if (IsGone)
    return false;
  if (::ioctl(Fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0)
    return true;
  // A pseudo-terminal has no modem lines: nothing to drive.
  return errno == ENOTTY || errno == EINVAL;
}

TTransport::TLineErrors TSerialPort::TakeLineErrors() {
  serial_icounter_struct counters{};
  if (IsGone || ::ioctl(Fd, TIOCGICOUNT, &counters) != 0)
    return {};
  const TLineErrors now{counters.frame, counters.overrun, counters.buf_overrun};
  const TLineErrors since{now.Framing - Counted.Framing, now.Overrun - Counted.Overrun,
                          now.ReceiveOverflow - Counted.ReceiveOverflow};
  Counted = now;
  return since;
}

std::string ComPortPath(std::string_view iniFile, int port) {
  const std::string key = "COM" + std::to_string(port + 1);
  return TProfile("Serial Ports", iniFile).GetString(key, "/dev/ttyS" + std::to_string(port));
}
