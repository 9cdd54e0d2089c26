#include "measure/window/ParamListView.h"

#include "measure/results/ParamList.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

TParamListView::TParamListView(TParamList& list, QWidget* parent) : QListWidget(parent), List(list) {
  setObjectName(QString::number(TCalibList::ControlId));
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  // Every kind but rhinomanometry keeps its scroll bar, disabled when not needed.
  setVerticalScrollBarPolicy(list.GetTestKind() == 6 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn);
  List.OnChanged = [this] { Refresh(); };
  Refresh();
}

TParamListView::~TParamListView() { List.OnChanged = nullptr; }

void TParamListView::Refresh() {
  const TListFont& chosen = List.GetFont();
  QFont font(QString::fromLatin1(TListFont::Face));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSize(chosen.Points);
  font.setWeight(QFont::Bold);
  setFont(font);
  clear();
  for (const std::string& line : List.GetLines())
    addItem(QString::fromStdString(line));
}

MeasureTexts::TListGrid TParamListView::TextGrid(const QWidget& ancestor) const {
  // An item's text starts a focus-frame margin and one pixel into its cell.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const int cell = count() > 0 ? visualItemRect(item(0)).left() : 0;
  const int left = viewport()->mapTo(&ancestor, QPoint(cell + margin, 0)).x();
  return {left, {TListFont::Face, QFontInfo(font()).pixelSize(), TListFont::Weight}};
}

QCursor TParamListView::ZoomCursor() {
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::white, 5));
  painter.drawEllipse(QPointF(12, 12), 8, 8);
  painter.drawLine(QPointF(18, 18), QPointF(28, 28));
  painter.setPen(QPen(Qt::black, 2.5));
  painter.drawEllipse(QPointF(12, 12), 8, 8);
  painter.drawLine(QPointF(18, 18), QPointF(28, 28));
  painter.drawLine(QPointF(8, 12), QPointF(16, 12));
  painter.drawLine(QPointF(12, 8), QPointF(12, 16));
  painter.end();
  return QCursor(picture, 12, 12);
}

void TParamListView::mouseMoveEvent(QMouseEvent* event) {
  QListWidget::mouseMoveEvent(event);
  const QPoint at = event->position().toPoint();
  switch (List.EvMouseMove(at.x(), at.y())) {
  case TParamList::TCursorChange::Zoom: viewport()->setCursor(ZoomCursor()); break;
  case TParamList::TCursorChange::Arrow: viewport()->setCursor(Qt::ArrowCursor); break;
  case TParamList::TCursorChange::None: break;
  }
}

void TParamListView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() != Qt::LeftButton || !List.EvLButtonDown(at.x(), at.y()))
    QListWidget::mousePressEvent(event);
}
