#include "shell/MdiClient.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseCreateAndSelect.h"
#include "patients/Institute.h"
#include "patients/Patient.h"
#include "patients/PatientNote.h"
#include "patients/SheetFrame.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "records/TableCheck.h"
#include "shell/ChildMenus.h"
#include "shell/DatabaseTables.h"
#include "shell/HalvetraApp.h"
#include "shell/InstituteSettings.h"
#include "shell/MdiChild.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int PatientDataText = 232;
constexpr int NoteText = 251;
constexpr int MissingDatabaseText = 9009;

std::string JoinedTables(const std::vector<std::string>& tables) {
  std::string joined;
  for (const std::string& table : tables)
    joined += (joined.empty() ? "" : ", ") + table;
  return joined;
}
// The note frame's size before scaling.
constexpr int NoteFrameWidth = 748;
constexpr int NoteFrameHeight = 442;

}  // namespace

THalvetraMDIClient::THalvetraMDIClient(THalvetraApp& app)
    : App(app), Control(app.GetMessages(), *this, app.GetWorkFiles()) {
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

THalvetraMDIClient::~THalvetraMDIClient() {
  // Each frame tells the client when it goes: they go while it listens,
  // also one that was closed and waits to be deleted (no longer listed).
  for (THalvetraMDIChild* frame : findChildren<THalvetraMDIChild*>())
    delete frame;
}

const TResponseTable& THalvetraMDIClient::ResponseTable() {
  using C = THalvetraMDIClient;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&C::CmOpenPatient>(CM_OPEN_PATIENT),
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
      Response::Command<&C::CmPatientNote>(CM_PATIENT_NOTE),
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
      Response::Command<&C::CmNoteClosed>(CM_NOTE_CLOSED),
      Response::Message<&C::EvMDIDestroy>(WM_MDIDESTROY),
      Response::Message<&C::EvCloseChildWindows>(WM_CLOSE_CHILD_WINDOWS),
      Response::Message<&C::EvCloseAllTempFiles>(WM_CLOSE_ALL_TEMP_FILES),
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

void THalvetraMDIClient::PlaceChild(THalvetraMDIChild& child, QSize size) const {
  // A frame never opens larger than the client area; its component scrolls inside it.
  const QSize area = viewport()->size();
  child.setGeometry(0, 0, std::min(size.width(), area.width()), std::min(size.height(), area.height()));
}

void THalvetraMDIClient::ActivateChild(THalvetraMDIChild* child) {
  if (child && activeSubWindow() == child)
    child->Dispatch(WM_MDIACTIVATE, reinterpret_cast<TParam1>(child), 0);
  else
    setActiveSubWindow(child);
}

TClientView THalvetraMDIClient::View(bool withTableFiles) const {
  TClientView view = Control.View(App.GetSettings(), withTableFiles);
  if (const TPatient* sheet = GetPatient()) {
    view.SheetListLibraryLoaded = sheet->IsListLibraryLoaded();
    view.SheetMeasurementDatabaseOpen = sheet->IsMeasureDatabaseOpen();
  }
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
  const TWaitCursor wait;
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
  return made;
}

void THalvetraMDIClient::CmMainMenuEnable(TCommandEnabler& ce) {
  const unsigned id = ce.GetId();
  const TClientView view = View(ClientEnablers::ReadsTableFiles(id));
  ce.Enable(ClientEnablers::IsEnabled(id, view).value_or(false));
  if (id == CM_OPEN_PATIENT)
    ShowDatabaseState(view);
}

void THalvetraMDIClient::ShowDatabaseState(const TClientView& view) {
  // Open patient is off while tables are missing: the status line says which.
  const TAppSettings& settings = App.GetSettings();
  const std::string reason =
      view.DatabasePresent || !view.LanguageDriverSet
          ? std::string()
          : App.GetMessages().Format(
                MissingDatabaseText,
                {JoinedTables(ClientEnablers::MissingTables(settings.CommonDir, settings.DatabaseDir))});
  if (reason != DatabaseState)
    App.ShowStatus(DatabaseState = reason);
}

// --- The frames -----------------------------------------------------------------------

TPatient* THalvetraMDIClient::GetPatient() const { return Frame(TClientSlot::Patient) ? Patient.data() : nullptr; }
THalvetraMDIChild* THalvetraMDIClient::GetPatientFrame() const { return Frame(TClientSlot::Patient).data(); }
TPatientNote* THalvetraMDIClient::GetNote() const { return Frame(TClientSlot::Note) ? Note.data() : nullptr; }
THalvetraMDIChild* THalvetraMDIClient::GetNoteFrame() const { return Frame(TClientSlot::Note).data(); }

void THalvetraMDIClient::CmOpenPatient() {
  const TWaitCursor wait;
  Control.CmOpenPatient(App.TakeHandOverPath());
}

void THalvetraMDIClient::ActivateFrame(TClientSlot slot) {
  ActivateChild(Frame(slot));
  if (slot == TClientSlot::Patient && Patient)
    Patient->SetEngineHWND(reinterpret_cast<std::uintptr_t>(Patient.data()));
}

bool THalvetraMDIClient::CloseFrame(TClientSlot slot) { return !Frame(slot) || Frame(slot)->close(); }

void THalvetraMDIClient::EvMDIDestroy(TParam1 frame, TParam2) {
  for (std::size_t slot = 0; slot < Frames.size(); ++slot)
    if (Frames[slot] && reinterpret_cast<THalvetraMDIChild*>(frame) == Frames[slot].data())
      Control.SlotClosed(static_cast<TClientSlot>(slot));
}

bool THalvetraMDIClient::OpenPatientFrame() {
  // A sheet without its frame is on its way out.
  if (Patient) {
    QApplication::beep();
    return false;
  }
  const TAppSettings& settings = App.GetSettings();
  TMessage& texts = App.GetMessages();
  const TSheetFrame frame = SheetFrameForPageType(settings.PageType);
  // A test table of a layout this program does not keep stops the sheet
  // before it opens; the engine has named the table.
  if (TableCheck::CheckTableLayout(settings.DatabaseDir, "vc.db", TableKind::Vc, &texts) != 0)
    return false;

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(800, 600);
  const TSheetScale scale = SheetScale(screenSize.width(), screenSize.height());
  auto sheet = std::make_unique<TPatient>(scale.X, scale.Y, settings.Demo, &texts, settings.IniPath,
                                          static_cast<short>(frame.ResourceId), settings.CommonDir,
                                          settings.DatabaseDir, settings.PrivateDir, settings.DefaultUnit,
                                          settings.DefaultHeight, settings.DefaultWeight, this);
  sheet->SetupWindow();
  // A sheet whose tables could not be opened gets no frame: the engine has
  // said why, and nothing is kept of it.
  if (sheet->IsDatabaseUnusable())
    return false;

  const std::string caption = SheetCaption(texts.LoadStringA(PatientDataText), settings.DatabaseDir);
  THalvetraMDIChild* child = AddChild(QString::fromStdString(caption), sheet.get(), false);
  Patient = sheet.release();  // the frame owns it now
  Frame(TClientSlot::Patient) = child;
  PlaceChild(*child, QSize(static_cast<int>(frame.Width * scale.X), static_cast<int>(frame.Height * scale.Y)));
  Patient->SetEngineHWND(reinterpret_cast<std::uintptr_t>(Patient.data()));
  Control.SheetOpened(*Patient, *Patient);
  return true;
}

bool THalvetraMDIClient::OpenNoteFrame(const std::string& text) {
  // A note without its frame is on its way out.
  if (Note) {
    QApplication::beep();
    return false;
  }
  TMessage& texts = App.GetMessages();
  auto* window = new TPatientNote(*GetPatient(), texts, text, this);
  QString caption = QString::fromStdString(texts.LoadStringA(NoteText));
  caption.remove('&');
  THalvetraMDIChild* child = AddChild(caption, window, false);
  Note = window;
  Frame(TClientSlot::Note) = child;
  child->SetMenu(App.BuildMenuBar(ChildMenus::Note(), child));
  const TScreenScale scale = App.GetScale();
  PlaceChild(*child, QSize(static_cast<int>(NoteFrameWidth * scale.X), static_cast<int>(NoteFrameHeight * scale.Y)));
  return true;
}

std::optional<std::string> THalvetraMDIClient::ChangedNote() {
  TPatientNote* note = GetNote();
  if (!note || !note->IsModified())
    return std::nullopt;
  note->ClearSelection();
  std::string text;
  note->GetNote(text);
  return text;
}

void THalvetraMDIClient::KeepNoteOpen() {
  if (TPatientNote* note = GetNote())
    note->KeepOpen();
}
