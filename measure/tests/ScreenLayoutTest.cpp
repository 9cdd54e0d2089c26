// The measurement screen's geometry and texts: every expected value is
// worked out by hand from the reference layout (6 pixels per L/s, 14 per
// L, 12 per second, k = 2 on the full-width screen, normal range
// predicted +- 1.64 RSD).

#include "common/MeasureMode.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasureTexts.h"
#include "platform/basekit/Message.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace MeasureLayout;
using namespace MeasureTexts;

namespace {

TMessage English() { return TMessage("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"); }

std::vector<std::string> Labels(const std::vector<TTick>& ticks) {
  std::vector<std::string> labels;
  for (const TTick& tick : ticks)
    if (!tick.Label.empty())
      labels.push_back(tick.Label);
  return labels;
}

}  // namespace

TEST(ScreenLayout, ScreenWidthsGiveTheirIndexAndOtherWidthsTheEightHundredRow) {
  const std::vector<std::pair<int, short>> cases{{640, 0},  {800, 1},  {1024, 2}, {1152, 3},
                                                 {1280, 4}, {1600, 5}, {1366, 1}, {1920, 1}};
  for (const auto& [width, index] : cases)
    EXPECT_EQ(ScreenSizeIndex(width), index) << width;
  // Index 5 has no lower area of its own: it takes index 4's.
  EXPECT_EQ(LowerArea(5), LowerArea(4));
  EXPECT_EQ(LowerArea(4), (TRect{8, 283, 743, 456}));
  EXPECT_EQ(LowerArea(1), (TRect{8, 283, 741, 456}));
}

TEST(ScreenLayout, TheListStaysInTheTableBoxOnWidthsOutsideTheTable) {
  EXPECT_EQ(ListPlacement(800, 1.0f, 1.0f, false), (TRect{320, 85, 742, 278}));
  EXPECT_EQ(ListPlacement(1280, 1.6f, 1024.0f / 600.0f, true), (TRect{512, 199, 1187, 470}));
  // 1920 pixels wide: the 800-pixel row scaled by 2.4 and 1.8, not the
  // 800-pixel row itself, which would lie over the curves.
  EXPECT_EQ(ListPlacement(1920, 2.4f, 1.75f, false), (TRect{768, 148, 1780, 486}));
  EXPECT_EQ(ListPlacement(1366, 1366.0f / 800.0f, 768.0f / 600.0f, false).Left, 546);
  // 1280 x 800 is not the 1280 x 1024 the row was made for.
  EXPECT_EQ(ListPlacement(1280, 1.6f, 800.0f / 600.0f, false), (TRect{512, 113, 1187, 370}));
}

TEST(ScreenLayout, ZoomLabelsFollowTheZoomStepWhileTicksStay) {
  // Zoom 0: the flow-volume diagram's volume axis, -8 to 8 L every 2, x 1.5.
  const auto volume0 = ScaleTicks(45, 177, 14.0f, false, -8, 8, 2, Zoom(0).Volume, MEASURE_FVC);
  EXPECT_EQ(Labels(volume0), (std::vector<std::string>{"-12", "-9", "-6", "-3", "3", "6", "9", "12"}));
  const auto volume1 = ScaleTicks(45, 177, 14.0f, false, -8, 8, 2, Zoom(1).Volume, MEASURE_FVC);
  ASSERT_EQ(volume0.size(), 17u);
  for (std::size_t n = 0; n < volume0.size(); ++n)
    EXPECT_EQ(volume0[n].At, volume1[n].At);
  EXPECT_EQ(volume0[16].At, (TPoint{45 + 16 * 14, 177}));
  // Zoom 3: the flow axis 16 down to -12, labels every 4 L/s times 0.25.
  const auto flow3 = ScaleTicks(157, 81, 6.0f, true, 16, -12, 4, Zoom(3).Flow, MEASURE_FVC);
  EXPECT_EQ(Labels(flow3), (std::vector<std::string>{"4", "3", "2", "1", "-1", "-2", "-3"}));
  EXPECT_EQ(flow3.front().At, (TPoint{157, 81}));
  EXPECT_EQ(flow3.back().At, (TPoint{157, 81 + 28 * 6}));
  // Zoom 3 volumes: +-0.5 and +-1.5 have fractions and stay blank.
  const auto volume3 = ScaleTicks(45, 177, 14.0f, false, -8, 8, 2, Zoom(3).Volume, MEASURE_FVC);
  EXPECT_EQ(Labels(volume3), (std::vector<std::string>{"-2", " ", "-1", " ", " ", "1", " ", "2"}));
}

TEST(ScreenLayout, ScaleLabelsByMode) {
  const std::vector<std::tuple<float, short, std::string>> cases{
      {3.0f, MEASURE_FVC, "3"},        {1.5f, MEASURE_FVC, " "},       {-12.0f, MEASURE_VC, "-12"},
      {1.5f, MEASURE_SHUTTER, " 1.5"}, {2.0f, MEASURE_SHUTTER, "   2"}, {400.0f, MEASURE_RHINO, " 400"},
      {0.5f, MEASURE_RHINO, " "}};
  for (const auto& [value, mode, label] : cases)
    EXPECT_EQ(ScaleLabel(value, mode), label) << value << " mode " << mode;
  // Rhinomanometry leaves out the small ticks and labels every 200.
  const auto rhino = ScaleTicks(0, 0, 0.1f, false, -800, 800, 100, 1.0f, MEASURE_RHINO);
  EXPECT_EQ(rhino.size(), 9u);
}

TEST(ScreenLayout, CurvePixelsFromFlowVolumeAndTime) {
  // 2 L/s, 3 L at sample 250 on the full-width screen (k = 2) at zoom 2:
  // x = 2 x 6 x 2 / 0.5 = 48, y = 3 x 14 x 2 / 0.5 = 168, t = 2.5 s x 12 = 30.
  const TCurvePixels p = CalculateFlowVolumeAndTime(2.0f, 3.0f, 250, 1.0f, ZoomFactors(2), 2);
  EXPECT_FLOAT_EQ(p.X, 48.0f);
  EXPECT_FLOAT_EQ(p.Y, 168.0f);
  EXPECT_FLOAT_EQ(p.T, 30.0f);
  // The printout halves the time scale; k never touches it.
  EXPECT_FLOAT_EQ(CalculateFlowVolumeAndTime(2.0f, 3.0f, 250, 0.5f, ZoomFactors(1), 1).T, 15.0f);
  EXPECT_FLOAT_EQ(CalculateFlowVolumeAndTime(-4.0f, 1.0f, 0, 1.0f, ZoomFactors(0), 1).Y, 14.0f / 1.5f);
}

TEST(ScreenLayout, ZoomFitsThePeaksAndPrintOffsetsStepByMode) {
  EXPECT_EQ(FitZoom(3.5f, 1.8f), 3);
  EXPECT_EQ(FitZoom(7.0f, 3.9f), 2);
  EXPECT_EQ(FitZoom(12.0f, 7.5f), 1);
  EXPECT_EQ(FitZoom(12.0f, 9.0f), 0);
  EXPECT_EQ(FitZoom(30.0f, 20.0f), 0);
  EXPECT_EQ(PrintOffsetStep(MEASURE_FVC), 376);
  EXPECT_EQ(PrintOffsetStep(MEASURE_SHUTTER), 168);
  EXPECT_EQ(PrintOffsetStep(MEASURE_PLETHY), 0);
  EXPECT_EQ(PrintOffsetStep(MEASURE_VC), 200);
}

TEST(ScreenLayout, PensByNumberAndByTrial) {
  const std::vector<std::pair<int, int>> lines{{0, 0}, {1, 1}, {2, 5}, {3, 8}, {4, 5}, {5, 3}, {6, 0}, {-1, 0}};
  for (const auto& [number, pen] : lines)
    EXPECT_EQ(LinePen(number), pen) << number;
  // trial, calibration, printing, stages -> pen
  const std::vector<std::tuple<short, bool, bool, bool, int>> curves{
      {0, false, false, false, 1}, {0, true, false, false, 4}, {1, false, false, false, 2},
      {2, false, false, false, 3}, {3, false, false, false, 5}, {1, false, true, false, 1},
      {1, false, true, true, 5},   {2, false, true, true, 3},   {2, false, true, false, 1},
      {3, false, true, false, 5},  {0, true, true, false, 4}};
  for (const auto& [trial, calibration, printing, stages, pen] : curves)
    EXPECT_EQ(CurvePen(trial, calibration, printing, stages), pen)
        << trial << calibration << printing << stages;
}

TEST(ScreenTexts, TheResultHeaderByScreenAndTrialOrder) {
  const TMessage texts = English();
  // 640 pixels: columns at 431, 606 and 657, font 10; trial 2 shown as
  // actual colours the first column in trial 2's colour (entry 5).
  const auto small = TableHeader({0, 1, false, {2, 1, 0}}, texts);
  ASSERT_EQ(small.size(), 4u);
  EXPECT_EQ(small[0].Text, "Parameter  ");
  EXPECT_EQ(small[0].At, (TPoint{321, 68}));
  EXPECT_EQ(small[1].At, (TPoint{431, 68}));
  EXPECT_EQ(small[1].Text, " Akt.  Ref.  %  RSD");
  EXPECT_EQ(small[1].Color, 5u);
  EXPECT_EQ(small[2].At, (TPoint{606, 68}));
  EXPECT_EQ(small[2].Text, " Akt1.");
  EXPECT_EQ(small[2].Color, 4u);
  EXPECT_EQ(small[3].At, (TPoint{657, 68}));
  EXPECT_EQ(small[3].Text, " Akt2.");
  EXPECT_EQ(small[3].Color, TextColor);
  for (const auto& item : small)
    EXPECT_EQ(item.Points, 10);

  const auto stages = TableHeader({4, 1, true, {1, 2, 3}}, texts);
  EXPECT_EQ(stages[1].Text, " Base  Ref.  %  RSD");
  EXPECT_EQ(stages[2].Text, "Prov.");
  EXPECT_EQ(stages[3].Text, " Sol.");
  EXPECT_EQ(stages[2].At.X, 596);
  EXPECT_EQ(stages[3].Color, 6u);
  EXPECT_EQ(stages[3].Points, 11);

  const auto calibration = TableHeader({1, 0, false, {}}, texts);
  ASSERT_EQ(calibration.size(), 1u);
  EXPECT_EQ(calibration[0].Text, "Parameter               Ref. Constant Measured  % ");
}

TEST(ScreenTexts, PrePostHeaderPlacesTheDatesOverTheirColumns) {
  const TMessage texts = English();
  TPrePostState state{1, true, "2026.03.10.", "00:30:00", "2025.01.02.", "10:00:00"};
  const auto items = PrePostHeader(state, texts);
  ASSERT_EQ(items.size(), 7u);
  EXPECT_EQ(items[1].Text, "00:30:00");
  EXPECT_EQ(items[2].At, (TPoint{576, 68}));
  EXPECT_EQ(items[2].Color, PreviousColor);
  EXPECT_EQ(items[4].At.Y, 105);
  EXPECT_EQ(items[6].Text, " Pre.  % ");
  state.ScreenIndex = 3;
  state.PreviousHasSamples = false;
  const auto wide = PrePostHeader(state, texts);
  EXPECT_EQ(wide[4].At.Y, 103);
  EXPECT_EQ(wide[6].At.X, 570);
  EXPECT_EQ(wide[6].Color, TextColor);
}

TEST(ScreenTexts, PatientLineFillsItsTextWithoutFormatting) {
  const TMessage texts = English();
  PREDICTED_DATA patient;
  patient.SetName("Ann %s %n Smith");
  patient.Age = 9;
  patient.Height = 134;
  patient.Weight = 30;
  EXPECT_EQ(PatientLine(patient, texts), "Patient: Ann %s %n Smith    Age: 9 years    Height: 134 cm    Weight: 30 kg");
  patient.Unit = 1;
  patient.Height = 70;  // inches: 5 ft 10 in
  patient.Weight = 154;
  EXPECT_EQ(PatientLine(patient, texts),
            "Patient: Ann %s %n Smith    Age: 9 years    Height: 5 ft 10 in    Weight: 154 lb");
}

TEST(ScreenTexts, LargeValueWrittenOnlyWhenItMoves) {
  TLargeParam value;
  const std::vector<std::tuple<float, bool, std::optional<std::string>>> steps{
      {1.0f, false, " 1.00"}, {1.005f, false, std::nullopt}, {1.0101f, false, " 1.01"},
      {-0.5f, false, "-0.50"}, {std::numeric_limits<float>::quiet_NaN(), false, std::nullopt},
      {-0.495f, false, std::nullopt}};
  for (const auto& [v, rhino, text] : steps)
    EXPECT_EQ(value.Next(v, rhino), text) << v;
  TLargeParam seconds;
  EXPECT_EQ(seconds.Next(5.4f, true), std::optional<std::string>("  5 s"));
  EXPECT_EQ(seconds.Next(6.3f, true), std::nullopt);
  EXPECT_EQ(seconds.Next(6.6f, true), std::optional<std::string>("  7 s"));
  EXPECT_EQ(TLargeParam::Color(0), 4u);
  EXPECT_EQ(TLargeParam::Color(1), 4u);
  EXPECT_EQ(TLargeParam::Color(2), 7u);
}

TEST(ScreenTexts, NormalRangesOfTheFvcByHand) {
  std::array<float, 19> predicted{};
  std::array<float, 19> rsd{};
  predicted[0] = 4.0f;  // FVC: 4.0 +- 1.64 x 0.5 = 3.18 to 4.82 L
  rsd[0] = 0.5f;
  predicted[7] = 8.0f;  // PEF: 8.0 +- 1.64 x 1.0 = 6.36 to 9.64 L/s
  rsd[7] = 1.0f;
  predicted[10] = 3.0f;  // MEF50 at half the FVC: 3.0 +- 0.82
  rsd[10] = 0.5f;
  const TRangeMarks marks = NormalRanges({MEASURE_FVC, 1, 1}, predicted, rsd);
  ASSERT_EQ(marks.Boxes.size(), 3u);
  // 157 + int(3.18 x 14) = 201 to 157 + int(4.82 x 14) = 224, 3 pixels on y 177.
  EXPECT_EQ(marks.Boxes[0], (TRect{201, 176, 224, 179}));
  // 177 - int(9.64 x 6) = 120 to 177 - int(6.36 x 6) = 139.
  EXPECT_EQ(marks.Boxes[1], (TRect{156, 120, 159, 139}));
  // The band under the loop: 406 - int(4.82 x 14) = 339 to 406 - 44 = 362.
  EXPECT_EQ(marks.Boxes[2], (TRect{15, 339, 738, 362}));
  // MEF50 at 2 L: x 185, 177 - int(3.82 x 6) = 155 to 177 - int(2.18 x 6) = 164.
  ASSERT_EQ(marks.Lines.size(), 3u);
  EXPECT_EQ(marks.Lines[0], (std::pair<TPoint, TPoint>{{185, 155}, {185, 164}}));
  EXPECT_EQ(marks.Lines[1], (std::pair<TPoint, TPoint>{{183, 155}, {188, 155}}));

  // A predicted 0 draws nothing; a band past the axis maxima is left out.
  EXPECT_TRUE(NormalRanges({MEASURE_FVC, 1, 1}, std::array<float, 19>{}, rsd).Boxes.empty());
  const TRangeMarks zoomed = NormalRanges({MEASURE_FVC, 1, 3}, predicted, rsd);
  EXPECT_TRUE(zoomed.Boxes.empty());
  // The MEF50 mark still fits zoom 3 (2 L, 4 L/s): x = 157 + 2 x 14 / 0.25.
  ASSERT_EQ(zoomed.Lines.size(), 3u);
  EXPECT_EQ(zoomed.Lines[0].first.X, 269);
  // On the full-width screen every distance doubles: 314 + int(3.18 x 28) = 403.
  EXPECT_EQ(NormalRanges({MEASURE_FVC, 0, 1}, predicted, rsd).Boxes[0].Left, 403);
  // A range below zero flow has no line.
  TRangeMarks low;
  PredictedLine({MEASURE_FVC, 1, 1}, 0.5f, 1.0f, 0.5f, low);
  EXPECT_TRUE(low.Lines.empty());
}

TEST(ScreenTexts, ToolTipsByTableShape) {
  const TMessage texts = English();
  EXPECT_TRUE(ToolTips(0, false, false, false, texts).empty());
  EXPECT_TRUE(ToolTips(0, true, true, true, texts).empty());
  const auto plain = ToolTips(1, false, false, false, texts);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].Id, 5600);
  EXPECT_EQ(plain[0].Rect, (TRect{535, 67, 565, 86}));
  EXPECT_EQ(plain[0].Text, "(Akt. / Ref.) * 100");
  std::vector<int> ids;
  for (const auto& tip : ToolTips(1, true, false, false, texts))
    ids.push_back(tip.Id);
  EXPECT_EQ(ids, (std::vector<int>{5604, 5605, 5606, 5607, 5608, 5610}));
  const auto stages = ToolTips(1, true, false, true, texts);
  ASSERT_EQ(stages.size(), 5u);
  EXPECT_EQ(stages[4].Id, 5615);
  EXPECT_EQ(stages[4].Text, "((Sol. - Base) / Base) * 100");
  EXPECT_EQ(ToolTips(1, false, true, false, texts)[2].Text, "((Akt.[%] - Ref.[%]) / Ref.[%]) * 100");
}

TEST(ScreenTexts, BigTableColumns) {
  // u = 734 / 102 for the normal layout; column 1 starts at 8 + 23u.
  const TBigTableLayout normal = BigTableLayout(false, false);
  EXPECT_DOUBLE_EQ(normal.Unit, 734.0 / 102.0);
  EXPECT_EQ(normal.Edge(1), 8 + static_cast<int>(23 * 734.0 / 102.0));
  EXPECT_EQ(normal.Edge(normal.Widths.size()), 742);
  EXPECT_EQ(normal.ThickAfter, (std::vector<std::size_t>{0, 4, 7, 9, 11}));
  EXPECT_EQ(GetMaxCols(false, false), 14);
  EXPECT_EQ(GetMaxCols(false, true), 15);
  // The provocation view wins over rhinomanometry.
  EXPECT_EQ(GetMaxCols(true, true), 11);
  EXPECT_DOUBLE_EQ(GetColWidth(true, true), 734.0 / 104.0);
  EXPECT_EQ(GetColWidth(true, true, 0), 24);
  EXPECT_EQ(GetColWidth(false, true, 10), 0);
  EXPECT_EQ(GetColWidth(false, false, 14), 0);
  EXPECT_DOUBLE_EQ(GetColWidth(false, true), 734.0 / 105.0);
}

// Rhinomanometry's dates: a side with a result shows its date and time,
// one without it says which side it is.
TEST(ScreenTexts, RhinoDatesBySideAndView) {
  const TMessage texts = English();
  struct TCase {
    std::array<bool, 2> shown;
    bool provocation;
    std::vector<TTextItem> items;
  };
  const TCase cases[] = {
      {{true, true}, false, {{{200, 68}, "D1"}, {{200, 85}, "T1"}, {{370, 68}, "D2"}, {{370, 85}, "T2"}}},
      {{true, false}, true, {{{200, 68}, "D1"}, {{200, 85}, "T1"}, {{370, 85}, texts.LoadStringA(295)}}},
      {{false, false}, true, {{{200, 85}, texts.LoadStringA(294)}, {{370, 85}, texts.LoadStringA(295)}}},
      {{false, true}, false, {{{200, 85}, texts.LoadStringA(302)}, {{370, 68}, "D2"}, {{370, 85}, "T2"}}},
  };
  for (const TCase& c : cases) {
    TRhinoDates dates;
    dates.SideShown = c.shown;
    dates.ProvocationView = c.provocation;
    dates.Date = {"D1", "D2"};
    dates.Time = {"T1", "T2"};
    EXPECT_EQ(RhinoDateTime(dates, texts), c.items) << c.shown[0] << c.shown[1] << c.provocation;
  }
}
