#pragma once

// The body-box test's own state in the measurement window: where the box
// sequence stands (door, thermal settling, BTPS reading, zero, breathing),
// the manoeuvre that sets the marks, and the box calibration's leak and pump
// records. Set by the start and calibration commands, read by the sample
// handler.

#include "platform/portkit/plethysmography/Manoeuvre.h"

#include <array>
#include <cstdint>
#include <optional>

struct TPlethysmographState {
  // The box has been opened since it last settled: the next start waits for
  // the door and a new thermal wait. True until the first settling.
  bool DoorOpened = true;
  float ThermalWaitLeft = 0.0f;   // s
  float ThermalWaitShown = 0.0f;  // s, the value last shown; 0 none
  short BtpsCountdown = 0;        // samples left reading the BTPS sensors
  short BtpsSettleCountdown = 0;  // and letting them settle
  short ZeroCountdown = 0;        // samples left of the zero under measurement
  // Re-entrancy guard: a wait that lets messages through must not take the
  // next sample into the same step.
  bool InStep = false;

  // The breathing manoeuvre of the live trial: marks and control words.
  std::optional<plethysmography::Manoeuvre> Manoeuvre;
  float LiveLungVolume = 0.0f;    // L, the volume the live loop conversion assumes
  float LivePressureTerm = 0.0f;  // Pa, the pressure effect times the alveolar factor
  float HeldVolume = 0.0f;        // L, the volume held while the shutter is closed
  // Box pressure at the start of the loops and at the closure, per trial.
  std::array<float, 4> FirstBoxPressureForResistance{};
  std::array<float, 4> FirstBoxPressureForTGV{};

  // The box calibration: the leak test, the pump's pressure swing and what
  // they found.
  bool LeakTestStarted = false;
  bool SkipFlowCalibration = false;
  bool KeepFlowConstants = false;
  bool BoxPressureCalFailed = false;
  bool CalibrationHeld = false;
  std::uint32_t PumpStatusSamples = 0;  // samples the pump has held its status
  short LeakCount = 0;
  short PressureCount = 0;
  float BoxLeakageTime = 0.0f;        // s
  float BoxPressureAmplitude = 15.0f; // Pa
  float BoxPressureExpected = 15.0f;  // Pa
  float BoxPressureFactor = 1.0f;
  float StrokeVolumeZero = 0.0f;      // L, the volume at the last counted syringe stroke
};
