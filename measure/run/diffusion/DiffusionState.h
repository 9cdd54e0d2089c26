#pragma once

// The diffusion unit's sequence state, held by TMeasureCore as `Gas` and
// `Lines`: the gas sequence and gas analysis of a DFC test or calibration
// (MeasureGas.cpp, MeasureDfcRun.cpp), and the Fleisch and balloon lines
// pumped, held and measured in a calibration (MeasurePressureLines.cpp).

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TGasSequence {
  std::vector<float> HeliumGasBuffer;  // 8,010 samples each while a gas analysis runs
  std::vector<float> CoGasBuffer;
  bool BagOpenTimeout = false;
  bool BagCloseTimeout = false;
  bool GasAnalysisFailure = false;
  bool GasBufferFailure = false;   // the gas analysis found no memory for its buffers
  bool GasSamplingLimit = false;   // too little test gas inspired for the sample
  bool GasSampleTaken = false;     // the wash-out finished and the sample was taken
  bool DelayPending = false;       // the step-pending flags of the gas sequence
  bool BreathHoldPending = false;
  bool GasAnalysisPending = false;
  float GasFlowLimit = 0.01f;     // L/s
  float GasVolumeLimit = 0.5f;    // L
  short BelowCountLimit = 20;     // samples
  short BetweenCountLimit = 20;   // samples
  short WashOutCountDown = 0;      // Q, ticks left of the wash-out
  short LowSpeedTicks = 0;         // T1 = T + X
  bool AutoZeroFlag = false;
  short StepAfterAutoZero = 0;
  short AutoZeroCount = 0;
  bool GasRequest = false;         // the gas command was given for this breath
  bool GasRequestShown = false;    // and its prompt is up
  bool ExtraDelayArmed = false;    // the skip of a calibration point asks for the delay
  bool CalibrationNotValid = false;
  bool GasPhaseStarted = false;    // the test gas flows: 0xEF62 went out
  bool SampleWindowOpen = false;   // 0xEF7E went out
  short BreathHoldCounter = 0;     // ticks held so far
  short BelowCount = 0;            // samples expired short of the sample window
  short BetweenCount = 0;          // samples expired inside it
  short InspirationSamples = 0;    // samples of the test-gas inspiration
  float GasLow = 0.0f;             // the sample window in the expired volume, L
  float GasHigh = 0.0f;
  static constexpr std::size_t GasRingSamples = 100;
  std::array<std::uint16_t, GasRingSamples> HeliumRing{};  // raw analyser words of the delay
  std::array<std::uint16_t, GasRingSamples> CoRing{};
  std::size_t GasRingIndex = 0;
};

struct TPressureLines {
  bool PressureReached = false;
  float PressureFactor = 1.0f;     // line pressure per sample unit
  bool LeakTest = true;            // the lines' pressure is held and its loss measured
  bool ProbeStarted = false;
  short PumpDuty = 9;              // hundredths of a second of every second the pump runs
  std::array<short, 2> PressureSamples{};  // the last held sample of each line
  std::array<float, 2> HoldStartPa{};      // each line's pressure when its hold began
};
