// The calibration result as the calibration list shows it.

#include "measure/results/CalibParams.h"
#include "measure/core/MeasureCore.h"
#include "platform/basekit/Message.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void TMeasureCore::SetCalibParams(CALIB_PARAMS& p) const {
  p = CALIB_PARAMS{};
  if (Messages) {
    constexpr std::array<int, 5> labels{49, 48, 465, 467, 466};
    for (std::size_t i = 0; i < labels.size(); ++i)
      p.Labels[i] = Messages->LoadStringA(labels[i]);
  }
  // The volume lines: their constants and the mean stroke volumes in ml.
  p.A1 = InspFactor;
  p.A2 = ExpFactor;
  p.A3 = InspGasFactor;
  p.M1 = SyringeStrokeVolumes[0] * 1000.0f;
  p.M2 = SyringeStrokeVolumes[1] * 1000.0f;
  // The gas path's strokes were read before any constant applied: over
  // their constant, as the list and the printout show it, they give the
  // syringe's volume back.
  const float withGas = std::round(InspGasFactor * 100.0f) / 100.0f;
  p.M3 = withGas == 0.0f ? 0.0f : GasPathStrokeVolumes[0] * 1000.0f / withGas;
  p.NominalVolume = static_cast<short>(SyringeVolume * 1000);
  if ((InstrumentType & 0xE0) == 0x60) {
    // The gas lines; the helium reading as the list shows it, to 0.01 %.
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(MeasuredHe));
    p.F4 = std::strtof(text, nullptr);
    p.F5 = MeasuredCo;
    p.X4 = HeConstans;
    p.X5 = CoConstans;
  } else if ((InstrumentType & 0xE0) == 0) {
    p.P1 = BoxReferencePressure;
    p.P2 = BoxConstant;
    p.T1 = TimeConstant;
  }
  p.InstrumentType = static_cast<short>(InstrumentType);
}
