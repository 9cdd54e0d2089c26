#pragma once

// The result of a calibration run as the calibration list shows it: the
// constants and measured volumes of the volume lines, the gas lines of the
// diffusion unit, and the box pressures and time constants of the
// plethysmograph.

#include <array>
#include <string>

struct CALIB_PARAMS {
  std::array<std::string, 5> Labels;
  float A1 = 0.0f, A2 = 0.0f, A3 = 0.0f;  // constants of the three volume lines
  float X4 = 0.0f, X5 = 0.0f;             // constants of the two gas lines
  float M1 = 0.0f, M2 = 0.0f, M3 = 0.0f;  // measured volumes, ml
  short NominalVolume = 0;                // syringe volume, ml
  float F4 = 0.0f, F5 = 0.0f;             // gas factors
  float P1 = 0.0f, P2 = 0.0f;             // box pressures
  float T1 = 0.0f, T2 = 0.0f, T3 = 0.0f;  // time-constant values
  short InstrumentType = 0;               // 0: spirometer only
};
