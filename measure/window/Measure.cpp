#include "measure/window/Measure.h"

#include "common/CommandNumbers.h"
#include "measure/window/Btps.h"
#include "measure/results/BtpsRecord.h"
#include "measure/core/HotAreas.h"
#include "measure/window/MeasureFrameScreen.h"
#include "measure/window/ParamDialog.h"
#include "measure/results/ParamList.h"
#include "measure/window/ParamListView.h"
#include "measure/window/RhinoDialogs.h"
#include "special/rhinomanometry/RhinoSettings.h"
#include "measure/window/SmallControls.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "platform/framework/BinaryStream.h"
#include "platform/framework/Profile.h"

#include <QApplication>
#include <QEventLoop>
#include <QCloseEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <cmath>

TResult TMeasureClientLink::SendToClient(unsigned msg, TParam1 wParam, TParam2 lParam) {
  return SendMessage(ClientHandler.Get(), msg, wParam, lParam);
}

void TMeasure::SetMainWindow(TEventHandler* mainWindow) {
  MainWindowHandler = mainWindow;
  if (TParamList* list = GetParamList())
    list->SetHelpTargets(ClientHandler.Get(), mainWindow);
}

TResult TMeasureClientLink::SendToMainWindow(unsigned msg, TParam1 wParam, TParam2 lParam) {
  return SendMessage(MainWindowHandler.Get(), msg, wParam, lParam);
}

// What the logic asks of the window: the drawing goes to the screen, the
// rest to the window's controls.
class TMeasure::TView final : public TMeasureView {
public:
  explicit TView(TMeasure& window) : W(window) {}

  void SetCurrentFactor() override { W.Screen->SetCurrentFactor(); }
  void CopyScreen() override { W.Screen->CopyScreen(); }
  void DeleteScreenBmp() override { W.Screen->DeleteScreenBmp(); }
  void RedrawScreenBmp() override { W.Screen->RedrawScreenBmp(); }
  void ClearMeasureScreen() override { W.Screen->ClearMeasureScreen(); }
  void ClearVolumeScreen() override { W.Screen->ClearVolumeScreen(); }
  void DrawCurve(short trial, short index, bool final) override { W.Screen->DrawCurve(trial, index, final); }
  void DrawPressureCurve(short line, short index) override { W.Screen->DrawPressureCurve(line, index); }
  void WriteLargeParam(float value) override { W.Screen->WriteLargeParam(value); }
  void UpdateTableTitle() override { W.Screen->UpdateTableTitle(); }
  bool RefreshMeasureUnit(short unitSystem) override {
    if (W.Btps)
      W.Btps->ConvertBTPSData(unitSystem);
    return W.Screen->RefreshMeasureUnit(unitSystem);
  }
  void RebuildToolTipObjects() override { W.Screen->RebuildToolTipObjects(); }
  void MeasurePaint() override { W.Screen->MeasurePaint(); }
  void InvalidateScreen() override { W.Screen->InvalidateScreen(); }
  void DrawMetronome(short state) override { W.Screen->DrawMetronome(state); }
  void DrawShutterPoint(short index) override { W.Screen->DrawShutterPoint(index); }
  void WriteBreathingRate(int x, int y, const std::string& text) override {
    W.Screen->WriteBreathingRate(x, y, text);
  }
  bool LoadCake(short age, bool anyPredicted) override { return W.Screen->LoadCake(age, anyPredicted); }
  bool InitCake(short age, float predictedL) override { return W.Screen->InitCake(age, predictedL); }
  void MoveFlame(short age) override { W.Screen->MoveFlame(age); }
  void FlameOff(short age, float referenceVolumeL, float volumeL) override {
    W.Screen->FlameOff(age, referenceVolumeL, volumeL);
  }
  void CloseCake() override { W.Screen->CloseCake(); }
  void ShowSequenceText(int left, int top, int right, int bottom, const std::string& text) override {
    W.Screen->ShowSequenceText(left, top, right, bottom, text);
  }
  void ClearWorkArea() override { W.Screen->ClearWorkArea(); }
  void ShowSearchProgress(const std::string& text) override { W.Screen->ShowSearchProgress(text); }
  void SetStatusText(const std::string& text) override { W.Screen->SetStatusText(text); }

  void PlaceParamList(const TListPlacement& p, bool redraw) override {
    if (!W.ListView)
      return;
    W.ListView->setGeometry(p.Left, p.Top, p.Right - p.Left, p.Bottom - p.Top);
    if (redraw)
      W.ListView->update();
  }
  void ShowParamList(bool visible) override {
    if (W.ListView)
      W.ListView->setVisible(visible);
  }
  void RefreshParamList() override {
    if (W.ListView)
      W.ListView->Refresh();
  }
  void ShowListScrollBar(bool visible) override {
    if (W.ListView)
      W.ListView->setVerticalScrollBarPolicy(visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  }
  void SetNoteEditText(const std::string& text) override {
    if (W.NoteEdit)
      W.NoteEdit->setText(QString::fromStdString(text));
  }
  std::string GetNoteEditText() const override {
    return W.NoteEdit ? W.NoteEdit->text().toStdString() : std::string();
  }
  void DropNotes() override {
    if (W.NoteWindow)
      delete W.NoteWindow.data();
    if (W.NoteButton)
      W.NoteButton->ShowOpen(false);
  }
  void ShowNoteWindow(const std::string& text) override {
    DropNotes();
    auto* note = new TPrePostNote(QString::fromStdString(text), &W);
    note->setGeometry(W.Scaled(106, 59, 489, 75));
    note->show();
    W.NoteWindow = note;
    if (W.NoteButton)
      W.NoteButton->ShowOpen(true);
  }
  bool IsNoteWindowOpen() const override { return !W.NoteWindow.isNull(); }
  short GetPredictedSelection() const override {
    return W.PredictedList ? static_cast<short>(W.PredictedList->currentIndex()) : short{-1};
  }
  void SetCursor(int cursor) override {
    switch (cursor) {
    case CursorCurveLarge: W.setCursor(Qt::PointingHandCursor); break;
    case CursorCurveSmall: W.setCursor(TParamListView::ZoomCursor()); break;
    case CursorTableTitle: W.setCursor(Qt::WhatsThisCursor); break;
    default: W.unsetCursor(); break;
    }
  }
  void Beep() override { QApplication::beep(); }
  std::optional<TRhinoProvocationEntry> RunRhinoProvocationDialog() override {
    if (!W.Messages)
      return std::nullopt;
    TRhinoProv dialog(*W.Messages, &W, W.GetIniFile());
    if (dialog.exec() != QDialog::Accepted)
      return std::nullopt;
    return dialog.Entry();
  }
  bool RunParamDialog() override {
    if (!W.Messages)
      return false;
    TParam dialog(*W.Messages, &W, W.MeasureType, W.ParamsStruct);
    return dialog.exec() == QDialog::Accepted;
  }
  void SetHourGlass(bool on) override {
    if (on)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  }

private:
  TMeasure& W;
};

TMeasure::TMeasure(float xScale, float yScale, short measureType, TMessage* text, std::string_view iniFile,
                   short languageWord, const PREDICTED_DATA& patient, QWidget* parent, float paramListFactor,
                   bool stageView, TEventHandler* client)
    : QWidget(parent),
      TMeasureClientLink(client),
      TMeasureCore(text, this, static_cast<unsigned short>(measureType)),
      XScale(xScale),
      YScale(yScale),
      LanguageWord(languageWord),
      Inert(text == nullptr) {
  ResetStatics();
  LastSentData = 0;
  pThis = this;
  setObjectName(QString::number(WindowId));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(static_cast<int>(DesignWidth * XScale), static_cast<int>(DesignHeight * YScale));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(palette);
  Screen = MakeMeasureScreen(*this);
  ViewPort = std::make_unique<TView>(*this);
  SetView(ViewPort.get());
  if (Inert)
    return;

  StageView = stageView;
  SetIniFile(iniFile);
  const QScreen* screen = QGuiApplication::primaryScreen();
  ScreenIndex = ScreenIndexOf(screen ? screen->geometry().width() : 800);
  // The list is placed for the width the window's factors stand for.
  ScreenWidthPx = static_cast<int>(std::lround(800.0f * XScale));
  ScreenFactors = {XScale, YScale};
  ReadWindowSettings();

  CreateParamList(languageWord, paramListFactor);
  ListView = new TParamListView(*ParamList, this);
  // The hot areas (the small curve, the table's title) change the cursor
  // as the mouse passes, and a click acts on the area it is over.
  setMouseTracking(true);
  // A stage view exports too: its tool bar keeps the export button.
  RunDdeDialog = [this](TTDdeDialogStruct& settings) {
    TDdeDialog dialog(*GetMessages(), this, settings);
    return dialog.exec() == QDialog::Accepted;
  };
  if (!StageView)
    CreateControls();
  Screen->SetCurrentFactor();
  MeasureScreen = 1;
  Btps = std::make_unique<TBTPS>(XScale, YScale, this, text, iniFile, short{0});
  SetPredictedData(patient);
  ReadParmsStruct(GetIniFile(), ParamsStruct);
}

TMeasure::~TMeasure() {
  DestroyObjects();
  SetView(nullptr);
  if (!Inert && !ExportBusy && MeasureType != MEASURE_RHINO)
    WriteParmsStruct(GetIniFile(), ParamsStruct);
}

QRect TMeasure::Scaled(int left, int top, int width, int height) const {
  return {static_cast<int>(static_cast<float>(left) * XScale), static_cast<int>(static_cast<float>(top) * YScale),
          static_cast<int>(static_cast<float>(width) * XScale), static_cast<int>(static_cast<float>(height) * YScale)};
}

void TMeasure::CreateControls() {
  NoteEdit = new TNoteEdit(this);
  NoteEdit->setGeometry(Scaled(106, 35, 489, 25));
  QObject::connect(NoteEdit, &QLineEdit::textEdited, NoteEdit,
                   [this] { Dispatch(ControlNotify(NoteEditId, EN_CHANGE), 0, 0); });
  NoteButton = new WingDingButton(this);
  NoteButton->setGeometry(Scaled(595, 37, 20, 20));
  QObject::connect(NoteButton, &QPushButton::clicked, NoteButton, [this] { DispatchCommand(5401); });
  PredictedList = new TPredictedList(this);
  PredictedList->setGeometry(Scaled(621, 35, 120, 25));
}

void TMeasure::SetupWindow() {
  if (Inert)
    return;
  if (!StageView && PredictedList) {
    const QSignalBlocker quiet(PredictedList);
    if (MeasureType == MEASURE_RHINO) {
      for (const int number : {405, 406, 407})
        PredictedList->AddString(QString::fromStdString(Messages->LoadStringA(number)));
      PredictedList->setCurrentIndex(Rhino.Algorithm);
    } else {
      for (const char* set : {"ECCS", "Knudson", "Cotton & Dust", "Crapo-Hsu", "\xC3\x96sterreichisch", "Finnish"})
        PredictedList->AddString(QString::fromUtf8(set));
      PredictedList->AddString(QString::fromStdString(Messages->LoadStringA(190)));
      PredictedList->setCurrentIndex(ParamList->PredictedAlgorithm);
    }
    QObject::connect(PredictedList, &QComboBox::activated, PredictedList,
                     [this] { Dispatch(ControlNotify(PredictedListId, CBN_SELCHANGE), 0, 0); });
    VerifyPredictedData();
  }
  if (!StageView)
    LoadCake();
  PlaceListByMode();
  UpdateParamListBox();
  RestorePrePost();
  if (!StageView && !GetNoteText(0).empty())
    SetNote(0, GetNoteText(0));
  if (BtpsDevice) {
    if (BtpsMeasuring)
      CreateBTPSTimer();
    Btps->EnableBTPSWindow(!BtpsMeasuring);
  }
  Btps->ReadBTPSConstans(1, 25, 50, 1070);
  Btps->SetBTPSData();
  const TProfile log("Creating Measure Log", GetIniFile());
  LogWriteEnable = static_cast<short>(log.GetInt("WriteEnable", 0));
  LogMeasureMode = static_cast<short>(log.GetInt("MeasureMode", 4));
  LogSaveAll = static_cast<short>(log.GetInt("SaveAllMeasurements", 0));
  Screen->RebuildToolTipObjects();
}

bool TMeasure::CanClose() {
  SendToClient(WM_COMMAND, CM_MEASURE_CLOSED, 0);
  return true;
}

void TMeasure::closeEvent(QCloseEvent* event) {
  if (TakeKeepOpen()) {
    event->ignore();
    return;
  }
  CanClose();
  event->accept();
}

void TMeasure::DestroyObjects() {
  if (std::exchange(Destroyed, true))
    return;
  // The acquisition stops before any buffer goes.
  if (StartId != 0) {
    StartId = 0;
    KillHandler();
  }
  if (Btps && !Inert)
    Btps->WriteBTPSConstans();
  delete NoteWindow.data();
  Btps.reset();
  delete ListView.data();
}

void TMeasure::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Screen->Paint(painter, event->rect());
  if (Btps)
    Btps->PutBTPSText(painter, UnitSystem);
}

bool TMeasure::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = Screen->ToolTipAt(help->pos());
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, this, Screen->ToolTipRect(help->pos()));
    return true;
  }
  return QWidget::event(event);
}

THotState TMeasure::HotState() const {
  THotState s;
  s.Idle = IsIdle();
  s.MeasureScreen = MeasureScreen != 0;
  s.HelpMode = false;
  s.TableZoomed = TableZoomed;
  s.ListVisible = ListVisible;
  s.TitleLow = PrePostMode || MeasureType == MEASURE_RHINO;
  s.MeasureType = MeasureType;
  s.XScale = XScale;
  s.YScale = YScale;
  return s;
}

void TMeasure::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const THotMove move = MouseMove(HotState(), Hot, at.x(), at.y());
  Hot = move.Area;
  if (move.Cursor)
    ViewPort->SetCursor(*move.Cursor);
}

void TMeasure::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  const THotClick click = MouseDown(HotState(), Hot);
  Hot = click.Area;
  if (click.Cursor)
    ViewPort->SetCursor(*click.Cursor);
  switch (click.Action) {
  case THotAction::Screen: CmScreen(); break;
  case THotAction::ParameterChoice:
    if (MeasureType == MEASURE_RHINO) {
      ChooseRhinoRows();
      break;
    }
    if (ViewPort->RunParamDialog()) {
      WriteParmsStruct(GetIniFile(), ParamsStruct);
    } else {
      ReadParmsStruct(GetIniFile(), ParamsStruct);
    }
    UpdateParamListBox();
    Screen->RedrawScreenBmp();
    break;
  case THotAction::ZoomTable: CmZoomTable(); break;
  case THotAction::None: break;
  }
}

bool TMeasure::CalculatedBTPS(short kind) {
  if (!Btps)
    return true;
  float factor = 1.0f;
  if (!Btps->CalculatedBTPS(factor, kind))
    return false;
  ConstansOfBTPS[0] = factor;
  return true;
}

std::string TMeasure::BtpsRecordBytes() const {
  if (!Btps)
    return TMeasureCore::BtpsRecordBytes();
  TBinaryWriter writer;
  WriteBtpsRecord(writer, Btps->GetRecord());
  return writer.Data();
}

void TMeasure::ShowBtpsReading(const plethysmography::SensorReading& reading, bool written) {
  if (!Btps)
    return;
  const auto t = static_cast<short>(reading.temperatureC);
  const auto h = static_cast<short>(reading.humidityPercent);
  const auto p = static_cast<short>(reading.pressureHpa);
  // A written section is read back, so that the panel and the file agree.
  if (written)
    Btps->ReadBTPSConstans(1, t, h, p);
  else
    Btps->UpdateBTPSData(1, t, h, p);
  Btps->SetBTPSData();
}

void TMeasure::BtpsConditions(float& temperatureC, float& pressureHpa) const {
  if (!Btps) {
    TMeasureCore::BtpsConditions(temperatureC, pressureHpa);
    return;
  }
  // The panel's own values, in degrees Celsius and hPa whatever it shows.
  temperatureC = Btps->GetTemperature();
  pressureHpa = Btps->GetPressure();
}

void TMeasure::SetPredictedAlgorithm(int algorithm, bool verify) {
  if (!PredictedList || !ParamList)
    return;
  ParamList->PredictedAlgorithm = static_cast<short>(algorithm);
  if (algorithm != 7)
    ParamList->WriteAlgorithmConstans();
  {
    const QSignalBlocker quiet(PredictedList);
    PredictedList->setCurrentIndex(algorithm);
  }
  if (verify)
    VerifyPredictedData();
  UpdateParamListBox();
}

void TMeasure::ShowNote(const std::string& note) { ViewPort->SetNoteEditText(note); }

void TMeasure::LetWaitingEventsThrough() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

TMeasureFrameScreen* TMeasure::FrameScreen() const { return dynamic_cast<TMeasureFrameScreen*>(Screen.get()); }

void TMeasure::SetZeroDelayClock(std::shared_ptr<TDelayClock> clock) { ZeroDelays = std::move(clock); }

void TMeasure::ShowZeroAnimation() {
  TMeasureFrameScreen* screen = FrameScreen();
  if (!screen)
    return;
  if (!ZeroDelays)
    ZeroDelays = std::make_shared<TSleepingDelayClock>();
  screen->LoadZero(*ZeroDelays);
}

void TMeasure::RemoveZeroAnimation() {
  if (TMeasureFrameScreen* screen = FrameScreen())
    screen->DestroyZero();
}

void TMeasure::ShowCalibAnimation() {
  if (TMeasureFrameScreen* screen = FrameScreen())
    screen->LoadCalib();
}

void TMeasure::MoveCalibAnimation() {
  if (TMeasureFrameScreen* screen = FrameScreen())
    screen->MoveStick();
}

void TMeasure::RemoveCalibAnimation() {
  if (TMeasureFrameScreen* screen = FrameScreen())
    screen->DestroyCalib();
}

void TMeasure::ChooseRhinoRows() {
  if (!Messages)
    return;
  TRhinoParam dialog(*Messages, this, Rhino.RowsAnterior, Rhino.RowsPosterior);
  if (dialog.exec() == QDialog::Accepted) {
    if (!WriteRhinoRows(GetIniFile(), Rhino.RowsAnterior, Rhino.RowsPosterior))
      Messages->MessageBoxText(Messages->Format(6103, {GetIniFile()}), 0, TMessageIcon::Stop);
  } else {
    // Reported when the window opened; the stored rows come back as they are.
    std::vector<TRhinoSettingProblem> reported;
    ReadRhinoRows(GetIniFile(), Rhino.RowsAnterior, Rhino.RowsPosterior, reported);
  }
  UpdateParamListBox();
  Screen->RedrawScreenBmp();
}
