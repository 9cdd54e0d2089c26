#pragma once

// A patient at the mouthpiece, sampled 100 times a second: the manoeuvres
// of the lung-function tests as lung-volume curves, and the signals that
// go with them (box and mouth pressure, nasal pressure, gas concentrations).
//
// Flow is taken from the volume curve as the volume change of each sample
// period, so the flows of a manoeuvre add up to exactly its volumes: a
// forced expiration of 4.50 L integrates to 4.50 L. Inspiration is
// positive, expiration negative.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace LungModel {

inline constexpr double SampleSeconds = 0.01;
inline constexpr double FlowMlpsPerCount = 8.7890625;

struct TPatient {
  double FvcL = 4.5;
  double Fev1L = 3.7;
  double PefLps = 9.0;
  double RiseTimeS = 0.1;  // from the start of the blast to peak flow
  double FivcL = 4.4;
  double PifLps = 6.0;
  double RvL = 1.6;        // residual volume
  double TidalL = 0.6;
  double BreathS = 4.0;    // one quiet breath
  double IrvL = 2.2;       // slow manoeuvre: inspiratory and expiratory reserve
  double ErvL = 1.5;
  double MvvTidalL = 1.8;
  double MvvPerMin = 90.0;
  double MvvSeconds = 12.0;
  double SyringeL = 3.0;
  int SyringeStrokes = 20;
  // Seconds a stroke takes: the strokes are played in as many equal runs
  // as there are times, in order (the last run takes what is left).
  std::vector<double> StrokeSeconds{1.0};
  double AlveolarVolumeL = 5.6;  // single-breath diffusion
  double DeadSpaceL = 0.33;      // instrument and anatomic, as the program's "DeadSpace"
  double TlcoMmolMinKPa = 8.0;   // the true transfer factor
  double BreathHoldS = 10.0;
  double InspiredHePercent = 4.8;   // the test gas
  double InspiredCoPercent = 0.3;
  double RawKpaSpL = 0.15;        // airway resistance (the linear term K1, kPa·s/L)
  double RohrerKpaS2pL2 = 0.0;    // the Rohrer term K2: P = K1·V' + K2·V'·|V'|
  double ShutterRiseKpaS = 0.3;   // how fast the pressure behind a closed shutter keeps rising
  double TgvL = 3.2;              // thoracic gas volume at the shutter: the FRC in the body box
  double BoxVolumeL = 890.0;      // the cabin less the patient (the spirometer's box signal)
  double NasalFlowAt150Pa = 400.0;  // mL/s, one nostril
};

// Checks a patient for a forced manoeuvre the model can draw; the reason
// when it cannot (FEV1 above what FVC and PEF allow, and so on).
std::optional<std::string> CheckForced(const TPatient& patient);

// Lung volume, sampled every 10 ms, built from segments.
class TVolumeCurve {
public:
  explicit TVolumeCurve(double startL) : Volumes{startL} {}

  double Volume() const { return Volumes.back(); }
  std::size_t Samples() const { return Volumes.size() - 1; }

  void Hold(double seconds);
  // A smooth breath: the volume moves by `deltaL` along half a cosine, so
  // the flow rises and falls as a half sine with peak pi/2 * delta / time.
  void Move(double deltaL, double seconds);
  // Quiet breaths from the current volume and back.
  void Tidal(int breaths, double tidalL, double breathS);
  // A forced expiration of patient.FvcL with the patient's FEV1 and PEF.
  void ForcedExpiration(const TPatient& patient);
  // Sinusoidal breathing: inspiration first, `breaths` whole breaths.
  void Sine(int breaths, double tidalL, double periodS);

  // Flow of each sample period, L/s.
  std::vector<double> Flows() const;

private:
  void Append(double volume) { Volumes.push_back(volume); }
  std::vector<double> Volumes;
};

// The forced expiration alone: expired volume after `t` seconds from the
// start of the blast, and when it ends.
class TForcedExpiration {
public:
  explicit TForcedExpiration(const TPatient& patient);
  double Expired(double t) const;
  double EndS() const { return End; }
  double Exponent() const { return N; }

private:
  double Limb(double tau, double n, double r0) const;
  double ExpiredWith(double t, double n, double r0) const;
  void Solve(double n);

  double Pef;
  double Rise;
  double Fvc;
  double Peak;  // expired when the flow peaks
  double N = 1.0;
  double R0 = 0.0;  // volume the descending limb heads for
  double End = 0.0;
};

// The manoeuvres, as flows in L/s from the first sample after the lead-in.
std::vector<double> ForcedManoeuvre(const TPatient& patient);     // inspiration to TLC, blast, forced inspiration
std::vector<double> SlowVcManoeuvre(const TPatient& patient);     // quiet breaths, ERV, IVC, back
std::vector<double> MvvManoeuvre(const TPatient& patient);
std::vector<double> SyringeStrokes(const TPatient& patient);     // inspiration first
// The single breath of the diffusion test: quiet breaths, expiration to RV,
// inspiration of the test gas; the breath hold and the expiration follow.
std::vector<double> DiffusionInspiration(const TPatient& patient);
std::vector<double> DiffusionExpiration(const TPatient& patient);
// The inspired volume of the diffusion breath.
double DiffusionInspiredL(const TPatient& patient);

// Alveolar gas of the diffusion breath, per cent: the tracer diluted from
// the inspired volume less the dead space into VA, the CO taken up for
// `uptakeS` seconds at the rate the patient's Tlco gives.
struct TAlveolarGas {
  double HePercent;
  double CoPercent;
};
TAlveolarGas AlveolarGas(const TPatient& patient, double inspiredL, double uptakeS);
// The CO uptake time of the model's breath held `heldS` seconds, as Jones
// and Meade count it: from 30 % of the inspiratory time (time zero by back
// extrapolation, to 90 % of the volume) to the middle of the gas sample,
// which the program's default window (no wash-out volume, the collection
// volume uncorrected) centres on half the inspired volume.
double DiffusionUptakeS(double heldS);
// When the uptake begins as Jones and Meade count it: seconds after the
// start of the model's 2-s inspiration of the test gas.
double DiffusionUptakeStartS();
inline constexpr double DiffusionInspirationS = 2.0;

// Flow in L/s to counts of 8.7890625 mL/s. The rounding error is carried to
// the next sample, so the integrated counts never drift from the volume by
// more than half a count.
class TFlowQuantizer {
public:
  std::int16_t Next(double flowLps);

private:
  double Carry = 0.0;
};

// Rhinomanometry: nasal pressure and the flow it drives, several breaths
// (RhinoModel.h; the patient's nose is an orifice of its flow at 150 Pa).
struct TRhinoTrial {
  std::vector<double> FlowMlps;
  std::vector<double> PressurePa;
};
TRhinoTrial RhinoTrial(const TPatient& patient);

// The alveolar pressure that drives a flow through the airways, Pa: opposite
// in sign to the flow (an inspiration draws it below the mouth), by
// Rohrer's relation with the patient's K1 and K2.
double AlveolarPa(const TPatient& patient, double flowLps);

// The shutter head while its series runs: closed for 10 samples of every 40.
// The first closed sample still carries the flow before it, at no mouth
// pressure; then no flow, and the mouth pressure reads the alveolar pressure
// of the moment of closure, rising slowly on as the patient keeps pushing.
// Open, it measures no pressure.
class TShutterHead {
public:
  static constexpr int Block = 40;
  static constexpr int ClosedFrom = 30;

  explicit TShutterHead(const TPatient& patient) : Patient(patient) {}

  struct TReading {
    double FlowLps = 0.0;
    std::optional<double> MouthPa;  // none while open
  };
  // The next sample of a patient breathing `flowLps`.
  TReading Next(double flowLps);
  void Restart() { Phase = 0; }

private:
  TPatient Patient;
  long Phase = 0;
  double FlowBefore = 0.0;
  double ClosurePa = 0.0;
  double PushSign = -1.0;
};

// Quiet breathing, inspiration first: `breaths` breaths of the patient's
// tidal volume and breath time from the resting level and back.
std::vector<double> TidalBreathing(const TPatient& patient, int breaths);

// The shutter series over quiet breathing, for the demonstration file.
struct TShutterTrial {
  std::vector<double> FlowLps;
  std::vector<double> MouthPa;  // nothing while open
  std::vector<bool> Closed;
};
TShutterTrial ShutterTrial(const TPatient& patient);

}  // namespace LungModel
