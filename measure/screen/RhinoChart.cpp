#include "measure/screen/RhinoChart.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasurePainter.h"
#include "platform/basekit/Util.h"
#include "special/rhinomanometry/RhinoReportLayout.h"

#include <algorithm>
#include <cmath>

namespace RhinoChart {

namespace {

constexpr std::size_t BackgroundColor = 0;
constexpr std::size_t AxisColor = 2;

TPoint Rounded(TLayoutPoint p) { return {static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y))}; }

}  // namespace

TRhinoCurves CurvesOf(const TMeasureCore& core) {
  TRhinoCurves curves;
  for (std::size_t slot = 0; slot < 4; ++slot) {
    curves.FlowMlps[slot] = core.Flow[slot];
    curves.PressurePa[slot] = core.Third[slot];
    curves.VolumeMl[slot] = core.Volume[slot];
    curves.Counts[slot] = core.SampleCount[MEASURE_RHINO][slot];
  }
  return curves;
}

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

void DrawRhinoVolumeKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFactors& factors) {
  constexpr float MlUnits = 0.112f;
  if (painter.Display.Grid != 0)
    painter.DrawGrid(surface, 15, 294, 720, 140, 60.0f, MlUnits * 250.0f, 1);
  painter.DrawLine(surface, 12, 406, 723, 0, 0);
  painter.DrawScale(surface, 15, 406, 12.0f, false, 0, 60, 5, 1.0f, true);
  painter.WriteScaleUnit(surface, 720, 426, "[s]");
  // Steps of 250 mL from 1000 down to -250.
  painter.DrawLine(surface, 15, 294, 0, 140, 0);
  painter.DrawScale(surface, 15, 294, MlUnits * 250.0f, true, 4, -1, 1, 250.0f * factors.Volume, true);
  painter.WriteScaleUnit(surface, 55, 289, "[mL]");
}

bool DrawRhinoSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                      const TRhinoFactors& factors, const TRhinoCurves& curves, short slot, std::size_t sample) {
  if (slot < 0 || slot > 3)
    return false;
  const auto s = static_cast<std::size_t>(slot);
  const TMeasureDisplay& d = painter.Display;
  const auto draw = [&](const TLayoutSegment& segment) {
    surface.SetPen(painter.Pens()[slot < 2 ? 1 : 2]);
    surface.Line(TUtil::Scale(d.XScale, d.YScale, Rounded(segment.From)),
                 TUtil::Scale(d.XScale, d.YScale, Rounded(segment.To)));
  };
  bool drawn = false;
  if (const auto segment =
          CurveSegment(frame, curves.FlowMlps[s], curves.PressurePa[s], sample, static_cast<short>(slot % 2), factors)) {
    draw(*segment);
    drawn = true;
  }
  if (frame.Running && !d.Printing)
    if (const auto strip = VolumeSegment(curves.VolumeMl[s], sample, factors)) {
      draw(*strip);
      drawn = true;
    }
  return drawn;
}

void DrawRhinoCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                     const TRhinoFactors& factors, const TRhinoCurves& curves) {
  const short longest = *std::max_element(curves.Counts.begin(), curves.Counts.end());
  for (short i = 0; i < longest; ++i)
    for (short slot = 0; slot < 4; ++slot)
      if (curves.Counts[static_cast<std::size_t>(slot)] > i)
        DrawRhinoSegment(painter, surface, frame, factors, curves, slot, static_cast<std::size_t>(i));
}

void DrawRhinoCurvesBySlot(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                           const TRhinoFactors& factors, const TRhinoCurves& curves, bool dottedSecondPair) {
  for (short slot = 0; slot < 4; ++slot) {
    const auto s = static_cast<std::size_t>(slot);
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(curves.Counts[s], 0)),
                                             curves.FlowMlps[s].size());
    const std::span<const float> flow = curves.FlowMlps[s].first(count);
    bool toggle = false;
    for (std::size_t i = 0; i < count; ++i)
      if (!dottedSecondPair || slot < 2 || RhinoReport::DottedSegmentShown(flow, i, toggle))
        DrawRhinoSegment(painter, surface, frame, factors, curves, slot, i);
  }
}

bool HasSecondPair(const TRhinoCurves& curves) { return curves.Counts[2] > 0 || curves.Counts[3] > 0; }

void DrawRhinoLegend(const TMeasurePainter& painter, TDrawSurface& surface, int top, bool provoked, bool dotted,
                     bool secondPair) {
  const TMeasureDisplay& d = painter.Display;
  const auto line = [&](int x1, int x2, int y) {
    surface.Line(TUtil::Scale(d.XScale, d.YScale, TPoint{x1, y}), TUtil::Scale(d.XScale, d.YScale, TPoint{x2, y}));
  };
  const auto entry = [&](int y, const char* text, std::size_t pen, bool dashes) {
    // Glyphs only: the band across the diagram's top holds its quadrant
    // labels and the flow scale's top label too.
    TUtil::TextRectOut(surface, d.XScale, d.YScale, TRect{51, y, 741, y + 9}, text, TColor::White(), TColor::Black(),
                       9, "Courier New", 2, 700, false);
    surface.SetPen(painter.Pens()[pen]);
    if (!dashes) {
      line(641, 681, y + 4);
      return;
    }
    for (int x = 641; x <= 673; x += 8)
      line(x, x + 4, y + 4);
  };
  entry(top, provoked ? "Base" : "Act. ", 1, false);
  // A sample of a curve that is not drawn would name a test that is not there.
  if (secondPair)
    entry(top + 9, provoked ? "Prov" : "Pre. ", 2, dotted);
}

}  // namespace RhinoChart
