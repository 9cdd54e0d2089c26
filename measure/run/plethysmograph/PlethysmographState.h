#pragma once

// The body-box test's own state in the measurement window: where the box
// sequence stands (door, thermal settling, BTPS reading, zero, breathing),
// the manoeuvre that sets the marks, and the box calibration's leak and pump
// records. Set by the start and calibration commands, read by the sample
// handler.

#include "platform/portkit/plethysmography/AlveolarPressure.h"
#include "platform/portkit/plethysmography/BoxSettling.h"
#include "platform/portkit/plethysmography/Manoeuvre.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct TPlethysmographState {
  float ThermalWaitLeft = 0.0f;   // s
  float ThermalWaitShown = 0.0f;  // s, the value last shown; 0 none
  short BtpsCountdown = 0;        // samples left reading the BTPS sensors
  short BtpsSettleCountdown = 0;  // and letting them settle
  unsigned SensorRepliesAtRequest = 0;  // the instrument's sensor replies when the reading was asked for
  short ZeroSamplesLeft = 0;      // samples left of the zero under measurement
  // Re-entrancy guard: while a wait lets messages through, the samples it
  // brings are not taken into a step that is still being left.
  bool InWait = false;
  bool ZeroRequired = false;      // the last zero failed: a new one is due

  // The breathing begins with an inspiration, then an expiration.
  plethysmography::BreathStart Start;
  float LastMeasuredLps = 0.0f;   // the flow of the sample before, as measured
  // The breathing manoeuvre of the live trial: marks and control words.
  std::optional<plethysmography::Manoeuvre> Manoeuvre;
  // The conversion of box into alveolar pressure the screen runs while the
  // trial records.
  plethysmography::LiveConversion Live;
  float HeldVolume = 0.0f;        // L, the volume held from the loops' end until after the shutter opened
  // The last BTPS sensor reading in range, with which the test runs.
  std::optional<plethysmography::SensorReading> Sensors;
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
  bool PumpStuck = false;               // and was given up on
  // One volume per counted reversal of the syringe, the first at the start
  // of the strokes, L.
  std::vector<float> StrokeTable;
  short LeakCount = 0;
  short PressureCount = 0;
  float BoxLeakageTime = 0.0f;        // s
  float BoxPressureAmplitude = 15.0f; // Pa
  float BoxPressureExpected = 15.0f;  // Pa
  float BoxPressureFactor = 1.0f;
};
