#include "platform/portkit/spirometry/FvcParameters.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace spirometry {

namespace {

constexpr double OneSecond = SamplesPerSecond;  // in samples
constexpr double HalfSecond = OneSecond / 2.0;
constexpr double PlateauL = 0.025;               // less than this in the last second ends the expiration
constexpr double LongestExpiration = 15.0 * OneSecond;

// Sample indexes travel as 16-bit numbers; a longer curve is not a trial.
constexpr std::size_t LongestTrial = std::numeric_limits<short>::max();

double Percent(double part, double whole) { return whole > 0.0 ? 100.0 * part / whole : 0.0; }

void Clear(FvcRecord record) { std::fill(record.begin(), record.end(), 0.0f); }

// Pass 0: the forced expiration is the largest fall between neighbouring
// turning points; the inspiration that follows it ends at the next one.
bool FindManoeuvre(const TrialCurve& curve, const Extremes& extremes, FvcManoeuvre& m) {
  const std::size_t n = curve.Size();
  const int last = extremes.LastEntry();
  int best = -1;
  float bestFall = 0.0f;
  for (int k = 0; k < last; ++k) {
    const TurningPoint& high = extremes.points[static_cast<std::size_t>(k)];
    const TurningPoint& low = extremes.points[static_cast<std::size_t>(k + 1)];
    if (low.index >= n || high.index >= low.index) {
      continue;
    }
    const float fall = high.volumeL - low.volumeL;
    if (fall > bestFall) {
      bestFall = fall;
      best = k;
    }
  }
  if (best < 0 || bestFall < MinimumManoeuvreL) {
    return false;
  }
  const std::size_t high = extremes.points[static_cast<std::size_t>(best)].index;
  const std::size_t low = extremes.points[static_cast<std::size_t>(best + 1)].index;
  const std::size_t peak = PeakFlowSample(curve, high, low, Direction::Expiration);
  if (-curve.flowLps[peak] < MinimumPeakFlowLps) {
    return false;
  }
  // The blast begins where the flow last rose above the breath threshold
  // before its peak.
  std::size_t start = peak;
  while (start > high && curve.flowLps[start - 1] <= -BreathStartFlowLps) {
    --start;
  }
  std::size_t inspirationEnd = low;
  if (best + 2 <= last) {
    const std::size_t next = extremes.points[static_cast<std::size_t>(best + 2)].index;
    if (next > low && next < n) {
      inspirationEnd = next;
    }
  }
  m = FvcManoeuvre{};
  m.found = true;
  m.start = static_cast<short>(start);
  m.peakFlow = static_cast<short>(peak);
  m.expirationEnd = static_cast<short>(low);
  m.inspirationEnd = static_cast<short>(inspirationEnd);
  m.startLevelTime = static_cast<double>(start) - 1.0;
  m.timeZero = m.startLevelTime;
  m.inspirationTimeZero = static_cast<double>(low);
  m.endTime = static_cast<double>(low);
  return true;
}

// End of the forced expiration: less than 25 mL expired in the last second,
// 15 s after time zero, or the deepest point, whichever comes first.
double EndOfExpiration(const TrialCurve& curve, const FvcManoeuvre& m) {
  const double deepest = m.expirationEnd;
  const double longest = m.timeZero + LongestExpiration;
  for (double t = std::ceil(m.timeZero + OneSecond); t <= deepest; t += 1.0) {
    if (t >= longest) {
      return longest;
    }
    if (curve.VolumeAt(t - OneSecond) - curve.VolumeAt(t) < PlateauL) {
      return t;
    }
  }
  return std::min(deepest, longest);
}

// Pass 1: volumes, times and peak flows from the unsmoothed integration.
// Back extrapolation moves only the clock: every volume counts from the level
// of full inspiration the blast started from, so the volume expired before
// time zero is part of FEV0.5, FEV1 and FVC; every time counts from time zero.
void VolumesAndTimes(const TrialCurve& curve, FvcManoeuvre& m, FvcRecord r) {
  m.endTime = EndOfExpiration(curve, m);
  const double from = m.startLevelTime;
  const double t0 = m.timeZero;
  const double end = m.endTime;
  const double level = curve.VolumeAt(from);
  const auto expiredBy = [&](double t) { return level - curve.VolumeAt(std::min(t0 + t, end)); };

  const double fvc = LargestDisplacement(curve, from, end, level, Direction::Expiration);
  r[FVC] = static_cast<float>(fvc);
  r[FEV_0_5] = static_cast<float>(expiredBy(HalfSecond));
  r[FEV_1_0] = static_cast<float>(expiredBy(OneSecond));
  r[FEV_0_5_FVC] = static_cast<float>(Percent(r[FEV_0_5], fvc));
  r[FEV_1_0_FVC] = static_cast<float>(Percent(r[FEV_1_0], fvc));
  // The peak is a single sample wide; smoothing would flatten it, so the
  // peak flows come from the curve as recorded.
  r[PEF] = -curve.flowLps[static_cast<std::size_t>(m.peakFlow)];
  r[FET] = static_cast<float>((end - t0) * SampleIntervalS);
  // The mean time at which the FVC left the lungs, counted from time zero:
  // the back-extrapolated volume left before it and counts with its
  // negative time. The moment about the start level moves to time zero by
  // the distance between the two times the volume.
  const double moment = VolumeMoment(curve, from, end, Direction::Expiration) -
                        (t0 - from) * SampleIntervalS * (level - curve.VolumeAt(end));
  r[MTT] = fvc > 0.0 ? static_cast<float>(moment / fvc) : 0.0f;

  const double b = m.expirationEnd;
  const double c = m.inspirationEnd;
  if (c > b) {
    // The inspiration likewise counts its volumes from the deepest point.
    const double ti = m.inspirationTimeZero;
    const double deepest = curve.VolumeAt(b);
    const auto inspiredBy = [&](double t) { return curve.VolumeAt(std::min(ti + t, c)) - deepest; };
    r[FIVC] = static_cast<float>(LargestDisplacement(curve, b, c, deepest, Direction::Inspiration));
    r[FIV_0_5] = static_cast<float>(inspiredBy(HalfSecond));
    r[FIV_1_0] = static_cast<float>(inspiredBy(OneSecond));
    const std::size_t peak = PeakFlowSample(curve, m.expirationEnd, m.inspirationEnd, Direction::Inspiration);
    r[PIF] = std::max(0.0f, curve.flowLps[peak]);
  }
  CalculateFEVperIVC(r, 0.0f);
}

// The times at which 75 %, 50 % and 25 % of `capacity` remain to be moved,
// and the mean flow between the first and the last of them. The levels are
// counted back from the end of the limb: smoothing bends the curve where the
// flow turns sharply, which it does at the start of a blast, not at its end.
struct MidFlows {
  double meanLps = 0.0;
  std::optional<double> t25, t50, t75;  // 25 %, 50 %, 75 % of the capacity moved
};

MidFlows MidCapacity(const TrialCurve& curve, double from, double to, double capacity, Direction direction) {
  const double sign = direction == Direction::Inspiration ? 1.0 : -1.0;
  const double level = curve.VolumeAt(to) - sign * capacity;
  MidFlows mid;
  mid.t25 = TimeOfDisplacement(curve, from, to, level, 0.25 * capacity, direction);
  mid.t50 = TimeOfDisplacement(curve, from, to, level, 0.50 * capacity, direction);
  mid.t75 = TimeOfDisplacement(curve, from, to, level, 0.75 * capacity, direction);
  if (mid.t25 && mid.t75 && *mid.t75 > *mid.t25) {
    mid.meanLps = 0.5 * capacity / ((*mid.t75 - *mid.t25) * SampleIntervalS);
  }
  return mid;
}

// Pass 2: the flows at volume points, from the smoothed curve.
void Flows(const TrialCurve& curve, const FvcManoeuvre& m, FvcRecord r) {
  const double fvc = r[FVC];
  if (fvc > 0.0) {
    const MidFlows mid = MidCapacity(curve, m.startLevelTime, m.endTime, fvc, Direction::Expiration);
    const auto expiratoryFlowAt = [&](const std::optional<double>& t) {
      return t ? static_cast<float>(std::max(0.0, -curve.FlowAt(*t))) : 0.0f;
    };
    r[FEF_25_75] = static_cast<float>(mid.meanLps);
    r[MEF_75] = expiratoryFlowAt(mid.t25);  // 75 % of FVC still to expire
    r[MEF_50] = expiratoryFlowAt(mid.t50);
    r[MEF_25] = expiratoryFlowAt(mid.t75);
  }
  const double fivc = r[FIVC];
  if (fivc > 0.0) {
    const MidFlows mid = MidCapacity(curve, m.expirationEnd, m.inspirationEnd, fivc, Direction::Inspiration);
    r[FIF_25_75] = static_cast<float>(mid.meanLps);
  }
}

bool Fits(const TrialCurve& curve, const FvcManoeuvre& m) {
  const auto n = static_cast<long>(curve.Size());
  return m.found && m.start >= 0 && m.start <= m.peakFlow && m.peakFlow <= m.expirationEnd &&
         m.expirationEnd <= m.inspirationEnd && m.inspirationEnd < n;
}

}  // namespace

bool CalculateFvcParams(const TrialCurve& curve, const Extremes& extremes, FvcManoeuvre& manoeuvre, short pass,
                        FvcRecord record) {
  if (pass == 0) {
    Clear(record);
    manoeuvre = FvcManoeuvre{};
    if (curve.Size() < 2 || curve.Size() > LongestTrial) {
      return false;
    }
    return FindManoeuvre(curve, extremes, manoeuvre);
  }
  if (pass != 1 && pass != 2) {
    return false;
  }
  if (!Fits(curve, manoeuvre)) {
    Clear(record);
    return false;
  }
  if (pass == 1) {
    // Both rules the user may choose between time the blast by back
    // extrapolation; when the caller has not asked for it, do it here.
    if (!manoeuvre.backExtrapolated) {
      CalculateBackExtrapolation(curve, manoeuvre);
    }
    VolumesAndTimes(curve, manoeuvre, record);
  } else {
    Flows(curve, manoeuvre, record);
  }
  return true;
}

bool CalculateBackExtrapolation(const TrialCurve& curve, FvcManoeuvre& m) {
  if (!Fits(curve, m)) {
    return false;
  }
  const auto tangentMeetsLevel = [&](std::size_t peak, double level, double earliest) {
    const double peakTime = static_cast<double>(peak) - 0.5;
    return std::max(earliest, std::min(TangentMeetsLevel(curve, peak, level), peakTime));
  };

  const auto peak = static_cast<std::size_t>(m.peakFlow);
  if (curve.flowLps[peak] < 0.0f) {
    const double level = curve.VolumeAt(m.startLevelTime);
    m.timeZero = tangentMeetsLevel(peak, level, m.startLevelTime);
    m.backExtrapolatedVolumeL = static_cast<float>(level - curve.VolumeAt(m.timeZero));
    m.start = static_cast<short>(std::max(0.0, std::ceil(m.timeZero)));
  }
  if (m.inspirationEnd > m.expirationEnd) {
    const std::size_t inspiratoryPeak =
        PeakFlowSample(curve, static_cast<std::size_t>(m.expirationEnd) + 1, m.inspirationEnd, Direction::Inspiration);
    if (curve.flowLps[inspiratoryPeak] > 0.0f) {
      const double b = m.expirationEnd;
      m.inspirationTimeZero = tangentMeetsLevel(inspiratoryPeak, curve.VolumeAt(b), b);
    }
  }
  m.backExtrapolated = true;
  return true;
}

void CalculateFEVperIVC(FvcRecord record, float ivcL) {
  if (record[FVC] <= 0.0f) {
    return;
  }
  const double ivc = ivcL > 0.0f ? ivcL : std::max(record[FIVC], record[FVC]);
  record[FEV_0_5_IVC] = static_cast<float>(Percent(record[FEV_0_5], ivc));
  record[FEV_1_0_IVC] = static_cast<float>(Percent(record[FEV_1_0], ivc));
}

}  // namespace spirometry
