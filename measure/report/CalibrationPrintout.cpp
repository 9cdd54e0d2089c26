// The printed calibration page below the page header: the calibration
// table in the printed columns, the diffusion unit's line losses, and the
// calibration curve through the window's painting.

#include "measure/core/MeasureCore.h"
#include "measure/report/TestPrintout.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/PressureChart.h"

#include "platform/basekit/Message.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int RowHeight = 22;
constexpr int FirstColumnRight = 281;
constexpr int ColumnWidth = 115;
constexpr int CalibrationPen = 4;
constexpr int CoLabel = 466;      // "Carbon monoxide"
constexpr int HeliumLabel = 467;  // "Helium"
constexpr int NoCurveText = 9490;  // "No curve recorded"

std::string Formatted(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Formatted(const char* format, int value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Measured over syringe volume, in per cent off. Without a check volume or
// a measured one there is no deviation: it prints empty, not as 0.0 %.
std::string DeviationText(float measuredMl, short syringeMl) {
  if (syringeMl == 0 || measuredMl == 0.0f)
    return {};
  return Formatted("%.1f %% ", (static_cast<double>(measuredMl) / syringeMl - 1.0) * 100.0);
}

}  // namespace

void TTestPrintout::WriteCalibTable(TPrintCanvas& canvas) {
  CALIB_PARAMS p;
  Core.SetCalibParams(p);
  const unsigned short type = static_cast<unsigned short>(p.InstrumentType);
  const bool diffusion = (type & 0xE0) == 0x60;
  const bool box = type != 0 && !diffusion;
  const int rows = type == 0 ? 2 : box ? 4 : 5;
  int height = RowHeight * (2 + rows);
  const int y0 = canvas.PrintY;

  canvas.Line(51, y0, 741, y0, 2);
  canvas.Line(51, y0, 51, y0 + height, 2);
  for (int c = 0; c <= 4; ++c)
    canvas.Line(FirstColumnRight + ColumnWidth * c, y0, FirstColumnRight + ColumnWidth * c, y0 + height, 2);
  canvas.Line(51, y0 + 2 * RowHeight, 741, y0 + 2 * RowHeight, 2);
  canvas.Line(51, y0 + height, 741, y0 + height, 2);
  if (!BtpsLine.empty())
    canvas.Text(BtpsLine, 56, y0 + 3, 736, y0 + RowHeight, TTextAlign::Left);

  // A cell's text stands in the 17 units below its top, inside its row.
  const auto cell = [&](std::string_view text, int column, int top, TTextAlign align) {
    if (column == 0) {
      canvas.Text(text, 56, top, FirstColumnRight, top + 17, TTextAlign::Left);
      return;
    }
    const int left = FirstColumnRight + 5 + ColumnWidth * (column - 1);
    const int right = FirstColumnRight + ColumnWidth * column - (align == TTextAlign::Right ? 20 : 0);
    canvas.Text(text, left, top, right, top + 17, align);
  };
  const int headers[] = {44, 45, 47, 46, 537};
  for (int c = 0; c < 5; ++c)
    cell(Texts.LoadStringA(headers[c]), c, y0 + RowHeight + 3, c == 0 ? TTextAlign::Left : TTextAlign::Centre);

  const auto volumeRow = [&](int r, const std::string& label, float constant, float measuredMl) {
    const int top = y0 + 2 * RowHeight + 3 + RowHeight * r;
    cell(label, 0, top, TTextAlign::Left);
    cell(Formatted("%d ml", static_cast<int>(p.NominalVolume)), 1, top, TTextAlign::Right);
    cell(Formatted("%.2f", static_cast<double>(constant)), 2, top, TTextAlign::Centre);
    cell(measuredMl != 0.0f ? Formatted("%.0f ml", static_cast<double>(measuredMl)) : std::string(), 3, top,
         TTextAlign::Right);
    cell(DeviationText(measuredMl, p.NominalVolume), 4, top, TTextAlign::Right);
  };
  // Inspiration first, then expiration, as the screen's list has them.
  volumeRow(0, Texts.LoadStringA(49), p.A1, p.M1);
  volumeRow(1, Texts.LoadStringA(48), p.A2, p.M2);
  if (diffusion) {
    volumeRow(2, Texts.LoadStringA(465), p.A3, p.M3);
    const auto gasRow = [&](int r, int label, float reading, float constant) {
      const int top = y0 + 2 * RowHeight + 3 + RowHeight * r;
      cell(Texts.LoadStringA(label), 0, top, TTextAlign::Left);
      cell(Formatted("%.2f %% ", static_cast<double>(reading)), 1, top, TTextAlign::Right);
      cell(Formatted("%.2f", static_cast<double>(constant)), 2, top, TTextAlign::Centre);
      cell(Formatted("%.2f %% ", static_cast<double>(reading * constant)), 3, top, TTextAlign::Right);
    };
    // The carbon monoxide reading beside its constant, then helium's.
    gasRow(3, CoLabel, p.F5, p.X5);
    gasRow(4, HeliumLabel, p.F4, p.X4);
  } else if (box) {
    int top = y0 + 2 * RowHeight + 3 + RowHeight * 2;
    cell("Pbox", 0, top, TTextAlign::Left);
    cell(Formatted("%.2f Pa", static_cast<double>(p.P1)), 1, top, TTextAlign::Right);
    cell(Formatted("%.2f", p.P1 != 0.0f ? static_cast<double>(p.P2 / p.P1) : 0.0), 2, top, TTextAlign::Centre);
    cell(Formatted("%.2f Pa", static_cast<double>(p.P2)), 3, top, TTextAlign::Right);
    top += RowHeight;
    cell("Tconst", 0, top, TTextAlign::Left);
    cell("4\xC3\xB7" "10 s ", 1, top, TTextAlign::Right);
    cell(Formatted("%.2f s ", static_cast<double>(p.T1)), 3, top, TTextAlign::Right);
  }
  for (int r = 1; r < rows; ++r)
    canvas.Line(51, y0 + 2 * RowHeight + RowHeight * r, 741, y0 + 2 * RowHeight + RowHeight * r, 1);

  if (diffusion) {
    const std::string fleisch = Texts.LoadStringA(442);
    const std::string balloon = Texts.LoadStringA(443);
    const int width = static_cast<int>(std::max(fleisch.size(), balloon.size()));
    const auto lossLine = [&](const std::string& label, short loss) {
      char text[160];
      std::snprintf(text, sizeof text, "%-*s %d %% ", width, label.c_str(), static_cast<int>(loss));
      canvas.Text(text, 51, y0 + height, 740, y0 + height + 20, TTextAlign::Left);
      height += 20;
    };
    lossLine(fleisch, Core.FleischPressureLoss);
    lossLine(balloon, Core.BalloonPressureLoss);
  }
  canvas.PrintY += height;
}

void TTestPrintout::PrintCalibration(TPrintCanvas& canvas) {
  WriteCalibTable(canvas);
  canvas.PrintY += 40;
  const int top = canvas.PrintY;
  const unsigned short type = static_cast<unsigned short>(Core.InstrumentType);
  // The diffusion unit's line pressures, or the box's leak test and pump
  // swing; a spirometer alone has no pressure recording.
  const bool pressures = (type & 0xE0) == 0x60 || Core.IsPlethysmographInstrument();
  if (Curves) {
    Curves->SaveScreenState();
    Curves->CalculatePrintZoom(MEASURE_CALIBRATION, false, false);
    Curves->DrawAxes(canvas, MEASURE_CALIBRATION, true);
    Curves->DrawSlot(canvas, MEASURE_CALIBRATION, 0, CalibrationPen, false, false, true);
    if (pressures)
      Curves->DrawPressureLines(canvas);
    Curves->RestoreScreenState();
  }
  // A graph whose recording holds nothing says so inside its axes, rather
  // than stand empty as if the strokes had left no trace.
  const std::string missing = Texts.LoadStringA(NoCurveText);
  const auto sayMissing = [&](const TRect& frame) {
    const int middle = (frame.Top + frame.Bottom) / 2;
    canvas.Text(missing, frame.Left, middle - 8, frame.Right, middle + 8, TTextAlign::Centre);
  };
  if (Core.HeldCalibrationSamples() == 0) {
    const TPoint origin = MeasureLayout::PrintFlowVolumeOrigin(top);
    sayMissing(MeasureLayout::PrintLoopFrame(origin, top, MeasureLayout::ScreenMultiplier(0)));
    sayMissing(MeasureLayout::PrintVolumeTimeFrame(top));
  }
  if (const auto chart = PressureChart::CalibrationChart(Core); pressures && chart && !chart->HasCurves()) {
    const int bottom = top + MeasureLayout::PrintPressureChartBottom;
    sayMissing({MeasureLayout::PrintVolumeTimeLeft, bottom - PressureChart::HeightPx,
                MeasureLayout::PrintVolumeTimeLeft + PressureChart::WidthPx, bottom});
  }
  if (Progress && !NoProgress)
    Progress();
}
