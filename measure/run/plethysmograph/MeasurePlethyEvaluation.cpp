// The evaluation of a recorded plethysmograph trial in the measurement
// window, and the user's choice of another resistance loop afterwards. The
// arithmetic is the instrument library's (platform/portkit/plethysmography);
// here the window hands it the trial, its settings and the room's air, and
// keeps what it found where the screen, the printout and the records read it.

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"
#include "measure/screen/PlethyGeometry.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int NoResidualText = 493;


std::size_t MarkOf(short index) { return static_cast<std::size_t>(std::max<short>(index, 0)); }

}  // namespace

std::string AdaptiveReadout(const plethysmography::AdaptiveEntry& entry) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "K:%5.3f, H:%4.0f; ", entry.factor, static_cast<double>(entry.score));
  return text.data();
}

plethysmography::TrialSignals TMeasureCore::PlethySignals(short trial) {
  if (!ValidSlot(trial))
    return {};
  const std::size_t t = Index(trial);
  const std::size_t n = static_cast<std::size_t>(std::max<short>(SampleCount[MEASURE_PLETHY][t], 0));
  const auto first = [n](TCurve& curve) { return std::span<float>(curve).first(std::min(n, curve.size())); };
  return {first(Flow[t]), first(Volume[t]), first(BoxPressure[t]), first(MouthPressure[t])};
}

plethysmography::Marks TMeasureCore::PlethyMarks() const {
  return {MarkOf(ResistanceStartMark), MarkOf(ResistanceEndMark), MarkOf(TGVStartMark), MarkOf(EndMark)};
}

plethysmography::EvaluationSettings TMeasureCore::PlethyEvaluationSettings() const {
  const TPlethysmographSettings& p = Settings.Plethysmograph;
  plethysmography::EvaluationSettings s;
  s.cabinL = p.VolumeOfCabinL;
  s.weightKg = PatientWeightKg();
  s.tgvOffsetL = p.VolumeOfSensorL;
  s.artefactShare = p.BTPSCorrectionEffect;
  s.filterPasses = p.EnableFilter != 0 ? p.NumberOfFilterCycle : 0;
  s.loops.matthys = p.Matthys != 0;
  s.loops.choice = p.ResistanceLoopSelection == 0 ? plethysmography::LoopChoice::NearestMean
                                                  : plethysmography::LoopChoice::LeastDrift;
  s.loops.correctionKPa = p.ResistanceOfSensor;
  s.adaptiveSteps = static_cast<int>(std::max<long>(p.BTPSAutoSetStep, 0));
  const PlethyGeometry::TFactors factors = PlethyGeometry::Factors(ZoomLevel);
  s.flowDivisor = factors[3];
  s.pressureDivisor = factors[4];
  s.volumes.ivcAfterEnd = p.EndOfMeasurementWithIVC != 0;
  s.volumes.referenceIvcL = ReferenceIvc;
  return s;
}

void TMeasureCore::EvaluatePlethyTrial() {
  const short trial = TrialIndex;
  if (!ValidSlot(trial))
    return;
  const std::size_t t = Index(trial);
  PlethyVolumes = {Settings.Plethysmograph.EndOfMeasurementWithIVC != 0, ReferenceIvc};
  const plethysmography::EvaluationSettings settings = PlethyEvaluationSettings();
  const bool search = settings.adaptiveSteps > 0;
  if (search) {
    View->SetHourGlass(true);
    View->ClearWorkArea();
  }
  const auto progress = [this](double percent) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%5.1f%%", percent);
    View->ShowSearchProgress(text.data());
  };
  const plethysmography::TrialEvaluation ev =
      plethysmography::EvaluateTrial(PlethySignals(trial), PlethyMarks(), BoxAirNow(), settings, Extremes,
                                     PlethyRecord(trial), search ? progress : std::function<void(double)>());
  if (search)
    View->SetHourGlass(false);

  TPlethySlot& slot = PlethySlots[t];
  PlethyEvaluation.Adaptive[t] = {};
  if (ev.refusal != plethysmography::EvaluationRefusal::None) {
    if (ev.refusal == plethysmography::EvaluationRefusal::NoResidual && Messages)
      Messages->MessageBox(NoResidualText, 0, TMessageIcon::Stop);
    // No result, but the samples that came (a box that hung up before the
    // panting, a patient who stopped) stay on the screen and in the slot.
    ClearAktParams(MEASURE_PLETHY, trial);
    slot = {};
    if (ev.searched)
      FinishPlethySearch(trial);
    return;
  }
  const auto toIndex = [](std::size_t i) { return static_cast<std::int16_t>(std::min<std::size_t>(i, 0x7FFF)); };
  slot = {};
  if (ev.tgvLoop) {
    slot.BeginTGVLoop = toIndex(ev.tgvLoop->bounds.begin);
    slot.EndTGVLoop = toIndex(ev.tgvLoop->bounds.end);
    slot.Values[1] = ev.tgvLoop->firstBoxPa;
  }
  if (ev.resistanceLoop) {
    slot.BeginResistanceLoop = toIndex(ev.resistanceLoop->begin);
    slot.EndResistanceLoop = toIndex(ev.resistanceLoop->end);
    slot.Values[0] = ev.firstBoxPressureForResistance;
  }
  // The valid loops in their order: what the loop commands step through.
  const std::size_t valid = std::min(ev.loops.valid.size(), TPlethySlot::LoopEntries);
  for (std::size_t k = 0; k < valid; ++k) {
    const plethysmography::ResistanceSegment& loop = ev.loops.Loop(k);
    slot.Loops[k] = {toIndex(loop.bounds.begin), toIndex(loop.bounds.end),
                     {static_cast<float>(loop.slopes.total), static_cast<float>(loop.slopes.expiration),
                      static_cast<float>(loop.slopes.inspiration)}};
  }
  slot.LoopCount = static_cast<std::int16_t>(valid);
  slot.SelectedLoop = static_cast<std::int16_t>(ev.loops.chosen.value_or(0));
  std::copy_n(ev.adaptive.begin(), std::min(ev.adaptive.size(), plethysmography::AdaptiveCapacity),
              PlethyEvaluation.Adaptive[t].begin());
  if (ev.searched)
    FinishPlethySearch(trial);
}

void TMeasureCore::FinishPlethySearch(short trial) {
  ReadoutEnabled = Settings.Plethysmograph.BTPSAutoSetStep > 0 ? static_cast<int>(Settings.Plethysmograph.BTPSAutoSetStep) : 0;
  ReadoutGroup = trial;
  SearchTheBest(MEASURE_PLETHY);
  PlethyEvaluation.Status = PlethyReadout(trial);
  View->SetStatusText(PlethyEvaluation.Status);
}

std::string TMeasureCore::PlethyReadout(short trial) const {
  if (ReadoutEnabled == 0 || !ValidSlot(trial))
    return {};
  const std::size_t t = Index(trial);
  const auto loop = static_cast<std::size_t>(std::max<std::int16_t>(PlethySlots[t].SelectedLoop, 0));
  return loop < plethysmography::AdaptiveCapacity ? AdaptiveReadout(PlethyEvaluation.Adaptive[t][loop])
                                                  : std::string();
}

plethysmography::PlethyRecord TMeasureCore::PlethyRecord(short trial) {
  return plethysmography::PlethyRecord(AktParams[MEASURE_PLETHY][Index(trial)].data(), PLETHY_PARAMETER_COUNT);
}

void TMeasureCore::CmSelectResistanceLoop(unsigned id) {
  if (StartId != 0 || id < CM_RESISTANCE_LOOP1 || id > CM_RESISTANCE_LOOP3)
    return;
  const auto trial = static_cast<short>(id - CM_RESISTANCE_LOOP1);
  TPlethySlot& slot = PlethySlots[Index(trial)];
  // Without a valid loop there is nothing to step to (the command is off).
  if (slot.LoopCount <= 0)
    return;
  slot.SelectedLoop = static_cast<std::int16_t>(slot.SelectedLoop + 1 >= slot.LoopCount ? 0 : slot.SelectedLoop + 1);
  const TPlethyLoop& loop = slot.Loops[static_cast<std::size_t>(slot.SelectedLoop)];
  const plethysmography::TrialSignals signals = PlethySignals(trial);
  const auto begin = static_cast<std::size_t>(std::max<std::int16_t>(loop.Begin, 0));
  const auto end = static_cast<std::size_t>(std::max<std::int16_t>(loop.End, 0));
  if (end > signals.Size() || begin >= end)
    return;
  slot.BeginResistanceLoop = loop.Begin;
  slot.EndResistanceLoop = loop.End;
  slot.Values[0] = signals.boxPa[begin];
  const plethysmography::ResistanceSegment segment{{begin, end}, {loop.Values[0], loop.Values[1], loop.Values[2]}};
  plethysmography::CalculateLoopFigures(signals, segment, PlethyRecord(trial));
  SearchTheBest(MEASURE_PLETHY);
  UpdateParamListBox();
  View->RedrawScreenBmp();
  if (ReadoutEnabled != 0 && ReadoutGroup >= 0) {
    PlethyEvaluation.Status = PlethyReadout(ReadoutGroup);
    View->SetStatusText(PlethyEvaluation.Status);
  }
}

void TMeasureCore::AddRVtoVolumeCurve(short trial, unsigned long count) {
  if (!ValidSlot(trial))
    return;
  const std::size_t t = Index(trial);
  plethysmography::AddRvToVolumeCurve(Volume[t], std::min<std::size_t>(count, Volume[t].size()),
                                      AktParams[MEASURE_PLETHY][t][plethysmography::RV]);
}
