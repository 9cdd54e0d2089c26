// Rhinomanometry in the measurement window: the zero of the head, the
// samples of a recording, its evaluation at the end, the hand-over of a
// loaded result to the second pair, and the settings and texts of the test.

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "common/CommandNumbers.h"
#include "measure/calibration/Zero.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/rhinomanometry/Evaluation.h"
#include "platform/portkit/rhinomanometry/ZeroCheck.h"
#include "special/rhinomanometry/RhinoRecorder.h"
#include "special/rhinomanometry/RhinoSettings.h"

#include <algorithm>

namespace {

constexpr int NoBreathText = 580;       // no complete breath in the recording
constexpr int SettingReplacedText = 581;  // a hand-edited ini value replaced

}  // namespace

TResult TMeasureCore::CmRhinoReady(TParam1 wParam, TParam2 sample) {
  if (StartId == 0)
    return 1;
  if (StopRequest != 0) {
    if (StartId >= CM_START && StartId <= CM_START3)
      CmStop();
    return 1;
  }
  if (FlagBegin && --SamplesLeft <= 0) {
    StopRequest = 1;
    return 1;
  }
  const auto i = static_cast<std::size_t>(wParam);
  // Never past the curve buffers; a replay ends with its last sample.
  if ((!HasInstrument && static_cast<long>(i) >= DemoLimit) || i >= CurveSamples) {
    StopRequest = 1;
    return 1;
  }
  const std::size_t t = Index(TrialIndex);
  if (t >= 4 || Flow[t].empty() || Third[t].empty())
    return 1;
  const TRhinoCorrection correction{HasInstrument, FlowScaleVariant != 0, FlowZero,    Rhino.PressureZero,
                                    ConstansOfBTPS[0], InspFactor,        ExpFactor};
  if (!TakeRhinoSample(i, sample, correction, {Flow[t], Third[t], Volume[t]}, {FlagBegin, IsBreathIn}, *this))
    return 1;
  SampleCount[Index(MEASURE_RHINO)][t] = static_cast<short>(i + 1);
  DrawSample(static_cast<short>(i));
  WriteLargeParam();
  return 1;
}

bool TMeasureCore::CalculateRhinoZero() {
  ZeroDone = true;
  FlowZero = 0.0f;
  Rhino.PressureZero = 0.0f;
  const rhinomanometry::ZeroCheck check =
      rhinomanometry::CheckZero(std::span<const float>(ZeroBuffer).first(ZeroSamples),
                                std::span<const float>(ZeroPressureBuffer).first(ZeroSamples), FlowScaleVariant != 0);
  FlowZero = check.flowZeroMlps;
  Rhino.PressureZero = check.pressureZeroPa;
  if (check.verdict != rhinomanometry::ZeroVerdict::Passed) {
    const int text = check.verdict == rhinomanometry::ZeroVerdict::FlowUnsteady ? 6 : 5;
    if (Messages)
      Messages->MessageBoxText(Messages->LoadStringA(text) + "\n" + Messages->LoadStringA(calibration::ZeroRepeatText),
                               0, TMessageIcon::Stop);
    return false;
  }
  return CreateZeroTimer();
}

bool TMeasureCore::SelectOneCurve() {
  const std::size_t t = Index(TrialIndex);
  if (t >= 4)
    return false;
  short& count = SampleCount[Index(MEASURE_RHINO)][t];
  rhinomanometry::RhinoCurve curve{Flow[t], Third[t], static_cast<std::size_t>(std::max<short>(count, 0))};
  const std::size_t phases = std::clamp<std::size_t>(static_cast<std::size_t>(PhaseTableIndex) + 1, 1, PhaseEntries);
  const auto algorithm = static_cast<rhinomanometry::CycleAlgorithm>(std::clamp<short>(Rhino.Algorithm, 0, 2));
  const bool complete = rhinomanometry::EvaluateRecording(curve, algorithm, std::span(PhaseTable).first(phases),
                                                          Rhino.ParamsOfSlot(TrialIndex),
                                                          rhinomanometry::ColumnOfSide(Rhino.Side), Rhino.Posterior);
  count = static_cast<short>(curve.count);
  if (!complete && Messages)
    Messages->MessageBox(NoBreathText, 0, TMessageIcon::Stop);
  UpdateParamListBox();
  return complete;
}

void TMeasureCore::CalculateRhinoParams() {
  const std::size_t t = Index(TrialIndex);
  if (t >= 4)
    return;
  const short count = SampleCount[Index(MEASURE_RHINO)][t];
  const rhinomanometry::RhinoCurve curve{Flow[t], Third[t], static_cast<std::size_t>(std::max<short>(count, 0))};
  rhinomanometry::CalculateFlows(curve, Rhino.ParamsOfSlot(TrialIndex), rhinomanometry::ColumnOfSide(Rhino.Side),
                                 Rhino.Posterior);
}

void TMeasureCore::WatchRhinoHaveToCopyAktToPre() {
  if (Dirty || !Rhino.MoveToPrevious)
    return;
  MoveNoteToPrevious();
  Rhino.AlgorithmPre = Rhino.Algorithm;
  Rhino.LoadedPre = Rhino.LoadedAkt;
  Rhino.LoadedAkt = false;
  const std::size_t kind = Index(MEASURE_RHINO);
  for (short k = 0; k < 2; ++k) {
    const std::size_t from = Index(k);
    const std::size_t to = Index(static_cast<short>(k + 2));
    const short count = SampleCount[kind][from];
    // A slot that cannot take the result keeps the one it has.
    if (count <= 0 || !AllocateBuffers(static_cast<short>(k + 2), MEASURE_RHINO, false))
      continue;
    std::copy_n(Flow[from].begin(), std::min(Flow[from].size(), Flow[to].size()), Flow[to].begin());
    std::copy_n(Third[from].begin(), std::min(Third[from].size(), Third[to].size()), Third[to].begin());
    SampleCount[kind][to] = count;
    MeasureDate[kind][to] = MeasureDate[kind][from];
    MeasureTime[kind][to] = MeasureTime[kind][from];
    TrialIndex = static_cast<short>(k + 2);
    Rhino.Side = k;
    CalculateRhinoParams();
    ClearSlotCurves(MEASURE_RHINO, k);
    SampleCount[kind][from] = 0;
  }
  Rhino.MoveToPrevious = false;
  Rhino.Provoked = false;
}

std::string TMeasureCore::GetRhinoAlgorithmName(short which) const {
  const int text = RhinoAlgorithmText(which == 1 ? Rhino.Algorithm : Rhino.AlgorithmPre);
  return text != 0 && Messages ? Messages->LoadStringA(text) : std::string();
}

void TMeasureCore::SetRhinoDateTimeStr(std::string& aktDate, std::string& preDate, std::string& aktTime,
                                       std::string& preTime) const {
  const auto& counts = SampleCount[Index(MEASURE_RHINO)];
  const auto first = [&](short a, short b) -> short { return counts[Index(a)] > 0 ? a : counts[Index(b)] > 0 ? b : -1; };
  RhinoSlotDateTime(first(0, 1), aktDate, aktTime);
  RhinoSlotDateTime(first(2, 3), preDate, preTime);
}

void TMeasureCore::ReadRhinoSettings() {
  std::vector<TRhinoSettingProblem> problems;
  Rhino.Algorithm = ReadRhinoAlgorithm(IniFile, problems);
  ReadRhinoRows(IniFile, Rhino.RowsAnterior, Rhino.RowsPosterior, problems);
  Rhino.SettingsRead = true;
  if (!Messages)
    return;
  for (const TRhinoSettingProblem& p : problems)
    Messages->MessageBoxText(Messages->Format(SettingReplacedText, {p.Key, p.Value, p.Section, std::to_string(p.Taken)}),
                             0, TMessageIcon::Stop);
}

void TMeasureCore::CmRhinoProvocation() {
  const std::optional<TRhinoProvocationEntry> entry = View->RunRhinoProvocationDialog();
  if (!entry)
    return;
  if (!Rhino.Provoked) {
    Rhino.SavingBase = true;
    if (Client)
      Client->SendToClient(WM_COMMAND, CM_SAVE_MEASUREMENT, 0);
    Rhino.SavingBase = false;
    // The save has told the user why it failed; the base is still unsaved.
    if (Dirty)
      return;
    const std::size_t kind = Index(MEASURE_RHINO);
    for (short slot = 2; slot < 4; ++slot) {
      if (SampleCount[kind][Index(slot)] <= 0)
        continue;
      ClearSlotCurves(MEASURE_RHINO, slot);
      SampleCount[kind][Index(slot)] = 0;
      TrialIndex = slot;
      Rhino.Side = static_cast<short>(slot - 2);
      CalculateRhinoParams();
    }
    UpdateParamListBox();
  }
  Rhino.Provoked = true;
  TakeProvocation(Rhino, *entry);
  View->RedrawScreenBmp();
}

void TMeasureCore::WriteRhinoAlgorithm() const { ::WriteRhinoAlgorithm(IniFile, Rhino.Algorithm); }
