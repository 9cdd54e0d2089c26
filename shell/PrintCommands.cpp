// The client's print, printer-setup and preview commands. Each printable
// window brings its printout; the patient note prints alone when its
// window is the active child and no other printable window is open.

#include "shell/MdiClient.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/PatientNote.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/PrintHeader.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/ApxPreviewWin.h"
#include "records/OwnPrinter.h"
#include "shell/ClientEnablers.h"
#include "shell/HalvetraApp.h"
#include "shell/MdiChild.h"

namespace {

constexpr short NoteOptionsDialog = 20140;
constexpr std::size_t DoctorLength = 31;

}  // namespace

std::unique_ptr<TPrintManager> THalvetraMDIClient::MakeNoteManager() {
  TPatientNote* note = GetNote();
  if (note == nullptr)
    return nullptr;
  // The selected text, or the whole note when nothing is selected.
  std::string text;
  note->GetNote(text);
  // The patient the sheet shows.
  PREDICTED_DATA patient = Control.GetPatientData();
  if (GetPatient() != nullptr)
    GetPatient()->FillPatientData(patient);
  const TScreenScale scale = App.GetScale();
  auto header = std::make_unique<TPrintHeader>(&App.GetMessages(), scale.X, scale.Y, App.GetSettings().IniPath,
                                               patient);
  if (!ShowPrintStruct(App.GetMessages(), *header, NoteOptionsDialog, this))
    return nullptr;
  header->Author.Doctor = GetPatient() != nullptr ? GetPatient()->GetDoctor(DoctorLength) : std::string();
  header->Author.Institute = Institute.Name;
  header->Author.Address = Institute.Address;
  return std::make_unique<TPrintManager>(App.GetMessages(), std::move(header), TPrintManager::TKind::NoteOnly, text);
}

void THalvetraMDIClient::CmFilePrint() {
  if (!Printer)
    Printer = std::make_unique<TOwnPrinter>(App.GetMessages());
  // Printing from the preview uses the preview's manager and choices.
  if (RunManager != nullptr) {
    TApxPrintout printout(*RunManager, "Halvetra");
    Printer->Print(this, printout, true);
    return;
  }
  TCommandEnabler enabler(CM_FILEPRINT);
  CmPrintEnable(enabler);
  if (!enabler.GetEnabled() || !NoteOnly)
    return;
  const std::unique_ptr<TPrintManager> manager = MakeNoteManager();
  if (!manager)
    return;
  TApxPrintout printout(*manager, "Halvetra");
  Printer->Print(this, printout, true);
}

void THalvetraMDIClient::CmFilePrinterSetup() {
  if (!Printer)
    Printer = std::make_unique<TOwnPrinter>(App.GetMessages());
  raise();
  Printer->Setup(this);
}

void THalvetraMDIClient::CmFilePrintPreview() {
  if (!Printer)
    Printer = std::make_unique<TOwnPrinter>(App.GetMessages());
  TCommandEnabler enabler(CM_FILEPRINTPREVIEW);
  CmPrintEnable(enabler);
  if (!enabler.GetEnabled() || !NoteOnly || RunManager != nullptr)
    return;
  const std::unique_ptr<TPrintManager> manager = MakeNoteManager();
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
  if (!Printer)
    Printer = std::make_unique<TOwnPrinter>(App.GetMessages());
  TClientView view;
  FillView(view);
  if (ce.GetId() == CM_FILEPRINTERSETUP) {
    // Not while a test or a hearing test runs.
    ce.Enable(!view.MeasurementBusy && !view.AudiometerBusy);
    return;
  }
  // The windows that print their own tests, trends and audiograms come
  // with their printouts; until then the note prints alone.
  const bool otherPrintable = view.MeasurementOpen || view.TrendOpen || view.AudiometerOpen || view.ProvocationOpen;
  const QMdiSubWindow* active = activeSubWindow();
  NoteOnly = !otherPrintable && active != nullptr && active == GetNoteFrame();
  ce.Enable(NoteOnly);
}
