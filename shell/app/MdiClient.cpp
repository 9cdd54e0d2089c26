#include "shell/app/MdiClient.h"

#include "measure/window/Measure.h"
#include "shell/app/MeasureRecordAccess.h"
#include "shell/app/AudioRecordAccess.h"
#include "audiometry/window/AudioMeter.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseCreateAndSelect.h"
#include "patients/Institute.h"
#include "patients/Patient.h"
#include "patients/PatientNote.h"
#include "patients/SheetEngines.h"
#include "patients/SheetFrame.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/ui/WaitCursor.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/Profile.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "records/window/PatientBrowseMeet.h"
#include "records/DemoReplay.h"
#include "records/PatientCopy.h"
#include "records/window/OwnPrinter.h"
#include "records/window/PatientList.h"
#include "records/RecordsStore.h"
#include "records/TableCheck.h"
#include "records/TableRestructure.h"
#include "shell/bars/ChildMenus.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/ComponentBar.h"
#include "shell/settings/DatabaseTables.h"
#include "shell/app/HalvetraApp.h"
#include "shell/settings/InstituteSettings.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"
#include "shell/app/ProvocationWindowAccess.h"
#include "shell/app/TrendWindowAccess.h"
#include "trend/TrendDialogs.h"

#include <QApplication>
#include <QFileDialog>
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

// The component windows as the record code reaches them: the open
// measurement window, the audiometer, the trend and the provocation (which
// the record code reads but never opens).
class TClientRecordWindows final : public TRecordWindows {
public:
  TClientRecordWindows(std::function<TMeasureWindow*()> measure, std::function<TTrendWindow*()> trend,
                       std::function<void()> openTrend, std::function<TAudioMeterWindow*()> audiometer,
                       std::function<void()> openAudiometer, std::function<void(short)> openMeasure,
                       std::function<TProvocationWindow*()> provocation)
      : TrendAccess(std::move(trend)), ProvocationAccess(std::move(provocation)), OpenMeasurement(std::move(measure)), Open(std::move(openTrend)),
        OpenAudio(std::move(audiometer)), OpenAudioCommand(std::move(openAudiometer)),
        OpenMeasureCommand(std::move(openMeasure)) {}

  TMeasureAccess* Measure() override { return Follow<TMeasure>(OpenMeasurement(), Access); }
  TAudioAccess* Audiometer() override { return Follow<TAudioMeter>(OpenAudio(), AudioAccess); }
  TTrendAccess* Trend() override { return TrendAccess.Get(); }
  TProvocationAccess* Provocation() override { return ProvocationAccess.Get(); }
  void OpenMeasure(short kind) override { OpenMeasureCommand(kind); }
  void OpenAudiometer() override { OpenAudioCommand(); }
  void OpenTrend() override { Open(); }

  TTrendWindowAccess TrendAccess;
  TProvocationWindowAccess ProvocationAccess;

private:
  // The adapter over the window open now: made anew for another window,
  // dropped when none is open.
  template <class TWindow, class TAccess, class TOpen>
  static TAccess* Follow(TOpen* open, std::unique_ptr<TAccess>& access) {
    auto* window = dynamic_cast<TWindow*>(open);
    if (!window) {
      access.reset();
      return nullptr;
    }
    if (!access || &access->Window() != window)
      access = std::make_unique<TAccess>(*window);
    return access.get();
  }

  std::function<TMeasureWindow*()> OpenMeasurement;
  std::unique_ptr<TMeasureRecordAccess> Access;
  std::function<void()> Open;
  std::function<TAudioMeterWindow*()> OpenAudio;
  std::function<void()> OpenAudioCommand;
  std::unique_ptr<TAudioRecordAccess> AudioAccess;
  std::function<void(short)> OpenMeasureCommand;
};

std::string_view KeyText(TParam2 key) { return key ? reinterpret_cast<const char*>(key) : std::string_view(); }

}  // namespace

THalvetraMDIClient::THalvetraMDIClient(THalvetraApp& app)
    : App(app), Control(app.GetMessages(), *this, app.GetWorkFiles()),
      RecordWindows(std::make_unique<TClientRecordWindows>(
          [this] { return GetMeasure(); }, [this] { return GetTrend(); },
          [this] { SendMessage(this, WM_COMMAND, CM_TREND, 0); }, [this] { return GetAudioMeter(); },
          [this] { SendMessage(this, WM_COMMAND, CM_AUDIOMETER, 0); },
          // A stored test loaded with no measurement window open opens one.
          [this](short kind) {
            SendMessage(this, WM_COMMAND, kind == MEASURE_RHINO ? CM_MEASURE_RHINO : CM_MEASURE_FVC + kind, 0);
          },
          [this] { return GetProvocation(); })),
      Records(std::make_unique<TMeasureRecords>(
          [&app](short kind) { return std::filesystem::path(app.GetWorkFiles().WorkFile(kind)); },
          [&app](int stage, short kind) { return std::filesystem::path(app.GetWorkFiles().StageFile(stage, kind)); },
          *RecordWindows, &app.GetMessages())),
      OwnStore(std::make_unique<TRecordsStore>(*Records, *RecordWindows)) {
  setObjectName("THalvetraMDIClient");
  ReadInstitute();
  setBackground(QBrush(QColor(128, 128, 128)));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(this, &QMdiArea::subWindowActivated, this, [this, previous = QPointer<QMdiSubWindow>()](QMdiSubWindow* window) mutable {
    if (auto* child = dynamic_cast<THalvetraMDIChild*>(window))
      child->Dispatch(WM_MDIACTIVATE, reinterpret_cast<TParam1>(child), reinterpret_cast<TParam2>(previous.data()));
    else
      ActivatedMenu(nullptr);  // no child: the main menu alone
    previous = window;
  });
}

THalvetraMDIClient::~THalvetraMDIClient() {
  // The main window's bars and menu may be gone already: nothing to tidy.
  Ending = true;
  // A port the measurement window opened gets its settings back.
  if (TMeasureWindow* window = GetMeasure(); window && window->Link().PortInUse)
    window->Link().RestoreSerialPort();
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
      Response::Command<&C::CmHardwareSetup>(CM_HARDWARE_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_HARDWARE_SETUP),
      Response::Command<&C::CmDiffusionSetup>(CM_DIFFUSION_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_DIFFUSION_SETUP),
      Response::Command<&C::CmPlethysmographSetup>(CM_PLETHYSMOGRAPH_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PLETHYSMOGRAPH_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_EXIT),
      Response::Command<&C::CmPatientNote>(CM_PATIENT_NOTE),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PATIENT_NOTE),
      Response::Command<&C::CmAudioSetup>(CM_AUDIO_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUDIO_SETUP),
      Response::Command<&C::CmAudioCalibration>(CM_AUDIO_CALIBRATION),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUDIO_CALIBRATION),
      Response::Command<&C::CmAutomaticSetup>(CM_AUTOMATIC_SETUP),
      Response::Enabler<&C::CmMainMenuEnable>(CM_AUTOMATIC_SETUP),
      Response::Command<&C::CmEcg>(CM_ECG),
      Response::Enabler<&C::CmMainMenuEnable>(CM_ECG),
      Response::Command<&C::CmPatientList>(CM_PATIENT_LIST),
      Response::Enabler<&C::CmMainMenuEnable>(CM_PATIENT_LIST),
      Response::Command<&C::CmBrowseMeasurements>(CM_BROWSE_MEASUREMENTS),
      Response::Enabler<&C::CmMainMenuEnable>(CM_BROWSE_MEASUREMENTS),
      Response::Command<&C::CmNoteClosed>(CM_NOTE_CLOSED),
      Response::Command<&C::CmFilePrint>(CM_FILEPRINT),
      Response::Command<&C::CmFilePrinterSetup>(CM_FILEPRINTERSETUP),
      Response::Command<&C::CmFilePrintPreview>(CM_FILEPRINTPREVIEW),
      Response::Enabler<&C::CmPrintEnable>(CM_FILEPRINT),
      Response::Enabler<&C::CmPrintEnable>(CM_FILEPRINTERSETUP),
      Response::Enabler<&C::CmPrintEnable>(CM_FILEPRINTPREVIEW),
      Response::Command<&C::CmBreathingRate>(CM_BREATHING_RATE_HIGH),
      Response::Command<&C::CmBreathingRate>(CM_BREATHING_RATE),
      Response::Enabler<&C::CmComponentEnable>(CM_BREATHING_RATE_HIGH),
      Response::Enabler<&C::CmComponentEnable>(CM_BREATHING_RATE),
      Response::Message<&C::EvChangeButtonColor>(WM_CHANGE_BUTTON_COLOR),
      Response::Message<&C::EvCakeChanged>(WM_CAKE_CHANGED),
      Response::Message<&C::EvGridChanged>(WM_GRID_CHANGED),
      Response::Message<&C::EvPrePostChanged>(WM_PREPOST_CHANGED),
      Response::Message<&C::EvNormRelChanged>(WM_NORMREL_CHANGED),
      Response::Message<&C::EvMicrophoneChanged>(WM_MICROPHONE_CHANGED),
      Response::Message<&C::EvAlgorithmIndex>(WM_ALGORITHM_CHANGED),
      Response::Message<&C::EvSignalModeIndex>(WM_SIGNAL_MODE_CHANGED),
      Response::Command<&C::CmMeasure>(CM_MEASURE_FVC),
      Response::Command<&C::CmMeasure>(CM_MEASURE_VC),
      Response::Command<&C::CmMeasure>(CM_MEASURE_MVV),
      Response::Command<&C::CmMeasure>(CM_MEASURE_DFC),
      Response::Command<&C::CmMeasure>(CM_MEASURE_PLETHY),
      Response::Command<&C::CmMeasure>(CM_MEASURE_RHINO),
      Response::Command<&C::CmMeasure>(CM_MEASURE_SHUTTER),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_FVC),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_VC),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_MVV),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_DFC),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_PLETHY),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_SHUTTER),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_RHINO),
      Response::Message<&C::EvChildActivated>(WM_CHILD_ACTIVATED),
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
      Response::Enabler<&C::CmComponentEnable>(CM_SAVE_MEASUREMENT),
      Response::Command<&C::CmSaveAudiogram>(CM_SAVE_AUDIOGRAM),
      Response::Enabler<&C::CmComponentEnable>(CM_SAVE_AUDIOGRAM),
      Response::Command<&C::CmAudiometer>(CM_AUDIOMETER),
      Response::Enabler<&C::CmComponentEnable>(CM_AUDIOMETER),
      Response::Message<&C::EvShowChildWindow>(WM_SHOW_CHILD_WINDOW),
      Response::Command<&C::CmTrend>(CM_TREND),
      Response::Enabler<&C::CmComponentEnable>(CM_TREND),
      Response::Command<&C::CmProvocation>(CM_PROVOCATION),
      Response::Command<&C::CmProvocationClosed>(CM_PROVOCATION_CLOSED),
      Response::Enabler<&C::CmComponentEnable>(CM_PROVOCATION),
      Response::Command<&C::CmProvocationStep>(CM_PROVOCATION_STEP),
      Response::Enabler<&C::CmComponentEnable>(CM_PROVOCATION_STEP),
      Response::Command<&C::CmMeasureClosed>(CM_MEASURE_CLOSED),
      Response::Command<&C::CmAudiometerClosed>(CM_AUDIOMETER_CLOSED),
      Response::Command<&C::CmTrendClosed>(CM_TREND_CLOSED),
      Response::Command<&C::CmMeasureMenu>(CM_MEASURE_MENU),
      Response::Enabler<&C::CmComponentEnable>(CM_MEASURE_MENU),
      Response::Command<&C::CmMeasureMenuClose>(CM_MEASURE_MENU_CLOSE),
      Response::Message<&C::EvChangeCommandButton>(WM_CHANGE_COMMAND_BUTTON),
      Response::Message<&C::EvPredictedChanged>(WM_PREDICTED_CHANGED),
      Response::Command<&C::CmProvocationMeasure>(CM_PROVOCATION_MEASURE),
      Response::Enabler<&C::CmComponentEnable>(CM_PROVOCATION_MEASURE),
      Response::Message<&C::EvMDIDestroy>(WM_MDIDESTROY),
      Response::Message<&C::EvCloseChildWindows>(WM_CLOSE_CHILD_WINDOWS),
      Response::Message<&C::EvCloseAllTempFiles>(WM_CLOSE_ALL_TEMP_FILES),
      Response::Message<&C::EvGetHelpMode>(WM_GET_HELP_MODE),
      Response::Message<&C::EvShowHelp>(WM_SHOW_HELP),
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
  FillView(view);
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
    ShowStatusLine(view);
}

void THalvetraMDIClient::ShowStatusLine(const TClientView& view) {
  // Open patient is off while tables are missing: the status line says which.
  const TAppSettings& settings = App.GetSettings();
  const std::string reason =
      view.DatabasePresent || !view.LanguageDriverSet
          ? std::string()
          : App.GetMessages().Format(
                MissingDatabaseText,
                {JoinedTables(ClientEnablers::MissingTables(settings.CommonDir, settings.DatabaseDir))});
  // Otherwise the measurement window says what the technician does next.
  const TMeasureWindow* measure = reason.empty() ? GetMeasure() : nullptr;
  const std::string text = measure ? measure->NextStepText() : reason;
  if (text != StatusLine)
    App.ShowStatus(StatusLine = text);
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

bool THalvetraMDIClient::CloseFrame(TClientSlot slot) {
  // A measurement whose results could not be saved stays; it was asked once.
  if (slot == TClientSlot::Measure && MeasureStays)
    return false;
  return !Frame(slot) || Frame(slot)->CloseByProgram();
}

void THalvetraMDIClient::EvMDIDestroy(TParam1 frame, TParam2) {
  ComponentFrameClosed(reinterpret_cast<THalvetraMDIChild*>(frame));
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
  // An older VC table is brought to the current layout first.
  if (TableRestructure::UpgradeVcTable(settings.DatabaseDir, &texts) != 0 ||
      TableCheck::CheckTableLayout(settings.DatabaseDir, "vc.db", TableKind::Vc, &texts) != 0)
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
  FrameMenus[child] = ChildMenus::PatientMeasure(App.GetInstallFlags(), false, false, std::nullopt);
  AddMainBarTestButtons();
  PatientBar1 = MakeBar(BarLayouts::PatientBar1(), Patient.data());
  PatientBar2 = MakeBar(BarLayouts::PatientBar2(App.IsEcgAvailable()), Patient.data());
  ActivatedMenu(child);
  child->setWindowIcon(FrameIcon(CM_OPEN_PATIENT, child->windowTitle()));
  PlaceChild(*child, QSize(static_cast<int>(frame.Width * scale.X), static_cast<int>(frame.Height * scale.Y)));
  FollowSheetIndex();
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
  FrameMenus[child] = ChildMenus::Note();
  child->setWindowIcon(FrameIcon(CM_PATIENT_NOTE, caption));
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

TResult THalvetraMDIClient::EvGetHelpMode(TParam1, TParam2) { return SendMessage(&App, WM_GET_HELP_MODE, 0, 0); }
TResult THalvetraMDIClient::EvShowHelp(TParam1 id, TParam2) { return SendMessage(&App, WM_SHOW_HELP, id, 0); }

void THalvetraMDIClient::ForgetExamination() { BoundRecords().ClearMeetRecordKey(); }

// --- Test records -------------------------------------------------------------------

void THalvetraMDIClient::FollowSheetIndex() {
  // The records store into the examinations of the open sheet's patient;
  // a new index (another sheet, or its tables opened or closed) starts
  // them afresh.
  TPatient* sheet = GetPatient();
  TMeasureIndex* index = sheet && sheet->IsMeasureDatabaseOpen() ? &sheet->GetMeasureIndex() : nullptr;
  if (Records->GetIndex() != index)
    Records->SetIndex(index);
}

TMeasureRecords& THalvetraMDIClient::BoundRecords() {
  FollowSheetIndex();
  return *Records;
}

TResult THalvetraMDIClient::EvMeasureModeChanged(TParam1 kind, TParam2 part) {
  return BoundRecords().EvMeasureModeChanged(static_cast<short>(kind), static_cast<short>(part));
}
TResult THalvetraMDIClient::EvRestoreBackup(TParam1 kind, TParam2) {
  return BoundRecords().EvRestoreBackup(static_cast<short>(kind));
}
TResult THalvetraMDIClient::EvSaveBackup(TParam1 kind, TParam2) { return BoundRecords().EvSaveBackup(static_cast<short>(kind)); }
TResult THalvetraMDIClient::EvReadBackup(TParam1 kind, TParam2) { return BoundRecords().EvReadBackup(static_cast<short>(kind)); }
TResult THalvetraMDIClient::EvGetStoredTrial(TParam1 kind, TParam2) {
  return BoundRecords().EvGetStoredTrial(static_cast<short>(kind));
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
  return BoundRecords().EvLoadDemoData(static_cast<short>(kind), static_cast<short>(slot), settings,
                                       DemoFolder.empty() ? DemoReplay::DemoFolder() : DemoFolder,
                                       std::filesystem::current_path());
}

TResult THalvetraMDIClient::EvLoadMeasurement(TParam1 loadKind, TParam2 key) {
  const TWaitCursor wait;
  const TResult result = BoundRecords().EvLoadMeasurement(static_cast<short>(loadKind), KeyText(key));
  // What the load set last (a rhinomanometry result's stored and
  // move-aside flags) reaches the window now, before a start reads it, and
  // the table head shows the stored dates.
  if (TMeasureAccess* measure = RecordWindows->Measure()) {
    measure->State();
    if (measure->GetMeasureMode() == MEASURE_RHINO)
      measure->RedrawScreenBmp();
  }
  // The load may have turned an open window to the stored test.
  ShowMeasureIcon();
  return result;
}
TResult THalvetraMDIClient::EvReadTrendData(TParam1 filter, TParam2 key) {
  const TWaitCursor wait;
  const TResult result = BoundRecords().EvReadTrendData(static_cast<short>(filter), KeyText(key));
  static_cast<TClientRecordWindows&>(*RecordWindows).TrendAccess.EndRequest();
  return result;
}
TResult THalvetraMDIClient::EvLoadAudiogram(TParam1 loadKind, TParam2 key) {
  const TWaitCursor wait;
  const TResult result = BoundRecords().EvLoadAudiogram(static_cast<short>(loadKind), KeyText(key));
  // A previous test's curve shows at once too, with its note.
  if (TAudioAccess* audio = RecordWindows->Audiometer())
    audio->RedrawScreenBmp();
  return result;
}

void THalvetraMDIClient::CmSaveMeasurement() {
  // The audiometer's menu saves with the measurement's command.
  if (!RecordWindows->Measure()) {
    if (GetAudioMeter())
      CmSaveAudiogram();
    return;
  }
  const TWaitCursor wait;
  BoundRecords().CmSaveMeasurement();
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
  Control.CloseTestWindows();
  // The closed windows go now: the browser's print loads its tests into
  // new ones while it stays open.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
  setup.TrendFilter = [this](bool& provoked, bool& lysis) {
    TTrendFilter dialog(&App.GetMessages(), &provoked, &lysis, this, App.GetFrame());
    return dialog.exec() == QDialog::Accepted;
  };
  setup.Print = [this](const std::vector<BrowsePlan::TMessage>& plan, bool series) { PrintFromBrowser(plan, series); };
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
  Control.CloseTestWindows();
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
  setup.Printer = &GetPrinter();
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
