#pragma once

// The sequence steps a measurement window runs the acquisition in
// (TMeasureInterrupt::TestMode), and what the link hands the window for a
// sample in each: which message, carrying which channel. The calibration and
// diffusion sequences pump and watch the gas lines, sample the gas analysers
// and prepare the body box; every other step, and any step the link does not
// know, is plain acquisition of the flow.

#include <cstdint>

enum TLinkStep : std::int16_t {
  StepPlain = 0,
  StepFleischPumpUp = 1,       // the Fleisch line is pumped up
  StepFleischHold = 2,         // and holds its pressure
  StepBalloonPumpUp = 4,       // the balloon is pumped up
  StepBalloonHold = 5,         // and holds its pressure
  StepWashOutFast = 6,         // shutter closed, bag open, high speed
  StepWashOutSlow = 7,         // shutter open, bag closed, low speed
  StepAutoZero = 9,            // waiting for the instrument's automatic zero
  StepGasZero = 10,            // the delay in which the gas analysers are zeroed
  StepGasAnalysis = 11,        // the gas sample is analysed
  StepBreathHold = 12,
  StepGasSampling = 13,        // the expiration that fills the gas sample
  StepBoxDoor = 14,            // the body box waits for its door
  StepBoxSettling = 15,        // its air settles to temperature
  StepBoxLeakPump = 16,        // the box is pumped for the leak test
  StepBoxLeakHold = 17,        // and holds its pressure
  StepBoxBtpsReading = 18,
  StepBoxBtpsWriting = 19,
  StepZeroUnderMeasurement = 20,
};

// The channel a sample message carries in its value.
enum class TSampleValue {
  Flow,
  LinePressure,           // the pressure of the pumped gas line
  GasPair,                // helium (low word) and carbon monoxide (high word)
  BoxPressure,
  FlowAndNasalPressure,   // flow (low word) and nasal pressure (high word)
  FlowAndMouthPressure,   // flow (low word) and mouth pressure (high word)
  NebulizerPressure,      // the nebulizer's mouth pressure, in Pa
};

struct TSampleRoute {
  unsigned Message;
  TSampleValue Value;

  bool operator==(const TSampleRoute&) const = default;
};

struct TSampleContext {
  short MeasureMode = 0;
  short Step = StepPlain;
  bool Plethysmograph = false;   // the instrument is a body box
  bool NebulizerWindow = false;  // a nebulizer device reports to a window of its own
};

// The message and value of one sample for the window.
TSampleRoute RouteSample(const TSampleContext& context);

// Whether a sample goes into the zero rings as well: while zeroing, and in
// the zero the body box takes during a measurement.
bool FillsZeroRings(short measureMode, short step);
