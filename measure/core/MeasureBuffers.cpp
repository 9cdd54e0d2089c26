// The trials of every test kind: their buffers before a trial, emptying a
// slot, rolling the actual result over into the previous one when a new
// test begins in a window that shows a stored test, and the variation of
// replayed demonstration curves.

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "measure/results/ParamList.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "predicted/Predicted.h"

#include <algorithm>
#include <cstring>

namespace {


void ClearCurve(TMeasureData::TCurve& curve) {
  std::fill_n(curve.begin(), std::min(curve.size(), TMeasureData::CurveSamples), 0.0f);
}

void CopyCurve(const TMeasureData::TCurve& from, TMeasureData::TCurve& to) {
  if (from.empty() || to.empty())
    return;
  const std::size_t samples = std::min({from.size(), to.size(), TMeasureData::CurveSamples});
  std::copy_n(from.begin(), samples, to.begin());
}

}  // namespace

bool TMeasureCore::CalculatedBTPS(short /*kind*/) { return true; }

void TMeasureCore::FillPredictedRSD(float* ref, float* rsd, short kind) {
  // The list's equations know the patient's predicted-value factor.
  if (ParamList && kind >= 0) {
    ParamList->FillPredictedRSD(ref, rsd, static_cast<unsigned short>(kind), PredictedData);
    return;
  }
  if (!Predicted)
    return;
  switch (kind) {
  case MEASURE_FVC: Predicted->CalculateFvcPredicted(PredictedData, ref, rsd); break;
  case MEASURE_VC: Predicted->CalculateVcPredicted(PredictedData, ref, rsd); break;
  case MEASURE_MVV: Predicted->CalculateMvvPredicted(PredictedData, ref, rsd); break;
  case MEASURE_DFC: Predicted->CalculateDfcPredicted(PredictedData, ref, rsd); break;
  case MEASURE_PLETHY: Predicted->CalculatePlethyPredicted(PredictedData, ref, rsd); break;
  case MEASURE_SHUTTER: Predicted->CalculateShPredicted(PredictedData, ref, rsd); break;
  default: break;
  }
}

short TMeasureCore::GetPredictedAlgorithm() const {
  return Predicted ? Predicted->PredictedAlgorithm : PREDICTED_NONE;
}

bool TMeasureCore::AllocateBuffers(short trial, short type, bool flag) {
  if (type >= 0 && type <= MEASURE_RHINO) {
    if (!CalculatedBTPS(type))
      return false;
    return AllocateSpiroBuffer(trial, type, flag);
  }
  if (type != MEASURE_CALIBRATION)
    return false;

  bool allocated = true;
  if (!KeepCalibrationBuffers) {
    allocated = AllocateCurve(CalFlow, CurveBufferSamples) && allocated;
    allocated = AllocateCurve(CalVolume, CurveBufferSamples) && allocated;
  }
  // Either the calibration pair of a plethysmograph or the two line
  // pressures of the diffusion unit: the same two buffers.
  if (InstrumentType != 0) {
    allocated = AllocateCurve(PressureA, LinePressureSamples) && allocated;
    allocated = AllocateCurve(PressureB, LinePressureSamples) && allocated;
  }
  if (!allocated && Messages)
    Messages->MessageBox(3, 0, TMessageIcon::Stop);
  TrialIndex = trial;
  if (!KeepCalibrationBuffers) {
    SampleCount[Index(MEASURE_CALIBRATION)][0] = 0;
    ClearParamsBuffer(type, trial);
  }
  return allocated;
}

std::size_t TMeasureCore::HeldCalibrationSamples() const {
  return std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(0, SampleCount[Index(MEASURE_CALIBRATION)][0])),
                               std::min(CalFlow.size(), CalVolume.size()));
}

void TMeasureCore::RecomputePredicted(short type) {
  RefParams[Index(type)].fill(0.0f);
  FillPredictedRSD(RefParams[Index(type)].data(), RsdParams[Index(type)].data(), type);
}

// Empties a trial's curves, date, time, count and plethysmograph members;
// the result record is the caller's.
void TMeasureCore::ClearSlotCurves(short type, short trial) {
  const std::size_t t = Index(trial);
  ClearCurve(Flow[t]);
  ClearCurve(Volume[t]);
  MeasureDate[Index(type)][t] = {};
  MeasureTime[Index(type)][t] = {};
  if (type == MEASURE_SHUTTER || type == MEASURE_RHINO)
    ClearCurve(Third[t]);
  if (type == MEASURE_PLETHY) {
    ClearCurve(BoxPressure[t]);
    ClearCurve(MouthPressure[t]);
    PlethySlots[t] = {};
  }
  SampleCount[Index(type)][t] = 0;
}

void TMeasureCore::ClearAktBuffer(short type, short trial) {
  if (!ValidKind(type) || !ValidSlot(trial))
    return;
  ClearAktParams(type, trial);
  ClearSlotCurves(type, trial);
}

void TMeasureCore::ClearAktParams(short type, short trial) {
  if (!ValidKind(type) || !ValidSlot(trial))
    return;
  AktParams[Index(type)][Index(trial)].fill(0.0f);
  RecomputePredicted(type);
  if (type == MEASURE_PLETHY) {
    PlethySlots[Index(trial)].Values = {};
    PlethyShared = 0.0f;
  }
}

float TMeasureCore::GetAktValue(short type, short trial, short index) const {
  if (!ValidKind(type) || !ValidSlot(trial) || index < 0 || index >= GetNumberOfParams(type))
    return 0.0f;
  return AktParams[Index(type)][Index(trial)][Index(index)];
}

void TMeasureCore::ClearAllTrials() {
  for (short type = 0; type < TEST_KIND_COUNT; ++type)
    for (short trial = 0; trial <= PreviousSlot; ++trial)
      ClearAktBuffer(type, trial);
}

void TMeasureCore::SetChanged(short type) {
  if (type >= 0 && Index(type) < NewResult.size())
    NewResult[Index(type)] = true;
}

void TMeasureCore::CopyAktToPreBuffer(short type, short trial) {
  if (!ValidKind(type) || !ValidSlot(trial) || trial == PreviousSlot)
    return;
  if (!AllocateBuffers(PreviousSlot, type, false))
    return;
  const std::size_t k = Index(type);
  const std::size_t t = Index(trial);
  const std::size_t p = Index(PreviousSlot);
  SampleCount[k][p] = SampleCount[k][t];
  AktParams[k][p] = AktParams[k][t];
  PreRefParams[k] = RefParams[k];
  AktParams[k][t].fill(0.0f);
  RecomputePredicted(type);
  if (type == MEASURE_PLETHY) {
    PrePlethyValues = PlethySlots[t].Values;
    PrePlethyShared = PlethyShared;
    PlethySlots[t].Values = {};
    PlethyShared = 0.0f;
  }
  CopyCurve(Flow[t], Flow[p]);
  CopyCurve(Volume[t], Volume[p]);
  if (type == MEASURE_SHUTTER)
    CopyCurve(Third[t], Third[p]);
  if (type == MEASURE_PLETHY) {
    CopyCurve(BoxPressure[t], BoxPressure[p]);
    CopyCurve(MouthPressure[t], MouthPressure[p]);
    PlethySlots[p].BeginResistanceLoop = PlethySlots[t].BeginResistanceLoop;
    PlethySlots[p].EndResistanceLoop = PlethySlots[t].EndResistanceLoop;
    PlethySlots[p].BeginTGVLoop = PlethySlots[t].BeginTGVLoop;
    PlethySlots[p].EndTGVLoop = PlethySlots[t].EndTGVLoop;
  }
  MeasureDate[k][p] = MeasureDate[k][t];
  MeasureTime[k][p] = MeasureTime[k][t];
  ClearSlotCurves(type, trial);
}

void TMeasureCore::MoveNoteToPrevious() {
  if (NoteSet[1]) {
    SetNote(2, Notes[1]);
  } else {
    Notes[2].clear();
    NoteSet[2] = false;
  }
  Notes[1].clear();
  NoteSet[1] = false;
}

void TMeasureCore::WatchHaveToCopyAktToPre() {
  bool hasPrevious = false;
  bool hasActual = false;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    hasPrevious = hasPrevious || AktParams[Index(kind)][Index(PreviousSlot)][0] != 0.0f;
    hasActual = hasActual || AktParams[Index(kind)][0][0] != 0.0f;
  }
  if (Dirty || !StoredTest || !hasActual)
    return;

  if (!hasPrevious) {
    MoveNoteToPrevious();
    PreAlgorithm = GetPredictedAlgorithm();
  }
  const short mode = MeasureType;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    if (kind == mode)
      continue;
    Send(WM_RESTORE_BACKUP, kind, 0);
    if (AktParams[Index(kind)][0][0] == 0.0f)
      continue;
    SearchTheBest(kind);
    if (hasPrevious)
      ClearAktBuffer(kind, 0);
    else
      CopyAktToPreBuffer(kind, 0);
    Send(WM_SAVE_BACKUP, kind, 0);
  }
  if (ValidKind(mode)) {
    Send(WM_RESTORE_BACKUP, mode, 0);
    if (hasPrevious)
      ClearAktBuffer(mode, 0);
    else
      CopyAktToPreBuffer(mode, 0);
  }
  if (!hasPrevious)
    ReadIndexOfParams();
}

bool TMeasureCore::Send(unsigned msg, short kind, short trial) {
  TResult answer = 0;
  if (Client) {
    answer = Client->SendToClient(msg, kind, trial);
    // A demonstration file is read, and a damaged one named, only once.
    if (answer == 0 && msg != WM_LOAD_DEMO_DATA)
      answer = Client->SendToClient(msg, kind, trial);
  }
  CalculatedBTPS(kind);
  TrialIndex = trial;
  if (!HasInstrument && kind >= 0 && kind <= MEASURE_CALIBRATION && ValidSlot(trial))
    DemoLimit = SampleCount[Index(kind)][Index(trial)];
  if (msg == WM_LOAD_DEMO_DATA) {
    DemoAnswer = static_cast<int>(answer);
    // Without a whole file the slot keeps its trial, and the trial its
    // results.
    if (DemoAnswer == DemoDataAnswer::Replayed)
      ClearParamsBuffer(kind, trial);
  }
  return answer != 0;
}

void TMeasureCore::SearchTheBest(short type) {
  if (!ValidKind(type))
    return;
  // The criterion by which the trials of each kind are ranked.
  const auto criterion = [&](std::size_t trial) {
    const TParameterRecord& r = AktParams[Index(type)][trial];
    switch (type) {
    case MEASURE_FVC: return r[0] + r[2];  // FVC + FEV1
    case MEASURE_DFC: return r[10];        // Klco
    case MEASURE_PLETHY: return r[14];     // sGaw
    case MEASURE_SHUTTER: return r[3];     // Gaw
    default: return r[0];                  // IVC, MVV
    }
  };
  CalculateTheBest(criterion(0), criterion(1), criterion(2));
}

void TMeasureCore::DoRandom(short trial) {
  const short mode = MeasureType;
  if (mode == MEASURE_PLETHY || mode < 0 || mode > MEASURE_CALIBRATION || !ValidSlot(trial))
    return;
  const auto draw = [this] { return static_cast<int>(Random() & 0x7FFFFFFF); };
  const float f1 = static_cast<float>((draw() % 75 + 75) * 0.01);
  const float f2 = static_cast<float>((draw() % 50 + 50) * 0.01);
  const std::size_t t = Index(trial);
  const short samples = std::max<short>(SampleCount[Index(mode)][t], 0);
  const std::size_t count = std::min(static_cast<std::size_t>(samples), Flow[t].size());
  for (std::size_t i = 0; i < count; ++i)
    Flow[t][i] *= f1;
  if (mode != MEASURE_RHINO && mode != MEASURE_SHUTTER)
    return;
  const std::size_t pressureCount = std::min(count, Third[t].size());
  for (std::size_t i = 0; i < pressureCount; ++i)
    // A shutter sample of exactly 5000.0 marks a closure, not a pressure.
    if (mode == MEASURE_RHINO || Third[t][i] != 5000.0f)
      Third[t][i] *= f2;
}
