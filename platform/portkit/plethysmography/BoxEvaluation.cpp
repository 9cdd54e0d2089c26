#include "platform/portkit/plethysmography/BoxEvaluation.h"

#include "platform/portkit/plethysmography/AlveolarPressure.h"
#include "platform/portkit/plethysmography/Crossings.h"
#include "platform/portkit/plethysmography/LoopScore.h"
#include "platform/portkit/plethysmography/Smoothing.h"
#include "platform/portkit/spirometry/CurveSteps.h"

#include <algorithm>

namespace plethysmography {

namespace {

// The samples the alveolar conversion rewrites: from the first boundary to
// the end of the pair that starts at the resistance end.
LoopBounds ConvertedStretch(const Marks& marks, std::span<const std::size_t> crossings) {
  LoopBounds s;
  if (crossings.size() < 2)
    return s;
  s.begin = crossings.front();
  for (std::size_t k = 0; k + 1 < crossings.size() && crossings[k] <= marks.resistanceEnd; ++k)
    s.end = crossings[k + 1];
  return s;
}

// One step of the search: every valid loop scored at the share `share`.
void ScoreStep(const TrialSignals& trial, const Marks& marks, const ResistanceLoops& loops, double share,
               const EvaluationSettings& settings, std::vector<AdaptiveEntry>& table) {
  LoopBranches branches;
  const std::size_t n = trial.Size();
  for (std::size_t j = 0; j < loops.valid.size() && j < table.size(); ++j) {
    const ResistanceSegment& loop = loops.Loop(j);
    LoopPointSource source;
    source.loop = loop.bounds;
    source.resistanceStart = marks.resistanceStart;
    source.resistanceEnd = marks.resistanceEnd;
    source.firstBoxPressure = trial.boxPa[loop.bounds.begin];
    source.flowDivisor = settings.flowDivisor;
    source.pressureDivisor = settings.pressureDivisor;
    branches.Clear();
    for (std::size_t i = loop.bounds.begin; i < std::min(loop.bounds.end, n); ++i)
      AddLoopPoint(branches, trial, i, source);
    const LoopScore score = ScoreLoop(branches);
    AdaptiveEntry& best = table[j];
    if (best.score < 0 || (score.area < best.score && score.crossings == 0)) {
      best.score = score.area;
      best.factor = share;
    }
  }
}

}  // namespace

void AddRvToVolumeCurve(std::span<float> volumeL, std::size_t count, double rvL) {
  for (std::size_t i = 0; i < std::min(count, volumeL.size()); ++i)
    volumeL[i] += static_cast<float>(rvL);
}

void CalculateLoopFigures(const TrialSignals& trial, const ResistanceSegment& loop, PlethyRecord record) {
  CalculateRaw(loop.slopes, record);
  CalculateReq(trial, loop.bounds, record);
  CalculateRfreq(loop.bounds, record);
}

TrialEvaluation EvaluateTrial(const TrialSignals& trial, const Marks& marks, const BoxAir& air,
                              const EvaluationSettings& settings, spirometry::Extremes& extremes, PlethyRecord record,
                              const std::function<void(double)>& progress) {
  TrialEvaluation ev;
  std::fill(record.begin(), record.end(), 0.0f);
  const std::size_t n = trial.Size();
  if (!marks.FitOn(n)) {
    ev.refusal = EvaluationRefusal::NoManoeuvre;
    return ev;
  }

  ev.pressureEffectPa = PressureEffectPa(air);
  ev.correctedCabinL = CorrectedCabinVolumeL(settings.cabinL, settings.weightKg);
  ev.dryGasFactor = DryGasFactor(air.pressureHpa, air.water37Pa);
  FilterForPlethy(trial, marks, settings.filterPasses, extremes);
  spirometry::ShiftToBaseLine(trial.volumeL.first(n), extremes);

  ev.crossings = BoxPressureDriftCompensation(trial, marks);
  ev.tgvLoop = CalculateBoxMouthTangent(trial, marks, ev.crossings);
  if (ev.tgvLoop)
    record[TGV] = static_cast<float>(
        ThoracicGasVolumeL(ev.tgvLoop->slopeKPaPerPa, ev.correctedCabinL, ev.dryGasFactor, settings.tgvOffsetL));
  CalculatePlethyParams(trial.volumeL.first(n), marks, settings.volumes, record);
  const double rv = record[RV];

  const AlveolarConversion conversion{ev.correctedCabinL, ev.pressureEffectPa, ev.dryGasFactor};
  const auto fixed = [&](std::size_t) { return settings.artefactShare; };
  if (settings.adaptiveSteps <= 0) {
    ConvertBoxPressureToAlveolarPressure(trial, marks, ev.crossings, rv, conversion, fixed);
  } else {
    ev.searched = true;
    ev.adaptive.assign(AdaptiveCapacity, AdaptiveEntry{});
    const LoopBounds stretch = ConvertedStretch(marks, ev.crossings);
    const std::span<float> converted = trial.boxPa.subspan(stretch.begin, stretch.end - stretch.begin);
    const std::vector<float> saved(converted.begin(), converted.end());
    ResistanceLoops numbering;
    for (int k = settings.adaptiveSteps; k >= 0; --k) {
      const double share = static_cast<double>(k) / settings.adaptiveSteps;
      ConvertBoxPressureToAlveolarPressure(trial, marks, ev.crossings, rv, conversion,
                                           [share](std::size_t) { return share; });
      numbering = CalculateBoxFlowTangent(trial, marks, ev.crossings, settings.loops);
      ScoreStep(trial, marks, numbering, share, settings, ev.adaptive);
      std::copy(saved.begin(), saved.end(), converted.begin());
      if (progress)
        progress((1.0 - share) * 100.0);
    }
    // The loops are numbered as the last step found them; a segment
    // without a searched share keeps the fixed one.
    ConvertBoxPressureToAlveolarPressure(trial, marks, ev.crossings, rv, conversion, [&](std::size_t position) {
      const std::optional<std::size_t> j = numbering.NumberOf(position);
      return j && *j < ev.adaptive.size() && ev.adaptive[*j].score >= 0 ? ev.adaptive[*j].factor
                                                                          : settings.artefactShare;
    });
  }

  ev.loops = CalculateBoxFlowTangent(trial, marks, ev.crossings, settings.loops);
  if (!(rv > 0.0)) {
    std::fill(record.begin(), record.end(), 0.0f);
    ev.refusal = EvaluationRefusal::NoResidual;
    return ev;
  }
  if (ev.loops.chosen) {
    const ResistanceSegment& loop = ev.loops.Loop(*ev.loops.chosen);
    ev.resistanceLoop = loop.bounds;
    ev.firstBoxPressureForResistance = trial.boxPa[loop.bounds.begin];
    CalculateLoopFigures(trial, loop, record);
  }
  AddRvToVolumeCurve(trial.volumeL, n, rv);
  return ev;
}

}  // namespace plethysmography
