#include "measure/calibration/Syringe.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace calibration {

namespace {

// A turning point's volume; entries beyond the table are empty, as the
// table's unused entries are.
float At(const CalibrationRun& run, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < run.turningVolumesL.size() ? run.turningVolumesL[static_cast<std::size_t>(i)]
                                                                           : 0.0f;
}
// The expiration starting at even i and the inspiration starting at odd i.
float Expired(const CalibrationRun& run, int i) { return At(run, i) - At(run, i + 1); }
float Inspired(const CalibrationRun& run, int i) { return At(run, i + 1) - At(run, i); }

struct Series {
  std::vector<float> expirations;
  std::vector<float> inspirations;
  std::vector<float> gasPath;
};

float Sum(const std::vector<float>& strokes) {
  float sum = 0.0f;
  for (const float s : strokes) {
    sum += s;
  }
  return sum;
}

// A stroke of no volume, or one that went the wrong way, fails like an
// empty series.
bool AllPositive(const std::vector<float>& strokes) {
  return !strokes.empty() && std::all_of(strokes.begin(), strokes.end(), [](float s) { return s > 0.0f; });
}

bool EachWithin(const std::vector<float>& strokes, float mean) {
  return std::all_of(strokes.begin(), strokes.end(), [&](float s) { return Deviation(s, mean) <= 10.0f; });
}

CalibrationAnswer Fail(CalibrationAnswer a, const CalibrationRun& run, int text, bool clear) {
  a.valid = false;
  if (run.interactive) {
    a.textId = text;
    a.deleteGasBuffers = true;
    a.clearTrial = clear;
  }
  return a;
}

// The check series from the turning point `from` on: its strokes, their
// means into the answer, and the ±3.0 % test. False when it fails or holds
// no stroke either way.
bool CheckSeries(const CalibrationRun& run, int from, CalibrationAnswer& a) {
  std::vector<float> expirations;
  std::vector<float> inspirations;
  std::vector<float> all;
  for (int i = from; i < run.count; ++i) {
    if ((i - from) % 2 == 0) {
      expirations.push_back(Expired(run, i));
      all.push_back(expirations.back());
    } else {
      inspirations.push_back(Inspired(run, i));
      all.push_back(inspirations.back());
    }
  }
  if (expirations.empty() || inspirations.empty()) {
    a.textId = TooFewStrokesText;
    return false;
  }
  a.checkExpirationL = Sum(expirations) / static_cast<float>(expirations.size());
  a.checkInspirationL = Sum(inspirations) / static_cast<float>(inspirations.size());
  a.checkFilled = true;
  a.worst = WorstCheckStroke(all, run.syringeL);
  if (a.worst) {
    a.textId = CheckStrokeOffText;
    return false;
  }
  return true;
}

// At the end of a calibration, a series needs its strokes counted.
bool TooFewStrokes(const CalibrationRun& run, int needed, CalibrationAnswer& a) {
  if (!run.interactive || run.strokesCounted >= needed) {
    return false;
  }
  a.textId = TooFewStrokesText;
  return true;
}

// The first series: the expirations at even i < N, the inspirations at odd
// i < N and, through the gas path, the inspirations at N + 1 and N + 3.
Series FirstSeries(const CalibrationRun& run, bool withGasPath) {
  Series s;
  const int n = run.seriesStrokes;
  for (int i = 0; i < n; i += 2) {
    s.expirations.push_back(Expired(run, i));
  }
  for (int i = 1; i < n + (withGasPath ? 4 : 0); i += 2) {
    (i < n ? s.inspirations : s.gasPath).push_back(Inspired(run, i));
  }
  return s;
}

// The mean strokes into the answer and the tests on them: the two means at
// most 20 % apart, every stroke within 10 % of its own mean. False with the
// text of the failed test.
bool MeansAgree(const Series& s, const CalibrationRun& run, CalibrationAnswer& a) {
  a.expiration = Sum(s.expirations) / static_cast<float>(s.expirations.size());
  a.inspiration = Sum(s.inspirations) / static_cast<float>(s.inspirations.size());
  a.gasPathL = s.gasPath.empty() ? 0.0f : Sum(s.gasPath) * 0.5f;
  if (Deviation(a.inspiration, a.expiration) > 20.0f) {
    a = Fail(a, run, StrokeMeansApartText, false);
    return false;
  }
  if (!EachWithin(s.expirations, a.expiration) || !EachWithin(s.inspirations, a.inspiration) ||
      !EachWithin(s.gasPath, a.gasPathL)) {
    a = Fail(a, run, StrokeApartText, false);
    return false;
  }
  return true;
}

}  // namespace

float Deviation(float x, float y) { return (1.0f - std::min(x, y) / std::max(x, y)) * 100.0f; }

std::optional<CheckStroke> WorstCheckStroke(std::span<const float> strokesL, float syringeL) {
  std::optional<CheckStroke> worst;
  for (std::size_t k = 0; k < strokesL.size(); ++k) {
    const double miss = static_cast<double>(strokesL[k]) - syringeL;
    const double off = miss / syringeL * 100.0;
    // Compared without the division, so a border that is exact stays inside.
    const bool outside = std::fabs(miss) * 100.0 > CheckTolerancePercent * syringeL;
    if (outside && (!worst || std::fabs(off) > std::fabs(worst->deviationPercent))) {
      worst = CheckStroke{static_cast<int>(k) + 1, strokesL[k], static_cast<float>(off)};
    }
  }
  return worst;
}

CalibrationAnswer TestSpiroCalibration(const CalibrationRun& run) {
  CalibrationAnswer a;
  const int n = run.seriesStrokes;
  if (TooFewStrokes(run, n, a)) {
    return a;
  }
  const Series s = FirstSeries(run, false);
  if (!AllPositive(s.expirations) || !AllPositive(s.inspirations)) {
    // Cleared silently, even while the calibration is being recorded.
    a.clearTrial = true;
    a.deleteGasBuffers = true;
    return a;
  }
  if (!MeansAgree(s, run, a)) {
    return a;
  }
  a.expiration /= run.syringeL;
  a.inspiration /= run.syringeL;
  const float off = std::max(Deviation(a.expiration, 1.0f), Deviation(a.inspiration, 1.0f));
  if (off > 20.0f) {
    // The trial is cleared whether or not anyone is told.
    a = Fail(a, run, off > 50.0f ? ConstantFarOffText : ConstantOffText, true);
    a.clearTrial = true;
    a.deleteGasBuffers = true;
    return a;
  }
  if (run.interactive) {
    if (run.strokesCounted < 2 * n) {
      a.textId = TooFewStrokesText;
      return a;
    }
    if (!CheckSeries(run, n, a)) {
      return a;
    }
  }
  a.valid = true;
  return a;
}

CalibrationAnswer TestDiffCalibration(const CalibrationRun& run) {
  CalibrationAnswer a;
  const int n = run.seriesStrokes;
  if (TooFewStrokes(run, n, a)) {
    return a;
  }
  const Series s = FirstSeries(run, true);
  if (!AllPositive(s.expirations) || !AllPositive(s.inspirations) || !AllPositive(s.gasPath)) {
    return Fail(a, run, 0, true);
  }
  if (!MeansAgree(s, run, a)) {
    return a;
  }
  a.expiration /= run.syringeL;
  a.inspiration /= run.syringeL;
  if (Deviation(a.expiration, 1.0f) > 40.0f || Deviation(a.inspiration, 1.0f) > 40.0f) {
    return Fail(a, run, ConstantFarOffText, false);
  }
  a.inspirationWithGas = a.gasPathL / run.syringeL;
  if (run.interactive) {
    if (run.strokesCounted < 2 * n + 4) {
      a.textId = TooFewStrokesText;
      a.clearTrial = true;
      return a;
    }
    if (!CheckSeries(run, n + 4, a)) {
      return a;
    }
  }
  a.valid = true;
  return a;
}

}  // namespace calibration
