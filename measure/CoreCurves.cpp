#include "measure/CoreCurves.h"

#include "common/MeasureMode.h"
#include "measure/MeasureCore.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr short KindValueIndex = 0;  // FVC, IVC, MVV, TLC ... lead each block
constexpr std::size_t PefIndex = 7;
constexpr int CurveSeconds = 12;     // the volume-time graph's time axis

TColor PenColour(int pen) {
  switch (pen) {
  case 1: return ResultCells::LightBlue;
  case 5: return ResultCells::LightMagenta;
  case 2:
  case 4: return ResultCells::DarkRed;
  default: return TColor::Black();
  }
}

void Frame(TPrintCanvas& canvas, const TRect& r) {
  canvas.Line(r.Left, r.Top, r.Right, r.Top);
  canvas.Line(r.Right, r.Top, r.Right, r.Bottom);
  canvas.Line(r.Right, r.Bottom, r.Left, r.Bottom);
  canvas.Line(r.Left, r.Bottom, r.Left, r.Top);
}

}  // namespace

TRect TCoreCurves::FlowVolumeRect(int top) { return {71, top, 361, top + 320}; }

TRect TCoreCurves::VolumeTimeRect(int top) { return {416, top, 741, top + 170}; }

void TCoreCurves::CalculatePrintZoom(short kind, bool provocation, bool /*upperLimit*/) {
  ZoomStep = 3;
  const std::vector<short> slots = provocation ? std::vector<short>{0, 1, 2}
                                               : std::vector<short>{static_cast<short>(std::max(0, Core.TrialOrder[0] - 1)), 3};
  for (short slot : slots) {
    const float* values = Core.GetAktBuffer(kind, slot);
    if (values == nullptr || values[KindValueIndex] == 0.0f)
      continue;
    const float volume = values[KindValueIndex];
    const float flow = kind == MEASURE_FVC ? values[PefIndex] : 0.0f;
    short step = 0;
    for (short s = 3; s >= 0; --s)
      if (volume <= VolumeLimits[s] && flow <= FlowLimits[s]) {
        step = s;
        break;
      }
    ZoomStep = std::min(ZoomStep, step);
  }
}

void TCoreCurves::DrawAxes(TPrintCanvas& canvas, short kind, bool fvcBesideVolume) {
  Top = canvas.PrintY;
  if (kind == MEASURE_FVC) {
    const TRect fv = FlowVolumeRect(Top);
    Frame(canvas, fv);
    const int zeroFlow = fv.Top + fv.Height() / 2;
    canvas.Line(fv.Left, zeroFlow, fv.Right, zeroFlow);
    if (!fvcBesideVolume)
      return;
  }
  if (kind == MEASURE_FVC || kind == MEASURE_VC || kind == MEASURE_MVV || kind == MEASURE_DFC)
    Frame(canvas, VolumeTimeRect(Top));
}

void TCoreCurves::DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool wholeFvc,
                           bool fvcBesideVolume) {
  const float* flow = Core.GetSpiroFlowBuffer(slot);
  const float* volume = Core.GetSpiroVolumeBuffer(slot);
  const int count = Core.GetBufferSize(kind, slot);
  if (flow == nullptr || volume == nullptr || count <= 1 || kind > MEASURE_DFC)
    return;
  const float maxVolume = VolumeLimits[ZoomStep];
  const float maxFlow = FlowLimits[ZoomStep];
  canvas.Surface.SetPen({PenColour(pen), 1, dotted ? TPenStyle::Dash : TPenStyle::Solid});
  const auto draw = [&](const TRect& r, int from, int to, auto point) {
    std::vector<TPoint> points;
    points.reserve(static_cast<std::size_t>(to - from + 1));
    for (int i = from; i <= to; ++i) {
      const auto [fx, fy] = point(i);
      if (!std::isfinite(fx) || !std::isfinite(fy))
        continue;
      const float x = std::clamp(fx, 0.0f, 1.0f), y = std::clamp(fy, 0.0f, 1.0f);
      points.push_back({canvas.ScaleXOf(r.Left) + static_cast<int>(x * static_cast<float>(canvas.ScaleXOf(r.Width()))),
                        canvas.ScaleYOf(r.Bottom) - static_cast<int>(y * static_cast<float>(canvas.ScaleYOf(r.Height())))});
    }
    canvas.Surface.Polyline(points);
  };
  // The largest breath: from the highest volume down to the lowest after
  // it and up to the highest after that; the whole curve when asked.
  const float* end = volume + count;
  const float* high = std::max_element(volume, end);
  const float* low = std::min_element(high, end);
  const float* back = std::max_element(low, end);
  const int first = wholeFvc ? 0 : static_cast<int>(high - volume);
  const int last = wholeFvc ? count - 1 : static_cast<int>(back - volume);
  const float top = *high;
  if (kind == MEASURE_FVC) {
    draw(FlowVolumeRect(Top), first, last, [&](int i) {
      return std::pair{(top - volume[i]) / maxVolume, 0.5f + flow[i] / (2.0f * maxFlow)};
    });
    if (!fvcBesideVolume)
      return;
  }
  const float seconds = std::max(static_cast<float>(CurveSeconds), static_cast<float>(count) / SamplesPerSecond);
  const float bottom = *std::min_element(volume, end);
  draw(VolumeTimeRect(Top), 0, count - 1, [&](int i) {
    return std::pair{static_cast<float>(i) / (seconds * SamplesPerSecond), (volume[i] - bottom) / maxVolume};
  });
}
