#include "platform/portkit/spirometry/tests/Waveforms.h"

#include "platform/portkit/spirometry/FvcParameters.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace spirometry::testing {

namespace {

constexpr double LinkStepLps = 8.7890625 / 1000.0;

}  // namespace

double Blast::Flow(double t) const {
  if (t < 0.0 || t >= durationS) {
    return 0.0;
  }
  if (t < hesitationS) {
    return hesitationLps;
  }
  if (t < PeakTimeS()) {
    return hesitationLps + (peakLps - hesitationLps) * (t - hesitationS) / riseS;
  }
  return peakLps * std::exp(-(t - PeakTimeS()) / decayS);
}

double Blast::Volume(double t) const {
  t = std::clamp(t, 0.0, durationS);
  if (t < hesitationS) {
    return hesitationLps * t;
  }
  if (t < PeakTimeS()) {
    const double u = t - hesitationS;
    return hesitationLps * hesitationS + hesitationLps * u + (peakLps - hesitationLps) * u * u / (2.0 * riseS);
  }
  const double atPeak = hesitationLps * hesitationS + (peakLps + hesitationLps) * riseS / 2.0;
  return atPeak + peakLps * decayS * (1.0 - std::exp(-(t - PeakTimeS()) / decayS));
}

double Blast::TimeOfVolume(double v) const {
  const double hesitated = hesitationLps * hesitationS;
  if (v <= hesitated && hesitationLps > 0.0) {
    return v / hesitationLps;
  }
  const double atPeak = hesitated + (peakLps + hesitationLps) * riseS / 2.0;
  if (v <= atPeak) {
    // (P - fh) / (2 r) u² + fh u = v - hesitated
    const double a = (peakLps - hesitationLps) / (2.0 * riseS);
    const double b = hesitationLps;
    const double c = -(v - hesitated);
    return hesitationS + (-b + std::sqrt(b * b - 4.0 * a * c)) / (2.0 * a);
  }
  return PeakTimeS() - decayS * std::log(1.0 - (v - atPeak) / (peakLps * decayS));
}

double Blast::Moment(double from, double to) const {
  const auto overlap = [&](double first, double last, auto integral) {
    const double x = std::max(first, from);
    const double y = std::min(last, to);
    return y > x ? integral(y) - integral(x) : 0.0;
  };
  double moment = 0.0;
  // Hesitation: constant flow.
  moment += overlap(0.0, hesitationS, [&](double t) { return hesitationLps * (t - from) * (t - from) / 2.0; });
  // Rise: q = fh + beta (t - h); with s = t - from and d = from - h,
  // (t - from) q = (fh + beta d) s + beta s².
  const double beta = (peakLps - hesitationLps) / riseS;
  const double d = from - hesitationS;
  moment += overlap(hesitationS, PeakTimeS(), [&](double t) {
    const double s = t - from;
    return (hesitationLps + beta * d) * s * s / 2.0 + beta * s * s * s / 3.0;
  });
  // Decay: the antiderivative of (t - from) P e^(-(t - T)/tau) is
  // -P tau e^(-(t - T)/tau) (t - from + tau).
  moment += overlap(PeakTimeS(), durationS, [&](double t) {
    return -peakLps * decayS * std::exp(-(t - PeakTimeS()) / decayS) * (t - from + decayS);
  });
  return moment;
}

Waveform& Waveform::GlideTo(double levelL, double durationS) {
  Add({Piece::Kind::Glide, durationS_, durationS, levelL_, levelL});
  levelL_ = levelL;
  return *this;
}

Waveform& Waveform::Breathe(int breaths, double tidalL, double periodS) {
  const double top = levelL_;
  for (int i = 0; i < breaths; ++i) {
    GlideTo(top - tidalL, periodS / 2.0);
    GlideTo(top, periodS / 2.0);
  }
  return *this;
}

Waveform& Waveform::Pause(double durationS) {
  Add({Piece::Kind::Pause, durationS_, durationS, levelL_, levelL_});
  return *this;
}

Waveform& Waveform::Expire(const Blast& blast) {
  const double to = levelL_ - blast.Volume(blast.durationS);
  Add({Piece::Kind::Expiration, durationS_, blast.durationS, levelL_, to, blast});
  levelL_ = to;
  return *this;
}

Waveform& Waveform::Inspire(const Blast& blast) {
  const double to = levelL_ + blast.Volume(blast.durationS);
  Add({Piece::Kind::Inspiration, durationS_, blast.durationS, levelL_, to, blast});
  levelL_ = to;
  return *this;
}

void Waveform::Add(Piece piece) {
  durationS_ += piece.durationS;
  pieces_.push_back(piece);
}

double Waveform::Flow(double t) const {
  for (const Piece& piece : pieces_) {
    const double local = t - piece.startS;
    if (local < 0.0 || local >= piece.durationS) {
      continue;
    }
    switch (piece.kind) {
    case Piece::Kind::Glide:
      // V = from + (to - from) (1 - cos(pi s / D)) / 2
      return (piece.toL - piece.fromL) * std::numbers::pi / (2.0 * piece.durationS) *
             std::sin(std::numbers::pi * local / piece.durationS);
    case Piece::Kind::Pause: return 0.0;
    case Piece::Kind::Expiration: return -piece.blast.Flow(local);
    case Piece::Kind::Inspiration: return piece.blast.Flow(local);
    }
  }
  return 0.0;
}

std::vector<double> Waveform::Sample(double phase) const {
  std::vector<double> flow;
  for (std::size_t i = 0;; ++i) {
    const double t = (static_cast<double>(i) + phase) * 0.01;
    if (t >= durationS_) {
      break;
    }
    flow.push_back(Flow(t));
  }
  return flow;
}

Waveform SixtySecondFvcTrial() {
  Waveform w(3.0);
  w.Breathe(9, 0.5, 4.0).GlideTo(5.5, 2.0).Pause(0.4);
  w.Expire({0, 0, 0.08, 9.0, 0.5, 6}).Inspire({0, 0, 0.12, 6.0, 0.7, 4});
  w.Breathe(3, 0.5, 3.8);
  w.Pause(60.0 - w.DurationS());
  return w;
}

double TrueBackExtrapolatedVolume(const Blast& expiration) {
  return expiration.Volume(expiration.BackExtrapolatedTimeS());
}

std::array<double, 19> TrueFvcRecord(const Blast& ex, const Blast& in) {
  std::array<double, 19> r{};
  const double t0 = ex.BackExtrapolatedTimeS();
  // The plateau: P tau e^(-(t - T)/tau) (e^(1/tau) - 1) = 0.025 L expired in the last second.
  const double tau = ex.decayS;
  const double plateau =
      ex.PeakTimeS() + tau * std::log(ex.peakLps * tau * (std::exp(1.0 / tau) - 1.0) / 0.025);
  if (plateau - 1.0 < ex.PeakTimeS()) {
    r.fill(std::numeric_limits<double>::quiet_NaN());  // the closed form above does not hold
    return r;
  }
  const double end = std::min({plateau, t0 + 15.0, ex.durationS});
  // Volumes count from full inspiration, the start of the limb (volume 0);
  // only the times count from time zero.
  const double fvc = ex.Volume(end);
  r[FVC] = fvc;
  r[FEV_0_5] = ex.Volume(std::min(t0 + 0.5, end));
  r[FEV_1_0] = ex.Volume(std::min(t0 + 1.0, end));
  r[FEV_0_5_FVC] = 100.0 * r[FEV_0_5] / fvc;
  r[FEV_1_0_FVC] = 100.0 * r[FEV_1_0] / fvc;
  r[PEF] = ex.peakLps;
  const double t25 = ex.TimeOfVolume(0.25 * fvc);
  const double t50 = ex.TimeOfVolume(0.50 * fvc);
  const double t75 = ex.TimeOfVolume(0.75 * fvc);
  r[FEF_25_75] = 0.5 * fvc / (t75 - t25);
  r[MEF_75] = ex.Flow(t25);
  r[MEF_50] = ex.Flow(t50);
  r[MEF_25] = ex.Flow(t75);
  r[FET] = end - t0;
  // The mean of (t - t0) over the whole FVC; the volume expired before time
  // zero counts with its negative time.
  r[MTT] = (ex.Moment(0.0, end) - t0 * fvc) / fvc;

  const double fivc = in.Volume(in.durationS);
  const double ti = in.BackExtrapolatedTimeS();
  r[FIVC] = fivc;
  r[FIV_0_5] = in.Volume(ti + 0.5);
  r[FIV_1_0] = in.Volume(ti + 1.0);
  r[PIF] = in.peakLps;
  r[FIF_25_75] = 0.5 * fivc / (in.TimeOfVolume(0.75 * fivc) - in.TimeOfVolume(0.25 * fivc));

  const double ivc = std::max(fivc, fvc);
  r[FEV_0_5_IVC] = 100.0 * r[FEV_0_5] / ivc;
  r[FEV_1_0_IVC] = 100.0 * r[FEV_1_0] / ivc;
  return r;
}

std::vector<short> Quantise(const std::vector<double>& flowLps) {
  std::vector<short> counts;
  counts.reserve(flowLps.size());
  for (const double flow : flowLps) {
    counts.push_back(static_cast<short>(std::lround(flow / LinkStepLps)));
  }
  return counts;
}

std::vector<short> Noise(std::size_t samples, double sigmaLps, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, sigmaLps);
  std::vector<double> flow(samples);
  for (double& f : flow) {
    f = noise(random);
  }
  return Quantise(flow);
}

}  // namespace spirometry::testing
