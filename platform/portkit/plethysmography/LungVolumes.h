#pragma once

// The static lung volumes of a plethysmograph trial from its TGV: the
// expiration to RV after the shutter opened gives ERV, and TLC follows from
// the inspiratory vital capacity (ATS/ERS 2005: RV = FRCpleth - ERV,
// TLC = RV + IVC).

#include "platform/portkit/plethysmography/Trial.h"

namespace plethysmography {

struct VolumeSettings {
  bool ivcAfterEnd = false;    // "EndOfMeasurementWithIVC": the patient breathes in to TLC after RV
  double referenceIvcL = 0.0;  // the IVC of the slow VC trial shown, 0 none
};

// Fills "RV", "TLC" and "RV/TLC" of the record from its "TGV":
// ERV = volume at the shutter closure - lowest volume after the shutter
// opened; RV = TGV - ERV; TLC = RV + the IVC breathed in after that lowest
// point (with ivcAfterEnd), else RV + the reference IVC, else not written;
// RV/TLC in per cent when TLC is written and above 0. False, leaving the
// three values, when the marks do not fit the trial or TGV is 0.
bool CalculatePlethyParams(std::span<const float> volumeL, const Marks& marks, const VolumeSettings& settings,
                           PlethyRecord record);

}  // namespace plethysmography
