#pragma once

// The flow and volume curves of one trial and the few ways the calculations
// read them between samples.
//
// Time is counted in samples. The volume sample i lies at time i; time -1 is
// the level before the first sample. Because the volume is the running sum of
// flow × 0.01 s, flow sample i is the mean flow of the step from time i - 1 to
// time i and so belongs to time i - 0.5.

#include <cstddef>
#include <optional>
#include <span>

namespace spirometry {

struct TrialCurve {
  std::span<const float> flowLps;  // expiration negative
  std::span<const float> volumeL;  // running sum of flowLps × 0.01 s, base line shifted

  std::size_t Size() const { return flowLps.size() < volumeL.size() ? flowLps.size() : volumeL.size(); }
  // The last time on the curve (Size() - 1).
  double End() const { return static_cast<double>(Size()) - 1.0; }

  // Volume at time t (clamped to -1 .. End()), linear between samples.
  double VolumeAt(double t) const;
  // Flow at time t (clamped to the samples), linear between samples.
  double FlowAt(double t) const;
};

// +1 follows an inspiration (volume rising), -1 an expiration (volume falling).
enum class Direction { Inspiration = 1, Expiration = -1 };

// The first time in from .. to at which the volume has moved `amountL` away
// from `levelL` in the given direction; none when it never gets so far.
std::optional<double> TimeOfDisplacement(const TrialCurve& curve, double from, double to, double levelL,
                                         double amountL, Direction direction);

// The largest displacement from `levelL` in the given direction within from .. to.
double LargestDisplacement(const TrialCurve& curve, double from, double to, double levelL, Direction direction);

// The integral of (t - from) × dV over from .. to, t in seconds and dV the
// volume moved in the given direction: the first moment of the volume moved.
double VolumeMoment(const TrialCurve& curve, double from, double to, Direction direction);

// The sample of the largest flow in the given direction within first .. last
// (indices clamped to the curve); the earliest one when several are equal.
std::size_t PeakFlowSample(const TrialCurve& curve, std::size_t first, std::size_t last, Direction direction);

// Back extrapolation: the time at which the tangent to the volume curve at
// flow sample `peak` (time peak - 0.5) meets the volume `levelL`. The flow
// sample must not be zero.
double TangentMeetsLevel(const TrialCurve& curve, std::size_t peak, double levelL);

}  // namespace spirometry
