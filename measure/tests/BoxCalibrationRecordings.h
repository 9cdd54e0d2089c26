#pragma once

// The two recordings of a body-box calibration written from their
// formulas, for the calibration chart and page: the leak test's pressure
// decaying from 20 Pa with a time constant of 5 s, and the pump swinging
// 15.828 Pa peak to peak (100 x 1013 hPa x 0.15 L / 960 L) about the 8 Pa
// line it is recorded on, once a second; 15 s each, as the box records
// them. The constants the calibration found with them.
//
// Before them, the syringe strokes through the flow sensor: a 3-L syringe
// emptied and filled as a cosine, one stroke in 2 s (peak flow 1.5 x pi / 2
// = 2.356 L/s, 1 s into each stroke), 20 strokes in 40 s; the volume swings
// from 0 down to -3 L and back. The tenth reversal, at 20 s, ends the
// strokes that give the factors: the run marks the sample 3 after it.

#include "measure/core/MeasureCore.h"

#include <cmath>
#include <numbers>

inline constexpr float BoxLeakStartPa = 20.0f;
inline constexpr float BoxLeakTauS = 5.0f;
inline constexpr float BoxSwingPa = 15.828f;
inline constexpr float BoxSwingLinePa = 8.0f;
inline constexpr short BoxLastSample = 1499;

inline void WriteBoxCalibrationRecordings(TMeasureCore& core) {
  core.InstrumentType = 0x11;
  core.PressureA.assign(TMeasureCore::LinePressureSamples, 0.0f);
  core.PressureB.assign(TMeasureCore::LinePressureSamples, 0.0f);
  for (short k = 0; k <= BoxLastSample; ++k) {
    const float t = static_cast<float>(k) * 0.01f;
    core.PressureA[static_cast<std::size_t>(k)] = BoxLeakStartPa * std::exp(-t / BoxLeakTauS);
    core.PressureB[static_cast<std::size_t>(k)] =
        BoxSwingLinePa + BoxSwingPa / 2.0f * std::cos(2.0f * std::numbers::pi_v<float> * t);
  }
  core.Plethysmograph.LeakCount = BoxLastSample;
  core.Plethysmograph.PressureCount = BoxLastSample;
  core.BoxReferencePressure = BoxSwingPa;
  core.BoxConstant = 16.62f;  // the box swung 5 % more than the gas law gives
  core.TimeConstant = BoxLeakTauS;
}

inline constexpr float SyringeStrokeL = 3.0f;
inline constexpr float SyringeStrokeS = 2.0f;
inline constexpr short SyringeLastSample = 3999;
inline constexpr short SyringeMarkedSample = 2003;

inline void WriteSyringeStrokes(TMeasureCore& core) {
  core.InstrumentType = 0x11;
  core.CalFlow.assign(TMeasureData::CurveBufferSamples, 0.0f);
  core.CalVolume.assign(TMeasureData::CurveBufferSamples, 0.0f);
  const float w = std::numbers::pi_v<float> / SyringeStrokeS;
  for (short k = 0; k <= SyringeLastSample; ++k) {
    const float t = static_cast<float>(k) * 0.01f;
    core.CalVolume[static_cast<std::size_t>(k)] = -SyringeStrokeL / 2.0f * (1.0f - std::cos(w * t));
    core.CalFlow[static_cast<std::size_t>(k)] = -SyringeStrokeL / 2.0f * w * std::sin(w * t);
  }
  core.SampleCount[MEASURE_CALIBRATION][0] = SyringeLastSample + 1;
  core.TrialIndex = 0;
  core.CalDoneIndex = SyringeMarkedSample;
}
