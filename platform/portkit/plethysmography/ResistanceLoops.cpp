#include "platform/portkit/plethysmography/ResistanceLoops.h"

#include "platform/portkit/plethysmography/Crossings.h"

#include <algorithm>
#include <cmath>

namespace plethysmography {

namespace {

// The pressure at the loop's start, averaged with the one at its first
// expiratory sample.
double StartPressure(const TrialSignals& trial, std::size_t from, std::size_t to) {
  double b0 = trial.boxPa[from];
  for (std::size_t i = from; i < to; ++i) {
    if (trial.flowLps[i] < 0.0f) {
      b0 = (trial.boxPa[i] + trial.boxPa[from]) * 0.5;
      break;
    }
  }
  return b0;
}

}  // namespace

std::optional<std::size_t> ResistanceLoops::NumberOf(std::size_t position) const {
  const auto it = std::find(valid.begin(), valid.end(), position);
  if (it == valid.end())
    return std::nullopt;
  return static_cast<std::size_t>(it - valid.begin());
}

LoopSlopes FindBoxFlowTangent(const TrialSignals& trial, std::size_t from, std::size_t to, double c) {
  to = std::min(to, trial.Size());
  if (from >= to)
    return {};
  const double b0 = StartPressure(trial, from, to);
  double bestPos = 0.0, bestNeg = 0.0;
  double flowPos = 0.0, boxPos = 0.0, flowNeg = 0.0, boxNeg = 0.0;
  for (std::size_t i = from; i < to; ++i) {
    const double f = trial.flowLps[i];
    const double b = trial.boxPa[i];
    const double a = std::fabs(f) + std::fabs(b);
    if (f >= 0.0 && a >= bestPos) {
      bestPos = a;
      flowPos = f;
      boxPos = b;
    } else if (f < 0.0 && a >= bestNeg) {
      bestNeg = a;
      flowNeg = f;
      boxNeg = b;
    }
  }
  if (flowPos == 0.0 || boxPos == 0.0 || flowNeg == 0.0 || boxNeg == 0.0)
    return {};
  LoopSlopes s;
  s.total = (std::fabs(boxPos - boxNeg) - c) / std::fabs(flowPos - flowNeg);
  s.expiration = (std::fabs(boxNeg - b0) - c) / std::fabs(flowNeg);
  s.inspiration = (std::fabs(boxPos - b0) - c) / std::fabs(flowPos);
  return s;
}

LoopSlopes FindMatthysTangent(const TrialSignals& trial, std::size_t from, std::size_t to, double c) {
  to = std::min(to, trial.Size());
  if (from >= to)
    return {};
  const double b0 = StartPressure(trial, from, to);
  std::array<double, 4> p{};
  std::size_t step = 0;
  for (std::size_t i = std::max<std::size_t>(from, 1); i < to && step < 4; ++i) {
    const double f = trial.flowLps[i];
    const bool above = std::fabs(f) > 0.5;
    const bool below = std::fabs(f) < 0.5;
    if ((step % 2 == 0 && above) || (step % 2 == 1 && below)) {
      const double s = f < 0.0 ? -1.0 : 1.0;
      p[step] = LinInt(trial.boxPa[i - 1], trial.flowLps[i - 1], trial.boxPa[i], f, s * 0.5);
      ++step;
    }
  }
  if (step < 4)
    return {};
  const double a = (p[0] + p[1]) * 0.5 - b0;
  const double b = (p[2] + p[3]) * 0.5 - b0;
  return {std::fabs(std::fabs(a - b) - c), std::fabs(std::fabs(b) - c) * 2.0, std::fabs(std::fabs(a) - c) * 2.0};
}

ResistanceLoops CalculateBoxFlowTangent(const TrialSignals& trial, const Marks& marks,
                                        std::span<const std::size_t> crossings, const LoopSettings& settings) {
  ResistanceLoops loops;
  for (std::size_t k = 0; k + 1 < crossings.size() && crossings[k] <= marks.resistanceEnd &&
                          loops.segments.size() < ResistanceSegmentCapacity;
       ++k) {
    const LoopBounds bounds{crossings[k], crossings[k + 1]};
    const LoopSlopes slopes = settings.matthys
                                  ? FindMatthysTangent(trial, bounds.begin, bounds.end, settings.correctionKPa)
                                  : FindBoxFlowTangent(trial, bounds.begin, bounds.end, settings.correctionKPa);
    loops.segments.push_back({bounds, slopes});
    if (slopes.total != 0.0)
      loops.valid.push_back(k);
  }
  if (loops.valid.empty())
    return loops;

  double mean = 0.0;
  for (const std::size_t k : loops.valid)
    mean += loops.segments[k].slopes.total;
  mean /= static_cast<double>(loops.valid.size());
  const auto distance = [&](std::size_t k) {
    const ResistanceSegment& s = loops.segments[k];
    if (settings.choice == LoopChoice::NearestMean)
      return std::fabs(s.slopes.total - mean);
    return std::fabs(static_cast<double>(trial.volumeL[s.bounds.end - 1]) - trial.volumeL[s.bounds.begin]);
  };
  double nearest = 2147483648.0;
  for (std::size_t j = 0; j < loops.valid.size(); ++j) {
    const double d = distance(loops.valid[j]);
    if (d < nearest) {
      nearest = d;
      loops.chosen = j;
    }
  }
  return loops;
}

void CalculateRaw(const LoopSlopes& slopes, PlethyRecord record) {
  const double tgv = record[TGV];
  const auto fill = [&](double r, std::size_t resistance, std::size_t conductance, std::size_t specific,
                        std::size_t specificConductance) {
    record[resistance] = static_cast<float>(r);
    if (r != 0.0)
      record[conductance] = static_cast<float>(1.0 / r);
    const double sr = r * tgv;
    record[specific] = static_cast<float>(sr);
    if (sr != 0.0)
      record[specificConductance] = static_cast<float>(1.0 / sr);
  };
  fill(slopes.total, Raw, Gaw, sRaw, sGaw);
  fill(slopes.inspiration, Rin, Gin, sRin, sGin);
  fill(slopes.expiration, Rex, Gex, sRex, sGex);
}

void CalculateReq(const TrialSignals& trial, const LoopBounds& loop, PlethyRecord record) {
  const std::size_t end = std::min(loop.end, trial.Size());
  if (loop.begin >= end)
    return;
  double n = 0.0, d = 0.0;
  const double b0 = trial.boxPa[loop.begin];
  for (std::size_t i = loop.begin; i < end; ++i) {
    const double f = trial.flowLps[i];
    n += (trial.boxPa[i] - b0) * f * SampleIntervalS;
    d += f * f * SampleIntervalS;
  }
  if (d != 0.0)
    record[Req] = static_cast<float>(n / d);
  record[W] = static_cast<float>(n * 1000.0 / (static_cast<double>(end - loop.begin) * SampleIntervalS));
}

void CalculateRfreq(const LoopBounds& loop, PlethyRecord record) {
  const double d = (static_cast<double>(loop.end) - static_cast<double>(loop.begin)) * 10.0;
  if (d != 0.0)
    record[Rfreq] = static_cast<float>(60000.0 / d);
}

}  // namespace plethysmography
