#include "measure/report/PainterCurves.h"

#include "measure/screen/PlethyPainter.h"
#include "measure/screen/PlethyStrokeChart.h"
#include "measure/screen/ShutterGeometry.h"
#include "measure/screen/ShutterPainter.h"

#include "common/MeasureMode.h"
#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/PressureChart.h"
#include "platform/basekit/PrintCanvas.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace {

// Restores the measure mode the painter reads when a block is done.
class TModeScope {
public:
  explicit TModeScope(short mode) : Saved(TMeasureData::MeasureMode) { TMeasureData::MeasureMode = mode; }
  ~TModeScope() { TMeasureData::MeasureMode = Saved; }
  TModeScope(const TModeScope&) = delete;
  TModeScope& operator=(const TModeScope&) = delete;

private:
  short Saved;
};

// The printout draws a slot's volume integrated again from its flow; the
// window keeps the curve it shows (a live calibration's strokes run below
// zero, the re-integrated ones above it), so the curve is handed back
// when the block is drawn.
class TKeptVolume {
public:
  explicit TKeptVolume(std::vector<float>& volume) : Volume(volume), Held(volume) {}
  ~TKeptVolume() { Volume.swap(Held); }
  TKeptVolume(const TKeptVolume&) = delete;
  TKeptVolume& operator=(const TKeptVolume&) = delete;

private:
  std::vector<float>& Volume;
  std::vector<float> Held;
};

constexpr std::size_t PefIndex = 7;

}  // namespace

void TPainterCurves::CalculatePrintZoom(short kind, bool provocation, bool upperLimit) {
  TMeasureCore& core = Painter.Core();
  // The largest values of the printed slots (the actual and pre tests, or
  // the three provocation stages) choose the step: the smallest scale that
  // still holds them, never a larger one than a slot before needed.
  short step = MeasureLayout::ZoomSteps - 1;
  const short actual = core.TrialOrder[0] > 0 ? static_cast<short>(core.TrialOrder[0] - 1) : short{0};
  const std::vector<short> slots = provocation ? std::vector<short>{0, 1, 2} : std::vector<short>{actual, 3};
  const float* ref = core.GetRefBuffer(kind, 0);
  const float* rsd = core.GetRsdBuffer(kind);
  // With the upper limit of normal a value is raised to it (truncated).
  const auto raised = [&](float value, std::size_t index) {
    if (!upperLimit || ref == nullptr || rsd == nullptr)
      return value;
    return std::max(value, std::trunc(ref[index] + MeasureTexts::NormalRangeZ * rsd[index]));
  };
  const auto fit = [&](float volume, float flow) {
    for (short s = MeasureLayout::ZoomSteps - 1; s >= 0; --s) {
      const MeasureLayout::TZoomStep& limits = MeasureLayout::Zoom(s);
      if (volume <= limits.VolumeMaxL && flow <= limits.FlowMaxLps) {
        step = std::min(step, s);
        break;
      }
    }
    const MeasureLayout::TZoomStep& widest = MeasureLayout::Zoom(0);
    if (volume > widest.VolumeMaxL || flow > widest.FlowMaxLps)
      step = 0;
  };
  if (kind == MEASURE_CALIBRATION) {
    // The strokes' peak flow and their volume from the lowest turn to the
    // highest choose the largest picture that holds them.
    const std::size_t n = core.HeldCalibrationSamples();
    if (n == 0)
      return;  // nothing to fit: the screen's step
    float peakFlow = 0.0f, lowest = 0.0f, highest = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
      peakFlow = std::max(peakFlow, std::abs(core.CalFlow[i]));
      lowest = i == 0 ? core.CalVolume[i] : std::min(lowest, core.CalVolume[i]);
      highest = i == 0 ? core.CalVolume[i] : std::max(highest, core.CalVolume[i]);
    }
    core.ZoomLevel = MeasureLayout::FitZoom(peakFlow, highest - lowest);
    Painter.SetCurrentFactor();
    return;
  }
  if (kind == MEASURE_PLETHY)
    PlethyPrintLoops::StartPrintout(Painter.Display.PlethyPrint, provocation || Painter.Display.ProvocationPrint ||
                                                                     Painter.Display.StageView);
  for (const short slot : slots) {
    // The loops of every printed trial widen the loops' scales.
    if (kind == MEASURE_PLETHY)
      PlethyPainter::CalculatePrintLoopOffset(Painter, slot, true);
    const float* values = core.GetAktBuffer(kind, slot);
    if (values == nullptr)
      continue;
    switch (kind) {
    case MEASURE_FVC:
      if (values[0] != 0.0f)
        fit(raised(values[0], 0), raised(values[PefIndex], PefIndex));
      break;
    case MEASURE_VC:
    case MEASURE_DFC:
    case MEASURE_PLETHY:
      if (values[0] != 0.0f)
        fit(raised(values[0], 0), 0.0f);
      break;
    case MEASURE_MVV:
      // The ventilation graph has one scale.
      if (values[0] != 0.0f)
        step = std::min<short>(step, 1);
      break;
    case MEASURE_SHUTTER: {
      // The largest picture whose area holds the slot's curve.
      const auto s = static_cast<std::size_t>(std::clamp<short>(slot, 0, 3));
      const auto n = std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(
                                               0, core.SampleCount[MEASURE_SHUTTER][s])),
                                           std::min(core.Flow[s].size(), core.Third[s].size()));
      if (n > 0)
        step = std::min(step, ShutterGeometry::FittingScaleIndex(std::span(core.Flow[s]).first(n),
                                                                  std::span(core.Third[s]).first(n)));
      break;
    }
    default:
      break;
    }
  }
  core.ZoomLevel = step;
  Painter.SetCurrentFactor();
}

void TPainterCurves::Prepare(const TPrintCanvas& canvas, short kind, bool secondDiagram) {
  TMeasureDisplay& d = Painter.Display;
  d.Printing = true;
  d.PrintLine = canvas.PrintY;
  d.XScale = canvas.ScaleX;
  d.YScale = canvas.ScaleY;
  // The FVC and the calibration print as the full-width picture (with the
  // volume-time diagram beside the loop when asked), the other kinds as the
  // curve screen.
  d.ScreenMode = kind == MEASURE_FVC || kind == MEASURE_RHINO || kind == MEASURE_CALIBRATION ? 0 : 1;
  d.VolumeTimeOnFullScreen = kind == MEASURE_FVC && secondDiagram;
  d.PlethyPrint.Panels = kind == MEASURE_PLETHY && secondDiagram;
  d.Grid = 0;
}

void TPainterCurves::DrawAxes(TPrintCanvas& canvas, short kind, bool secondDiagram) {
  const TModeScope mode(kind);
  Prepare(canvas, kind, secondDiagram);
  if (kind == MEASURE_SHUTTER)
    ShutterPainter::DrawKoordinata(Painter, canvas.Surface);
  else if (kind == MEASURE_PLETHY)
    PlethyPainter::DrawKoordinata(Painter, canvas.Surface);
  else if (kind == MEASURE_CALIBRATION && Painter.Core().IsPlethysmographInstrument())
    PlethyStrokeChart::DrawKoordinata(Painter, canvas.Surface);  // the syringe strokes against time
  else
    Painter.DrawKoordinata(canvas.Surface);
}

std::pair<int, int> TPainterCurves::LargestLoop(const spirometry::Extremes& extremes, int samples) {
  const int whole = std::max(0, samples - 1);
  const int count = std::clamp<int>(extremes.count, 0, spirometry::Extremes::Capacity - 1);
  const auto& p = extremes.points;
  float largest = 0.0f;
  std::pair<int, int> range{0, whole};
  for (int i = 0; i <= count - 1; i += 2) {
    const float fall = p[static_cast<std::size_t>(i)].volumeL - p[static_cast<std::size_t>(i + 1)].volumeL;
    if (fall > largest) {
      largest = fall;
      const int end = std::min(i + 2, count);
      range = {p[static_cast<std::size_t>(i)].index, p[static_cast<std::size_t>(end)].index};
    }
  }
  return {std::clamp(range.first, 0, whole), std::clamp(range.second, 0, whole)};
}

void TPainterCurves::DrawSlot(TPrintCanvas& canvas, short kind, short slot, int, bool dotted, bool wholeFvc,
                              bool secondDiagram) {
  const TModeScope mode(kind);
  Prepare(canvas, kind, secondDiagram);
  TMeasureCore& core = Painter.Core();
  const auto s = static_cast<std::size_t>(std::clamp<short>(slot, 0, 3));
  const auto k = static_cast<std::size_t>(std::clamp<short>(kind, 0, 7));
  if (kind == MEASURE_SHUTTER) {
    // The pressure-flow curve, point by point; it has no volume.
    const int points = std::max<short>(0, core.SampleCount[k][s]);
    Painter.ResetDashes();
    for (int i = 0; i < points; ++i)
      ShutterPainter::DrawAcross(Painter, canvas.Surface, static_cast<short>(s), i, dotted);
    return;
  }
  const auto count = kind == MEASURE_CALIBRATION
                         ? core.HeldCalibrationSamples()
                         : std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(0, core.SampleCount[k][s])),
                                                 std::min(core.Flow[s].size(), core.Volume[s].size()));
  // The slot's volume integrated again from its flow (a curve read back
  // from storage holds its flow alone); the FVC's largest breath alone,
  // unless the whole curve is asked, from the turning points found on the
  // way. The window's own turning points and volume curve are kept.
  const spirometry::Extremes kept = core.Extremes;
  const TKeptVolume shown(kind == MEASURE_CALIBRATION ? core.CalVolume : core.Volume[s]);
  core.ReIntegratedVolume(kind, static_cast<short>(s), static_cast<unsigned long>(count));
  std::pair<int, int> range{0, static_cast<int>(count) - 1};
  if (kind == MEASURE_FVC && !wholeFvc && count > 1)
    range = LargestLoop(core.Extremes, static_cast<int>(count));
  core.Extremes = kept;
  if (kind == MEASURE_CALIBRATION) {
    const auto strokes = std::span<const float>(core.CalVolume).first(count);
    Painter.Display.PrintedCalibrationTopL = strokes.empty() ? 0.0f : *std::max_element(strokes.begin(), strokes.end());
  }
  if (kind == MEASURE_PLETHY)
    PlethyPainter::CalculatePrintLoopOffset(Painter, static_cast<short>(s), false);
  Painter.ResetDashes();
  for (int i = std::max(1, range.first + 1); i <= range.second; ++i)
    Painter.DrawCurve(canvas.Surface, static_cast<short>(s), i, dotted);
}

void TPainterCurves::DrawPressureLines(TPrintCanvas& canvas) {
  const TModeScope mode(MEASURE_CALIBRATION);
  Prepare(canvas, MEASURE_CALIBRATION, true);
  // The printed page holds the flow-volume loop in its left column, where
  // the screen has the chart: the chart stands in the right column under
  // the volume-time diagram, as far below it as the screen keeps the
  // chart above it.
  const int left = MeasureLayout::PrintVolumeTimeLeft;
  const int bottom = canvas.PrintY + MeasureLayout::PrintPressureChartBottom;
  // On paper the chart's axes stand even before a recording holds a sample.
  if (const auto chart = PressureChart::CalibrationChart(Painter.Core())) {
    PressureChart::DrawPressureKoordinata(Painter, canvas.Surface, chart->Scale, left, bottom);
    PressureChart::DrawHeldCurves(Painter, canvas.Surface, *chart, left, bottom);
  }
}

void TPainterCurves::SaveScreenState() {
  SavedZoom = Painter.Core().ZoomLevel;
  SavedDisplay = Painter.Display;
}

void TPainterCurves::RestoreScreenState() {
  Painter.Core().ZoomLevel = SavedZoom;
  Painter.Display = SavedDisplay;
  Painter.SetCurrentFactor();
}
