#include "shell/app/pictures/PictureCanvas.h"

#include <QPainterPath>
#include <QPixmap>

namespace Pictures {

QIcon Render(TDraw draw) {
  QIcon icon;
  for (const int size : {24, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPen Stroke(const QColor& color, qreal width) {
  QPen pen(color, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void Axes(QPainter& painter, qreal base) {
  painter.setPen(Stroke(QColor(150, 160, 175), 1));
  painter.drawLine(QPointF(4, 3), QPointF(4, 21));
  painter.drawLine(QPointF(3, base), QPointF(21, base));
}

void Pips(QPainter& painter, int count) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(Ink);
  for (int i = 0; i < count; ++i)
    painter.drawEllipse(QPointF(21 - 4.0 * i, 21.5), 1.6, 1.6);
  painter.setBrush(Qt::NoBrush);
}

void Triangle(QPainter& painter, QPointF centre, qreal size, bool right, const QColor& fill) {
  const qreal d = right ? size : -size;
  const QPointF points[] = {centre + QPointF(-d * 0.6, -size), centre + QPointF(d, 0),
                            centre + QPointF(-d * 0.6, size)};
  painter.setPen(Stroke(fill.darker(150), 1));
  painter.setBrush(fill);
  painter.drawPolygon(points, 3);
  painter.setBrush(Qt::NoBrush);
}

void Person(QPainter& painter, QPointF at, qreal size) {
  painter.setPen(Stroke(Ink, 1));
  painter.setBrush(Skin);
  painter.drawEllipse(at, 3.2 * size, 3.2 * size);
  QPainterPath body;
  body.moveTo(at + QPointF(-6.5 * size, 12 * size));
  body.cubicTo(at + QPointF(-6.5 * size, 4.5 * size), at + QPointF(6.5 * size, 4.5 * size),
               at + QPointF(6.5 * size, 12 * size));
  body.closeSubpath();
  painter.setBrush(QColor(90, 130, 190));
  painter.drawPath(body);
  painter.setBrush(Qt::NoBrush);
}

void Cross(QPainter& painter) {
  painter.setPen(Stroke(Halt, 2.5));
  painter.drawLine(QPointF(14, 14), QPointF(21, 21));
  painter.drawLine(QPointF(21, 14), QPointF(14, 21));
}

void Nebulizer(QPainter& painter) {
  painter.setPen(Stroke(Ink, 1));
  painter.setBrush(QColor(200, 225, 245));
  painter.drawRoundedRect(QRectF(4, 9, 8, 12), 2, 2);
  painter.setBrush(QColor(120, 170, 220));
  painter.drawRect(QRectF(4.5, 15, 7, 5.5));
  painter.setBrush(Paper);
  painter.drawRect(QRectF(6, 5, 4, 4));
  painter.drawRect(QRectF(10, 5, 6, 2.5));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Trace);
  for (const QPointF drop : {QPointF(18.5, 4.5), QPointF(20.5, 7.5), QPointF(18, 9.5), QPointF(21, 3)})
    painter.drawEllipse(drop, 0.9, 0.9);
  painter.setBrush(Qt::NoBrush);
}

void FlowVolumeLoop(QPainter& painter, qreal left, qreal top, qreal width, qreal height) {
  const auto at = [&](qreal x, qreal y) { return QPointF(left + x * width, top + y * height); };
  QPainterPath loop;
  loop.moveTo(at(0, 0.7));
  loop.cubicTo(at(0.02, 0.3), at(0.1, 0), at(0.2, 0.02));
  loop.cubicTo(at(0.45, 0.15), at(0.8, 0.5), at(1, 0.7));
  loop.cubicTo(at(0.85, 1.05), at(0.15, 1.05), at(0, 0.7));
  painter.setPen(Stroke(Trace, 1.6));
  painter.drawPath(loop);
}

}  // namespace Pictures
