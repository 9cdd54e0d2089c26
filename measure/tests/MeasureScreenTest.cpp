// The measurement window's screen, offscreen: trials of the lung model in
// the window's buffers, pixel checks against the reference layout worked
// out by hand (6 pixels per L/s, 14 per L, k = 1 on the curve screen), and
// a picture of each screen in build/artifacts.

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "tools/lungmodel/LungModel.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QImage>
#include <QFontMetrics>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <tuple>

namespace {

class TQuietClient final : public TEventHandler {
protected:
  TResult DefaultProcessing(unsigned msg, TParam1, TParam2) override {
    Sent.push_back(msg);
    return msg == WM_GET_HELP_MODE ? 0 : 1;
  }

public:
  std::vector<unsigned> Sent;
};

class TNoWaits final : public TDelayClock {
public:
  void Wait(std::chrono::milliseconds duration) override { Waited += duration.count(); }
  long long Waited = 0;
};

// Colours no picture uses, so that a pixel of one is a pixel of its curve.
constexpr QRgb Trial1 = qRgb(250, 10, 250);
constexpr QRgb Trial2 = qRgb(10, 250, 250);
constexpr QRgb Trial3 = qRgb(250, 250, 10);
constexpr QRgb GridColour = qRgb(90, 91, 92);
constexpr QRgb PanelColour = qRgb(12, 140, 200);

constexpr const char* ColourSection =
    "[Colors]\nColor3=90,91,92\nColor4=250,10,250\nColor5=10,250,250\nColor6=250,250,10\nColor17=12,140,200\n";

PREDICTED_DATA Patient(int age, int height) {
  PREDICTED_DATA p;
  p.SetName("Test Child");
  p.Age = age;
  p.Height = height;
  p.Weight = 30;
  p.Sex = 1;
  return p;
}

class MeasureScreen : public ::testing::Test {
protected:
  MeasureScreen() {
    Texts.SetSink(&Sink);
    Folder.Write("Halvetra.ini", ColourSection);
  }
  ~MeasureScreen() override {
    Window.reset();
    Sink.ExpectAllTaken();
  }

  TMeasure& Open(short type, int width = 1280, int height = 1024, PREDICTED_DATA patient = Patient(40, 180)) {
    Window = std::make_unique<TMeasure>(static_cast<float>(width) / 800.0f, static_cast<float>(height) / 600.0f, type,
                                        &Texts, (Folder / "Halvetra.ini").string(), short{0}, patient, nullptr, 1.0f,
                                        false, &Client);
    Window->SetupWindow();
    Window->SetMeasureMode(type);
    Window->show();
    return *Window;
  }

  TMeasureFrameScreen& Screen() { return dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()); }

  // Flows into a slot, integrated and shifted so that the lowest volume is
  // 0, as the evaluation leaves a trial.
  void PutTrial(short kind, short slot, const std::vector<double>& flows) {
    TMeasure& w = *Window;
    ASSERT_TRUE(w.AllocateSpiroBuffer(slot, kind, true));
    float* flow = w.GetSpiroFlowBuffer(slot);
    float* volume = w.GetSpiroVolumeBuffer(slot);
    const std::size_t n = std::min<std::size_t>(flows.size(), 6000);
    double v = 0.0;
    double lowest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      v += flows[i] * LungModel::SampleSeconds;
      volume[i] = static_cast<float>(v);
      flow[i] = static_cast<float>(flows[i]);
      lowest = std::min(lowest, v);
    }
    for (std::size_t i = 0; i < n; ++i)
      volume[i] -= static_cast<float>(lowest);
    w.SetBufferSize(kind, slot, static_cast<short>(n));
    w.TrialOrder[static_cast<std::size_t>(slot)] = static_cast<short>(slot + 1);
  }

  void PutFvc(short slot, const LungModel::TPatient& patient) {
    PutTrial(MEASURE_FVC, slot, LungModel::ForcedManoeuvre(patient));
    Window->GetAktBuffer(MEASURE_FVC, slot)[0] = static_cast<float>(patient.FvcL);
  }

  QImage Picture() {
    Window->GetView().RedrawScreenBmp();
    return Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // The box around every pixel of a colour inside a rectangle.
  static QRect Extent(const QImage& image, QRgb colour, const QRect& within) {
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
      for (int x = within.left(); x <= within.right(); ++x)
        if (image.pixel(x, y) == colour)
          box |= QRect(x, y, 1, 1);
    return box;
  }
  static int Count(const QImage& image, QRgb colour) { return Extent(image, colour, image.rect()).isNull() ? 0 : 1; }

  QRect Device(const TRect& r) const {
    const TRect s = TUtil::Scale(Window->GetXScale(), Window->GetYScale(), r);
    return {s.Left, s.Top, s.Width(), s.Height()};
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TQuietClient Client;
  std::unique_ptr<TMeasure> Window;
};

TEST_F(MeasureScreen, EveryKindAtEveryWidthKeepsItsCurvesInTheirAreas) {
  LungModel::TPatient adult;
  LungModel::TPatient big = adult;  // beyond every axis maximum
  big.FvcL = 13.0;
  big.Fev1L = 10.0;
  big.PefLps = 18.0;
  big.RvL = 2.0;
  const std::vector<std::pair<int, int>> screens{{640, 480},  {800, 600},   {1024, 768}, {1152, 864},
                                                 {1280, 1024}, {1600, 1200}, {1920, 1080}};
  for (const auto& [width, height] : screens) {
    Open(MEASURE_FVC, width, height);
    PutFvc(0, adult);
    PutFvc(1, big);
    for (short zoom = 0; zoom < 4; ++zoom) {
      Window->ZoomLevel = zoom;
      const QImage image = Picture();
      if (zoom == 1)
        SavePicture(*Window, "measure-fvc-" + std::to_string(width) + ".png");
      const QRect work = Device(MeasureLayout::WorkArea(1));
      const QRect lower = Device(MeasureLayout::LowerArea(Window->ScreenIndex));
      int inside = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QRgb c = image.pixel(x, y);
          if (c != Trial1 && c != Trial2)
            continue;
          // The header above the list names the trials in their colours.
          if (Device(MeasureLayout::TableBox).contains(x, y))
            continue;
          // Pens one pixel wide may touch the area's edge line, never beyond.
          const bool in = work.adjusted(-1, -1, 1, 1).contains(x, y) || lower.adjusted(-1, -1, 1, 1).contains(x, y);
          EXPECT_TRUE(in) << width << " zoom " << zoom << " pixel " << x << "," << y;
          inside += in ? 1 : 0;
          if (!in)
            return;
        }
      EXPECT_GT(inside, 50) << width << " zoom " << zoom;
    }
  }
}

TEST_F(MeasureScreen, PicturesOfEachTestKind) {
  LungModel::TPatient adult;
  Open(MEASURE_VC, 1280, 1024);
  PutTrial(MEASURE_VC, 0, LungModel::SlowVcManoeuvre(adult));
  EXPECT_GT(Count(Picture(), Trial1), 0);
  SavePicture(*Window, "measure-vc.png");

  Open(MEASURE_MVV, 1280, 1024);
  PutTrial(MEASURE_MVV, 0, LungModel::MvvManoeuvre(adult));
  EXPECT_GT(Count(Picture(), Trial1), 0);
  SavePicture(*Window, "measure-mvv.png");

  Open(MEASURE_DFC, 1280, 1024);
  std::vector<double> breath = LungModel::DiffusionInspiration(adult);
  breath.resize(breath.size() + 1000, 0.0);
  const std::vector<double> out = LungModel::DiffusionExpiration(adult);
  breath.insert(breath.end(), out.begin(), out.end());
  PutTrial(MEASURE_DFC, 0, breath);
  EXPECT_GT(Count(Picture(), Trial1), 0);
  SavePicture(*Window, "measure-dfc.png");

  Open(MEASURE_FVC, 1280, 1024);
  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  const std::vector<double> strokes = LungModel::SyringeStrokes(adult);
  Window->CalFlow.assign(strokes.begin(), strokes.end());
  Window->CalVolume.resize(strokes.size());
  double v = 0.0;
  for (std::size_t i = 0; i < strokes.size(); ++i)
    Window->CalVolume[i] = static_cast<float>(v += strokes[i] * 0.01);
  Window->SampleCount[MEASURE_CALIBRATION][0] = static_cast<short>(std::min<std::size_t>(strokes.size(), 6000));
  Window->ResultKind = 0;
  const QImage calibration = Picture();
  SavePicture(*Window, "measure-calibration.png");
  EXPECT_TRUE(Extent(calibration, qRgb(255, 0, 255), calibration.rect()).isValid());
  TMeasureData::MeasureMode = MEASURE_FVC;
}

TEST_F(MeasureScreen, AChildsLoopGrowsWithTheZoomAndStartsOnTheFlowAxis) {
  LungModel::TPatient child;
  child.FvcL = 1.2;
  child.Fev1L = 1.05;
  child.PefLps = 2.5;
  child.FivcL = 1.1;
  child.PifLps = 2.0;
  child.RvL = 0.4;
  child.ErvL = 0.4;  // so that the child breathes in to TLC from below it
  child.IrvL = 0.5;
  child.TidalL = 0.2;
  Open(MEASURE_FVC, 1280, 1024, Patient(6, 118));
  PutFvc(0, child);
  const QRect above = Device({8, 67, 312, 177});  // the loop's expiration, above the volume axis
  std::array<QRect, 4> loops;
  for (short zoom : {short{0}, short{3}}) {
    Window->ZoomLevel = zoom;
    const QImage image = Picture();
    loops[static_cast<std::size_t>(zoom)] = Extent(image, Trial1, above);
    if (zoom == 3)
      SavePicture(*Window, "measure-fvc-child-zoom3.png");
  }
  const float fx = Window->GetXScale(), fy = Window->GetYScale();
  // Zoom 0: 1.2 L x 14 / 1.5 = 11.2 reference pixels wide; zoom 3: 1.2 x
  // 14 / 0.25 = 67.2, six times as wide. The peak flow rises 2.5 x 6 = 15
  // pixels at zoom 0 and four times that, 60, at zoom 3.
  EXPECT_NEAR(loops[0].width(), 11.2 * fx, 2.0);
  EXPECT_NEAR(loops[3].width(), 67.2 * fx, 2.0);
  EXPECT_NEAR(loops[0].height(), 15.0 * fy, 2.0);
  EXPECT_NEAR(loops[3].height(), 60.0 * fy, 2.0);
  // Full inspiration on the flow axis (x 157); the expiration ends at the FVC.
  EXPECT_NEAR(loops[3].left(), static_cast<int>(157 * fx), 2);
  EXPECT_NEAR(loops[3].right(), static_cast<int>((157 + 67.2) * fx), 2);
}

TEST_F(MeasureScreen, PanelsTrialsAndGridInTheirColours) {
  LungModel::TPatient adult;
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  adult.FvcL = 4.0;
  PutFvc(1, adult);
  adult.FvcL = 3.6;
  PutFvc(2, adult);
  const QImage image = Picture();
  // Corners clear of texts, of the list and of the BTPS panel.
  const QRect table = Device(MeasureLayout::TableBox);
  EXPECT_EQ(image.pixel(table.right() - 3, table.top() + 2), PanelColour);
  const QRect strip = Device(MeasureLayout::TitleStrip);
  EXPECT_EQ(image.pixel(strip.left() + 2, strip.bottom() - 2), PanelColour);
  EXPECT_EQ(image.pixel(Device(MeasureLayout::LogoBox).center()), qRgb(0, 0, 0));
  for (const QRgb colour : {Trial1, Trial2, Trial3})
    EXPECT_GT(Count(image, colour), 0);
  EXPECT_GT(Count(image, GridColour), 0);

  ASSERT_TRUE(Window->DispatchCommand(CM_GRID));
  EXPECT_EQ(Count(Picture(), GridColour), 0);
  EXPECT_NE(TTemporaryFolder::Read(Folder / "Halvetra.ini").find("[Grid]"), std::string::npos);
  EXPECT_NE(std::find(Client.Sent.begin(), Client.Sent.end(), WM_GRID_CHANGED), Client.Sent.end());
  SavePicture(*Window, "measure-fvc-no-grid.png");
}

TEST_F(MeasureScreen, BigTableToggledTwiceGivesTheSamePicture) {
  LungModel::TPatient adult;
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  const QImage before = Picture();
  ASSERT_TRUE(Window->DispatchCommand(CM_ZOOM_TABLE));
  EXPECT_TRUE(Window->TableZoomed);
  EXPECT_FALSE(Window->GetParamListView()->isVisible());
  const QImage table = Picture();
  // The table's values stand in the trial's colour, but no grid is drawn.
  EXPECT_EQ(Count(table, GridColour), 0);
  SavePicture(*Window, "measure-big-table.png");
  ASSERT_TRUE(Window->DispatchCommand(CM_ZOOM_TABLE));
  EXPECT_TRUE(Window->GetParamListView()->isVisible());
  EXPECT_EQ(Picture(), before);
  Window->StageView = true;
  Window->DispatchCommand(CM_ZOOM_TABLE);
  Picture();
  SavePicture(*Window, "measure-big-table-provocation.png");
  Window->DispatchCommand(CM_ZOOM_TABLE);
}

// The curves-only button reaches the full-width screen, where every pixel
// distance of the loop doubles (k = 2: 12 pixels per L/s, 28 per L at
// zoom 1, the origin at x 314, y 273), and brings the list screen back.
TEST_F(MeasureScreen, FullWidthScreenAndBack) {
  LungModel::TPatient adult;  // FVC 4.5 L, PEF 9 L/s
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  Window->UpdateParamListBox();
  const QImage before = Picture();
  ASSERT_TRUE(Window->DispatchCommand(CM_SCREEN));
  EXPECT_EQ(Window->ScreenMode, 0);
  EXPECT_FALSE(Window->GetParamListView()->isVisible());
  const QImage full = Picture();
  SavePicture(*Window, "measure-fvc-full-width.png");
  const float fx = Window->GetXScale(), fy = Window->GetYScale();
  // The expiration, above the volume axis: 4.5 x 28 = 126 pixels wide,
  // starting on the flow axis; 9 x 12 = 108 pixels high. The sampled
  // curve's ends fall within a reference pixel (1.6 and 1.7 device pixels).
  const QRect loop = Extent(full, Trial1, Device({7, 66, 743, 273}));
  EXPECT_NEAR(loop.width(), 126.0 * fx, 3.0);
  EXPECT_NEAR(loop.height(), 108.0 * fy, 3.0);
  EXPECT_NEAR(loop.left(), static_cast<int>(314 * fx), 2);
  // The whole loop stays right of the flow axis: no volume-time diagram
  // at the left under a full-width loop, and no table header.
  EXPECT_TRUE(Extent(full, Trial1, Device({8, 67, 300, 456})).isNull());
  EXPECT_EQ(full.pixel(Device(MeasureLayout::TableBox).topRight() + QPoint(-3, 2)), qRgb(0, 0, 0));

  ASSERT_TRUE(Window->DispatchCommand(CM_SCREEN));
  EXPECT_EQ(Window->ScreenMode, 1);
  EXPECT_TRUE(Window->GetParamListView()->isVisible());
  EXPECT_EQ(Picture(), before);
}

// A stored provocation test in the big table: the stages' values and,
// under them, the step's agent, concentration, dose and solvent.
TEST_F(MeasureScreen, BigTableOfAProvocationStep) {
  LungModel::TPatient adult;
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  adult.FvcL = 4.0;
  PutFvc(1, adult);
  adult.FvcL = 4.3;
  PutFvc(2, adult);
  for (short slot = 0; slot < 3; ++slot) {
    float* akt = Window->GetAktBuffer(MEASURE_FVC, slot);
    akt[2] = akt[0] * 0.8f;  // FEV1
    akt[7] = 8.0f - static_cast<float>(slot);  // PEF
  }
  Window->StageView = true;
  Window->ProvocationStep = {"Metacholin", "NaCl 0.9 %", 2.5f, 0.5f, 0};
  ASSERT_TRUE(Window->DispatchCommand(CM_ZOOM_TABLE));
  const QImage table = Picture();
  SavePicture(*Window, "measure-big-table-provocation-step.png");
  // The provocation stage's values stand in trial 2's colour.
  EXPECT_TRUE(Extent(table, Trial2, Device({8, 122, 742, 456})).isValid());
  Window->DispatchCommand(CM_ZOOM_TABLE);
}

// A window set up on a working file that holds the actual and the
// previous result shows the comparison when it was shown last.
TEST_F(MeasureScreen, SetUpOnBothResultsBringsTheComparisonBack) {
  LungModel::TPatient adult;
  for (const bool shownLast : {true, false}) {
    SCOPED_TRACE(shownLast);
    TMeasureCore::PrePostShown = shownLast;
    Window = std::make_unique<TMeasure>(1.6f, 1024.0f / 600.0f, MEASURE_FVC, &Texts,
                                        (Folder / "Halvetra.ini").string(), short{0}, Patient(40, 180), nullptr, 1.0f,
                                        false, &Client);
    PutFvc(0, adult);
    PutFvc(3, adult);
    Window->SetupWindow();
    Window->SetMeasureMode(MEASURE_FVC);
    Window->show();
    EXPECT_EQ(Window->PrePostMode, shownLast);
    if (shownLast) {
      EXPECT_EQ(Window->GetParamListView()->geometry().top(), 199);  // under the taller title
    }
  }
  SavePicture(*Window, "measure-fvc-comparison-off.png");
  TMeasureCore::PrePostShown = false;
}

// The headings of the result table stand over the values they name: on
// the window's own pixels, "Akt1." ends where the second trial's values
// end and "Akt2." where the third's do, for every test kind at the small,
// the laptop and the wide screen (they used to drift right by whole
// columns, so that "%" stood over a trial's value).
TEST_F(MeasureScreen, HeadingsStandOverTheValuesTheyName) {
  const auto dark = [](QRgb c) { return qGray(c) < 110; };
  // The runs of pixels in a band of rows, split where at least `gap`
  // columns stay empty.
  const auto runs = [](const QImage& image, int top, int bottom, int left, int right, int gap, auto is) {
    std::vector<std::pair<int, int>> found;
    int empty = gap;
    for (int x = left; x < right; ++x) {
      bool any = false;
      for (int y = top; y < bottom && !any; ++y)
        any = is(image.pixel(x, y));
      if (!any) {
        ++empty;
        continue;
      }
      if (empty >= gap || found.empty())
        found.push_back({x, x});
      found.back().second = x;
      empty = 0;
    }
    return found;
  };
  // Every kind on the laptop screen, the FVC also on the small and the wide one.
  const std::vector<std::tuple<short, int, int>> cases{{MEASURE_FVC, 1280, 800}, {MEASURE_VC, 1280, 800},
                                                       {MEASURE_MVV, 1280, 800}, {MEASURE_DFC, 1280, 800},
                                                       {MEASURE_FVC, 800, 600},  {MEASURE_FVC, 1920, 1080}};
  for (const auto& [kind, width, height] : cases) {
    SCOPED_TRACE(std::to_string(kind) + " at " + std::to_string(width));
    Open(kind, width, height);
    // Three trials whose first value differs; the shown order puts trial
    // 1 first, then 2 and 3.
    for (short slot = 0; slot < 3; ++slot) {
      Window->GetAktBuffer(kind, slot)[0] = 4.5f - 0.1f * static_cast<float>(slot);
      Window->TrialOrder[static_cast<std::size_t>(slot)] = static_cast<short>(slot + 1);
    }
    Window->UpdateParamListBox();
    const QImage image = Picture();
    const TParamListView& list = *Window->GetParamListView();
    ASSERT_GT(list.count(), 0);
    const QRect row = list.visualItemRect(list.item(0)).translated(list.viewport()->mapTo(Window.get(), QPoint()));
    const QFontMetrics metrics(list.font());
    const int character = metrics.horizontalAdvance('0');
    const auto values = runs(image, row.top(), row.bottom(), row.left(), row.right(), character / 2 + 2, dark);
    ASSERT_GE(values.size(), 3u);
    // The heading band: above the list, in the table's title box.
    const QRect box = Device(MeasureLayout::TableBox);
    const int headingTop = box.top();
    const int headingBottom = std::min(row.top(), list.geometry().top());
    for (const auto& [trialColour, valueRun] :
         {std::pair{Trial2, values[values.size() - 2]}, std::pair{Trial3, values.back()}}) {
      const auto headings = runs(image, headingTop, headingBottom, box.left(), box.right(), character * 2,
                                 [colour = trialColour](QRgb c) { return c == colour; });
      ASSERT_FALSE(headings.empty());
      const int headingEnd = headings.back().second;
      EXPECT_NEAR(headingEnd, valueRun.second, character / 2 + 1)
          << "heading ends at " << headingEnd << ", values at " << valueRun.first << ".." << valueRun.second;
    }
    if (width == 1280)
      SavePicture(*Window, "measure-headings-" + std::to_string(kind) + "-1280x800.png");
  }
}

TEST_F(MeasureScreen, APaintWhileAScreenCopyExistsAddsNothing) {
  LungModel::TPatient adult;
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  Window->GetView().RedrawScreenBmp();
  ASSERT_TRUE(Screen().HasScreenCopy());
  const QImage frozen = Window->grab().toImage();
  PutFvc(1, adult);
  Window->GetView().MeasurePaint();
  Window->update();
  EXPECT_EQ(Window->grab().toImage(), frozen);
  Window->GetView().DeleteScreenBmp();
  Window->GetView().InvalidateScreen();
  EXPECT_NE(Window->grab().toImage(), frozen);
}

TEST_F(MeasureScreen, ToolTipOfTheResultTable) {
  Open(MEASURE_FVC);
  const QPoint at = Device({535, 67, 565, 86}).center();
  QHelpEvent help(QEvent::ToolTip, at, Window->mapToGlobal(at));
  QCoreApplication::sendEvent(Window.get(), &help);
  EXPECT_EQ(QToolTip::text(), "(Akt. / Ref.) * 100");
  QToolTip::hideText();
}

TEST_F(MeasureScreen, LiveDrawingDuringATrial) {
  LungModel::TPatient adult;
  Open(MEASURE_FVC);
  PutFvc(0, adult);
  const QImage empty = Picture();
  Window->GetView().DeleteScreenBmp();
  for (short i = 1; i < 200; ++i)
    Screen().DrawCurve(0, i, false);
  Screen().WriteLargeParam(3.21f);
  const QImage live = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_GT(Count(live, Trial1), 0);
  EXPECT_NE(live, empty);
}

TEST_F(MeasureScreen, CakeStickAndZeroHand) {
  Folder.Write("Halvetra.ini", std::string(ColourSection) + "[Zero]\nDelayBetweenHandMove=0\n");
  Open(MEASURE_FVC, 1280, 1024, Patient(7, 122));
  TMeasureFrameScreen& screen = Screen();
  ASSERT_TRUE(screen.LoadCake(7, true));
  ASSERT_TRUE(screen.InitCake(7, 1.5f));
  for (int i = 0; i < 13; ++i)
    screen.MoveFlame(7);
  screen.FlameOff(7, 1.5f, 1.0f);  // 0.5 L: two of seven candles (0.214 L each)
  EXPECT_EQ(std::count(screen.GetCake().Candles().begin(), screen.GetCake().Candles().end(), short{0}), 5 + 2);
  Window->grab();
  SavePicture(*Window, "measure-cake.png");
  screen.CloseCake();

  ASSERT_TRUE(screen.LoadCalib());
  for (int i = 0; i < 13 * 3; ++i)
    screen.MoveStick();
  SavePicture(*Window, "measure-stick.png");
  screen.DestroyCalib();

  TNoWaits clock;
  ASSERT_TRUE(screen.LoadZero(clock));
  EXPECT_EQ(clock.Waited, 0);
  SavePicture(*Window, "measure-zero-hand.png");
  screen.DestroyZero();
  EXPECT_FALSE(screen.GetZero().IsLoaded());

  // A patient of 13 gets no cake.
  EXPECT_FALSE(screen.LoadCake(13, true));
}

}  // namespace
