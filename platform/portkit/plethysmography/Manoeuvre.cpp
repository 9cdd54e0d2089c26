#include "platform/portkit/plethysmography/Manoeuvre.h"

#include "platform/portkit/plethysmography/ControlWords.h"

#include <cmath>

namespace plethysmography {

namespace {

constexpr double BreathStartMlS = 60.0;
constexpr std::uint16_t EventWindow = 10;    // samples after an event that are not read for the next
constexpr std::uint16_t ToggleWindow = 100;  // after the loops end and after the toggle back

}  // namespace

bool BreathStart::Feed(double flowMlS) {
  if (begun_)
    return true;
  if (std::fabs(flowMlS) < BreathStartMlS)
    return false;
  if (flowMlS > 0.0)
    breathIn_ = true;
  else if (breathIn_)
    begun_ = true;
  return begun_;
}

Manoeuvre::Manoeuvre(const ManoeuvreSettings& settings, std::uint16_t word)
    : settings_(settings), word_(word), resistanceBreathsLeft_(settings.resistanceBreaths),
      tgvCyclesLeft_(settings.tgvCycles) {}

std::vector<std::uint16_t> Manoeuvre::Send(std::uint16_t word) {
  word_ = word;
  return {word};
}

std::vector<std::uint16_t> Manoeuvre::Feed(const ManoeuvreSample& s) {
  using namespace words;
  if (tgvStart_ != 0) {
    // Against the shutter: the mouth pressure's crossings count the panting.
    if (s.mouthBefore > 0.0f && s.mouth <= 0.0f && s.index > nextEvent_) {
      nextEvent_ = static_cast<std::uint16_t>(s.index + EventWindow);
      if (--tgvCyclesLeft_ < 0 && end_ == 0) {
        end_ = s.index;
        return Send(Set(word_, OpenBit));
      }
    }
    return {};
  }
  if (!(s.flowBefore <= 0.0f && s.flow > 0.0f && s.index > nextEvent_))
    return {};
  // An inspiration starts.
  nextEvent_ = static_cast<std::uint16_t>(s.index + EventWindow);
  liveVolumeZero_ = s.volumeL;
  std::vector<std::uint16_t> sent;
  if (resistanceStart_ == 0 && shutterRequested_) {
    if (word_ & BreathEventBit) {
      std::uint16_t w = Clear(word_, BreathEventBit);
      if (settings_.breathingRate >= 70)
        w = Set(w, RateBit);
      return Send(w);
    }
    if (--loopBreathsLeft_ < 0) {
      resistanceStart_ = static_cast<std::uint16_t>(s.index - 1);
      firstBoxResistance_ = s.boxPa;
    }
  }
  if (resistanceStart_ == 0 || --resistanceBreathsLeft_ >= 0)
    return sent;
  if (resistanceEnd_ == 0) {
    resistanceEnd_ = s.index;
    nextEvent_ = static_cast<std::uint16_t>(s.index + ToggleWindow);
    return Send(Set(word_, BreathEventBit));
  }
  if (word_ & BreathEventBit) {
    nextEvent_ = static_cast<std::uint16_t>(s.index + ToggleWindow);
    return Send(Clear(word_, BreathEventBit));
  }
  if (--shutterBreathsLeft_ < 0) {
    tgvStart_ = static_cast<std::uint16_t>(s.index + 1);
    firstBoxTgv_ = s.boxPa;
    return Send(Clear(Clear(word_, ShutterBit), OpenBit));
  }
  return sent;
}

}  // namespace plethysmography
