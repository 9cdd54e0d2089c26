// The single-breath diffusion trial as the ready machine runs it: the start
// washes out the gas path; during the plain acquisition the operator's gas
// command marks the breath to RV, whose inspiration is the test gas; the
// end of that inspiration starts the breath hold, and the expiration after
// it opens the sample bag over the window the breath hold computed, then
// closes it and analyses the sample.

#include "measure/core/MeasureCore.h"

#include "measure/run/diffusion/GasWords.h"
#include "platform/portkit/diffusion/InspiredGas.h"

#include <cmath>

namespace {

// A replayed trial has no operator to give the gas command: its test-gas
// inspiration is the one from the twelfth turning point, the deepest
// expiration after the demonstration's quiet breaths.
constexpr std::int16_t ReplayTurnMark = 12;

}  // namespace

void TMeasureCore::StartDfcRun() {
  float temperatureC = 0.0f, pressureHpa = 0.0f;
  BtpsConditions(temperatureC, pressureHpa);
  DryGasBtpsFactor = static_cast<float>(diffusion::DryGasToBtpsFactor(temperatureC, pressureHpa));
  LastSentData = 0;
  Gas.GasPhaseStarted = false;
  Gas.SampleWindowOpen = false;
  Gas.GasRequest = false;
  Gas.GasRequestShown = false;
  Gas.ExtraDelayArmed = false;
  Gas.BreathHoldCounter = 0;
  Gas.BelowCount = 0;
  Gas.BetweenCount = 0;
  Gas.InspirationSamples = 0;
  Gas.GasLow = 0.0f;
  Gas.GasHigh = 0.0f;
  Gas.DelayPending = false;
  Gas.BreathHoldPending = false;
  Gas.GasAnalysisPending = false;
  Gas.GasSamplingLimit = false;
  Gas.GasBufferFailure = false;
  Gas.GasAnalysisFailure = false;
  Gas.BagOpenTimeout = false;
  Gas.BagCloseTimeout = false;
  Gas.CalibrationNotValid = false;
  GasTurnVolume = 0.0f;
  GasStartVolume = 0.0f;
  GasTurnIndex = 0;
  GasHoldIndex = 0;
  GasSampleStartIndex = 0;
  GasSampleEndIndex = 0;
  GasDiscardVolume = 0.0f;
  DeleteGasBuffers();
  // The turning points count from the start of this trial, an expiration.
  Extremes.Clear();
  // A live trial is analysed afresh; a replay brings its readings along.
  if (HasInstrument) {
    MeasuredHe = 0.0f;
    MeasuredCo = 0.0f;
  }
  WashingOutForMeasurement();
}

void TMeasureCore::FollowGasPhase(std::size_t i) {
  const std::size_t t = static_cast<std::size_t>(TrialIndex);
  const float volume = Volume[t][i];
  const float flow = Flow[t][i];
  const auto index = static_cast<short>(i);
  if (TestMode == 13) {
    const float d = GasStartVolume - volume;
    if (d < Gas.GasLow)
      ++Gas.BelowCount;
    else if (d <= Gas.GasHigh)
      ++Gas.BetweenCount;
    if (d < Gas.GasLow)
      return;
    if (!Gas.SampleWindowOpen) {
      if (Gas.BelowCount > Gas.BelowCountLimit) {
        GasDiscardVolume = d;
        GasSampleStartIndex = index;
        Gas.SampleWindowOpen = true;
        SendWord(GasWords::SampleWindow);
      }
    } else if (d > Gas.GasHigh && Gas.BetweenCount > Gas.BetweenCountLimit) {
      GasSampleEndIndex = index;
      GasExpiration();
    }
    return;
  }
  if (TestMode != 0 || !Gas.GasSampleTaken)
    return;
  if (!Gas.GasPhaseStarted) {
    if (HasInstrument) {
      if (!Gas.GasRequest || flow <= 0.0f)
        return;
      GasTurnVolume = volume;
      GasTurnIndex = index;
    } else {
      if (Extremes.count < ReplayTurnMark)
        return;
      // The inspiration began at the turning point, before it was known
      // to be one.
      const spirometry::TurningPoint& deepest = Extremes.points[static_cast<std::size_t>(ReplayTurnMark - 1)];
      GasTurnVolume = deepest.volumeL;
      GasTurnIndex = static_cast<short>(deepest.index);
    }
    Gas.GasPhaseStarted = true;
    Gas.InspirationSamples = 0;
    SendWord(GasWords::GasInspiration);
    if (Gas.GasRequestShown)
      GasInspiration(true);
    return;
  }
  if (LastSentData != GasWords::GasInspiration)
    return;
  ++Gas.InspirationSamples;
  if (flow < Gas.GasFlowLimit && std::abs(volume - GasTurnVolume) > Gas.GasVolumeLimit) {
    GasStartVolume = volume;
    GasHoldIndex = index;
    if (Gas.GasRequestShown)
      GasInspiration(false);
    Gas.GasRequestShown = false;
    BreathHold();
  }
}
