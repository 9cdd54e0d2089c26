#include "measure/screen/PlethyStrokeChart.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasurePainter.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"

#include <algorithm>
#include <cmath>

namespace PlethyStrokeChart {

namespace {

constexpr std::size_t StrokeBackground = 0;
constexpr std::size_t StrokeAxisColor = 2;
constexpr int CaptionPoints = 8;
// The pens of Pens(): 0 the axes, 4 the calibration strokes.
constexpr int StrokePen = 4;

int Size(const TMeasurePainter& painter) { return painter.Display.ScreenMode == 0 ? 2 : 1; }

TStrokeFrame FrameOf(const TMeasurePainter& painter) {
  return painter.Display.Printing ? PrintedFrame(painter.Display.PrintLine) : ScreenFrame;
}

PlethyGeometry::TFactors FactorsOf(const TMeasurePainter& painter) {
  return PlethyGeometry::Factors(std::clamp<short>(painter.Core().ZoomLevel, 0, 3));
}

int Truncated(float v) { return static_cast<int>(v); }

void Caption(const TMeasurePainter& painter, TDrawSurface& surface, const TRect& rect, int text, int alignment) {
  TUtil::TextRectOut(surface, painter.Display.XScale, painter.Display.YScale, rect, painter.Texts().LoadStringA(text),
                     painter.Color(StrokeBackground), painter.Color(StrokeAxisColor), CaptionPoints,
                     "Times New Roman", alignment, 700, false);
}

// The green line through the whole area at the marked sample, the
// inspiratory caption above the axis, the expiratory one below it; on the
// line's right, or on its left where the area ends too soon.
void Marker(const TMeasurePainter& painter, TDrawSurface& surface, const TStrokeFrame& f, int x) {
  const TMeasureDisplay& d = painter.Display;
  surface.SetPen(TPen{MarkerColor, 1});
  surface.Line(TUtil::Scale(d.XScale, d.YScale, TPoint{x, f.Top}),
               TUtil::Scale(d.XScale, d.YScale, TPoint{x, f.Bottom}));
  const bool right = x + 4 + CaptionWidth <= f.Right;
  const int left = right ? x + 4 : x - 4 - CaptionWidth;
  const int alignment = right ? 0 : 2;
  Caption(painter, surface, {left, f.Top + 1, left + CaptionWidth, f.Top + 1 + CaptionHeight}, InspirationCaption,
          alignment);
  Caption(painter, surface, {left, f.Bottom - 1 - CaptionHeight, left + CaptionWidth, f.Bottom - 1},
          ExpirationCaption, alignment);
}

}  // namespace

TStrokeFrame PrintedFrame(int printLine) {
  // The screen's frame moved up so that the lower area's top (283) stands
  // on the printer's line.
  constexpr int LowerAreaTop = 283;
  const int shift = printLine - LowerAreaTop;
  const TStrokeFrame& s = ScreenFrame;
  return {s.Left, s.Top + shift, s.Base + shift, s.Bottom + shift, s.Right};
}

TStrokePoints PointsAt(const TStrokeFrame& frame, const PlethyGeometry::TFactors& factors, int size,
                       std::size_t sample, float flowLps, float volumeL) {
  const int x = frame.Left + Truncated(static_cast<float>(sample) * 0.01f * XPerSecond / factors[2]);
  return {{x, frame.Base - Truncated(flowLps * YPerLps * static_cast<float>(size) / factors[0])},
          {x, frame.Base - Truncated(volumeL * YPerL / factors[1])}};
}

bool Inside(const TStrokeFrame& f, TPoint p) {
  return p.X >= f.Left && p.X <= f.Right && p.Y >= f.Top && p.Y <= f.Bottom;
}

void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface) {
  const PlethyGeometry::TFactors f = FactorsOf(painter);
  const TStrokeFrame a = FrameOf(painter);
  const int width = a.Right - a.Left;
  if (painter.Display.Grid != 0)
    painter.DrawGrid(surface, a.Left, a.Top, width, a.Bottom - a.Top, 5.0f * XPerSecond / f[2], YPerL / f[1], 1);
  painter.DrawLine(surface, a.Left, a.Top, 0, a.Bottom - a.Top, 0);
  painter.DrawLine(surface, a.Left, a.Base, width, 0, 0);
  painter.DrawScale(surface, a.Left, a.Base, XPerSecond / f[2], false, 0, 60, 5, 1.0f);
  painter.WriteScaleUnit(surface, a.Right - 30, a.Base - 16, "[s]");
  painter.WriteScaleUnit(surface, a.Left + 6, a.Top, "[L/s]");
  painter.WriteScaleUnit(surface, a.Left + 6, a.Bottom - 14, "[L]");
}

bool DrawSegment(const TMeasurePainter& painter, TDrawSurface& surface, int sample) {
  const TMeasureCore& core = painter.Core();
  const std::vector<float>& flow = core.CalFlow;
  const std::vector<float>& volume = core.CalVolume;
  if (sample <= 0)
    return false;
  const auto i = static_cast<std::size_t>(sample);
  if (i >= flow.size() || i >= volume.size())
    return false;
  if (!std::isfinite(flow[i - 1]) || !std::isfinite(flow[i]) || !std::isfinite(volume[i - 1]) ||
      !std::isfinite(volume[i]))
    return false;
  const PlethyGeometry::TFactors f = FactorsOf(painter);
  const TStrokeFrame frame = FrameOf(painter);
  const int size = Size(painter);
  const TStrokePoints from = PointsAt(frame, f, size, i - 1, flow[i - 1], volume[i - 1]);
  const TStrokePoints to = PointsAt(frame, f, size, i, flow[i], volume[i]);
  bool drawn = false;
  const auto segment = [&](TPoint a, TPoint b) {
    // A stroke larger than the zoom step's range is cut at the area.
    if (a == b || !Inside(frame, a) || !Inside(frame, b))
      return;
    painter.SegmentTo(surface, StrokePen, a, b);
    drawn = true;
  };
  segment(from.Flow, to.Flow);
  segment(from.Volume, to.Volume);
  if (core.CalDoneIndex > 0 && sample == core.CalDoneIndex && to.Flow.X <= frame.Right) {
    Marker(painter, surface, frame, to.Flow.X);
    drawn = true;
  }
  return drawn;
}

}  // namespace PlethyStrokeChart
