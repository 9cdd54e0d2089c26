#include "shell/MdiClient.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseCreateAndSelect.h"
#include "patients/Institute.h"
#include "patients/Patient.h"
#include "patients/PatientNote.h"
#include "patients/SheetEngines.h"
#include "patients/SheetFrame.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"
#include "records/PatientBrowseMeet.h"
#include "records/PatientCopy.h"
#include "records/PatientList.h"
#include "records/TableCheck.h"
#include "records/TableRestructure.h"
#include "shell/ChildMenus.h"
#include "shell/DatabaseTables.h"
#include "shell/HalvetraApp.h"
#include "shell/HandOverFile.h"
#include "shell/InstituteSettings.h"
#include "shell/MdiChild.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFileDialog>
#include <QScreen>

namespace {

constexpr int PatientDataText = 232;
constexpr int TableInUseText = 249;
constexpr int NoteText = 251;
constexpr int StoreNoteText = 282;
constexpr int NotePatientGoneText = 6200;
constexpr int HandOverKeptText = 6201;
// The note frame's size before scaling.
constexpr int NoteFrameWidth = 748;
constexpr int NoteFrameHeight = 442;

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

// The component windows as the record code reaches them. The measurement,
// audiometer, trend and provocation windows are not built yet: until they
// are, none is open and none opens.
class TClientRecordWindows final : public TRecordWindows {
public:
  TMeasureAccess* Measure() override { return nullptr; }
  TAudioAccess* Audiometer() override { return nullptr; }
  TTrendAccess* Trend() override { return nullptr; }
  TProvocationAccess* Provocation() override { return nullptr; }
  void OpenMeasure(short) override {}
  void OpenAudiometer() override {}
  void OpenTrend() override {}
};

std::string_view KeyText(TParam2 key) { return key ? reinterpret_cast<const char*>(key) : std::string_view(); }

}  // namespace

THalvetraMDIClient::THalvetraMDIClient(THalvetraApp& app)
    : App(app), PatientData(SamplePatient()), RecordWindows(std::make_unique<TClientRecordWindows>()),
      Records(std::make_unique<TMeasureRecords>(
          [&app](short kind) { return std::filesystem::path(app.GetWorkFiles().WorkFile(kind)); },
          [&app](int stage, short kind) { return std::filesystem::path(app.GetWorkFiles().StageFile(stage, kind)); },
          *RecordWindows, &app.GetMessages())) {
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
      Response::Command<&C::CmMergeDatabases>(CM_MERGE_DATABASES),
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
      Response::Command<&C::CmPatientList>(CM_PATIENT_LIST),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PATIENT_LIST),
      Response::Command<&C::CmBrowseMeasurements>(CM_BROWSE_MEASUREMENTS),
      Response::Enabler<&C::CmMainMenuEnable>(CM_BROWSE_MEASUREMENTS),
      Response::Command<&C::CmNoteClosed>(CM_NOTE_CLOSED),
      Response::Command<&C::CmSaveMeasurement>(CM_SAVE_MEASUREMENT),
      Response::Message<&C::EvMeasureModeChanged>(WM_MEASURE_MODE_CHANGED),
      Response::Message<&C::EvRestoreBackup>(WM_RESTORE_BACKUP),
      Response::Message<&C::EvSaveBackup>(WM_SAVE_BACKUP),
      Response::Message<&C::EvLoadDemoData>(WM_LOAD_DEMO_DATA),
      Response::Message<&C::EvReadBackup>(WM_READ_BACKUP),
      Response::Message<&C::EvLoadMeasurement>(WM_LOAD_MEASUREMENT),
      Response::Message<&C::EvReadTrendData>(WM_READ_TREND_DATA),
      Response::Message<&C::EvLoadAudiogram>(WM_LOAD_AUDIOGRAM),
      Response::Message<&C::EvGetStoredTrial>(WM_GET_STORED_TRIAL),
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

TClientView THalvetraMDIClient::View(bool withTableFiles) const {
  const TAppSettings& settings = App.GetSettings();
  TClientView view;
  view.SheetOpen = !PatientFrame.isNull();
  if (const TPatient* sheet = Patient.data(); sheet && view.SheetOpen) {
    view.SheetChanged = sheet->IsModified();
    view.SheetNewRecord = sheet->IsNewRecord();
    view.SheetTableDisplay = sheet->IsFilling() || sheet->IsSwitchingTab();
    view.SheetShowsRecord = sheet->HasRows();
    view.SheetListLibraryLoaded = sheet->IsListLibraryLoaded();
    view.SheetMeasurementDatabaseOpen = sheet->IsMeasureDatabaseOpen();
  }
  view.MeasurementOpen = !MeasureFrame.isNull();
  view.AudiometerOpen = !AudiometerFrame.isNull();
  view.TrendOpen = !TrendFrame.isNull();
  view.ProvocationOpen = !ProvocationFrame.isNull();
  view.LanguageDriverSet = !settings.LanguageDriver.empty();
  if (withTableFiles) {
    view.DoctorTablePresent = ClientEnablers::DoctorTablePresent(settings.CommonDir);
    view.DatabasePresent = view.DoctorTablePresent && ClientEnablers::DataTablesPresent(settings.DatabaseDir);
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
  ce.Enable(ClientEnablers::IsEnabled(id, View(ClientEnablers::ReadsTableFiles(id))).value_or(false));
}

// --- The patient sheet --------------------------------------------------------------

TPatient* THalvetraMDIClient::GetPatient() const { return PatientFrame ? Patient.data() : nullptr; }
THalvetraMDIChild* THalvetraMDIClient::GetPatientFrame() const { return PatientFrame.data(); }

void THalvetraMDIClient::CmOpenPatient() {
  const TWaitCursor wait;
  if (PatientFrame) {
    ActivateChild(PatientFrame);
    Patient->SetEngineHWND(reinterpret_cast<std::uintptr_t>(Patient.data()));
    ApplyHandOverFile(*Patient);
    return;
  }
  // A sheet without its frame is on its way out.
  if (Patient) {
    QApplication::beep();
    return;
  }
  const TAppSettings& settings = App.GetSettings();
  TMessage& texts = App.GetMessages();
  const TSheetFrame frame = SheetFrameForPageType(settings.PageType);
  // A test table of a layout this program does not keep stops the sheet
  // before it opens; the engine has named the table.
  // An older VC table is brought to the current layout first.
  if (TableRestructure::UpgradeVcTable(settings.DatabaseDir, &texts) != 0 ||
      TableCheck::CheckTableLayout(settings.DatabaseDir, "vc.db", TableKind::Vc, &texts) != 0)
    return;

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
    return;

  const std::string caption = SheetCaption(texts.LoadStringA(PatientDataText), settings.DatabaseDir);
  THalvetraMDIChild* child = AddChild(QString::fromStdString(caption), sheet.get(), false);
  Patient = sheet.release();  // the frame owns it now
  PatientFrame = child;
  child->setGeometry(0, 0, static_cast<int>(frame.Width * scale.X), static_cast<int>(frame.Height * scale.Y));
  Patient->SetEngineHWND(reinterpret_cast<std::uintptr_t>(Patient.data()));
  ApplyHandOverFile(*Patient);
}

void THalvetraMDIClient::ApplyHandOverFile(TPatient& sheet) {
  const std::string path = App.TakeHandOverPath();
  if (path.empty() || !HandOver::Exists(path))
    return;
  EvCloseChildWindows();
  TMessage& texts = App.GetMessages();
  // A file that cannot be used has been named to the user and is kept.
  const auto patient = HandOver::ReadAndReport(path, texts);
  if (!patient)
    return;
  const TTPatientRecord& record = patient->Record;
  const short found = sheet.Search(SearchEqual, 1, record.Name, 2, record.Id);
  if (found == DbResult::Ok) {
    // A stored patient keeps his record and takes what was measured.
    sheet.UpdateDisplay();
    sheet.SetHandedOverMeasures(patient->HeightCm, patient->WeightKg);
  } else if (found == DbResult::NotFound) {
    sheet.DispatchCommand(CM_PATIENT_NEW);
    sheet.SetNewPatientData(record);
  } else {
    // The engine has said why; the file stays for the next start.
    return;
  }
  std::string error;
  if (!HandOver::Remove(path, &error))
    texts.MessageBoxText(texts.Format(HandOverKeptText, {path, error}), 0, TMessageIcon::Warning);
}

void THalvetraMDIClient::CloseTestWindows() {
  for (QPointer<THalvetraMDIChild>* frame : {&MeasureFrame, &NoteFrame, &TrendFrame, &ProvocationFrame, &AudiometerFrame})
    if (*frame)
      (*frame)->close();
}

void THalvetraMDIClient::EvMDIDestroy(TParam1 frame, TParam2) {
  if (PatientFrame && reinterpret_cast<THalvetraMDIChild*>(frame) == PatientFrame.data())
    PatientFrameClosed();
}

void THalvetraMDIClient::PatientFrameClosed() {
  // Without a patient no test window stays; nor do the work files of his tests.
  CloseTestWindows();
  App.DeleteTempFiles();
}

TResult THalvetraMDIClient::EvCloseChildWindows() {
  CloseTestWindows();
  App.DeleteTempFiles();
  raise();
  return 1;
}

void THalvetraMDIClient::EvCloseAllTempFiles() {
  App.DeleteTempFiles();
  App.ClearMeasureNotes();
}

// --- The patient's note ------------------------------------------------------------------

TPatientNote* THalvetraMDIClient::GetNote() const { return NoteFrame ? Note.data() : nullptr; }
THalvetraMDIChild* THalvetraMDIClient::GetNoteFrame() const { return NoteFrame.data(); }

void THalvetraMDIClient::CmPatientNote() {
  const TWaitCursor wait;
  TPatient* sheet = GetPatient();
  if (!sheet)
    return;
  if (NoteFrame) {
    ActivateChild(NoteFrame);
    return;
  }
  // A note without its frame is on its way out.
  if (Note) {
    QApplication::beep();
    return;
  }
  TMessage& texts = App.GetMessages();
  std::string note;
  // Read with a lock test: a patient another user is changing gets no note
  // window now. Other failures the engine has shown.
  if (const short result = sheet->GetBlob(note, dbiWRITELOCK); result != DbResult::Ok) {
    if (PatientDb::HeldByOther(result))
      sheet->WinMsg(texts.Format(TableInUseText, {"Names.db"}), PatientDb::Information);
    return;
  }
  auto* window = new TPatientNote(*sheet, texts, note, this);
  QString caption = QString::fromStdString(texts.LoadStringA(NoteText));
  caption.remove('&');
  THalvetraMDIChild* child = AddChild(caption, window, false);
  Note = window;
  NoteFrame = child;
  NotePatientKey = sheet->GetPatientKey();
  child->SetMenu(App.BuildMenuBar(ChildMenus::Note(), child));
  const TScreenScale scale = App.GetScale();
  child->setGeometry(0, 0, static_cast<int>(NoteFrameWidth * scale.X), static_cast<int>(NoteFrameHeight * scale.Y));
  ActivateChild(child);
}

void THalvetraMDIClient::CmNoteClosed() {
  TPatientNote* note = Note.data();
  if (!note || !note->IsModified())
    return;
  if (App.GetMessages().MessageBox(StoreNoteText, 2, TMessageIcon::Question, TMessageButtons::YesNo) != IDYES)
    return;
  note->ClearSelection();
  std::string text;
  note->GetNote(text);
  if (!StoreNote(text))
    note->KeepOpen();
}

bool THalvetraMDIClient::StoreNote(const std::string& note) {
  TPatient* sheet = GetPatient();
  // The memo goes to the row under the sheet's cursor: that must still be
  // the patient the note was opened for.
  PatientRecordType shown;
  if (!sheet || sheet->GetData(shown, dbiNOLOCK) != DbResult::Ok || shown.Key != NotePatientKey) {
    App.GetMessages().MessageBox(NotePatientGoneText, 0, TMessageIcon::Stop);
    return false;
  }
  const short result = sheet->SaveBlob(note);
  if (PatientDb::HeldByOther(result))
    sheet->WinMsg(App.GetMessages().Format(TableInUseText, {"Names.db"}), PatientDb::Information);
  return result == DbResult::Ok;
}

bool THalvetraMDIClient::CanClose() { return !NoteFrame || NoteFrame->close(); }

// --- Test records -------------------------------------------------------------------

TResult THalvetraMDIClient::EvMeasureModeChanged(TParam1 kind, TParam2 part) {
  return Records->EvMeasureModeChanged(static_cast<short>(kind), static_cast<short>(part));
}
TResult THalvetraMDIClient::EvRestoreBackup(TParam1 kind, TParam2) {
  return Records->EvRestoreBackup(static_cast<short>(kind));
}
TResult THalvetraMDIClient::EvSaveBackup(TParam1 kind, TParam2) { return Records->EvSaveBackup(static_cast<short>(kind)); }
TResult THalvetraMDIClient::EvReadBackup(TParam1 kind, TParam2) { return Records->EvReadBackup(static_cast<short>(kind)); }
TResult THalvetraMDIClient::EvGetStoredTrial(TParam1 kind, TParam2) {
  return Records->EvGetStoredTrial(static_cast<short>(kind));
}

TResult THalvetraMDIClient::EvLoadDemoData(TParam1 kind, TParam2 slot) {
  // The measure log to replay, as the settings name it for the kind.
  const TProfile log("Creating Measure Log", App.GetSettings().IniPath);
  TReplaySettings settings;
  settings.ReadEnable = log.GetInt("ReadEnable", 0);
  settings.ReadFileName = std::string(
      Utf8::Truncate(log.GetString("ReadFileName", DemoReplay::DefaultLogName(static_cast<short>(kind))), 100));
  // The demonstration files lie beside the program, measure logs are
  // named from the working folder.
  return Records->EvLoadDemoData(static_cast<short>(kind), static_cast<short>(slot), settings,
                                 QCoreApplication::applicationDirPath().toStdString(), std::filesystem::current_path());
}

TResult THalvetraMDIClient::EvLoadMeasurement(TParam1 loadKind, TParam2 key) {
  const TWaitCursor wait;
  return Records->EvLoadMeasurement(static_cast<short>(loadKind), KeyText(key));
}
TResult THalvetraMDIClient::EvReadTrendData(TParam1 filter, TParam2 key) {
  const TWaitCursor wait;
  return Records->EvReadTrendData(static_cast<short>(filter), KeyText(key));
}
TResult THalvetraMDIClient::EvLoadAudiogram(TParam1 loadKind, TParam2 key) {
  const TWaitCursor wait;
  return Records->EvLoadAudiogram(static_cast<short>(loadKind), KeyText(key));
}

void THalvetraMDIClient::CmSaveMeasurement() {
  if (!RecordWindows->Measure())
    return;
  const TWaitCursor wait;
  Records->CmSaveMeasurement();
}

void THalvetraMDIClient::CmMergeDatabases() {
  TPatient* sheet = GetPatient();
  if (!sheet)
    return;
  // The dialog leaves the process's current folder as it was.
  const std::filesystem::path current = std::filesystem::current_path();
  const QString folder = QFileDialog::getExistingDirectory(this, QString(), QString::fromStdString(current.string()),
                                                           QFileDialog::ShowDirsOnly);
  std::error_code error;
  std::filesystem::current_path(current, error);
  if (!folder.isEmpty())
    sheet->MergeDatabases(folder.toStdString());
}

void THalvetraMDIClient::CmBrowseMeasurements() {
  TPatient* sheet = GetPatient();
  if (!sheet || !sheet->IsMeasureDatabaseOpen())
    return;
  CloseTestWindows();
  const TAppSettings& settings = App.GetSettings();
  TPatientBrowseMeet::TSetup setup;
  setup.IniPath = settings.IniPath;
  setup.AudioInstalled = App.GetInstallFlags().AudioInstalled;
  setup.RhinoInstalled = (App.GetInstallFlags().HardwareMode & 1) != 0;
  setup.Mail = [this, sheet, &settings](const std::vector<std::string>& lines) {
    PatientRecordType patient;
    if (sheet->GetData(patient) != 0)
      return false;
    TMeasureIndex& index = sheet->GetMeasureIndex();
    const PatientCopy::TMail mail = PatientCopy::MailCopy(
        PatientTransfer::TablesOf(sheet, sheet->GetMeasureTables()), patient, lines,
        sheet->GetDatePicture().size(), sheet->GetTimePicture().size(),
        [&index](const PatientCopy::TMeetLine& line) { return index.SearchMeetRecord(line.Date, line.Time); },
        std::filesystem::path(SheetEngines::ExpandFolder(settings.EmailDir.empty() ? "EMail" : settings.EmailDir)),
        &App.GetMessages(),
        settings.LanguageDriver);
    return mail.Result == 0 && PatientCopy::SendMail(mail.Files);
  };
  TPatientBrowseMeet browser(App.GetMessages(), sheet->GetMeasureIndex(), std::move(setup), this);
  if (browser.exec() != QDialog::Accepted)
    return;
  EvCloseAllTempFiles();
  for (const BrowsePlan::TMessage& message : browser.GetPlan())
    SendMessage(this, message.Message, message.WParam, reinterpret_cast<TParam2>(message.Key.c_str()));
}

void THalvetraMDIClient::CmPatientList() {
  TPatient* sheet = GetPatient();
  if (!sheet || !sheet->IsMeasureDatabaseOpen())
    return;
  CloseTestWindows();
  if (!TPatientList::LockForList(*sheet, App.GetMessages()))
    return;
  sheet->GetBookMark();
  const TAppSettings& settings = App.GetSettings();
  TPatientList::TSetup setup;
  setup.Folder = SheetEngines::ExpandFolder(settings.DatabaseDir);
  setup.LanguageDriver = settings.LanguageDriver;
  setup.SheetNames = sheet;
  setup.Index = &sheet->GetMeasureIndex();
  setup.Tables = [sheet] { return PatientTransfer::TablesOf(sheet, sheet->GetMeasureTables()); };
  setup.SetPatientKey = [sheet](std::int32_t key) { sheet->SetPatientKey(key); };
  setup.ChooseFolder = [this]() -> std::filesystem::path {
    const std::filesystem::path current = std::filesystem::current_path();
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), QString::fromStdString(current.string()),
                                                             QFileDialog::ShowDirsOnly);
    std::error_code error;
    std::filesystem::current_path(current, error);
    return folder.toStdString();
  };
  TPatientList list(App.GetMessages(), std::move(setup), this);
  PatientRecordType chosen;
  if (list.exec() == QDialog::Accepted && list.ChosenPatient(chosen) &&
      sheet->Search(SearchEqual, 1, FieldText(chosen.Name), 2, FieldText(chosen.Id)) == 0)
    sheet->SetToBookMark(0);
  else
    sheet->SetToBookMark(1);
  sheet->UpdateDisplay();
  sheet->UnLockTable(dbiWRITELOCK);
}
