#include "tools/lungsim/PlethysmographHead.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>

namespace {

constexpr std::uint16_t BitShutterHold = 0x1000;
constexpr std::uint16_t BitShutterOpen = 0x0001;
constexpr std::uint16_t BitPump1 = 0x0200;
constexpr std::uint16_t BitPump0 = 0x0100;
constexpr std::uint16_t BitZeroSamples = 0x0004;
constexpr std::uint16_t BitBoxTest = 0x0010;  // clear during the box tests
constexpr std::uint16_t BitStop = 0x4000;
constexpr std::uint8_t StatusPumpMoving = 0x01;
constexpr std::uint8_t StatusPumpSettling = 0x02;
constexpr std::uint8_t StatusDoorOpen = 0x04;

}  // namespace

TPlethysmographHead::TPlethysmographHead(const LungModel::TPatient& patient, TBoxHeadOptions options, bool stuckPump,
                                         TLog log)
    : Patient(patient), Options(std::move(options)), StuckPump(stuckPump), Log(std::move(log)) {}

void TPlethysmographHead::StartPatient() { Model.emplace(Patient, Options.Box); }

void TPlethysmographHead::ApplyWord(std::uint16_t word) {
  Word = word;
  const bool closed = !(word & BitShutterHold) && !(word & BitShutterOpen);
  if (closed != ShutterClosed) {
    ShutterClosed = closed;
    Log(closed ? "shutter closed" : "shutter opened");
    // The gas the panting compresses is the lung as the word found it: a
    // word that crossed the line late finds the breath further in.
    if (closed && Model) {
      std::array<char, 48> text{};
      std::snprintf(text.data(), text.size(), "lung volume at the closure %.4f L", Model->LungVolumeL());
      Log(text.data());
    }
  }
  TPump pump = TPump::None;
  if (!(word & BitStop))
    pump = TPump::None;
  else if (!(word & BitPump0))
    pump = TPump::Leak;
  else if (!(word & BitPump1))
    pump = TPump::Calibration;
  else if (Pump == TPump::Leak && !(word & BitBoxTest))
    pump = TPump::Leak;  // the leak test runs on after the pump has set it up
  if (pump != Pump) {
    Pump = pump;
    PumpSamples = 0;
    if (pump != TPump::None)
      Log(pump == TPump::Leak ? "leak pump set" : "calibration pump set");
  }
}

TPlethysmographHead::TSample TPlethysmographHead::Tick(double seconds, bool doorOpenFromStart) {
  TSample s;
  const bool doorOpen = doorOpenFromStart || (Options.DoorOpenAtS >= 0.0 && seconds >= Options.DoorOpenAtS &&
                                              (Options.DoorCloseAtS < 0.0 || seconds < Options.DoorCloseAtS));
  if (doorOpen)
    s.Status |= StatusDoorOpen;
  if (Pump != TPump::None) {
    ++PumpSamples;
    const long settling = std::lround(Options.PumpSettleS / LungModel::SampleSeconds);
    const double running = static_cast<double>(PumpSamples - settling - 1) * LungModel::SampleSeconds;
    if (StuckPump || PumpSamples <= settling) {
      s.Status |= Pump == TPump::Leak ? StatusPumpMoving : StatusPumpSettling;
      return s;
    }
    const LungModel::TBoxSettings& b = Options.Box;
    if (Pump == TPump::Leak) {
      s.BoxPa = b.LeakStepPa * std::exp(-running / b.LeakTauS);
    } else {
      const double swingPa = b.BoxFactor * b.Air.PressureHpa * 100.0 * b.CalibrationVolumeL / b.CabinL;
      // The piston starts from the end of its stroke where it was set.
      s.BoxPa = -swingPa / 2.0 * std::cos(2.0 * std::numbers::pi * b.PumpHz * running);
    }
    return s;
  }
  if (!Model || !(Word & BitZeroSamples))
    return s;  // nobody breathing, or the transducers held at zero
  const LungModel::TBoxModel::TSignals m = Model->Next(ShutterClosed);
  s.FlowLps = m.FlowLps;
  s.BoxPa = m.BoxPa;
  s.MouthPa = m.MouthPa;
  return s;
}
