#pragma once

// Box pressure to alveolar pressure on the resistance segments.
//
// While the shutter is open the box pressure follows the compression of the
// thoracic gas (Boyle's law on its dry share at PB - PH2O) and the warming
// and wetting of the inspired air. With Vc the corrected cabin volume, V the
// absolute lung volume and dv the volume inspired since the segment began:
//   Palv = 0.001 × D × ((Pbox - Pbox,start) × Vc - dv × PE × k) / V   (kPa)
// where D is the dry-gas factor, PE the pressure effect of the BTPS
// artefact and k the share of it taken off (docs/plethysmography.md).

#include "platform/portkit/plethysmography/Trial.h"

#include <functional>

namespace plethysmography {

struct AlveolarConversion {
  double correctedCabinL = 0.0;
  double pressureEffectPa = 0.0;
  double dryGasFactor = 1.0;
};

// One sample: the box pressure b (Pa, relative to the segment's start) and
// dv; 0 when the lung volume V is 0.
double AlveolarPressureKPa(double boxPa, double dvL, double lungVolumeL, double factor, const AlveolarConversion& c);

// Converts every resistance segment of the crossing list in place (from
// the first entry to the pair that starts at the resistance end), with
// V = volume[i] - volume[begin] + volume[begin] + rv. `factorOf(n)` gives
// the artefact share of segment n. A segment ends early where V is 0.
void ConvertBoxPressureToAlveolarPressure(const TrialSignals& trial, const Marks& marks,
                                          std::span<const std::size_t> crossings, double rvL,
                                          const AlveolarConversion& c,
                                          const std::function<double(std::size_t)>& factorOf);

// The conversion the screen runs while a test records, before the lung
// volumes are known: the lung volume is taken as `lungVolumeL` at the last
// inspiration start (volumeZeroL), and the artefact term as one constant.
struct LiveConversion {
  double correctedCabinL = 0.0;
  double lungVolumeL = 3.5;
  double pressureTermPa = 1.0;  // pressure effect × artefact share
  double volumeZeroL = 0.0;
  double dryGasFactor = 1.0;
};

double LiveAlveolarPressureKPa(double boxPa, double volumeL, const LiveConversion& c);

// The live conversion before a test's zero: the lung volume is the first
// value (TLC) of the result shown (0: none shown), else 40 % of the
// predicted TLC, else 3.5 L, plus the gas between mouth and shutter; the
// artefact term is the pressure effect times the fixed share.
LiveConversion LiveConversionBeforeTest(double shownTlcL, double predictedTlcL, double tgvOffsetL,
                                        const AlveolarConversion& c, double share);

}  // namespace plethysmography
