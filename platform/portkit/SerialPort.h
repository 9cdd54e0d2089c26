#pragma once

// A serial port through termios: raw 8N1 without flow control, opened for
// this program alone, its settings put back when it is closed. Its file
// descriptor is watched with a QSocketNotifier, so that arriving bytes are
// read in the user-interface thread.

#include "platform/portkit/Transport.h"

#include <memory>
#include <string>
#include <string_view>

#include <sys/ioctl.h>
#include <termios.h>

class QSocketNotifier;

class TSerialPort final : public TTransport {
public:
  // Opens `path` at `baudRate` bits per second (a rate that termios has no
  // constant for, 56000 or 128000, is set as an arbitrary rate); nothing
  // when it cannot be opened, with the reason in `error`. `name` is how
  // messages name it.
  static std::unique_ptr<TSerialPort> Open(const std::string& path, std::string name, int baudRate,
                                           TPortError& error);
  ~TSerialPort() override;

  std::string Name() const override { return PortName; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int timeoutMs) override;
  void Purge() override;
  void Watch(std::function<void()> ready) override;
  const std::string& Error() const override { return LastError; }
  bool SetDtr(bool on) override { return SetModemLine(TIOCM_DTR, on); }
  bool SetRts(bool on) override { return SetModemLine(TIOCM_RTS, on); }
  // From the driver's interrupt counters; a device without them (a
  // pseudo-terminal) reports none.
  TLineErrors TakeLineErrors() override;
  // The rate the line runs at, as the driver reports it.
  int ActualBaudRate() const;

private:
  TSerialPort(int fd, std::string name, const termios& saved);
  bool SetModemLine(int line, bool on);
  void Gone(std::string why);
  void DropNotifier();

  int Fd;
  std::string PortName;
  termios Saved;
  std::string LastError;
  bool IsGone = false;
  bool InReady = false;
  std::function<void()> Ready;
  std::unique_ptr<QSocketNotifier> Notifier;
  std::unique_ptr<QSocketNotifier> RetiredNotifier;  // disabled inside its own signal; deleted later
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
  TLineErrors Counted;  // the driver's counts at the last TakeLineErrors
};

// The device of COM1 to COM6 (port 0 to 5): section "Serial Ports", keys
// "COM1" to "COM6" of the ini file, "/dev/ttyS0" to "/dev/ttyS5" by default.
std::string ComPortPath(std::string_view iniFile, int port);
