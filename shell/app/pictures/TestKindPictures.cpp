// The pictures of the test kinds and of the instruments' commands: what a
// technician recognises from the lab (a flow-volume loop, a syringe, a body
// box, a nose, headphones) rather than letters.

#include "shell/app/pictures/DrawnPictures.h"

#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

using namespace Pictures;

void DrawFvc(QPainter& p) {
  Axes(p, 13);
  FlowVolumeLoop(p, 4, 3, 17, 14);
}

void DrawVc(QPainter& p) {
  Axes(p);
  QPainterPath slow;
  slow.moveTo(4, 20);
  slow.cubicTo(7, 20, 7, 6, 11, 6);
  slow.lineTo(14, 6);
  slow.cubicTo(18, 6, 18, 20, 21, 20);
  p.setPen(Stroke(Trace, 1.6));
  p.drawPath(slow);
}

void DrawMvv(QPainter& p) {
  Axes(p, 12);
  QPainterPath fast;
  fast.moveTo(4, 12);
  for (int i = 0; i < 4; ++i) {
    const qreal x = 4 + 4.2 * i;
    fast.quadTo(x + 1.05, 4, x + 2.1, 12);
    fast.quadTo(x + 3.15, 20, x + 4.2, 12);
  }
  p.setPen(Stroke(Trace, 1.4));
  p.drawPath(fast);
}

void Lungs(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(240, 160, 170));
  QPainterPath left;
  left.moveTo(10.5, 7);
  left.cubicTo(5, 6, 2.5, 15, 3.5, 20);
  left.cubicTo(6, 21, 9, 20, 10.5, 18);
  left.closeSubpath();
  p.drawPath(left);
  QPainterPath right;
  right.moveTo(13.5, 7);
  right.cubicTo(19, 6, 21.5, 15, 20.5, 20);
  right.cubicTo(18, 21, 15, 20, 13.5, 18);
  right.closeSubpath();
  p.drawPath(right);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(12, 2), QPointF(12, 10));
}

void DrawDfc(QPainter& p) {
  Lungs(p);
  p.setPen(Stroke(Ink, 0.8));
  p.setBrush(QColor(250, 220, 60));
  p.drawEllipse(QPointF(7, 15), 1.8, 1.8);
  p.setBrush(QColor(120, 200, 240));
  p.drawEllipse(QPointF(17, 13), 1.8, 1.8);
  p.drawEllipse(QPointF(16.5, 17.5), 1.3, 1.3);
  p.setBrush(Qt::NoBrush);
}

void DrawBodyBox(QPainter& p) {
  p.setPen(Stroke(Ink, 1.2));
  p.setBrush(QColor(215, 235, 245));
  p.drawRoundedRect(QRectF(3, 2, 18, 20), 2.5, 2.5);
  p.setBrush(Qt::NoBrush);
  Person(p, QPointF(12, 9), 0.85);
  p.setPen(Stroke(Ink, 1));
  p.drawLine(QPointF(3, 19.5), QPointF(21, 19.5));
}

// A breathing tube with a shutter flap across it.
void Shutter(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(Paper);
  p.drawRect(QRectF(2, 8, 20, 7));
  p.setPen(Stroke(Halt, 2.2));
  p.drawLine(QPointF(12, 6), QPointF(12, 17));
  p.setPen(Stroke(Trace, 1.2));
  p.drawLine(QPointF(4, 11.5), QPointF(9, 11.5));
  p.setBrush(Qt::NoBrush);
}

void DrawShutterTest(QPainter& p) {
  Shutter(p);
  p.setPen(Stroke(Trace, 1.2));
  p.drawLine(QPointF(4, 21), QPointF(20, 17));
}

template <int N>
void DrawShutterEnable(QPainter& p) {
  Shutter(p);
  Pips(p, N);
}

void NoseProfile(QPainter& p) {
  QPainterPath nose;
  nose.moveTo(9, 2);
  nose.cubicTo(10, 7, 16, 12, 17, 15);
  nose.cubicTo(17.5, 17, 15, 17.5, 13, 17);
  nose.cubicTo(12, 18, 10, 18, 9, 18);
  p.setPen(Stroke(Ink, 1.4));
  p.setBrush(Skin);
  p.drawPath(nose);
  p.setBrush(Qt::NoBrush);
}

void DrawRhino(QPainter& p) {
  NoseProfile(p);
  p.setPen(Stroke(Trace, 1.2));
  p.drawLine(QPointF(14, 20.5), QPointF(21, 20.5));
  Triangle(p, QPointF(14, 20.5), 1.6, false, Trace);
}

// The nose from the front, one nostril marked.
void NoseFront(QPainter& p, int marked) {
  QPainterPath nose;
  nose.moveTo(12, 2);
  nose.cubicTo(11, 8, 5, 13, 5, 17);
  nose.cubicTo(5, 20, 9, 20.5, 12, 19.5);
  nose.cubicTo(15, 20.5, 19, 20, 19, 17);
  nose.cubicTo(19, 13, 13, 8, 12, 2);
  p.setPen(Stroke(Ink, 1.2));
  p.setBrush(Skin);
  p.drawPath(nose);
  for (int side = 0; side < 2; ++side) {
    p.setBrush(side == marked ? Trace : QColor(150, 110, 90));
    p.drawEllipse(QPointF(side == 0 ? 8.8 : 15.2, 17), side == marked ? 2.3 : 1.7, 1.4);
  }
  p.setBrush(Qt::NoBrush);
}

// The patient's left nostril is on the picture's right, as the technician faces the patient.
void DrawLeftNose(QPainter& p) { NoseFront(p, 1); }
void DrawRightNose(QPainter& p) { NoseFront(p, 0); }

void DrawPosterior(QPainter& p) {
  NoseProfile(p);
  p.setPen(Stroke(Trace, 1.4));
  p.drawLine(QPointF(13, 20.5), QPointF(3, 20.5));
  Triangle(p, QPointF(4, 20.5), 1.8, false, Trace);
}

void DrawProvocation(QPainter& p) { Nebulizer(p); }

void DrawAudiometer(QPainter& p) {
  p.setPen(Stroke(Ink, 2));
  p.drawArc(QRectF(4, 3, 16, 16), 0, 180 * 16);
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(200, 60, 60));
  p.drawRoundedRect(QRectF(2.5, 10, 5, 9), 2, 2);
  p.setBrush(QColor(60, 90, 200));
  p.drawRoundedRect(QRectF(16.5, 10, 5, 9), 2, 2);
  p.setBrush(Qt::NoBrush);
}

void DrawTrend(QPainter& p) {
  Axes(p);
  const std::array<QPointF, 5> points{QPointF(5, 17), QPointF(9, 14), QPointF(13, 15), QPointF(17, 9), QPointF(20, 6)};
  p.setPen(Stroke(Trace, 1.5));
  p.drawPolyline(points.data(), static_cast<int>(points.size()));
  p.setPen(Qt::NoPen);
  p.setBrush(Warm);
  for (const QPointF& point : points)
    p.drawEllipse(point, 1.4, 1.4);
  p.setBrush(Qt::NoBrush);
}

// The tests' tool box: a clipboard with a loop on it.
void Clipboard(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(Paper);
  p.drawRoundedRect(QRectF(3, 3, 15, 19), 1.5, 1.5);
  p.setBrush(QColor(150, 160, 175));
  p.drawRect(QRectF(7, 1.5, 7, 3));
  p.setBrush(Qt::NoBrush);
  FlowVolumeLoop(p, 5, 7, 11, 10);
}

void DrawTestMenu(QPainter& p) {
  Clipboard(p);
  Triangle(p, QPointF(20.5, 12), 2.5, true, Go);
}

void DrawTestMenuClose(QPainter& p) {
  Clipboard(p);
  Cross(p);
}

void DrawEcg(QPainter& p) {
  p.setPen(Stroke(QColor(240, 190, 190), 0.6));
  for (int i = 4; i < 24; i += 4) {
    p.drawLine(QPointF(i, 2), QPointF(i, 22));
    p.drawLine(QPointF(2, i), QPointF(22, i));
  }
  const std::array<QPointF, 9> beat{QPointF(1, 14), QPointF(6, 14),  QPointF(8, 12),  QPointF(9, 14), QPointF(11, 3),
                                    QPointF(13, 19), QPointF(15, 14), QPointF(18, 12), QPointF(23, 14)};
  p.setPen(Stroke(Halt, 1.5));
  p.drawPolyline(beat.data(), static_cast<int>(beat.size()));
}

void DrawGas(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(120, 180, 120));
  p.drawRoundedRect(QRectF(6, 6, 8, 16), 3, 3);
  p.setBrush(QColor(150, 160, 175));
  p.drawRect(QRectF(8.5, 3, 3, 3));
  p.drawRect(QRectF(11.5, 3.5, 4, 1.5));
  p.setBrush(QColor(120, 200, 240));
  p.drawEllipse(QPointF(18.5, 9), 2, 2);
  p.drawEllipse(QPointF(19.5, 14), 1.4, 1.4);
  p.setBrush(Qt::NoBrush);
}

void DrawZero(QPainter& p) {
  p.setPen(Stroke(Ink, 1.2));
  p.setBrush(Paper);
  p.drawPie(QRectF(2, 5, 20, 20), 0, 180 * 16);
  p.setPen(Stroke(Ink, 1));
  for (int i = 0; i <= 6; ++i) {
    const qreal angle = M_PI * i / 6;
    const QPointF centre(12, 15);
    p.drawLine(centre + QPointF(8.5 * std::cos(angle), -8.5 * std::sin(angle)),
               centre + QPointF(10 * std::cos(angle), -10 * std::sin(angle)));
  }
  p.setPen(Stroke(Halt, 1.6));
  p.drawLine(QPointF(12, 15), QPointF(12, 7));
  p.setPen(Stroke(Ink, 1.2));
  p.drawLine(QPointF(2, 15), QPointF(22, 15));
  p.setBrush(Ink);
  p.drawEllipse(QPointF(12, 15), 1.2, 1.2);
  p.setBrush(Qt::NoBrush);
}

void DrawSyringe(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(215, 235, 245));
  p.drawRect(QRectF(6, 8, 13, 8));
  p.setBrush(QColor(150, 160, 175));
  p.drawRect(QRectF(19, 10.5, 3, 3));
  p.drawRect(QRectF(8, 8.5, 2, 7));
  p.drawLine(QPointF(2, 12), QPointF(8, 12));
  p.drawRect(QRectF(1, 8.5, 1.5, 7));
  p.setPen(Stroke(Ink, 0.7));
  for (const qreal x : {12.0, 14.5, 17.0})
    p.drawLine(QPointF(x, 8), QPointF(x, 10.5));
  p.setBrush(Qt::NoBrush);
}

void DrawMicrophone(QPainter& p) {
  p.setPen(Stroke(Ink, 1));
  p.setBrush(QColor(150, 160, 175));
  p.drawRoundedRect(QRectF(9, 2, 6, 11), 3, 3);
  p.setBrush(Qt::NoBrush);
  p.setPen(Stroke(Ink, 1.4));
  p.drawArc(QRectF(6, 5, 12, 11), 180 * 16, 180 * 16);
  p.drawLine(QPointF(12, 16), QPointF(12, 20));
  p.drawLine(QPointF(8, 21), QPointF(16, 21));
}

// The tone as it is presented: steady, pulsed, or warbled.
void Tone(QPainter& p, int mode) {
  QPainterPath wave;
  wave.moveTo(2, 12);
  for (qreal x = 2; x <= 22; x += 0.25) {
    // The warble's pitch swings; the pulses are bursts with silence between.
    const qreal phase = mode == 2 ? 0.9 * (x - 2) + 2.2 * std::sin((x - 2) / 2.5) : 0.9 * (x - 2);
    const bool on = mode != 1 || std::fmod(x - 2, 7) < 4.5;
    const qreal y = on ? 12 - 6 * std::sin(phase) : 12;
    if (mode == 1 && std::fmod(x - 2, 7) < 0.25)
      wave.moveTo(x, y);
    else
      wave.lineTo(x, y);
  }
  p.setPen(Stroke(Trace, 1.3));
  p.drawPath(wave);
}

void DrawToneSteady(QPainter& p) { Tone(p, 0); }
void DrawTonePulsed(QPainter& p) { Tone(p, 1); }
void DrawToneWarbled(QPainter& p) { Tone(p, 2); }

// The threshold search's steps of level, with the method's number in pips.
template <int N>
void DrawMethod(QPainter& p) {
  const std::array<QPointF, 9> steps{QPointF(2, 5),  QPointF(6, 5),  QPointF(6, 11), QPointF(10, 11), QPointF(10, 8),
                                     QPointF(14, 8), QPointF(14, 14), QPointF(18, 14), QPointF(18, 11)};
  p.setPen(Stroke(Trace, 1.5));
  p.drawPolyline(steps.data(), static_cast<int>(steps.size()));
  Pips(p, N);
}

void Breaths(QPainter& p, qreal frequency) {
  QPainterPath wave;
  wave.moveTo(2, 12);
  for (qreal x = 2; x <= 22; x += 0.25)
    wave.lineTo(x, 12 - 6 * std::sin((x - 2) * frequency));
  p.setPen(Stroke(Trace, 1.4));
  p.drawPath(wave);
}

void DrawBreathingNormal(QPainter& p) { Breaths(p, 0.47); }
void DrawBreathingHigh(QPainter& p) { Breaths(p, 1.25); }

// A resistance loop: pressure against flow, with the loop's number in pips.
template <int N>
void DrawLoop(QPainter& p) {
  Axes(p, 11);
  QPainterPath loop;
  loop.moveTo(5, 18);
  loop.cubicTo(9, 16, 13, 8, 20, 4);
  loop.cubicTo(15, 10, 11, 17, 5, 18);
  p.setPen(Stroke(Trace, 1.4));
  p.drawPath(loop);
  Pips(p, N);
}

void DrawProvocationMeasure(QPainter& p) {
  DrawFvc(p);
  p.setPen(Qt::NoPen);
  p.setBrush(Trace);
  QPainterPath drop;
  drop.moveTo(19, 14);
  drop.cubicTo(21, 17, 22, 18, 19, 21.5);
  drop.cubicTo(16, 18, 17, 17, 19, 14);
  p.drawPath(drop);
  p.setBrush(Qt::NoBrush);
}

void DrawProvocationCancel(QPainter& p) {
  Nebulizer(p);
  Cross(p);
}

void DrawProvocationStep(QPainter& p) {
  const std::array<QPointF, 8> stairs{QPointF(2, 21),  QPointF(7, 21),  QPointF(7, 16), QPointF(12, 16),
                                      QPointF(12, 11), QPointF(17, 11), QPointF(17, 6), QPointF(22, 6)};
  p.setPen(Stroke(Ink, 1.6));
  p.drawPolyline(stairs.data(), static_cast<int>(stairs.size()));
  p.setPen(Stroke(Go, 1.6));
  p.drawLine(QPointF(4, 14), QPointF(11, 6));
  Triangle(p, QPointF(11.5, 5.5), 2, true, Go);
}

constexpr std::array<TNamedDrawing, 39> TestKindDrawings{{
    {"2147", DrawFvc},
    {"2148", DrawVc},
    {"2149", DrawMvv},
    {"2150", DrawDfc},
    {"2151", DrawBodyBox},
    {"2152", DrawShutterTest},
    {"2153", DrawShutterEnable<1>},
    {"CM_SHUTTER_ENABLE1", DrawShutterEnable<1>},
    {"CM_SHUTTER_ENABLE2", DrawShutterEnable<2>},
    {"CM_SHUTTER_ENABLE3", DrawShutterEnable<3>},
    {"2139", DrawRhino},
    {"CM_LEFT_NOSE", DrawLeftNose},
    {"CM_RIGHT_NOSE", DrawRightNose},
    {"CM_RHINO_POSTERIOR", DrawPosterior},
    {"2134", DrawProvocation},
    {"2135", DrawProvocationStep},
    {"2157", DrawProvocationMeasure},
    {"2158", DrawProvocationCancel},
    {"2126", DrawAudiometer},
    {"2122", DrawTrend},
    {"2045", DrawTestMenu},
    {"2046", DrawTestMenuClose},
    {"2137", DrawEcg},
    {"2106", DrawGas},
    {"2003", DrawZero},
    {"2010", DrawSyringe},
    {"2051", DrawMicrophone},
    {"2055", DrawToneSteady},
    {"2056", DrawTonePulsed},
    {"2057", DrawToneWarbled},
    {"2052", DrawMethod<1>},
    {"2053", DrawMethod<2>},
    {"2054", DrawMethod<3>},
    {"2074", DrawMethod<4>},
    {"2160", DrawBreathingNormal},
    {"2159", DrawBreathingHigh},
    {"2068", DrawLoop<1>},
    {"2069", DrawLoop<2>},
    {"2070", DrawLoop<3>},
}};

}  // namespace

namespace Pictures {

std::span<const TNamedDrawing> TestKinds() { return TestKindDrawings; }

}  // namespace Pictures
