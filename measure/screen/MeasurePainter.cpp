#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PatientLineFit.h"
#include "measure/screen/PlethyPainter.h"
#include "measure/screen/PlethyStrokeChart.h"
#include "measure/screen/RhinoChart.h"
#include "measure/screen/ShutterPainter.h"

#include "common/MeasureMode.h"
#include "measure/core/MeasureCore.h"
#include "measure/results/ResultCells.h"
#include "platform/basekit/Message.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace MeasureLayout;
using MeasureTexts::TListGrid;
using MeasureTexts::TTextItem;

namespace {

constexpr std::size_t BackgroundColor = 0;
constexpr std::size_t AxisColor = 2;
constexpr int ScalePoints = 8;

// A pixel distance truncated as the layout truncates; a wild sample stays
// far outside every area instead of overflowing the integer.
int Pixels(float value) {
  return std::isnan(value) ? 1000000 : static_cast<int>(std::clamp(value, -1.0e6f, 1.0e6f));
}

bool StrictlyInside(const TRect& r, TPoint p) { return p.X > r.Left && p.X < r.Right && p.Y > r.Top && p.Y < r.Bottom; }

}  // namespace

TMeasurePainter::TMeasurePainter(TMeasureCore& core, const TUtil& util, const TMessage& messages,
                                 std::shared_ptr<const TPictureSource> pictures)
    : MeasureCore(core), Util(util), Messages(messages), PictureSource(std::move(pictures)) {
  SetCurrentFactor();
}

std::array<TPen, PenCount> TMeasurePainter::Pens() const {
  const int width = std::max<int>(1, MeasureCore.PenSize);
  return {{{Color(AxisColor), 1},
           {Color(4), width},
           {Color(5), width},
           {Color(6), width},
           {Color(7), width},
           {Color(8), width},
           {TColor{255, 128, 128}, width},
           {TColor{128, 255, 128}, width},
           {Color(3), 1}}};
}

TPaintFlags TMeasurePainter::Flags(bool fromFramework) const {
  TPaintFlags flags;
  flags.MeasureMode = TMeasureData::MeasureMode;
  flags.FromFramework = fromFramework;
  flags.Running = MeasureCore.IsRunning();
  flags.ZeroActive = ZeroActive;
  flags.AnimationPending = AnimationPending;
  flags.AnyAnimationActive = AnyAnimationActive;
  flags.BigTable = Display.BigTable;
  flags.PrePost = Display.PrePost;
  flags.ScreenMode = Display.ScreenMode;
  flags.InstrumentType = MeasureCore.InstrumentType;
  flags.PressureCurves = PressureCurves;
  flags.RhinoResults = RhinoResults;
  return flags;
}

std::vector<TPaintStep> TMeasurePainter::MeasurePaint(TDrawSurface& surface, bool fromFramework) {
  const TPaintFlags flags = Flags(fromFramework);
  if (fromFramework && !flags.Running && ZeroActive && AnimationPending)
    AnimationPending = false;
  const std::vector<TPaintStep> steps = PaintPlan(flags);
  for (const TPaintStep step : steps)
    RunStep(surface, step);
  return steps;
}

void TMeasurePainter::RunStep(TDrawSurface& surface, TPaintStep step) {
  using S = TPaintStep;
  switch (step) {
  case S::Background:
    DrawBitmap(surface, "BOARD800_600", 0, 0, TRasterOp::SrcCopy);
    return;
  case S::FillFields:
    FillFields(surface);
    return;
  case S::DateTime:
    WriteDateTime(surface);
    break;
  case S::ClearFullScreen:
    ClearFullScreen(surface);
    return;
  case S::Table:
    WriteTable(surface);
    return;
  case S::PrePostTable:
    WritePrePostTable(surface);
    return;
  case S::Axes:
    DrawKoordinata(surface);
    return;
  case S::PlethyScreen:
    PlethyPainter::Paint(*this, surface);
    break;
  case S::ShutterAxes:
    ShutterPainter::DrawKoordinata(*this, surface);
    if (!Display.Printing)
      ShutterPainter::DrawVolumeKoordinata(*this, surface);
    break;
  case S::ShutterCurves:
    ShutterPainter::DrawCurves(*this, surface);
    break;
  case S::Curves:
    DrawCurves(surface, false);
    break;
  case S::PrePostCurves:
    DrawCurves(surface, true);
    break;
  case S::PatientLine:
    WritePredictedData(surface);
    return;
  case S::BigTable:
    DrawBigTable(surface);
    return;
  default:
    break;
  }
  if (const auto hook = Hooks.find(step); hook != Hooks.end() && hook->second)
    hook->second(surface);
}

void TMeasurePainter::Fill(TDrawSurface& surface, const TRect& rect, std::size_t colorEntry) const {
  TUtil::FillRect(surface, Display.XScale, Display.YScale, rect, Color(colorEntry));
}

void TMeasurePainter::FillFields(TDrawSurface& surface) const {
  const short mode = TMeasureData::MeasureMode;
  const bool special = mode == MEASURE_RHINO || mode == MEASURE_SHUTTER;
  Fill(surface, WorkArea(Display.ScreenMode), BackgroundColor);
  if (!special)
    Fill(surface, LowerArea(Display.ScreenIndex), BackgroundColor);
  Fill(surface, LogoBox, BackgroundColor);
  if (special)
    Fill(surface, LowerArea(Display.ScreenIndex), MeasureTexts::PanelColor);
  Fill(surface, TitleStrip, MeasureTexts::PanelColor);
  Fill(surface, PatientStrip, MeasureTexts::PanelColor);
  Fill(surface, TableBox, MeasureTexts::PanelColor);
}

void TMeasurePainter::ClearFullScreen(TDrawSurface& surface) const {
  Fill(surface, WorkArea(Display.ScreenMode), BackgroundColor);
}

void TMeasurePainter::ClearMeasureScreen(TDrawSurface& surface) {
  if (Display.ResultKind != 0)
    return;
  Fill(surface, WorkArea(Display.ScreenMode), BackgroundColor);
  Fill(surface, LowerArea(Display.ScreenIndex), BackgroundColor);
  const short mode = TMeasureData::MeasureMode;
  if (mode == MEASURE_PLETHY) {
    PlethyPainter::DrawKoordinata(*this, surface);
    return;
  }
  if (mode == MEASURE_SHUTTER || mode == MEASURE_RHINO) {
    const TPaintStep axes = mode == MEASURE_SHUTTER ? TPaintStep::ShutterAxes : TPaintStep::RhinoAxes;
    RunStep(surface, axes);
    return;
  }
  DrawKoordinata(surface);
}

void TMeasurePainter::ClearHurokScreen(TDrawSurface& surface) const {
  Fill(surface, WorkArea(Display.ScreenMode), BackgroundColor);
  // A calibration of the diffusion unit or the body box keeps its pressure
  // chart on the cleared area.
  if (TMeasureData::MeasureMode == MEASURE_CALIBRATION &&
      (IsPressureInstrument(MeasureCore.InstrumentType) || MeasureCore.IsPlethysmographInstrument()))
    if (const auto hook = Hooks.find(TPaintStep::PressureAxes); hook != Hooks.end() && hook->second)
      hook->second(surface);
}

void TMeasurePainter::WriteSequenceText(TDrawSurface& surface, const TRect& rect, std::string_view text) const {
  TUtil::TextRectOut(surface, Display.XScale, Display.YScale, rect, text, Color(BackgroundColor),
                     Color(AxisColor), 12, "Courier New", 0, 700, true);
}

void TMeasurePainter::ClearVolumeScreen(TDrawSurface& surface) const {
  Fill(surface, LowerArea(Display.ScreenIndex), BackgroundColor);
  const short mode = TMeasureData::MeasureMode;
  if (mode == MEASURE_SHUTTER) {
    ShutterPainter::DrawVolumeKoordinata(*this, surface);
    return;
  }
  if (mode == MEASURE_RHINO) {
    RhinoChart::DrawRhinoVolumeKoordinata(*this, surface, RhinoFactors(MeasureCore.ZoomLevel));
    return;
  }
  if (const auto hook = Hooks.find(TPaintStep::ShutterAxes); hook != Hooks.end() && hook->second)
    hook->second(surface);
}

void TMeasurePainter::DrawBitmap(TDrawSurface& surface, std::string_view name, int x, int y, TRasterOp op) const {
  const auto picture = Picture(name);
  if (!picture)
    return;
  const float fx = Display.XScale;
  const float fy = Display.YScale;
  if (op == TRasterOp::SrcPaint)
    surface.FillRect(TUtil::Scale(fx, fy, TRect{x + 10, y, x + 15, y + 96}), TColor::Black());
  const TSize size = picture->Size();
  const TPoint at = TUtil::Scale(fx, fy, TPoint{x, y});
  const TRect target{at.X, at.Y, at.X + static_cast<int>(static_cast<float>(size.Width) * fx),
                     at.Y + static_cast<int>(static_cast<float>(size.Height) * fy)};
  surface.DrawPicture(*picture, target, op);
}

std::shared_ptr<const TPicture> TMeasurePainter::Picture(std::string_view name) const {
  if (!PictureSource)
    return nullptr;
  if (const auto found = PictureCache.find(name); found != PictureCache.end())
    return found->second;
  auto picture = PictureSource->Load(name);
  PictureCache.emplace(std::string(name), picture);
  return picture;
}

void TMeasurePainter::DrawPictures(TDrawSurface& surface, const TPictureDraws& draws) const {
  for (const TPictureDraw& draw : draws)
    DrawBitmap(surface, draw.Name, draw.At.X, draw.At.Y, draw.Op);
}

void TMeasurePainter::WriteScreenCoordinate(TDrawSurface& surface, TPoint point) const {
  char text[48];
  std::snprintf(text, sizeof text, "X=%3d, Y=%3d", point.X, point.Y);
  TUtil::TextOutA(surface, Display.XScale, Display.YScale, 15, 75, text, Color(BackgroundColor), 12, "Courier New",
                  Color(AxisColor), 700);
}

// --- Axes ------------------------------------------------------------------------

void TMeasurePainter::SetCurrentFactor() {
  Factors = ZoomFactors(MeasureCore.ZoomLevel);
}

void TMeasurePainter::ChangePrintOffset() {
  Display.PrintOffset = static_cast<short>(Display.PrintOffset + PrintOffsetStep(TMeasureData::MeasureMode));
}

void TMeasurePainter::SegmentTo(TDrawSurface& surface, int pen, TPoint from, TPoint to) const {
  const auto pens = Pens();
  surface.SetPen(pens[static_cast<std::size_t>(std::clamp(pen, 0, PenCount - 1))]);
  surface.Line(TUtil::Scale(Display.XScale, Display.YScale, from), TUtil::Scale(Display.XScale, Display.YScale, to));
}

void TMeasurePainter::DrawLine(TDrawSurface& surface, int x, int y, int dx, int dy, int pen) const {
  SegmentTo(surface, LinePen(pen), {x, y}, {x + dx, y + dy});
}

void TMeasurePainter::DrawGrid(TDrawSurface& surface, int x, int y, int width, int height, float stepX, float stepY,
                               int /*kind*/) const {
  if (stepX <= 0.0f || stepY <= 0.0f)
    return;
  const int skipped = TMeasureData::MeasureMode == MEASURE_RHINO ? 6 : 4;
  const auto pens = Pens();
  surface.SetPen(pens[static_cast<std::size_t>(LinePen(3))]);
  const auto dotted = [&](TPoint from, int dx, int dy, int length) {
    for (int s = 0; s < length; s += 4) {
      const int end = std::min(s + 2, length);
      surface.Line(TUtil::Scale(Display.XScale, Display.YScale, TPoint{from.X + dx * s, from.Y + dy * s}),
                   TUtil::Scale(Display.XScale, Display.YScale, TPoint{from.X + dx * end, from.Y + dy * end}));
    }
  };
  for (int n = 0; static_cast<float>(n) * stepX <= static_cast<float>(width); ++n)
    if (n != skipped)
      dotted({x + static_cast<int>(static_cast<float>(n) * stepX), y}, 0, 1, height);
  for (int n = 0; static_cast<float>(n) * stepY <= static_cast<float>(height); ++n)
    if (n != skipped)
      dotted({x, y + static_cast<int>(static_cast<float>(n) * stepY)}, 1, 0, width);
}

void TMeasurePainter::DrawScale(TDrawSurface& surface, int x, int y, float pixelsPerUnit, bool vertical, int first,
                                int last, int step, float zoomFactor, bool plainLabels) const {
  const int out = Display.Printing ? 25 : 0;
  // No test's mode: the plain rule of every step labelled.
  constexpr short PlainScale = -1;
  for (const TTick& tick : ScaleTicks(x, y, pixelsPerUnit, vertical, first, last, step, zoomFactor,
                                      plainLabels ? PlainScale : TMeasureData::MeasureMode)) {
    const int half = tick.Long ? 4 : 2;
    if (vertical)
      DrawLine(surface, tick.At.X - half, tick.At.Y, 2 * half, 0, 0);
    else
      DrawLine(surface, tick.At.X, tick.At.Y - half, 0, 2 * half, 0);
    if (tick.Label.empty())
      continue;
    // The volume-time diagram's volume scale has its labels inside: on the
    // screen it stands at the window's left edge, on a printed page at the
    // right column's edge, next to the flow-volume loop.
    const bool inside = vertical && (tick.At.X < 40 || (Display.Printing && tick.At.X == PrintVolumeTimeLeft));
    const TRect box = !vertical ? TRect{tick.At.X - 14, tick.At.Y + 6 + out, tick.At.X + 14, tick.At.Y + 17 + out}
                      : inside  ? TRect{tick.At.X + 6, tick.At.Y - 6, tick.At.X + InsideLabelsEnd, tick.At.Y + 6}
                                : TRect{tick.At.X - 34 - out, tick.At.Y - 6, tick.At.X - 6 - out, tick.At.Y + 6};
    TUtil::TextRectOut(surface, Display.XScale, Display.YScale, box, tick.Label, Color(BackgroundColor),
                       Color(AxisColor), ScalePoints, "Courier New", !vertical ? 1 : inside ? 0 : 2, 700, false);
  }
}

void TMeasurePainter::WriteScaleUnit(TDrawSurface& surface, int x, int y, std::string_view unit) const {
  TUtil::TextRectOut(surface, Display.XScale, Display.YScale, TRect{x, y, x + 40, y + 12}, unit,
                     Color(BackgroundColor), Color(AxisColor), ScalePoints, "Courier New", 0, 700, false);
}

void TMeasurePainter::DrawKoordinata(TDrawSurface& surface) {
  SetCurrentFactor();
  const short mode = TMeasureData::MeasureMode;
  const bool flowVolume =
      mode == MEASURE_FVC || (mode == MEASURE_CALIBRATION &&
                              (Display.Printing || MeasureCore.InstrumentType == 0 || !PressureCurves));
  const bool volumeTime = mode == MEASURE_VC || mode == MEASURE_MVV || mode == MEASURE_DFC ||
                          (mode == MEASURE_CALIBRATION && !flowVolume) ||
                          (flowVolume && (Display.ScreenMode == 1 || Display.VolumeTimeOnFullScreen));
  const float timeScale = Display.Printing ? 0.5f : 1.0f;
  const TZoomStep& zoom = Zoom(MeasureCore.ZoomLevel);

  if (flowVolume) {
    const int k = ScreenMultiplier(Display.ScreenMode);
    TPoint origin = FlowVolumeOrigin(Display.ScreenMode);
    if (Display.Printing) {
      // The printed loop shows breathed-out volume only (0 to 8 steps):
      // its diagram starts at the flow axis, in the page's left column.
      origin = PrintFlowVolumeOrigin(Display.PrintLine);
      origin.X += Display.PrintOffset;
    }
    const int left = Display.Printing ? origin.X : 45 * k;
    const int width = Display.Printing ? 112 * k : 224 * k;
    if (Display.Grid != 0)
      DrawGrid(surface, left, TopY(), width, 168 * k, 28.0f * static_cast<float>(k), 24.0f * static_cast<float>(k),
               0);
    if (mode == MEASURE_CALIBRATION)
      WritePredictedValue(surface, mode);
    DrawLine(surface, origin.X, TopY(), 0, 168 * k, 0);
    DrawScale(surface, origin.X, TopY(), FlowPixelsPerLps * static_cast<float>(k), true, 16, -12, 4, zoom.Flow);
    WriteScaleUnit(surface, origin.X + 6, TopY() - 2, "[L/s]");
    DrawLine(surface, left, origin.Y, width, 0, 0);
    if (Display.Printing)
      DrawScale(surface, origin.X, origin.Y, VolumePixelsPerL * static_cast<float>(k), false, 0, 8, 2, zoom.Volume);
    else
      DrawScale(surface, left, origin.Y, VolumePixelsPerL * static_cast<float>(k), false, -8, 8, 2, zoom.Volume);
    WriteScaleUnit(surface, left + width - 30, origin.Y - 16, "[L]");
    if (mode == MEASURE_FVC)
      WritePredictedValue(surface, mode);
  }
  if (volumeTime) {
    const int top = Display.Printing ? Display.PrintLine : VolumeTimeTop;
    const int base = top + 112;
    const int left = Display.Printing ? PrintVolumeTimeLeft : VolumeTimeLeft;
    if (Display.Grid != 0)
      DrawGrid(surface, left, top, static_cast<int>(720 * timeScale), 112, 60.0f * timeScale, 28.0f, 1);
    DrawLine(surface, left, base, static_cast<int>(723 * timeScale), 0, 0);
    DrawScale(surface, left, base, TimePixelsPerS * timeScale, false, 0, 60, 5, zoom.Time);
    WriteScaleUnit(surface, left + static_cast<int>(723 * timeScale) - 30, base - 16, "[s]");
    DrawLine(surface, left, top, 0, 140, 0);
    DrawScale(surface, left, top, VolumePixelsPerL, true, 8, -2, 2, zoom.Volume);
    WriteScaleUnit(surface, left + 30, top - 2, "[L]");
    if (mode != MEASURE_FVC && mode != MEASURE_CALIBRATION)
      WritePredictedValue(surface, mode);
  }
}

void TMeasurePainter::WritePredictedValue(TDrawSurface& surface, short measureMode) {
  const short kind = measureMode == MEASURE_CALIBRATION ? short{MEASURE_FVC} : measureMode;
  const float* predicted = MeasureCore.GetRefBuffer(kind, 0);
  const float* rsd = MeasureCore.GetRsdBuffer(kind);
  if (!predicted || !rsd)
    return;
  const auto count = static_cast<std::size_t>(std::max<short>(0, TMeasureCore::GetNumberOfParams(kind)));
  MeasureTexts::TRangeGeometry geometry{measureMode, Display.ScreenMode, MeasureCore.ZoomLevel, Display.Printing,
                                        Display.PrintLine, Display.PrintOffset};
  const MeasureTexts::TRangeMarks marks = MeasureTexts::NormalRanges(geometry, {predicted, count}, {rsd, count});
  const TPen pen{Color(MeasureTexts::NormalRangeColor), 1};
  surface.SetPen(pen);
  for (const TRect& box : marks.Boxes)
    surface.FrameRect(TUtil::Scale(Display.XScale, Display.YScale, box));
  for (const auto& [from, to] : marks.Lines)
    surface.Line(TUtil::Scale(Display.XScale, Display.YScale, from), TUtil::Scale(Display.XScale, Display.YScale, to));
}

// --- Curves ----------------------------------------------------------------------------

bool TMeasurePainter::PenDown(short trial, int period, bool panels) {
  const bool stages = Display.StageView || Display.ProvocationPrint;
  TDashState& dashes = panels ? PanelDashes : Dashes;
  ++dashes.Segments;
  if (dashes.Segments % std::max(period, 1) == 0) {
    if (trial == 3 || (trial == 1 && stages)) {
      dashes.Down = !dashes.Down;
    } else if (trial == 2 && stages) {
      ++dashes.Dash;
      dashes.Down = dashes.Dash <= 3;
      if (dashes.Dash >= 5)
        dashes.Dash = 0;
    }
  }
  return dashes.Down;
}

bool TMeasurePainter::DrawCurve(TDrawSurface& surface, short trial, int i, bool final) {
  const short mode = TMeasureData::MeasureMode;
  if (trial < 0 || trial > 3 || i <= 0 || mode < MEASURE_FVC || mode > MEASURE_CALIBRATION)
    return false;
  if (mode == MEASURE_SHUTTER) {
    // During the test the live volume strip; the diagram's points come as
    // they are fitted.
    ShutterPainter::DrawVolumeSegment(*this, surface, trial, i);
    return true;
  }
  if (mode == MEASURE_PLETHY) {
    PlethyPainter::DrawCurve(*this, surface, trial, i, final);
    return true;
  }
  if (mode == MEASURE_RHINO)
    return false;
  const bool calibration = mode == MEASURE_CALIBRATION;
  // The body box's syringe strokes: flow and volume against time.
  if (calibration && MeasureCore.IsPlethysmographInstrument())
    return PlethyStrokeChart::DrawSegment(*this, surface, i);
  const auto slot = static_cast<std::size_t>(trial);
  const std::vector<float>& flow = calibration ? MeasureCore.CalFlow : MeasureCore.Flow[slot];
  const std::vector<float>& volume = calibration ? MeasureCore.CalVolume : MeasureCore.Volume[slot];
  const auto index = static_cast<std::size_t>(i);
  if (index >= flow.size() || index >= volume.size())
    return false;
  const float f0 = flow[index - 1], f1 = flow[index], v0 = volume[index - 1], v1 = volume[index];
  if (!std::isfinite(f0) || !std::isfinite(f1) || !std::isfinite(v0) || !std::isfinite(v1))
    return false;

  const int pen = CurvePen(trial, calibration, Display.Printing, Display.StageView || Display.ProvocationPrint);
  const bool dashed = Display.Printing && final && trial != 0;
  if (dashed && !PenDown(trial, 5))
    return false;

  const int k = ScreenMultiplier(Display.ScreenMode);
  const float period = Display.Printing ? 0.5f : 1.0f;
  const TCurvePixels a = CalculateFlowVolumeAndTime(f0, v0, i - 1, period, Factors, k);
  const TCurvePixels b = CalculateFlowVolumeAndTime(f1, v1, i, period, Factors, k);
  bool drawn = false;

  // While an FVC runs, its volume counts down from the start of the blast,
  // a whole vital capacity below zero and off the diagram's foot: the live
  // curve starts at the top of the volume scale instead, so that the
  // expiration and its plateau stay in view. After the stop the evaluated
  // curve stands on its base line.
  const bool liveFvc = mode == MEASURE_FVC && MeasureCore.IsRunning() && !Display.Printing;
  float offset = liveFvc ? static_cast<float>(VolumeTimeBase - VolumeTimeTop) : 0.0f;
  if (mode == MEASURE_VC && !MeasureCore.IsRunning()) {
    const float level = Display.StageView && trial < 3 ? Display.StageLevels[slot]
                        : trial == 3                   ? Display.PreVolumeLevel
                                                       : Display.VolumeLevel;
    offset = level * VolumePixelsPerL / Factors[1];
  }
  // On the screen a segment that leaves its area is left out; on paper the
  // curve is cut at its diagram's frame, so a long trial or a large loop
  // ends at the frame instead of running over the page.
  const auto segment = [&](TPoint from, TPoint to, const TRect& screenArea, const TRect& printFrame) {
    if (from == to)
      return false;
    if (!Display.Printing) {
      if (!StrictlyInside(screenArea, from) || !StrictlyInside(screenArea, to))
        return false;
      SegmentTo(surface, pen, from, to);
      return true;
    }
    const auto cut = ClipToFrame(printFrame, from, to);
    if (!cut || cut->first == cut->second)
      return false;
    SegmentTo(surface, pen, cut->first, cut->second);
    return true;
  };
  const bool volumeTime = mode != MEASURE_FVC || Display.ScreenMode == 1 || Display.VolumeTimeOnFullScreen;
  if (volumeTime) {
    const int base = Display.Printing ? Display.PrintLine + 112 : VolumeTimeBase;
    const float baseLevel = Display.BaseLevel * VolumePixelsPerL / Factors[1];
    const auto vt = [&](const TCurvePixels& p) {
      return TPoint{(Display.Printing ? PrintVolumeTimeLeft : VolumeTimeLeft) + Pixels(p.T),
                    base - Pixels(p.Y / static_cast<float>(k) + offset) -
                        static_cast<int>(baseLevel)};
    };
    drawn = segment(vt(a), vt(b), LowerArea(Display.ScreenIndex), PrintVolumeTimeFrame(Display.PrintLine)) || drawn;
  }
  // The loop: the FVC's, and on paper the calibration strokes' as well.
  if (mode == MEASURE_FVC || (calibration && Display.Printing)) {
    // The loop meets the flow axis at its largest volume: the FVC's, or
    // the calibration's highest turn.
    float startL = Display.PrintedCalibrationTopL;
    if (!calibration) {
      const float* akt = MeasureCore.GetAktBuffer(MEASURE_FVC, trial);
      startL = akt && std::isfinite(akt[0]) ? akt[0] : 0.0f;
    }
    const float startPixels = startL * VolumePixelsPerL * static_cast<float>(k) / Factors[1];
    TPoint origin = FlowVolumeOrigin(Display.ScreenMode);
    if (Display.Printing) {
      origin = PrintFlowVolumeOrigin(Display.PrintLine);
      origin.X += Display.PrintOffset;
    }
    const auto fv = [&](const TCurvePixels& p) {
      return TPoint{origin.X - Pixels(p.Y - startPixels), origin.Y + Pixels(p.X)};
    };
    drawn = segment(fv(a), fv(b), WorkArea(Display.ScreenMode), PrintLoopFrame(origin, Display.PrintLine, k)) ||
            drawn;
  }
  return drawn;
}

void TMeasurePainter::DrawCurves(TDrawSurface& surface, bool prePost) {
  SetCurrentFactor();
  ResetDashes();
  const short mode = TMeasureData::MeasureMode;
  const auto modeIndex = static_cast<std::size_t>(std::clamp<short>(mode, 0, 7));
  std::vector<short> trials;
  if (!prePost) {
    trials = {0, 1, 2};
  } else {
    const short first = MeasureCore.TrialOrder[0];
    trials = {static_cast<short>(first > 0 ? first - 1 : 0), 3};
  }
  const auto countOf = [&](short trial) {
    const auto slot = static_cast<std::size_t>(trial);
    const bool calibration = mode == MEASURE_CALIBRATION;
    const std::size_t buffer = calibration ? std::min(MeasureCore.CalFlow.size(), MeasureCore.CalVolume.size())
                                           : std::min(MeasureCore.Flow[slot].size(), MeasureCore.Volume[slot].size());
    const auto stored = static_cast<std::size_t>(std::max<short>(0, MeasureCore.SampleCount[modeIndex][slot]));
    return std::min(stored, buffer);
  };
  std::size_t longest = 0;
  for (const short trial : trials)
    longest = std::max(longest, countOf(trial));
  const short saved = MeasureCore.TrialIndex;
  for (std::size_t i = 0; i < longest; ++i)
    for (const short trial : trials)
      if (countOf(trial) > i) {
        MeasureCore.TrialIndex = trial;
        DrawCurve(surface, trial, static_cast<int>(i), true);
      }
  MeasureCore.TrialIndex = saved;
}

// --- Texts -------------------------------------------------------------------------------

void TMeasurePainter::WriteText(TDrawSurface& surface, const TTextItem& item) const {
  if (Display.ListGrid && item.ListColumn >= 0 && !Display.Printing) {
    // In the list's own font, so that a character of the heading is as wide
    // as one of the values under it.
    const TListGrid& grid = *Display.ListGrid;
    const int x = grid.Left + surface.MeasureText(std::string(static_cast<std::size_t>(item.ListColumn), '0'),
                                                   grid.Font).Width;
    const int y = TUtil::Scale(Display.XScale, Display.YScale, item.At).Y;
    surface.TextAt({x, y}, item.Text, {grid.Font, Color(item.Color), Color(item.Background), true, TTextAlign::Left});
    return;
  }
  TUtil::TextOutA(surface, Display.XScale, Display.YScale, item.At.X, item.At.Y, item.Text, Color(item.Background),
                  item.Points, item.Face, Color(item.Color), 700);
}

void TMeasurePainter::WriteTable(TDrawSurface& surface) const {
  if (MeasureCore.IsRunning())
    return;
  MeasureTexts::THeaderState state{Display.ScreenIndex, Display.ResultKind, Display.StageView, MeasureCore.TrialOrder};
  for (const TTextItem& item : MeasureTexts::TableHeader(state, Messages))
    WriteText(surface, item);
}

void TMeasurePainter::WritePrePostTable(TDrawSurface& surface) const {
  if (MeasureCore.IsRunning())
    return;
  MeasureTexts::TPrePostState state;
  state.ScreenIndex = Display.ScreenIndex;
  const auto modeIndex = static_cast<std::size_t>(std::clamp<short>(TMeasureData::MeasureMode, 0, 7));
  state.PreviousHasSamples = MeasureCore.SampleCount[modeIndex][3] > 0;
  MeasureCore.SetDateTimeStr(state.ActualDate, state.PreviousDate, state.ActualTime, state.PreviousTime,
                             MeasureCore.TrialOrder[0]);
  // Without a previous test its column has no date: the bare picture
  // ("YYYY.MM.DD.") would read as a test whose date was lost.
  if (MeasureCore.MeasureDate[modeIndex][3].Year == 0) {
    state.PreviousDate.clear();
    state.PreviousTime.clear();
  }
  for (const TTextItem& item : MeasureTexts::PrePostHeader(state, Messages))
    WriteText(surface, item);
}

void TMeasurePainter::UpdateTableTitle(TDrawSurface& surface) const {
  if (Display.BigTable || Display.ScreenMode != 1)
    return;
  Fill(surface, TableBox, MeasureTexts::PanelColor);
  if (TMeasureData::MeasureMode == MEASURE_RHINO) {
    if (const auto hook = Hooks.find(TPaintStep::RhinoTable); hook != Hooks.end() && hook->second)
      hook->second(surface);
  } else if (Display.PrePost) {
    WritePrePostTable(surface);
  } else {
    WriteTable(surface);
  }
}

void TMeasurePainter::WritePredictedData(TDrawSurface& surface) const {
  const TColor panel = Color(MeasureTexts::PanelColor);
  const TColor text = Color(MeasureTexts::TextColor);
  // The line ends before the BTPS panel's text (at 450); the blanks that
  // clear the old line stop there too, as the panel's text is already drawn.
  constexpr int Left = 110;
  constexpr int Right = 446;
  const TPoint at = TUtil::Scale(Display.XScale, Display.YScale, TPoint{Left, 9});
  const int right = TUtil::Scale(Display.XScale, Display.YScale, TPoint{Right, 9}).X;
  const TFontSpec full = TUtil::LayoutFont("Times New Roman", 10, Display.YScale, 700);
  // Three quarters of the layout's font at most, and of the font the
  // width stands for when the window is narrower than it is high.
  const TFontSpec widthFont = TUtil::LayoutFont("Times New Roman", 10, std::min(Display.XScale, Display.YScale), 700);
  const int smallest = std::max(1, (widthFont.PixelHeight * 3 + 3) / 4);  // rounded up
  const PatientLineFit::TFitted line =
      PatientLineFit::Fit(surface, MeasureCore.PredictedData, Messages, full, smallest, right - at.X);
  const int clearHeight = TUtil::LayoutFont("Courier New", 10, Display.YScale, 700).PixelHeight;
  surface.SetClip({at.X, at.Y, right, at.Y + 2 * std::max(line.Font.PixelHeight, clearHeight)});
  TUtil::TextOutA(surface, Display.XScale, Display.YScale, Left, 9, std::string(39, ' '), panel, 10, "Courier New",
                  text, 700);
  surface.TextAt(at, line.Text, {line.Font, text, panel, true, TTextAlign::Left});
  surface.ResetClip();
}

bool TMeasurePainter::WriteLargeParam(TDrawSurface& surface, float value, short trialIndex) {
  const auto text = LargeParam.Next(value, TMeasureData::MeasureMode == MEASURE_RHINO);
  if (!text)
    return false;
  const TPoint at = MeasureTexts::TLargeParam::At;
  TUtil::TextOutA(surface, Display.XScale, Display.YScale, at.X, at.Y, *text, Color(BackgroundColor),
                  MeasureTexts::TLargeParam::Points, "Courier New", Color(MeasureTexts::TLargeParam::Color(trialIndex)),
                  700);
  return true;
}

void TMeasurePainter::WriteDateTime(TDrawSurface& surface) const {
  Fill(surface, TRect{8, 66, 742, 107}, MeasureTexts::PanelColor);
  std::string date1, date2, time1, time2;
  std::vector<TTextItem> items;
  if (TMeasureData::MeasureMode == MEASURE_RHINO) {
    items = MeasureTexts::RhinoDateTime(Display.RhinoDates, Messages);
  } else if (Display.StageView) {
    std::string date3, time3;
    MeasureCore.SetDateTimeStr(date1, date2, time1, time2, MeasureCore.TrialOrder[0]);
    MeasureCore.SetDateTimeStrForProvView(date2, time2, date3, time3);
    items = {{{177, 68}, date1}, {{177, 85}, time1}, {{404, 68}, date2},
             {{404, 85}, time2}, {{630, 68}, date3}, {{630, 85}, time3}};
  } else {
    MeasureCore.SetDateTimeStr(date1, date2, time1, time2, MeasureCore.TrialOrder[0]);
    items = {{{173, 68}, date1}, {{173, 85}, time1}, {{346, 68}, date2}, {{346, 85}, time2}};
  }
  for (const TTextItem& item : items)
    WriteText(surface, item);
}

void TMeasurePainter::DrawBigTableFrame(TDrawSurface& surface, int rows) const {
  const bool provocation = Display.StageView;
  const MeasureTexts::TBigTableLayout layout =
      MeasureTexts::BigTableLayout(provocation, TMeasureData::MeasureMode == MEASURE_RHINO);
  const int x1 = layout.Edge(1);
  const float fx = Display.XScale, fy = Display.YScale;
  const auto line = [&](std::size_t color, int width, TPoint from, TPoint to) {
    surface.SetPen({Color(color), std::max(1, static_cast<int>(static_cast<float>(width) * fy))});
    surface.Line(TUtil::Scale(fx, fy, from), TUtil::Scale(fx, fy, to));
  };
  line(1, 2, {8, 107}, {742, 107});
  line(1, 2, {742, 107}, {742, 122});
  line(1, 2, {742, 122}, {8, 122});
  line(1, 2, {8, 122}, {8, 107});
  line(1, 2, {8, 107}, {8, 456});
  line(1, 2, {8, 456}, {742, 456});
  line(2, 2, {x1, 122}, {742, 122});
  line(2, 2, {742, 122}, {742, 456});
  line(2, 2, {742, 456}, {x1, 456});
  const int lastRow = 122 + 15 * rows;
  for (std::size_t c = 0; c + 1 < layout.Widths.size(); ++c) {
    const int x = layout.Edge(c + 1);
    const bool thick = std::find(layout.ThickAfter.begin(), layout.ThickAfter.end(), c) != layout.ThickAfter.end();
    const int width = thick ? 2 : 1;
    const int bottom = thick || !provocation ? 456 : lastRow;
    line(1, width, {x, 107}, {x, 122});
    if (bottom > 122)
      line(2, width, {x, 122}, {x, bottom});
  }
}

// --- The big result table ------------------------------------------------------------

void TMeasurePainter::WriteBigTableText(TDrawSurface& surface, std::string_view text, const TRect& cell,
                                        int alignment, std::size_t textColor, std::size_t background) const {
  TUtil::TextRectOut(surface, Display.XScale, Display.YScale, cell, text, Color(background), Color(textColor), 10,
                     "Courier New", alignment, 700, true);
}

void TMeasurePainter::DrawBigTable(TDrawSurface& surface) {
  const short kind = TMeasureData::MeasureMode;
  const bool provocation = Display.StageView;
  const MeasureTexts::TBigTableLayout layout = MeasureTexts::BigTableLayout(provocation, kind == MEASURE_RHINO);
  const int x1 = layout.Edge(1);
  Fill(surface, {8, 107, 742, 122}, MeasureTexts::PanelColor);
  Fill(surface, {8, 122, x1, 456}, MeasureTexts::PanelColor);
  Fill(surface, {x1, 122, 742, 456}, BackgroundColor);

  const std::size_t columns = layout.Widths.size();
  const auto cellRect = [&](std::size_t c, int top) { return TRect{layout.Edge(c), top, layout.Edge(c + 1), top + 15}; };
  // The header row.
  const std::string third = MeasureTexts::ThirdStageShort(Messages);
  const std::vector<std::string> normal{Messages.LoadStringA(44), "Akt", "Ref.", "%", "RSD", "Pre", "Ref.",
                                        "%", "ABS.", "%", "Akt1", "%", "Akt2", "%"};
  const std::vector<std::string> stages{Messages.LoadStringA(44), "Base", "Ref.", "%", "RSD", "Prov.",
                                        "%", "ABS.", "%", third, "%"};
  const std::vector<std::string>& header = provocation ? stages : normal;
  for (std::size_t c = 0; c < std::min(columns, header.size()); ++c) {
    TRect cell = cellRect(c, 107);
    if (c == 0)
      cell.Left += 5;
    WriteBigTableText(surface, header[c], cell, c == 0 ? 0 : 1, MeasureTexts::TextColor, MeasureTexts::PanelColor);
  }

  int rows = 0;
  if (kind >= MEASURE_FVC && kind <= MEASURE_SHUTTER) {
    const auto count = static_cast<std::size_t>(TMeasureCore::GetNumberOfParams(kind));
    const auto k = static_cast<std::size_t>(kind);
    std::vector<float> results;
    for (const auto& slot : MeasureCore.AktParams[k])
      results.insert(results.end(), slot.begin(), slot.begin() + static_cast<std::ptrdiff_t>(count));
    const unsigned* shown = MeasureCore.GetParamStruct(kind);
    ResultCells::TResultSource source;
    source.Kind = kind;
    source.Results = results;
    source.Predicted = {MeasureCore.RefParams[k].data(), count};
    source.PredictedPre = {MeasureCore.PreRefParams[k].data(), count};
    source.Rsd = {MeasureCore.RsdParams[k].data(), count};
    source.Names = TMeasureCore::GetParamStr(kind);
    source.Units = TMeasureCore::GetUnitStr(kind);
    if (shown)
      source.Shown = {shown, count};
    source.Trials = MeasureCore.TrialOrder;
    source.Grader = MeasureCore.GetPredicted();
    const ResultCells::TResultTable table = ResultCells::BuildTable(source);
    for (const ResultCells::TResultRow& row : table.Rows) {
      const int top = 122 + 15 * row.Row;
      if (top + 15 > 456)
        continue;
      rows = std::max(rows, row.Row + 1);
      TRect name = cellRect(0, top);
      name.Left += 5;
      WriteBigTableText(surface, row.Name, name, 0, MeasureTexts::TextColor, MeasureTexts::PanelColor);
      TUtil::TextRectOut(surface, Display.XScale, Display.YScale, {name.Left, top, name.Right - 3, top + 15}, row.Unit,
                         Color(MeasureTexts::PanelColor), Color(MeasureTexts::TextColor), 10, "Courier New", 2, 700,
                         false);
      const std::vector<std::string> cells = ResultCells::ExportRow(row, provocation);
      for (std::size_t c = 1; c < columns && c + 1 < cells.size(); ++c) {
        const auto colour =
            static_cast<std::size_t>(ResultCells::ScreenColourEntry(static_cast<int>(c), provocation, table));
        WriteBigTableText(surface, cells[c + 1], cellRect(c, top), 2, colour, BackgroundColor);
      }
    }
  }
  if (provocation && rows > 0) {
    // Under the results: the agent, concentration and dose beneath the
    // provocation's columns, the solvent beneath the third stage's.
    TProvocationBlock block = MeasureCore.ProvocationStep;
    block.DoseUnit = MeasureCore.DoseUnit;
    const std::array<ResultCells::TProvocationRow, 3> steps = ResultCells::ProvocationRows(block);
    for (std::size_t n = 0; n < steps.size(); ++n) {
      const int top = 122 + 15 * (rows + static_cast<int>(n));
      if (top + 15 > 456)
        break;
      TRect label = cellRect(0, top);
      label.Left += 5;
      WriteBigTableText(surface, Messages.LoadStringA(steps[n].LabelText), label, 0, MeasureTexts::TextColor,
                        MeasureTexts::PanelColor);
      WriteBigTableText(surface, steps[n].Value, {layout.Edge(5), top, layout.Edge(7), top + 15}, 1, AxisColor,
                        BackgroundColor);
      if (n == 0)
        WriteBigTableText(surface, steps[n].Solvent, {layout.Edge(9), top, layout.Edge(11), top + 15}, 1, AxisColor,
                          BackgroundColor);
    }
  }
  // Lines under the body rows, then the frame and the separators.
  const int bodyRows = rows + (provocation && rows > 0 ? 3 : 0);
  for (int r = 0; r < bodyRows; ++r) {
    const int y = 137 + 15 * r;
    const int width = provocation && r == rows - 1 ? 2 : 1;
    surface.SetPen({Color(MeasureTexts::TextColor), width});
    surface.Line(TUtil::Scale(Display.XScale, Display.YScale, TPoint{8, y}),
                 TUtil::Scale(Display.XScale, Display.YScale, TPoint{x1, y}));
    surface.SetPen({Color(AxisColor), width});
    surface.Line(TUtil::Scale(Display.XScale, Display.YScale, TPoint{x1, y}),
                 TUtil::Scale(Display.XScale, Display.YScale, TPoint{742, y}));
  }
  DrawBigTableFrame(surface, rows);
}
