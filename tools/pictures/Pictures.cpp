#include "tools/pictures/Pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

const QColor Board(128, 128, 128);
const QColor Shadow(64, 64, 64);
const QColor Light(224, 224, 224);
const QColor Metal(168, 168, 176);
const QColor MetalDark(96, 96, 104);
const QColor Skin(236, 188, 150);
const QColor SkinDark(176, 120, 88);
const QColor Wick(72, 72, 72);

// The sizes of the animation pictures, in reference pixels: the cake and
// the animations fill the table box (421 x 209 at 321, 68).
constexpr int BoxWidth = 421;
constexpr int BoxHeight = 208;
constexpr int CandleWidth = 25;
constexpr int CandleHeight = 96;
constexpr int FlameHeight = 30;
constexpr int CalibWidth = 300;
constexpr int HandWidth = BoxWidth - CalibWidth - 1;
constexpr std::array<int, 6> ZeroHandRise{176, 146, 116, 86, 66, 46};

QImage Blank(int width, int height, QColor color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

// A frame sunk into the board around a region (left, top, right, bottom).
void Sunken(QPainter& p, int left, int top, int right, int bottom) {
  p.setPen(Shadow);
  p.drawLine(left - 1, top - 1, right, top - 1);
  p.drawLine(left - 1, top - 1, left - 1, bottom);
  p.setPen(Light);
  p.drawLine(left - 1, bottom, right, bottom);
  p.drawLine(right, top - 1, right, bottom);
}

QImage DrawBoard() {
  QImage image = Blank(800, 600, Board);
  QPainter p(&image);
  for (const auto& r : std::array<std::array<int, 4>, 6>{{{8, 8, 99, 59},
                                                           {106, 8, 741, 27},
                                                           {106, 35, 741, 59},
                                                           {7, 66, 743, 456},
                                                           {320, 67, 741, 276},
                                                           {8, 283, 743, 456}}})
    Sunken(p, r[0], r[1], r[2], r[3]);
  Sunken(p, 8, 464, 743, 478);
  return image;
}

QImage DrawTrendBoard() {
  QImage image = Blank(800, 600, QColor(192, 192, 192));
  QPainter p(&image);
  Sunken(p, 9, 9, 741, 90);
  Sunken(p, 9, 96, 741, 285);
  Sunken(p, 9, 292, 741, 478);
  return image;
}

void Flame(QPainter& p, int lean, int height) {
  const double cx = CandleWidth / 2.0;
  const double base = FlameHeight - 4;
  QPainterPath outer;
  outer.moveTo(cx, base);
  outer.cubicTo(cx - 8, base - 2, cx - 6, base - height * 0.6, cx + lean, base - height);
  outer.cubicTo(cx + 6, base - height * 0.6, cx + 8, base - 2, cx, base);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 140, 0));
  p.drawPath(outer);
  QPainterPath inner;
  inner.moveTo(cx, base);
  inner.cubicTo(cx - 4, base - 1, cx - 3, base - height * 0.45, cx + lean / 2.0, base - height * 0.7);
  inner.cubicTo(cx + 3, base - height * 0.45, cx + 4, base - 1, cx, base);
  p.setBrush(QColor(255, 240, 96));
  p.drawPath(inner);
  p.setPen(Wick);
  p.drawLine(12, FlameHeight - 5, 12, FlameHeight - 1);
}

QImage DrawFlame(int lean, int height) {
  QImage image = Blank(CandleWidth, FlameHeight, Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Flame(p, lean, height);
  return image;
}

QImage DrawFlameOff() {
  QImage image = Blank(CandleWidth, FlameHeight, Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath smoke;
  smoke.moveTo(12, FlameHeight - 5);
  smoke.cubicTo(6, 18, 18, 12, 10, 2);
  p.setPen(QPen(QColor(150, 150, 150), 1.5));
  p.drawPath(smoke);
  p.setPen(Wick);
  p.drawLine(12, FlameHeight - 5, 12, FlameHeight - 1);
  return image;
}

QImage DrawCandle() {
  QImage image = Blank(CandleWidth, CandleHeight, Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Flame(p, 0, 22);
  p.setRenderHint(QPainter::Antialiasing, false);
  // The stick fills the five pixels that the black bar clears before the
  // candle is OR-painted onto the cake, so that it keeps its own colours.
  for (int y = FlameHeight; y < CandleHeight; ++y)
    for (int x = 10; x < 15; ++x)
      image.setPixel(x, y, ((y - FlameHeight) / 6) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(220, 40, 60));
  return image;
}

QImage DrawCake() {
  QImage image = Blank(BoxWidth, BoxHeight, Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 200, 210));  // plate
  p.drawEllipse(QRectF(30, 172, 360, 32));
  p.setBrush(QColor(150, 90, 50));  // sponge
  p.drawRect(QRectF(60, 118, 300, 66));
  p.drawEllipse(QRectF(60, 160, 300, 36));
  p.setBrush(QColor(255, 200, 220));  // icing
  p.drawEllipse(QRectF(60, 93, 300, 50));
  p.setBrush(QColor(255, 200, 220));
  for (int x = 70; x < 360; x += 20)  // drips of icing
    p.drawEllipse(QRectF(x - 6, 124 + (x % 40 == 30 ? 8 : 0), 12, 16));
  const std::array<QColor, 4> sprinkles{QColor(255, 64, 64), QColor(64, 160, 255), QColor(255, 230, 64),
                                        QColor(96, 220, 96)};
  for (int i = 0; i < 24; ++i) {
    p.setBrush(sprinkles[i % 4]);
    p.drawEllipse(QRectF(80 + (i * 37) % 260, 150 + (i * 13) % 28, 5, 5));
  }
  return image;
}

void Syringe(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Light, 2));
  p.setBrush(QColor(40, 48, 64));
  p.drawRect(QRectF(24, 78, CalibWidth - 24, 52));  // barrel, open to the right
  p.setBrush(Metal);
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(4, 96, 20, 16));  // nozzle
  p.drawRect(QRectF(150, 82, 10, 44));  // piston
  p.setPen(QPen(Light, 1));
  for (int x = 40; x < CalibWidth; x += 20)  // scale
    p.drawLine(x, 78, x, x % 100 == 40 ? 92 : 86);
  p.setPen(Qt::NoPen);
  p.setBrush(MetalDark);
  p.drawRect(QRectF(160, 100, CalibWidth - 160, 8));  // rod to the edge
}

QImage DrawCalib() {
  QImage image = Blank(CalibWidth, BoxHeight, Qt::black);
  QPainter p(&image);
  Syringe(p);
  return image;
}

void Hand(QPainter& p, QPointF palm, bool upward) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(SkinDark, 1.5));
  p.setBrush(Skin);
  if (upward) {
    p.drawRect(QRectF(palm.x() - 20, palm.y() + 30, 40, 400));  // arm
    for (int f = 0; f < 4; ++f)
      p.drawRoundedRect(QRectF(palm.x() - 27 + f * 14, palm.y() - 18 + (f == 0 || f == 3 ? 6 : 0), 12, 30), 6, 6);
    p.drawEllipse(QRectF(palm.x() - 30, palm.y() - 4, 60, 50));
    p.drawRoundedRect(QRectF(palm.x() - 44, palm.y() + 8, 26, 12), 6, 6);  // thumb
  } else {
    p.drawEllipse(QRectF(palm.x() - 14, palm.y() - 26, 40, 52));
    for (int f = 0; f < 4; ++f)
      p.drawRoundedRect(QRectF(palm.x() - 20, palm.y() - 22 + f * 12, 18, 10), 5, 5);
    p.drawRect(QRectF(palm.x() + 24, palm.y() - 14, 200, 28));  // arm
  }
}

// Frame k of seven: the plunger drawn out a little further each time.
QImage DrawCalibHand(int k) {
  QImage image = Blank(HandWidth, BoxHeight, Qt::black);
  QPainter p(&image);
  const int handle = 8 + (k - 1) * 12;
  p.setPen(Qt::NoPen);
  p.setBrush(MetalDark);
  p.drawRect(QRectF(0, 100, handle, 8));  // rod
  p.setBrush(Metal);
  p.drawRect(QRectF(handle, 74, 6, 60));  // handle
  Hand(p, QPointF(handle + 14, 104), false);
  return image;
}

void Sensor(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Light, 2));
  p.setBrush(Metal);
  p.drawRoundedRect(QRectF(90, 14, 240, 40), 10, 10);
  p.setBrush(QColor(40, 48, 64));
  p.drawEllipse(QRectF(186, 22, 48, 24));  // the opening the hand closes
  p.setPen(QPen(MetalDark, 1));
  for (int x = 110; x < 320; x += 12)
    if (x < 182 || x > 238)
      p.drawLine(x, 18, x, 50);
}

QImage DrawZeroBackground() {
  QImage image = Blank(BoxWidth, BoxHeight, Qt::black);
  QPainter p(&image);
  Sensor(p);
  return image;
}

// Hand frame k of six: the board from the frame's top down, with the hand
// at its top, so that a higher frame covers the lower ones.
QImage DrawZeroHand(int k) {
  const int top = ZeroHandRise[static_cast<std::size_t>(k - 1)];
  QImage image = Blank(BoxWidth, BoxHeight - top, Qt::black);
  QPainter p(&image);
  p.translate(0, -top);
  Sensor(p);
  Hand(p, QPointF(BoxWidth / 2.0, top + 22), true);
  return image;
}

}  // namespace

std::vector<TNamedPicture> DrawPictures() {
  std::vector<TNamedPicture> pictures{
      {"BOARD800_600", DrawBoard()},       {"TREND800_600", DrawTrendBoard()}, {"CAKE", DrawCake()},
      {"CANDLE", DrawCandle()},            {"FLAME_ON_1", DrawFlame(0, 22)},   {"FLAME_ON_2", DrawFlame(2, 25)},
      {"FLAME_OFF", DrawFlameOff()},       {"CALIB", DrawCalib()},             {"ZEROBG", DrawZeroBackground()}};
  for (int k = 1; k <= 7; ++k)
    pictures.push_back({"CALIHAN" + std::to_string(k), DrawCalibHand(k)});
  for (int k = 1; k <= 6; ++k)
    pictures.push_back({"ZEROHD" + std::to_string(k), DrawZeroHand(k)});
  return pictures;
}
