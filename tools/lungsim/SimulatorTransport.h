#pragma once

// The simulated lung-function instrument behind the transport interface,
// inside the process: what the link writes reaches it at once, and each
// Tick() plays one sample period and lets the link know that its frames
// wait. The owner of the link's clock moves the clock between the ticks.

#include "platform/portkit/Transport.h"
#include "tools/lungsim/SimulatedInstrument.h"

#include <functional>
#include <memory>
#include <vector>

class TSimulatorTransport final : public TTransport {
public:
  explicit TSimulatorTransport(std::shared_ptr<TSimulatedInstrument> instrument)
      : Instrument(std::move(instrument)) {}

  std::string Name() const override { return "simulated instrument"; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int) override { return !Arrived.empty(); }
  void Purge() override { Arrived.clear(); }
  void Watch(std::function<void()> ready) override { Ready = std::move(ready); }
  const std::string& Error() const override { return NoError; }

  // One sample period of the instrument; its frames are then there to read.
  void Tick();

private:
  std::shared_ptr<TSimulatedInstrument> Instrument;
  std::vector<std::uint8_t> Arrived;
  std::function<void()> Ready;
  std::string NoError;
};
