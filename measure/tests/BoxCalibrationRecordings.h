#pragma once

// The two recordings of a body-box calibration written from their
// formulas, for the calibration chart and page: the leak test's pressure
// decaying from 20 Pa with a time constant of 5 s, and the pump swinging
// 15.828 Pa peak to peak (100 x 1013 hPa x 0.15 L / 960 L) about the 8 Pa
// line it is recorded on, once a second; 15 s each, as the box records
// them. The constants the calibration found with them.

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
