// The client's print, printer-setup and preview commands. Each printable
// window brings its printout: the measurement window its examination's
// report; the patient note prints alone when its window is the active
// child and no other printable window is open.

#include "shell/app/MdiClient.h"

#include "common/CommandNumbers.h"
#include "platform/framework/WindowMessages.h"
#include "measure/window/Measure.h"
#include "patients/Patient.h"
#include "patients/PatientNote.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/PrintHeader.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/window/ApxPreviewWin.h"
#include "shell/settings/InstituteSettings.h"
#include "records/window/OwnPrinter.h"
#include "shell/client/ClientEnablers.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/MdiChild.h"
#include "shell/app/commands/MeasurePrintRun.h"
#include "shell/app/commands/WindowPrintables.h"
#include "audiometry/window/AudioMeter.h"

namespace {

constexpr short NoteOptionsDialog = 20140, TrendOptionsDialog = 20124, AudiogramOptionsDialog = 20131;
constexpr std::size_t DoctorLength = 31;

// The printing depth: non-zero exactly while a run is inside the printer
// or the preview.
class TDepth {
public:
  explicit TDepth(int& depth) : Depth(depth) { ++Depth; }
  ~TDepth() { --Depth; }
  TDepth(const TDepth&) = delete;
  TDepth& operator=(const TDepth&) = delete;

private:
  int& Depth;
};

}  // namespace

TOwnPrinter& THalvetraMDIClient::GetPrinter() {
  if (!Printer)
    Printer = std::make_unique<TOwnPrinter>(App.GetMessages());
  return *Printer;
}

std::unique_ptr<TPrintHeader> THalvetraMDIClient::MakePrintHeader() {
  // The patient the sheet shows.
  PREDICTED_DATA patient = Control.GetPatientData();
  if (GetPatient() != nullptr)
    GetPatient()->FillPatientData(patient);
  const TScreenScale scale = App.GetScale();
  auto header = std::make_unique<TPrintHeader>(&App.GetMessages(), scale.X, scale.Y, App.GetSettings().IniPath,
                                               patient);
  header->Author.Doctor = GetPatient() != nullptr ? GetPatient()->GetDoctor(DoctorLength) : std::string();
  const TTInstituteStruct printed = InstituteSettings::Printed(Institute);
  header->Author.Institute = printed.Name;
  header->Author.Address = printed.Address;
  return header;
}

std::unique_ptr<TPrintManager> THalvetraMDIClient::MakeNoteManager() {
  TPatientNote* note = GetNote();
  if (note == nullptr)
    return nullptr;
  // The selected text, or the whole note when nothing is selected.
  std::string text;
  note->GetNote(text);
  std::unique_ptr<TPrintHeader> header = MakePrintHeader();
  if (!ShowPrintStruct(App.GetMessages(), *header, NoteOptionsDialog, this))
    return nullptr;
  return std::make_unique<TPrintManager>(App.GetMessages(), std::move(header), TPrintManager::TKind::NoteOnly, text);
}

std::unique_ptr<TMeasurePrintRun> THalvetraMDIClient::StartMeasurePrint() {
  auto* window = dynamic_cast<TMeasure*>(GetMeasure());
  BoundRecords();
  TMeasureAccess* access = GetRecordWindows().Measure();
  if (window == nullptr || access == nullptr)
    return nullptr;
  return std::make_unique<TMeasurePrintRun>(*window, *access, Records->GetWorkFiles(), App.GetMessages());
}

void THalvetraMDIClient::TakeProvocationStep() {
  // The report names the open provocation's agents and its last step.
  TProvocationWindow* provocation = GetProvocation();
  TMeasureAccess* access = GetRecordWindows().Measure();
  if (!provocation || !access)
    return;
  TMeasureRecordState& state = access->State();
  state.OpenedWithProvocation = true;
  state.ProvokedAgent = provocation->GetAgent();
  state.ThirdStageAgent = provocation->Steps().ThirdAgent;
  double concentration = 0.0;
  double dose = 0.0;
  provocation->GetConcAndDose(concentration, dose);
  state.ProvokedConcentration = static_cast<float>(concentration);
  state.ProvokedDose = static_cast<float>(dose);
  access->State();  // into the window now
}

std::string THalvetraMDIClient::SelectedNoteText() const {
  // The text selected in the patient's note follows a test, trend or
  // audiogram.
  std::string text;
  if (const TPatientNote* note = GetNote(); note != nullptr && note->IsTextSelected())
    note->GetNote(text);
  return text;
}

std::unique_ptr<TPrintManager> THalvetraMDIClient::MakeRunManager(TPrintRun& run) {
  TCommandEnabler enabler(CM_FILEPRINT);
  CmPrintEnable(enabler);
  if (!enabler.GetEnabled())
    return nullptr;
  switch (Printable) {
  case PrintChoice::TPrintable::NoteOnly:
    return MakeNoteManager();
  case PrintChoice::TPrintable::Measurement: {
    run.Measure = StartMeasurePrint();
    if (!run.Measure)
      return nullptr;
    auto manager = run.Measure->Prepare(MakePrintHeader(), App.GetInstallFlags(), this, SeriesPrint);
    if (manager)
      manager->SetNote(SelectedNoteText());
    return manager;
  }
  case PrintChoice::TPrintable::ProvocationStages: {
    run.Measure = StartMeasurePrint();
    if (!run.Measure)
      return nullptr;
    TakeProvocationStep();
    auto manager = run.Measure->Prepare(MakePrintHeader(), App.GetInstallFlags(), this, true);
    if (manager)
      manager->SetNote(SelectedNoteText());
    return manager;
  }
  case PrintChoice::TPrintable::Calibration:
    run.Measure = StartMeasurePrint();
    return run.Measure ? run.Measure->PrepareCalibration(MakePrintHeader()) : nullptr;
  case PrintChoice::TPrintable::Trend:
  case PrintChoice::TPrintable::Audiogram: {
    const bool trend = Printable == PrintChoice::TPrintable::Trend;
    auto* meter = dynamic_cast<TAudioMeter*>(GetAudioMeter());
    if ((trend && GetTrend() == nullptr) || (!trend && meter == nullptr))
      return nullptr;
    std::unique_ptr<TPrintHeader> header = MakePrintHeader();
    if (!ShowPrintStruct(App.GetMessages(), *header, trend ? TrendOptionsDialog : AudiogramOptionsDialog, this))
      return nullptr;
    header->NoProgress = false;
    auto manager = std::make_unique<TPrintManager>(App.GetMessages(), std::move(header),
                                                   trend ? TPrintManager::TKind::Trend
                                                         : TPrintManager::TKind::Audiogram,
                                                   SelectedNoteText());
    if (trend) {
      run.Trend = std::make_unique<TTrendPrintable>(*GetTrend());
      manager->Trend = run.Trend.get();
    } else {
      run.Audiogram = std::make_unique<TAudiogramPrintable>(*meter);
      manager->Audiogram = run.Audiogram.get();
    }
    return manager;
  }
  case PrintChoice::TPrintable::None:
    break;
  }
  return nullptr;
}

void THalvetraMDIClient::CmFilePrint() {
  GetPrinter();
  // Printing from the preview uses the preview's manager and choices.
  if (RunManager != nullptr) {
    TApxPrintout printout(*RunManager, "Halvetra");
    const TDepth depth(PrintingDepth);
    Printer->Print(this, printout, PrintPrompt);
    return;
  }
  // The run (a measurement's) puts its window back when it ends, also
  // when the options were refused.
  TPrintRun run;
  const std::unique_ptr<TPrintManager> manager = MakeRunManager(run);
  if (!manager)
    return;
  TApxPrintout printout(*manager, "Halvetra");
  const TDepth depth(PrintingDepth);
  Printer->Print(this, printout, PrintPrompt);
}

void THalvetraMDIClient::PrintFromBrowser(const std::vector<BrowsePlan::TMessage>& plan, bool series) {
  EvCloseAllTempFiles();
  // A provocation's stages go into the stage files as they load.
  TRecordWindows& windows = GetRecordWindows();
  windows.ProvocationFromDatabase = series;
  for (const BrowsePlan::TMessage& message : plan)
    SendMessage(this, message.Message, message.WParam, reinterpret_cast<TParam2>(message.Key.c_str()));
  windows.ProvocationFromDatabase = false;
  SeriesPrint = series;
  SendMessage(this, WM_COMMAND, CM_FILEPRINT, 0);
  SeriesPrint = false;
  // The windows loaded for the printout go again.
  CloseFrame(TClientSlot::Measure);
  CloseFrame(TClientSlot::Audiometer);
  EvCloseAllTempFiles();
}

void THalvetraMDIClient::CmFilePrinterSetup() {
  GetPrinter();
  raise();
  Printer->Setup(this);
}

void THalvetraMDIClient::CmFilePrintPreview() {
  GetPrinter();
  if (RunManager != nullptr)
    return;
  const TDepth depth(PrintingDepth);
  TPrintRun run;
  const std::unique_ptr<TPrintManager> manager = MakeRunManager(run);
  if (!manager)
    return;
  TApxPreviewWin preview(App.GetMessages(), this, *Printer, *manager);
  preview.setGeometry(window()->geometry());
  RunManager = manager.get();
  preview.PrintCommand = [this] { CmFilePrint(); };
  preview.exec();
  RunManager = nullptr;
}

void THalvetraMDIClient::CmPrintEnable(TCommandEnabler& ce) {
  GetPrinter();
  TClientView view;
  FillView(view);
  if (ce.GetId() == CM_FILEPRINTERSETUP) {
    // Not while a test or a hearing test runs.
    ce.Enable(!view.MeasurementBusy && !view.AudiometerBusy);
    return;
  }
  PrintChoice::TPrintView print;
  print.MeasurementOpen = view.MeasurementOpen;
  print.MeasurementBusy = view.MeasurementBusy;
  print.MeasureMode = static_cast<short>(view.MeasureMode);
  print.Kind = static_cast<short>(view.WindowMeasureMode);
  if (const auto* window = dynamic_cast<const TMeasure*>(GetMeasure()))
    print.HasResults = window->WasFVC(3) || window->WasVC(3) || window->WasMVV(3) || window->WasDFC(3) ||
                       window->WasSHUTTER(3) || window->WasPlethy(3) || window->WasRHINO();
  if (const auto* window = dynamic_cast<const TMeasure*>(GetMeasure()))
    print.Calibrated = window->Calibrated;
  print.ProvocationOpen = view.ProvocationOpen;
  print.ProvocationActive = view.ProvocationActive;
  print.NebulizerRunning = view.NebulizerRunning;
  if (TProvocationWindow* provocation = GetProvocation())
    print.BaselineFiled = provocation->Steps().BaselineDone;
  print.TrendOpen = view.TrendOpen;
  print.AudiometerOpen = view.AudiometerOpen;
  if (const auto* meter = dynamic_cast<const TAudioMeter*>(GetAudioMeter()))
    print.AudiometerPrintable = !view.AudiometerBusy && meter->GetPrintEnable();
  const QMdiSubWindow* active = activeSubWindow();
  print.AnyActive = active != nullptr;
  print.TrendActive = active != nullptr && active == GetTrendFrame();
  print.NoteActive = active != nullptr && active == GetNoteFrame();
  Printable = PrintChoice::Printable(print);
  NoteOnly = Printable == PrintChoice::TPrintable::NoteOnly;
  ce.Enable(Printable != PrintChoice::TPrintable::None);
}
