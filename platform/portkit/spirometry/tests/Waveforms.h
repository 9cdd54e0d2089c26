#pragma once

// Test breathing waveforms built from shapes whose volumes, times and flows
// have closed forms, so that every true value is computed here by hand and
// never by the code under test.
//
// A forced limb (Blast) is a hesitation at a low flow, a linear rise to the
// peak and an exponential decay, cut off after its duration. Slow breathing
// (Glide) moves the volume from one level to the next along half a cosine,
// so the flow is zero at every turn.

#include <array>
#include <cstddef>
#include <vector>

namespace spirometry::testing {

struct Blast {
  double hesitationS = 0.0;
  double hesitationLps = 0.0;
  double riseS = 0.1;
  double peakLps = 8.0;
  double decayS = 0.5;
  double durationS = 6.0;  // from the start of the limb to its end

  double PeakTimeS() const { return hesitationS + riseS; }
  // Flow magnitude at time t after the start of the limb (0 outside it).
  double Flow(double t) const;
  // Volume moved from the start of the limb to time t.
  double Volume(double t) const;
  // The time at which the volume moved reaches v.
  double TimeOfVolume(double v) const;
  // The first moment of the flow from `from` to `to`: the integral of (t - from) × flow.
  double Moment(double from, double to) const;
  // Time zero by back extrapolation: the tangent at peak flow meets volume 0.
  double BackExtrapolatedTimeS() const { return PeakTimeS() - Volume(PeakTimeS()) / peakLps; }
};

// A whole trial: pieces played one after another from time 0.
class Waveform {
 public:
  explicit Waveform(double startLevelL = 0.0) : levelL_(startLevelL) {}

  // Slow breathing to a level.
  Waveform& GlideTo(double levelL, double durationS);
  // Tidal breaths from the current level (an end-inspiratory one) down by
  // tidalL and back, each over periodS.
  Waveform& Breathe(int breaths, double tidalL, double periodS);
  Waveform& Pause(double durationS);
  Waveform& Expire(const Blast& blast);
  Waveform& Inspire(const Blast& blast);

  double DurationS() const { return durationS_; }
  double LevelL() const { return levelL_; }
  // The time at which the piece added next will start.
  double NowS() const { return durationS_; }

  // Flow at time t, inspiration positive.
  double Flow(double t) const;
  // Flow at t = (i + phase) × 10 ms for every sample time inside the trial.
  std::vector<double> Sample(double phase) const;

 private:
  struct Piece {
    enum class Kind { Glide, Pause, Expiration, Inspiration } kind;
    double startS;
    double durationS;
    double fromL = 0.0;
    double toL = 0.0;
    Blast blast{};
  };
  void Add(Piece piece);

  std::vector<Piece> pieces_;
  double durationS_ = 0.0;
  double levelL_ = 0.0;
};

// One minute of an FVC trial, 6,000 samples: tidal breathing, a full
// inspiration, the blast, the inspiration after it and more tidal breathing.
Waveform SixtySecondFvcTrial();

// The true FVC record (in the parameter order of common/ParameterBlocks.h)
// of an expiration followed by an inspiration: every volume from the start of
// its limb (full inspiration, the deepest point), every time from the limb's
// time zero by back extrapolation.
std::array<double, 19> TrueFvcRecord(const Blast& expiration, const Blast& inspiration);

// The volume expired before time zero.
double TrueBackExtrapolatedVolume(const Blast& expiration);

// The link's counts: flow in steps of 8.7890625 mL/s, rounded to the nearest.
std::vector<short> Quantise(const std::vector<double>& flowLps);

// Zero-mean gaussian flow noise of the given size, in counts of the link,
// reproducible from the seed.
std::vector<short> Noise(std::size_t samples, double sigmaLps, unsigned seed);

}  // namespace spirometry::testing
