#include "platform/basekit/ui/ScreenFont.h"

#include "platform/framework/Paths.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

QString LiberationFace(std::string_view face) {
  if (Paths::EqualNoCase(face, "Courier New"))
    return "Liberation Mono";
  if (Paths::EqualNoCase(face, "Times New Roman"))
    return "Liberation Serif";
  if (Paths::EqualNoCase(face, "Arial"))
    return "Liberation Sans";
  return {};
}

}  // namespace

int HeightInPixels(double points) {
  double dpi = 96.0;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    dpi = screen->logicalDotsPerInchY();
  return std::max(1, static_cast<int>(std::lround(points * dpi / 72.0)));
}

QFont MakeFont(const TFontSpec& spec) {
  QFont font;
  const QString face = QString::fromStdString(spec.Face);
  const QString liberation = LiberationFace(spec.Face);
  font.setFamilies(liberation.isEmpty() ? QStringList{face} : QStringList{face, liberation});
  font.setStyleHint(liberation == "Liberation Mono" ? QFont::TypeWriter : QFont::AnyStyle);
  font.setPixelSize(std::max(1, spec.PixelHeight));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.Weight, 100, 900)));
  return font;
}

QFont ScreenFont(std::string_view face, double points, int weight) {
  return MakeFont({std::string(face), HeightInPixels(points), weight});
}
