#include "tools/lungsim/SimulatorTransport.h"

#include <algorithm>

std::optional<std::size_t> TSimulatorTransport::Read(std::span<std::uint8_t> buffer) {
  const std::size_t n = std::min(buffer.size(), Arrived.size());
  std::copy_n(Arrived.begin(), n, buffer.begin());
  Arrived.erase(Arrived.begin(), Arrived.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

bool TSimulatorTransport::Write(std::span<const std::uint8_t> bytes) {
  Instrument->Receive(bytes);
  // An answer (the identity) waits for the next look at the port.
  const auto answer = Instrument->TakeOutput();
  Arrived.insert(Arrived.end(), answer.begin(), answer.end());
  return true;
}

void TSimulatorTransport::Tick() {
  Instrument->Tick();
  const auto frames = Instrument->TakeOutput();
  Arrived.insert(Arrived.end(), frames.begin(), frames.end());
  if (!Arrived.empty() && Ready)
    Ready();
}
