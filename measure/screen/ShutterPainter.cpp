#include "measure/screen/ShutterPainter.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/ShutterGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace ShutterPainter {

namespace {

using ShutterGeometry::TDiagram;
using ShutterGeometry::TFactors;

constexpr std::size_t AxisColor = 2;  // the scales' colour entry, as the other diagrams'
constexpr int StripZeroY = 416;
constexpr int StripLeft = 15;

short ScaleIndex(const TMeasurePainter& painter) { return std::clamp<short>(painter.Core().ZoomLevel, 0, 3); }

// The diagram of the window's layout, moved down the page when printing.
TDiagram DiagramOf(const TMeasurePainter& painter) {
  TDiagram d = ShutterGeometry::Diagram(painter.Display.Printing ? 1 : painter.Display.ScreenMode);
  if (painter.Display.Printing) {
    const int off = 25;
    const int top = painter.Display.PrintLine;
    const int shift = top + 84 - d.Origin.Y;
    d.Origin = {d.Origin.X + off, top + 84};
    d.TopLeft = {d.TopLeft.X + off, d.TopLeft.Y + shift};
    d.BottomRight = {d.BottomRight.X + off, d.BottomRight.Y + shift};
  }
  return d;
}

void Label(const TMeasurePainter& painter, TDrawSurface& surface, const TRect& box, float value, int alignment) {
  char text[16];
  std::snprintf(text, sizeof text, "%4.1f", static_cast<double>(value));
  TUtil::TextRectOut(surface, painter.Display.XScale, painter.Display.YScale, box, text,
                     painter.Color(TUtil::Background), painter.Color(AxisColor), 7, "Courier New", alignment, 700,
                     false);
}

// Tick marks 8 pixels across the axis, labelled by value x factor.
void DrawShutterScale(const TMeasurePainter& painter, TDrawSurface& surface, int x, int y, float pixelsPerUnit,
                      bool vertical, float first, float last, float step, float factor, int size) {
  const short index = ScaleIndex(painter);
  const int count = static_cast<int>(std::lround(std::fabs(last - first) / step)) + 1;
  for (int n = 0; n < count; ++n) {
    const int along = static_cast<int>(static_cast<float>(n) * step * pixelsPerUnit);
    if (vertical) {
      // From the top down: last, last - step, ... (the scale is given top first).
      const float value = first - static_cast<float>(n) * step;
      painter.DrawLine(surface, x - 4, y + along, 8, 0, 0);
      if (value != 0.0f && (index != 3 || n % 2 == 0))
        Label(painter, surface, {x - 33, y + along - 6, x - 6, y + along + 6}, value * factor, 2);
    } else {
      if (n == 4)
        continue;  // the zero of the pressure axis
      const float value = first + static_cast<float>(n) * step;
      painter.DrawLine(surface, x + along, y - 4, 0, 8, 0);
      const bool all = size == 2 && index != 3;
      if (all || n % 2 == 0)
        Label(painter, surface, {x + along - 16, y + 6, x + along + 16, y + 17}, -value * factor, 1);
    }
  }
}

}  // namespace

void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface) {
  const TDiagram d = DiagramOf(painter);
  const TFactors f = ShutterGeometry::Factors(ScaleIndex(painter));
  const int k = d.Size;
  const int off = painter.Display.Printing ? 25 : 0;
  const int top = d.Origin.Y - 84 * k;
  DrawShutterScale(painter, surface, d.Origin.X, top, 21.0f * static_cast<float>(k), true, 4.0f, -4.0f, 1.0f, f.Flow,
                   k);
  if (painter.Display.Grid != 0)
    painter.DrawGrid(surface, 45 * k + off, top, 224 * k, 168 * k, 93.3f * 0.3f * static_cast<float>(k),
                     21.0f * static_cast<float>(k), 1);
  painter.DrawLine(surface, d.Origin.X, top, 0, 168 * k, 0);
  painter.DrawLine(surface, 45 * k + off, d.Origin.Y, 224 * k, 0, 0);
  DrawShutterScale(painter, surface, 45 * k + off, d.Origin.Y, 93.3f * static_cast<float>(k), false, -1.2f, 1.2f,
                   0.3f, f.Pressure, k);
  painter.WriteScaleUnit(surface, (k == 1 ? 162 : 320) + off, painter.Display.Printing ? top - 5 : top - 5, "[L/s]");
  painter.WriteScaleUnit(surface, 259 * k + off, d.Origin.Y + 19, "[kPa]");
}

void DrawVolumeKoordinata(const TMeasurePainter& painter, TDrawSurface& surface) {
  if (painter.Display.Grid != 0)
    painter.DrawGrid(surface, 15, 304, 720, 140, 60.0f, 28.0f, 1);
  painter.DrawLine(surface, 12, StripZeroY, 723, 0, 0);
  painter.DrawScale(surface, 15, StripZeroY, 12.0f, false, 0, 60, 5, 1.0f);
  painter.WriteScaleUnit(surface, 720, 436, "[s]");
  painter.DrawLine(surface, 15, 304, 0, 140, 0);
  painter.DrawScale(surface, StripLeft, 304, 14.0f, true, 8, -2, 2, 1.0f);
  // Beside the top label "8", past the labels the scale writes inside the
  // axis (a unit at x 30 would stand on it).
  painter.WriteScaleUnit(surface, StripLeft + TMeasurePainter::InsideLabelsEnd + 2, 299, "[L]");
}

void DrawAcross(TMeasurePainter& painter, TDrawSurface& surface, short trial, int index, bool dashed) {
  const TMeasureCore& core = painter.Core();
  if (trial < 0 || trial > 3 || index < 0)
    return;
  const auto slot = static_cast<std::size_t>(trial);
  const auto i = static_cast<std::size_t>(index);
  if (i >= core.Flow[slot].size() || i >= core.Third[slot].size())
    return;
  const TDiagram d = DiagramOf(painter);
  const TFactors f = ShutterGeometry::Factors(ScaleIndex(painter));
  const auto at = [&](std::size_t k) {
    return ShutterGeometry::CurvePoint(d, f, core.Flow[slot][k], core.Third[slot][k]);
  };
  const ShutterGeometry::TPoint p = at(i);
  const bool printing = painter.Display.Printing;
  const int pen = MeasureLayout::CurvePen(trial, false, printing,
                                          painter.Display.StageView || painter.Display.ProvocationPrint);
  if (core.StartId != 0 && !printing) {
    if (!ShutterGeometry::InsideDrawing(d, p))
      return;
    painter.SegmentTo(surface, pen, {p.X - 4, p.Y - 4}, {p.X + 4, p.Y + 4});
    painter.SegmentTo(surface, pen, {p.X - 4, p.Y + 4}, {p.X + 4, p.Y - 4});
    return;
  }
  if (printing && dashed && trial != 0 && !painter.PenDown(trial, 2))
    return;
  const ShutterGeometry::TPoint from = i == 0 ? p : at(i - 1);
  painter.SegmentTo(surface, pen, {from.X, from.Y}, {p.X, p.Y});
}

void DrawCurves(TMeasurePainter& painter, TDrawSurface& surface) {
  const TMeasureCore& core = painter.Core();
  std::vector<short> trials{0, 1, 2};
  if (painter.Display.PrePost) {
    const short first = core.TrialOrder[0];
    trials = {static_cast<short>(first > 0 ? first - 1 : 0), 3};
  }
  for (const short trial : trials) {
    const auto slot = static_cast<std::size_t>(trial);
    const bool live = core.StartId != 0 && trial == core.TrialIndex;
    const int count = live ? static_cast<int>(core.Shutter.Fitted.size())
                           : std::max<int>(core.SampleCount[MEASURE_SHUTTER][slot], 0);
    for (int i = 0; i < count; ++i)
      DrawAcross(painter, surface, trial, i);
  }
}

void DrawVolumeSegment(const TMeasurePainter& painter, TDrawSurface& surface, short trial, int index) {
  const TMeasureCore& core = painter.Core();
  if (trial < 0 || trial > 3 || index <= 0)
    return;
  const auto slot = static_cast<std::size_t>(trial);
  const auto i = static_cast<std::size_t>(index);
  const std::vector<float>& volume = core.Volume[slot];
  if (i >= volume.size())
    return;
  const TFactors f = ShutterGeometry::Factors(ScaleIndex(painter));
  const auto at = [&](std::size_t k) {
    const float x = StripLeft + static_cast<float>(k) * 0.01f * 12.0f / f.Time;
    const float y = StripZeroY - 42.0f - volume[k] * 14.0f / f.Volume;
    return ShutterGeometry::TPoint{static_cast<int>(x), static_cast<int>(y)};
  };
  const ShutterGeometry::TPoint a = at(i - 1);
  const ShutterGeometry::TPoint b = at(i);
  const auto inside = [](ShutterGeometry::TPoint p) { return p.X > 8 && p.X < 741 && p.Y > 304 && p.Y < 444; };
  if (a == b || !inside(a) || !inside(b))
    return;
  painter.SegmentTo(surface, MeasureLayout::CurvePen(std::min<short>(trial, 2), false, false, false), {a.X, a.Y},
                    {b.X, b.Y});
}

void DrawCircle(const TMeasurePainter& painter, TDrawSurface& surface, short state) {
  if (painter.Display.ScreenMode != 1 || !painter.Core().IsRunning())
    return;
  constexpr TColor LightRed{255, 0, 0};
  constexpr TColor LightGreen{0, 255, 0};
  const TPoint now = MetronomeMarks[state == 0 ? 0 : 1];
  const TPoint other = MetronomeMarks[state == 0 ? 1 : 0];
  for (const auto& [at, colour] : {std::pair{now, LightRed}, std::pair{other, LightGreen}}) {
    surface.SetPen({colour, 1, TPenStyle::Solid});
    surface.Ellipse(TUtil::Scale(painter.Display.XScale, painter.Display.YScale,
                                 TRect{at.X, at.Y, at.X + MetronomeCircle, at.Y + MetronomeCircle}),
                    colour);
  }
}

}  // namespace ShutterPainter
