#pragma once

// The instrument behind an FTDI USB device. The device has no file
// descriptor to watch, so it is polled every 10 ms.

#include "platform/ftdi/FtdiDevice.h"
#include "platform/portkit/LinkClock.h"
#include "platform/portkit/Transport.h"

#include <memory>
#include <string_view>
#include <vector>

class TFtdiTransport final : public TTransport {
public:
  static std::unique_ptr<TFtdiTransport> Open(std::string_view description, int baudRate, TLinkClock& clock,
                                              TPortError& error);

  std::string Name() const override;
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int timeoutMs) override;
  void Purge() override;
  void Watch(std::function<void()> ready) override;
  const std::string& Error() const override { return LastError; }
  bool SetDtr(bool on) override { return !IsGone && Device->SetDtr(on); }
  bool SetRts(bool on) override { return !IsGone && Device->SetRts(on); }
  // The chip reports errors as they stand when asked: each ask that finds
  // one counts it once.
  TLineErrors TakeLineErrors() override;

private:
  TFtdiTransport(std::unique_ptr<TFtdiDevice> device, std::string description, TLinkClock& clock);
  // Moves what the chip has into Arrived; false when the device is gone.
  bool Fetch();

  std::unique_ptr<TFtdiDevice> Device;
  std::string Description;
  TLinkClock& Clock;
  std::vector<std::uint8_t> Arrived;
  std::string LastError;
  bool IsGone = false;
  std::unique_ptr<TLinkClock::TTimer> Poll;
};
