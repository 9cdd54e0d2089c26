// The body box's calibration chart on the measurement window, offscreen:
// the leak test drawn sample by sample as the box reports it, the whole
// screen repainted after both box tests, and the printed calibration page
// as a PDF whose rows are read back with pdftotext. The recordings are
// written from their formulas (BoxCalibrationRecordings.h), so that every
// position is worked by hand. Pictures and the PDF in build/artifacts.

#include "measure/tests/BoxCalibrationRecordings.h"
#include "measure/tests/MeasureWindowFixture.h"

#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/report/TestPrintout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PlethyPainter.h"
#include "measure/screen/PlethyStrokeChart.h"
#include "measure/screen/PressureChart.h"
#include "measure/window/MeasureFrameScreen.h"
#include "platform/basekit/PrintCanvas.h"
#include "testing/Artifacts.h"
#include "testing/PdfPage.h"
#include "testing/PdfText.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class BoxCalibrationWindow : public MeasureWindowFixture {
protected:
  BoxCalibrationWindow() {
    Open(MEASURE_PLETHY);
    WriteBoxCalibrationRecordings(*Window);
    Window->SetInstrument(4);
    Window->SyringeVolume = 3;
    TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  }
  ~BoxCalibrationWindow() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  // The device pixels of the chart, 800 x 600 layout units scaled.
  QRect ChartRect() const {
    const TRect r = TUtil::Scale(Window->GetXScale(), Window->GetYScale(),
                                 TRect{PressureChart::OriginX, PressureChart::OriginY - PressureChart::HeightPx,
                                       PressureChart::OriginX + PressureChart::WidthPx + 1, PressureChart::OriginY + 1});
    return {r.Left, r.Top, r.Width(), r.Height()};
  }

  // The box around every pixel of the pen's colour inside the chart.
  QRect Extent(const QImage& image, int pen) {
    const TColor c =
        dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()).GetPainter()->Pens()[static_cast<std::size_t>(pen)].Color;
    const QRect within = ChartRect();
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
      for (int x = within.left(); x <= within.right(); ++x)
        if (image.pixel(x, y) == qRgb(c.R, c.G, c.B))
          box |= QRect(x, y, 1, 1);
    return box;
  }

  QImage Grab() { return Window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The syringe strokes' pen.
  TColor StrokeColor() {
    return dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()).GetPainter()->Pens()[4].Color;
  }
  // The box around every pixel of a colour in the area below the loops.
  QRect LowerExtent(const QImage& image, TColor c) const {
    QRect box;
    for (int y = static_cast<int>(Y(283)); y < static_cast<int>(Y(456)); ++y)
      for (int x = static_cast<int>(X(8)); x < static_cast<int>(X(741)); ++x)
        if (image.pixel(x, y) == qRgb(c.R, c.G, c.B))
          box |= QRect(x, y, 1, 1);
    return box;
  }

  // The last word of a PDF read back with its box, in PDF points from the
  // top left.
  struct TWordBox {
    bool Found = false;
    double XMin = 0.0, YMin = 0.0, YMax = 0.0;
  };
  static TWordBox WordBox(const std::string& boxes, const std::string& text) {
    const std::size_t at = boxes.rfind(">" + text + "<");
    if (at == std::string::npos)
      return {};
    const std::size_t word = boxes.rfind("<word ", at);
    const auto attribute = [&](const char* name) {
      const std::size_t a = boxes.find(std::string(name) + "=\"", word);
      return a == std::string::npos || a > at ? -1.0 : std::stod(boxes.substr(a + std::strlen(name) + 2));
    };
    return {true, attribute("xMin"), attribute("yMin"), attribute("yMax")};
  }

  // The window's calibration page, as the printout draws it, into a PDF.
  void PrintCalibrationPage(const std::filesystem::path& pdf) {
    TPdfPage page(pdf);
    TPrintCanvas canvas(page.Surface(), 1.0f, 1.0f);
    canvas.PrintY = 60;
    const TUtil colours(TMeasurePrintout::PrintColours());
    TMeasurePainter painter(*Window, colours, Texts, nullptr);
    TPainterCurves curves(painter);
    TTestPrintout printout(*Window, Texts, &curves);
    printout.PrintCalibration(canvas);
  }

  // Layout units to device pixels.
  double X(double units) const { return units * Window->GetXScale(); }
  double Y(double units) const { return units * Window->GetYScale(); }
};

// While the leak test runs its samples are drawn one by one; after 5 s
// the chart shows the leak from 20 Pa (136 units up, 6.8 a pascal) down to
// 20 / e = 7.36 Pa (50 units up), 85 units (17 a second) to the right.
TEST_F(BoxCalibrationWindow, TheLeakTestIsChartedAsItComes) {
  // The leak test begins: nothing held yet.
  Window->Plethysmograph.LeakCount = 0;
  Window->Plethysmograph.PressureCount = 0;
  Window->GetView().RedrawScreenBmp();
  EXPECT_FALSE(Extent(Grab(), PressureChart::FleischPen).isValid());
  for (short k = 0; k <= 500; ++k) {
    Window->Plethysmograph.LeakCount = k;
    Window->GetView().DrawPressureCurve(0, k);
  }
  SavePicture(*Window, "box-calibration-leak-test.png");
  const QRect leak = Extent(Grab(), PressureChart::FleischPen);
  ASSERT_TRUE(leak.isValid());
  EXPECT_NEAR(leak.top(), Y(246 - 136), 3.0);
  EXPECT_NEAR(leak.bottom(), Y(246 - 50), 3.0);
  EXPECT_NEAR(leak.left(), X(17), 3.0);
  EXPECT_NEAR(leak.right(), X(17 + 85), 3.0);
}

// The screen repainted after both box tests, and the page printed.
TEST_F(BoxCalibrationWindow, TheScreenAndThePageShowBothBoxTests) {
  Window->GetView().RedrawScreenBmp();
  SavePicture(*Window, "box-calibration-after.png");
  const QImage after = Grab();
  // The leak over its 15 s (255 units); the pump's crest 8 + 15.828 / 2 =
  // 15.914 Pa at 108 units up, its trough 0.086 Pa on the base line.
  const QRect leak = Extent(after, PressureChart::FleischPen);
  const QRect pump = Extent(after, PressureChart::BalloonPen);
  ASSERT_TRUE(leak.isValid() && pump.isValid());
  EXPECT_NEAR(leak.right(), X(17 + 255), 3.0);
  EXPECT_NEAR(pump.top(), Y(246 - 108), 3.0);
  EXPECT_NEAR(pump.bottom(), Y(246), 3.0);

  const std::filesystem::path pdf = Artifacts / "box-calibration-page.pdf";
  PrintCalibrationPage(pdf);
  const std::string text = PdfText(pdf);
  const auto line = [&](const std::string& head) { return LineOf(text, head); };
  // PBOXref = 100 x 1013 hPa x 0.15 L / 960 L = 15.83 Pa expected, the
  // box's 16.62 Pa measured, 16.62 / 15.828 = 1.05; the leak's 5 s.
  const std::string pbox = line("Pbox");
  for (const char* cell : {"15.83 Pa", "1.05", "16.62 Pa"})
    EXPECT_NE(pbox.find(cell), std::string::npos) << cell << " in: " << pbox;
  EXPECT_NE(line("Tconst").find("5.00 s"), std::string::npos) << line("Tconst");
  // The chart's pressure axis numbered to 25 Pa, with its unit.
  EXPECT_NE(text.find("[Pa]"), std::string::npos);
  EXPECT_NE(text.find("25"), std::string::npos);
}

// The syringe strokes against time below the loops, repainted at zoom
// steps 0 to 2 and at full size (pictures in build/artifacts), and the same
// painting as a PDF, whose words place both captions at the marker.
TEST_F(BoxCalibrationWindow, TheSyringeStrokesAreDrawnAgainstTime) {
  WriteSyringeStrokes(*Window);
  Window->Plethysmograph.LeakCount = 0;
  Window->Plethysmograph.PressureCount = 0;
  const auto strokes = [&](const QImage& image) { return LowerExtent(image, StrokeColor()); };
  // The flow's crest 368 - 2.356 x 6 / f0 and the volume's trough
  // 368 + 3 x 14 / f1, as the divisors of each zoom step give them.
  struct TCase {
    short Zoom;
    double Crest, Trough;
  };
  for (const TCase c : {TCase{0, 354, 396}, TCase{1, 354, 410}, TCase{2, 340, 452}}) {
    Window->ZoomLevel = c.Zoom;
    Window->GetView().RedrawScreenBmp();
    SavePicture(*Window, "box-calibration-strokes-zoom" + std::to_string(c.Zoom) + ".png");
    const QRect box = strokes(Grab());
    ASSERT_TRUE(box.isValid()) << "zoom " << c.Zoom;
    EXPECT_NEAR(box.top(), Y(c.Crest), 3.0) << "zoom " << c.Zoom;
    EXPECT_NEAR(box.bottom(), Y(c.Trough), 3.0) << "zoom " << c.Zoom;
    EXPECT_NEAR(box.right(), X(494), 3.0) << "40 s at 12 units a second";
  }
  Window->ZoomLevel = 1;
  Window->DispatchCommand(CM_SCREEN);
  ASSERT_EQ(Window->ScreenMode, 0);
  Window->GetView().RedrawScreenBmp();
  SavePicture(*Window, "box-calibration-strokes-full-size.png");
  EXPECT_NEAR(strokes(Grab()).top(), Y(340), 3.0) << "the flow doubled at full size";
  Window->DispatchCommand(CM_SCREEN);

  // The same routine paints the screen into a PDF and the calibration
  // page: its words put both captions 4 units right of the marker, the
  // inspiratory one at the area's top (1 in), the expiratory one at its foot
  // (167 - 1 - 12 = 154 in), 153 units lower; on the page below the table.
  const std::filesystem::path screen = Artifacts / "box-calibration-strokes.pdf";
  const std::filesystem::path page = Artifacts / "box-calibration-page-strokes.pdf";
  double unit = 0.0;
  {
    TPdfPage pdf(screen);
    unit = pdf.PointsPerUnit();
    const TUtil colours;
    TMeasurePainter painter(*Window, colours, Texts, nullptr);
    painter.Display.Grid = 0;
    PlethyPainter::Paint(painter, pdf.Surface());
  }
  PrintCalibrationPage(page);
  for (const std::filesystem::path& pdf : {screen, page}) {
    SCOPED_TRACE(pdf.filename().string());
    const std::string boxes = Poppler("pdftotext", pdf, {"-bbox"});
    const TWordBox in = WordBox(boxes, "Inspiration");
    const TWordBox ex = WordBox(boxes, "Expiration");
    ASSERT_TRUE(in.Found && ex.Found) << boxes;
    EXPECT_NEAR(in.XMin, ex.XMin, 1.0);
    EXPECT_NEAR(ex.YMin - in.YMin, 153.0 * unit, 3.0 * unit);
    EXPECT_TRUE(WordBox(boxes, "[L/s]").Found);
  }
  const std::string boxes = Poppler("pdftotext", page, {"-bbox"});
  const TWordBox table = WordBox(boxes, "Tconst");  // the table's last row
  ASSERT_TRUE(table.Found);
  EXPECT_LT(table.YMax, WordBox(boxes, "Inspiration").YMin) << "the strokes stand below the table";
  EXPECT_TRUE(WordBox(boxes, "[Pa]").Found) << "beside the box tests' chart";
}

// Printing the calibration page leaves the window as it was: the page
// draws the strokes integrated again from their flow, 0 up to +3 L, while
// the window keeps the 0 to -3 L it showed live, and the screen repainted
// after the print is the screen before it, pixel for pixel.
TEST_F(BoxCalibrationWindow, PrintingTheCalibrationPageLeavesTheScreenAsItWas) {
  WriteSyringeStrokes(*Window);
  Window->GetView().RedrawScreenBmp();
  const QImage before = Grab();
  ASSERT_TRUE(LowerExtent(before, StrokeColor()).isValid());
  const std::vector<float> volume = Window->CalVolume;
  PrintCalibrationPage(Artifacts / "box-calibration-page-then-screen.pdf");
  EXPECT_EQ(Window->CalVolume, volume);
  Window->GetView().RedrawScreenBmp();
  const QImage after = Grab();
  SavePicture(*Window, "box-calibration-after-print.png");
  EXPECT_EQ(LowerExtent(after, StrokeColor()), LowerExtent(before, StrokeColor()));
  EXPECT_TRUE(after == before) << "the screen repainted after the print differs";
}

// The calibration played on the simulated box (a leak of 5 s, a swing
// of factor 1): the leak test charted while it runs, both box tests after
// the stop, and the constants stored.
TEST_F(BoxCalibrationWindow, ASimulatedCalibrationIsChartedAsItRuns) {
  Window->Plethysmograph.LeakCount = 0;
  Window->Plethysmograph.PressureCount = 0;
  Window->CalStrokes = 10;
  TSimulatorOptions options;
  options.Kind = "plethysmograph";
  options.Manoeuvre = "syringe";
  options.HardwareVersion = 0x11;
  options.NoiseCounts = 0;
  options.LeadInS = 4.0;
  options.Patient.SyringeStrokes = 24;
  options.Sensors.TemperatureC = 25.0;
  options.Sensors.PressureHpa = 1013.0;
  options.Sensors.HumidityPercent = 50.0;
  options.Box.Box.LeakTauS = 5.0;
  Attach(options);
  // The box answers while the command waits for its sensors.
  Rig.StartPump();
  Window->DispatchCommand(CM_CALIBRATION);
  ASSERT_TRUE(Window->IsRunning());
  // The strokes drawn as they come, at the calibration's zoom step 2: the
  // syringe's 3 L (3 x 14 / 0.5 = 84 units) below the axis at 368, and the
  // marker where the factors were found.
  Rig.RunEventLoopWhile([&] { return Window->IsRunning() && Window->StrokeCount < 20; }, 40000);
  ASSERT_GE(Window->StrokeCount, 20);
  SavePicture(*Window, "box-calibration-run-strokes.png");
  const QImage strokes = Grab();
  ASSERT_EQ(Window->ZoomLevel, 2);
  EXPECT_NEAR(LowerExtent(strokes, StrokeColor()).bottom(), Y(368 + 84), 3.0);
  EXPECT_TRUE(LowerExtent(strokes, PlethyStrokeChart::MarkerColor).isValid());

  Rig.RunEventLoopWhile([&] { return Window->IsRunning() && Window->Plethysmograph.LeakCount < 500; }, 40000);
  ASSERT_GE(Window->Plethysmograph.LeakCount, 500);
  SavePicture(*Window, "box-calibration-run-leak-test.png");
  // The model's leak starts at 20 Pa, 136 units up; the strokes stay below.
  const QImage during = Grab();
  const QRect leak = Extent(during, PressureChart::FleischPen);
  ASSERT_TRUE(leak.isValid());
  EXPECT_NEAR(leak.top(), Y(246 - 136), 3.0);
  EXPECT_NEAR(LowerExtent(during, StrokeColor()).bottom(), Y(368 + 84), 3.0) << "the strokes were kept";

  RunUntilIdle(40000);
  ASSERT_FALSE(Window->IsRunning());
  Picture("box-calibration-run-after.png");
  // The swing's crest 8 + 15.828 / 2 = 15.914 Pa, 108 units up.
  const QRect pump = Extent(Grab(), PressureChart::BalloonPen);
  ASSERT_TRUE(pump.isValid());
  EXPECT_NEAR(pump.top(), Y(246 - 108), 3.0);
  // PBOXref = 100 x 1013 x 0.15 / 960 = 15.828 Pa.
  EXPECT_NEAR(Window->BoxReferencePressure, 15.828f, 0.05f);
  EXPECT_NEAR(Window->BoxConstant, 15.828f, 15.828f * 0.01f);
  EXPECT_NEAR(Window->TimeConstant, 5.0f, 0.1f);
}

}  // namespace
