#include "shell/MdiClient.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseCreateAndSelect.h"
#include "patients/Institute.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"
#include "shell/DatabaseTables.h"
#include "shell/HalvetraApp.h"
#include "shell/InstituteSettings.h"
#include "shell/MdiChild.h"

#include <QApplication>
#include <QBrush>
#include <QColor>

namespace {

// A made-up patient, so a test window can be opened before a patient is
// chosen; no real person's data.
PREDICTED_DATA SamplePatient() {
  PREDICTED_DATA patient;
  patient.SetName("Sample Patient");
  patient.SetId("S000001");
  patient.Age = 44;
  patient.Height = 175;
  patient.Weight = 75;
  patient.Sex = 1;
  patient.BirthYear = 1980;
  patient.BirthMonth = 6;
  patient.BirthDay = 15;
  patient.Unit = 0;
  return patient;
}

}  // namespace

THalvetraMDIClient::THalvetraMDIClient(THalvetraApp& app) : App(app), PatientData(SamplePatient()) {
  setObjectName("THalvetraMDIClient");
  ReadInstitute();
  setBackground(QBrush(QColor(128, 128, 128)));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(this, &QMdiArea::subWindowActivated, this, [this, previous = QPointer<QMdiSubWindow>()](QMdiSubWindow* window) mutable {
    if (auto* child = dynamic_cast<THalvetraMDIChild*>(window))
      child->Dispatch(WM_MDIACTIVATE, reinterpret_cast<TParam1>(child), reinterpret_cast<TParam2>(previous.data()));
    previous = window;
  });
}

const TResponseTable& THalvetraMDIClient::ResponseTable() {
  using C = THalvetraMDIClient;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&C::CmNotAvailableYet>(CM_OPEN_PATIENT),
      Response::Enabler<&C::CmMainMenuEnable>(CM_OPEN_PATIENT),
      Response::Command<&C::CmNewDatabase>(CM_NEW_DATABASE),
      Response::Enabler<&C::CmMainMenuEnable>(CM_NEW_DATABASE),
      Response::Command<&C::CmNotAvailableYet>(CM_MERGE_DATABASES),
      Response::Enabler<&C::CmMainMenuEnable>(CM_MERGE_DATABASES),
      Response::Command<&C::CmInstitute>(CM_INSTITUTE),
      Response::Enabler<&C::CmMainMenuEnable>(CM_INSTITUTE),
      Response::Command<&C::CmNotAvailableYet>(CM_HARDWARE_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_HARDWARE_SETUP),
      Response::Command<&C::CmNotAvailableYet>(CM_DIFFUSION_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_DIFFUSION_SETUP),
      Response::Command<&C::CmNotAvailableYet>(CM_PLETHYSMOGRAPH_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PLETHYSMOGRAPH_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_EXIT),
      Response::Command<&C::CmNotAvailableYet>(CM_PATIENT_NOTE),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PATIENT_NOTE),
      Response::Command<&C::CmNotAvailableYet>(CM_AUDIO_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUDIO_SETUP),
      Response::Command<&C::CmNotAvailableYet>(CM_AUDIO_CALIBRATION),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUDIO_CALIBRATION),
      Response::Command<&C::CmNotAvailableYet>(CM_AUTOMATIC_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUTOMATIC_SETUP),
      Response::Command<&C::CmNotAvailableYet>(CM_ECG),
      Response::Enabler<&C::CmMainMenuEnable>(CM_ECG),
      Response::Command<&C::CmNotAvailableYet>(CM_PATIENT_LIST),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PATIENT_LIST),
      Response::Command<&C::CmNotAvailableYet>(CM_BROWSE_MEASUREMENTS),
      Response::Enabler<&C::CmMainMenuEnable>(CM_BROWSE_MEASUREMENTS),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

THalvetraMDIChild* THalvetraMDIClient::AddChild(const QString& caption, QWidget* component, bool shrinkToClient) {
  auto* child = new THalvetraMDIChild(*this, caption, component, shrinkToClient);
  addSubWindow(child);
  child->show();
  return child;
}

void THalvetraMDIClient::ActivateChild(THalvetraMDIChild* child) {
  if (child && activeSubWindow() == child)
    child->Dispatch(WM_MDIACTIVATE, reinterpret_cast<TParam1>(child), 0);
  else
    setActiveSubWindow(child);
}

void THalvetraMDIClient::SetNote(int index, std::string_view note) {
  Notes.at(static_cast<std::size_t>(index)) = std::string(Utf8::Truncate(note, NoteSize - 1));
}

void THalvetraMDIClient::ClearNotes() {
  for (std::string& note : Notes)
    note.clear();
}

TClientView THalvetraMDIClient::View() const {
  const TAppSettings& settings = App.GetSettings();
  TClientView view;
  view.SheetOpen = !PatientFrame.isNull();
  view.MeasurementOpen = !MeasureFrame.isNull();
  view.AudiometerOpen = !AudiometerFrame.isNull();
  view.TrendOpen = !TrendFrame.isNull();
  view.ProvocationOpen = !ProvocationFrame.isNull();
  view.LanguageDriverSet = !settings.LanguageDriver.empty();
  view.DoctorTablePresent = ClientEnablers::DoctorTablePresent(settings.CommonDir);
  view.DatabasePresent = view.DoctorTablePresent && ClientEnablers::DatabasePresent(settings.CommonDir, settings.DatabaseDir);
  return view;
}

void THalvetraMDIClient::CmNotAvailableYet() { App.ShowNotAvailableYet(); }

void THalvetraMDIClient::ReadInstitute() { Institute = InstituteSettings::Read(App.GetSettings().IniPath); }

void THalvetraMDIClient::WriteInstitute() {
  App.ReportFailures(InstituteSettings::Write(App.GetSettings().IniPath, Institute));
}

void THalvetraMDIClient::CmInstitute() {
  TInstitute dialog(App.GetMessages(), this, Institute);
  if (dialog.exec() == QDialog::Accepted)
    WriteInstitute();
  else
    ReadInstitute();
}

void THalvetraMDIClient::CmNewDatabase() {
  TDatabaseCreateAndSelect dialog(App.GetMessages(), App.GetSettings().IniPath, this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  App.ReadDatabaseFolders();
  if (CreateDatabaseTables())
    PostMessage(this, WM_COMMAND, CM_OPEN_PATIENT, 0);
}

bool THalvetraMDIClient::CreateDatabaseTables() {
  constexpr int ProgressCaption = 1;
  constexpr int ProgressLine1 = 268;
  constexpr int ProgressLine2 = 289;
  constexpr short GaugeFull = 100;
  const TAppSettings& settings = App.GetSettings();
  TMessage& texts = App.GetMessages();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  TWaitingDialog progress(texts.LoadStringA(ProgressCaption), texts.LoadStringA(ProgressLine1),
                          texts.LoadStringA(ProgressLine2), window());
  progress.Execute();
  progress.SetStep(static_cast<short>(GaugeFull / (DatabaseTables::DataTables.size() + 1)));
  // The database of the kind the settings name, local or network.
  const bool made = DatabaseTables::CreateMissing(settings.CommonDir, settings.DatabaseDir, settings.LanguageDriver,
                                                  texts, [&progress] { progress.DoOneStep(); });
  if (made)
    progress.UpdateGauge(GaugeFull);
  progress.Destroy(0);
  QApplication::restoreOverrideCursor();
  return made;
}

void THalvetraMDIClient::CmMainMenuEnable(TCommandEnabler& ce) {
  ce.Enable(ClientEnablers::IsEnabled(ce.GetId(), View()).value_or(false));
}
