// The body box's flow-volume and volume-time panels on a recording
// surface: where a sample falls (worked by hand from 6 units a litre per
// second, 14 a litre and 12 a second), the band of the predicted TLC, the
// axes with their scales and units, a whole trial kept inside its panels,
// each trial in its own pen, and on paper the panels only with the
// printout's second graph.

#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PlethyPainter.h"
#include "measure/screen/PlethyPanels.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/portkit/plethysmography/Trial.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

using PlethyPanels::TPanels;

TEST(PlethyPanelGeometry, SamplesFallWhereTheUnitsPutThem) {
  struct TCase {
    const char* Name;
    TPanels Panels;
    short Zoom;
    float FlowLps, VolumeL;
    int Sample;
    TPoint FlowVolume, VolumeTime;
  };
  const TCase cases[] = {
      // 45 + 3 x 14 = 87, 358 - 2 x 6 = 346; on the screen's half of 12 a
      // second, 185 + 2.5 s x 6 = 200, 416 - 42 = 374
      {"screen, zoom 1", PlethyPanels::ScreenPanels(), 1, 2.0f, 3.0f, 250, {87, 346}, {200, 374}},
      // volume / 1.5: 45 + 28 = 73, 416 - 28 = 388; flow / 1: 358 + 6 = 364
      {"screen, zoom 0", PlethyPanels::ScreenPanels(), 0, -1.0f, 3.0f, 100, {73, 364}, {191, 388}},
      // volume / 0.25: 45 + 0.5 x 56 = 73; flow / 0.25: 358 - 0.5 x 24 = 346; time stays
      {"screen, zoom 3", PlethyPanels::ScreenPanels(), 3, 0.5f, 0.5f, 100, {73, 346}, {191, 388}},
      // On paper below line 100: origin 150, 418; half the time scale from
      // 380, base 468: 380 + 2.5 x 6 = 395, 468 - 42 = 426.
      {"paper, zoom 1", PlethyPanels::PrintedPanels(100), 1, 2.0f, 3.0f, 250, {192, 406}, {395, 426}},
  };
  for (const TCase& c : cases) {
    const PlethyPanels::TPanelPoints p =
        PlethyPanels::Points(c.Panels, PlethyGeometry::Factors(c.Zoom), c.FlowLps, c.VolumeL, c.Sample);
    EXPECT_EQ(p.FlowVolume, c.FlowVolume) << c.Name;
    EXPECT_EQ(p.VolumeTime, c.VolumeTime) << c.Name;
  }
}

// The normal range is predicted ± 1.64 RSD: TLC 7.0 L with an RSD of
// 0.6 L spans 6.016 to 7.984 L, 84.2 to 111.8 units right of the origin
// at zoom 1 (14 a litre), 56.1 to 74.5 at zoom 0 (÷ 1.5).
TEST(PlethyPanelGeometry, ThePredictedBandSpansTheNormalRangeOrIsLeftOut) {
  const TPoint origin{45, 370};
  struct TCase {
    const char* Name;
    short Zoom;
    float Predicted, Rsd;
    std::optional<TRect> Expected;
  };
  const TCase cases[] = {
      {"zoom 1", 1, 7.0f, 0.6f, TRect{129, 369, 156, 372}},
      {"zoom 0", 0, 7.0f, 0.6f, TRect{101, 369, 119, 372}},
      {"past the 4-L axis of zoom 2", 2, 7.0f, 0.6f, std::nullopt},
      {"just inside the 8-L axis", 1, 7.0f, 0.609f, TRect{129, 369, 156, 372}},
      {"just past it", 1, 7.0f, 0.61f, std::nullopt},
      {"below 0", 1, 1.0f, 0.7f, std::nullopt},
      {"no predicted value", 1, 0.0f, 0.6f, std::nullopt},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PlethyPanels::PredictedBand(origin, PlethyGeometry::Factors(c.Zoom), c.Predicted, c.Rsd), c.Expected)
        << c.Name;
}

class PlethyPanelsTest : public MeasureCoreTest {
protected:
  PlethyPanelsTest() : Painter(Core, Colours, Texts, nullptr) {
    TMeasureData::MeasureMode = MEASURE_PLETHY;
    Core.ZoomLevel = 1;
    Painter.Display.ScreenMode = 1;
    Painter.Display.Grid = 0;
    for (std::size_t t = 0; t < 4; ++t)
      BreatheOutToRvAndInToTlc(t);
  }
  ~PlethyPanelsTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  // 8 s of quiet breathing about 3.2 L (0.6 L every 2 s), out to RV
  // (1.6 L) in 3 s, in to TLC (6.0 L) in 3 s: 1,400 samples, the flow the
  // volume's slope. The chosen resistance loop is the second breath.
  void BreatheOutToRvAndInToTlc(std::size_t t) {
    for (auto* curve : {&Core.Flow[t], &Core.Volume[t], &Core.BoxPressure[t], &Core.MouthPressure[t]})
      curve->assign(6010, 0.0f);
    const auto volumeAt = [](double s) {
      if (s < 8.0)
        return 3.2 + 0.3 * std::sin(std::numbers::pi * s);
      if (s < 11.0)
        return 3.2 - 1.6 * (s - 8.0) / 3.0;
      return 1.6 + 4.4 * std::min(1.0, (s - 11.0) / 3.0);
    };
    for (std::size_t i = 0; i < 1400; ++i) {
      const double s = static_cast<double>(i) * 0.01;
      Core.Volume[t][i] = static_cast<float>(volumeAt(s));
      Core.Flow[t][i] = static_cast<float>((volumeAt(s + 0.01) - volumeAt(s)) / 0.01);
    }
    TPlethySlot& slot = *Core.GetPlethySlot(static_cast<short>(t));
    slot.BeginResistanceLoop = 200;
    slot.EndResistanceLoop = 400;
    Core.SampleCount[MEASURE_PLETHY][t] = 1400;
  }

  void DrawTrial(TDrawSurface& surface, short trial) {
    for (int i = 1; i < 1400; ++i)
      PlethyPainter::DrawCurve(Painter, surface, trial, i, true);
  }

  static bool InPanel(const TRect& r, TPoint p) { return p.X > r.Left && p.X < r.Right && p.Y > r.Top && p.Y < r.Bottom; }

  TUtil Colours;
  TMeasurePainter Painter;
};

TEST_F(PlethyPanelsTest, TheAxesCarryTheirScalesUnitsAndThePredictedBand) {
  Core.GetRefBuffer(MEASURE_PLETHY, 0)[plethysmography::TLC] = 7.0f;
  Core.GetRsdBuffer(MEASURE_PLETHY)[plethysmography::TLC] = 0.6f;
  for (const short zoom : {short{1}, short{3}}) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    Core.ZoomLevel = zoom;
    TRecordingSurface surface({800, 600});
    PlethyPainter::DrawKoordinata(Painter, surface);
    const auto texts = surface.Texts();
    const auto count = [&](const char* text) { return std::count(texts.begin(), texts.end(), std::string(text)); };
    EXPECT_EQ(count("[L/s]"), 2) << "the resistance loop and the flow-volume panel";
    EXPECT_EQ(count("[L]"), 2) << "both panels";
    EXPECT_EQ(count("[s]"), 1);
    EXPECT_EQ(count("60"), 1) << "the time axis holds a trial's 60 s";
    // The flow labels every 4 steps of 1 L/s (zoom 1) or 0.25 L/s (zoom 3),
    // the volume labels every 2 of 1 L or 0.25 L, where whole.
    for (const char* label : zoom == 1 ? std::vector<const char*>{"8", "-8", "4", "-4", "6"}
                                       : std::vector<const char*>{"2", "-2", "1", "-1"})
      EXPECT_GE(count(label), 1) << label;
    EXPECT_TRUE(surface.OverlappingTexts().empty()) << surface.OverlappingTexts().front();
    // The band of TLC at zoom 1; at zoom 3 it would pass the 2-L axis.
    const auto frames = surface.OfKind(TRecordingSurface::TKind::FrameRect);
    const bool band = std::any_of(frames.begin(), frames.end(), [&](const auto& call) {
      return call.Rect == TRect{129, 357, 156, 360} && call.Pen.Color == Colours.GetColor(MeasureTexts::NormalRangeColor);
    });
    EXPECT_EQ(band, zoom == 1);
  }
}

// During a test the metronome's two squares and the breathing rate (at
// 618, 330, one line of 14) stand at the lower area's top right: the
// panels' grid, axes, labels and a whole trial's curves keep clear of them
// at every zoom, and all of it stays inside the lower area.
TEST_F(PlethyPanelsTest, TheMetronomeAndTheBreathingRateStandClearOfThePanels) {
  const TRect lower = MeasureLayout::LowerArea(1);
  std::vector<TRect> metronome;
  for (const TPoint p : PlethyPainter::MetronomeMarks)
    metronome.push_back({p.X, p.Y, p.X + PlethyPainter::MetronomeSide, p.Y + PlethyPainter::MetronomeSide});
  metronome.push_back({618, 330, lower.Right, 344});
  for (const TRect& r : metronome)
    EXPECT_TRUE(r.Left >= lower.Left && r.Right <= lower.Right && r.Top >= lower.Top && r.Bottom <= lower.Bottom)
        << r.Left << "," << r.Top;
  const auto shares = [](const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
  };
  Painter.Display.Grid = 1;
  for (short zoom = 0; zoom < 4; ++zoom) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    Core.ZoomLevel = zoom;
    TRecordingSurface surface({800, 600});
    PlethyPainter::DrawKoordinata(Painter, surface);
    DrawTrial(surface, 0);
    for (const auto& call : surface.Calls) {
      TRect drawn;
      if (call.Kind == TRecordingSurface::TKind::Line)
        drawn = {std::min(call.Points[0].X, call.Points[1].X), std::min(call.Points[0].Y, call.Points[1].Y),
                 std::max(call.Points[0].X, call.Points[1].X) + 1, std::max(call.Points[0].Y, call.Points[1].Y) + 1};
      else if (call.Kind == TRecordingSurface::TKind::TextAt || call.Kind == TRecordingSurface::TKind::TextInRect)
        drawn = surface.TextFootprint(call);
      else if (call.Kind == TRecordingSurface::TKind::FrameRect)
        drawn = call.Rect;
      else
        continue;
      if (drawn.Bottom <= lower.Top)
        continue;  // the loops above
      for (const TRect& r : metronome)
        EXPECT_FALSE(shares(drawn, r)) << call.Text << " " << drawn.Left << "," << drawn.Top << " - " << drawn.Right
                                       << "," << drawn.Bottom;
    }
  }
}

// Every segment under the loops lies in one of the two panels; at zoom 1
// the flow-volume panel spans the trial's volumes from RV (45 + 1.6 x 14
// = 67) to TLC (45 + 6 x 14 = 129) and the volume-time panel its 14 s
// (185 + 14 x 6 = 269); the chosen loop's first and last samples are marked.
TEST_F(PlethyPanelsTest, AWholeTrialStaysInsideItsPanelsAtEveryZoom) {
  const TPanels panels = PlethyPanels::ScreenPanels();
  for (short zoom = 0; zoom < 4; ++zoom) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    Core.ZoomLevel = zoom;
    TRecordingSurface surface({800, 600});
    DrawTrial(surface, 0);
    TRect fv{1000, 1000, -1, -1}, vt{1000, 1000, -1, -1};
    int marks = 0;
    for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line)) {
      const TPoint a = line.Points[0], b = line.Points[1];
      if (a.Y < 283 && b.Y < 283)
        continue;  // the loops
      const bool inFv = InPanel(panels.FlowVolumeArea, a) && InPanel(panels.FlowVolumeArea, b);
      const bool inVt = InPanel(panels.VolumeTimeArea, a) && InPanel(panels.VolumeTimeArea, b);
      ASSERT_TRUE(inFv || inVt) << a.X << "," << a.Y << " - " << b.X << "," << b.Y;
      if (a.X == b.X && std::abs(a.Y - b.Y) == 12) {
        ++marks;
        continue;
      }
      TRect& extent = inFv ? fv : vt;
      for (const TPoint p : {a, b})
        extent = {std::min(extent.Left, p.X), std::min(extent.Top, p.Y), std::max(extent.Right, p.X),
                  std::max(extent.Bottom, p.Y)};
    }
    // At zoom 3 both marked samples (3.2 L) lie past the panels' 2-L axes.
    EXPECT_EQ(marks, zoom < 3 ? 4 : 0) << "two samples marked in each panel";
    if (zoom == 1) {
      EXPECT_NEAR(fv.Left, 67, 1);
      EXPECT_NEAR(fv.Right, 129, 1);
      EXPECT_NEAR(vt.Right, 269, 1);
      // Inspiration up: the breath in to TLC, 4.4 / 3 = 1.47 L/s, 8.8
      // units above the axis; quiet breathing's peak flow 0.3 π = 0.94
      // L/s, 5.7 units below it.
      EXPECT_EQ(fv.Top, 358 - 8);
      EXPECT_EQ(fv.Bottom, 358 + 5);
    }
    // At zoom 3 (56 units a litre) the flow-volume panel holds the breath
    // near RV only, from 45 + 1.6 x 56 = 134.6 to its edge (176).
    if (zoom == 3) {
      EXPECT_EQ(fv.Left, 134);
      EXPECT_LT(fv.Right, 176);
    }
  }
}

// While a test records, its volume runs from 0 at the start: the panels
// stand it on the lung volume the live conversion assumes (3 L here), so
// that a breath in at 1 L/s runs from 45 + 3 x 14 = 87 to 45 + 3.99 x 14
// = 100.9 across, 6 units above the axis; the stored trial, from 45.
TEST_F(PlethyPanelsTest, WhileATestRecordsItsVolumeStandsOnTheLiveLungVolume) {
  for (std::size_t i = 0; i < 100; ++i) {
    Core.Flow[0][i] = 1.0f;
    Core.Volume[0][i] = 0.01f * static_cast<float>(i);
  }
  Core.Plethysmograph.Live.lungVolumeL = 3.0;
  for (const bool recording : {true, false}) {
    SCOPED_TRACE(recording ? "recording" : "stored");
    Core.StartId = recording ? CM_START : 0u;
    Core.TrialIndex = 0;
    TRecordingSurface surface({800, 600});
    for (int i = 1; i < 100; ++i)
      PlethyPainter::DrawCurve(Painter, surface, 0, i);
    int left = 1000, right = -1;
    for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line))
      if (line.Points[0].Y == 352 && line.Points[1].Y == 352) {
        left = std::min(left, line.Points[0].X);
        right = std::max(right, line.Points[1].X);
      }
    EXPECT_EQ(left, recording ? 87 : 45);
    EXPECT_EQ(right, recording ? 100 : 58);
  }
  Core.StartId = 0;
}

// The trials' curves are told apart by their pens: the window's trial
// pens 1 to 3 and the previous result's pen, in the loops and the panels.
TEST_F(PlethyPanelsTest, EachTrialIsDrawnWithItsOwnPen) {
  TPlethySlot& slot = *Core.GetPlethySlot(0);
  const auto pens = Painter.Pens();
  const std::array<std::size_t, 4> expected{1, 2, 3, 5};
  for (short trial = 0; trial < 4; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    *Core.GetPlethySlot(trial) = slot;
    TRecordingSurface surface({800, 600});
    DrawTrial(surface, trial);
    const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
    ASSERT_FALSE(lines.empty());
    for (const auto& line : lines)
      ASSERT_EQ(line.Pen.Color, pens[expected[static_cast<std::size_t>(trial)]].Color);
  }
}

// On paper the panels stand under the loops only when the printout asks
// for its second graph; the previous result's curve there is dashed, its
// pattern moving every fifth segment.
TEST_F(PlethyPanelsTest, OnPaperThePanelsComeWithTheSecondGraphOnly) {
  Painter.Display.Printing = true;
  Painter.Display.PrintLine = 100;
  const TPanels panels = PlethyPanels::PrintedPanels(100);
  const auto panelLines = [&](const TRecordingSurface& surface) {
    int n = 0;
    for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line))
      n += InPanel(panels.VolumeTimeArea, line.Points[0]) && InPanel(panels.VolumeTimeArea, line.Points[1]) &&
                   line.Points[0].Y < panels.VolumeTimeBase
               ? 1
               : 0;
    return n;
  };
  for (const bool second : {false, true}) {
    SCOPED_TRACE(second ? "second graph" : "loops only");
    Painter.Display.PlethyPrint.Panels = second;
    TRecordingSurface axes({800, 1200});
    PlethyPainter::DrawKoordinata(Painter, axes);
    const auto texts = axes.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("[s]")), second ? 1 : 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("60")), second ? 1 : 0) << "60 s on paper";
    EXPECT_TRUE(axes.OverlappingTexts().empty()) << axes.OverlappingTexts().front();
    TRecordingSurface actual({800, 1200}), previous({800, 1200});
    Painter.ResetDashes();
    DrawTrial(actual, 0);
    Painter.ResetDashes();
    DrawTrial(previous, 3);
    if (!second) {
      EXPECT_EQ(panelLines(actual), 0);
      continue;
    }
    // The volume-time segments that move a whole unit (some 84 across and
    // 150 up and down); the previous result's dashed: about half of them.
    const int solid = panelLines(actual);
    EXPECT_GT(solid, 150);
    EXPECT_NEAR(panelLines(previous), solid / 2, solid / 5);
  }
}

}  // namespace
