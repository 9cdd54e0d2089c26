#pragma once

// One FTDI USB device over libftdi1, found by the USB description that its
// EEPROM holds ("Spirometer", "Diffusion", ...), and the list of the
// descriptions of the attached devices.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ftdi_context;

class TFtdiDevice {
public:
  struct TList {
    std::vector<std::string> Descriptions;
    std::string Error;  // why the bus could not be searched; empty when it could
  };
  // The descriptions of the attached FTDI devices, in bus order.
  static TList ListDescriptions();

  // Opens the first attached device whose description is `description`,
  // raw 8N1 at `baudRate` without flow control. Nothing when there is none
  // or it cannot be opened; `error` says why, and `missing` tells the first
  // case from the second.
  static std::unique_ptr<TFtdiDevice> Open(std::string_view description, int baudRate, std::string& error,
                                           bool& missing);
  ~TFtdiDevice();
  TFtdiDevice(const TFtdiDevice&) = delete;
  TFtdiDevice& operator=(const TFtdiDevice&) = delete;

  // Reads what the chip has, waiting at most its latency (a few ms): the
  // count read, or -1 when the device is gone (Error() says why).
  int Read(std::span<std::uint8_t> buffer);
  bool Write(std::span<const std::uint8_t> bytes);
  bool Purge();
  bool SetDtr(bool on);
  bool SetRts(bool on);
  // The chip's line status byte (bit 1 overrun, bit 3 framing error) as it
  // stands now; -1 when it cannot be read.
  int LineStatus();
  const std::string& Error() const { return LastError; }

private:
  struct TContextDeleter {
    void operator()(ftdi_context* context) const;
  };
  using TContext = std::unique_ptr<ftdi_context, TContextDeleter>;

  explicit TFtdiDevice(TContext context) : Context(std::move(context)) {}
  static TContext NewContext(std::string& error);

  TContext Context;
  std::string LastError;
};
