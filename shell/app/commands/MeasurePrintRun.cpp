#include "shell/app/commands/MeasurePrintRun.h"

#include "common/MeasureMode.h"
#include "measure/window/Measure.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/MeasureAccess.h"
#include "records/MeasureWorkFiles.h"

TMeasurePrintRun::TMeasurePrintRun(TMeasure& window, TMeasureAccess& access, TMeasureWorkFiles& files,
                                   const TMessage& texts)
    : W(window), Access(access), Files(files), Texts(texts), Kind(window.GetMeasureMode()),
      Mode(TMeasureData::MeasureMode), Printed(std::make_unique<TMeasurePrintout>(window, texts)) {
  // The shown test waits in its work file while the report loads the
  // examination's kinds into the window one after the other.
  if (Mode != MEASURE_CALIBRATION && Kind != MEASURE_RHINO)
    Files.WriteMeasureFile(Access, Kind);
  if (Mode != MEASURE_CALIBRATION)
    W.SaveBtpsParams();
  HadScreenCopy = W.GetScreen().HasScreenCopy();
  W.GetScreen().CopyScreen();
}

TMeasurePrintRun::~TMeasurePrintRun() {
  if (Mode != MEASURE_CALIBRATION) {
    if (Kind == MEASURE_RHINO)
      W.SetMeasureMode(MEASURE_RHINO);
    else
      Files.ReadMeasureFile(Access, Kind, true);
  }
  // The window shows its test again as it did before the report: a frozen
  // screen is rendered anew from the reloaded test, a live one repaints.
  if (HadScreenCopy) {
    W.GetScreen().RedrawScreenBmp();
  } else {
    W.GetScreen().DeleteScreenBmp();
    W.GetScreen().InvalidateScreen();
  }
}

std::unique_ptr<TPrintManager> TMeasurePrintRun::PrepareCalibration(std::unique_ptr<TPrintHeader> header) {
  TTestPrintout& test = Printed->Test();
  header->Author.Doctor.clear();  // an instrument's page, not a patient's
  test.NoProgress = false;
  header->NoProgress = false;
  return Manager(std::move(header), TPrintManager::TKind::Calibration);
}

std::unique_ptr<TPrintManager> TMeasurePrintRun::Manager(std::unique_ptr<TPrintHeader> header,
                                                         TPrintManager::TKind kind) {
  TTestPrintout& test = Printed->Test();
  auto manager = std::make_unique<TPrintManager>(Texts, std::move(header), kind);
  manager->Test = &test;
  // The report's steps advance the running job's gauge.
  TPrintManager* run = manager.get();
  test.Progress = [run] {
    if (run->Progress)
      run->Progress(0);
  };
  return manager;
}

std::unique_ptr<TPrintManager> TMeasurePrintRun::PrepareRhino(std::unique_ptr<TPrintHeader> header) {
  // The header names both results' evaluation algorithms.
  header->Algorithm1 = W.GetRhinoAlgorithmName(1);
  header->Algorithm2 = W.GetRhinoAlgorithmName(2);
  header->NoProgress = false;
  Printed->TakeWindowState(W.GetNote(), false, {});
  TRhinoPrintout& report = Printed->Rhino();
  report.NoteFollows = header->NoteFlag != 0;
  auto manager = std::make_unique<TPrintManager>(Texts, std::move(header), TPrintManager::TKind::Measurement);
  manager->Test = &report;
  manager->MeasurementTitle = RhinoTitle;
  TPrintManager* run = manager.get();
  report.Progress = [run] {
    if (run->Progress)
      run->Progress(0);
  };
  return manager;
}

std::unique_ptr<TPrintManager> TMeasurePrintRun::Prepare(std::unique_ptr<TPrintHeader> header,
                                                         const TInstallFlags& install, QWidget* parent, bool series) {
  TTestPrintout& test = Printed->Test();
  const PrintChoice::TTestOptions options = PrintChoice::ForMeasurement(install, Kind);
  test.ExtraTests = options.ExtraTests;
  if (!ShowPrintStruct(Texts, *header, options.Dialog, parent))
    return nullptr;
  if (Kind == MEASURE_RHINO)
    return PrepareRhino(std::move(header));
  test.PrintSelection = header->Selection;
  header->Algorithm1 = std::string(TMeasurePrintout::AlgorithmName(W.GetPredictedAlgorithm()));
  header->Algorithm2 = std::string(TMeasurePrintout::AlgorithmName(W.PreAlgorithm));
  test.NoProgress = false;
  header->NoProgress = false;

  // The provocation's steps as the examination stored them.
  const TMeasureRecordState& state = Access.State();
  const bool provocation = series || state.OpenedWithProvocation || state.ProvocationLoaded;
  PrintedTables::TProvocationSteps steps;
  steps.Agent = state.ProvokedAgent;
  steps.SecondAgent = state.ThirdStageAgent;
  steps.SecondStage = !state.ThirdStageAgent.empty();
  steps.ConcentrationMgPerMl = state.ProvokedConcentration;
  steps.VolumeMl = state.ProvokedDose;
  steps.DoseUnit = W.DoseUnit;
  Printed->TakeWindowState(W.GetNote(), provocation, steps);

  // The whole examination prints from the FVC kind, a series from its stages.
  if (series)
    Files.ReadStageFiles(Access, Kind);
  else if (Kind != MEASURE_RHINO)
    Files.ReadMeasureFileForMode(Access, MEASURE_FVC, 0);

  return Manager(std::move(header), TPrintManager::TKind::Measurement);
}
