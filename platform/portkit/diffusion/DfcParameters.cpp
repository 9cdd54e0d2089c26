#include "platform/portkit/diffusion/DfcParameters.h"

#include "platform/portkit/spirometry/VcParameters.h"

#include <algorithm>
#include <array>

namespace diffusion {

namespace {

float Percent(double part, double whole) { return static_cast<float>(part / whole * 100.0); }

}  // namespace

Refusal CalculateDfcParams(const spirometry::TrialCurve& curve, const spirometry::Extremes& extremes,
                           const DfcInput& input, DfcRecord record) {
  std::fill(record.begin(), record.end(), 0.0f);
  const DfcManoeuvre& m = input.manoeuvre;
  const std::optional<JonesMeade> hold = JonesMeadeBreathHold(curve, m.marks);
  if (!hold) {
    return Refusal::NoManoeuvre;
  }
  SingleBreathInput sb;
  sb.inspiredL = m.InspiredL();
  sb.deadSpaceL = input.deadSpaceL;
  sb.breathHoldS = hold->breathHoldS;
  sb.pressureHpa = input.pressureHpa;
  sb.readings = input.readings;
  sb.calibration = input.calibration;
  SingleBreathResult gas;
  if (const Refusal refusal = CalculateSingleBreath(sb, gas); refusal != Refusal::None) {
    return refusal;
  }

  // The tidal breathing before the manoeuvre, as a slow VC sees it up to the
  // start of the breath hold: the expiration to RV, then the test gas to TLC.
  std::array<float, VC_PARAMETER_COUNT> vc{};
  const spirometry::TrialCurve before{curve.flowLps.first(m.marks.holdStart + 1),
                                      curve.volumeL.first(m.marks.holdStart + 1)};
  const bool tidal = spirometry::CalculateVcParams(before, extremes, vc) && vc[spirometry::TV] > 0.0f;

  const double tlc = gas.alveolarVolumeL + input.deadSpaceL;
  const double rv = tlc - sb.inspiredL;
  record[TLC] = static_cast<float>(tlc);
  record[IVC] = static_cast<float>(sb.inspiredL);
  record[RV] = static_cast<float>(rv);
  record[RV_TLC] = Percent(rv, tlc);
  if (tidal) {
    record[IRV] = vc[spirometry::IRV];
    record[ERV] = vc[spirometry::ERV];
    record[TV] = vc[spirometry::TV];
    const double frc = rv + vc[spirometry::ERV];
    record[FRC] = static_cast<float>(frc);
    record[FRC_TLC] = Percent(frc, tlc);
  }
  record[Tlco] = static_cast<float>(gas.tlcoMmolMinKPa);
  record[Klco] = static_cast<float>(gas.kcoMmolMinKPaL);
  record[BHtime] = static_cast<float>(hold->breathHoldS);
  record[WOV] = static_cast<float>(m.discardL);
  return Refusal::None;
}

}  // namespace diffusion
