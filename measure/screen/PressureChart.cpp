#include "measure/screen/PressureChart.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasurePainter.h"
#include "platform/basekit/Util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace PressureChart {

namespace {

constexpr std::size_t BackgroundColor = 0;
constexpr std::size_t AxisColor = 2;
constexpr int ScalePoints = 8;
constexpr int TickPx = 8;

// One axis: a tick every step from `first` to `last`, numbered but for 0.
void Scale(const TMeasurePainter& painter, TDrawSurface& surface, int x, int y, float pxPerStep, bool vertical,
           int first, int last, int step) {
  const int ticks = (std::abs(first) + std::abs(last)) / step + 1;
  const int direction = first <= last ? 1 : -1;
  const TMeasureDisplay& d = painter.Display;
  // Numbers closer than their own width and a blank would run together
  // ("9101112"): only every so many ticks is numbered then.
  int every = 1;
  if (!vertical) {
    const TFontSpec font = TUtil::LayoutFont("Courier New", ScalePoints, d.YScale, 700);
    const std::string widest = std::to_string(std::max(std::abs(first), std::abs(last)));
    const int needed = surface.MeasureText(widest + " ", font).Width;
    const float apart = pxPerStep * d.XScale;
    while (apart > 0.0f && static_cast<float>(every) * apart < static_cast<float>(needed))
      ++every;
  }
  for (int n = 0; n < ticks; ++n) {
    const int value = first + direction * n * step;
    const int along = static_cast<int>(static_cast<float>(n) * pxPerStep);
    const TPoint at = vertical ? TPoint{x, y - along} : TPoint{x + along, y};
    if (vertical)
      painter.DrawLine(surface, at.X - TickPx / 2, at.Y, TickPx, 0, 0);
    else
      painter.DrawLine(surface, at.X, at.Y - TickPx / 2, 0, TickPx, 0);
    if (value == 0 || n % every != 0)
      continue;
    const std::string label = std::to_string(std::abs(value));
    const TRect box = vertical ? TRect{at.X + 6, at.Y - 6, at.X + 40, at.Y + 6}
                               : TRect{at.X - 14, at.Y + 6, at.X + 14, at.Y + 17};
    TUtil::TextRectOut(surface, d.XScale, d.YScale, box, label, painter.Color(BackgroundColor),
                       painter.Color(AxisColor), ScalePoints, "Courier New", vertical ? 0 : 1, 700, false);
  }
}

}  // namespace

std::optional<TCalibrationChart> CalibrationChart(const TMeasureCore& core) {
  const auto held = [](short last) { return static_cast<std::size_t>(std::max<short>(0, last)); };
  if ((static_cast<unsigned short>(core.InstrumentType) & 0xE0) == 0x60)
    return TCalibrationChart{LineScale, {held(core.Lines.PressureSamples[0]), held(core.Lines.PressureSamples[1])}};
  if (core.IsPlethysmographInstrument())
    return TCalibrationChart{BoxScale,
                             {held(core.Plethysmograph.LeakCount), held(core.Plethysmograph.PressureCount)}};
  return std::nullopt;
}

TPoint PointAt(const TPressureScale& scale, std::size_t sample, float pa, int left, int bottom) {
  return {left + static_cast<int>(static_cast<float>(sample) * 0.01f * PxPerSecond),
          bottom - static_cast<int>(pa * scale.PxPerPa)};
}

void DrawPressureKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                            int left, int bottom) {
  const int top = bottom - HeightPx;
  const float pxPerStep = scale.PxPerPa * static_cast<float>(scale.StepPa);
  if (painter.Display.Grid)
    painter.DrawGrid(surface, left, top, WidthPx, HeightPx, PxPerSecond, pxPerStep, 0);
  painter.DrawLine(surface, left, bottom, 0, -HeightPx, 0);
  Scale(painter, surface, left, bottom, pxPerStep, true, 0, scale.TopPa, scale.StepPa);
  painter.WriteScaleUnit(surface, left + 6, top - 16, "[Pa]");
  painter.DrawLine(surface, left, bottom, WidthPx, 0, 0);
  Scale(painter, surface, left, bottom, PxPerSecond, false, 0, 15, 1);
  painter.WriteScaleUnit(surface, left + WidthPx - 12, bottom - 18, "[s]");
}

void DrawPressureCurve(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                       std::span<const float> buffer, std::size_t sample, int pen, int left, int bottom) {
  if (sample >= buffer.size())
    return;
  const TPoint to = PointAt(scale, sample, buffer[sample], left, bottom);
  if (to.X > left + WidthPx)
    return;
  const TPoint from =
      sample == 0 ? TPoint{left, bottom} : PointAt(scale, sample - 1, buffer[sample - 1], left, bottom);
  const TMeasureDisplay& d = painter.Display;
  surface.SetPen(painter.Pens()[static_cast<std::size_t>(pen)]);
  surface.Line(TUtil::Scale(d.XScale, d.YScale, from), TUtil::Scale(d.XScale, d.YScale, to));
}

void DrawPressureCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                        std::span<const float> buffer, std::size_t last, int pen, int left, int bottom) {
  for (std::size_t k = 2; k <= last && k < buffer.size(); ++k)
    DrawPressureCurve(painter, surface, scale, buffer, k, pen, left, bottom);
}

void DrawCalibrationChart(const TMeasurePainter& painter, TDrawSurface& surface, const TCalibrationChart& chart,
                          int left, int bottom) {
  if (chart.HasCurves())
    DrawPressureKoordinata(painter, surface, chart.Scale, left, bottom);
  DrawHeldCurves(painter, surface, chart, left, bottom);
}

void DrawHeldCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TCalibrationChart& chart, int left,
                    int bottom) {
  const TMeasureCore& core = painter.Core();
  DrawPressureCurves(painter, surface, chart.Scale, core.PressureA, chart.Held[0], FleischPen, left, bottom);
  DrawPressureCurves(painter, surface, chart.Scale, core.PressureB, chart.Held[1], BalloonPen, left, bottom);
}

void DrawPressureLoss(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view fleischLabel,
                      short fleischLoss, std::string_view balloonLabel, short balloonLoss) {
  const TMeasureDisplay& d = painter.Display;
  const auto line = [&](int top, std::string_view label, short loss) {
    char value[16];
    std::snprintf(value, sizeof value, "%d %% ", loss);
    TUtil::TextRectOut(surface, d.XScale, d.YScale, TRect{323, top, 741, top + 20}, std::string(label) + value,
                       painter.Color(BackgroundColor), painter.Color(AxisColor), 12, "Courier New", 0, 700, true);
  };
  line(170, fleischLabel, fleischLoss);
  line(190, balloonLabel, balloonLoss);
}

}  // namespace PressureChart
