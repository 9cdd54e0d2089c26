#include "trend/Trend.h"

#include "platform/basekit/DdeExport.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "trend/TrendDialogs.h"
#include "trend/TrendExport.h"
#include "trend/TrendGeometry.h"
#include "trend/TrendSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QKeyEvent>

namespace {

constexpr unsigned HelpCommand = 9;
constexpr TParam1 TrendHelpId = 2122;
constexpr TParam1 TrendChildIndex = 3;
constexpr int HeaderCursorMargin = 5;

// Screen class from the screen width: 640, 800, 1024, 1152, 1280, 1600.
int ScreenClass(int width) {
  switch (width) {
  case 640: return 0;
  case 1024: return 2;
  case 1152: return 3;
  case 1280: return 4;
  case 1600: return 5;
  default: return 1;
  }
}

class TWaitCursor {
public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

const TResponseTable& TTrend::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
    Response::Command<&TTrend::CmCommand>(CM_NEW_REF),     Response::Enabler<&TTrend::CmEnable>(CM_NEW_REF),
    Response::Command<&TTrend::CmCommand>(CM_NORMREL),     Response::Enabler<&TTrend::CmEnable>(CM_NORMREL),
    Response::Command<&TTrend::CmCommand>(CM_PREDICTED),   Response::Enabler<&TTrend::CmEnable>(CM_PREDICTED),
    Response::Command<&TTrend::CmCommand>(CM_ZOOM),        Response::Enabler<&TTrend::CmEnable>(CM_ZOOM),
    Response::Command<&TTrend::CmCommand>(CM_GRID),        Response::Enabler<&TTrend::CmEnable>(CM_GRID),
    Response::Command<&TTrend::CmCommand>(CM_LEFT_PRE),    Response::Enabler<&TTrend::CmEnable>(CM_LEFT_PRE),
    Response::Command<&TTrend::CmCommand>(CM_LEFT_NEXT),   Response::Enabler<&TTrend::CmEnable>(CM_LEFT_NEXT),
    Response::Command<&TTrend::CmCommand>(CM_RIGHT_PRE),   Response::Enabler<&TTrend::CmEnable>(CM_RIGHT_PRE),
    Response::Command<&TTrend::CmCommand>(CM_RIGHT_NEXT),  Response::Enabler<&TTrend::CmEnable>(CM_RIGHT_NEXT),
    Response::Command<&TTrend::CmCommand>(CM_TREND_DELETE), Response::Enabler<&TTrend::CmEnable>(CM_TREND_DELETE),
    Response::Command<&TTrend::CmDde>(CM_DDE),         Response::Enabler<&TTrend::CmDdeEnable>(CM_DDE),
    Response::Command<&TTrend::CmHelp>(HelpCommand),
    Response::Message<&TTrend::CmAskHelpContext>(WM_ASK_HELP_CONTEXT),
    Response::Message<&TTrend::EvNormRel>(CM_NORMREL),
    Response::Message<&TTrend::EvPredicted>(CM_PREDICTED),
    Response::Message<&TTrend::EvGrid>(CM_GRID),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TTrend::TTrend(float xScale, float yScale, const TMessage* messages, std::string iniPath, PREDICTED_DATA patient,
               std::string dateFormat, QWidget* parent)
    : QWidget(parent), XScale(xScale), YScale(yScale), Messages(messages), IniPath(std::move(iniPath)),
      Patient(patient), DateFormat(std::move(dateFormat)) {
  setFixedSize(static_cast<int>(DesignWidth * XScale), static_cast<int>(DesignHeight * YScale));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  setPalette(palette);
  setMouseTracking(true);
  Background.load(QStringLiteral(":/pictures/TREND800_600.png"));
  ReadColors();

  const int screenClass = ScreenClass(static_cast<int>(std::lround(800 * XScale)));
  const int listTop = screenClass == 1 ? 96 : screenClass == 2 ? 102 : 100;
  List = new QListWidget(this);
  List->setGeometry(static_cast<int>(9 * XScale), static_cast<int>(listTop * YScale), static_cast<int>(732 * XScale),
                    static_cast<int>(189 * YScale));
  QFont font(QStringLiteral("Liberation Mono"));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(10 * 96.0 / 72.0 * YScale))));
  font.setBold(true);
  List->setFont(font);
  QObject::connect(List, &QListWidget::currentRowChanged, this, [this](int row) {
    if (Filling)
      return;
    TrendModel.SetSelection(row);
    if (!TrendModel.Relative())
      RedrawScreenBmp();
  });

  TrendModel.SetRequest([this](short flags, const std::string& key) {
    SendMessage(Client, WM_READ_TREND_DATA, static_cast<TParam1>(static_cast<unsigned short>(flags)),
                reinterpret_cast<TParam2>(key.c_str()));
  });
  TrendModel.Params = TrendSettings::ReadSelectedTrendParams(IniPath);
  TrendModel.Grid = TrendSettings::ReadGrid(IniPath);
  RunDdeDialog = [this](TTDdeDialogStruct& settings) {
    if (!Messages)
      return false;
    TDdeDialog dialog(*Messages, this, settings);
    return dialog.exec() == QDialog::Accepted;
  };
  RunParamDialog = [this](short& slot) {
    TTrendParam dialog(Messages, &slot, this, MainWindow);
    return dialog.exec() == QDialog::Accepted;
  };
}

void TTrend::keyPressEvent(QKeyEvent* event) {
  // The Delete key deletes the selected line, as the main program's keys do.
  if (event->key() == Qt::Key_Delete) {
    RunCommand(CM_TREND_DELETE, false);
    return;
  }
  QWidget::keyPressEvent(event);
}

TTrend::~TTrend() { WriteSelectedTrendParams(); }

void TTrend::ReadColors() {
  // The system's colour set: the trend's curves take the entries of the
  // measurement window's trials and the two after them.
  constexpr std::size_t HeaderBackground = 15;
  constexpr std::size_t HeaderText = 16;
  TUtil set;
  set.ReadColors(IniPath);
  const auto colour = [&set](std::size_t entry) {
    const TColor c = set.GetColor(entry);
    return QColor(c.R, c.G, c.B);
  };
  Colors.PlotBackground = colour(TUtil::Background);
  Colors.Axis = colour(TUtil::Axis);
  Colors.Grid = colour(TUtil::Grid);
  Colors.HeaderBackground = colour(HeaderBackground);
  Colors.HeaderText = colour(HeaderText);
  for (std::size_t i = 0; i < Colors.Curves.size(); ++i)
    Colors.Curves[i] = colour(TUtil::Trial1 + i);
}

void TTrend::AddDataToTrendListBox(const char* date, const char* time, const float* values, const float* predicted,
                                   char marker, short flags) {
  std::array<float, TrendSlots> v{}, p{};
  for (int i = 0; i < TrendSlots; ++i) {
    v[i] = values ? values[i] : 0.0f;
    p[i] = predicted ? predicted[i] : 0.0f;
  }
  const int before = TrendModel.Count();
  TrendModel.AddDataToTrendListBox(date ? date : "", time ? time : "", v, p, marker, flags);
  // During the window's own reloads the list is filled once at the end;
  // otherwise the new line goes where the model put it.
  if (Reloading || TrendModel.Count() == before)
    return;
  Filling = true;
  if (flags & TrendFlags::Earlier)
    List->insertItem(0, QString::fromStdString(TrendModel.Lines().front().Text));
  else
    List->addItem(QString::fromStdString(TrendModel.Lines().back().Text));
  Filling = false;
}

bool TTrend::GetGridStatus() const { return TrendSettings::ReadGrid(IniPath); }

bool TTrend::WriteSelectedTrendParams() { return TrendSettings::WriteSelectedTrendParams(IniPath, TrendModel.Params); }

bool TTrend::CanClose() {
  if (Client)
    SendMessage(Client, WM_COMMAND, CM_TREND_CLOSED, 0);
  return true;
}

void TTrend::closeEvent(QCloseEvent* event) {
  CanClose();
  event->accept();
}

void TTrend::FillList() {
  Filling = true;
  List->clear();
  for (const TTrendLine& line : TrendModel.Lines())
    List->addItem(QString::fromStdString(line.Text));
  if (TrendModel.Selection() >= 0)
    List->setCurrentRow(TrendModel.Selection());
  Filling = false;
}

TTrendPageContext TTrend::Context() const {
  return {TrendModel, Messages, Patient, DateFormat, Colors, &Background};
}

void TTrend::RedrawScreenBmp() {
  QImage image(static_cast<int>(800 * XScale), static_cast<int>(600 * YScale), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    painter.scale(XScale, YScale);
    TrendPainter::PaintScreen(painter, Context(), TrendModel.CurveDrawn);
  }
  Screen = std::move(image);
  update();
}

void TTrend::CopyScreen() { Screen = grab().toImage(); }

void TTrend::DeleteScreenBmp() { Screen = QImage(); }

void TTrend::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!Screen.isNull()) {
    painter.drawImage(0, 0, Screen);
    return;
  }
  painter.scale(XScale, YScale);
  std::array<bool, 5> drawn{};
  TrendPainter::PaintScreen(painter, Context(), drawn);
}

bool TTrend::HelpMode() const { return MainWindow && SendMessage(MainWindow, WM_GET_HELP_MODE) != 0; }

void TTrend::Notify(unsigned message, TParam1 wParam) {
  if (Client)
    SendMessage(Client, message, wParam, 0);
}

void TTrend::RunCommand(unsigned id, bool notify) {
  if (HelpMode())
    return;
  const bool busy = id != CM_ZOOM && id != CM_GRID;
  std::unique_ptr<TWaitCursor> wait = busy ? std::make_unique<TWaitCursor>() : nullptr;
  Reloading = true;
  const bool changed = TrendModel.Command(id);
  Reloading = false;
  if (!changed)
    return;
  FillList();
  if (id == CM_GRID)
    TrendSettings::WriteGrid(IniPath, TrendModel.Grid);
  RedrawScreenBmp();
  if (!notify)
    return;
  if (id == CM_NORMREL)
    Notify(WM_NORMREL_CHANGED, TrendModel.Relative());
  else if (id == CM_PREDICTED)
    Notify(WM_PREDICTED_CHANGED, TrendModel.Predicted());
  else if (id == CM_GRID)
    Notify(WM_GRID_CHANGED, TrendModel.Grid);
}

void TTrend::CmCommand(unsigned id) { RunCommand(id, true); }

void TTrend::CmEnable(TCommandEnabler& enabler) { enabler.Enable(TrendModel.IsEnabled(enabler.GetId())); }

void TTrend::CmHelp() {
  if (MainWindow)
    SendMessage(MainWindow, WM_SHOW_HELP, TrendHelpId, 0);
}

void TTrend::CmAskHelpContext(TParam1 id, TParam2) {
  if (MainWindow)
    SendMessage(MainWindow, WM_SHOW_HELP, id, 0);
}

void TTrend::mouseMoveEvent(QMouseEvent* event) {
  if (TrendModel.Relative())
    return;
  const QPointF at(event->position().x() / XScale, event->position().y() / YScale);
  const bool over = TrendGeometry::HeaderColumnAt(at.x(), at.y(), HeaderCursorMargin).has_value();
  if (over != OverColumn) {
    OverColumn = over;
    if (over)
      setCursor(Qt::PointingHandCursor);
    else
      unsetCursor();
  }
}

void TTrend::mousePressEvent(QMouseEvent* event) {
  if (HelpMode() || TrendModel.Relative()) {
    OverColumn = false;
    unsetCursor();
    return;
  }
  if (!OverColumn || event->button() != Qt::LeftButton)
    return;
  const QPointF at(event->position().x() / XScale, event->position().y() / YScale);
  const auto column = TrendGeometry::HeaderColumnAt(at.x(), at.y(), 0);
  if (!column)
    return;
  short slot = TrendModel.Params[static_cast<std::size_t>(*column)];
  if (!RunParamDialog(slot))
    return;
  TrendModel.Params[static_cast<std::size_t>(*column)] = slot;
  TrendModel.CurveDrawn.fill(false);
  {
    TWaitCursor wait;
    Reloading = true;
    TrendModel.ReadParametersFromDatabase();
    Reloading = false;
  }
  FillList();
  RedrawScreenBmp();
  Notify(WM_SHOW_CHILD_WINDOW, TrendChildIndex);
}

int TTrend::CalculateTrendHeight(short pageBottom, short firstTop, short nextTop, bool keepSpace) {
  int used = 0;
  for (const short number : TrendModel.Params)
    used += number != -1;
  const bool graph = !(TrendModel.Relative() && !TrendModel.Predicted());
  Plan = TrendPrint::Plan(TrendModel.Count(),
                          graph ? TrendPrint::PenDemoHeight(used) + TTrendPrintLayout::GraphHeight : 0,
                          {pageBottom, firstTop, nextTop, keepSpace});
  return Plan.TotalHeight;
}

void TTrend::PrintTrend(QPainter& painter, short page) {
  // The print-out is laid out in 800 x 600 units, as the page header above
  // it is: the window's factors scale both alike, so the table starts
  // below the header at every screen size.
  painter.save();
  painter.scale(XScale, YScale);
  TrendPainter::PaintPrintPage(painter, Context(), Plan, page, TrendSettings::ReadDottedLines(IniPath));
  painter.restore();
}

void TTrend::CmDde() {
  if (HelpMode())
    return;
  DdeExport::CmDde(Messages, IniPath, RunDdeDialog, [this](TDDE& dde) {
    const TWaitCursor wait;
    TConnectionPokes<TDDE> pokes(dde);
    return SendDataToExcel(pokes);
  });
}

void TTrend::CmDdeEnable(TCommandEnabler& enabler) { enabler.Enable(TrendModel.Count() > 0); }

bool TTrend::SendDataToExcel(TTrendPokeTarget& target) const {
  const bool comma = Messages && Messages->GetLanguageName() == "Magyar";
  return TrendExport::SendDataToExcel(TrendExport::Rows(TrendModel, Patient, comma), target);
}
