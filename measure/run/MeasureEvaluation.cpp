#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/spirometry/CurveSteps.h"

#include <algorithm>

namespace {


// The first `count` samples of a curve, never more than it holds.
std::span<float> Samples(std::vector<float>& curve, long count) {
  return std::span<float>(curve).first(std::min(static_cast<std::size_t>(std::max(count, 0L)), curve.size()));
}

}  // namespace

std::span<float> TMeasureCore::ActualFlow() {
  if (!ValidSlot(TrialIndex) || MeasureMode < 0 || MeasureMode > MEASURE_CALIBRATION)
    return {};
  const short count = SampleCount[Index(MeasureMode)][Index(TrialIndex)];
  return Samples(MeasureMode == MEASURE_CALIBRATION ? CalFlow : Flow[Index(TrialIndex)], count);
}

std::span<float> TMeasureCore::ActualVolume() {
  if (!ValidSlot(TrialIndex) || MeasureMode < 0 || MeasureMode > MEASURE_CALIBRATION)
    return {};
  const short count = SampleCount[Index(MeasureMode)][Index(TrialIndex)];
  return Samples(MeasureMode == MEASURE_CALIBRATION ? CalVolume : Volume[Index(TrialIndex)], count);
}

void TMeasureCore::Filter(short passes) {
  const std::span<float> flow = ActualFlow();
  const std::span<float> volume = ActualVolume();
  if (flow.empty() || volume.size() < flow.size())
    return;
  spirometry::Smooth(flow, passes);
  spirometry::IntegrateWithExtremes(flow, volume, Extremes);
}

void TMeasureCore::DoCurveMove() {
  const float lowest = spirometry::BaseLine(Extremes);
  if (MeasureMode >= MEASURE_FVC && MeasureMode <= MEASURE_PLETHY) {
    for (float& v : ActualVolume())
      v -= lowest;
  } else if (MeasureMode == MEASURE_CALIBRATION) {
    for (float& v : ActualVolume()) {
      v -= lowest;
      CalibrationMaximum = std::max(CalibrationMaximum, v);
    }
  }
  spirometry::ShiftExtremes(Extremes, lowest);
}

void TMeasureCore::CurveMove() {
  const short mode = MeasureMode;
  switch (mode) {
  case MEASURE_FVC: {
    StartVolume = 0.0f;
    DisplayedStartVolume = 0.0f;
    if (FilterPasses[0] != 0)
      Filter(FilterPasses[0]);
    DoCurveMove();
    short start = 0, peak = 0, second = 0, third = 0;
    if (CalculateFvcParams(start, peak, second, third, 0)) {
      const std::span<float> volume = ActualVolume();
      if (start >= 0 && Index(start) < volume.size())
        StartVolume = volume[Index(start)];
      if (BackExtrapolationRule != 0)
        CalculateBackExtrapolation(start, peak);
      CalculateFvcParams(start, peak, second, third, 1);
      Filter(FilterPasses[1]);
      DoCurveMove();
      CalculateFvcParams(start, peak, second, third, 2);
      if (TrialIndex >= 0 && TrialIndex < 4)
        LostVolume[Index(TrialIndex)] = Manoeuvre.backExtrapolated ? Manoeuvre.backExtrapolatedVolumeL : 0.0f;
      const TResult vcTrial = Client ? Client->SendToClient(WM_GET_STORED_TRIAL, MEASURE_VC, 0) : 0;
      if (vcTrial != 0)
        CalculateFEVperIVC(TrialIndex, static_cast<short>(vcTrial - 1));
    }
    SearchTheBest(MEASURE_FVC);
    break;
  }
  case MEASURE_VC:
  case MEASURE_MVV:
    Filter(static_cast<short>(FilterPasses[0] + FilterPasses[1]));
    DoCurveMove();
    if (mode == MEASURE_VC)
      CalculateVcParams();
    else
      CalculateMvvParams();
    SearchTheBest(mode);
    break;
  case MEASURE_DFC:
    EvaluateDfcTrial();
    SearchTheBest(mode);
    break;
  case MEASURE_PLETHY:
    EvaluatePlethyTrial();
    SearchTheBest(mode);
    break;
  case MEASURE_CALIBRATION:
    DoCurveMove();
    return;
  default:
    break;
  }
  SetDirtyFlag();
}

void TMeasureCore::ReIntegratedVolume(short type, short trial, unsigned long count) {
  if (!ValidSlot(trial) || type < 0 || type > MEASURE_CALIBRATION)
    return;
  const bool oldVersion =
      type != 0 && ((trial == 0 && StoredVersion[0] == "V0.000") || (trial == 3 && StoredVersion[1] == "V0.000"));
  Extremes.Clear(oldVersion ? spirometry::Extremes::Rising : spirometry::Extremes::Falling);
  const long n = static_cast<long>(std::min<unsigned long>(count, CurveBufferSamples));
  std::vector<float>& flow = type == MEASURE_CALIBRATION ? CalFlow : Flow[Index(trial)];
  std::vector<float>& volume = type == MEASURE_CALIBRATION ? CalVolume : Volume[Index(trial)];
  const std::span<float> flowSamples = Samples(flow, n);
  const std::span<float> volumeSamples = Samples(volume, n);
  spirometry::Integrate(std::span<const float>(flowSamples), volumeSamples,
                        [&](float f, float v, std::uint16_t i) { LocalMaxMin(f, v, i); });
  // Stored curves begin at an unknown level: the base line is the lowest
  // turning point that was really reached.
  float level = Extremes.points[0].volumeL == 0.0f ? 20.0f : Extremes.points[0].volumeL;
  for (int k = 1; k <= Extremes.LastEntry(); ++k) {
    const float v = Extremes.points[static_cast<std::size_t>(k)].volumeL;
    if (v != 0.0f && v < level)
      level = v;
  }
  if (type <= MEASURE_PLETHY || type == MEASURE_CALIBRATION) {
    for (float& v : volumeSamples)
      v -= level;
    if (type == MEASURE_DFC)
      CurveMoveWithRV(trial, static_cast<unsigned long>(n));
    if (type == MEASURE_PLETHY)
      AddRVtoVolumeCurve(trial, static_cast<unsigned long>(n));
  }
  spirometry::ShiftExtremes(Extremes, level);
}

void TMeasureCore::CurveMoveWithRV(short trial, unsigned long count) {
  if (!ValidSlot(trial))
    return;
  const float rv = AktParams[Index(MEASURE_DFC)][Index(trial)][5];
  for (float& v : Samples(Volume[Index(trial)], static_cast<long>(std::min<unsigned long>(count, CurveBufferSamples))))
    v += rv;
}

void TMeasureCore::SetDirtyFlag() {
  if (!ValidSlot(TrialIndex))
    return;
  bool dirty = false;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    dirty = dirty || AktParams[Index(kind)][Index(TrialIndex)][0] >= 0.01f;
  const short mode = MeasureMode;
  if (!dirty && mode >= MEASURE_FVC && mode <= MEASURE_SHUTTER && SampleCount[Index(mode)][Index(TrialIndex)] == 0)
    dirty = WasKind(mode, 3);
  Dirty = dirty;
}

void TMeasureCore::SetActualMeasureDate(short trial) {
  if (!ValidSlot(trial) || MeasureMode < 0 || MeasureMode > MEASURE_CALIBRATION)
    return;
  const TLocalMoment now = Now();
  SetMeasureDate(MeasureMode, trial, static_cast<short>(now.Year), static_cast<unsigned short>(now.Month),
                 static_cast<unsigned short>(now.Day));
  SetMeasureTime(MeasureMode, trial, static_cast<unsigned short>(now.Hour), static_cast<unsigned short>(now.Minute),
                 static_cast<unsigned short>(now.Second));
}

void TMeasureCore::ChangeCommandButton(int button, int state) {
  if (Client)
    Client->SendToClient(WM_CHANGE_COMMAND_BUTTON, static_cast<TParam1>(button), static_cast<TParam2>(state));
}
