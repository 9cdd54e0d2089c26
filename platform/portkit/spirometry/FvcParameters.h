#pragma once

// The parameters of a forced expiration and the inspiration that follows it.
//
// A trial is evaluated in three passes over its curves (docs/spirometry.md):
// pass 0 finds the manoeuvre on the recorded curve, pass 1 takes the volumes,
// times and peak flows from the same unsmoothed integration (volumes from the
// level the limb started from, times from time zero by back extrapolation),
// pass 2 the flows at volume points from the curve smoothed again.

#include "common/ParameterBlocks.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/TrialCurve.h"

#include <cstddef>
#include <span>

namespace spirometry {

// Indexes into an FVC record (units: L, %, L/s, s).
enum FvcParameter : std::size_t {
  FVC,
  FEV_0_5,
  FEV_1_0,
  FEV_0_5_IVC,
  FEV_0_5_FVC,
  FEV_1_0_IVC,
  FEV_1_0_FVC,
  PEF,
  FEF_25_75,
  MEF_75,
  MEF_50,
  MEF_25,
  FET,
  MTT,
  FIVC,
  FIV_0_5,
  FIV_1_0,
  PIF,
  FIF_25_75,
};
static_assert(FvcParameterNames[FEF_25_75] == "FEF*25-75%" && FvcParameterNames[FIF_25_75] == "FIF*25-75%");

using FvcRecord = std::span<float, FVC_PARAMETER_COUNT>;

// Where the manoeuvre lies in the trial; filled by pass 0, moved by back
// extrapolation and read by the later passes. Times count in samples as in
// TrialCurve.
struct FvcManoeuvre {
  bool found = false;
  short start = 0;           // first sample of the forced expiration (of the timed part, after back extrapolation)
  short peakFlow = 0;        // sample of the peak expiratory flow
  short expirationEnd = 0;   // deepest point of the expiration
  short inspirationEnd = 0;  // fullest point of the inspiration after it; expirationEnd when there is none
  double startLevelTime = 0.0;       // time of the level the blast starts from
  double timeZero = 0.0;             // time zero of the expiration
  double inspirationTimeZero = 0.0;  // time zero of the inspiration
  double endTime = 0.0;              // end of the forced expiration (set by pass 1)
  float backExtrapolatedVolumeL = 0.0f;
  bool backExtrapolated = false;     // time zero has been found
};

// Runs pass 0, 1 or 2 on the actual trial's curves. Pass 0 clears the record
// and returns false when the trial holds no forced expiration; passes 1 and 2
// return false (and clear the record) when pass 0 found none. Any other pass
// number changes nothing and returns false.
bool CalculateFvcParams(const TrialCurve& curve, const Extremes& extremes, FvcManoeuvre& manoeuvre, short pass,
                        FvcRecord record);

// Moves time zero of both limbs to where the tangent at peak flow meets the
// level the limb started from, and the start sample with it. Pass 1 does it
// itself when nobody has, so calling it is optional and calling it twice
// changes nothing. False when there is no manoeuvre to time.
bool CalculateBackExtrapolation(const TrialCurve& curve, FvcManoeuvre& manoeuvre);

// Sets "FEV*0,5/IVC" and "FEV*1,0/IVC" from the IVC of a slow VC trial;
// with no such IVC (ivcL not positive) from the larger of FIVC and FVC.
// A record without a result stays zero.
void CalculateFEVperIVC(FvcRecord record, float ivcL);

}  // namespace spirometry
