// The calibration of the body box: the syringe strokes through the flow
// sensor, then (after the door, the settling and a new zero) the leak test
// of the closed box and the box pressure against the built-in pump. The
// arithmetic is platform/portkit/plethysmography/BoxCalibration.h.

#include "measure/core/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/plethysmography/BoxCalibration.h"
#include "platform/portkit/plethysmography/ControlWords.h"

#include <cmath>
#include <span>

namespace {

namespace W = plethysmography::words;

constexpr auto BoxPaPerCount = static_cast<float>(InstrumentProtocol::BoxPaPerCount);
constexpr std::size_t BoxTestSamples = 1500;
constexpr unsigned char StatusPumpMoving = 0x01;
constexpr unsigned char StatusPumpSettling = 0x02;
constexpr std::uint32_t StuckPumpSamples = static_cast<std::uint32_t>(plethysmography::PumpTimeoutS * 100.0);
constexpr float PressureOffsetPa = 8.0f;  // the pump's swing is recorded about this line

int StrokeText(plethysmography::StrokeFailure failure) {
  using F = plethysmography::StrokeFailure;
  switch (failure) {
  case F::TooFewStrokes: return 20;
  case F::Unbalanced: return 21;
  case F::Uneven: return 22;
  case F::FactorOutOfRange: return 23;
  default: return 0;
  }
}

}  // namespace

void TMeasureCore::StartPlethyCalibration() {
  TPlethysmographState& p = Plethysmograph;
  p.LeakTestStarted = false;
  p.BoxPressureCalFailed = false;
  p.SkipFlowCalibration = false;
  p.KeepFlowConstants = false;
  p.PumpStatusSamples = 0;
  p.PumpStuck = false;
  p.LeakCount = 0;
  p.PressureCount = 0;
  p.StrokeTable.assign(1, 0.0f);  // the strokes start from the volume 0
  p.CalibrationHeld = true;
  if (!DoorFlag) {
    // The box has stayed shut: its flow sensor keeps its factors, and the
    // box tests follow the settling at once.
    p.SkipFlowCalibration = true;
    p.KeepFlowConstants = true;
    SkipMark = true;
    SendPlethyWord(W::Idle);
    WaitingCloseTheDoor();
  } else {
    MeasuredBTPSParams(W::Breathing);
    DoZeroPlethyUnderMeasurement();
  }
}

void TMeasureCore::CountPlethyStroke(float volumeL) { Plethysmograph.StrokeTable.push_back(volumeL); }

bool TMeasureCore::TestCalculateOfPlethyCalibration(float& inspiration, float& expiration, bool interactive) {
  const int n = CalStrokes;
  const plethysmography::StrokeCheck check = plethysmography::CheckSyringeStrokes(
      Plethysmograph.StrokeTable, n, static_cast<double>(SyringeVolume), interactive);
  if (check.failure != plethysmography::StrokeFailure::None) {
    if (interactive) {
      const int text = StrokeText(check.failure);
      if (Messages && text == 20)
        Messages->MessageBoxText(Messages->Format(text, {std::to_string(n)}), 0, TMessageIcon::Information);
      else if (Messages && text != 0)
        Messages->MessageBox(text, 0, TMessageIcon::Information);
      ClearBuffer(TrialIndex);
    }
    return false;
  }
  inspiration += static_cast<float>(check.inspiratoryFactor);
  expiration += static_cast<float>(check.expiratoryFactor);
  if (interactive)
    SyringeStrokeVolumes = {static_cast<float>(check.inspiratoryCheckL), static_cast<float>(check.expiratoryCheckL),
                            static_cast<float>(check.inspiratoryCheckL), static_cast<float>(check.expiratoryCheckL)};
  return true;
}

void TMeasureCore::PressureTest1() {
  PlethyPause(50);
  SetPumpPosition(0, W::BreathEventBit);
  SendPlethyWord(W::LeakTestWord(BreathingRate));
  TestMode = StepBoxLeakPump;
  Plethysmograph.LeakTestStarted = true;
  Plethysmograph.PumpStatusSamples = 0;
  // The box tests' pressure chart takes the cleared graph area; the strokes
  // stay below it.
  View->ClearWorkArea();
  ClearPlethyPanel();
  View->CopyScreen();
  LetWaitingEventsThrough();
  InterruptIndex = 0;
}

bool TMeasureCore::PumpStillSetting(unsigned char statusBit) {
  if (!HasInstrument || (InstrumentStatus & statusBit) == 0)
    return false;
  // A pump that keeps reporting its status has stuck: waiting on would
  // hold the calibration for ever.
  if (++Plethysmograph.PumpStatusSamples >= StuckPumpSamples && !Plethysmograph.PumpStuck) {
    Plethysmograph.PumpStuck = true;
    StopRequest = 1;
    if (Messages)
      Messages->MessageBox(StuckPumpText, 0, TMessageIcon::Stop);
  }
  return true;
}

void TMeasureCore::LeakSample(std::size_t i, TParam2 sample) {
  if (PumpStillSetting(StatusPumpMoving))
    return;
  FlagBegin = true;
  // The record ends at the buffer's end, whatever index the link reports.
  if (i >= BoxTestSamples || i >= PressureA.size()) {
    CalculateBoxLeakageTimeConst();
    PressureTest2();
    return;
  }
  PressureA[i] = static_cast<float>(sample) * BoxPaPerCount - BoxZero;
  Plethysmograph.LeakCount = static_cast<short>(i);
  View->DrawPressureCurve(0, static_cast<short>(i));
}

bool TMeasureCore::CalculateBoxLeakageTimeConst() {
  const TPlethysmographSettings& s = Settings.Plethysmograph;
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(Plethysmograph.LeakCount) + 1,
                                                  PressureA.size());
  Plethysmograph.BoxLeakageTime = static_cast<float>(
      plethysmography::LeakTimeConstantS(std::span<const float>(PressureA.data(), count), s.NumberOfPart));
  return s.MinBoxLeakageTimeS <= Plethysmograph.BoxLeakageTime &&
         Plethysmograph.BoxLeakageTime <= s.MaxBoxLeakageTimeS;
}

void TMeasureCore::PressureTest2() {
  FlagBegin = false;
  TestMode = StepBoxLeakHold;
  Plethysmograph.PumpStatusSamples = 0;
  SetPumpPosition(1, W::BreathEventBit);
  View->CopyScreen();
  LetWaitingEventsThrough();
  InterruptIndex = 0;
}

void TMeasureCore::PumpSample(std::size_t i, TParam2 sample) {
  if (!FlagBegin && PumpStillSetting(StatusPumpSettling))
    return;
  FlagBegin = true;
  if (i >= BoxTestSamples || i >= PressureB.size()) {
    CalculateBoxPressCalConst();
    StopRequest = 1;
    return;
  }
  PressureB[i] = PressureOffsetPa - (static_cast<float>(sample) * BoxPaPerCount - BoxZero);
  Plethysmograph.PressureCount = static_cast<short>(i);
  View->DrawPressureCurve(1, static_cast<short>(i));
}

void TMeasureCore::CalculateBoxPressCalConst() {
  TPlethysmographState& p = Plethysmograph;
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(p.PressureCount) + 1, PressureB.size());
  float temperatureC = 20.0f;
  float pressureHpa = 1013.25f;
  BtpsConditions(temperatureC, pressureHpa);
  const std::optional<plethysmography::BoxPressureCalibration> c =
      plethysmography::CalibrateBoxPressure(std::span<const float>(PressureB.data(), count), pressureHpa,
                                            Settings.Plethysmograph.CalibrationVolumeL,
                                            Settings.Plethysmograph.VolumeOfCabinL);
  if (!c) {
    p.BoxPressureCalFailed = true;
    return;
  }
  p.BoxPressureAmplitude = static_cast<float>(c->amplitudePa);
  p.BoxPressureExpected = static_cast<float>(c->expectedPa);
  p.BoxPressureFactor = static_cast<float>(c->factor);
}

bool TMeasureCore::CalculatePlethyCalibrationConstans() {
  TPlethysmographState& p = Plethysmograph;
  // A calibration that never reached its box tests (stopped, or its pump
  // stuck) has nothing to store.
  if (p.PumpStuck || !p.LeakTestStarted)
    return false;
  const bool keep = p.KeepFlowConstants || p.SkipFlowCalibration;
  plethysmography::CalibrationOutcome o;
  o.skipFlowCalibration = p.SkipFlowCalibration;
  o.keepFlowConstants = p.KeepFlowConstants;
  o.currentInspiratory = InspFactor;
  o.currentExpiratory = ExpFactor;
  o.pressureCalibrationFailed = p.BoxPressureCalFailed;
  o.boxPressureFactor = p.BoxPressureFactor;
  if (!p.KeepFlowConstants) {
    float inspiration = 0.0f;
    float expiration = 0.0f;
    // A skipped syringe leaves the factors in use; only a check that passes
    // replaces them.
    if (TestCalculateOfPlethyCalibration(inspiration, expiration, true)) {
      o.strokes.inspiratoryFactor = inspiration;
      o.strokes.expiratoryFactor = expiration;
    } else {
      o.strokes.failure = plethysmography::StrokeFailure::TooFewStrokes;
    }
  } else if (keep) {
    SyringeStrokeVolumes[0] = SyringeStrokeVolumes[2];
    SyringeStrokeVolumes[1] = SyringeStrokeVolumes[3];
  }
  const plethysmography::CalibrationVerdict v = plethysmography::JudgeBoxCalibration(o);
  if (!v.save)
    return false;
  for (const int warning : v.warnings)
    if (Messages)
      Messages->MessageBox(warning, 0, TMessageIcon::Information);
  InspFactor = static_cast<float>(v.inspiratoryFactor);
  ExpFactor = static_cast<float>(v.expiratoryFactor);
  BoxReferencePressure = p.BoxPressureExpected;
  BoxConstant = p.BoxPressureAmplitude;
  TimeConstant = p.BoxLeakageTime;
  WriteLastCalibrateDateAndTime();
  return true;
}
