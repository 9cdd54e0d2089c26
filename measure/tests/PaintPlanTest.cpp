// What a full repaint of the measurement window does per mode and flags,
// and what the painter draws on the recording surface from a core with
// trials in it.

#include "common/MeasureMode.h"
#include "measure/screen/MeasurePaintPlan.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/report/PainterCurves.h"
#include "platform/basekit/PrintCanvas.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

using S = TPaintStep;

namespace {

class TSizedPictures final : public TPictureSource {
public:
  std::shared_ptr<const TPicture> Load(std::string_view name) const override {
    if (name == "CAKE")  // one picture is missing
      return nullptr;
    return std::make_shared<TRecordedPicture>(std::string(name),
                                              name == "BOARD800_600" ? TSize{800, 600} : TSize{60, 96});
  }
};

}  // namespace

TEST(PaintPlan, RunningTestAndZeroPendingPaintNothing) {
  TPaintFlags flags;
  flags.Running = true;
  EXPECT_TRUE(PaintPlan(flags).empty());
  flags.FromFramework = false;  // a frame drawn anew still paints
  EXPECT_FALSE(PaintPlan(flags).empty());
  TPaintFlags zero;
  zero.ZeroActive = true;
  zero.AnimationPending = true;
  EXPECT_TRUE(PaintPlan(zero).empty());
  zero.AnimationPending = false;
  EXPECT_EQ(PaintPlan(zero)[2], S::ZeroFrame);
}

TEST(PaintPlan, StepsByModeAndFlags) {
  struct TCase {
    const char* Name;
    TPaintFlags Flags;
    std::vector<S> Steps;
  };
  const auto flags = [](short mode, auto&& change) {
    TPaintFlags f;
    f.MeasureMode = mode;
    change(f);
    return f;
  };
  const auto none = [](TPaintFlags&) {};
  const std::vector<TCase> cases{
      {"FVC curve screen", flags(MEASURE_FVC, none),
       {S::Background, S::FillFields, S::Table, S::Axes, S::Curves, S::BtpsText, S::PatientLine}},
      {"full-width screen", flags(MEASURE_VC, [](TPaintFlags& f) { f.ScreenMode = 0; }),
       {S::Background, S::FillFields, S::ClearFullScreen, S::Axes, S::Curves, S::BtpsText, S::PatientLine}},
      {"pre/post", flags(MEASURE_FVC, [](TPaintFlags& f) { f.PrePost = true; }),
       {S::Background, S::FillFields, S::PrePostTable, S::Axes, S::PrePostCurves, S::BtpsText, S::PatientLine}},
      {"animation hides the table", flags(MEASURE_MVV, [](TPaintFlags& f) { f.AnyAnimationActive = true; }),
       {S::Background, S::FillFields, S::Axes, S::Curves, S::BtpsText, S::PatientLine}},
      {"big table", flags(MEASURE_DFC, [](TPaintFlags& f) { f.BigTable = true; }),
       {S::Background, S::FillFields, S::DateTime, S::BigTable, S::BtpsText, S::PatientLine}},
      {"plethysmograph", flags(MEASURE_PLETHY, none),
       {S::Background, S::FillFields, S::PlethyScreen, S::BtpsText, S::PatientLine}},
      {"shutter", flags(MEASURE_SHUTTER, none),
       {S::Background, S::FillFields, S::Table, S::ShutterAxes, S::ShutterCurves, S::BtpsText, S::PatientLine}},
      {"rhinomanometry", flags(MEASURE_RHINO, [](TPaintFlags& f) { f.RhinoResults = true; }),
       {S::Background, S::FillFields, S::RhinoTable, S::RhinoAxes, S::RhinoCurves, S::RhinoProvText, S::BtpsText,
        S::PatientLine}},
      {"rhinomanometry big table", flags(MEASURE_RHINO, [](TPaintFlags& f) { f.BigTable = true; }),
       {S::Background, S::FillFields, S::DateTime, S::RhinoBigTable, S::BtpsText, S::PatientLine}},
      {"calibration, plain spirometer", flags(MEASURE_CALIBRATION, none),
       {S::Background, S::FillFields, S::Table, S::Axes, S::Curves, S::BtpsText, S::PatientLine}},
      {"calibration, plethysmograph", flags(MEASURE_CALIBRATION, [](TPaintFlags& f) { f.InstrumentType = 0x01; }),
       {S::Background, S::FillFields, S::PlethyScreen, S::BtpsText, S::PatientLine}},
      {"calibration, pressure instrument", flags(MEASURE_CALIBRATION,
                                                 [](TPaintFlags& f) {
                                                   f.InstrumentType = 0x61;
                                                   f.PressureCurves = true;
                                                 }),
       {S::Background, S::FillFields, S::Table, S::Axes, S::Curves, S::PressureText, S::PressureAxes,
        S::PressureCurves, S::BtpsText, S::PatientLine}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PaintPlan(c.Flags), c.Steps) << c.Name;
}

class PainterTest : public MeasureCoreTest {
protected:
  PainterTest() : Painter(Core, Util, Texts, std::make_shared<TSizedPictures>()) {
    TMeasureData::MeasureMode = MEASURE_FVC;
    Core.ZoomLevel = 1;
  }
  ~PainterTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  // A forced expiration of `fvc` litres after a full breath in: flow
  // negative while breathing out, the volume falling from fvc to 0.
  void PutTrial(short slot, float fvc, std::size_t samples = 300, float peak = 8.0f) {
    ASSERT_TRUE(Core.AllocateSpiroBuffer(slot, MEASURE_FVC, true));
    float* flow = Core.GetSpiroFlowBuffer(slot);
    float* volume = Core.GetSpiroVolumeBuffer(slot);
    float v = fvc;
    for (std::size_t i = 0; i < samples; ++i) {
      const float t = static_cast<float>(i) / static_cast<float>(samples);
      const float f = -peak * std::sin(3.14159265f * t) * (1.0f - t);
      flow[i] = f;
      volume[i] = v;
      v = std::max(0.0f, v + f * 0.01f);
    }
    Core.SetBufferSize(MEASURE_FVC, slot, static_cast<short>(samples));
    Core.GetAktBuffer(MEASURE_FVC, slot)[0] = fvc;
  }

  std::vector<TRecordingSurface::TCall> Lines(const TRecordingSurface& surface, TColor color) const {
    std::vector<TRecordingSurface::TCall> lines;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line))
      if (call.Pen.Color == color)
        lines.push_back(call);
    return lines;
  }

  TUtil Util;
  TMeasurePainter Painter;
};

TEST_F(PainterTest, ARunningTestPaintsNothingAndTheBigTableNoAxesOrCurves) {
  PutTrial(0, 4.0f);
  Core.StartId = 2011;
  TRecordingSurface running;
  EXPECT_TRUE(Painter.MeasurePaint(running, true).empty());
  EXPECT_TRUE(running.Calls.empty());
  Core.StartId = 0;

  Painter.Display.BigTable = true;
  TRecordingSurface table;
  Painter.MeasurePaint(table, true);
  EXPECT_TRUE(Lines(table, Util.GetColor(TUtil::Trial1)).empty());
  EXPECT_TRUE(Lines(table, Util.GetColor(TUtil::Grid)).empty());
  const auto texts = table.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "-12"), 0);  // no flow scale
  // The picture came first, the patient line last.
  ASSERT_FALSE(table.Calls.empty());
  EXPECT_EQ(table.Calls.front().Kind, TRecordingSurface::TKind::Picture);
  EXPECT_EQ(table.Texts().back().substr(0, 8), "Patient:");
}

TEST_F(PainterTest, CurvesStayInsideTheirAreasAtEveryZoomEvenBeyondTheAxes) {
  PutTrial(0, 4.0f);
  PutTrial(1, 11.0f, 400, 20.0f);  // beyond every axis maximum
  for (short screenMode : {short{0}, short{1}})
    for (short zoom = 0; zoom < 4; ++zoom) {
      Core.ZoomLevel = zoom;
      Painter.Display.ScreenMode = screenMode;
      TRecordingSurface surface;
      Painter.MeasurePaint(surface, true);
      const TRect work = MeasureLayout::WorkArea(screenMode);
      const TRect lower = MeasureLayout::LowerArea(1);
      std::size_t drawn = 0;
      for (const TColor color : {Util.GetColor(TUtil::Trial1), Util.GetColor(TUtil::Trial2)})
        for (const auto& line : Lines(surface, color))
          for (const TPoint p : line.Points) {
            ++drawn;
            const bool inWork = p.X > work.Left && p.X < work.Right && p.Y > work.Top && p.Y < work.Bottom;
            const bool inLower = p.X > lower.Left && p.X < lower.Right && p.Y > lower.Top && p.Y < lower.Bottom;
            EXPECT_TRUE(inWork || inLower) << "zoom " << zoom << " at " << p.X << "," << p.Y;
          }
      EXPECT_GT(drawn, 0u) << "zoom " << zoom;
    }
}

// A live FVC on the curve screen, as the instrument records it: the volume
// starts at 0 with the blast and falls by the whole FVC, here 3 s at
// 1.5 L/s = 4.5 L, holds its plateau for 1 s, then the forced inspiration
// brings it back. The live volume-time curve starts at the top of the
// volume scale (8 L at zoom 1: y 406 - 8 x 14 = 294) and its plateau stands
// 4.5 x 14 = 63 pixels lower, at y 357, inside the diagram (y 283 to 456):
// every segment is drawn, none is lost off the diagram's foot.
TEST_F(PainterTest, TheLiveFvcCurveKeepsItsPlateauInTheVolumeTimeDiagram) {
  ASSERT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_FVC, true));
  float* flow = Core.GetSpiroFlowBuffer(0);
  float* volume = Core.GetSpiroVolumeBuffer(0);
  constexpr int Samples = 700;
  for (int i = 0; i < Samples; ++i) {
    flow[i] = i < 300 ? -1.5f : i < 400 ? 0.0f : 1.5f;
    volume[i] = i == 0 ? 0.0f : volume[i - 1] + flow[i] * 0.01f;
  }
  Core.StartId = 2011;
  Painter.SetCurrentFactor();
  Painter.Display.ScreenMode = 1;
  TRecordingSurface surface;
  for (int i = 1; i < Samples; ++i)
    Painter.DrawCurve(surface, 0, i, false);
  Core.StartId = 0;

  const TRect lower = MeasureLayout::LowerArea(1);
  std::vector<std::pair<TPoint, TPoint>> segments;
  for (const auto& line : Lines(surface, Util.GetColor(TUtil::Trial1)))
    if (line.Points[0].Y >= lower.Top && line.Points[1].Y >= lower.Top)  // not the flow-volume loop above
      segments.emplace_back(line.Points[0], line.Points[1]);
  int top = 1000, bottom = 0, left = 1000, right = 0;
  for (const auto& [a, b] : segments)
    for (const TPoint p : {a, b}) {
      EXPECT_TRUE(p.X > lower.Left && p.X < lower.Right && p.Y > lower.Top && p.Y < lower.Bottom) << p.X << "," << p.Y;
      top = std::min(top, p.Y);
      bottom = std::max(bottom, p.Y);
      left = std::min(left, p.X);
      right = std::max(right, p.X);
    }
  // The plateau: flat at the bottom for 1 s at 12 pixels a second.
  int plateau = 0;
  for (const auto& [a, b] : segments)
    if (a.Y == bottom && b.Y == bottom)
      plateau += std::abs(b.X - a.X);
  EXPECT_NEAR(top, 294, 1) << "the blast starts at the top of the volume scale";
  EXPECT_NEAR(bottom, 294 + 63, 1) << "4.5 L below it";
  EXPECT_NEAR(plateau, 12, 2);
  // The whole trial, 7 s at 12 pixels a second from x 15.
  EXPECT_LE(left, 16);
  EXPECT_GE(right, 15 + 83);
}

TEST_F(PainterTest, FullInspirationLiesOnTheFlowAxisAndTheExpirationEndsAtTheFvc) {
  PutTrial(0, 3.0f);
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  const auto lines = Lines(surface, Util.GetColor(TUtil::Trial1));
  // Segments of the loop lie above the volume-time diagram.
  std::vector<TPoint> loop;
  for (const auto& line : lines)
    if (line.Points[0].Y < 283)
      loop.insert(loop.end(), line.Points.begin(), line.Points.end());
  ASSERT_FALSE(loop.empty());
  // The origin is x 157; 3 L is 42 pixels along the volume axis.
  const auto [minX, maxX] = std::minmax_element(loop.begin(), loop.end(), [](TPoint a, TPoint b) { return a.X < b.X; });
  EXPECT_NEAR(minX->X, 157, 1);
  EXPECT_NEAR(maxX->X, 157 + 42, 2);
  // Breathing out is drawn above the volume axis.
  EXPECT_TRUE(std::all_of(loop.begin(), loop.end(), [](TPoint p) { return p.Y <= 177; }));
}

// The comparison screen's header dates each column by its test; without a
// previous test the previous column has no date or time at all, rather
// than the bare picture that reads as a test whose date was lost.
TEST_F(PainterTest, TheComparisonHeaderDatesThePreviousColumnOnlyWithAPreviousTest) {
  Core.SetDateFormatStr("YYYY.MM.DD.");
  Core.SetTimeFormatStr("HH:MM:SS");
  PutTrial(0, 3.0f);
  Core.TrialOrder = {1, 0, 0};
  Core.SetMeasureDate(MEASURE_FVC, 0, 2026, 3, 10);
  Core.SetMeasureTime(MEASURE_FVC, 0, 9, 30, 5);
  const auto header = [&] {
    TRecordingSurface surface;
    Painter.WritePrePostTable(surface);
    return surface.Texts();
  };
  const auto has = [](const std::vector<std::string>& texts, std::string_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  const std::vector<std::string> alone = header();
  EXPECT_TRUE(has(alone, "2026.03.10.")) << "the actual test's date";
  EXPECT_TRUE(has(alone, "09:30:05"));
  for (const std::string& text : alone)
    EXPECT_TRUE(text.find("YYYY") == std::string::npos && text.find("HH:MM") == std::string::npos) << text;

  PutTrial(3, 2.8f);
  Core.SetMeasureDate(MEASURE_FVC, 3, 2025, 1, 2);
  Core.SetMeasureTime(MEASURE_FVC, 3, 10, 0, 0);
  const std::vector<std::string> compared = header();
  EXPECT_TRUE(has(compared, "2025.01.02.")) << "the previous test's date";
  EXPECT_TRUE(has(compared, "10:00:00"));
}

TEST_F(PainterTest, EachTrialInItsPenAndTheGridFollowsItsSwitch) {
  PutTrial(0, 3.0f);
  PutTrial(1, 3.5f);
  PutTrial(2, 2.5f);
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  for (std::size_t entry : {4u, 5u, 6u})
    EXPECT_FALSE(Lines(surface, Util.GetColor(entry)).empty()) << entry;
  EXPECT_FALSE(Lines(surface, Util.GetColor(TUtil::Grid)).empty());
  Painter.Display.Grid = 0;
  TRecordingSurface plain;
  Painter.MeasurePaint(plain, true);
  EXPECT_TRUE(Lines(plain, Util.GetColor(TUtil::Grid)).empty());
}

TEST_F(PainterTest, BadSamplesAndCountsAreLeftOut) {
  PutTrial(0, 3.0f, 300);
  Core.GetSpiroFlowBuffer(0)[100] = std::numeric_limits<float>::quiet_NaN();
  Core.GetSpiroVolumeBuffer(0)[150] = std::numeric_limits<float>::infinity();
  Core.GetSpiroFlowBuffer(0)[200] = 3.0e38f;  // finite, but no pixel holds it
  Core.SetBufferSize(MEASURE_FVC, 0, 32000);  // beyond the buffers
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  const auto lines = Lines(surface, Util.GetColor(TUtil::Trial1));
  EXPECT_FALSE(lines.empty());
  for (const auto& line : lines)
    for (const TPoint p : line.Points) {
      EXPECT_GT(p.X, 0);
      EXPECT_LT(p.X, 800);
    }
}

TEST_F(PainterTest, PanelsInTheColoursOfTheIniFile) {
  WriteIni("[Colors]\nColor0=10,20,30\nColor17=200,100,50\nColor1=junk\n");
  Util.ReadColors(Ini.string());
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  const auto fills = surface.OfKind(TRecordingSurface::TKind::FillRect);
  const auto filled = [&](const TRect& rect, TColor color) {
    return std::any_of(fills.begin(), fills.end(), [&](const auto& c) { return c.Rect == rect && c.Color == color; });
  };
  EXPECT_TRUE(filled(MeasureLayout::WorkArea(1), TColor{10, 20, 30}));
  EXPECT_TRUE(filled(MeasureLayout::TableBox, TColor{200, 100, 50}));
  // The unreadable entry keeps its default.
  EXPECT_EQ(Util.GetColor(1), TUtil::DefaultColors()[1]);
}

TEST_F(PainterTest, PicturesScaleByTheWindowAndAMissingOneIsSkipped) {
  Painter.Display.XScale = 1.6f;
  Painter.Display.YScale = 1024.0f / 600.0f;
  TRecordingSurface surface;
  Painter.DrawBitmap(surface, "BOARD800_600", 0, 0, TRasterOp::SrcCopy);
  Painter.DrawBitmap(surface, "CAKE", 321, 68, TRasterOp::SrcCopy);
  Painter.DrawBitmap(surface, "CANDLE", 400, 87, TRasterOp::SrcPaint);
  const auto pictures = surface.OfKind(TRecordingSurface::TKind::Picture);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].Rect, (TRect{0, 0, 1280, 1024}));
  EXPECT_EQ(pictures[1].Op, TRasterOp::SrcPaint);
  // OR-painting lays a black bar of 5 x 96 reference pixels under the candle first.
  const auto fills = surface.OfKind(TRecordingSurface::TKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].Color, TColor::Black());
  EXPECT_EQ(fills[0].Rect, TUtil::Scale(1.6f, 1024.0f / 600.0f, TRect{410, 87, 415, 183}));
}

TEST_F(PainterTest, PrintoutHalvesTheTimeScaleAndDashesTheOtherTrials) {
  TMeasureData::MeasureMode = MEASURE_VC;
  ASSERT_TRUE(Core.AllocateSpiroBuffer(3, MEASURE_VC, true));
  float* flow = Core.GetSpiroFlowBuffer(3);
  float* volume = Core.GetSpiroVolumeBuffer(3);
  for (int i = 0; i < 60; ++i) {
    flow[i] = 1.0f;
    volume[i] = static_cast<float>(i) * 0.1f;  // 1.4 pixels a sample: every segment moves
  }
  Core.SetBufferSize(MEASURE_VC, 3, 60);
  Painter.Display.Printing = true;
  Painter.Display.PrintLine = 500;
  TRecordingSurface surface;
  Painter.DrawCurves(surface, true);  // the previous result is trial 3
  const auto lines = Lines(surface, Util.GetColor(TUtil::PreTest));
  // 59 segments; every fifth lifts or lowers the pen: 1-4, 10-14, 20-24,
  // 30-34, 40-44 and 50-54 are drawn.
  EXPECT_EQ(lines.size(), 29u);
  // The last drawn segment ends at sample 54: 0.54 s at 6 pixels a second
  // (half the screen's 12) is 3 units into the printed diagram, whose axis
  // stands 4 units into the page's right column (376); the print line plus
  // 112 is the base line, and 5.4 L lie int(75.6) pixels above it.
  EXPECT_EQ(lines.back().Points[1], (TPoint{380 + 3, 612 - 75}));
  Painter.ChangePrintOffset();
  EXPECT_EQ(Painter.Display.PrintOffset, 200);
}

TEST_F(PainterTest, ProvocationDatesOfTheSecondAndThirdSlots) {
  Core.SetDateFormatStr("YYYY.MM.DD.");
  Core.SetTimeFormatStr("HH:MM:SS");
  Core.SetMeasureDate(MEASURE_FVC, 1, 2026, 3, 10);
  Core.SetMeasureTime(MEASURE_FVC, 1, 0, 30, 0);  // 00:30 is a time
  std::string date1, time1, date2, time2;
  Core.SetDateTimeStrForProvView(date1, time1, date2, time2);
  EXPECT_EQ(date1, "2026.03.10.");
  EXPECT_EQ(time1, "00:30:00");
  EXPECT_EQ(date2, "YYYY.MM.DD.");
  EXPECT_EQ(time2, "HH:MM:SS");
}

class BigTableTest : public PainterTest {
protected:
  BigTableTest() {
    Painter.Display.BigTable = true;
    unsigned* shown = Core.GetParamStruct(MEASURE_FVC);
    std::fill(shown, shown + 19, 1u);
    float* akt = Core.GetAktBuffer(MEASURE_FVC, 0);
    akt[0] = 4.0f;  // FVC
    akt[2] = 3.3f;  // FEV1
    akt[7] = 8.5f;  // PEF
    float* ref = Core.GetRefBuffer(MEASURE_FVC, 0);
    ref[0] = 5.0f;  // 4.0 / 5.0 = 80 %
    ref[2] = 4.0f;
    ref[7] = 0.0f;  // no predicted PEF
    Core.TrialOrder = {1, 0, 0};
  }

  // The text written in a body cell, and its colour (a copy: the surface
  // answers its calls in a list of its own making).
  std::optional<TRecordingSurface::TCall> Cell(const TRecordingSurface& surface, int row, std::size_t column) const {
    const MeasureTexts::TBigTableLayout layout = MeasureTexts::BigTableLayout(Painter.Display.StageView, false);
    const TRect want{layout.Edge(column), 122 + 15 * row, layout.Edge(column + 1), 137 + 15 * row};
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextInRect))
      if (call.Rect == want)
        return call;
    return std::nullopt;
  }
};

TEST_F(BigTableTest, CellsOfAnFvcTest) {
  TRecordingSurface surface;
  const auto steps = Painter.MeasurePaint(surface, true);
  EXPECT_EQ(std::count(steps.begin(), steps.end(), TPaintStep::BigTable), 1);
  const auto texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Akt1"), texts.end());
  ASSERT_TRUE(Cell(surface, 0, 1).has_value());
  EXPECT_EQ(Cell(surface, 0, 1)->Text, " 4.00");
  EXPECT_EQ(Cell(surface, 0, 3)->Text, " 80");
  // The actual trial's columns in trial 1's colour; no second trial: colour 2.
  EXPECT_EQ(Cell(surface, 0, 1)->Style.Color, Util.GetColor(4));
  EXPECT_EQ(Cell(surface, 0, 10)->Style.Color, Util.GetColor(2));
  // PEF (row 7) has no predicted value: no percent.
  ASSERT_TRUE(Cell(surface, 7, 3).has_value());
  EXPECT_EQ(Cell(surface, 7, 3)->Text.find_first_not_of(' '), std::string::npos);
  for (const auto& text : texts) {
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
  }
  // No axes and no curves.
  EXPECT_TRUE(Lines(surface, Util.GetColor(TUtil::Trial1)).empty());
}

TEST_F(BigTableTest, HiddenParametersCloseUpTheRows) {
  unsigned* shown = Core.GetParamStruct(MEASURE_FVC);
  shown[1] = 0;  // FEV0.5 hidden: FEV1 moves up to row 1
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  const auto texts = surface.Texts();
  ASSERT_TRUE(Cell(surface, 1, 1).has_value());
  EXPECT_EQ(Cell(surface, 1, 1)->Text, " 3.30");
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "FEV*0,5"), 0);
}

TEST_F(BigTableTest, ProvocationViewWithABaseOfZero) {
  Painter.Display.StageView = true;
  std::fill(Core.GetAktBuffer(MEASURE_FVC, 0), Core.GetAktBuffer(MEASURE_FVC, 0) + 19, 0.0f);
  Core.GetAktBuffer(MEASURE_FVC, 1)[0] = 3.5f;
  Core.TrialOrder = {1, 2, 0};
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  const auto texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Base"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Sol."), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Agent:"), texts.end());
  for (const auto& text : texts) {
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
  }
}

// Under the results of a provocation step: its agent, concentration and
// dose across the provocation's two columns, the solvent across the third
// stage's, each centred. By hand: 2.5 mg/ml and 0.5 ml, or 2.5 x 0.5 =
// 1.25 mg when the dose is told in mg.
TEST_F(BigTableTest, ProvocationStepUnderTheResults) {
  Painter.Display.StageView = true;
  Core.GetAktBuffer(MEASURE_FVC, 1)[0] = 3.5f;
  Core.TrialOrder = {1, 2, 3};
  Core.ProvocationStep = {"Metacholin", "NaCl", 2.5f, 0.5f, 0};
  const MeasureTexts::TBigTableLayout layout = MeasureTexts::BigTableLayout(true, false);
  const auto joined = [&](const TRecordingSurface& surface, int row, std::size_t first, std::size_t last) {
    const TRect want{layout.Edge(first), 122 + 15 * row, layout.Edge(last + 1), 137 + 15 * row};
    std::optional<TRecordingSurface::TCall> found;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextInRect))
      if (call.Rect == want)
        found = call;
    return found;
  };
  struct TCase {
    short doseUnit;
    const char* dose;
  };
  for (const TCase c : {TCase{0, "  0.50    ml"}, TCase{1, "  1.25    mg"}}) {
    SCOPED_TRACE(c.doseUnit);
    Core.DoseUnit = c.doseUnit;
    TRecordingSurface surface;
    Painter.MeasurePaint(surface, true);
    // Nineteen parameter rows, then the step's three.
    const std::array<std::string, 3> values{"Metacholin", "  2.50 mg/ml", c.dose};
    for (int n = 0; n < 3; ++n) {
      const auto cell = joined(surface, 19 + n, 5, 6);
      ASSERT_TRUE(cell.has_value()) << n;
      EXPECT_EQ(cell->Text, values[static_cast<std::size_t>(n)]);
      EXPECT_EQ(cell->Style.Color, Util.GetColor(2));
      EXPECT_EQ(cell->Style.Align, TTextAlign::Centre);
    }
    const auto solvent = joined(surface, 19, 9, 10);
    ASSERT_TRUE(solvent.has_value());
    EXPECT_EQ(solvent->Text, "NaCl");
    EXPECT_FALSE(joined(surface, 20, 9, 10).has_value());
    const auto texts = surface.Texts();
    for (const int label : {296, 297, 298})
      EXPECT_NE(std::find(texts.begin(), texts.end(), Texts.LoadStringA(label)), texts.end()) << label;
  }
}

TEST_F(BigTableTest, AllParametersHiddenLeavesHeaderFrameAndShortSeparators) {
  unsigned* shown = Core.GetParamStruct(MEASURE_FVC);
  std::fill(shown, shown + 19, 0u);
  Painter.Display.StageView = true;
  TRecordingSurface surface;
  Painter.MeasurePaint(surface, true);
  EXPECT_FALSE(Cell(surface, 0, 1).has_value());
  // Thin separators of the provocation view stop at the header's foot.
  const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
  const MeasureTexts::TBigTableLayout layout = MeasureTexts::BigTableLayout(true, false);
  const int thinX = layout.Edge(2);  // after column 1: thin
  for (const auto& line : lines)
    if (line.Points[0].X == thinX && line.Points[1].X == thinX) {
      EXPECT_LE(std::max(line.Points[0].Y, line.Points[1].Y), 122);
    }
}

TEST_F(PainterTest, CalibrationResultForTheList) {
  Core.InspFactor = 1.02f;
  Core.ExpFactor = 0.98f;
  Core.SyringeStrokeVolumes = {3.06f, 2.94f, 3.0f, 0.0f};
  Core.SyringeVolume = 3;
  Core.InstrumentType = 0x61;
  Core.MeasuredHe = 9.876f;
  CALIB_PARAMS params;
  Core.SetCalibParams(params);
  EXPECT_EQ(params.Labels[0], "Inspiration");
  EXPECT_EQ(params.Labels[4], "Carbon monoxide");
  EXPECT_FLOAT_EQ(params.M1, 3060.0f);
  EXPECT_FLOAT_EQ(params.M2, 2940.0f);
  EXPECT_EQ(params.NominalVolume, 3000);
  EXPECT_FLOAT_EQ(params.F4, 9.88f);
  EXPECT_EQ(params.InstrumentType, 0x61);
  Core.InstrumentType = 0x01;  // a plethysmograph: box values, no gas
  Core.BoxReferencePressure = 12.5f;
  Core.SetCalibParams(params);
  EXPECT_FLOAT_EQ(params.P1, 12.5f);
  EXPECT_FLOAT_EQ(params.F4, 0.0f);
}

TEST_F(PainterTest, PrintedGraphBlocksDrawnByThePainter) {
  PutTrial(0, 3.0f);
  PutTrial(3, 2.5f);
  TRecordingSurface page({800, 1100});
  TPrintCanvas canvas(page, 1.0f, 1.0f);
  canvas.PrintY = 500;
  TPainterCurves curves(Painter);
  curves.SaveScreenState();
  curves.CalculatePrintZoom(MEASURE_FVC, false, false);
  EXPECT_EQ(Core.ZoomLevel, 2);  // 8 L/s and 3 L fit 8 L/s and 4 L
  curves.DrawAxes(canvas, MEASURE_FVC, false);
  curves.DrawSlot(canvas, MEASURE_FVC, 0, 1, false, true, false);
  curves.DrawSlot(canvas, MEASURE_FVC, 3, 5, true, true, false);
  const auto actual = Lines(page, Util.GetColor(TUtil::Trial1));
  const auto previous = Lines(page, Util.GetColor(TUtil::PreTest));
  ASSERT_FALSE(actual.empty());
  ASSERT_FALSE(previous.empty());
  // The loop hangs from the print line: the diagram's top is y 500.
  for (const auto& line : actual)
    for (const TPoint p : line.Points) {
      EXPECT_GE(p.Y, 500);
      EXPECT_LE(p.Y, 500 + 168 + 112 + 300);
    }
  // The previous result is dashed: fewer segments than the actual trial's.
  EXPECT_LT(previous.size(), actual.size());
  curves.RestoreScreenState();
  EXPECT_EQ(Core.ZoomLevel, 1);
  EXPECT_FALSE(Painter.Display.Printing);
}
