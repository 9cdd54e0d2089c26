#include "platform/portkit/DemoReplay.h"

#include <algorithm>

using namespace InstrumentProtocol;

TDemoReplay::TDemoReplay(TLinkClock& clock, std::uint16_t hardwareVersion, TSource source)
    : Clock(clock), HardwareVersion(hardwareVersion), Source(std::move(source)) {}

std::optional<std::size_t> TDemoReplay::Read(std::span<std::uint8_t> buffer) {
  const std::size_t count = std::min(buffer.size(), Outgoing.size());
  std::copy_n(Outgoing.begin(), count, buffer.begin());
  Outgoing.erase(Outgoing.begin(), Outgoing.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool TDemoReplay::Write(std::span<const std::uint8_t> bytes) {
  Incoming.Feed(bytes);
  while (const auto frame = Incoming.Next()) {
    if (frame->Type == TFrameType::Identify) {
      AppendIdentity(Outgoing, {Version, HardwareVersion, 0, ChannelFlow});
    } else if (const auto on = ReadStream(*frame)) {
      Timer.reset();
      if (*on) {
        Samples = Source ? Source() : std::vector<TSample>{};
        Next = 0;
        Sequence = 0;
        Timer = Clock.Every(SamplePeriodMs, [this] { Tick(); });
      }
    } else if (const auto word = ReadControlWord(*frame)) {
      Word = *word;
    }
  }
  return true;
}

bool TDemoReplay::WaitForData(int) { return !Outgoing.empty(); }

void TDemoReplay::Tick() {
  TSample sample;
  if (Next < Samples.size()) {
    sample = Samples[Next++];
  } else {
    sample.Channels = Samples.empty() ? std::uint8_t{ChannelFlow} : Samples.front().Channels;  // at rest
  }
  sample.Sequence = Sequence++;
  AppendSample(Outgoing, sample);
  if (!(Word & BitAnalogMpx))
    AppendSensors(Outgoing, SensorWords({}, HardwareVersion));
  if (const auto ready = Ready)  // the call may end the watch
    ready();
}
