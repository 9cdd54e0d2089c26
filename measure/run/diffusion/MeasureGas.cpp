// The steps of the diffusion unit's gas sequence, shared by the diffusion
// calibration and the single-breath test: washing out the gas path,
// automatic zero, the delay that zeroes the analysers, the breath hold, the
// sample window, the expiration and the gas analysis, with the count-downs
// the operator reads meanwhile.

#include "measure/core/MeasureCore.h"

#include "common/CommandNumbers.h"
#include "measure/run/diffusion/GasWords.h"
#include "measure/calibration/GasAnalysis.h"
#include "platform/basekit/Message.h"

#include <cstdio>
#include <new>

namespace {

constexpr int AutoZeroSamples = 30;
constexpr int BagOpenGraceTicks = 20;    // the bag pressure settles after the high-speed word
constexpr int BagEmptyTicks = 200;       // the low-speed phase lasts at least this long
constexpr int AnalysisSettleMs = 50;     // the valves move before the analysis word

}  // namespace

void TMeasureCore::SendWord(unsigned short word) {
  CmSendToSerialPort(word, 2);
  LastSentData = word;
}

void TMeasureCore::RestartHandler() {
  LetWaitingEventsThrough();
  InterruptIndex = 0;
  FlagBegin = true;
}

void TMeasureCore::ShowSequenceText(int textId, int left, int top, int right, int bottom) {
  View->ShowSequenceText(left, top, right, bottom, Messages ? Messages->LoadStringA(textId) : std::string());
}

void TMeasureCore::ShowCountDown(int textId, int seconds, bool dfcBox) {
  const std::string label = Messages ? Messages->LoadStringA(textId) : std::string();
  char text[160];
  std::snprintf(text, sizeof text, "%s:%4ds", label.c_str(), seconds);
  if (dfcBox)
    View->ShowSequenceText(8, 67, 312, 276, text);
  else
    View->ShowSequenceText(8, 283, 741, 456, text);
}

void TMeasureCore::WashingOutForCalibration() {
  if (StartId == 0)
    return;
  FlagBegin = false;
  Gas.BagOpenTimeout = false;
  const calibration::WashOutTimes times = calibration::WashOut(
      Diffusion.PreparationTimeTicks, Diffusion.PumpLowSpeedExtraTimeTicks, Diffusion.PreparationNumber);
  Gas.LowSpeedTicks = static_cast<short>(times.lowSpeedTicks);
  Gas.WashOutCountDown = static_cast<short>(times.countDownTicks);
  Gas.GasSampleTaken = false;
  View->ClearVolumeScreen();
  View->CopyScreen();
  SendWord(GasWords::WashOut);
  if (Messages)
    Messages->MessageBox(452, 1, TMessageIcon::Information);
  DemandAutoZero(6);
}

void TMeasureCore::WashingOutForMeasurement() {
  Gas.BagOpenTimeout = false;
  const calibration::WashOutTimes times = calibration::WashOut(
      Diffusion.PreparationTimeTicks, Diffusion.PumpLowSpeedExtraTimeTicks, Diffusion.PreparationNumber);
  Gas.LowSpeedTicks = static_cast<short>(times.lowSpeedTicks);
  Gas.WashOutCountDown = static_cast<short>(times.countDownTicks);
  Gas.GasSampleTaken = false;
  Gas.AutoZeroFlag = true;
  View->CopyScreen();
  LastSentData = GasWords::WashOut;
  DemandAutoZero(6);
}

void TMeasureCore::DemandAutoZero(short next) {
  Gas.StepAfterAutoZero = next;
  SendWord(static_cast<unsigned short>(LastSentData & ~GasWords::AutoZeroBit));
  Gas.AutoZeroCount = AutoZeroSamples;
  TestMode = 9;
}

void TMeasureCore::ShutterCloseBagOpenHighSpeed(short tick, float pressure) {
  if (StartId == 0)
    return;
  if (tick > Diffusion.PreparationTimeTicks) {
    FlagBegin = false;
    TestMode = 7;
    Gas.BagCloseTimeout = false;
    RestartHandler();
    return;
  }
  if (LastSentData == GasWords::HighSpeed) {
    if (tick > BagOpenGraceTicks && pressure >= static_cast<float>(Diffusion.ErrorPressure)) {
      // The bag does not open: the pump pushes against it.
      FlagBegin = false;
      Gas.CalibrationNotValid = true;
      Gas.BagOpenTimeout = true;
      // Nothing moves the sequence on from here: a test's trial has no
      // breath, and a calibration says at its end why it stored nothing.
      // The stop is asked for first, so that a sample the waiting messages
      // bring ends the run instead of timing out again inside this one.
      StopRequest = 1;
      LetWaitingEventsThrough();
      return;
    }
  } else {
    SendWord(GasWords::HighSpeed);
  }
  --Gas.WashOutCountDown;
  ShowCountDown(454, Gas.WashOutCountDown / 100, MeasureMode == MEASURE_DFC);
}

void TMeasureCore::ShutterOpenBagCloseLowSpeed(short tick, float pressure) {
  if (StartId == 0)
    return;
  if (!HasInstrument) {
    pressure = static_cast<float>(Diffusion.VacuumForBag);
  } else if (Gas.WashOutCountDown < 0) {
    // The bag never emptied to its vacuum within the wash-out's time.
    Gas.CalibrationNotValid = true;
    Gas.BagCloseTimeout = true;
    StopRequest = 1;  // as for the bag that does not open
    LetWaitingEventsThrough();
    return;
  }
  if (LastSentData == GasWords::LowSpeed) {
    if (tick > BagEmptyTicks && pressure >= static_cast<float>(Diffusion.VacuumForBag)) {
      if (Gas.WashOutCountDown < Gas.LowSpeedTicks) {
        Gas.GasSampleTaken = true;  // washed out
        return;
      }
      if (tick < Gas.LowSpeedTicks)
        Gas.WashOutCountDown = static_cast<short>(Gas.WashOutCountDown - (Gas.LowSpeedTicks - tick));
      FlagBegin = false;
      TestMode = 6;
      RestartHandler();
      return;
    }
  } else {
    SendWord(GasWords::LowSpeed);
  }
  const int seconds = Gas.WashOutCountDown / 100;
  --Gas.WashOutCountDown;
  const bool dfc = MeasureMode == MEASURE_DFC;
  if (dfc && seconds < Gas.LowSpeedTicks / 100)
    ShowSequenceText(459, 8, 172, 312, 276);
  ShowCountDown(454, seconds, dfc);
}

void TMeasureCore::DelayForSomeReason() {
  FlagBegin = false;
  TestMode = 10;
  Gas.AutoZeroFlag = false;
  Gas.ExtraDelayArmed = false;
  SendWord(MeasureMode == MEASURE_DFC ? GasWords::Sampling : GasWords::Idle);
  Gas.HeliumRing.fill(0);
  Gas.CoRing.fill(0);
  Gas.GasRingIndex = 0;
  Gas.DelayPending = true;
  RestartHandler();
}

void TMeasureCore::CalculateZeroValueForHEandCO() {
  if (!HasInstrument)
    return;
  long helium = 0;
  long co = 0;
  for (std::size_t k = 0; k < Gas.GasRingSamples; ++k) {
    helium += Gas.HeliumRing[k];
    co += Gas.CoRing[k];
  }
  HeZero = static_cast<short>(helium / static_cast<long>(Gas.GasRingSamples));
  CoZero = static_cast<short>(co / static_cast<long>(Gas.GasRingSamples));
}

void TMeasureCore::CmGas() {
  if (StartId == 0 && MeasureMode != MEASURE_DFC)
    return;
  Gas.GasRequest = true;
  Gas.GasRequestShown = true;
}

void TMeasureCore::GasInspiration(bool show) {
  if (show) {
    const std::string text = Messages ? Messages->LoadStringA(455) : std::string();
    View->ShowSequenceText(8, 440, 741, 450, "!!! " + text + " !!!");
  } else {
    View->ShowSequenceText(30, 435, 741, 450, std::string(50, ' '));
  }
}

void TMeasureCore::BreathHold() {
  if (StartId == 0)
    return;
  Gas.BreathHoldPending = true;
  Gas.BreathHoldCounter = 0;
  TestMode = 12;
  SendWord(GasWords::BreathHold);
}

void TMeasureCore::CalculateGasSamplingLimits() {
  if (StartId == 0)
    return;
  TestMode = 13;
  Gas.GasRequest = false;
  const float inspiredL = GasStartVolume - GasTurnVolume;
  calibration::SampleWindow window;
  if (calibration::GasSamplingLimits(inspiredL, Diffusion.GasCollectionVolumeL, Diffusion.GasSampleCorrection,
                                     Diffusion.WashOutVolumeL, window)) {
    GasDiscardVolume = window.startL;
    Gas.GasLow = window.startL;
    Gas.GasHigh = window.endL;
    View->ClearWorkArea();
    ShowSequenceText(457, 8, 67, 312, 276);
    View->CopyScreen();
    Gas.BreathHoldPending = false;
    SendWord(GasWords::Sampling);
    return;
  }
  Gas.CalibrationNotValid = true;
  Gas.GasSamplingLimit = true;
  LetWaitingEventsThrough();
  // Too little test gas for a sample: the trial will be refused, so the
  // patient need not breathe out into the bag nor wait for the analysis.
  if (MeasureMode == MEASURE_DFC)
    StopRequest = 1;
}

void TMeasureCore::GasExpiration() {
  TestMode = 0;
  View->ClearWorkArea();
  ShowSequenceText(460, 8, 172, 312, 276);
  View->CopyScreen();
  SendWord(GasWords::Sampling);
  if (!Clock) {
    GasAnalysis();
    return;
  }
  AnalysisDelay = Clock->Every(AnalysisSettleMs, [this] {
    AnalysisDelay.reset();
    if (StartId != 0)
      GasAnalysis();
  });
}

void TMeasureCore::GasAnalysis() {
  FlagBegin = false;
  TestMode = 11;
  Gas.AutoZeroFlag = false;
  Gas.GasAnalysisPending = true;
  try {
    Gas.HeliumGasBuffer.assign(calibration::GasBufferSamples, 0.0f);
    Gas.CoGasBuffer.assign(calibration::GasBufferSamples, 0.0f);
  } catch (const std::bad_alloc&) {
    Gas.CalibrationNotValid = true;
    Gas.GasBufferFailure = true;
    LetWaitingEventsThrough();
    DeleteGasBuffers();
    if (MeasureMode == MEASURE_DFC)
      StopRequest = 1;
    return;
  }
  if (MeasureMode == MEASURE_CALIBRATION)
    View->ClearVolumeScreen();
  View->CopyScreen();
  SendWord(GasWords::Analysis);
  RestartHandler();
}

bool TMeasureCore::RunGasStep(short step, std::size_t i, TParam2 sample) {
  const auto tick = static_cast<short>(std::min<std::size_t>(i, 32767));
  switch (step) {
  case 6:
    if (FlagBegin)
      ShutterCloseBagOpenHighSpeed(tick, std::abs(static_cast<float>(sample)));
    return false;
  case 7:
    if (FlagBegin) {
      ShutterOpenBagCloseLowSpeed(tick, std::abs(static_cast<float>(sample)));
      // The delay follows once the path is washed out, or at once when the
      // operator skipped to it: waiting for a skip nobody is asked for
      // would leave a calibration standing after its wash-out.
      if (TestMode == 7 && (Gas.ExtraDelayArmed || Gas.GasSampleTaken))
        DelayForSomeReason();
    }
    return false;
  case 9:
    if (--Gas.AutoZeroCount < 1) {
      // The next step is set before waiting messages go through: a sample
      // they bring finds it (not yet armed) instead of counting the zero
      // again from inside this one.
      TestMode = Gas.StepAfterAutoZero;
      FlagBegin = false;
      LetWaitingEventsThrough();
      InterruptIndex = 0;
      if (TestMode == 0 && MeasureMode == MEASURE_CALIBRATION)
        SendWord(GasWords::Idle);
      else
        FlagBegin = true;
    }
    return false;
  case 10:
    if (!FlagBegin)
      return false;
    Gas.HeliumRing[Gas.GasRingIndex] = static_cast<std::uint16_t>(sample & 0xFFFF);
    Gas.CoRing[Gas.GasRingIndex] = static_cast<std::uint16_t>((static_cast<unsigned long>(sample) >> 16) & 0xFFFF);
    Gas.GasRingIndex = (Gas.GasRingIndex + 1) % Gas.GasRingSamples;
    if (i > 199) {
      Gas.DelayPending = false;
      if (MeasureMode == MEASURE_DFC) {
        FlagBegin = false;
        TestMode = 0;
        View->ClearWorkArea();
        CalculateZeroValueForHEandCO();
        LetWaitingEventsThrough();
        InterruptIndex = 0;
      } else {
        PressureProbe(4);  // the Fleisch line held before the wash-out
      }
    }
    return false;
  case 11:
    if (!FlagBegin)
      return false;
    if (i > calibration::GasAnalysisSamples - 1) {
      Gas.GasAnalysisPending = false;
      StopRequest = 1;
      return false;
    }
    // Only inside the buffers, whatever index the link reports.
    if (HasInstrument && i < Gas.HeliumGasBuffer.size() && i < Gas.CoGasBuffer.size()) {
      Gas.HeliumGasBuffer[i] = static_cast<float>(static_cast<int>(sample & 0xFFFF) - HeZero);
      Gas.CoGasBuffer[i] = static_cast<float>(static_cast<int>((static_cast<unsigned long>(sample) >> 16) & 0xFFFF) - CoZero);
    }
    ShowCountDown(458, static_cast<int>(calibration::GasAnalysisSamples - static_cast<int>(i)) / 100,
                  MeasureMode == MEASURE_DFC);
    return false;
  case 12:
    if (Gas.BreathHoldCounter < Diffusion.BreathHoldTimeTicks) {
      ++Gas.BreathHoldCounter;
      ShowCountDown(456, (Diffusion.BreathHoldTimeTicks - Gas.BreathHoldCounter) / 100, true);
    } else {
      CalculateGasSamplingLimits();
    }
    return true;
  default:
    return RunSequenceStep(step, i, sample);
  }
}
