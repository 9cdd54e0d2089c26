#include "platform/portkit/plethysmography/AlveolarPressure.h"

namespace plethysmography {

double AlveolarPressureKPa(double boxPa, double dvL, double lungVolumeL, double factor, const AlveolarConversion& c) {
  if (lungVolumeL == 0.0)
    return 0.0;
  return 0.001 * c.dryGasFactor * (boxPa * c.correctedCabinL - dvL * c.pressureEffectPa * factor) / lungVolumeL;
}

void ConvertBoxPressureToAlveolarPressure(const TrialSignals& trial, const Marks& marks,
                                          std::span<const std::size_t> crossings, double rvL,
                                          const AlveolarConversion& c,
                                          const std::function<double(std::size_t)>& factorOf) {
  const std::size_t n = trial.Size();
  for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
    const std::size_t begin = crossings[k];
    if (begin > marks.resistanceEnd)
      break;
    const std::size_t end = std::min(crossings[k + 1], n);
    if (begin >= end)
      continue;
    const double factor = factorOf(k);
    const double pStart = trial.boxPa[begin];
    const double vStart = trial.volumeL[begin];
    const double vAbs = vStart + rvL;
    for (std::size_t i = begin; i < end; ++i) {
      const double dv = trial.volumeL[i] - vStart;
      if (dv + vAbs == 0.0)
        break;
      trial.boxPa[i] = static_cast<float>(AlveolarPressureKPa(trial.boxPa[i] - pStart, dv, dv + vAbs, factor, c));
    }
  }
}

double LiveAlveolarPressureKPa(double boxPa, double volumeL, const LiveConversion& c) {
  const double d = volumeL - c.volumeZeroL;
  if (d + c.lungVolumeL == 0.0)
    return boxPa;
  return 0.001 * c.dryGasFactor * (boxPa * c.correctedCabinL - d * c.pressureTermPa) / (d + c.lungVolumeL);
}

LiveConversion LiveConversionBeforeTest(double shownTlcL, double predictedTlcL, double tgvOffsetL,
                                        const AlveolarConversion& c, double share) {
  double lung = shownTlcL != 0.0 ? shownTlcL : 0.4 * predictedTlcL;
  if (lung == 0.0)
    lung = 3.5;
  return {c.correctedCabinL, lung + tgvOffsetL, c.pressureEffectPa * share, 0.0, c.dryGasFactor};
}

}  // namespace plethysmography
