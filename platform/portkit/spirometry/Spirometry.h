#pragma once

// The spirometric calculations of the instrument library, as plain functions
// over a trial's curves. TMeasureData holds the data and wraps them:
//
//   members of TMeasureData                spirometry::Extremes Extremes;
//                                          spirometry::FvcManoeuvre Manoeuvre;
//                                          spirometry::TrialOrder TrialOrder;   // best first, 1-based
//   curve(kind, trial)                     spirometry::TrialCurve{{Flow[trial], SampleCount[kind][trial]},
//                                                                 {Volume[trial], SampleCount[kind][trial]}}
//
//   LocalMaxMin(flow, volume, index)       spirometry::LocalMaxMin(Extremes, flow, volume, index);
//   clearing the extremes table            Extremes.Clear(searchState);   // 1, or 0 for a curve that starts rising
//
//   CalculateFvcParams(start, a, b, c, pass)
//       bool ok = spirometry::CalculateFvcParams(curve(MEASURE_FVC, ActualTrial), Extremes, Manoeuvre, pass,
//                                                FvcRecord(ActualTrial));
//       start = Manoeuvre.start; a = Manoeuvre.peakFlow; b = Manoeuvre.expirationEnd; c = Manoeuvre.inspirationEnd;
//       return ok;
//     The in-values of the four indexes are not read: the passes keep their
//     state (with the fractional time zero) in Manoeuvre between the calls.
//   CalculateBackExtrapolation(start, a)
//       spirometry::CalculateBackExtrapolation(curve(MEASURE_FVC, ActualTrial), Manoeuvre);
//       start = Manoeuvre.start;
//   CalculateFEVperIVC(fvcSlot, vcSlot)
//       spirometry::CalculateFEVperIVC(FvcRecord(fvcSlot), vcSlot in 0..3 ? VcRecord(vcSlot)[spirometry::IVC] : 0.0f);
//   CalculateVcParams()
//       return spirometry::CalculateVcParams(curve(MEASURE_VC, ActualTrial), Extremes, VcRecord(ActualTrial));
//   CalculateMvvParams()
//       return spirometry::CalculateMvvParams(curve(MEASURE_MVV, ActualTrial), Extremes, MvvRecord(ActualTrial));
//   CalculateTheBest(c0, c1, c2)
//       TrialOrder = spirometry::CalculateTheBest(c0, c1, c2);
//
// FvcRecord(slot) and the others are std::span<float, N> over the slot's
// result record, N the parameter count of the kind (common/ParameterBlocks.h).

#include "platform/portkit/spirometry/BestTrial.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/FvcParameters.h"
#include "platform/portkit/spirometry/MvvParameters.h"
#include "platform/portkit/spirometry/Sampling.h"
#include "platform/portkit/spirometry/TrialCurve.h"
#include "platform/portkit/spirometry/VcParameters.h"
