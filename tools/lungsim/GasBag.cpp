#include "tools/lungsim/GasBag.h"

#include <algorithm>

LungModel::TAlveolarGas TGasBag::AlveolarAt(const LungModel::TPatient& p, long sample) const {
  // Uptake runs from the point Jones and Meade take as its start, 30 % into
  // the inspiratory time, to the moment the gas leaves the lungs.
  const double sinceInspirationS = static_cast<double>(sample - InspirationStart) * LungModel::SampleSeconds;
  const double uptakeS = std::max(0.0, sinceInspirationS - LungModel::DiffusionUptakeStartS());
  return LungModel::AlveolarGas(p, LungModel::DiffusionInspiredL(p), uptakeS);
}

void TGasBag::Expire(const LungModel::TPatient& p, double expiredL, long sample, bool open) {
  if (expiredL <= 0.0)
    return;
  // The dead space empties first and holds the test gas unchanged.
  const double fromDeadSpace = std::clamp(p.DeadSpaceL - ExpiredL, 0.0, expiredL);
  const double fromAlveoli = expiredL - fromDeadSpace;
  ExpiredL += expiredL;
  if (!open)
    return;
  const LungModel::TAlveolarGas alveolar = AlveolarAt(p, sample);
  VolumeL += expiredL;
  HeliumL += (fromDeadSpace * p.InspiredHePercent + fromAlveoli * alveolar.HePercent) / 100.0;
  CoL += (fromDeadSpace * p.InspiredCoPercent + fromAlveoli * alveolar.CoPercent) / 100.0;
}

void TGasBag::Empty() {
  VolumeL = 0.0;
  ExpiredL = 0.0;
  HeliumL = 0.0;
  CoL = 0.0;
}

LungModel::TAlveolarGas TGasBag::Mixed() const {
  if (!Filled())
    return {0.0, 0.0};
  return {HeliumL / VolumeL * 100.0, CoL / VolumeL * 100.0};
}
