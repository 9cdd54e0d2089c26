#include "measure/screen/RhinoChart.h"

#include "measure/screen/MeasurePainter.h"
#include "platform/basekit/Util.h"

#include <algorithm>
#include <cmath>

namespace RhinoChart {

namespace {

constexpr std::size_t BackgroundColor = 0;
constexpr std::size_t AxisColor = 2;

TPoint Rounded(TLayoutPoint p) { return {static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y))}; }

}  // namespace

void DrawRhinoKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                         const TRhinoFactors& factors) {
  const TMeasureDisplay& d = painter.Display;
  const float k = frame.K();
  const auto ki = static_cast<int>(k);
  const int top = static_cast<int>(frame.Top);
  const TPoint origin = Rounded(frame.Origin());
  const auto label = [&](int x, int y, const char* text) {
    TUtil::TextOutA(surface, d.XScale, d.YScale, x, y, text, painter.Color(BackgroundColor), 8, "Courier New",
                    painter.Color(AxisColor), 700);
  };
  // Expiration left of the flow axis, inspiration right; each nostril in
  // the quadrants its curves take.
  label(47 * ki, top, "Ex");
  label(47 * ki, top + 15, "L");
  label(47 * ki, top + 168 * ki - 25, "R");
  label(255 * ki, top, "In");
  label(255 * ki, top + 15, "R");
  label(255 * ki, top + 168 * ki - 25, "L");
  if (d.Grid)
    painter.DrawGrid(surface, 45 * ki, top, 224 * ki, 168 * ki, 18.67f * k, 0.14f * 100.0f * k, 0);
  painter.DrawLine(surface, origin.X, top, 0, 168 * ki, 0);
  painter.DrawScale(surface, origin.X, top, 0.14f * k, true, 600, -600, 100, factors.Flow);
  painter.DrawLine(surface, 45 * ki, origin.Y, 224 * ki, 0, 0);
  painter.DrawScale(surface, 45 * ki, origin.Y, 0.1867f * k, false, -600, 600, 100, factors.Pressure);
  // The reference pressure of the results, whatever the scale.
  painter.DrawLine(surface, origin.X + static_cast<int>(150.0f * 0.1867f * k), top, 0, 168 * ki, 0);
  painter.WriteScaleUnit(surface, frame.ZoomState == 1 ? 162 : 320, d.Printing ? top - 5 : 76, "[mL/s]");
  painter.WriteScaleUnit(surface, 259 * ki, origin.Y + 19, "[Pa]");
}

bool DrawRhinoSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                      const TRhinoFactors& factors, const TRhinoCurves& curves, short slot, std::size_t sample) {
  if (slot < 0 || slot > 3)
    return false;
  const auto s = static_cast<std::size_t>(slot);
  const auto segment =
      CurveSegment(frame, curves.FlowMlps[s], curves.PressurePa[s], sample, static_cast<short>(slot % 2), factors);
  if (!segment)
    return false;
  const TMeasureDisplay& d = painter.Display;
  surface.SetPen(painter.Pens()[slot < 2 ? 1 : 2]);
  surface.Line(TUtil::Scale(d.XScale, d.YScale, Rounded(segment->From)),
               TUtil::Scale(d.XScale, d.YScale, Rounded(segment->To)));
  return true;
}

void DrawRhinoCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                     const TRhinoFactors& factors, const TRhinoCurves& curves) {
  const short longest = *std::max_element(curves.Counts.begin(), curves.Counts.end());
  for (short i = 0; i < longest; ++i)
    for (short slot = 0; slot < 4; ++slot)
      if (curves.Counts[static_cast<std::size_t>(slot)] > i)
        DrawRhinoSegment(painter, surface, frame, factors, curves, slot, static_cast<std::size_t>(i));
}

}  // namespace RhinoChart
