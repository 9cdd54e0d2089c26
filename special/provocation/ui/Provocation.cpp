#include "special/provocation/ui/Provocation.h"

#include "common/CommandNumbers.h"
#include "measure/screen/MeasureAnimations.h"
#include "measure/core/MeasureWindow.h"
#include "platform/basekit/DdeExport.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/MessageSink.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "platform/basekit/ui/ImagePicture.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "platform/basekit/ui/ScreenFont.h"
#include "platform/basekit/ui/WaitCursor.h"
#include "platform/framework/WindowMessages.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "special/provocation/MeasureNebulizerLink.h"
#include "special/provocation/ProvocationLayout.h"
#include "special/provocation/ProvocationPainter.h"
#include "special/provocation/ProvocationSheet.h"
#include "special/provocation/ProvocationTexts.h"
#include "special/provocation/ui/ProvDialogs.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

constexpr unsigned HelpCommand = 9;
constexpr int HeaderCursorMargin = 5;

}  // namespace

const TResponseTable& TProvocation::ResponseTable() {
  using T = TProvocation;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&T::CmHelp>(HelpCommand),
      Response::Message<&T::CmAskHelpContext>(WM_ASK_HELP_CONTEXT),
      Response::Command<&T::CmZoom>(CM_ZOOM),
      Response::Command<&T::CmGridCommand>(CM_GRID),
      Response::Message<&T::CmGrid>(CM_GRID),
      Response::Message<&T::CmReady>(WM_DATA_READY),
      Response::Command<&T::CmStop>(CM_STOP),
      Response::Enabler<&T::CmStopEnable>(CM_STOP),
      Response::Command<&T::CmCancelProv>(CM_CANCEL_PROV),
      Response::Enabler<&T::CmCancelProvEnable>(CM_CANCEL_PROV),
      Response::Enabler<&T::ButtonEnable>(CM_ZOOM),
      Response::Enabler<&T::ButtonEnable>(CM_GRID),
      Response::Enabler<&T::ButtonEnable>(CM_PATIENT_NOTE),
      Response::Enabler<&T::ButtonEnable>(CM_DDE),
      Response::Command<&T::CmStop>(CM_ESC_BUTTON),
      Response::Command<&T::CmDde>(CM_DDE),
      Response::Message<&T::EvCommNotify>(WM_COMMNOTIFY),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TProvocation::TProvocation(float xScale, float yScale, TMessage* texts, std::string iniPath, PREDICTED_DATA patient,
                           QWidget* parent)
    : QWidget(parent), XScale(xScale), YScale(yScale), Texts(texts), IniPath(std::move(iniPath)), Patient(patient),
      ResolutionIndex(ProvocationLayout::ResolutionIndex(static_cast<int>(std::lround(800 * xScale)))),
      Model(IniPath), Run(Model) {
  setObjectName(QStringLiteral("TProvocation"));
  setFixedSize(static_cast<int>(DesignWidth * XScale), static_cast<int>(DesignHeight * YScale));
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(palette);
  setMouseTracking(true);
  Colors.ReadColors(IniPath);
  const QImage board(QStringLiteral(":/pictures/BOARD800_600.png"));
  if (!board.isNull())
    Board = std::make_unique<TImagePicture>("BOARD800_600", board);

  const TRect rect = ProvocationLayout::ListRectOnScreen(ResolutionIndex, YScale);
  List = new QListWidget(this);
  List->setObjectName(QString::number(ListId));
  List->setGeometry(rect.Left, rect.Top, rect.Width(), rect.Height());
  List->setFont(ScreenFont("Courier New", 11, 700));
  List->setSortingEnabled(false);
  QObject::connect(List, &QListWidget::currentRowChanged, this, [this](int row) {
    Model.SelectedLine = static_cast<short>(std::max(row, 0));
    update();
  });

  GridEnabled = AnimationSettings::ReadGrid(IniPath) != 0;
  ParamIssues = Model.ReadSelectedProvParams();
  Model.ReloadSetup();

  RunSetupDialog = [this] {
    if (!Texts)
      return false;
    TProvSetup dialog(*Texts, this, IniPath, Model.NebulizerReady, MainWindow);
    return dialog.exec() == QDialog::Accepted;
  };
  RunParamDialog = [this](short& code, short& limit) {
    if (!Texts)
      return false;
    TProvParam dialog(*Texts, &code, &limit, this, MainWindow);
    return dialog.exec() == QDialog::Accepted;
  };
  RunDoseDialog = [this](float start, float maximum, bool accumulate, short unit) -> std::optional<float> {
    if (!Texts)
      return std::nullopt;
    float dose = start;
    TProvInput dialog(*Texts, &dose, maximum, accumulate ? 1 : 0, static_cast<unsigned short>(unit), this,
                      MainWindow);
    if (dialog.exec() != QDialog::Accepted)
      return std::nullopt;
    return dose;
  };
  MakeLink = [this](TMeasureWindow& measure) -> std::unique_ptr<TNebulizerLink> {
    return std::make_unique<TMeasureNebulizerLink>(measure, this, [this](int ms) { Colors.MsecDelay(ms); });
  };
  RunDdeDialog = [this](TTDdeDialogStruct& settings) {
    if (!Texts)
      return false;
    TDdeDialog dialog(*Texts, this, settings);
    return dialog.exec() == QDialog::Accepted;
  };
}

TProvocation::~TProvocation() {
  // A nebulizer left spraying would go on dosing the patient.
  if (Model.NebulizerRunning() && Link)
    Run.Stop();
}

// --- What the program drives ------------------------------------------------------------

bool TProvocation::GetGridStatus() const { return AnimationSettings::ReadGrid(IniPath) != 0; }

void TProvocation::ApplyNebulizerSettings(const TNebulizerSettings& settings) {
  Model.Nebulizer = settings;
  update();
}

void TProvocation::AddDataToProvListBox(const std::array<float, 3>& values) {
  Model.AddDataToProvListBox(values);
  FillList();
  update();
}

void TProvocation::FillList() {
  const QSignalBlocker quiet(List);
  List->clear();
  for (const std::string& line : Model.Lines())
    List->addItem(QString::fromStdString(line));
}

bool TProvocation::GetNextDose() {
  const bool taken = Model.GetNextDose(RunDoseDialog, [this] { StartNebulizer(); });
  update();
  return taken;
}

std::string TProvocation::LimitCrossedText() const {
  return Texts ? ProvocationTexts::LimitCrossedText(*Texts, Model) : std::string();
}

void TProvocation::StartNebulizer() {
  TMeasureWindow* measure = Model.Steps().LinkedMeasure;
  if (!measure || Model.NebulizerRunning())
    return;
  Link = MakeLink(*measure);
  Run.SetLink(Link.get());
  if (Run.Start())
    Countdown.clear();
  update();
}

TResult TProvocation::CmReady(TParam1 hundredths, TParam2 mouthPressure) {
  const TNebulizerRun::TReady ready =
      Run.Ready(static_cast<unsigned>(hundredths), static_cast<long>(static_cast<std::int32_t>(mouthPressure)));
  if (!ready.Handled)
    return 0;
  if (ready.Countdown) {
    Countdown = *ready.Countdown;
    update();
  }
  if (ready.Stopped) {
    Countdown.clear();
    update();
  }
  if (ready.StepDone)
    StepToClient();
  return 1;
}

void TProvocation::CmStop() {
  const TNebulizerRun::TStopped stopped = Run.Stop();
  if (stopped == TNebulizerRun::TStopped::NotRunning)
    return;
  Countdown.clear();
  update();
  if (stopped == TNebulizerRun::TStopped::Complete)
    StepToClient();
}

void TProvocation::StepToClient() {
  if (Client)
    SendMessage(Client, WM_COMMAND, CM_PROVOCATION_STEP, 0);
}

void TProvocation::CmStopEnable(TCommandEnabler& enabler) { enabler.Enable(Model.NebulizerRunning()); }

void TProvocation::ButtonEnable(TCommandEnabler& enabler) { enabler.Enable(!Model.NebulizerRunning()); }

void TProvocation::CmCancelProv() {
  if (Client)
    SendMessage(Client, WM_CLOSE_CHILD_WINDOWS, 1, 0);
}

void TProvocation::CmCancelProvEnable(TCommandEnabler& enabler) { enabler.Enable(true); }

TResult TProvocation::EvCommNotify(TParam1 device, TParam2) {
  TMeasureWindow* measure = Model.Steps().LinkedMeasure;
  if (!measure || !Model.MeasureOpen() || static_cast<int>(device) != TMeasureData::IdCommDev)
    return 1;
  TMeasureInterrupt& link = measure->Link();
  link.CommNotify(device);
  // The link has named what went wrong; the run stops as the user's stop does.
  if (link.AnyEndFlag())
    PostMessage(this, WM_COMMAND, CM_STOP, 0);
  return 0;
}

// --- Display ----------------------------------------------------------------------------

void TProvocation::CmZoom() {
  Model.ZoomState = static_cast<short>((Model.ZoomState + 1) % 3);
  update();
}

TResult TProvocation::CmGrid(TParam1, TParam2) {
  if (GetHelpContext())
    return 0;
  GridEnabled = !GridEnabled;
  AnimationSettings::WriteGrid(IniPath, GridEnabled ? 1 : 0);
  update();
  return 1;
}

void TProvocation::CmGridCommand() {
  if (GetHelpContext())
    return;
  CmGrid(0, 0);
  if (Client)
    SendMessage(Client, WM_GRID_CHANGED, 0, 0);
}

void TProvocation::PaintOn(QPainter& painter) {
  Model.ReloadSetup();
  if (!Texts)
    return;
  TPainterSurface surface(painter);
  ProvocationPainter::Paint(surface, {Model, *Texts, Patient, Colors, XScale, YScale, ResolutionIndex, GridEnabled,
                                      Board.get(), Countdown});
}

void TProvocation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintOn(painter);
  // The set-up is read as it is painted; what it holds unusable is named
  // once, after the painting.
  if (!Model.SetupIssues().empty())
    QTimer::singleShot(0, this, [this] { ReportIssues(); });
}

void TProvocation::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Texts)
    for (const TParamIssue& issue : ParamIssues)
      Texts->MessageBoxText(ProvocationTexts::IssueText(*Texts, issue), 0, TMessageIcon::Stop);
  ParamIssues.clear();
}

void TProvocation::ReportIssues() {
  if (!Texts)
    return;
  for (const TSetupIssue& issue : Model.SetupIssues()) {
    const std::string text = ProvocationTexts::IssueText(*Texts, issue, Model.Setup().Material);
    if (std::find(Reported.begin(), Reported.end(), text) != Reported.end())
      continue;
    Reported.push_back(text);
    Texts->MessageBoxText(text, 0, TMessageIcon::Stop);
  }
}

// --- Mouse ------------------------------------------------------------------------------

void TProvocation::MouseMovedTo(QPointF at) {
  const double x = at.x() / XScale;
  const double y = at.y() / YScale;
  const double listTop = ProvocationLayout::ListRectOnScreen(ResolutionIndex, YScale).Top / static_cast<double>(YScale);
  const bool over = !Model.MeasureOpen() && !GetHelpContext() &&
                    (ProvocationLayout::InSetupArea(x, y) ||
                     ProvocationLayout::HeaderColumn(x, y, listTop, HeaderCursorMargin) >= 0);
  if (over == HandCursor)
    return;
  HandCursor = over;
  if (over)
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
}

void TProvocation::MousePressedAt(QPointF at) {
  if (Model.MeasureOpen() || GetHelpContext()) {
    HandCursor = false;
    unsetCursor();
    return;
  }
  const double x = at.x() / XScale;
  const double y = at.y() / YScale;
  if (ProvocationLayout::InSetupArea(x, y)) {
    HandCursor = false;
    unsetCursor();
    RunSetupDialog();
    Reported.clear();
    Model.ReloadSetup();
    if (Client)
      SendMessage(Client, WM_SHOW_CHILD_WINDOW, ChildIndex, 0);
    update();
    return;
  }
  const double listTop = ProvocationLayout::ListRectOnScreen(ResolutionIndex, YScale).Top / static_cast<double>(YScale);
  const int column = ProvocationLayout::HeaderColumn(x, y, listTop, 0);
  if (column < 0 || !HandCursor)
    return;
  const auto k = static_cast<std::size_t>(column);
  short code = Model.ParamCode(k);
  short limit = Model.Limit(k);
  if (!RunParamDialog(code, limit))
    return;
  Model.SetParameter(k, code, limit);
  if (Client)
    SendMessage(Client, WM_SHOW_CHILD_WINDOW, ChildIndex, 0);
  update();
}

void TProvocation::mouseMoveEvent(QMouseEvent* event) { MouseMovedTo(event->position()); }

void TProvocation::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    MousePressedAt(event->position());
}

// --- Commands ---------------------------------------------------------------------------

void TProvocation::CmDde() {
  if (Model.NebulizerRunning() || !Texts)
    return;
  DdeExport::CmDde(
      Texts, IniPath, RunDdeDialog,
      [this](TDDE& dde) {
        const TWaitCursor wait;
        return ProvocationSheet::SendDataToExcel(ProvocationSheet::Rows(Model, *Texts, Patient), dde);
      },
      WorkbookFolder);
}

void TProvocation::CmHelp() {
  if (MainWindow)
    SendMessage(MainWindow, WM_SHOW_HELP, HelpId, 0);
}

void TProvocation::CmAskHelpContext(TParam1 id, TParam2) {
  if (MainWindow)
    SendMessage(MainWindow, WM_SHOW_HELP, id, 0);
}

bool TProvocation::GetHelpContext() const {
  // The client answers for the application; a client that cannot (none, or
  // one that answers 0) leaves the question to the main window.
  if (Client && SendMessage(Client, WM_GET_HELP_MODE) != 0)
    return true;
  return MainWindow && SendMessage(MainWindow, WM_GET_HELP_MODE) != 0;
}

bool TProvocation::CanClose() {
  if (Model.NebulizerRunning() && Link)
    CmStop();
  // The program stores the stages once per window.
  if (!Closed && Client) {
    Closed = true;
    SendMessage(Client, WM_COMMAND, CM_PROVOCATION_CLOSED, 0);
  }
  return true;
}

void TProvocation::closeEvent(QCloseEvent* event) {
  CanClose();
  event->accept();
}
