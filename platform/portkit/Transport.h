#pragma once

// One interface for every device the instrument link talks to: a serial
// port, an FTDI USB device, the demonstration replay, and the fakes of the
// tests. The link reads, writes and waits through it and never asks which
// kind of device it has.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

class TTransport {
public:
  virtual ~TTransport() = default;

  // How the user knows the device: "COM1 (/dev/ttyS0)", "USB "Spirometer"".
  virtual std::string Name() const = 0;

  // Reads what has arrived, without waiting: the count read (0 when
  // nothing waits), or nothing when the device is gone (Error() says why).
  virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
  // Sends every byte; false when the device is gone.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Waits at most `timeoutMs` for something to read (or for the device to
  // go away); false when nothing came.
  virtual bool WaitForData(int timeoutMs) = 0;
  // Drops what the instrument sent that was not read yet. What was written
  // still goes out: a command just sent (the nebulizer off, the stream off)
  // must reach the instrument even when a new acquisition starts at once.
  virtual void Purge() = 0;
  // Calls `ready` in the user-interface thread whenever Read may find
  // something; an empty function stops the calls.
  virtual void Watch(std::function<void()> ready) = 0;

  virtual const std::string& Error() const = 0;

  // Raises or drops DTR and RTS. A device without modem lines (a
  // pseudo-terminal, the fakes) has nothing to drive and answers true.
  virtual bool SetDtr(bool /*on*/) { return true; }
  virtual bool SetRts(bool /*on*/) { return true; }
  // The line errors the device has seen since the last call.
  struct TLineErrors {
    int Framing = 0;
    int Overrun = 0;
    int ReceiveOverflow = 0;
  };
  virtual TLineErrors TakeLineErrors() { return {}; }
};

// Why a device could not be opened.
enum class TPortFailure { None, NotConfigured, UnknownPort, Missing, Busy, Denied, NotSerial, BadBaudRate, Other };

struct TPortError {
  TPortFailure Kind = TPortFailure::None;
  std::string Detail;  // the system's own words, when it gave any
};
