#pragma once

// The diffusion unit's sample bag and gas analysers. While the window holds
// the bag open, the patient's expirate fills it: first the dead space, which
// still holds the test gas as it was inspired, then alveolar gas, whose
// carbon monoxide falls while the lungs take it up. The analysers then
// approach the mixed bag with a time constant, with gain errors, the
// concentrating effect of the CO2 absorber on expired gas, and offsets that
// an autozero removes.

#include "tools/lungmodel/LungModel.h"

struct TAnalyserOptions {
  double HeliumGain = 1.0;      // reading over true concentration
  double CoGain = 1.0;
  // What remains of expired gas once its CO2 is taken out: the 5 % of CO2
  // in alveolar gas that the program's "Co2ExtractionCorrection" of 95 %
  // expects the absorber to have removed.
  double Absorber = 0.95;
  double TimeConstantS = 8.0;   // first-order approach to the bag
  int HeliumOffsetCounts = 30;  // until the autozero
  int CoOffsetCounts = 25;
};

class TGasBag {
public:
  // The test gas's inspiration began at `sample` (samples of the stream).
  void InspirationBegins(long sample) { InspirationStart = sample; }
  // One sample of the expiration after the breath hold: `expiredL` leaves
  // the mouth at `sample`; into the bag when it is open.
  void Expire(const LungModel::TPatient& patient, double expiredL, long sample, bool open);
  void Empty();

  bool Filled() const { return VolumeL > 0.0; }
  double VolumeL = 0.0;
  // The bag's mixed concentrations, per cent; 0 while it is empty.
  LungModel::TAlveolarGas Mixed() const;
  // The alveolar gas leaving the lungs at `sample`.
  LungModel::TAlveolarGas AlveolarAt(const LungModel::TPatient& patient, long sample) const;

private:
  long InspirationStart = 0;
  double ExpiredL = 0.0;  // since the breath hold
  double HeliumL = 0.0;   // volumes of each gas in the bag
  double CoL = 0.0;
};
