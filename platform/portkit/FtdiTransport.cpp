#include "platform/portkit/FtdiTransport.h"

#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <array>

std::unique_ptr<TFtdiTransport> TFtdiTransport::Open(std::string_view description, int baudRate, TLinkClock& clock,
                                                     TPortError& error) {
  if (description.empty()) {
    error = {TPortFailure::NotConfigured, {}};
    return nullptr;
  }
  std::string why;
  bool missing = false;
  auto device = TFtdiDevice::Open(description, baudRate, why, missing);
  if (!device) {
    error = {missing ? TPortFailure::Missing : TPortFailure::Other, why};
    return nullptr;
  }
  error = {};
  return std::unique_ptr<TFtdiTransport>(new TFtdiTransport(std::move(device), std::string(description), clock));
}

TFtdiTransport::TFtdiTransport(std::unique_ptr<TFtdiDevice> device, std::string description, TLinkClock& clock)
    : Device(std::move(device)), Description(std::move(description)), Clock(clock) {}

std::string TFtdiTransport::Name() const { return "USB \"" + Description + "\""; }

bool TFtdiTransport::Fetch() {
  if (IsGone)
    return false;
  std::array<std::uint8_t, 512> chunk{};
  for (;;) {
    const int got = Device->Read(chunk);
    if (got < 0) {
      IsGone = true;
      LastError = Device->Error();
      return false;
    }
    Arrived.insert(Arrived.end(), chunk.begin(), chunk.begin() + got);
    if (got < static_cast<int>(chunk.size()))
      return true;
  }
}

std::optional<std::size_t> TFtdiTransport::Read(std::span<std::uint8_t> buffer) {
  if (Arrived.empty() && !Fetch())
    return std::nullopt;
  const std::size_t count = std::min(buffer.size(), Arrived.size());
  std::copy_n(Arrived.begin(), count, buffer.begin());
  Arrived.erase(Arrived.begin(), Arrived.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool TFtdiTransport::Write(std::span<const std::uint8_t> bytes) {
  if (IsGone)
    return false;
  if (Device->Write(bytes))
    return true;
  IsGone = true;
  LastError = Device->Error();
  return false;
}

bool TFtdiTransport::WaitForData(int timeoutMs) {
  const std::int64_t deadline = Clock.NowMs() + timeoutMs;
  do {
    if (!Fetch() || !Arrived.empty())
      return true;
  } while (Clock.NowMs() < deadline);  // each fetch waits the chip's latency
  return false;
}

void TFtdiTransport::Purge() {
  Arrived.clear();
  if (!IsGone)
    Device->Purge();
}

void TFtdiTransport::Watch(std::function<void()> ready) {
  if (!ready || IsGone) {
    Poll.reset();
    return;
  }
  Poll = Clock.Every(InstrumentProtocol::SamplePeriodMs, [this, ready = std::move(ready)] {
    if (!Fetch() || !Arrived.empty())
      ready();
  });
}

TTransport::TLineErrors TFtdiTransport::TakeLineErrors() {
  constexpr int Overrun = 0x02;
  constexpr int Framing = 0x08;
  const int status = IsGone ? -1 : Device->LineStatus();
  if (status < 0)
    return {};
  return {(status & Framing) ? 1 : 0, (status & Overrun) ? 1 : 0, 0};
}
