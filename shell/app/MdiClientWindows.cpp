// The client's component windows: opening and switching them, their bars
// and menus, the settings pushed into them, and what happens as they close.

#include "shell/app/MdiClient.h"

#include "audiometry/window/AutomaticSetup.h"
#include "common/CommandNumbers.h"
#include "measure/window/SelectInstrument.h"
#include "patients/Patient.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "platform/framework/IntlSettings.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/CommandActions.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "records/ExaminationStore.h"
#include "shell/bars/ChildMenus.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/ComponentBar.h"
#include "shell/app/HalvetraApp.h"
#include "shell/bars/InitCountDown.h"
#include "shell/app/InitWindow.h"
#include "shell/client/InstrumentChoice.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"
#include "shell/settings/SettingsPush.h"
#include "shell/bars/TestToolBox.h"

#include <QLayout>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int StageViewText = 539;
constexpr int WorkFileNotWrittenText = 6233;
constexpr int StoreResultsText = 288;
constexpr int RhinoCaptionText = 404;

// Caption of each test of the measurement window, and the command that
// opens it (whose picture its frame shows), by measure type.
constexpr std::array<int, 7> MeasureCaptionTexts{79, 80, 81, 426, 475, 474, 404};
constexpr std::array<unsigned, 7> MeasureCommands{CM_MEASURE_FVC,    CM_MEASURE_VC,      CM_MEASURE_MVV,  CM_MEASURE_DFC,
                                                  CM_MEASURE_PLETHY, CM_MEASURE_SHUTTER, CM_MEASURE_RHINO};

short TypeOf(unsigned id) { return id == CM_MEASURE_RHINO ? 6 : static_cast<short>(id - CM_MEASURE_FVC); }

bool IsSpirometryCommand(unsigned id) { return id >= CM_MEASURE_FVC && id <= CM_MEASURE_SHUTTER; }

}  // namespace

TExaminationStore* THalvetraMDIClient::Store() {
  if (App.GetOptions().Store)
    return App.GetOptions().Store;
  FollowSheetIndex();
  return OwnStore.get();
}

TMeasureWindow* THalvetraMDIClient::GetMeasure() const { return MeasureWidget ? Measure : nullptr; }
TAudioMeterWindow* THalvetraMDIClient::GetAudioMeter() const { return AudiometerWidget ? AudioMeter : nullptr; }
TTrendWindow* THalvetraMDIClient::GetTrend() const { return TrendWidget ? Trend : nullptr; }
TProvocationWindow* THalvetraMDIClient::GetProvocation() const { return ProvocationWidget ? Provocation : nullptr; }

THalvetraMDIChild* THalvetraMDIClient::GetMeasureFrame() const { return Frame(TClientSlot::Measure).data(); }
THalvetraMDIChild* THalvetraMDIClient::GetAudioMeterFrame() const { return Frame(TClientSlot::Audiometer).data(); }
THalvetraMDIChild* THalvetraMDIClient::GetTrendFrame() const { return Frame(TClientSlot::Trend).data(); }
THalvetraMDIChild* THalvetraMDIClient::GetProvocationFrame() const { return Frame(TClientSlot::Provocation).data(); }

QSize THalvetraMDIClient::FrameChrome() const {
  for (QMdiSubWindow* window : subWindowList())
    if (auto* frame = dynamic_cast<THalvetraMDIChild*>(window);
        frame && frame->isVisible() && !frame->isMaximized() && !frame->isMinimized())
      return frame->Chrome();
  QStyleOptionTitleBar title;
  title.initFrom(this);
  const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
  return QSize(2 * border, style()->pixelMetric(QStyle::PM_TitleBarHeight, &title, this) + 2 * border);
}

TWindowArgs THalvetraMDIClient::WindowArgs(int designWidth, int designHeight) {
  PREDICTED_DATA patient = Control.GetPatientData();
  if (TPatient* sheet = GetPatient())
    sheet->FillPatientData(patient);
  TWindowArgs args;
  // A window the screen's factors would make larger than the client area
  // opens smaller, whole, rather than scrolling in its frame. A client not
  // on screen (the main window kept hidden) has no area to go by.
  args.Scale = App.GetScale();
  if (isVisible()) {
    const QSize room = viewport()->size() - FrameChrome();
    args.Scale = Screen::FitInto(args.Scale, designWidth, designHeight, room.width(), room.height());
  }
  args.Texts = &App.GetMessages();
  args.IniPath = App.GetSettings().IniPath;
  args.Patient = patient;
  args.DateFormat = TIntlSettings::Read().DatePicture;
  return args;
}

// --- Frames --------------------------------------------------------------------------

THalvetraMDIChild* THalvetraMDIClient::MakeFrame(TClientSlot slot, int captionText, QWidget* widget,
                                                 std::vector<TMenuEntry> menu) {
  QString caption = QString::fromStdString(App.GetMessages().LoadStringA(captionText));
  caption.remove('&');
  THalvetraMDIChild* frame = AddChild(caption, widget, true);
  PlaceChild(*frame, frame->WholeSize());
  FrameMenus[frame] = std::move(menu);
  Frame(slot) = frame;
  Control.SlotOpened(slot);
  return frame;
}

void THalvetraMDIClient::FinishOpening(THalvetraMDIChild* frame, unsigned command) {
  frame->setWindowIcon(FrameIcon(command, frame->windowTitle()));
  ActivateChild(frame);
  // The window's bars have taken the sheet's place by now: the frame takes
  // the room they leave in the client area.
  if (QWidget* main = window(); main && main->layout())
    main->layout()->activate();
  PlaceChild(*frame, frame->WholeSize());
}

template <class TContract>
bool THalvetraMDIClient::Reopen(TClientSlot slot, QPointer<QWidget>& widget, TContract* window) {
  if (THalvetraMDIChild* frame = Frame(slot)) {
    if (widget && window)
      window->Repaint();
    ActivateChild(frame);
    return true;
  }
  // A window without its frame is on its way out.
  if (widget) {
    QApplication::beep();
    return true;
  }
  return false;
}

void THalvetraMDIClient::DisableSheetFields(bool disable) {
  if (TPatient* sheet = GetPatient())
    sheet->ChangeAllFieldsState(!disable);
}

void THalvetraMDIClient::GiveEngineTo(const void* window) {
  if (TPatient* sheet = GetPatient())
    sheet->SetEngineHWND(reinterpret_cast<std::uintptr_t>(window));
}

// --- Opening ----------------------------------------------------------------------------

void THalvetraMDIClient::CmAudiometer() {
  const TWaitCursor wait;
  if (Reopen(TClientSlot::Audiometer, AudiometerWidget, GetAudioMeter()))
    return;
  const auto& factory = App.GetOptions().Windows.AudioMeter;
  if (!factory) {
    App.ShowNotAvailableYet();
    return;
  }
  const TMadeWindow<TAudioMeterWindow> made =
      factory(WindowArgs(TAudioMeterWindow::DesignWidth, TAudioMeterWindow::DesignHeight), this);
  if (!made.Widget || !made.Window)
    return;
  AudiometerWidget = made.Widget;
  AudioMeter = made.Window;
  ReadAudioSettings();
  ReadDateFormats();
  MakeFrame(TClientSlot::Audiometer, BarLayouts::AudiometerCaption, made.Widget, ChildMenus::Audiometer());
  AudiometerBar = MakeBar(BarLayouts::Audiometer(AudioMeter->GetAlgorithm(), AudioMeter->GetSignalMode(),
                                                 AudioMeter->GetMicrophoneVolume()),
                          AudioMeter);
  DisableSheetFields(true);
  FinishOpening(Frame(TClientSlot::Audiometer), CM_AUDIOMETER);
  GiveEngineTo(AudioMeter);
}

void THalvetraMDIClient::CmTrend() {
  const TWaitCursor wait;
  if (Reopen(TClientSlot::Trend, TrendWidget, GetTrend()))
    return;
  const auto& factory = App.GetOptions().Windows.Trend;
  if (!factory) {
    App.ShowNotAvailableYet();
    return;
  }
  const TMadeWindow<TTrendWindow> made =
      factory(WindowArgs(TTrendWindow::DesignWidth, TTrendWindow::DesignHeight), this);
  if (!made.Widget || !made.Window)
    return;
  TrendWidget = made.Widget;
  Trend = made.Window;
  MakeFrame(TClientSlot::Trend, BarLayouts::TrendCaption, made.Widget, ChildMenus::Trend());
  TrendBar = MakeBar(BarLayouts::Trend(Trend->GetGridStatus()), Trend);
  DisableSheetFields(true);
  FinishOpening(Frame(TClientSlot::Trend), CM_TREND);
  GiveEngineTo(Trend);
}

void THalvetraMDIClient::CmProvocation() {
  const TWaitCursor wait;
  AskToSave = true;
  if (Frame(TClientSlot::Provocation) && GetProvocation()) {
    ReadProvocationSettings();
  }
  if (Reopen(TClientSlot::Provocation, ProvocationWidget, GetProvocation()))
    return;
  const auto& factory = App.GetOptions().Windows.Provocation;
  if (!factory) {
    App.ShowNotAvailableYet();
    return;
  }
  EvCloseChildWindows();
  const TMadeWindow<TProvocationWindow> made =
      factory(WindowArgs(TProvocationWindow::DesignWidth, TProvocationWindow::DesignHeight), this);
  if (!made.Widget || !made.Window)
    return;
  ProvocationWidget = made.Widget;
  Provocation = made.Window;
  Provocations().ProvocationOpened();
  MakeFrame(TClientSlot::Provocation, BarLayouts::ProvocationCaption, made.Widget, ChildMenus::Provocation());
  ReadProvocationSettings();
  ProvocationBar = MakeBar(BarLayouts::Provocation(Provocation->GetGridStatus()), Provocation);
  DisableSheetFields(true);
  ProvocationMode = true;
  FinishOpening(Frame(TClientSlot::Provocation), CM_PROVOCATION);
  GiveEngineTo(Provocation);
}

TResult THalvetraMDIClient::EvShowChildWindow(TParam1 index, TParam2) {
  const std::array<THalvetraMDIChild*, 5> frames{Frame(TClientSlot::Patient).data(), Frame(TClientSlot::Measure).data(), Frame(TClientSlot::Audiometer).data(),
                                                 Frame(TClientSlot::Trend).data(), Frame(TClientSlot::Provocation).data()};
  if (index < frames.size() && frames[index])
    ActivateChild(frames[index]);
  return 1;
}

std::string THalvetraMDIClient::MeasureCaption(unsigned id) const {
  const TMessage& texts = App.GetMessages();
  std::string caption = texts.LoadStringA(MeasureCaptionTexts[static_cast<std::size_t>(TypeOf(id))]);
  if (id != CM_MEASURE_RHINO && StageView && !ProvocationMode)
    caption = texts.LoadStringA(StageViewText) + " " + caption;
  return caption;
}

void THalvetraMDIClient::CmMeasure(unsigned id) {
  const TWaitCursor wait;
  if (id != CM_MEASURE_RHINO && !IsSpirometryCommand(id))
    return;
  if (Frame(TClientSlot::Measure) && GetMeasure()) {
    SwitchMeasurement(id);
  } else if (MeasureWidget) {
    QApplication::beep();
    return;
  } else if (!CreateMeasurement(id)) {
    return;
  }
  TMeasureWindow* window = GetMeasure();
  if (!Frame(TClientSlot::Measure) || !window)
    return;
  if (!StageView)
    BuildMeasureBar();
  ShowMeasureIcon();
  ActivateChild(Frame(TClientSlot::Measure));
  GiveEngineTo(window);
}

void THalvetraMDIClient::ShowMeasureIcon() {
  THalvetraMDIChild* frame = Frame(TClientSlot::Measure);
  const TMeasureWindow* window = GetMeasure();
  if (!frame || !window)
    return;
  const auto mode = static_cast<std::size_t>(std::clamp<short>(window->GetMeasureMode(), 0, 6));
  frame->setWindowIcon(FrameIcon(MeasureCommands[mode], frame->windowTitle()));
}

void THalvetraMDIClient::SwitchMeasurement(unsigned id) {
  TMeasureWindow& window = *GetMeasure();
  if (id == CM_MEASURE_RHINO) {
    Frame(TClientSlot::Measure)->setWindowTitle(QString::fromStdString(App.GetMessages().LoadStringA(RhinoCaptionText)).remove('&'));
    window.SetMeasureMode(6);
    ReadSpirometerPort();
    window.Repaint();
    return;
  }
  CmMeasureMenuClose();
  const short current = window.GetMeasureMode();
  // The results shown go to their work file first; when they cannot, the
  // window stays on its test so nothing is lost.
  if (TExaminationStore* store = Store(); store && current >= 0 && current <= 5 &&
                                          !store->WriteMeasureFile(window, current)) {
    const std::string test = App.GetMessages().LoadStringA(MeasureCaptionTexts[static_cast<std::size_t>(current)]);
    App.GetMessages().MessageBoxText(App.GetMessages().Format(WorkFileNotWrittenText, {test}), 0, TMessageIcon::Stop);
    return;
  }
  window.ClearTrialSelection();
  const short type = TypeOf(id);
  window.SetMeasureMode(type);
  Frame(TClientSlot::Measure)->setWindowTitle(QString::fromStdString(MeasureCaption(id)).remove('&'));
  if (TExaminationStore* store = Store()) {
    if (ProvocationMode || !StageView)
      store->ReadMeasureFile(window, type, true);
    else
      store->ReadStageSets(window, type);
  }
  if (!StageView) {
    ReadMeasureSettings();
    window.SetMeasurementOfParameters();
    window.ChangeButtonColor();
    window.SetZeroPending();
  }
  window.Repaint();
}

bool THalvetraMDIClient::CreateMeasurement(unsigned id) {
  const auto& factory = App.GetOptions().Windows.Measure;
  if (!factory) {
    App.ShowNotAvailableYet();
    return false;
  }
  const bool rhino = id == CM_MEASURE_RHINO;
  if (!rhino)
    CmMeasureMenuClose();
  TMeasureWindowArgs args;
  args.Common = WindowArgs(TMeasureWindow::DesignWidth, TMeasureWindow::DesignHeight);
  args.MeasureType = TypeOf(id);
  args.Language = App.GetMessages().GetLanguage();
  args.Correction = rhino ? 1.0f : (GetPatient() ? GetPatient()->GetPopulationFactor() : 1.0f);
  args.StageView = rhino ? false : StageView;
  args.HasParent = !rhino;
  const TMadeWindow<TMeasureWindow> made = factory(args, this);
  if (!made.Widget || !made.Window)
    return false;
  MeasureWidget = made.Widget;
  Measure = made.Window;
  TMeasureWindow& window = *Measure;
  if (!StageView || rhino) {
    const TInstallFlags& install = App.GetInstallFlags();
    // The window is new: no instrument has been chosen for it yet.
    constexpr short NoneChosen = 0;
    std::optional<short> kind = InstrumentChoice::KindWithoutAsking(install, id, NoneChosen, QuietLoad);
    if (!kind) {
      // More than one instrument is installed: the user chooses (a test
      // may answer in the dialog's place).
      TMessage& texts = App.GetMessages();
      std::array<std::string, 3> captions;
      const std::array<int, 3> numbers = InstrumentChoice::ButtonTexts(install);
      for (std::size_t i = 0; i < captions.size(); ++i)
        captions[i] = numbers[i] ? texts.LoadStringA(numbers[i]) : std::string();
      const std::string title = texts.LoadStringA(InstrumentChoice::TitleText);
      int button = IDCANCEL;
      if (const auto& select = App.GetOptions().Dialogs.SelectInstrument) {
        button = select(title, captions);
      } else {
        TSelectInstrument dialog(&texts, this, title, captions[0], captions[1], captions[2]);
        button = dialog.exec();
      }
      kind = InstrumentChoice::KindOfButton(install, button, window.GetInstrumentKind());
    }
    window.SetInstrumentKind(*kind);
    ReadMeasureSettings();
  }
  ReadDateFormats();
  if (!StageView || rhino) {
    window.SetNote(1, Control.GetNotes()[1]);
    window.SetNote(2, Control.GetNotes()[2]);
    window.SetMeasurementOfParameters();
  }
  if (!rhino)
    if (TExaminationStore* store = Store()) {
      store->ReadMeasureFile(window, TypeOf(id), true);
      // The window was set up before its working file came in.
      window.RestorePrePost();
    }
  std::vector<TMenuEntry> menu =
      Frame(TClientSlot::Provocation) ? ChildMenus::ShortMeasure()
                       : ChildMenus::PatientMeasure(App.GetInstallFlags(), true, StageView && !rhino,
                                                    BarLayouts::ReadBreathingRates(App.GetSettings().IniPath));
  window.SetProvocationMode(ProvocationMode);
  QString caption = QString::fromStdString(MeasureCaption(id));
  caption.remove('&');
  THalvetraMDIChild* frame = AddChild(caption, MeasureWidget, true);
  PlaceChild(*frame, frame->WholeSize());
  FrameMenus[frame] = std::move(menu);
  Frame(TClientSlot::Measure) = frame;
  Control.SlotOpened(TClientSlot::Measure);
  // During a provocation the user cannot close the measurement frame.
  if (Frame(TClientSlot::Provocation))
    frame->SetUserClosable(false);
  BuildMeasureBar();
  DisableSheetFields(true);
  return true;
}

// --- Settings pushed into the windows ---------------------------------------------


void THalvetraMDIClient::ReadMeasureSettings() {
  TMeasureWindow* window = GetMeasure();
  if (!window)
    return;
  const std::string& ini = App.GetSettings().IniPath;
  HardwareCheckMessages = SettingsPush::ReadHardwareCheckMessages(ini);
  const SettingsPush::TLinkPush link = SettingsPush::ReadMeasureLink(ini, window->GetMeasureType(),
                                                                      window->GetInstrumentKind(), App.GetSettings().Demo);
  TMeasureInterrupt& measureLink = window->Link();
  SettingsPush::PushLink(measureLink, link, ini, HardwareCheckMessages);
  const TMeasureSettings settings = SettingsPush::ReadMeasureSettings(ini, window->GetMeasureType(),
                                                                      window->GetInstrumentKind(), link);
  measureLink.BtpsPortConfig = SettingsPush::ReadBtpsLink(ini).Config;
  window->ApplySettings(settings);
}

void THalvetraMDIClient::ReadSpirometerPort() {
  TMeasureWindow* window = GetMeasure();
  if (!window)
    return;
  const std::string& ini = App.GetSettings().IniPath;
  SettingsPush::PushLink(window->Link(), SettingsPush::ReadSpirometerPort(ini, App.GetSettings().Demo), ini,
                         HardwareCheckMessages);
}

void THalvetraMDIClient::ReadProvocationSettings() {
  TProvocationWindow* window = GetProvocation();
  if (!window)
    return;
  window->ApplyNebulizerSettings(SettingsPush::ReadNebulizer(App.GetSettings().IniPath).Settings);
  ReadNebulizerPort();
}

void THalvetraMDIClient::ReadNebulizerPort() {
  TProvocationWindow* window = GetProvocation();
  if (!window)
    return;
  const std::string& ini = App.GetSettings().IniPath;
  const SettingsPush::TNebulizerPush nebulizer = SettingsPush::ReadNebulizer(ini);
  TMeasureWindow* measure = GetMeasure();
  window->SetNebulizerReady(SettingsPush::CheckNebulizer(measure ? &measure->Link() : nullptr, nebulizer, ini,
                                                         HardwareCheckMessages, &App.GetMessages()));
}

void THalvetraMDIClient::ReadAudioSettings() {
  TAudioMeterWindow* window = GetAudioMeter();
  if (!window)
    return;
  const bool demo = App.GetSettings().Demo != 0;
  window->ApplyLinkSettings(SettingsPush::ReadAudioLink(App.GetSettings().IniPath, demo), demo, HardwareCheckMessages);
}

void THalvetraMDIClient::ReadDateFormats() {
  const TIntlSettings intl = TIntlSettings::Read();
  TDisplayFormats formats;
  formats.DateFormat = intl.DatePicture;
  formats.DateSeparator = intl.DateSeparator;
  formats.TimeFormat = "HH:MM:SS";
  if (TMeasureWindow* window = GetMeasure())
    window->SetDisplayFormats(formats);
  if (TAudioMeterWindow* window = GetAudioMeter())
    window->SetDisplayFormats(formats);
}

// --- Enablers --------------------------------------------------------------------------

void THalvetraMDIClient::FillView(TClientView& view) const {
  const QMdiSubWindow* active = activeSubWindow();
  view.HardwareMode = App.GetInstallFlags().HardwareMode;
  view.MeasurementOpen = !Frame(TClientSlot::Measure).isNull();
  if (TMeasureWindow* window = GetMeasure(); window && Frame(TClientSlot::Measure)) {
    view.MeasurementBusy = SendMessage(window, WM_GET_IS_START) != 0;
    view.WindowMeasureMode = window->GetMeasureMode();
    view.MeasurementStageView = window->IsStageView();
    view.MeasurementUnsaved = window->HasUnsavedResults();
    view.MeasurementActive = active == Frame(TClientSlot::Measure).data();
  }
  view.MeasureMode = TMeasureData::MeasureMode;
  view.AudiometerOpen = !Frame(TClientSlot::Audiometer).isNull();
  if (TAudioMeterWindow* window = GetAudioMeter(); window && Frame(TClientSlot::Audiometer)) {
    view.AudiometerLinkUsable = window->IsLinkUsable();
    view.AudiometerBusy = SendMessage(window, WM_GET_IS_START) != 0;
    view.AudiometerUnsaved = window->HasUnsavedAudiogram();
  }
  view.TrendOpen = !Frame(TClientSlot::Trend).isNull();
  view.ProvocationOpen = !Frame(TClientSlot::Provocation).isNull();
  if (TProvocationWindow* window = GetProvocation(); window && Frame(TClientSlot::Provocation)) {
    view.ProvocationActive = active == Frame(TClientSlot::Provocation).data();
    view.ProvocationStepReady = view.ProvocationActive && window->CheckProvocationOK();
    view.ProvocationEnd = window->IsEnd();
    view.ProvocationProvokedRow = window->HasProvokedRow();
    view.ProvocationRows = window->GetNumberOfListBoxItem();
    view.NebulizerRunning = window->IsNebulizerRunning();
  }
}

void THalvetraMDIClient::CmComponentEnable(TCommandEnabler& ce) {
  TClientView view;
  if (TPatient* sheet = GetPatient()) {
    view.SheetOpen = true;
    view.SheetChanged = sheet->IsModified();
    view.SheetNewRecord = sheet->IsNewRecord();
    view.SheetTableDisplay = sheet->IsFilling() || sheet->IsSwitchingTab();
  }
  FillView(view);
  ce.Enable(ClientEnablers::IsEnabled(ce.GetId(), view).value_or(false));
}

// --- Closing --------------------------------------------------------------------------

void THalvetraMDIClient::CmMeasureClosed() {
  TMeasureWindow* window = GetMeasure();
  if (window && window->HasUnsavedResults() && AskToSave &&
      App.GetMessages().MessageBox(StoreResultsText, 2, TMessageIcon::Question, TMessageButtons::YesNo) == IDYES) {
    TExaminationStore* store = Store();
    const short mode = window->GetMeasureMode();
    const bool saved = !store || ((mode == 6 || store->WriteMeasureFile(*window, mode)) && store->SaveMeasurement(*window));
    if (!saved) {
      // The store has said why; the window stays open with its work files.
      window->KeepOpen();
      MeasureKeptOpen = true;
      return;
    }
    window->SetUnsavedResults(false);
  }
  DisableSheetFields(false);
  if (window && window->Link().PortInUse)
    window->Link().RestoreSerialPort();
  Control.SetNote(2, "");
  Control.SetNote(1, "");
  LoadedFromDatabase = false;
  Control.DeleteTempFiles();
  GiveEngineTo(GetPatient());
}

void THalvetraMDIClient::CmAudiometerClosed() {
  TAudioMeterWindow* window = GetAudioMeter();
  if (window && window->HasUnsavedAudiogram() &&
      App.GetMessages().MessageBox(StoreResultsText, 2, TMessageIcon::Question, TMessageButtons::YesNo) == IDYES) {
    TExaminationStore* store = Store();
    if (store && !store->SaveAudiogram(*window)) {
      window->KeepOpen();  // the store has said why
      return;
    }
  }
  DisableSheetFields(false);
  GiveEngineTo(GetPatient());
}

void THalvetraMDIClient::CmTrendClosed() {
  DisableSheetFields(false);
  GiveEngineTo(GetPatient());
}

void THalvetraMDIClient::CmSaveAudiogram() {
  const TWaitCursor wait;
  if (TAudioMeterWindow* window = GetAudioMeter())
    if (TExaminationStore* store = Store())
      store->SaveAudiogram(*window);
}

void THalvetraMDIClient::CmAutomaticSetup() {
  const auto& setup = App.GetOptions().Dialogs.AutomaticSetup;
  const auto confirmed = [this] {
    TAutomaticSetup dialog(&App.GetMessages(), App.GetSettings().IniPath, this);
    return dialog.exec() == QDialog::Accepted;
  };
  // A confirmed sequence reaches an open audiometer at once.
  if (setup ? setup() : confirmed())
    if (TAudioMeterWindow* window = GetAudioMeter())
      window->ReadAutomaticSequence();
}

// --- Start-up ----------------------------------------------------------------------------

void THalvetraMDIClient::SetupWindow() {
  const TAppSettings& settings = App.GetSettings();
  // The first installation configures the instruments, then says it is done.
  if (!settings.Demo && settings.FirstInstall) {
    RunFirstInstallSheets();
    TProfile program("Program", settings.IniPath);
    if (!program.WriteInt("FirstInstall", 0))
      App.ReportFailures({program.GetLastError()});
  }
  ShowInitWindow();
}

void THalvetraMDIClient::ShowInitWindow() {
  const TAppSettings& settings = App.GetSettings();
  const std::string picture = Paths::ToNative(settings.Picture).value_or(settings.Picture);
  if (settings.InitWindowEnable == 0 || picture.empty() || !std::filesystem::exists(picture))
    return;
  QPointer<TInitWindow> init = new TInitWindow(App.GetMessages(), window(), settings.Picture, settings.Lines);
  setEnabled(false);
  init->SetupWindow();
  App.PumpMessages();
  InitCountDown::Run(
      settings.InitWindowDelay, App.GetClock(), [&init](int n) { if (init) init->ShowCountDown(n); },
      [this] { App.PumpMessages(); }, [&init] { return !init.isNull() && init->isVisible(); });
  if (init && init->isVisible())
    init->close();
  else
    QApplication::beep();  // the user closed it before the end
  setEnabled(true);
  raise();
}

// A frame of a component window goes: its bar goes with it. When the sheet
// or the provocation closes, the measurement goes too, asked once about
// its results; the controller closes the other windows of the patient.
void THalvetraMDIClient::ComponentFrameClosed(THalvetraMDIChild* frame) {
  FrameMenus.erase(frame);
  if (Ending)
    return;
  const bool patient = frame == Frame(TClientSlot::Patient).data();
  const bool provocation = frame == Frame(TClientSlot::Provocation).data();
  THalvetraMDIChild* measure = Frame(TClientSlot::Measure).data();
  if ((patient || provocation) && measure) {
    MeasureKeptOpen = false;
    SendMessage(this, WM_COMMAND, CM_MEASURE_CLOSED, 0);
    // A window whose results could not be saved stays with its work files.
    MeasureStays = std::exchange(MeasureKeptOpen, false);
    if (!MeasureStays)
      delete measure;  // asked already: no second question
  }
  if (frame == measure) {
    RemoveBar(MeasureBar);
    MeasureWidget.clear();
    Measure = nullptr;
    PrePost = false;
    MeasureStays = false;
  }
  if (frame == Frame(TClientSlot::Audiometer).data()) {
    RemoveBar(AudiometerBar);
    AudioMeter = nullptr;
  }
  if (provocation) {
    Provocation = nullptr;
    ProvocationMode = false;
    RemoveBar(ProvocationBar);
  }
  if (frame == Frame(TClientSlot::Trend).data()) {
    Trend = nullptr;
    RemoveBar(TrendBar);
  }
  if (patient) {
    Records->SetIndex(nullptr);  // the sheet's index goes with it
    RemoveBar(PatientBar1);
    RemoveBar(PatientBar2);
    RemoveMainBarTestButtons();
  }
}

// --- Bars -------------------------------------------------------------------------------

TComponentBar* THalvetraMDIClient::MakeBar(const TBarLayout& layout, TEventHandler* owner) {
  TComponentBar::TContext context;
  context.Texts = &App.GetMessages();
  context.Actions = App.GetActions();
  context.HelpMode = [this] { return App.IsHelpMode(); };
  context.Tip = [this](unsigned id) -> std::optional<std::string> {
    const TMessage& texts = App.GetMessages();
    constexpr int LeftNostril = 312;
    constexpr int RightNostril = 313;
    if (const TMeasureWindow* window = GetMeasure(); window && Frame(TClientSlot::Measure) && window->GetMeasureType() == 6) {
      if (id == CM_START)
        return texts.LoadStringA(LeftNostril) + " - Anterior";
      if (id == CM_START2)
        return texts.LoadStringA(RightNostril) + " - Anterior";
      if (id == CM_START3)
        return std::string("Posterior");
    }
    const int number = id == CM_SAVE_AUDIOGRAM ? ChildMenus::TextNumberOf(CM_SAVE_MEASUREMENT)
                       : id == CM_BREATHING_RATE || id == CM_BREATHING_RATE_HIGH ? BarLayouts::BreathingRateText
                                                                                 : ChildMenus::TextNumberOf(id);
    if (number < 0)
      return std::nullopt;
    return texts.LoadStringA(number);
  };
  auto* bar = new TComponentBar(layout, owner, context, App.GetFrame());
  Dock(bar);
  return bar;
}

void THalvetraMDIClient::Dock(TComponentBar* bar) {
  if (!bar || !App.GetFrame())
    return;
  const Qt::ToolBarArea area =
      bar->Layout().Dock == TBarLayout::TDock::Top ? Qt::TopToolBarArea : Qt::BottomToolBarArea;
  if (!IsBarDocked(bar))
    App.GetFrame()->addToolBar(area, bar);
  bar->show();
}

void THalvetraMDIClient::Undock(TComponentBar* bar) {
  if (!bar || !App.GetFrame() || !IsBarDocked(bar))
    return;
  App.GetFrame()->removeToolBar(bar);
}

bool THalvetraMDIClient::IsBarDocked(const TComponentBar* bar) const {
  return bar && App.GetFrame() && App.GetFrame()->toolBarArea(const_cast<TComponentBar*>(bar)) != Qt::NoToolBarArea &&
         bar->isVisibleTo(App.GetFrame());
}

void THalvetraMDIClient::RemoveBar(QPointer<TComponentBar>& bar) {
  if (!bar)
    return;
  Undock(bar);
  delete bar.data();
  bar.clear();
}

TComponentBar* THalvetraMDIClient::GetBar(int captionText) const {
  for (const QPointer<TComponentBar>& bar :
       {PatientBar1, PatientBar2, MeasureBar, TrendBar, ProvocationBar, AudiometerBar})
    if (bar && bar->Layout().CaptionText == captionText)
      return bar.data();
  return nullptr;
}

BarLayouts::TMeasureBarView THalvetraMDIClient::MeasureBarView() const {
  BarLayouts::TMeasureBarView view;
  const TMeasureWindow* window = GetMeasure();
  if (!window)
    return view;
  view.StageView = window->IsStageView();
  view.MeasureType = window->GetMeasureMode();
  view.ProvocationOpen = !Frame(TClientSlot::Provocation).isNull();
  view.CakeDown = window->GetCakeStatus();
  view.GridDown = window->GetGridStatus();
  view.PrePostDown = PrePost;
  const QScreen* screen = QGuiApplication::primaryScreen();
  view.ScreenWidth = screen ? screen->geometry().width() : 800;
  view.Rates = BarLayouts::ReadBreathingRates(App.GetSettings().IniPath);
  return view;
}

void THalvetraMDIClient::BuildMeasureBar() {
  TMeasureWindow* window = GetMeasure();
  if (!window)
    return;
  const BarLayouts::TMeasureBarView view = MeasureBarView();
  TBarLayout layout = BarLayouts::Measurement(view);
  if (!view.StageView)
    BarLayouts::AdaptMeasurementBar(layout, window->GetMeasureMode(), view);
  RemoveBar(MeasureBar);
  MeasureBar = MakeBar(layout, window);
}

void THalvetraMDIClient::AddMainBarTestButtons() {
  QToolBar* bar = App.GetMainBar();
  if (!bar || !MainBarTestActions.empty())
    return;
  QAction* exit = nullptr;
  for (QAction* action : bar->actions())
    if (TCommandActions::CommandOf(action) == CM_EXIT)
      exit = action;
  for (const TBarGadget& g : BarLayouts::MainBarTestButtons(App.GetInstallFlags())) {
    if (g.Kind == TBarGadget::TKind::Button) {
      const int text = ChildMenus::TextNumberOf(g.Id);
      const QString name =
          text >= 0 ? QString::fromStdString(App.GetMessages().LoadStringA(text)).remove('&') : QString();
      auto* action = new QAction(CommandIcon(g.Id, g.Bitmap, name), name.isEmpty() ? QString::number(g.Id) : name, bar);
      action->setObjectName(QString::number(g.Id));
      if (!name.isEmpty())
        action->setToolTip(name);
      bar->insertAction(exit, action);
      App.GetActions()->Bind(action, g.Id);
      MainBarTestActions.push_back(action);
    } else {
      MainBarTestActions.push_back(bar->insertSeparator(exit));
    }
  }
}

void THalvetraMDIClient::RemoveMainBarTestButtons() {
  QToolBar* bar = App.GetMainBar();
  if (!bar)
    return;
  std::erase_if(MainBarTestActions, [](const QPointer<QAction>& action) { return action.isNull(); });
  std::vector<unsigned> present;
  for (const QPointer<QAction>& action : MainBarTestActions)
    if (const unsigned id = TCommandActions::CommandOf(action))
      present.push_back(id);
  for (const unsigned id : BarLayouts::MainBarRemovals(present)) {
    for (auto it = MainBarTestActions.begin(); it != MainBarTestActions.end(); ++it) {
      if (TCommandActions::CommandOf(*it) != id)
        continue;
      // The button goes with the separator after it.
      const auto last = std::next(it) != MainBarTestActions.end() ? std::next(it, 2) : std::next(it);
      for (auto gone = it; gone != last; ++gone) {
        bar->removeAction(*gone);
        delete gone->data();
      }
      MainBarTestActions.erase(it, last);
      break;
    }
  }
}

void THalvetraMDIClient::ActivatedMenu(const QMdiSubWindow* frame) {
  if (Ending)
    return;
  const auto it = frame ? FrameMenus.find(frame) : FrameMenus.end();
  App.SetChildMenu(it == FrameMenus.end() ? nullptr : &it->second);
}

TResult THalvetraMDIClient::EvChildActivated(TParam1 frameParam, TParam2) {
  const auto* frame = reinterpret_cast<const THalvetraMDIChild*>(frameParam);
  ActivatedMenu(frame);
  if (!frame || frame == Frame(TClientSlot::Note).data())
    return 1;
  std::vector<TComponentBar*> docked;
  if (frame == Frame(TClientSlot::Patient).data())
    docked = {PatientBar1.data(), PatientBar2.data()};
  else if (frame == Frame(TClientSlot::Measure).data())
    docked = {MeasureBar.data()};
  else if (frame == Frame(TClientSlot::Audiometer).data())
    docked = {AudiometerBar.data()};
  else if (frame == Frame(TClientSlot::Trend).data())
    docked = {TrendBar.data()};
  else if (frame == Frame(TClientSlot::Provocation).data())
    docked = {ProvocationBar.data()};
  for (TComponentBar* bar : {PatientBar1.data(), PatientBar2.data(), MeasureBar.data(), AudiometerBar.data(),
                             TrendBar.data(), ProvocationBar.data()}) {
    if (!bar)
      continue;
    if (std::find(docked.begin(), docked.end(), bar) != docked.end())
      Dock(bar);
    else
      Undock(bar);
  }
  return 1;
}

// --- Mirrored button states ---------------------------------------------------------

TResult THalvetraMDIClient::EvChangeButtonColor() {
  if (TMeasureWindow* window = GetMeasure(); window && MeasureBar) {
    const short trial = window->GetTrialSelection();
    if (trial >= 1 && trial <= 3)
      MeasureBar->SetButtonDown(CM_TABLE1 + static_cast<unsigned>(trial - 1), true);
  }
  return 1;
}

TResult THalvetraMDIClient::EvCakeChanged() {
  TMeasureWindow* window = GetMeasure();
  if (!window || !MeasureBar || !MeasureBar->Button(CM_CAKE))
    return 0;
  MeasureBar->SetButtonDown(CM_CAKE, window->GetCakeStatus());
  return 1;
}

TResult THalvetraMDIClient::EvGridChanged() {
  const QMdiSubWindow* active = activeSubWindow();
  if (TMeasureWindow* window = GetMeasure(); window && Frame(TClientSlot::Measure) && active == Frame(TClientSlot::Measure).data()) {
    if (MeasureBar)
      MeasureBar->SetButtonDown(CM_GRID, window->GetGridStatus());
  } else if (TTrendWindow* trend = GetTrend(); trend && Frame(TClientSlot::Trend) && active == Frame(TClientSlot::Trend).data()) {
    if (TrendBar)
      TrendBar->SetButtonDown(CM_GRID, trend->GetGridStatus());
  }
  return 1;
}

TResult THalvetraMDIClient::EvPrePostChanged(TParam1 state, TParam2) {
  if (MeasureBar)
    MeasureBar->SetButtonDown(CM_PREPOST, state != 0);
  return 1;
}

TResult THalvetraMDIClient::EvNormRelChanged(TParam1 state, TParam2) {
  if (TrendBar)
    TrendBar->SetButtonDown(CM_NORMREL, state != 0);
  return 1;
}

TResult THalvetraMDIClient::EvPredictedChanged(TParam1 state, TParam2) {
  if (TrendBar)
    TrendBar->SetButtonDown(CM_PREDICTED, state != 0);
  return 1;
}

TResult THalvetraMDIClient::EvMicrophoneChanged(TParam1 state, TParam2) {
  if (AudiometerBar)
    AudiometerBar->SetButtonDown(CM_MICROPHONE, state == 1);
  return 1;
}

TResult THalvetraMDIClient::EvAlgorithmIndex(TParam1 index, TParam2) {
  constexpr std::array<unsigned, 4> buttons{CM_ALGORITHM1, CM_ALGORITHM2, CM_ALGORITHM3, CM_ALGORITHM4};
  if (GetAudioMeter() && AudiometerBar && index < buttons.size())
    AudiometerBar->SetButtonDown(buttons[index], true);
  return 1;
}

TResult THalvetraMDIClient::EvSignalModeIndex(TParam1 index, TParam2) {
  constexpr std::array<unsigned, 3> buttons{CM_SIGNAL_MODE1, CM_SIGNAL_MODE2, CM_SIGNAL_MODE3};
  if (GetAudioMeter() && AudiometerBar && index < buttons.size())
    AudiometerBar->SetButtonDown(buttons[index], true);
  return 1;
}

TResult THalvetraMDIClient::EvChangeCommandButton(TParam1 oldId, TParam2 newId) {
  if (!MeasureBar)
    return 0;
  TBarLayout layout = MeasureBar->Layout();
  if (BarLayouts::ChangeCommandButton(layout, static_cast<unsigned>(oldId), static_cast<unsigned>(newId),
                                      MeasureBarView()))
    MeasureBar->Rebuild(layout);
  return 0;
}

void THalvetraMDIClient::CmBreathingRate(unsigned id) {
  TMeasureWindow* window = GetMeasure();
  if (!window)
    return;
  const bool high = id == CM_BREATHING_RATE_HIGH;
  if (MeasureBar) {
    MeasureBar->SetButtonDown(CM_BREATHING_RATE, !high);
    MeasureBar->SetButtonDown(CM_BREATHING_RATE_HIGH, high);
  }
  window->SetBRate(high ? 1 : 0);
}

// --- The test tool box ----------------------------------------------------------------

QDialog* THalvetraMDIClient::GetToolBox() const { return ToolBox.data(); }

void THalvetraMDIClient::CmMeasureMenu() {
  QToolBar* mainBar = App.GetMainBar();
  auto* dialog = new QDialog(window(), Qt::Tool | Qt::FramelessWindowHint);
  dialog->setObjectName("TSubMenu");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QHBoxLayout(dialog);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(0);
  for (const unsigned id : TestToolBox::Buttons(App.GetInstallFlags())) {
    auto* button = new QToolButton(dialog);
    button->setObjectName(QString::number(id));
    const int text = ChildMenus::TextNumberOf(id);
    const QString name =
        text >= 0 ? QString::fromStdString(App.GetMessages().LoadStringA(text)).remove('&') : QString();
    button->setIcon(CommandIcon(id, std::to_string(id), name));
    button->setIconSize(QSize(24, 24));
    if (!name.isEmpty())
      button->setToolTip(name);
    // The tool box's buttons are always enabled; the client decides.
    connect(button, &QToolButton::clicked, this, [this, id] { DispatchCommand(id); });
    layout->addWidget(button);
  }
  ToolBox = dialog;
  if (mainBar) {
    for (QAction* action : mainBar->actions())
      if (TCommandActions::CommandOf(action) == CM_MEASURE_MENU)
        if (QWidget* button = mainBar->widgetForAction(action)) {
          const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
          const TestToolBox::TPoint at = TestToolBox::Beside(rect.right(), rect.top());
          dialog->move(at.X, at.Y);
        }
  }
  dialog->open();
}

void THalvetraMDIClient::CmMeasureMenuClose() {
  if (QDialog* dialog = ToolBox.data()) {
    ToolBox.clear();
    dialog->reject();
  }
}
