#include "tools/lungmodel/LungModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace LungModel {

namespace {

constexpr double Pi = std::numbers::pi;
// The forced expiration ends when its flow falls below this, L/s, or after
// MaxExpirationS: the end-of-test plateau.
constexpr double EndFlowLps = 0.02;
constexpr double MaxExpirationS = 15.0;
// The descending limb of the flow-volume curve: flow = PEF * (R / R0)^n
// with R the volume still to be expired; n above 1 is the scooped limb of
// airway obstruction, n below 1 a convex one. n is chosen to give FEV1.
constexpr double MinExponent = 0.2;
constexpr double MaxExponent = 12.0;

int SamplesIn(double seconds) { return std::max(1, static_cast<int>(std::lround(seconds / SampleSeconds))); }

double Frc(const TPatient& p) { return p.RvL + p.ErvL; }
double Ivc(const TPatient& p) { return p.ErvL + p.TidalL + p.IrvL; }

}  // namespace

TForcedExpiration::TForcedExpiration(const TPatient& patient)
    : Pef(patient.PefLps), Rise(patient.RiseTimeS), Fvc(patient.FvcL), Peak(Pef * Rise / 2.0) {
  // FEV1 falls as the exponent grows: bisect for it.
  double lo = MinExponent;
  double hi = MaxExponent;
  for (int i = 0; i < 80; ++i) {
    const double mid = 0.5 * (lo + hi);
    Solve(mid);
    (Expired(1.0) > patient.Fev1L ? lo : hi) = mid;
  }
  Solve(0.5 * (lo + hi));
}

double TForcedExpiration::Limb(double tau, double n, double r0) const {
  if (std::fabs(n - 1.0) < 1e-9)
    return r0 * std::exp(-Pef * tau / r0);
  const double base = 1.0 - (1.0 - n) * Pef * tau / r0;
  return base <= 0.0 ? 0.0 : r0 * std::pow(base, 1.0 / (1.0 - n));
}

void TForcedExpiration::Solve(double n) {
  N = n;
  const double needed = Fvc - Peak;
  // The limb heads for more than is left to expire, so that it has expired
  // exactly FVC when its flow has fallen to the end of the test.
  const double q = std::pow(EndFlowLps / Pef, 1.0 / n);
  R0 = needed / (1.0 - q);
  double tau = std::fabs(n - 1.0) < 1e-9 ? R0 / Pef * std::log(1.0 / q)
                                          : R0 * (1.0 - std::pow(q, 1.0 - n)) / ((1.0 - n) * Pef);
  if (Rise + tau > MaxExpirationS) {
    tau = MaxExpirationS - Rise;
    for (int i = 0; i < 60; ++i)
      R0 = needed + Limb(tau, n, R0);
  }
  End = Rise + tau;
}

double TForcedExpiration::ExpiredWith(double t, double n, double r0) const {
  if (t <= 0.0)
    return 0.0;
  if (t < Rise)  // flow rises as sin^2 to PEF
    return Pef * (t / 2.0 - Rise / (2.0 * Pi) * std::sin(Pi * t / Rise));
  return Peak + r0 - Limb(std::min(t, End) - Rise, n, r0);
}

double TForcedExpiration::Expired(double t) const { return ExpiredWith(t, N, R0); }

std::optional<std::string> CheckForced(const TPatient& p) {
  if (p.FvcL <= 0.0 || p.PefLps <= 0.0 || p.RiseTimeS <= 0.0 || p.RiseTimeS > 0.5)
    return "FVC and PEF must be positive and the rise time between 0 and 0.5 s";
  if (p.Fev1L >= p.FvcL || p.Fev1L <= p.PefLps * p.RiseTimeS / 2.0)
    return "FEV1 must lie between the volume of the rise to PEF and FVC";
  TPatient edge = p;
  edge.Fev1L = 0.0;  // solves to the largest exponent
  const double least = TForcedExpiration(edge).Expired(1.0);
  edge.Fev1L = p.FvcL;
  const double most = TForcedExpiration(edge).Expired(1.0);
  if (p.Fev1L < least - 1e-6 || p.Fev1L > most + 1e-6)
    return "FEV1 " + std::to_string(p.Fev1L) + " L cannot be reached with this FVC and PEF (" + std::to_string(least) +
           " to " + std::to_string(most) + " L)";
  return std::nullopt;
}

void TVolumeCurve::Hold(double seconds) {
  const double v = Volume();
  for (int k = SamplesIn(seconds); k > 0; --k)
    Append(v);
}

void TVolumeCurve::Move(double deltaL, double seconds) {
  const double v = Volume();
  const int n = SamplesIn(seconds);
  for (int k = 1; k <= n; ++k)
    Append(v + deltaL * (1.0 - std::cos(Pi * k / n)) / 2.0);
}

void TVolumeCurve::Tidal(int breaths, double tidalL, double breathS) {
  for (int b = 0; b < breaths; ++b) {
    Move(tidalL, 0.4 * breathS);
    Move(-tidalL, 0.6 * breathS);
  }
}

void TVolumeCurve::ForcedExpiration(const TPatient& patient) {
  const TForcedExpiration expiration(patient);
  const double v = Volume();
  const int n = static_cast<int>(std::ceil(expiration.EndS() / SampleSeconds));
  for (int k = 1; k <= n; ++k)
    Append(v - expiration.Expired(std::min(k * SampleSeconds, expiration.EndS())));
}

void TVolumeCurve::Sine(int breaths, double tidalL, double periodS) {
  const double v = Volume();
  const int n = SamplesIn(breaths * periodS);
  for (int k = 1; k <= n; ++k)
    Append(v + tidalL / 2.0 * (1.0 - std::cos(2.0 * Pi * k * SampleSeconds / periodS)));
}

std::vector<double> TVolumeCurve::Flows() const {
  std::vector<double> flows(Volumes.size() - 1);
  for (std::size_t i = 0; i + 1 < Volumes.size(); ++i)
    flows[i] = (Volumes[i + 1] - Volumes[i]) / SampleSeconds;
  return flows;
}

std::vector<double> ForcedManoeuvre(const TPatient& p) {
  TVolumeCurve curve(Frc(p));
  curve.Hold(0.5);
  curve.Move(p.RvL + p.FvcL - Frc(p), 1.5);  // to TLC
  curve.Hold(0.5);
  curve.ForcedExpiration(p);
  curve.Hold(0.3);
  curve.Move(p.FivcL, Pi * p.FivcL / (2.0 * p.PifLps));
  curve.Hold(1.0);
  return curve.Flows();
}

std::vector<double> SlowVcManoeuvre(const TPatient& p) {
  TVolumeCurve curve(Frc(p));
  curve.Tidal(4, p.TidalL, p.BreathS);
  curve.Move(-p.ErvL, 3.0);
  curve.Move(Ivc(p), 5.0);
  curve.Move(-(p.TidalL + p.IrvL), 3.0);  // back to FRC
  curve.Tidal(1, p.TidalL, p.BreathS);
  curve.Hold(1.0);
  return curve.Flows();
}

std::vector<double> MvvManoeuvre(const TPatient& p) {
  TVolumeCurve curve(Frc(p));
  curve.Hold(0.5);
  curve.Sine(static_cast<int>(std::lround(p.MvvPerMin * p.MvvSeconds / 60.0)), p.MvvTidalL, 60.0 / p.MvvPerMin);
  curve.Hold(1.0);
  return curve.Flows();
}

std::vector<double> SyringeStrokes(const TPatient& p) {
  TVolumeCurve curve(0.0);
  curve.Hold(0.5);
  const std::size_t runs = std::max<std::size_t>(p.StrokeSeconds.size(), 1);
  const int perRun = std::max(1, p.SyringeStrokes / static_cast<int>(runs));
  for (int stroke = 0; stroke < p.SyringeStrokes; ++stroke) {
    const std::size_t run = std::min(static_cast<std::size_t>(stroke / perRun), runs - 1);
    const double seconds = p.StrokeSeconds.empty() ? 1.0 : p.StrokeSeconds[run];
    curve.Move(stroke % 2 == 0 ? p.SyringeL : -p.SyringeL, seconds);
    curve.Hold(0.5);
  }
  return curve.Flows();
}

double DiffusionInspiredL(const TPatient& p) { return Ivc(p); }

std::vector<double> DiffusionInspiration(const TPatient& p) {
  TVolumeCurve curve(Frc(p));
  // Six quiet breaths: the expiration to RV is the eleventh turning point
  // after the start of a trial that begins with an expiration.
  curve.Tidal(6, p.TidalL, p.BreathS);
  curve.Move(-p.ErvL, 3.0);
  curve.Move(DiffusionInspiredL(p), DiffusionInspirationS);
  return curve.Flows();
}

std::vector<double> DiffusionExpiration(const TPatient& p) {
  TVolumeCurve curve(p.RvL + DiffusionInspiredL(p));
  curve.Move(-DiffusionInspiredL(p), 4.0);
  curve.Move(p.ErvL, 2.0);
  curve.Tidal(2, p.TidalL, p.BreathS);
  return curve.Flows();
}

TAlveolarGas AlveolarGas(const TPatient& p, double inspiredL, double uptakeS) {
  // Helium only dilutes into the alveolar volume; carbon monoxide dilutes
  // alike and is taken up exponentially (Krogh) at DLCO·(PB − 47) / VA,STPD,
  // where the pressures cancel: DLCO × 760 × 310.15 / (VA × 273.15).
  const double dilution = (inspiredL - p.DeadSpaceL) / p.AlveolarVolumeL;
  const double dlcoMlMinMmHg = p.TlcoMmolMinKPa * 2.987;
  const double perMin = dlcoMlMinMmHg * 760.0 * 310.15 / (p.AlveolarVolumeL * 1000.0 * 273.15);
  return {p.InspiredHePercent * dilution, p.InspiredCoPercent * dilution * std::exp(-perMin * uptakeS / 60.0)};
}

double DiffusionUptakeStartS() {
  // The inspiration is a half cosine of T = 2 s: the tangent at peak flow
  // meets the start at T (1/2 − 1/π), and 90 % is in at T acos(−0.8) / π.
  constexpr double pi = 3.14159265358979323846;
  const double timeZero = DiffusionInspirationS * (0.5 - 1.0 / pi);
  const double ninety = DiffusionInspirationS * std::acos(-0.8) / pi;
  return timeZero + 0.3 * (ninety - timeZero);
}

double DiffusionUptakeS(double heldS) {
  // The expiration is a half cosine of 4 s: half the volume is out half
  // way through it.
  constexpr double expirationS = 4.0;
  return DiffusionInspirationS - DiffusionUptakeStartS() + heldS + expirationS / 2.0;
}

std::int16_t TFlowQuantizer::Next(double flowLps) {
  const double exact = flowLps * 1000.0 / FlowMlpsPerCount + Carry;
  const long count = std::clamp(std::lround(exact), -32768L, 32767L);
  Carry = exact - static_cast<double>(count);
  return static_cast<std::int16_t>(count);
}

double AlveolarPa(const TPatient& p, double flowLps) {
  return -1000.0 * (p.RawKpaSpL * flowLps + p.RohrerKpaS2pL2 * flowLps * std::fabs(flowLps));
}

TShutterHead::TReading TShutterHead::Next(double flowLps) {
  const long inBlock = Phase++ % Block;
  if (inBlock < ClosedFrom) {
    FlowBefore = flowLps;
    return {flowLps, std::nullopt};
  }
  if (inBlock == ClosedFrom) {
    // The moment of closure: the flow of the sample before, no pressure yet.
    ClosurePa = AlveolarPa(Patient, FlowBefore);
    PushSign = FlowBefore > 0.0 ? -1.0 : FlowBefore < 0.0 ? 1.0 : -1.0;
    return {FlowBefore, 0.0};
  }
  const double closedS = static_cast<double>(inBlock - ClosedFrom) * SampleSeconds;
  return {0.0, ClosurePa + PushSign * Patient.ShutterRiseKpaS * 1000.0 * closedS};
}

std::vector<double> TidalBreathing(const TPatient& p, int breaths) {
  TVolumeCurve curve(Frc(p));
  curve.Tidal(breaths, p.TidalL, p.BreathS);
  return curve.Flows();
}

TShutterTrial ShutterTrial(const TPatient& p) {
  TShutterTrial trial;
  TShutterHead head(p);
  for (const double flow : TidalBreathing(p, 12)) {
    const TShutterHead::TReading reading = head.Next(flow);
    trial.FlowLps.push_back(reading.FlowLps);
    trial.MouthPa.push_back(reading.MouthPa.value_or(0.0));
    trial.Closed.push_back(reading.MouthPa.has_value());
  }
  return trial;
}

}  // namespace LungModel
