#include "platform/portkit/MeasureData.h"

#include "platform/portkit/diffusion/DfcParameters.h"
#include "platform/portkit/plethysmography/LungVolumes.h"
#include "platform/portkit/shutter/ShutterParameters.h"
#include "platform/portkit/spirometry/Spirometry.h"

#include <algorithm>
#include <span>
#include <vector>

// The parameter calculations of a trial: thin wrappers that hand the
// library's curves, extremes table and result records to the spirometric,
// diffusion and plethysmograph functions (platform/portkit/spirometry,
// diffusion, plethysmography).

namespace {

constexpr short Slots = 4;

bool IsSlot(short slot) { return slot >= 0 && slot < Slots; }

std::size_t Index(short value) { return static_cast<std::size_t>(value); }

// The recorded part of a trial's curves: as many samples as its count
// says, never more than the buffers hold.
spirometry::TrialCurve Curve(const TMeasureData& data, short kind, short slot) {
  const TMeasureData::TCurve& flow = data.Flow[Index(slot)];
  const TMeasureData::TCurve& volume = data.Volume[Index(slot)];
  const short count = data.SampleCount[Index(kind)][Index(slot)];
  const std::size_t n = std::min({static_cast<std::size_t>(std::max<short>(count, 0)), flow.size(), volume.size()});
  return {std::span<const float>(flow).first(n), std::span<const float>(volume).first(n)};
}

template <std::size_t N>
std::span<float, N> Record(TMeasureData& data, short kind, short slot) {
  static_assert(N <= MAX_PARAMETER_COUNT);
  return std::span<float, N>(data.AktParams[Index(kind)][Index(slot)].data(), N);
}

void AnswerManoeuvre(const spirometry::FvcManoeuvre& m, short& start, short& peak, short& second, short& third) {
  start = m.start;
  peak = m.peakFlow;
  second = m.expirationEnd;
  third = m.inspirationEnd;
}

}  // namespace

bool TMeasureData::CalculateFvcParams(short& start, short& peak, short& second, short& third, short pass) {
  if (!IsSlot(TrialIndex)) {
    Manoeuvre = {};
    AnswerManoeuvre(Manoeuvre, start, peak, second, third);
    return false;
  }
  const bool found = spirometry::CalculateFvcParams(Curve(*this, MEASURE_FVC, TrialIndex), Extremes, Manoeuvre, pass,
                                                    Record<FVC_PARAMETER_COUNT>(*this, MEASURE_FVC, TrialIndex));
  AnswerManoeuvre(Manoeuvre, start, peak, second, third);
  return found;
}

bool TMeasureData::CalculateBackExtrapolation(short& start, short) {
  const bool timed =
      IsSlot(TrialIndex) && spirometry::CalculateBackExtrapolation(Curve(*this, MEASURE_FVC, TrialIndex), Manoeuvre);
  start = Manoeuvre.start;
  return timed;
}

void TMeasureData::CalculateFEVperIVC(short fvcSlot, short vcSlot) {
  if (!IsSlot(fvcSlot)) {
    return;
  }
  const float ivcL = IsSlot(vcSlot) ? AktParams[MEASURE_VC][Index(vcSlot)][spirometry::IVC] : 0.0f;
  spirometry::CalculateFEVperIVC(Record<FVC_PARAMETER_COUNT>(*this, MEASURE_FVC, fvcSlot), ivcL);
}

bool TMeasureData::CalculateVcParams() {
  return IsSlot(TrialIndex) &&
         spirometry::CalculateVcParams(Curve(*this, MEASURE_VC, TrialIndex), Extremes,
                                       Record<VC_PARAMETER_COUNT>(*this, MEASURE_VC, TrialIndex));
}

bool TMeasureData::CalculateMvvParams() {
  return IsSlot(TrialIndex) &&
         spirometry::CalculateMvvParams(Curve(*this, MEASURE_MVV, TrialIndex), Extremes,
                                        Record<MVV_PARAMETER_COUNT>(*this, MEASURE_MVV, TrialIndex));
}

bool TMeasureData::CalculateDfcParams(float, float pressureHpa) {
  if (!IsSlot(TrialIndex)) {
    DfcRefusal = diffusion::Refusal::NoManoeuvre;
    return false;
  }
  const auto mark = [](short index) { return static_cast<std::size_t>(std::max<short>(index, 0)); };
  diffusion::DfcInput in;
  in.manoeuvre.marks = {mark(GasTurnIndex), mark(GasHoldIndex), mark(GasSampleStartIndex), mark(GasSampleEndIndex)};
  in.manoeuvre.turnVolumeL = GasTurnVolume;
  in.manoeuvre.holdVolumeL = GasStartVolume;
  in.manoeuvre.discardL = GasDiscardVolume;
  in.readings = {MeasuredHe, MeasuredCo};
  in.calibration = {HeConstans, CoConstans, Diffusion.Co2ExtractionCorrection, Diffusion.OriginalHeConcentration,
                    Diffusion.OriginalCoConcentration};
  in.deadSpaceL = Diffusion.DeadSpaceL;
  in.pressureHpa = pressureHpa;
  DfcRefusal = diffusion::CalculateDfcParams(Curve(*this, MEASURE_DFC, TrialIndex), Extremes, in,
                                             Record<DFC_PARAMETER_COUNT>(*this, MEASURE_DFC, TrialIndex));
  return DfcRefusal == diffusion::Refusal::None;
}

bool TMeasureData::CalculatePlethyParams() {
  if (!IsSlot(TrialIndex))
    return false;
  const auto mark = [](short index) { return static_cast<std::size_t>(std::max<short>(index, 0)); };
  const plethysmography::Marks marks{mark(ResistanceStartMark), mark(ResistanceEndMark), mark(TGVStartMark),
                                     mark(EndMark)};
  return plethysmography::CalculatePlethyParams(Curve(*this, MEASURE_PLETHY, TrialIndex).volumeL, marks,
                                                PlethyVolumes,
                                                Record<PLETHY_PARAMETER_COUNT>(*this, MEASURE_PLETHY, TrialIndex));
}

bool TMeasureData::CalculateShParams() {
  if (!IsSlot(TrialIndex))
    return false;
  const TCurve& flow = Flow[Index(TrialIndex)];
  const TCurve& pressure = Third[Index(TrialIndex)];
  const short count = SampleCount[MEASURE_SHUTTER][Index(TrialIndex)];
  const std::size_t n = std::min({static_cast<std::size_t>(std::max<short>(count, 0)), flow.size(), pressure.size()});
  std::vector<shutter::FlowPressure> curve;
  curve.reserve(n);
  for (std::size_t i = 0; i < n; ++i)
    curve.push_back({flow[i], pressure[i]});
  return shutter::CalculateShutterParameters(curve, ShutterBreathingRate,
                                             Record<SHUTTER_PARAMETER_COUNT>(*this, MEASURE_SHUTTER, TrialIndex));
}

short TMeasureData::CalculateTheBest(float first, float second, float third) {
  TrialOrder = spirometry::CalculateTheBest(first, second, third);
  return TrialOrder[0];
}

void TMeasureData::LocalMaxMin(float flow, float volume, unsigned short index) {
  spirometry::LocalMaxMin(Extremes, flow, volume, index);
}
