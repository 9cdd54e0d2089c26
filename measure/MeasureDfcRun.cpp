// The single-breath diffusion trial as the ready machine runs it: the start
// washes out the gas path; during the plain acquisition the operator's gas
// command marks the breath to RV, whose inspiration is the test gas; the
// end of that inspiration starts the breath hold, and the expiration after
// it opens the sample bag over the window the breath hold computed, then
// closes it and analyses the sample.

#include "measure/MeasureCore.h"

#include "measure/GasWords.h"
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
  GasPhaseStarted = false;
  SampleWindowOpen = false;
  GasRequest = false;
  GasRequestShown = false;
  ExtraDelayArmed = false;
  BreathHoldCounter = 0;
  BelowCount = 0;
  BetweenCount = 0;
  InspirationSamples = 0;
  GasLow = 0.0f;
  GasHigh = 0.0f;
  DelayPending = false;
  BreathHoldPending = false;
  GasAnalysisPending = false;
  GasSamplingLimit = false;
  GasBufferFailure = false;
  GasAnalysisFailure = false;
  BagOpenTimeout = false;
  BagCloseTimeout = false;
  CalibrationNotValid = false;
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
    if (d < GasLow)
      ++BelowCount;
    else if (d <= GasHigh)
      ++BetweenCount;
    if (d < GasLow)
      return;
    if (!SampleWindowOpen) {
      if (BelowCount > BelowCountLimit) {
        GasDiscardVolume = d;
        GasSampleStartIndex = index;
        SampleWindowOpen = true;
        SendWord(GasWords::SampleWindow);
      }
    } else if (d > GasHigh && BetweenCount > BetweenCountLimit) {
      GasSampleEndIndex = index;
      GasExpiration();
    }
    return;
  }
  if (TestMode != 0 || !GasSampleTaken)
    return;
  if (!GasPhaseStarted) {
    if (HasInstrument) {
      if (!GasRequest || flow <= 0.0f)
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
    GasPhaseStarted = true;
    InspirationSamples = 0;
    SendWord(GasWords::GasInspiration);
    if (GasRequestShown)
      GasInspiration(true);
    return;
  }
  if (LastSentData != GasWords::GasInspiration)
    return;
  ++InspirationSamples;
  if (flow < GasFlowLimit && std::abs(volume - GasTurnVolume) > GasVolumeLimit) {
    GasStartVolume = volume;
    GasHoldIndex = index;
    if (GasRequestShown)
      GasInspiration(false);
    GasRequestShown = false;
    BreathHold();
  }
}
