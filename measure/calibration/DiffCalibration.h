#pragma once

// The checks that end a diffusion unit's calibration before anything is
// stored: the pressure lines and the bag's timing first, then (after the
// flow constants and the gas analysis) the gas constants, the measured
// concentrations of the calibration gas over the bottle's.

#include <string_view>

namespace calibration {

inline constexpr int BagOpenTimeoutText = 452;
inline constexpr int BagCloseTimeoutText = 453;
inline constexpr int CoRatioText = 450;
inline constexpr int HeRatioText = 449;
inline constexpr int BadSettingText = 9211;  // a format naming the ini key

struct PressureLineState {
  bool pressureReached = false;
  short fleischLossPercent = 0;
  bool bagOpenTimeout = false;
  short balloonLossPercent = 0;
  bool bagCloseTimeout = false;
};

// The first failed check of the lines and the bag, in the order the
// operator meets them; 0 when all pass.
int PressureLineFault(const PressureLineState& state);

struct GasConstants {
  float co = 0.0f;  // measured CO over the calibration gas's
  float he = 0.0f;
  int textId = 0;   // CoRatioText or HeRatioText when a ratio is out of range
};

// CO within 0.6 to 1.4, helium within 0.75 to 1.25, the limits included.
// The concentrations of the calibration gas must be above 0 (see
// BadDiffusionSetting).
GasConstants GasRatios(float measuredCo, float measuredHe, float bottleCo, float bottleHe);

// The key of the first setting a diffusion calibration or test cannot work
// with (a hand-edited ini): the pump volume, the calibration-gas
// concentrations, the helium correction. Empty when all are usable.
std::string_view BadDiffusionSetting(float pumpL, float bottleCo, float bottleHe, float heliumCorrection);

}  // namespace calibration
