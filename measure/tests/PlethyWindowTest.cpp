// The body box's test on the measurement window, offscreen, with the
// simulated box played by the simulator rig on the event loop: the loops
// and the flow-volume and volume-time panels drawn as the samples come,
// the screen after the stop in both layouts, and the test beside a
// previous one. Pictures at zoom 0 and 3 in build/artifacts.

#include "measure/tests/MeasureWindowFixture.h"
#include "measure/tests/BoxModelPatient.h"

#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/MeasureTexts.h"
#include "measure/screen/PlethyGeometry.h"
#include "measure/screen/PlethyPanels.h"
#include "measure/window/MeasureFrameScreen.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/plethysmography/Trial.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace {

class PlethyWindow : public MeasureWindowFixture {
protected:
  PlethyWindow() {
    // The IVC after RV completes TLC.
    PREDICTED_DATA patient = Adult("Box");
    patient.Weight = 75;
    Open(MEASURE_PLETHY, patient);
    TMeasureSettings settings = BoxModelSettings();
    settings.Plethysmograph.EndOfMeasurementWithIVC = 1;
    Window->ApplySettings(settings);
    Window->InstrumentType = 0x11;  // the body box, sensors on the wide scale
    Window->SetInstrument(4);
    Window->MetronomEnable = 0;
    Window->CalibrationInterval = 0;
  }

  void Start() {
    Attach(Options);
    Window->ZeroNeeded = false;
    Window->DispatchCommand(CM_START);
    Rig.RunEventLoopWhile([&] { return !Window->IsRunning(); }, 50);
    ASSERT_TRUE(Window->IsRunning());
  }

  // Plays while `more` holds, the operator closing the shutter once the
  // breathing has begun.
  void PlayWhile(const std::function<bool()>& more, long passes) {
    Rig.RunEventLoopWhile(
        [&] {
          if (TMeasureInterrupt::FlagBegin && !Window->ShutterRequested && TMeasureInterrupt::TestMode == 0)
            Window->DispatchCommand(CM_SHUTTER);
          return Window->IsRunning() && more();
        },
        passes);
  }

  // Into the breath out to RV after the panting: the loops are done, the
  // panels hold the breathing so far.
  void PlayIntoTheBreathToRv() {
    long ended = -1;
    PlayWhile(
        [&] {
          if (ended < 0 && Window->EndMark != 0)
            ended = Rig.Steps();
          return ended < 0 || Rig.Steps() < ended + 150;
        },
        20000);
    ASSERT_TRUE(Window->IsRunning());
    ASSERT_NE(Window->EndMark, 0) << "the panting ended";
  }

  // On to TLC and back, then the operator stops.
  void PlayToTheEnd() {
    const long from = Rig.Steps();
    PlayWhile([&] { return Rig.Steps() < from + 1200; }, 2000);
    if (Window->IsRunning())
      Window->DispatchCommand(CM_STOP);
    RunUntilIdle(50);
    ASSERT_FALSE(Window->IsRunning());
  }

  TColor PenColour(std::size_t pen) {
    return dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()).GetPainter()->Pens()[pen].Color;
  }
  TColor Colour(std::size_t entry) {
    return dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()).GetPainter()->Color(entry);
  }

  // Pixels of the colour inside the layout rectangle `box`.
  int PixelsIn(const QImage& image, const TRect& box, TColor colour) {
    const TRect r = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), box);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        n += image.pixel(x, y) == qRgb(colour.R, colour.G, colour.B) ? 1 : 0;
    return n;
  }

  QImage Grab() { return Window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  void Pictures(const std::string& name) {
    for (const short zoom : {short{0}, short{3}}) {
      Window->ZoomLevel = zoom;
      Window->GetView().SetCurrentFactor();
      Picture(name + "-zoom" + std::to_string(zoom) + ".png");
    }
    Window->ZoomLevel = 1;
    Window->GetView().SetCurrentFactor();
  }

  // Air at body temperature: the box settles in its shortest time, 30 s.
  TSimulatorOptions Options = BoxModelOptions(37.0);
};

// Beside the table the loops and both panels grow sample by sample; after
// the stop the screen shows them whole, beside the table and at full size.
TEST_F(PlethyWindow, TheNormalLayoutDuringAndAfterTheTest) {
  ASSERT_EQ(Window->ScreenMode, 1);
  Start();
  PlayIntoTheBreathToRv();
  const PlethyPanels::TPanels panels = PlethyPanels::ScreenPanels();
  const TColor first = PenColour(1);
  const QImage during = Grab();
  SavePicture(*Window, "plethy-normal-during.png");
  EXPECT_GT(PixelsIn(during, PlethyGeometry::ResistanceFrame(1).Area, first), 15) << "the resistance loops";
  EXPECT_GT(PixelsIn(during, PlethyGeometry::TgvFrame(1).Area, first), 10) << "the panting";
  EXPECT_GT(PixelsIn(during, panels.FlowVolumeArea, first), 30) << "the flow-volume panel";
  EXPECT_GT(PixelsIn(during, panels.VolumeTimeArea, first), 200) << "the volume-time panel";
  Pictures("plethy-normal-during");

  PlayToTheEnd();
  // The model patient's TGV, 3.2 L.
  EXPECT_NEAR(Window->GetAktBuffer(MEASURE_PLETHY, 0)[plethysmography::TGV], 3.2f, 3.2f * 0.02f);
  Pictures("plethy-normal-after");
  Window->GetView().RedrawScreenBmp();
  const QImage after = Grab();
  EXPECT_GT(PixelsIn(after, panels.FlowVolumeArea, first), 50);
  EXPECT_GT(PixelsIn(after, panels.VolumeTimeArea, first), 200);
  Window->DispatchCommand(CM_SCREEN);
  ASSERT_EQ(Window->ScreenMode, 0);
  Pictures("plethy-full-after");
  EXPECT_LE(Window->width(), 1280);
  EXPECT_LE(Window->height(), 800);
}

// Past the thermal wait, while the breathing rate is written beside the
// panels: the table keeps its head (written before the start), and the
// rate's field ends at the lower area's right frame, not past it.
TEST_F(PlethyWindow, TheTableHeadAndTheBreathingRateDuringTheTest) {
  Start();
  PlayIntoTheBreathToRv();
  const QImage during = Grab();
  const TRect head{321, 68, 740, 84};  // above the list (85 on)
  const TRect shown = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), head);
  const int headPixels = shown.Width() * shown.Height();
  EXPECT_GT(headPixels - PixelsIn(during, head, Colour(MeasureTexts::PanelColor)), 200) << "the head's texts";
  // Right of the lower area, along the rate's line, the window's own
  // border: nothing of the rate's black field.
  const int right = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), MeasureLayout::LowerArea(1)).Right;
  const int from = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), TPoint{0, 331}).Y;
  const int to = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), TPoint{0, 343}).Y;
  const QRgb black = qRgb(0, 0, 0);
  int past = 0;
  for (int y = from; y < to; ++y)
    for (int x = right + 2; x < during.width(); ++x)
      past += during.pixel(x, y) == black ? 1 : 0;
  ASSERT_GT(during.width(), right + 4);
  EXPECT_EQ(past, 0);
  Window->DispatchCommand(CM_STOP);
  RunUntilIdle(50);
}

// Three seconds into the resistance loops the loops drawn so far stand in
// their frame, live and after a full repaint.
TEST_F(PlethyWindow, TheLoopsRecordedSoFarAreRepaintedDuringTheTest) {
  Window->GetView().RedrawScreenBmp();
  const TColor first = PenColour(1);
  ASSERT_EQ(PixelsIn(Grab(), PlethyGeometry::ResistanceFrame(1).Area, first), 0) << "no loop before the test";
  Start();
  PlayWhile([&] { return Window->ResistanceStartMark == 0; }, 20000);
  ASSERT_NE(Window->ResistanceStartMark, 0) << "the loops never began";
  const long from = Rig.Steps();
  PlayWhile([&] { return Rig.Steps() < from + 300; }, 1000);
  ASSERT_TRUE(Window->IsRunning());
  EXPECT_GT(PixelsIn(Grab(), PlethyGeometry::ResistanceFrame(1).Area, first), 10) << "the live loops";
  Window->GetView().RedrawScreenBmp();
  EXPECT_GT(PixelsIn(Grab(), PlethyGeometry::ResistanceFrame(1).Area, first), 10) << "the loops repainted";
  Window->DispatchCommand(CM_STOP);
  RunUntilIdle(50);
}

// The enlarged layout chosen before the start: the loops at twice the
// size while they are recorded, no panels.
TEST_F(PlethyWindow, TheEnlargedLayoutDuringTheTest) {
  Window->DispatchCommand(CM_SCREEN);
  ASSERT_EQ(Window->ScreenMode, 0);
  Start();
  ASSERT_EQ(Window->ScreenMode, 0) << "the start keeps the layout";
  PlayIntoTheBreathToRv();
  const QImage during = Grab();
  SavePicture(*Window, "plethy-full-during.png");
  EXPECT_GT(PixelsIn(during, PlethyGeometry::ResistanceFrame(0).Area, PenColour(1)), 30);
  Pictures("plethy-full-during");
  PlayToTheEnd();
}

// A test beside the previous one (a first run of the same patient kept as
// the previous result): both trials' loops and panel curves, each in its
// own pen.
TEST_F(PlethyWindow, ATestBesideThePreviousOne) {
  Start();
  PlayIntoTheBreathToRv();
  PlayToTheEnd();
  Window->CopyAktToPreBuffer(MEASURE_PLETHY, 0);
  // The second test: a narrower airway, deeper and slower breaths.
  Options.Patient.RawKpaSpL *= 2.0;
  Options.Box.Box.TidalL = 1.0;
  Options.Box.Box.BreathS = 3.0;
  Start();
  PlayIntoTheBreathToRv();
  PlayToTheEnd();
  Window->DispatchCommand(CM_PREPOST);
  ASSERT_TRUE(Window->PrePostMode);
  Picture("plethy-prepost.png");
  const QImage image = Grab();
  const PlethyPanels::TPanels panels = PlethyPanels::ScreenPanels();
  for (const std::size_t pen : {std::size_t{1}, std::size_t{5}}) {
    SCOPED_TRACE("pen " + std::to_string(pen));
    EXPECT_GT(PixelsIn(image, PlethyGeometry::ResistanceFrame(1).Area, PenColour(pen)), 15);
    EXPECT_GT(PixelsIn(image, panels.FlowVolumeArea, PenColour(pen)), 30);
    EXPECT_GT(PixelsIn(image, panels.VolumeTimeArea, PenColour(pen)), 100);
  }
  Window->DispatchCommand(CM_PREPOST);
}

}  // namespace
