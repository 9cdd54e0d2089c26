#pragma once

// Plethysmograph trials whose true values are known in closed form: a
// patient breathing sinusoidally through a known airway resistance in an
// isothermal box, then panting against the closed shutter, then breathing
// out to RV (and in to TLC). The box pressure follows Boyle's law on the
// dry share of the thoracic gas (PB - PH2O at 37 °C), the box by
// PB × dV / Vc, plus a chosen share of the BTPS artefact of each breath and
// a drift ramp. Nothing here calls the calculations it checks.

#include "platform/portkit/plethysmography/Trial.h"

#include <vector>

namespace plethysmography::testing {

struct AnalyticPatient {
  double frcL = 3.0;           // lung volume at the end of a quiet expiration
  double ervL = 1.2;           // expired after the shutter opens
  double ivcL = 0.0;           // inspired after RV (0: none)
  double k1 = 0.25;            // Palv = k1 × V' + k2 × V'|V'|, kPa and L/s
  double k2 = 0.0;
  double tidalL = 0.6;
  double breathPeriodS = 2.0;
  int loops = 4;               // resistance loops recorded
  int breathsBeforeShutter = 2;
  double pantingKPa = 1.5;     // amplitude of the mouth pressure
  double pantingPeriodS = 0.5;
  int pantingCycles = 5;
  double artefactShare = 0.4;  // of the full BTPS artefact of the inspired air
  double driftPaPerS = 0.0;
  double deadSpaceL = 0.0;     // gas between the mouth and the shutter, compressed with the lung
};

struct AnalyticBox {
  double pressureHpa = 1013.25;
  double water37Pa = 6280.0;
  double correctedCabinL = 890.0;
  // The full BTPS artefact of inspired air as a pressure, Pa; the tests work
  // it out by hand from the air they state.
  double artefactPa = 8775.7;
};

struct AnalyticTrial {
  std::vector<float> flowLps, volumeL, boxPa, mouthKPa;
  Marks marks;
  double loopStartS = 0.0;  // first sample of the resistance loops, s

  TrialSignals Signals() { return {flowLps, volumeL, boxPa, mouthKPa}; }
  std::size_t Size() const { return flowLps.size(); }
};

AnalyticTrial MakeTrial(const AnalyticPatient& patient, const AnalyticBox& box);

}  // namespace plethysmography::testing
