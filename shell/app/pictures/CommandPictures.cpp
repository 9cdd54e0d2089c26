// The pictures of the patient, file, view and navigation commands, for a
// desktop whose icon theme lacks them (or that has none).

#include "shell/app/pictures/DrawnPictures.h"

#include <QPainterPath>

#include <array>

namespace {

using namespace Pictures;

void DrawZoom(QPainter& p) {
  p.setPen(Stroke(Ink, 1.6));
  p.setBrush(QColor(215, 235, 245));
  p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(Ink, 3));
  p.drawLine(QPointF(15, 15), QPointF(21, 21));
  p.setPen(Stroke(Ink, 1.5));
  p.drawLine(QPointF(7, 10), QPointF(13, 10));
  p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void DrawPrePost(QPainter& p) {
  Axes(p);
  QPainterPath before;
  before.moveTo(4, 20);
  before.cubicTo(6, 10, 9, 8, 20, 12);
  QPen dashed = Stroke(QColor(130, 130, 130), 1.3);
  dashed.setStyle(Qt::DashLine);
  p.setPen(dashed);
  p.drawPath(before);
  QPainterPath after;
  after.moveTo(4, 20);
  after.cubicTo(6, 5, 9, 3, 20, 7);
  p.setPen(Stroke(Trace, 1.6));
  p.drawPath(after);
}

void DrawStop(QPainter& p) {
  p.setPen(Stroke(Halt.darker(150), 1));
  p.setBrush(Halt);
  p.drawRoundedRect(QRectF(5, 5, 14, 14), 1.5, 1.5);
  p.setBrush(Qt::NoBrush);
}

// Start of the first, second or third trial.
template <int N>
void DrawStart(QPainter& p) {
  Triangle(p, QPointF(11, 10.5), 7, true, Go);
  Pips(p, N);
}

void DrawCake(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(245, 215, 170));
  p.drawRect(QRectF(4, 13, 16, 8));
  p.setBrush(QColor(240, 150, 180));
  p.drawRect(QRectF(4, 13, 16, 3));
  p.setBrush(Paper);
  p.drawRect(QRectF(11, 6, 2, 7));
  p.setPen(Qt::NoPen);
  p.setBrush(Warm);
  QPainterPath flame;
  flame.moveTo(12, 1.5);
  flame.cubicTo(14.5, 4, 13.5, 6, 12, 6);
  flame.cubicTo(10.5, 6, 9.5, 4, 12, 1.5);
  p.drawPath(flame);
  p.setBrush(Qt::NoBrush);
}

// The result table with the first, second or third of its layouts marked.
template <int N>
void DrawTable(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 220, 120));
  p.drawRect(QRectF(3 + 6 * (N - 1), 4, 6, 16));
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(Ink, 1));
  p.drawRect(QRectF(3, 4, 18, 16));
  p.drawLine(QPointF(9, 4), QPointF(9, 20));
  p.drawLine(QPointF(15, 4), QPointF(15, 20));
  for (const qreal y : {8.0, 12.0, 16.0})
    p.drawLine(QPointF(3, y), QPointF(21, y));
}

void DrawGrid(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.drawRect(QRectF(3, 3, 18, 18));
  QPen dotted = Stroke(Ink, 0.8);
  dotted.setStyle(Qt::DotLine);
  p.setPen(dotted);
  for (const qreal at : {7.5, 12.0, 16.5}) {
    p.drawLine(QPointF(at, 3), QPointF(at, 21));
    p.drawLine(QPointF(3, at), QPointF(21, at));
  }
}

void PlusSign(QPainter& p, QPointF at) {
  p.setPen(Stroke(Go, 2.4));
  p.drawLine(at + QPointF(-3.5, 0), at + QPointF(3.5, 0));
  p.drawLine(at + QPointF(0, -3.5), at + QPointF(0, 3.5));
}

void DrawPatientNew(QPainter& p) {
  Person(p, QPointF(9, 7));
  PlusSign(p, QPointF(18.5, 5.5));
}

void DrawPatientSearch(QPainter& p) {
  Person(p, QPointF(8, 7), 0.8);
  p.setPen(Stroke(Ink, 1.4));
  p.setBrush(QColor(215, 235, 245, 200));
  p.drawEllipse(QPointF(15, 13), 4.5, 4.5);
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(Ink, 2.4));
  p.drawLine(QPointF(18.5, 16.5), QPointF(22, 20));
}

void DrawPatientList(QPainter& p) {
  for (int row = 0; row < 3; ++row) {
    const qreal y = 5 + 6.5 * row;
    p.setPen(Stroke(Ink, 0.8));
    p.setBrush(Skin);
    p.drawEllipse(QPointF(4.5, y), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(Ink, 1.6));
    p.drawLine(QPointF(9, y), QPointF(21, y));
  }
}

void DrawSave(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(70, 110, 170));
  p.drawRoundedRect(QRectF(3, 3, 18, 18), 1.5, 1.5);
  p.setBrush(Paper);
  p.drawRect(QRectF(6, 3, 12, 7));
  p.setBrush(QColor(150, 160, 175));
  p.drawRect(QRectF(7, 14, 10, 7));
  p.setBrush(Ink);
  p.drawRect(QRectF(14, 4.5, 2.5, 4));
  p.setBrush(Qt::NoBrush);
}

// Arrows to the first, previous, next and last patient.
void PatientStep(QPainter& p, bool forward, bool toEnd) {
  Triangle(p, QPointF(forward ? 11 : 13, 12), 6, forward, Trace);
  if (toEnd) {
    p.setPen(Stroke(Trace.darker(130), 2.4));
    const qreal x = forward ? 19.5 : 4.5;
    p.drawLine(QPointF(x, 6), QPointF(x, 18));
  }
}

void DrawFirst(QPainter& p) { PatientStep(p, false, true); }
void DrawPrevious(QPainter& p) { PatientStep(p, false, false); }
void DrawNext(QPainter& p) { PatientStep(p, true, false); }
void DrawLast(QPainter& p) { PatientStep(p, true, true); }

void DrawBrowse(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(240, 200, 100));
  QPainterPath folder;
  folder.moveTo(2, 6);
  folder.lineTo(9, 6);
  folder.lineTo(11, 8);
  folder.lineTo(22, 8);
  folder.lineTo(22, 20);
  folder.lineTo(2, 20);
  folder.closeSubpath();
  p.drawPath(folder);
  p.setBrush(Qt::NoBrush);
  FlowVolumeLoop(p, 6, 10, 12, 8);
}

void DrawNote(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(255, 245, 170));
  p.drawRect(QRectF(3, 3, 14, 18));
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(QColor(150, 150, 150), 1));
  for (const qreal y : {7.0, 10.5, 14.0, 17.5})
    p.drawLine(QPointF(5, y), QPointF(15, y));
  p.setPen(Stroke(Warm.darker(120), 2.6));
  p.drawLine(QPointF(12, 17), QPointF(21, 8));
}

void DrawCancel(QPainter& p) {
  QPainterPath back;
  back.moveTo(7, 9);
  back.lineTo(15, 9);
  back.cubicTo(22, 9, 22, 20, 15, 20);
  back.lineTo(9, 20);
  p.setPen(Stroke(Halt, 2));
  p.drawPath(back);
  Triangle(p, QPointF(6, 9), 4, false, Halt);
}

void DrawNewReference(QPainter& p) {
  Axes(p);
  QPen dashed = Stroke(Go, 1.4);
  dashed.setStyle(Qt::DashLine);
  p.setPen(dashed);
  p.drawLine(QPointF(4, 11), QPointF(21, 11));
  const std::array<QPointF, 4> points{QPointF(5, 16), QPointF(10, 11), QPointF(15, 13), QPointF(20, 7)};
  p.setPen(Stroke(Trace, 1.4));
  p.drawPolyline(points.data(), static_cast<int>(points.size()));
  p.setPen(Stroke(Go.darker(130), 1));
  p.setBrush(Go);
  p.drawEllipse(points[1], 2, 2);
  p.setBrush(Qt::NoBrush);
}

void DrawRelative(QPainter& p) {
  Axes(p);
  p.setPen(Stroke(Ink, 0.8));
  p.setBrush(QColor(120, 170, 220));
  p.drawRect(QRectF(6.5, 12, 4, 8));
  p.drawRect(QRectF(14, 6, 4, 14));
  p.setBrush(Qt::NoBrush);
  QPen dashed = Stroke(Halt, 1.2);
  dashed.setStyle(Qt::DashLine);
  p.setPen(dashed);
  p.drawLine(QPointF(4, 9), QPointF(21, 9));
}

void DrawPredicted(QPainter& p) {
  Axes(p);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(190, 230, 190));
  p.drawRect(QRectF(4.5, 8, 16.5, 7));
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(Go.darker(130), 1.2));
  p.drawLine(QPointF(4.5, 11.5), QPointF(21, 11.5));
  p.setPen(Stroke(Trace, 1.5));
  p.drawLine(QPointF(6, 17), QPointF(20, 6));
}

// Steps through the examinations of the left or the right chart.
void ChartSide(QPainter& p, bool left, bool forward) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(Paper);
  p.drawRect(QRectF(2, 4, 20, 16));
  p.setBrush(QColor(200, 220, 240));
  p.drawRect(QRectF(left ? 2 : 12, 4, 10, 16));
  p.setBrush(Qt::NoBrush);
  Triangle(p, QPointF(left ? 7 : 17, 12), 3.6, forward, Trace);
}

void DrawLeftBack(QPainter& p) { ChartSide(p, true, false); }
void DrawLeftOn(QPainter& p) { ChartSide(p, true, true); }
void DrawRightBack(QPainter& p) { ChartSide(p, false, false); }
void DrawRightOn(QPainter& p) { ChartSide(p, false, true); }

void DrawSpreadsheet(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(Paper);
  p.drawRect(QRectF(2, 3, 20, 18));
  p.setBrush(QColor(60, 150, 80));
  p.drawRect(QRectF(2, 3, 20, 4));
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(QColor(150, 160, 175), 0.8));
  for (const qreal y : {11.0, 15.0})
    p.drawLine(QPointF(2, y), QPointF(22, y));
  for (const qreal x : {8.5, 15.0})
    p.drawLine(QPointF(x, 7), QPointF(x, 21));
}

void DrawPrint(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(Paper);
  p.drawRect(QRectF(7, 2, 10, 7));
  p.setBrush(QColor(150, 160, 175));
  p.drawRoundedRect(QRectF(2, 9, 20, 9), 1.5, 1.5);
  p.setBrush(Paper);
  p.drawRect(QRectF(6, 14, 12, 8));
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(QColor(150, 150, 150), 0.8));
  p.drawLine(QPointF(8, 17), QPointF(16, 17));
  p.drawLine(QPointF(8, 19.5), QPointF(14, 19.5));
}

constexpr std::array<TNamedDrawing, 31> CommandDrawings{{
    {"2002", DrawZoom},
    {"2006", DrawPrePost},
    {"2009", DrawStop},
    {"2011", DrawStart<1>},
    {"2012", DrawStart<2>},
    {"2013", DrawStart<3>},
    {"2014", DrawCake},
    {"2021", DrawTable<1>},
    {"2022", DrawTable<2>},
    {"2023", DrawTable<3>},
    {"2025", DrawGrid},
    {"2110", DrawPatientNew},
    {"2111", DrawPatientSearch},
    {"2112", DrawPatientList},
    {"2114", DrawSave},
    {"2115", DrawFirst},
    {"2116", DrawPrevious},
    {"2117", DrawNext},
    {"2118", DrawLast},
    {"2120", DrawBrowse},
    {"2123", DrawNote},
    {"2124", DrawCancel},
    {"2128", DrawNewReference},
    {"2129", DrawRelative},
    {"2156", DrawPredicted},
    {"2130", DrawLeftBack},
    {"2131", DrawLeftOn},
    {"2132", DrawRightBack},
    {"2133", DrawRightOn},
    {"2138", DrawSpreadsheet},
    {"24337", DrawPrint},
}};

}  // namespace

namespace Pictures {

std::span<const TNamedDrawing> Commands() { return CommandDrawings; }

}  // namespace Pictures
