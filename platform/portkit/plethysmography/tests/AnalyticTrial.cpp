#include "platform/portkit/plethysmography/tests/AnalyticTrial.h"

#include <cmath>
#include <numbers>

namespace plethysmography::testing {

namespace {

constexpr double Dt = 0.01;
constexpr std::size_t LeadIn = 50;  // the last half second of an expiration

// Boyle's law on the dry share of the gas: the volume the gas of `volumeL`
// gains when the alveolar pressure moves by `alveolarPa` from atmospheric.
double Expansion(double alveolarPa, double volumeL, double dryPa) {
  return -alveolarPa * volumeL / (dryPa + alveolarPa);
}

}  // namespace

AnalyticTrial MakeTrial(const AnalyticPatient& p, const AnalyticBox& box) {
  const double pb = box.pressureHpa * 100.0;
  const double dry = pb - box.water37Pa;
  const std::size_t breath = static_cast<std::size_t>(std::lround(p.breathPeriodS / Dt));
  const double peakFlow = std::numbers::pi * p.tidalL / p.breathPeriodS;
  // A flow sample is the mean flow over the interval before it: the first
  // inspiratory one follows the inspiration start at LeadIn, and the
  // sequence marks its breaths there.
  const std::size_t resistanceEnd = LeadIn + 1 + static_cast<std::size_t>(p.loops) * breath;
  const std::size_t tgvStart = resistanceEnd + static_cast<std::size_t>(p.breathsBeforeShutter) * breath;
  const std::size_t panting = static_cast<std::size_t>(std::lround(p.pantingPeriodS / Dt));
  const std::size_t pantingEnd = tgvStart + static_cast<std::size_t>(p.pantingCycles) * panting + panting;
  const std::size_t manoeuvre = static_cast<std::size_t>(std::lround(3.0 / Dt));
  const std::size_t total = pantingEnd + 10 + manoeuvre + 50 + (p.ivcL > 0.0 ? manoeuvre + 50 : 0);

  AnalyticTrial t;
  t.flowLps.assign(total, 0.0f);
  t.volumeL.assign(total, 0.0f);
  t.boxPa.assign(total, 0.0f);
  t.mouthKPa.assign(total, 0.0f);
  t.marks.resistanceStart = LeadIn;
  t.marks.resistanceEnd = resistanceEnd;
  t.marks.tgvStart = tgvStart;
  t.loopStartS = LeadIn * Dt;

  // Open shutter: quiet breathing through the airway resistance.
  for (std::size_t i = 0; i < tgvStart; ++i) {
    const double tau = i < LeadIn ? p.breathPeriodS - static_cast<double>(LeadIn - i) * Dt
                                  : static_cast<double>((i - LeadIn) % breath) * Dt;
    const double phase = 2.0 * std::numbers::pi * tau / p.breathPeriodS;
    const double flow = peakFlow * std::sin(phase);
    const double aboveFrc = p.tidalL * 0.5 * (1.0 - std::cos(phase));
    // The volume the program integrates is the volume the box sees.
    const double before = p.tidalL * 0.5 * (1.0 - std::cos(phase - 2.0 * std::numbers::pi * Dt / p.breathPeriodS));
    const double alveolarPa = -(p.k1 * flow + p.k2 * flow * std::fabs(flow)) * 1000.0;
    const double lung = p.frcL + aboveFrc;
    t.boxPa[i] = static_cast<float>(pb * Expansion(alveolarPa, lung, dry) / box.correctedCabinL +
                                    p.artefactShare * box.artefactPa * aboveFrc / box.correctedCabinL);
    if (i < resistanceEnd)
      t.flowLps[i] = static_cast<float>((aboveFrc - before) / Dt);
  }
  // Closed shutter: panting at FRC, the mouth reads the alveolar pressure.
  int crossings = 0;
  for (std::size_t i = tgvStart; i < pantingEnd; ++i) {
    const double mouth = p.pantingKPa * std::sin(2.0 * std::numbers::pi * static_cast<double>(i - tgvStart) * Dt /
                                                 p.pantingPeriodS);
    t.mouthKPa[i] = static_cast<float>(mouth);
    t.boxPa[i] = static_cast<float>(pb * Expansion(mouth * 1000.0, p.frcL + p.deadSpaceL, dry) / box.correctedCabinL);
    if (t.marks.end == 0 && t.mouthKPa[i - 1] > 0.0f && t.mouthKPa[i] <= 0.0f && ++crossings == p.pantingCycles) {
      t.marks.end = i;
      break;
    }
  }
  for (std::size_t i = t.marks.end + 1; i < total; ++i)
    t.mouthKPa[i] = 0.0f;
  // Shutter open again: out to RV, then in to TLC when asked.
  const std::size_t out = t.marks.end + 10;
  for (std::size_t k = 0; k < manoeuvre; ++k) {
    const double s = static_cast<double>(k) / static_cast<double>(manoeuvre);
    t.flowLps[out + k] = static_cast<float>(-std::numbers::pi * p.ervL / (2.0 * 3.0) * std::sin(std::numbers::pi * s));
  }
  if (p.ivcL > 0.0) {
    const std::size_t in = out + manoeuvre + 50;
    for (std::size_t k = 0; k < manoeuvre; ++k) {
      const double s = static_cast<double>(k) / static_cast<double>(manoeuvre);
      t.flowLps[in + k] = static_cast<float>(std::numbers::pi * p.ivcL / (2.0 * 3.0) * std::sin(std::numbers::pi * s));
    }
  }
  double volume = 0.0;
  for (std::size_t i = 0; i < total; ++i) {
    volume += t.flowLps[i] * Dt;
    t.volumeL[i] = static_cast<float>(volume);
    t.boxPa[i] += static_cast<float>(p.driftPaPerS * static_cast<double>(i) * Dt);
  }
  return t;
}

}  // namespace plethysmography::testing
