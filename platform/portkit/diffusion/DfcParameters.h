#pragma once

// The parameters of a single-breath diffusion trial (DFC): lung volumes
// from the alveolar volume and the inspired volume, the tidal volumes from
// the breaths before the manoeuvre, and the transfer factor.

#include "common/ParameterBlocks.h"
#include "platform/portkit/diffusion/BreathHold.h"
#include "platform/portkit/diffusion/SingleBreath.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/TrialCurve.h"

#include <cstddef>
#include <span>

namespace diffusion {

// Indexes into a DFC record (L, %, mmol/min/kPa, mmol/min/kPa/L, s).
enum DfcParameter : std::size_t { TLC, IVC, IRV, ERV, TV, RV, RV_TLC, FRC, FRC_TLC, Tlco, Klco, BHtime, WOV };
static_assert(DfcParameterNames[Tlco] == "Tlco" && DfcParameterNames[WOV] == "WOV");

using DfcRecord = std::span<float, DFC_PARAMETER_COUNT>;

// What the run remembered of the manoeuvre: the marks on the curve, the
// volumes at the turn to the test gas and at the start of the breath hold
// (their difference is the inspired volume), and the volume expired and
// discarded before the sample.
struct DfcManoeuvre {
  BreathMarks marks;
  double turnVolumeL = 0.0;
  double holdVolumeL = 0.0;
  double discardL = 0.0;

  double InspiredL() const { return holdVolumeL - turnVolumeL; }
};

struct DfcInput {
  DfcManoeuvre manoeuvre;
  GasReadings readings;
  GasCalibration calibration;
  double deadSpaceL = 0.33;
  double pressureHpa = 1013.25;
};

// Fills the record from the trial's curves and turning points; on a refusal
// the record is zero.
Refusal CalculateDfcParams(const spirometry::TrialCurve& curve, const spirometry::Extremes& extremes,
                           const DfcInput& input, DfcRecord record);

}  // namespace diffusion
