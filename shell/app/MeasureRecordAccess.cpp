#include "shell/app/MeasureRecordAccess.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "measure/results/BtpsRecord.h"
#include "platform/framework/BinaryStream.h"
#include "shell/app/RecordStateStep.h"

#include <QMdiSubWindow>

#include <algorithm>

using RecordState::Step;

TMeasureRecordAccess::TMeasureRecordAccess(TMeasure& window) : W(window) { Sync(); }

void TMeasureRecordAccess::Sync() const {
  TMeasure& w = W;
  Step(Record.ActualTrial, Given.ActualTrial, [&] { return w.TrialOrder; },
       [&](const std::array<std::int16_t, 3>& v) { w.TrialOrder = v; });
  Step(Record.NewResult, Given.NewResult, [&] { return w.NewResult; },
       [&](const std::array<bool, 7>& v) { w.NewResult = v; });
  Step(Record.ChangedData, Given.ChangedData, [&] { return w.Dirty; }, [&](bool v) { w.Dirty = v; });
  Step(Record.LoadedTest, Given.LoadedTest, [&] { return w.StoredTest; }, [&](bool v) { w.StoredTest = v; });
  Step(Record.Version, Given.Version, [&] { return w.StoredVersion[0]; },
       [&](const std::string& v) { w.StoredVersion[0] = v; });
  Step(Record.ComparisonVersion, Given.ComparisonVersion, [&] { return w.StoredVersion[1]; },
       [&](const std::string& v) { w.StoredVersion[1] = v; });
  Step(Record.ComparisonAlgorithm, Given.ComparisonAlgorithm, [&] { return w.PreAlgorithm; },
       [&](int v) { w.PreAlgorithm = static_cast<short>(v); });
  Step(Record.InspirationFlowConstant, Given.InspirationFlowConstant, [&] { return w.InspFactor; },
       [&](float v) { w.InspFactor = v; });
  Step(Record.ExpirationFlowConstant, Given.ExpirationFlowConstant, [&] { return w.ExpFactor; },
       [&](float v) { w.ExpFactor = v; });
  Step(Record.FlowZero, Given.FlowZero, [&] { return w.FlowZero; }, [&](float v) { w.FlowZero = v; });
  Step(Record.BoxPressureZero, Given.BoxPressureZero, [&] { return w.BoxZero; }, [&](float v) { w.BoxZero = v; });
  Step(Record.MouthPressureZero, Given.MouthPressureZero, [&] { return w.MouthZero; },
       [&](float v) { w.MouthZero = v; });
  Step(Record.LogWriteEnable, Given.LogWriteEnable, [&] { return w.LogWriteEnable; },
       [&](int v) { w.LogWriteEnable = static_cast<short>(v); });
  Step(Record.LogMeasureMode, Given.LogMeasureMode, [&] { return w.LogMeasureMode; },
       [&](int v) { w.LogMeasureMode = static_cast<short>(v); });
  Step(Record.GasAnalysis, Given.GasAnalysis, [&] { return std::array<float, 2>{w.MeasuredCo, w.MeasuredHe}; },
       [&](const std::array<float, 2>& v) {
         w.MeasuredCo = v[0];
         w.MeasuredHe = v[1];
       });
  SyncRhino();
  Step(Record.OpenedWithProvocation, Given.OpenedWithProvocation, [&] { return w.ProvocationMode; },
       [&](bool v) { w.ProvocationMode = v; });
  // The stored provocation's step, which the window's result table shows;
  // a rhinomanometry window keeps its nasal provocation apart.
  const bool rhino = w.GetMeasureMode() == MEASURE_RHINO;
  std::string& agent = rhino ? w.Rhino.ProvocationMaterial : w.ProvocationStep.Material;
  float& concentration = rhino ? w.Rhino.ProvocationConcentration : w.ProvocationStep.ConcentrationMgPerMl;
  float& dose = rhino ? w.Rhino.ProvocationDose : w.ProvocationStep.Dose;
  Step(Record.ProvokedAgent, Given.ProvokedAgent, [&] { return agent; }, [&](const std::string& v) { agent = v; });
  Step(Record.ProvokedConcentration, Given.ProvokedConcentration, [&] { return concentration; },
       [&](float v) { concentration = v; });
  Step(Record.ProvokedDose, Given.ProvokedDose, [&] { return dose; }, [&](float v) { dose = v; });
  Step(Record.ThirdStageAgent, Given.ThirdStageAgent, [&] { return w.ProvocationStep.SolutionMaterial; },
       [&](const std::string& v) { w.ProvocationStep.SolutionMaterial = v; });
  SyncPlethysmograph();
}

void TMeasureRecordAccess::SyncPlethysmograph() const {
  TMeasure& w = W;
  // The stored and replayed marks of the manoeuvre: the zero-flow stretch
  // is the closed shutter, from the end of the resistance loops to its
  // opening; index 1 the closure, index 2 the start of the loops.
  const auto mark = [](std::uint32_t v) { return static_cast<short>(std::min<std::uint32_t>(v, 0x7FFF)); };
  const auto index = [](short v) { return static_cast<std::uint32_t>(std::max<short>(v, 0)); };
  Step(Record.ZeroFlowFirst, Given.ZeroFlowFirst, [&] { return index(w.ResistanceEndMark); },
       [&](std::uint32_t v) { w.ResistanceEndMark = mark(v); });
  Step(Record.ZeroFlowLast, Given.ZeroFlowLast, [&] { return index(w.EndMark); },
       [&](std::uint32_t v) { w.EndMark = mark(v); });
  Step(Record.PlethyIndex1, Given.PlethyIndex1, [&] { return index(w.TGVStartMark); },
       [&](std::uint32_t v) {
         w.TGVStartMark = mark(v);
         // A trial that closed its shutter was asked to.
         if (v != 0)
           w.ShutterRequested = true;
       });
  Step(Record.PlethyIndex2, Given.PlethyIndex2, [&] { return index(w.ResistanceStartMark); },
       [&](std::uint32_t v) { w.ResistanceStartMark = mark(v); });
  TPlethyEvaluation& p = w.PlethyEvaluation;
  Step(Record.PlethyValue, Given.PlethyValue, [&] { return p.LogValue; },
       [&](const std::array<char, 4>& v) { p.LogValue = v; });
  Step(Record.PlethyFlowFactor, Given.PlethyFlowFactor, [&] { return p.FlowFactor; },
       [&](float v) { p.FlowFactor = v; });
  Step(Record.RvCurrent, Given.RvCurrent, [&] { return p.RvCurrent; }, [&](float v) { p.RvCurrent = v; });
  Step(Record.RvComparison, Given.RvComparison, [&] { return p.RvComparison; },
       [&](float v) { p.RvComparison = v; });
  Step(Record.RvStage, Given.RvStage, [&] { return p.RvStage; },
       [&](const std::array<float, 3>& v) { p.RvStage = v; });
}

void TMeasureRecordAccess::SyncRhino() const {
  TRhinoState& r = W.Rhino;
  const auto flag = [](bool& record, bool& given, bool& window) {
    Step(record, given, [&] { return window; }, [&](bool v) { window = v; });
  };
  // The record code's "baseline" is the window's base being saved or just
  // loaded; its "provoked" the window's provocation state.
  flag(Record.RhinoBaseline, Given.RhinoBaseline, r.SavingBase);
  flag(Record.RhinoProvoked, Given.RhinoProvoked, r.Provoked);
  flag(Record.RhinoPosterior, Given.RhinoPosterior, r.Posterior);
  flag(Record.RhinoAnterior, Given.RhinoAnterior, r.Anterior);
  flag(Record.RhinoBaselineHeld, Given.RhinoBaselineHeld, r.BaseHeld);
  // A result loaded as the current one moves aside at the next start.
  Step(Record.RhinoLoadedCurrent, Given.RhinoLoadedCurrent, [&] { return r.LoadedAkt; }, [&](bool v) {
    r.LoadedAkt = v;
    r.MoveToPrevious = r.MoveToPrevious || v;
  });
  flag(Record.RhinoLoadedComparison, Given.RhinoLoadedComparison, r.LoadedPre);
  Step(Record.RhinoCurveIndex, Given.RhinoCurveIndex, [&] { return W.TrialIndex; },
       [&](short v) { W.TrialIndex = v; });
  Step(Record.RhinoSide, Given.RhinoSide, [&] { return r.Side; }, [&](short v) { r.Side = v; });
  Step(Record.RhinoAlgorithm, Given.RhinoAlgorithm, [&] { return int{r.Algorithm}; },
       [&](int v) { r.Algorithm = static_cast<short>(v); });
  Step(Record.RhinoComparisonAlgorithm, Given.RhinoComparisonAlgorithm, [&] { return int{r.AlgorithmPre}; },
       [&](int v) { r.AlgorithmPre = static_cast<short>(v); });
}

void TMeasureRecordAccess::CalculateRhinoParams() {
  Sync();
  W.CalculateRhinoParams();
}

TMeasureRecordState& TMeasureRecordAccess::State() {
  Sync();
  return Record;
}

bool TMeasureRecordAccess::AllocateSpiroBuffer(short slot, short kind, bool withVolume) {
  return W.AllocateSpiroBuffer(slot, kind, withVolume);
}
float* TMeasureRecordAccess::GetSpiroFlowBuffer(short slot) { return W.GetSpiroFlowBuffer(slot); }
float* TMeasureRecordAccess::GetSpiroVolumeBuffer(short slot) { return W.GetSpiroVolumeBuffer(slot); }
float* TMeasureRecordAccess::GetSpiroPressureBuffer(short slot) { return W.GetSpiroPressureBuffer(slot); }
float* TMeasureRecordAccess::GetSpiroBoxPressureBuffer(short slot) { return W.GetSpiroBoxPressureBuffer(slot); }
float* TMeasureRecordAccess::GetSpiroMouthPressureBuffer(short slot) { return W.GetSpiroMouthPressureBuffer(slot); }
short TMeasureRecordAccess::GetBufferSize(short kind, short slot) { return W.GetBufferSize(kind, slot); }
void TMeasureRecordAccess::SetBufferSize(short kind, short slot, short count) { W.SetBufferSize(kind, slot, count); }
short TMeasureRecordAccess::GetBeginResistanceLoop(short slot) { return W.GetBeginResistanceLoop(slot); }
short TMeasureRecordAccess::GetEndResistanceLoop(short slot) { return W.GetEndResistanceLoop(slot); }
short TMeasureRecordAccess::GetBeginTGVLoop(short slot) { return W.GetBeginTGVLoop(slot); }
short TMeasureRecordAccess::GetEndTGVLoop(short slot) { return W.GetEndTGVLoop(slot); }
void TMeasureRecordAccess::SetBeginResistanceLoop(short slot, short index) { W.SetBeginResistanceLoop(slot, index); }
void TMeasureRecordAccess::SetEndResistanceLoop(short slot, short index) { W.SetEndResistanceLoop(slot, index); }
void TMeasureRecordAccess::SetBeginTGVLoop(short slot, short index) { W.SetBeginTGVLoop(slot, index); }
void TMeasureRecordAccess::SetEndTGVLoop(short slot, short index) { W.SetEndTGVLoop(slot, index); }
float* TMeasureRecordAccess::GetAktBuffer(short kind, short slot) { return W.GetAktBuffer(kind, slot); }
float* TMeasureRecordAccess::GetRefBuffer(short kind, short slot) { return W.GetRefBuffer(kind, slot); }
float* TMeasureRecordAccess::GetRsdBuffer(short kind) { return W.GetRsdBuffer(kind); }

void TMeasureRecordAccess::GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                                          unsigned short* day) {
  W.GetMeasureDate(kind, slot, year, month, day);
}
void TMeasureRecordAccess::SetMeasureDate(short kind, short slot, short year, unsigned short month,
                                          unsigned short day) {
  W.SetMeasureDate(kind, slot, year, month, day);
}
void TMeasureRecordAccess::GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                                          unsigned short* second) {
  W.GetMeasureTime(kind, slot, hour, minute, second);
}
void TMeasureRecordAccess::SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute,
                                          unsigned short second) {
  W.SetMeasureTime(kind, slot, hour, minute, second);
}

bool TMeasureRecordAccess::WasKind(short kind, short n) {
  switch (kind) {
  case MEASURE_FVC: return W.WasFVC(n);
  case MEASURE_VC: return W.WasVC(n);
  case MEASURE_MVV: return W.WasMVV(n);
  case MEASURE_DFC: return W.WasDFC(n);
  case MEASURE_PLETHY: return W.WasPlethy(n);
  case MEASURE_SHUTTER: return W.WasSHUTTER(n);
  case MEASURE_RHINO: return W.WasRHINO();
  default: return false;
  }
}

const std::string& TMeasureRecordAccess::GetDatePicture() const { return DatePicture = W.GetDateFormatStr(); }
const std::string& TMeasureRecordAccess::GetTimePicture() const { return TimePicture = W.GetTimeFormatStr(); }

void TMeasureRecordAccess::CompressGrafikon(float* curve, int& count) { TMeasureCore::CompressGrafikon(curve, count); }
void TMeasureRecordAccess::DeCompressGrafikon(float* curve, int& count) {
  // Every curve buffer of the window holds a whole slot.
  TMeasureCore::DeCompressGrafikon(curve, count, MeasureLimits::CurveSamples);
}

void TMeasureRecordAccess::ReIntegratedVolume(short kind, short slot, short count) {
  Sync();
  W.ReIntegratedVolume(kind, slot, static_cast<unsigned long>(count < 0 ? 0 : count));
}

void TMeasureRecordAccess::SetFirstBoxPressureForResistance(short slot, float value) {
  if (TPlethySlot* s = W.GetPlethySlot(slot))
    s->Values[0] = value;
}
void TMeasureRecordAccess::SetFirstBoxPressureForTGV(short slot, float value) {
  if (TPlethySlot* s = W.GetPlethySlot(slot))
    s->Values[1] = value;
}

void TMeasureRecordAccess::SetMeasureMode(short kind) {
  Sync();
  W.SetMeasureMode(kind);
  Sync();
}
short TMeasureRecordAccess::GetMeasureMode() const { return W.GetMeasureMode(); }
void TMeasureRecordAccess::CalculateFEVperIVC(short fvcSlot, short vcSlot) { W.CalculateFEVperIVC(fvcSlot, vcSlot); }
void TMeasureRecordAccess::SetMeasurementOfParameters() { W.SetMeasurementOfParameters(); }
void TMeasureRecordAccess::ChangeButtonColor() { W.ChangeButtonColor(); }

void TMeasureRecordAccess::ShowPrePost() {
  Sync();
  W.DispatchCommand(CM_PREPOST);
}

void TMeasureRecordAccess::Repaint() {
  Sync();
  W.UpdateParamListBox();
  W.Repaint();
}

void TMeasureRecordAccess::SetCaption(std::string_view caption) {
  // The captions are the menu's texts: their accelerator mark is no letter.
  const QString text = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())).remove('&');
  for (QWidget* up = W.parentWidget(); up; up = up->parentWidget())
    if (auto* frame = qobject_cast<QMdiSubWindow*>(up)) {
      frame->setWindowTitle(text);
      return;
    }
  W.setWindowTitle(text);
}

void TMeasureRecordAccess::SetNote(int index, std::string_view note) { W.SetNote(static_cast<short>(index), note); }
std::string TMeasureRecordAccess::GetNote() const { return W.GetNote(); }
int TMeasureRecordAccess::GetPredictedAlgorithm() const { return W.GetPredictedAlgorithm(); }
void TMeasureRecordAccess::SetPredictedAlgorithm(int algorithm, bool recalculate) {
  W.SetPredictedAlgorithm(algorithm, recalculate);
}
void TMeasureRecordAccess::DoRandom(short slot) {
  // The replay has just read the trial, with a diffusion trial's readings.
  Sync();
  W.DoRandom(slot);
}
void TMeasureRecordAccess::SetPredictedData(const PREDICTED_DATA& patient) { W.SetPredictedData(patient); }
void TMeasureRecordAccess::RedrawScreenBmp() { W.GetView().RedrawScreenBmp(); }
void TMeasureRecordAccess::VerifyPredictedData() { W.VerifyPredictedData(); }
void TMeasureRecordAccess::CalculatePredictedRSD() { W.CalculatePredictedRSD(); }

void TMeasureRecordAccess::SetBTPSData(std::span<const char, 17> block) {
  TBTPS* panel = W.GetBtps();
  if (!panel)
    return;
  TBinaryReader reader(std::string_view(block.data(), block.size()));
  panel->GetRecord() = ReadBtpsRecord(reader);
  panel->SetBTPSData();
}

void TMeasureRecordAccess::SetBtpsFactor(float factor) { TMeasureInterrupt::ConstansOfBTPS[0] = factor; }

std::int16_t* TMeasureRecordAccess::GetRawSampleBuffer(int channel) {
  if (channel < 0 || channel > 2)
    return nullptr;
  auto& buffer = W.LogBuffer[static_cast<std::size_t>(channel)];
  return buffer.size() >= static_cast<std::size_t>(MeasureLimits::CurveSamples) ? buffer.data() : nullptr;
}
