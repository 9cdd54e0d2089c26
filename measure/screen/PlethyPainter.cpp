#include "measure/screen/PlethyPainter.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PlethyGeometry.h"
#include "measure/screen/PlethyStrokeChart.h"
#include "measure/screen/PlethyPanels.h"
#include "measure/screen/PressureChart.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace PlethyPainter {

namespace {

using PlethyGeometry::TLoopFrame;

short Zoom(const TMeasurePainter& painter) { return std::clamp<short>(painter.Core().ZoomLevel, 0, 3); }

TLoopFrame ResistanceFrameOf(const TMeasurePainter& painter) {
  return painter.Display.Printing ? PlethyGeometry::PrintedResistanceFrame(painter.Display.PrintLine)
                                  : PlethyGeometry::ResistanceFrame(painter.Display.ScreenMode);
}

TLoopFrame TgvFrameOf(const TMeasurePainter& painter) {
  return painter.Display.Printing ? PlethyGeometry::PrintedTgvFrame(painter.Display.PrintLine)
                                  : PlethyGeometry::TgvFrame(painter.Display.ScreenMode);
}

// The flow-volume and volume-time panels: beside the table on the screen,
// on paper when the printout asks for the second graph.
bool PanelShown(const TMeasurePainter& painter) {
  return painter.Display.Printing ? painter.Display.PlethyPrint.Panels : painter.Display.ScreenMode == 1;
}

PlethyPanels::TPanels PanelsOf(const TMeasurePainter& painter) {
  return painter.Display.Printing ? PlethyPanels::PrintedPanels(painter.Display.PrintLine)
                                  : PlethyPanels::ScreenPanels();
}

void Segment(const TMeasurePainter& painter, TDrawSurface& surface, const TLoopFrame& frame, TPoint from, TPoint to,
             int pen) {
  // A loop larger than the zoom step's range is cut at its frame.
  if (from == to || !PlethyGeometry::Inside(frame, from) || !PlethyGeometry::Inside(frame, to))
    return;
  painter.SegmentTo(surface, pen, from, to);
}

// One loop's axes: the vertical axis on the left edge, the horizontal one
// at mid-height, the grid, tick marks every unit of the range and the units.
void LoopAxes(const TMeasurePainter& painter, TDrawSurface& surface, const TLoopFrame& frame, float xPerUnit,
              float yPerUnit, int xStep, int yStep, const char* xUnit, const char* yUnit) {
  const TRect& a = frame.Area;
  if (painter.Display.Grid != 0)
    painter.DrawGrid(surface, a.Left, a.Top, a.Width(), a.Height(), xPerUnit * static_cast<float>(xStep),
                     yPerUnit * static_cast<float>(yStep), 1);
  painter.DrawLine(surface, a.Left, a.Top, 0, a.Height(), 0);
  painter.DrawLine(surface, a.Left, frame.AxisY, a.Width(), 0, 0);
  for (int n = 1; static_cast<float>(n * xStep) * xPerUnit <= static_cast<float>(a.Width()); ++n)
    painter.DrawLine(surface, a.Left + static_cast<int>(static_cast<float>(n * xStep) * xPerUnit), frame.AxisY - 4, 0,
                     8, 0);
  for (int n = 1; static_cast<float>(n * yStep) * yPerUnit <= static_cast<float>(a.Height() / 2); ++n) {
    const int d = static_cast<int>(static_cast<float>(n * yStep) * yPerUnit);
    painter.DrawLine(surface, a.Left - 4, frame.AxisY - d, 8, 0, 0);
    painter.DrawLine(surface, a.Left - 4, frame.AxisY + d, 8, 0, 0);
  }
  painter.WriteScaleUnit(surface, a.Left + 4, a.Top - 2, yUnit);
  painter.WriteScaleUnit(surface, a.Right - 40, frame.AxisY + 6, xUnit);
}

// Below the loops: the syringe strokes of a calibration (in both
// layouts), else the test's flow-volume and volume-time panels beside the
// table.
void LowerAxes(const TMeasurePainter& painter, TDrawSurface& surface) {
  if (TMeasureData::MeasureMode == MEASURE_CALIBRATION)
    PlethyStrokeChart::DrawKoordinata(painter, surface);
  else if (PanelShown(painter))
    PlethyPanels::DrawKoordinata(painter, surface, PanelsOf(painter));
}

int PenOf(const TMeasurePainter& painter, short trial) {
  // On paper the first trial's pen, as the legend shows it; with the stages
  // side by side the second keeps the previous result's pen, the third its own.
  return MeasureLayout::CurvePen(trial, false, painter.Display.Printing, painter.Display.PlethyPrint.MultiTrial);
}

}  // namespace

void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface) {
  const short zoom = Zoom(painter);
  const PlethyGeometry::TFactors f = PlethyGeometry::Factors(zoom);
  const TLoopFrame res = ResistanceFrameOf(painter);
  const TLoopFrame tgv = TgvFrameOf(painter);
  if (painter.Display.Printing) {
    // On paper the loops' own scales take the place of the zoom step.
    const PlethyPrintLoops::TPrintLoops& p = painter.Display.PlethyPrint;
    LoopAxes(painter, surface, res, PlethyGeometry::PrintResistanceXPerKPa / p.ResistanceScale,
             PlethyGeometry::PrintResistanceYPerLps / p.ResistanceScale, 1, 1, "[kPa]", "[L/s]");
    LoopAxes(painter, surface, tgv, PlethyGeometry::PrintTgvXPerPa / p.TgvScale,
             PlethyGeometry::PrintTgvYPerKPa / p.TgvScale, p.TgvScale > 1.0f ? 30 : p.TgvScale > 0.5f ? 20 : 10, 1,
             "[Pa]", "[kPa]");
    if (PanelShown(painter))
      PlethyPanels::DrawKoordinata(painter, surface, PanelsOf(painter));
    return;
  }
  const auto size = static_cast<float>(res.Size);
  LoopAxes(painter, surface, res, PlethyGeometry::ResistanceXPerKPa * size / f[4],
           PlethyGeometry::ResistanceYPerLps * size / f[3], 1, 1, "[kPa]", "[L/s]");
  // A calibration has no loops: at full size the strokes take the place of
  // the TGV loop's frame.
  if (TMeasureData::MeasureMode != MEASURE_CALIBRATION || tgv.Area.Bottom < PlethyStrokeChart::ScreenFrame.Top)
    LoopAxes(painter, surface, tgv, PlethyGeometry::TgvXPerPa * size / f[4], PlethyGeometry::TgvYPerKPa * size / f[5],
             zoom == 0 ? 30 : zoom == 1 ? 20 : 10, 1, "[Pa]", "[kPa]");
  LowerAxes(painter, surface);
}

namespace {

// The calibration screen: once the box tests have begun, their pressure
// chart stands where the (then empty) loops' frames were, which it would
// otherwise overlay; the strokes below stay.
void CalibrationKoordinata(const TMeasurePainter& painter, TDrawSurface& surface) {
  const auto chart = PressureChart::CalibrationChart(painter.Core());
  if (!chart || !chart->HasCurves()) {
    DrawKoordinata(painter, surface);
    return;
  }
  PressureChart::DrawCalibrationChart(painter, surface, *chart);
  LowerAxes(painter, surface);
}

}  // namespace

void DrawCurve(TMeasurePainter& painter, TDrawSurface& surface, short trial, int index, bool patterned) {
  TMeasureCore& core = painter.Core();
  if (trial < 0 || trial > 3 || index <= 0)
    return;
  const auto t = static_cast<std::size_t>(trial);
  const auto i = static_cast<std::size_t>(index);
  const std::vector<float>& flow = core.Flow[t];
  const std::vector<float>& volume = core.Volume[t];
  const std::vector<float>& box = core.BoxPressure[t];
  const std::vector<float>& mouth = core.MouthPressure[t];
  if (i >= flow.size() || i >= volume.size() || i >= box.size() || i >= mouth.size())
    return;
  const TPlethySlot* loops = core.GetPlethySlot(trial);
  if (!loops)
    return;
  const TPlethySlot& slot = *loops;
  const PlethyGeometry::TFactors f = PlethyGeometry::Factors(Zoom(painter));
  // On paper a patterned trial's loops move their pattern every second
  // segment, its panels every fifth.
  const bool dashed = painter.Display.Printing && patterned && trial != 0;
  const bool loopsDown = !dashed || painter.PenDown(trial, 2);
  const int pen = PenOf(painter, trial);
  const bool recording = core.StartId != 0 && trial == core.TrialIndex;
  const auto inside = [](std::size_t k, std::int16_t begin, std::int16_t end) {
    return begin < end && static_cast<long>(k) > begin && static_cast<long>(k) < end;
  };

  // The TGV loop: mouth against box pressure from the loop's first sample.
  const TLoopFrame tgv = TgvFrameOf(painter);
  const bool tgvLive = recording && core.TGVStartMark != 0 && core.EndMark == 0 &&
                       static_cast<long>(i) > core.TGVStartMark;
  // While the test records, the run keeps the loops' first box pressures.
  const float tgvFirst = tgvLive ? core.Plethysmograph.FirstBoxPressureForTGV[t] : slot.Values[1];
  const PlethyPrintLoops::TPrintLoops& print = painter.Display.PlethyPrint;
  const bool paper = painter.Display.Printing;
  const auto tgvAt = [&](std::size_t k) {
    return paper ? PlethyGeometry::PrintedTgvPoint(tgv, print.TgvScale, print.TgvOffset[t], box[k] - tgvFirst, mouth[k])
                 : PlethyGeometry::TgvPoint(tgv, f, box[k] - tgvFirst, mouth[k]);
  };
  if (loopsDown && (inside(i, slot.BeginTGVLoop, slot.EndTGVLoop) || tgvLive)) {
    Segment(painter, surface, tgv, tgvAt(i - 1), tgvAt(i), pen);
    if (!tgvLive && static_cast<long>(i) == slot.EndTGVLoop - 1)
      Segment(painter, surface, tgv, tgvAt(i), tgvAt(static_cast<std::size_t>(slot.BeginTGVLoop)), pen);
  }

  // The resistance loop: flow against alveolar pressure; while the test
  // records, the box pressure is converted as it comes.
  const TLoopFrame res = ResistanceFrameOf(painter);
  const bool resLive = recording && core.ResistanceStartMark != 0 && core.ResistanceEndMark == 0 &&
                       static_cast<long>(i) > core.ResistanceStartMark;
  const float resFirst = resLive ? core.Plethysmograph.FirstBoxPressureForResistance[t] : slot.Values[0];
  const auto resAt = [&](std::size_t k) {
    float b = box[k] - resFirst;
    if (resLive)
      b = static_cast<float>(plethysmography::LiveAlveolarPressureKPa(b, volume[k], core.Plethysmograph.Live));
    return paper ? PlethyGeometry::PrintedResistancePoint(res, print.ResistanceScale, print.ResistanceOffset[t], b,
                                                          flow[k])
                 : PlethyGeometry::ResistancePoint(res, f, b, flow[k]);
  };
  if (loopsDown && (inside(i, slot.BeginResistanceLoop, slot.EndResistanceLoop) || resLive)) {
    Segment(painter, surface, res, resAt(i - 1), resAt(i), pen);
    if (!resLive && static_cast<long>(i) == slot.EndResistanceLoop - 1)
      Segment(painter, surface, res, resAt(i), resAt(static_cast<std::size_t>(slot.BeginResistanceLoop)), pen);
  }

  // The flow-volume and volume-time panels; the chosen loop's first and
  // last samples are marked on them.
  if (!PanelShown(painter) || (dashed && !painter.PenDown(trial, 5, true)))
    return;
  const bool marked =
      static_cast<long>(i) == slot.BeginResistanceLoop || static_cast<long>(i) == slot.EndResistanceLoop - 1;
  // While the test records, its volume starts from 0: the panels stand it
  // on the lung volume the live conversion assumes.
  const float offset = recording ? static_cast<float>(core.Plethysmograph.Live.lungVolumeL) : 0.0f;
  PlethyPanels::DrawSegment(painter, surface, PanelsOf(painter), flow, volume, index, pen, marked, offset);
}

void CalculatePrintLoopOffset(TMeasurePainter& painter, short trial, bool scaleOnly) {
  TMeasureCore& core = painter.Core();
  const TPlethySlot* slot = trial >= 0 && trial <= 3 ? core.GetPlethySlot(trial) : nullptr;
  if (slot == nullptr)
    return;
  const auto t = static_cast<std::size_t>(trial);
  const auto res = PlethyPrintLoops::Extremes(core.BoxPressure[t], core.Flow[t], slot->BeginResistanceLoop,
                                              slot->EndResistanceLoop, slot->Values[0]);
  const auto tgv = PlethyPrintLoops::Extremes(core.BoxPressure[t], core.MouthPressure[t], slot->BeginTGVLoop,
                                              slot->EndTGVLoop, slot->Values[1]);
  PlethyPrintLoops::CalculatePrintLoopOffset(painter.Display.PlethyPrint, trial, scaleOnly, res, tgv);
}

namespace {

void LogoText(const TMeasurePainter& painter, TDrawSurface& surface, const TRect& rect, std::string_view text,
              int points) {
  TUtil::TextRectOut(surface, painter.Display.XScale, painter.Display.YScale, rect, text,
                     painter.Color(TUtil::Background), painter.Color(2), points, "Courier New", 0, 700, true);
}

}  // namespace

void WriteSearchProgress(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view text) {
  LogoText(painter, surface, SearchProgressRect, text, 16);
}

void WriteStatusLine(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view text) {
  // Two lines, split after the share, so that the box holds the whole text.
  const std::size_t split = std::min(text.find(", "), text.size());
  const TRect& r = StatusLineRect;
  const int middle = (r.Top + r.Bottom) / 2;
  LogoText(painter, surface, {r.Left, r.Top, r.Right, middle}, text.substr(0, std::min(split + 1, text.size())), 7);
  LogoText(painter, surface, {r.Left, middle, r.Right, r.Bottom}, split < text.size() ? text.substr(split + 2) : "", 7);
}

void DrawRectangle(const TMeasurePainter& painter, TDrawSurface& surface, short state) {
  const auto& Marks = MetronomeMarks;
  const std::size_t on = state == 0 ? 0 : 1;
  const auto square = [&](TPoint p) {
    return TUtil::Scale(painter.Display.XScale, painter.Display.YScale,
                        TRect{p.X, p.Y, p.X + MetronomeSide, p.Y + MetronomeSide});
  };
  const TColor beat = TMeasureCore::StateOfMetronom == 0 ? TColor(144, 238, 144) : TColor(255, 160, 160);
  surface.FillRect(square(Marks[on]), beat);
  surface.FillRect(square(Marks[1 - on]), TColor(0, 0, 128));
}

void Paint(TMeasurePainter& painter, TDrawSurface& surface) {
  TMeasureCore& core = painter.Core();
  const TMeasureDisplay& d = painter.Display;
  if (d.BigTable) {
    painter.WriteDateTime(surface);
    painter.DrawBigTable(surface);
    return;
  }
  if (d.ScreenMode == 0)
    painter.ClearFullScreen(surface);
  else if (!painter.AnyAnimationActive)
    d.PrePost ? painter.WritePrePostTable(surface) : painter.WriteTable(surface);
  if (TMeasureData::MeasureMode == MEASURE_CALIBRATION) {
    CalibrationKoordinata(painter, surface);
    // The strokes come back through the painter's DrawCurve.
    painter.DrawCurves(surface, false);
    return;
  }
  DrawKoordinata(painter, surface);
  if (TMeasureData::MeasureMode != MEASURE_PLETHY)
    return;
  if (!d.Printing && !core.PlethyEvaluation.Status.empty())
    WriteStatusLine(painter, surface, core.PlethyEvaluation.Status);
  // The trials interleaved sample by sample, as every curve screen draws
  // them; the segments come back here through the painter's DrawCurve.
  painter.DrawCurves(surface, d.PrePost);
}

}  // namespace PlethyPainter
