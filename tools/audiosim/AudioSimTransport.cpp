#include "tools/audiosim/AudioSimTransport.h"

#include <algorithm>

TAudioSimTransport::TAudioSimTransport(std::shared_ptr<TSimulatedAudiometer> device,
                                       std::function<std::int64_t()> nowMs)
    : Device(std::move(device)), NowMs(std::move(nowMs)) {}

std::optional<std::size_t> TAudioSimTransport::Read(std::span<std::uint8_t> buffer) {
  Device->Advance(NowMs());
  const auto output = Device->TakeOutput();
  Arrived.insert(Arrived.end(), output.begin(), output.end());
  if (Arrived.empty() && Device->HungUp()) {
    LastError = "the device hung up";
    return std::nullopt;
  }
  const std::size_t count = std::min(buffer.size(), Arrived.size());
  std::copy_n(Arrived.begin(), count, buffer.begin());
  Arrived.erase(Arrived.begin(), Arrived.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool TAudioSimTransport::Write(std::span<const std::uint8_t> bytes) {
  if (Device->HungUp()) {
    LastError = "the device hung up";
    return false;
  }
  Device->Receive(bytes, NowMs());
  return true;
}

bool TAudioSimTransport::WaitForData(int) {
  Device->Advance(NowMs());
  return Device->HasOutput() || !Arrived.empty() || Device->HungUp();
}

void TAudioSimTransport::Purge() {
  Device->Advance(NowMs());
  Device->TakeOutput();
  Arrived.clear();
}

void TAudioSimTransport::Poll() {
  Device->Advance(NowMs());
  const bool hungUp = Device->HungUp() && !Reported;
  if (!(Device->HasOutput() || !Arrived.empty() || hungUp) || !Ready)
    return;
  if (hungUp)
    Reported = true;
  if (const auto ready = Ready)
    ready();
}
