#include "measure/screen/PlethyPanels.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/MeasureTexts.h"
#include "platform/portkit/plethysmography/Trial.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace PlethyPanels {

namespace {

using MeasureLayout::FlowPixelsPerLps;
using MeasureLayout::TimePixelsPerS;
using MeasureLayout::VolumePixelsPerL;

// A pixel distance truncated as the layout truncates; a wild sample lands
// far outside every panel instead of overflowing the integer.
int PanelPixels(float value) {
  return std::isnan(value) ? 1000000 : static_cast<int>(std::clamp(value, -1.0e6f, 1.0e6f));
}

bool WithinPanel(const TRect& r, TPoint p) { return p.X > r.Left && p.X < r.Right && p.Y > r.Top && p.Y < r.Bottom; }

MeasureLayout::TFactors CurveFactors(const PlethyGeometry::TFactors& f) { return {f[0], f[1], f[2]}; }

float TimePixelsPerSecond(const TPanels& panels, const PlethyGeometry::TFactors& f) {
  return TimePixelsPerS * panels.Period / f[2];
}

int VolumeTimeTop(const TPanels& panels) {
  return panels.VolumeTimeBase - static_cast<int>(static_cast<float>(panels.VolumeSteps) * VolumePixelsPerL);
}

int FlowAxisTop(const TPanels& panels) {
  return panels.FlowVolumeOrigin.Y - static_cast<int>(static_cast<float>(panels.FlowSteps) * FlowPixelsPerLps);
}

// Where a scale writes its labels: left of an upright axis, right of it
// (inside the panel), or under a level one.
enum class TLabels { Left, Inside, Below };

// Ticks and labels of one axis, by the window's tick rule; the labels stay
// beside the axis on paper as well, where the panels stand close under the
// loops.
void PanelScale(const TMeasurePainter& painter, TDrawSurface& surface, TPoint at, float pixelsPerStep, int first,
                int last, int step, float zoomFactor, TLabels labels) {
  const bool upright = labels != TLabels::Below;
  const TMeasureDisplay& d = painter.Display;
  for (const MeasureLayout::TTick& tick : MeasureLayout::ScaleTicks(at.X, at.Y, pixelsPerStep, upright, first, last,
                                                                    step, zoomFactor, MEASURE_PLETHY)) {
    const int half = tick.Long ? 4 : 2;
    if (upright)
      painter.DrawLine(surface, tick.At.X - half, tick.At.Y, 2 * half, 0, 0);
    else
      painter.DrawLine(surface, tick.At.X, tick.At.Y - half, 0, 2 * half, 0);
    if (tick.Label.empty())
      continue;
    const TPoint p = tick.At;
    const TRect box = labels == TLabels::Below    ? TRect{p.X - 14, p.Y + 6, p.X + 14, p.Y + 17}
                      : labels == TLabels::Inside ? TRect{p.X + 6, p.Y - 6, p.X + 34, p.Y + 6}
                                                  : TRect{p.X - 34, p.Y - 6, p.X - 6, p.Y + 6};
    const int align = labels == TLabels::Below ? 1 : labels == TLabels::Inside ? 0 : 2;
    TUtil::TextRectOut(surface, d.XScale, d.YScale, box, tick.Label, painter.Color(0), painter.Color(2), 8,
                       "Courier New", align, 700, false);
  }
}

PlethyGeometry::TFactors FactorsOf(const TMeasurePainter& painter) {
  return PlethyGeometry::Factors(std::clamp<short>(painter.Core().ZoomLevel, 0, 3));
}

}  // namespace

TPanels ScreenPanels() {
  // Both panels keep clear of the strip at the lower area's foot (434 on),
  // where the test writes its instruction after the panting. The
  // volume-time panel follows the flow-volume panel: at half the
  // spirometer's time scale, as on paper, it holds the 60 s a trial's
  // buffer takes and ends before the metronome's marks and the breathing
  // rate (618 on), which the test draws at the area's top right.
  TPanels p;
  p.FlowVolumeArea = {8, 283, 176, 434};
  p.FlowVolumeOrigin = {45, 358};
  p.FlowSteps = 10;
  p.VolumeTimeArea = {176, 300, 566, 434};  // a curve past the volume axis stops at its top
  p.VolumeTimeLeft = 185;
  p.VolumeTimeBase = 416;
  p.VolumeSteps = VolumeAxisSteps;
  p.Seconds = 60;
  p.Period = 0.5f;
  return p;
}

TPanels PrintedPanels(int printLine) {
  // The second graph's title stands from 238 to 249 below the line; the
  // block ends 382 below it.
  TPanels p;
  p.FlowVolumeArea = {71, printLine + 250, 372, printLine + 386};
  p.FlowVolumeOrigin = {150, printLine + 318};
  p.FlowSteps = 10;
  p.VolumeTimeArea = {MeasureLayout::PrintRightColumn, printLine + 252, 741, printLine + 386};
  p.VolumeTimeLeft = MeasureLayout::PrintVolumeTimeLeft;
  p.VolumeTimeBase = printLine + 368;
  p.VolumeSteps = VolumeAxisSteps;
  p.Seconds = 60;
  p.Period = 0.5f;
  return p;
}

TPanelPoints Points(const TPanels& panels, const PlethyGeometry::TFactors& factors, float flowLps, float volumeL,
                    int sample) {
  const MeasureLayout::TCurvePixels c =
      MeasureLayout::CalculateFlowVolumeAndTime(flowLps, volumeL, sample, panels.Period, CurveFactors(factors), 1);
  return {{panels.FlowVolumeOrigin.X + PanelPixels(c.Y), panels.FlowVolumeOrigin.Y - PanelPixels(c.X)},
          {panels.VolumeTimeLeft + PanelPixels(c.T), panels.VolumeTimeBase - PanelPixels(c.Y)}};
}

std::optional<TRect> PredictedBand(TPoint origin, const PlethyGeometry::TFactors& factors, float predictedL,
                                   float rsdL) {
  if (predictedL == 0.0f || !std::isfinite(predictedL) || !std::isfinite(rsdL))
    return std::nullopt;
  const float spread = MeasureTexts::NormalRangeZ * std::fabs(rsdL);
  const float low = predictedL - spread;
  const float high = predictedL + spread;
  if (low < 0.0f || high > static_cast<float>(VolumeAxisSteps) * factors[1])
    return std::nullopt;
  const auto px = [&](float litres) { return static_cast<int>(litres * VolumePixelsPerL / factors[1]); };
  return TRect{origin.X + px(low), origin.Y - 1, origin.X + px(high), origin.Y + 2};
}

void WritePlethyPredictedValue(const TMeasurePainter& painter, TDrawSurface& surface, TPoint origin,
                               float predictedL, float rsdL) {
  const auto band = PredictedBand(origin, FactorsOf(painter), predictedL, rsdL);
  if (!band)
    return;
  // Light green on paper, the window's colour of the normal ranges on the screen.
  const TColor colour =
      painter.Display.Printing ? TColor(144, 238, 144) : painter.Color(MeasureTexts::NormalRangeColor);
  surface.SetPen({colour, 1});
  surface.FrameRect(TUtil::Scale(painter.Display.XScale, painter.Display.YScale, *band));
}

void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TPanels& panels) {
  const PlethyGeometry::TFactors f = FactorsOf(painter);
  const bool grid = painter.Display.Grid != 0;

  // Flow-volume: flow up and down from the origin, volume to the right.
  const TPoint o = panels.FlowVolumeOrigin;
  const int flowTop = FlowAxisTop(panels);
  const int flowHeight = 2 * (o.Y - flowTop);
  const auto volumeWidth = static_cast<int>(static_cast<float>(VolumeAxisSteps) * VolumePixelsPerL);
  if (grid)
    painter.DrawGrid(surface, o.X, flowTop, volumeWidth, flowHeight, 2.0f * VolumePixelsPerL, 4.0f * FlowPixelsPerLps,
                     0);
  painter.DrawLine(surface, o.X, flowTop, 0, flowHeight, 0);
  PanelScale(painter, surface, {o.X, flowTop}, FlowPixelsPerLps, panels.FlowSteps, -panels.FlowSteps, 4, f[0],
             TLabels::Left);
  painter.WriteScaleUnit(surface, o.X + 6, flowTop - 12, "[L/s]");
  painter.DrawLine(surface, o.X, o.Y, volumeWidth, 0, 0);
  PanelScale(painter, surface, o, VolumePixelsPerL, 0, VolumeAxisSteps, 2, f[1], TLabels::Below);
  painter.WriteScaleUnit(surface, o.X + volumeWidth - 24, o.Y - 16, "[L]");

  // Volume-time: volume up from the base line, time to the right.
  const int left = panels.VolumeTimeLeft;
  const int top = VolumeTimeTop(panels);
  const float perSecond = TimePixelsPerSecond(panels, f);
  const auto timeWidth = static_cast<int>(static_cast<float>(panels.Seconds) * perSecond);
  if (grid)
    painter.DrawGrid(surface, left, top, timeWidth, panels.VolumeTimeBase - top, 5.0f * perSecond,
                     2.0f * VolumePixelsPerL, 1);
  painter.DrawLine(surface, left, top, 0, panels.VolumeTimeBase - top, 0);
  PanelScale(painter, surface, {left, top}, VolumePixelsPerL, panels.VolumeSteps, 0, 2, f[1], TLabels::Inside);
  painter.WriteScaleUnit(surface, left + 36, top - 2, "[L]");
  painter.DrawLine(surface, left, panels.VolumeTimeBase, timeWidth, 0, 0);
  PanelScale(painter, surface, {left, panels.VolumeTimeBase}, perSecond, 0, panels.Seconds, 5, 1.0f, TLabels::Below);
  painter.WriteScaleUnit(surface, left + timeWidth - 30, panels.VolumeTimeBase - 16, "[s]");

  // Last the patient's predicted TLC on the flow-volume panel's volume axis.
  TMeasureCore& core = painter.Core();
  const float* predicted = core.GetRefBuffer(MEASURE_PLETHY, 0);
  const float* rsd = core.GetRsdBuffer(MEASURE_PLETHY);
  if (predicted != nullptr && rsd != nullptr)
    WritePlethyPredictedValue(painter, surface, o, predicted[plethysmography::TLC], rsd[plethysmography::TLC]);
}

void DrawSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TPanels& panels,
                 std::span<const float> flowLps, std::span<const float> volumeL, int index, int pen, bool marked,
                 float volumeOffsetL) {
  if (index <= 0)
    return;
  const auto i = static_cast<std::size_t>(index);
  if (i >= flowLps.size() || i >= volumeL.size())
    return;
  const PlethyGeometry::TFactors f = FactorsOf(painter);
  const TPanelPoints from = Points(panels, f, flowLps[i - 1], volumeL[i - 1] + volumeOffsetL, index - 1);
  const TPanelPoints to = Points(panels, f, flowLps[i], volumeL[i] + volumeOffsetL, index);
  const auto segment = [&](const TRect& area, TPoint a, TPoint b) {
    if (a != b && WithinPanel(area, a) && WithinPanel(area, b))
      painter.SegmentTo(surface, pen, a, b);
  };
  segment(panels.FlowVolumeArea, from.FlowVolume, to.FlowVolume);
  segment(panels.VolumeTimeArea, from.VolumeTime, to.VolumeTime);
  if (!marked)
    return;
  for (const auto& [area, p] : {std::pair{panels.FlowVolumeArea, to.FlowVolume},
                                std::pair{panels.VolumeTimeArea, to.VolumeTime}})
    segment(area, {p.X, p.Y - 6}, {p.X, p.Y + 6});
}

}  // namespace PlethyPanels
