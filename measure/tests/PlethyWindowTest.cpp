// The body-box test on the measurement window, offscreen, against the
// simulated box on the rig's manual clock: the screen while the loops are
// recorded and after the stop, in both layouts at the smallest and the
// largest zoom step (pictures in build/artifacts).

#include "measure/tests/MeasureWindowFixture.h"

#include "common/CommandNumbers.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/PlethyGeometry.h"
#include "measure/window/MeasureFrameScreen.h"
#include "platform/portkit/plethysmography/Trial.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class PlethyWindow : public MeasureWindowFixture {
protected:
  PlethyWindow() {
    Open(MEASURE_PLETHY);
    Window->InstrumentType = 0x11;  // the body box, sensors on the wide scale
    Window->SetInstrument(4);
    Window->MetronomEnable = 0;
    Window->ReferenceIvc = 4.4f;
    TMeasureSettings settings;
    // The model's flow is at BTPS already, and it puts no sensor's
    // resistance before the airway.
    settings.Plethysmograph.InspBTPSFactor = 1.0f;
    settings.Plethysmograph.ResistanceOfSensor = 0.0f;
    Window->ApplySettings(settings);
    Options.Kind = "plethysmograph";
    Options.Manoeuvre = "plethysmograph";
    Options.HardwareVersion = 0x11;
    Options.NoiseCounts = 0;
    Options.Sensors.TemperatureC = 37.0;  // the shortest settling
    Options.Sensors.PressureHpa = 1013.0;
    Options.Sensors.HumidityPercent = 50.0;
    Options.Box.Box.Ivc = true;
    Options.Box.Box.WeightKg = 80.0;  // the window's patient
  }

  // The window's pixels.
  QImage Grab() { return Window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // How many pixels of the first trial's pen lie in the resistance loop's
  // frame.
  int LoopPixels(const QImage& image) {
    const auto pen = static_cast<std::size_t>(MeasureLayout::CurvePen(0, false, false, false));
    const TColor c = dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()).GetPainter()->Pens()[pen].Color;
    const TRect frame = TUtil::Scale(Window->GetXScale(), Window->GetYScale(),
                                     PlethyGeometry::ResistanceFrame(Window->ScreenMode).Area);
    int count = 0;
    for (int y = std::max(frame.Top, 0); y < std::min(frame.Bottom, image.height()); ++y)
      for (int x = std::max(frame.Left, 0); x < std::min(frame.Right, image.width()); ++x)
        count += image.pixel(x, y) == qRgb(c.R, c.G, c.B) ? 1 : 0;
    return count;
  }

  // Pictures of both layouts at zoom steps 0 and 3; the layout and zoom the
  // window had are restored.
  void Pictures(const std::string& stage) {
    const short zoom = Window->ZoomLevel;
    for (int layout = 0; layout < 2; ++layout) {
      for (const short step : {short{0}, short{3}}) {
        Window->ZoomLevel = step;
        Window->GetView().SetCurrentFactor();
        Picture("measure-plethy-" + stage + (Window->ScreenMode == 0 ? "-full" : "-normal") + "-zoom" +
                std::to_string(step) + ".png");
      }
      Window->DispatchCommand(CM_SCREEN);
    }
    Window->ZoomLevel = zoom;
    Window->GetView().SetCurrentFactor();
  }

  TSimulatorOptions Options;
};

// Three seconds into the resistance loops the loops drawn so far stand in
// their frame, live and repainted in either layout; after the shutter, the
// panting and the stop the evaluated loops stand there in both layouts.
TEST_F(PlethyWindow, TheLoopsAreDrawnWhileTheyAreRecordedAndAfterTheStop) {
  Window->GetView().RedrawScreenBmp();
  ASSERT_EQ(LoopPixels(Grab()), 0) << "no loop before the test";
  Attach(Options);
  Window->DispatchCommand(CM_START);
  Play(5);  // the start is posted
  // The operator asks for the shutter once the breathing has begun; the
  // loops come first.
  const auto operate = [&] {
    if (TMeasureInterrupt::FlagBegin && !Window->ShutterRequested && TMeasureInterrupt::TestMode == 0)
      Window->CmShutter();
  };
  Rig.RunEventLoopWhile(
      [&] {
        operate();
        return Window->IsRunning() && Window->ResistanceStartMark == 0;
      },
      20000);
  ASSERT_TRUE(Window->IsRunning());
  ASSERT_NE(Window->ResistanceStartMark, 0) << "the loops never began";
  Play(300);
  ASSERT_TRUE(Window->IsRunning());
  EXPECT_GT(LoopPixels(Grab()), 10) << "the live loops";
  Pictures("during");
  Window->GetView().RedrawScreenBmp();
  EXPECT_GT(LoopPixels(Grab()), 10) << "the loops repainted during the test";

  long ended = -1;
  Rig.RunEventLoopWhile(
      [&] {
        operate();
        if (ended < 0 && Window->EndMark != 0)
          ended = Rig.Steps();
        return Window->IsRunning() && (ended < 0 || Rig.Steps() < ended + 1300);
      },
      30000);
  if (Window->IsRunning())
    Window->DispatchCommand(CM_STOP);
  RunUntilIdle(1000);
  ASSERT_FALSE(Window->IsRunning());
  // The model patient's TGV, 3.2 L.
  EXPECT_NEAR(Window->GetAktBuffer(MEASURE_PLETHY, 0)[plethysmography::TGV], 3.2f, 3.2f * 0.02f);
  Pictures("after");
  Window->GetView().RedrawScreenBmp();
  EXPECT_GT(LoopPixels(Grab()), 10) << "the evaluated loops";
}

}  // namespace
