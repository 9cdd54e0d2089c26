#pragma once

// The simulated audiometer behind the transport interface, inside the
// process: what the link writes reaches it at once, and what it answers is
// there to read when the clock has come to it. The owner of the clock calls
// Poll() after moving it, as a socket notifier would fire.

#include "platform/portkit/Transport.h"
#include "tools/audiosim/SimulatedAudiometer.h"

#include <functional>
#include <memory>
#include <utility>

class TAudioSimTransport final : public TTransport {
public:
  TAudioSimTransport(std::shared_ptr<TSimulatedAudiometer> device, std::function<std::int64_t()> nowMs);

  std::string Name() const override { return "simulated audiometer"; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int) override;
  void Purge() override;
  void Watch(std::function<void()> ready) override { Ready = std::move(ready); }
  const std::string& Error() const override { return LastError; }
  TLineErrors TakeLineErrors() override { return std::exchange(LineErrors, {}); }
  // Line errors the next look at the port finds (a noisy cable).
  void InjectLineErrors(TLineErrors errors) { LineErrors = errors; }

  // Calls the watch when something waits to be read or the line hung up.
  void Poll();

private:
  std::shared_ptr<TSimulatedAudiometer> Device;
  std::function<std::int64_t()> NowMs;
  std::vector<std::uint8_t> Arrived;
  std::function<void()> Ready;
  std::string LastError;
  bool Reported = false;
  TLineErrors LineErrors;
};
