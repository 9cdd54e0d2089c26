#include "platform/portkit/tests/support/EvaluatingWindow.h"

#include "common/MeasureMode.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <algorithm>

namespace {

std::size_t Index(short value) { return static_cast<std::size_t>(value); }

}  // namespace

void TEvaluatingWindow::Record(short kind, short slot, const std::vector<short>& counts) {
  RecordFlows(kind, slot, spirometry::testing::StoredSamples(counts, kind));
}

void TEvaluatingWindow::RecordFlows(short kind, short slot, std::vector<float> flowLps) {
  TMeasureData::MeasureMode = kind;
  Data.TrialIndex = slot;
  for (TMeasureData::TCurve* curve : {&Data.Flow[Index(slot)], &Data.Volume[Index(slot)]}) {
    curve->assign(TMeasureData::CurveBufferSamples, 0.0f);
  }
  flowLps.resize(std::min(flowLps.size(), TMeasureData::CurveSamples));
  std::copy(flowLps.begin(), flowLps.end(), Data.Flow[Index(slot)].begin());
  Data.SampleCount[Index(kind)][Index(slot)] = static_cast<short>(flowLps.size());
  Integrate();
}

std::span<float> TEvaluatingWindow::Recorded(TMeasureData::TCurve& curve) const {
  const short count = Data.SampleCount[Index(TMeasureData::MeasureMode)][Index(Data.TrialIndex)];
  return std::span<float>(curve).first(std::min(static_cast<std::size_t>(count), curve.size()));
}

void TEvaluatingWindow::Integrate() {
  Data.Extremes.Clear();
  const std::size_t slot = Index(Data.TrialIndex);
  spirometry::Integrate(std::span<const float>(Recorded(Data.Flow[slot])), Recorded(Data.Volume[slot]),
                                 [&](float flow, float volume, std::uint16_t index) {
                                   Data.LocalMaxMin(flow, volume, index);
                                 });
}

void TEvaluatingWindow::Filter(short passes) {
  const std::span<float> flow = Recorded(Data.Flow[Index(Data.TrialIndex)]);
  if (flow.empty()) {
    return;
  }
  spirometry::Smooth(flow, passes);
  Integrate();
}

void TEvaluatingWindow::DoCurveMove() {
  spirometry::ShiftToBaseLine(Recorded(Data.Volume[Index(Data.TrialIndex)]), Data.Extremes);
}

bool TEvaluatingWindow::CurveMove() {
  const short kind = TMeasureData::MeasureMode;
  const short slot = Data.TrialIndex;
  bool found = false;
  if (kind == MEASURE_FVC) {
    Data.StartVolume = 0.0f;
    if (FirstPasses != 0) {
      Filter(FirstPasses);
    }
    DoCurveMove();
    found = Data.CalculateFvcParams(Start, Peak, Second, Third, 0);
    if (found) {
      Data.StartVolume = Data.Volume[Index(slot)][Index(Start)];
      if (BackExtrapolation != 0) {
        Data.CalculateBackExtrapolation(Start, Peak);
      }
      Data.CalculateFvcParams(Start, Peak, Second, Third, 1);
      Filter(SecondPasses);
      DoCurveMove();
      Data.CalculateFvcParams(Start, Peak, Second, Third, 2);
      if (StoredVcTrial != 0) {
        Data.CalculateFEVperIVC(slot, static_cast<short>(StoredVcTrial - 1));
      }
    }
  } else if (kind == MEASURE_VC || kind == MEASURE_MVV) {
    Filter(static_cast<short>(FirstPasses + SecondPasses));
    DoCurveMove();
    found = kind == MEASURE_VC ? Data.CalculateVcParams() : Data.CalculateMvvParams();
  }
  SearchTheBest(kind);
  return found;
}

void TEvaluatingWindow::SearchTheBest(short kind) {
  const auto criterion = [&](std::size_t trial) {
    const TMeasureData::TParameterRecord& record = Data.AktParams[Index(kind)][trial];
    return kind == MEASURE_FVC ? record[0] + record[2] : record[0];  // "FVC" + "FEV*1,0", else "IVC" or "MVV"
  };
  Data.CalculateTheBest(criterion(0), criterion(1), criterion(2));
}
