#include "measure/screen/MeasureLayout.h"

#include "common/MeasureMode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace MeasureLayout {

namespace {

constexpr std::array<TRect, 2> WorkAreas{{{7, 66, 743, 456}, {8, 67, 312, 276}}};
// Index 5 has no row of its own; it takes index 4's.
constexpr std::array<TRect, 6> LowerAreas{
    {{8, 283, 741, 456}, {8, 283, 741, 456}, {8, 283, 741, 456}, {8, 283, 741, 456}, {8, 283, 743, 456},
     {8, 283, 743, 456}}};

constexpr std::array<TRect, 6> ListRects{{{256, 65, 594, 225},
                                          {320, 85, 742, 278},
                                          {409, 106, 950, 356},
                                          {460, 120, 1069, 403},
                                          {512, 145, 1187, 469},
                                          {640, 181, 1484, 586}}};
constexpr std::array<TRect, 6> RhinoListRects{{{256, 93, 594, 226},
                                               {320, 118, 742, 278},
                                               {409, 150, 950, 355},
                                               {460, 166, 1069, 403},
                                               {512, 199, 1187, 470},
                                               {640, 249, 1484, 588}}};

constexpr std::array<TZoomStep, ZoomSteps> ZoomTable{{{1.0f, 1.5f, 1.0f, 16.0f, 12.0f},
                                                     {1.0f, 1.0f, 1.0f, 16.0f, 8.0f},
                                                     {0.5f, 0.5f, 1.0f, 8.0f, 4.0f},
                                                     {0.25f, 0.25f, 1.0f, 4.0f, 2.0f}}};

std::size_t Clamp(short index, std::size_t size) {
  return static_cast<std::size_t>(std::clamp<int>(index, 0, static_cast<int>(size) - 1));
}

}  // namespace

short ScreenSizeIndex(int widthPx) {
  const auto found = std::find(ScreenWidths.begin(), ScreenWidths.end(), widthPx);
  return found == ScreenWidths.end() ? short{1} : static_cast<short>(found - ScreenWidths.begin());
}

bool IsTableWidth(int widthPx) {
  return std::find(ScreenWidths.begin(), ScreenWidths.end(), widthPx) != ScreenWidths.end();
}

TRect WorkArea(short screenMode) { return WorkAreas[screenMode == 0 ? 0 : 1]; }

TRect LowerArea(short screenIndex) { return LowerAreas[Clamp(screenIndex, LowerAreas.size())]; }

TRect ListPlacement(int screenWidthPx, float xScale, float yScale, bool rhino) {
  const auto& table = rhino ? RhinoListRects : ListRects;
  if (IsTableWidth(screenWidthPx)) {
    const auto index = static_cast<std::size_t>(ScreenSizeIndex(screenWidthPx));
    if (std::fabs(yScale - static_cast<float>(ScreenHeights[index]) / 600.0f) < 0.01f)
      return table[index];
  }
  const TRect& reference = table[1];
  const auto scale = [](int value, float factor) {
    return static_cast<int>(static_cast<float>(value) * factor);
  };
  return {scale(reference.Left, xScale), scale(reference.Top, yScale), scale(reference.Right, xScale),
          scale(reference.Bottom, yScale)};
}

TPoint FlowVolumeOrigin(short screenMode) { return screenMode == 0 ? TPoint{314, 273} : TPoint{157, 177}; }

TPoint PrintFlowVolumeOrigin(int printLine) {
  const TPoint screen = FlowVolumeOrigin(0);
  return {PrintFlowVolumeOriginX, printLine + (screen.Y - DiagramTop)};
}

TRect PrintLoopFrame(TPoint origin, int printLine, int k) {
  return {origin.X, printLine, origin.X + 112 * k, printLine + 168 * k};
}

TRect PrintVolumeTimeFrame(int printLine) {
  // The halved 60 s time axis (723 units on the screen) and the volume
  // axis from 8 steps above the base line to 2 below it.
  return {PrintVolumeTimeLeft, printLine, PrintVolumeTimeLeft + 723 / 2, printLine + 140};
}

std::optional<std::pair<TPoint, TPoint>> ClipToFrame(const TRect& frame, TPoint from, TPoint to) {
  // The segment's parameter range [t0, t1] that keeps it on the inner side
  // of all four edges.
  const double x0 = from.X, y0 = from.Y;
  const double dx = to.X - from.X, dy = to.Y - from.Y;
  double t0 = 0.0, t1 = 1.0;
  const auto keep = [&](double p, double q) {  // p * t <= q
    if (p == 0.0)
      return q >= 0.0;
    const double t = q / p;
    if (p < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    return t0 <= t1;
  };
  if (!keep(-dx, x0 - frame.Left) || !keep(dx, frame.Right - x0) || !keep(-dy, y0 - frame.Top) ||
      !keep(dy, frame.Bottom - y0))
    return std::nullopt;
  const auto at = [&](double t) {
    return TPoint{std::clamp(static_cast<int>(std::lround(x0 + t * dx)), frame.Left, frame.Right),
                  std::clamp(static_cast<int>(std::lround(y0 + t * dy)), frame.Top, frame.Bottom)};
  };
  return std::pair{at(t0), at(t1)};
}

int ScreenMultiplier(short screenMode) { return screenMode == 0 ? 2 : 1; }

const TZoomStep& Zoom(short index) { return ZoomTable[Clamp(index, ZoomTable.size())]; }

TFactors ZoomFactors(short index) {
  const TZoomStep& step = Zoom(index);
  return {step.Flow, step.Volume, step.Time};
}

TCurvePixels CalculateFlowVolumeAndTime(float flowLps, float volumeL, int sample, float period,
                                        const TFactors& factors, int k) {
  const auto kf = static_cast<float>(k);
  return {flowLps * FlowPixelsPerLps * kf / factors[0], volumeL * VolumePixelsPerL * kf / factors[1],
          static_cast<float>(sample) * 0.01f * period * TimePixelsPerS / factors[2]};
}

short FitZoom(float peakFlowLps, float peakVolumeL) {
  for (short index = ZoomSteps - 1; index > 0; --index) {
    const TZoomStep& step = Zoom(index);
    if (std::fabs(peakFlowLps) <= step.FlowMaxLps && std::fabs(peakVolumeL) <= step.VolumeMaxL)
      return index;
  }
  return 0;
}

short PrintOffsetStep(short measureMode) {
  switch (measureMode) {
  case MEASURE_FVC:
    return 376;
  case MEASURE_SHUTTER:
    return 168;
  case MEASURE_PLETHY:
    return 0;
  default:
    return 200;
  }
}

int LinePen(int number) {
  switch (number) {
  case 1:
    return 1;
  case 2:
  case 4:
    return 5;
  case 3:
    return 8;
  case 5:
    return 3;
  default:
    return 0;
  }
}

int CurvePen(short trial, bool calibrationMode, bool printing, bool stagesShown) {
  const int first = calibrationMode ? 4 : 1;
  if (!printing) {
    switch (trial) {
    case 0:
      return first;
    case 1:
      return 2;
    case 2:
      return 3;
    case 3:
      return 5;
    default:
      return first;
    }
  }
  if (trial == 3 || (trial == 1 && stagesShown))
    return 5;
  if (trial == 2 && stagesShown)
    return 3;
  return first;
}

std::string ScaleLabel(float value, short measureMode) {
  char text[32];
  const bool whole = std::floor(value) == value;
  if (measureMode == MEASURE_SHUTTER)
    std::snprintf(text, sizeof text, whole ? "%4.0f" : "%4.1f", static_cast<double>(value));
  else if (!whole)
    return " ";
  else if (measureMode == MEASURE_RHINO)
    std::snprintf(text, sizeof text, "%4d", static_cast<int>(value));
  else
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

std::vector<TTick> ScaleTicks(int x, int y, float pixelsPerUnit, bool vertical, int first, int last, int step,
                              float zoomFactor, short measureMode) {
  std::vector<TTick> ticks;
  const int count = std::abs(first) + std::abs(last) + 1;
  const bool rhino = measureMode == MEASURE_RHINO;
  for (int n = 0; n < count; ++n) {
    const int value = vertical ? first - n : first + n;
    const int offset = static_cast<int>(static_cast<float>(n) * pixelsPerUnit);
    const TPoint at = vertical ? TPoint{x, y + offset} : TPoint{x + offset, y};
    const bool labelled = rhino ? value % 200 == 0 : step != 0 && value % step == 0;
    if (!labelled && rhino)
      continue;
    TTick tick{at, labelled, {}};
    if (labelled && value != 0)
      tick.Label = ScaleLabel(static_cast<float>(value) * zoomFactor, measureMode);
    ticks.push_back(std::move(tick));
  }
  return ticks;
}

}  // namespace MeasureLayout
