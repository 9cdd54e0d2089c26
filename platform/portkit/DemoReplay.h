#pragma once

// Stands in for the instrument when there is none: an instrument inside
// the program that answers the port check with the configured hardware
// version and, while its stream is on, sends one sample frame every 10 ms
// from the samples it takes when the stream is switched on (the current
// trial's demonstration data). After the last one it sends zero flow, so
// the window sees the index pass the end of its data.

#include "platform/portkit/LinkClock.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/Transport.h"

#include <functional>
#include <memory>
#include <vector>

class TDemoReplay final : public TTransport {
public:
  using TSource = std::function<std::vector<InstrumentProtocol::TSample>()>;

  TDemoReplay(TLinkClock& clock, std::uint16_t hardwareVersion, TSource source);

  std::string Name() const override { return "DEMO"; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int timeoutMs) override;
  void Purge() override { Outgoing.clear(); }
  void Watch(std::function<void()> ready) override { Ready = std::move(ready); }
  const std::string& Error() const override { return NoError; }

private:
  void Tick();

  TLinkClock& Clock;
  std::uint16_t HardwareVersion;
  TSource Source;
  InstrumentProtocol::TFrameDecoder Incoming;
  InstrumentProtocol::TBytes Outgoing;
  std::vector<InstrumentProtocol::TSample> Samples;
  std::size_t Next = 0;
  std::uint8_t Sequence = 0;
  std::uint16_t Word = InstrumentProtocol::WordIdle;
  std::function<void()> Ready;
  std::unique_ptr<TLinkClock::TTimer> Timer;
  std::string NoError;
};
