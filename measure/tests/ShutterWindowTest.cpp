// The shutter test on the measurement window, offscreen, with the
// simulated shutter head played by the simulator rig on the event loop:
// the crosses and the volume strip during the test, the final curve after
// it, in both layouts and at two zoom levels; pictures in build/artifacts.

#include "measure/tests/MeasureWindowFixture.h"

#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/screen/MeasurePainter.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/PrintCanvas.h"
#include "testing/PdfPage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The shutter head of a patient breathing quietly, 1 L every 4 s, through
// an airway resistance of 0.3 kPa·s/L.
class ShutterWindow : public MeasureWindowFixture {
protected:
  ShutterWindow() {
    PREDICTED_DATA patient = Adult("Shutter");
    patient.Height = 175;
    patient.Weight = 75;
    Open(MEASURE_SHUTTER, patient, false, 1.6f, 1.3333f);
    Window->InstrumentType = 0;
    Window->CalibrationInterval = 0;
    TSimulatorOptions options;
    options.Capabilities = InstrumentProtocol::CapabilityShutter;
    options.Manoeuvre = "tidal";
    options.StartOnStream = true;
    options.LeadInS = 0.5;
    options.Patient.TidalL = 1.0;
    options.Patient.BreathS = 4.0;
    options.Patient.RawKpaSpL = 0.3;
    Attach(options);
  }
};

// Pixels of the first trial's pen (yellow in the window's default colours)
// in the layout rectangle `box` of a window picture.
int FirstTrialPixelsIn(const QImage& picture, const TRect& box) {
  int count = 0;
  for (int y = static_cast<int>(box.Top * 1.3333f); y < static_cast<int>(box.Bottom * 1.3333f); ++y)
    for (int x = static_cast<int>(box.Left * 1.6f); x < static_cast<int>(box.Right * 1.6f); ++x)
      count += picture.pixel(x, y) == qRgb(255, 255, 0) ? 1 : 0;
  return count;
}

// The enlarged layout chosen before the start: the crosses in the large
// diagram and the live volume strip during the test, and no metronome
// circle, since the large diagram covers both of its marks. About 3 s: the
// shutter arms only after five breaths, 2,000 samples played on the loop.
TEST_F(ShutterWindow, TheEnlargedLayoutDuringTheTest) {
  Window->ZeroNeeded = false;
  Window->DispatchCommand(CM_SCREEN);
  ASSERT_EQ(Window->ScreenMode, 0);
  Window->DispatchCommand(CM_START);
  Rig.RunEventLoopWhile([&] { return !Window->IsRunning(); }, 50);
  ASSERT_TRUE(Window->IsRunning());
  ASSERT_EQ(Window->ScreenMode, 0) << "the start keeps the layout";
  Play(2050);
  Window->DispatchCommand(CM_SHUTTER);
  Play(10 * 40 + 5);
  EXPECT_GE(Window->Shutter.Fitted.size(), 9u);
  const QImage frame = Window->grab().toImage();
  SavePicture(*Window, "shutter-enlarged-during.png");
  // The crosses about the large diagram's origin (314, 249): at 0.3
  // kPa·s/L and 1 L every 4 s the flows stay within ±1 L/s, ±42 pixels up
  // and down at k = 2, and the pressures within ±0.3 kPa, ±56 across.
  EXPECT_GT(FirstTrialPixelsIn(frame, TRect{314 - 70, 249 - 50, 314 + 70, 249 + 50}), 20) << "the crosses";
  // The volume trace right of the strip's axis, below the diagram's
  // central band.
  EXPECT_GT(FirstTrialPixelsIn(frame, TRect{20, 330, 290, 440}), 100) << "the volume strip";
  for (const auto& mark : {TPoint{25, 97}, TPoint{292, 97}}) {
    const QRgb at = frame.pixel(static_cast<int>(static_cast<float>(mark.X) * 1.6f),
                                static_cast<int>(static_cast<float>(mark.Y) * 1.3333f));
    EXPECT_NE(at, qRgb(255, 0, 0)) << "no metronome circle in the enlarged layout";
    EXPECT_NE(at, qRgb(0, 255, 0));
  }
  EXPECT_LE(Window->width(), 1280);
  EXPECT_LE(Window->height(), 800);
  // The crosses redrawn at the smallest and the largest scale.
  for (const short zoom : {short{0}, short{3}}) {
    Window->ZoomLevel = zoom;
    Picture("shutter-enlarged-during-zoom" + std::to_string(zoom) + ".png");
  }
  Window->DispatchCommand(CM_STOP);
  ASSERT_FALSE(Window->IsRunning());
}

TEST_F(ShutterWindow, CrossesDuringTheTestAndTheCurveAfterIt) {
  Window->ZeroNeeded = false;
  Window->DispatchCommand(CM_START);
  Rig.RunEventLoopWhile([&] { return !Window->IsRunning(); }, 50);  // the deferred start
  ASSERT_TRUE(Window->IsRunning());
  Play(2050);
  Window->DispatchCommand(CM_SHUTTER);
  Play(20 * 40 + 5);
  EXPECT_GE(Window->Shutter.Fitted.size(), 19u);
  // The metronome's circles at the middles of their marks, (25, 97) and
  // (292, 97) in the layout: one light red, the other light green.
  const QImage frame = Window->grab().toImage();
  const QRgb left = frame.pixel(static_cast<int>(25 * 1.6f), static_cast<int>(97 * 1.3333f));
  const QRgb right = frame.pixel(static_cast<int>(292 * 1.6f), static_cast<int>(97 * 1.3333f));
  EXPECT_TRUE((left == qRgb(255, 0, 0) && right == qRgb(0, 255, 0)) ||
              (left == qRgb(0, 255, 0) && right == qRgb(255, 0, 0)))
      << std::hex << left << " " << right;
  SavePicture(*Window, "shutter-during.png");
  Window->DispatchCommand(CM_STOP);
  ASSERT_FALSE(Window->IsRunning());
  EXPECT_NEAR(Window->AktParams[MEASURE_SHUTTER][0][0], 0.3f, 0.03f) << "Raw";
  for (const short zoom : {short{0}, short{3}}) {
    Window->ZoomLevel = zoom;
    Picture("shutter-after-zoom" + std::to_string(zoom) + ".png");
  }
  EXPECT_LE(Window->width(), 1280);
  EXPECT_LE(Window->height(), 800);

  // The enlarged diagram, then the comparison with a previous result: the
  // same curve, as if stored at half the pressure, in the previous
  // result's slot.
  Window->CmScreen();
  ASSERT_EQ(Window->ScreenMode, 0);
  for (const short zoom : {short{0}, short{3}}) {
    Window->ZoomLevel = zoom;
    Picture("shutter-enlarged-zoom" + std::to_string(zoom) + ".png");
  }
  Window->CmScreen();
  ASSERT_EQ(Window->ScreenMode, 1);
  Window->ZoomLevel = 1;
  const short points = Window->SampleCount[MEASURE_SHUTTER][0];
  ASSERT_TRUE(Window->AllocateSpiroBuffer(3, MEASURE_SHUTTER, true));
  for (std::size_t i = 0; i < static_cast<std::size_t>(points); ++i) {
    Window->Flow[3][i] = Window->Flow[0][i];
    Window->Third[3][i] = 0.5f * Window->Third[0][i];
  }
  Window->SampleCount[MEASURE_SHUTTER][3] = points;
  std::copy_n(Window->GetAktBuffer(MEASURE_SHUTTER, 0), 5, Window->GetAktBuffer(MEASURE_SHUTTER, 3));
  Window->GetAktBuffer(MEASURE_SHUTTER, 3)[0] *= 0.5f;
  Window->SetMeasureDate(MEASURE_SHUTTER, 3, 2026, 11, 12);
  Window->DispatchCommand(CM_PREPOST);
  ASSERT_TRUE(Window->PrePostMode);
  Picture("shutter-prepost.png");
  Window->DispatchCommand(CM_PREPOST);

  // The printed block of the test as a PDF: the diagram at the scale that
  // holds the curve, drawn by the same painter.
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "shutter-printed-block.pdf";
  {
    TPdfPage page(pdf);
    TPrintCanvas canvas(page.Surface(), 1.0f, 1.0f);
    canvas.PrintY = 60;
    // A painter of the printout's own, in the printer's colours.
    const TUtil colours(TMeasurePrintout::PrintColours());
    TMeasurePainter measurePainter(*Window, colours, Texts, nullptr);
    TPainterCurves curves(measurePainter);
    curves.CalculatePrintZoom(MEASURE_SHUTTER, false, false);
    curves.DrawAxes(canvas, MEASURE_SHUTTER, false);
    curves.DrawSlot(canvas, MEASURE_SHUTTER, 0, 0, false, true, false);
  }
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
}

}  // namespace
