// The zero and the calibrations on the measurement window, offscreen, with
// the instrument simulator played in process on the link's manual clock:
// the zero hand frame by frame, the calibration screen with the diffusion
// unit's pressure chart, and their pictures in build/artifacts.

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"
#include "measure/screen/PressureChart.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorRig.h"
#include "testing/TemporaryFolder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TZeroCalibrationQuietClient final : public TEventHandler {
protected:
  TResult DefaultProcessing(unsigned msg, TParam1, TParam2) override { return msg == WM_GET_HELP_MODE ? 0 : 1; }
};

// Takes a picture of the window at every wait between the zero hand's frames.
class TFrameGrabs final : public TDelayClock {
public:
  explicit TFrameGrabs(QWidget& window) : Window(window) {}
  void Wait(std::chrono::milliseconds) override { Frames.push_back(Window.grab().toImage()); }
  std::vector<QImage> Frames;

private:
  QWidget& Window;
};

class ZeroCalibrationWindow : public ::testing::Test {
protected:
  ZeroCalibrationWindow() {
    Texts.SetSink(&Sink);
    Folder.Write("Halvetra.ini", "[Zero]\nDelayBetweenHandMove=100\n");
    PREDICTED_DATA patient;
    patient.SetName("Calibration");
    patient.Age = 40;
    patient.Height = 180;
    patient.Weight = 80;
    patient.Sex = 1;
    Window = std::make_unique<TMeasure>(1.6f, 1.3333f, MEASURE_FVC, &Texts, (Folder / "Halvetra.ini").string(),
                                        short{0}, patient, nullptr, 1.0f, false, &Client);
    Window->SetupWindow();
    Window->SetMeasureMode(MEASURE_FVC);
    Window->show();
    Rig.Connect(*Window);
    Window->HasInstrument = true;
  }
  ~ZeroCalibrationWindow() override {
    Rig.StopPump();
    Window.reset();
    Sink.ExpectAllTaken();
  }

  void Attach(TSimulatorOptions options) { Rig.Attach(std::move(options)); }

  // The event loop until the window is idle, at most `passes` passes, each
  // a sample period of the instrument.
  void RunUntilIdle(int passes) {
    Rig.RunEventLoopWhile([this] { return Window->IsRunning(); }, passes);
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TZeroCalibrationQuietClient Client;
  TSimulatorRig Rig;
  std::unique_ptr<TMeasure> Window;
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
  Window->Diffusion.HeLsbCorrection = 1.0f;
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
  Window->Diffusion.HeLsbCorrection = 1.0f;
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
