// The zero and the calibrations on the measurement window, offscreen, with
// the instrument simulator played in process on the link's manual clock:
// the zero hand frame by frame, the calibration screen with the diffusion
// unit's pressure chart, and their pictures in build/artifacts.

#include "measure/tests/MeasureWindowFixture.h"

#include "measure/report/MeasurePrintout.h"
#include "measure/window/MeasureFrameScreen.h"
#include "testing/RecordingSurface.h"
#include "measure/screen/PressureChart.h"

#include "common/CommandNumbers.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Takes a picture of the window at every wait between the zero hand's frames.
class TFrameGrabs final : public TDelayClock {
public:
  explicit TFrameGrabs(QWidget& window) : Window(window) {}
  void Wait(std::chrono::milliseconds) override { Frames.push_back(Window.grab().toImage()); }
  std::vector<QImage> Frames;

private:
  QWidget& Window;
};

class ZeroCalibrationWindow : public MeasureWindowFixture {
protected:
  ZeroCalibrationWindow() {
    Folder.Write("Halvetra.ini", "[Zero]\nDelayBetweenHandMove=100\n");
    Open(MEASURE_FVC, Adult("Calibration"), false, 1.6f, 1.3333f);
  }
};

TEST_F(ZeroCalibrationWindow, TheZeroHandRisesFrameByFrameAndGoesWhenTheZeroIsRead) {
  TSimulatorOptions options;
  options.OffsetCounts = 2;
  Attach(options);
  auto grabs = std::make_shared<TFrameGrabs>(*Window);
  Window->SetZeroDelayClock(grabs);
  auto& screen = dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen());
  bool handDuringRead = false;
  Rig.OnStep([&] {
    if (!handDuringRead && screen.GetZero().IsLoaded()) {
      handDuringRead = true;
      SavePicture(*Window, "measure-zero-reading.png");
    }
  });
  Rig.StartPump();
  Window->DispatchCommand(CM_ZERO);
  Rig.StopPump();
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(4)));

  // Six hands, each a picture of its own, on the screen before its wait.
  ASSERT_EQ(grabs->Frames.size(), 6u);
  for (std::size_t k = 1; k < grabs->Frames.size(); ++k)
    EXPECT_NE(grabs->Frames[k], grabs->Frames[k - 1]) << "hand " << k + 1;
  EXPECT_TRUE(handDuringRead) << "the last hand stays up while the zero is read";
  EXPECT_FALSE(screen.GetZero().IsLoaded()) << "and goes when it is done";
  EXPECT_FALSE(Window->ZeroNeeded);
  EXPECT_NEAR(Window->FlowZero, 2 * 8.7890625f, 8.8f);
}

TEST_F(ZeroCalibrationWindow, TheCalibrationScreenShowsTheStickThenTheResult) {
  TSimulatorOptions options;
  options.Manoeuvre = "syringe";
  options.StartOnStream = true;
  options.LeadInS = 0.5;
  options.Patient.SyringeStrokes = 22;
  options.InspirationGain = 0.97;
  Attach(options);
  Window->SyringeVolume = 3;
  Window->CreateZeroTimer();
  Window->DispatchCommand(CM_CALIBRATION);
  ASSERT_TRUE(Window->IsRunning());
  auto& screen = dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen());
  EXPECT_TRUE(screen.GetStick().IsLoaded());
  SavePicture(*Window, "measure-calibration-stick.png");
  RunUntilIdle(100000);
  ASSERT_FALSE(Window->IsRunning());
  EXPECT_FALSE(screen.GetStick().IsLoaded());
  Window->GetView().RedrawScreenBmp();
  SavePicture(*Window, "measure-calibration-spirometer.png");
  EXPECT_EQ(Window->ResultKind, 0);
  EXPECT_NEAR(Window->InspFactor, 0.97, 0.97 * 0.005);
}

// The calibration page printed after a calibration on the instrument
// shows the strokes the window measured: coloured lines in the loop's
// frame and in the volume-time frame, and no graph marked as missing.
TEST_F(ZeroCalibrationWindow, TheCalibrationPagePrintsTheStrokesItMeasured) {
  TSimulatorOptions options;
  options.Manoeuvre = "syringe";
  options.StartOnStream = true;
  options.LeadInS = 0.5;
  options.Patient.SyringeStrokes = 22;
  Attach(options);
  Window->SyringeVolume = 3;
  Window->CreateZeroTimer();
  Window->DispatchCommand(CM_CALIBRATION);
  RunUntilIdle(100000);
  ASSERT_FALSE(Window->IsRunning());
  ASSERT_GT(Window->HeldCalibrationSamples(), 1000u);

  TMeasurePrintout printed(*Window, Texts);
  TRecordingSurface surface({1000, 1400});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.PrintY = 100;
  printed.Test().PrintCalibration(canvas);
  // The spirometer's table (4 rows of 22) and 40 below: the graphs at 228.
  const TRect loop{121, 228, 121 + 224, 228 + 336};
  const TRect volumeTime{380, 228, 741, 228 + 140};
  const auto inside = [](const TRecordingSurface::TCall& call, const TRect& r) {
    return std::all_of(call.Points.begin(), call.Points.end(), [&](const TPoint& p) {
      return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
    });
  };
  int inLoop = 0, inTime = 0;
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
    const TColor c = call.Pen.Color;
    if (c.R == c.G && c.G == c.B)
      continue;  // axes, grid and ranges are black or grey
    inLoop += inside(call, loop) ? 1 : 0;
    inTime += inside(call, volumeTime) ? 1 : 0;
  }
  EXPECT_GT(inLoop, 500);
  EXPECT_GT(inTime, 500);
  const auto texts = surface.Texts();
  EXPECT_EQ(std::find(texts.begin(), texts.end(), Texts.LoadStringA(9490)), texts.end());
}

// While the lines are pumped and held for 15 s the operator watches the
// pressure trace grow on the screen: the chart changes between two
// moments of the Fleisch line's hold.
TEST_F(ZeroCalibrationWindow, ThePressureChartIsDrawnLiveDuringTheHold) {
  TSimulatorOptions options;
  options.Kind = "diffusion";
  options.HardwareVersion = 0x70;
  options.Manoeuvre = "syringe";
  options.StartOnStream = true;
  options.LeadInS = 0.5;
  options.Patient.SyringeStrokes = 18;
  Attach(options);
  Window->SyringeVolume = 3;
  Window->CalStrokes = 6;
  Window->InstrumentType = 0x70;
  Window->SetInstrument(3);
  Window->Diffusion.OriginalCoConcentration = 0.3f;
  Window->Diffusion.OriginalHeConcentration = 4.8f;
  Window->Diffusion.HeLsbCorrection = 100.0f / 106.0f;  // the newer helium board's default
  Window->CreateZeroTimer();
  Window->DispatchCommand(CM_CALIBRATION);
  ASSERT_TRUE(Window->IsRunning());
  const QRect chart(0, static_cast<int>((PressureChart::OriginY - PressureChart::HeightPx - 20) * Window->GetYScale()),
                    static_cast<int>((PressureChart::OriginX + PressureChart::WidthPx + 40) * Window->GetXScale()),
                    static_cast<int>((PressureChart::HeightPx + 40) * Window->GetYScale()));
  const auto chartAt = [&](short samples) {
    Rig.RunEventLoopWhile([&] { return Window->IsRunning() && Window->Lines.PressureSamples[0] < samples; }, 200000);
    return Window->grab(chart).toImage();
  };
  const QImage early = chartAt(300);
  ASSERT_TRUE(Window->IsRunning());
  const QImage later = chartAt(900);
  ASSERT_TRUE(Window->IsRunning()) << "still holding";
  SavePicture(*Window, "measure-calibration-pressure-chart-mid-hold.png");
  EXPECT_NE(early, later) << "the trace grew on the screen";
  RunUntilIdle(200000);
  Sink.Messages.clear();
}

TEST_F(ZeroCalibrationWindow, TheDiffusionUnitsCalibrationScreenHasItsPressureChart) {
  TSimulatorOptions options;
  options.Kind = "diffusion";
  options.HardwareVersion = 0x70;
  options.Manoeuvre = "syringe";
  options.StartOnStream = true;
  options.LeadInS = 0.5;
  options.Patient.SyringeStrokes = 18;
  options.LineLeakPercent = 25.0;  // the Fleisch line does not hold
  Attach(options);
  Window->SyringeVolume = 3;
  Window->CalStrokes = 6;
  Window->InstrumentType = 0x70;
  Window->SetInstrument(3);
  Window->Diffusion.OriginalCoConcentration = 0.3f;
  Window->Diffusion.OriginalHeConcentration = 4.8f;
  Window->Diffusion.HeLsbCorrection = 100.0f / 106.0f;  // the newer helium board's default
  Window->CreateZeroTimer();
  Window->DispatchCommand(CM_CALIBRATION);
  ASSERT_TRUE(Window->IsRunning());
  RunUntilIdle(200000);
  ASSERT_FALSE(Window->IsRunning());
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(444)));
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(447)));
  EXPECT_GT(Window->Lines.PressureSamples[0], 1400);
  Window->GetView().RedrawScreenBmp();
  SavePicture(*Window, "measure-calibration-pressure-chart.png");
  EXPECT_LE(Window->width(), 1280);
  EXPECT_LE(Window->height(), 800);
}

}  // namespace
