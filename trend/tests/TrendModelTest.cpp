#include "trend/TrendModel.h"

#include "common/CommandNumbers.h"
#include "trend/tests/TrendFixture.h"

#include <gtest/gtest.h>

namespace {

using Values = std::array<float, TrendSlots>;
const Values NoPrediction{};

TEST(TrendLineTest, TheLineHasItsFixedColumnsAndEveryMarker) {
  for (const char marker : {' ', 'B', 'P', 'O'}) {
    TTrendModel model;
    model.AddDataToTrendListBox("2024.03.05.", "09:15:00", {3.45f, 0, 2.10f, 0.85f, 12.5f}, NoPrediction,
                                marker, 0);
    const std::string& text = model.Lines().at(0).Text;
    EXPECT_EQ(text, std::string("2024.03.05.   09:15:00   3.45  100%   0.00    0%   2.10  100%"
                                "   0.85  100%  12.50  100% ") + marker);
    EXPECT_EQ(text.size(), 89u);
    EXPECT_EQ(text[88], marker);
  }
}

TEST(TrendLineTest, MarkersFromTheExaminationsKind) {
  const std::pair<int, char> cases[] = {{0, ' '}, {0x08, 'B'}, {0x10, 'P'}, {0x20, 'O'}, {0x01, ' '}};
  for (const auto& [kind, marker] : cases)
    EXPECT_EQ(TrendLine::MarkerOfKind(kind), marker) << kind;
}

TEST(TrendLineTest, AValueTooWideForItsColumnKeepsTheOtherNumbers) {
  TTrendModel model;
  model.AddDataToTrendListBox("2024.03.05.", "09:15:00", {1234.5f, 2.0f, 0, 0, 0}, NoPrediction, 'P', 0);
  model.AddDataToTrendListBox("2024.04.05.", "09:15:00", {1.0f, 2.5f, 0, 0, 0}, NoPrediction, ' ', 0);
  // The text grows by the extra digit, as the format makes it ...
  EXPECT_EQ(model.Lines()[0].Text.size(), 90u);
  // ... while what the curves, the print and the export read stays right.
  EXPECT_FLOAT_EQ(model.Lines()[0].Data.Values[1], 2.0f);
  EXPECT_EQ(model.Lines()[0].Data.Marker, 'P');
  EXPECT_NEAR(model.Lines()[1].Percents[1], 125.0f, 1e-4);
}

struct TPercentCase {
  const char* Name;
  Values Reference;
  Values Value;
  Values Expected;
};

TEST(TrendModelTest, PercentagesOfTheReference) {
  // First line 100 % where it has a value; a zero value or zero reference 0 %.
  // 3.00 of 3.45 is 86.96 %, 2.31 of 2.10 is 110 %, 0.85 of 0.85 is 100 %.
  const TPercentCase cases[] = {
    {"first line", {3.45f, 0, 2.10f, 0.85f, 12.5f}, {3.45f, 0, 2.10f, 0.85f, 12.5f}, {100, 0, 100, 100, 100}},
    {"later line", {3.45f, 0, 2.10f, 0.85f, 12.5f}, {3.00f, 1.5f, 2.31f, 0.85f, 0}, {86.956522f, 0, 110, 100, 0}},
  };
  for (const TPercentCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTrendModel model;
    model.AddDataToTrendListBox("2024.01.01.", "08:00:00", c.Reference, NoPrediction, ' ', 0);
    model.AddDataToTrendListBox("2024.02.01.", "08:00:00", c.Value, NoPrediction, ' ', 0);
    for (int slot = 0; slot < TrendSlots; ++slot)
      EXPECT_NEAR(model.Lines()[1].Percents[slot], c.Expected[slot], 1e-3) << slot;
  }
}

TEST(TrendModelTest, PredictedAndRelativeModes) {
  TTrendModel model;
  TFakeTrendClient client(model);
  client.Examinations = {
    {"2024.01.01.", "08:00:00", {3.45f, 0, 0, 0, 0}, {4.0f, 0, 0, 0, 0}},
    {"2024.02.01.", "08:00:00", {3.00f, 0, 0, 0, 0}, {4.0f, 0, 0, 0, 0}},
    {"2024.03.01.", "08:00:00", {3.30f, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
  };
  client.LoadAll(0);

  ASSERT_TRUE(model.Command(CM_PREDICTED));
  EXPECT_TRUE(model.Predicted());
  // 3.45 of 4.00 is 86.25 %, 3.00 of 4.00 is 75 %; no predicted value: 0 %.
  EXPECT_NEAR(model.Lines()[0].Percents[0], 86.25f, 1e-3);
  EXPECT_NEAR(model.Lines()[1].Percents[0], 75.0f, 1e-3);
  EXPECT_EQ(model.Lines()[2].Percents[0], 0.0f);
  EXPECT_FALSE(model.IsEnabled(CM_NORMREL));
  EXPECT_FALSE(model.IsEnabled(CM_NEW_REF));
  ASSERT_TRUE(model.Command(CM_PREDICTED));

  ASSERT_TRUE(model.Command(CM_NORMREL));
  // Relative: the first line 0, then the change: 3.00 after 3.45 is
  // −13.04 %, 3.30 after 3.00 is +10 %.
  EXPECT_EQ(model.Lines()[0].Percents[0], 0.0f);
  EXPECT_NEAR(model.Lines()[1].Percents[0], -13.043478f, 1e-3);
  EXPECT_NEAR(model.Lines()[2].Percents[0], 10.0f, 1e-3);
  EXPECT_EQ(model.Lines()[2].Text.substr(30, 5), "  10%");
  EXPECT_FALSE(model.IsEnabled(CM_GRID));
  EXPECT_FALSE(model.IsEnabled(CM_ZOOM));

  // A deletion reloads; relative mode still shows changes afterwards.
  model.SetSelection(1);
  ASSERT_TRUE(model.Command(CM_TREND_DELETE));
  ASSERT_EQ(model.Count(), 2);
  EXPECT_NEAR(model.Lines()[1].Percents[0], (3.30f / 3.45f - 1) * 100, 1e-3);

  ASSERT_TRUE(model.Command(CM_NORMREL));
  EXPECT_NEAR(model.Lines()[1].Percents[0], 95.652174f, 1e-3);
}

TEST(TrendModelTest, NewReferenceStaysWhenRelativeModeIsLeft) {
  TTrendModel model;
  model.AddDataToTrendListBox("2024.01.01.", "08:00:00", {2.0f, 0, 0, 0, 0}, NoPrediction, ' ', 0);
  model.AddDataToTrendListBox("2024.02.01.", "08:00:00", {2.5f, 0, 0, 0, 0}, NoPrediction, ' ', 0);
  EXPECT_FALSE(model.IsEnabled(CM_NEW_REF));  // nothing selected
  model.SetSelection(1);
  EXPECT_EQ(model.MarkerIndex(), 1);
  ASSERT_TRUE(model.Command(CM_NEW_REF));
  EXPECT_EQ(model.ReferenceIndex(), 1);
  EXPECT_NEAR(model.Lines()[0].Percents[0], 80.0f, 1e-4);
  EXPECT_NEAR(model.Lines()[1].Percents[0], 100.0f, 1e-4);
  ASSERT_TRUE(model.Command(CM_NORMREL));
  ASSERT_TRUE(model.Command(CM_NORMREL));
  EXPECT_NEAR(model.Lines()[0].Percents[0], 80.0f, 1e-4);
}

TEST(TrendModelTest, WalkBitsFileTheLineOrSetTheReachedFlags) {
  TTrendModel model;
  const Values v{1, 0, 0, 0, 0};
  model.AddDataToTrendListBox("2024.02.01.", "08:00:00", v, NoPrediction, ' ', 0);
  model.FirstReached = model.LastReached = true;

  model.AddDataToTrendListBox("2024.01.01.", "08:00:00", v, NoPrediction, ' ', TrendFlags::Earlier);
  EXPECT_EQ(model.Lines()[0].Data.Date, "2024.01.01.");
  EXPECT_FALSE(model.FirstReached);
  model.AddDataToTrendListBox("2024.01.01.", "08:00:00", v, NoPrediction, ' ', TrendFlags::Earlier);
  EXPECT_EQ(model.Count(), 2);
  EXPECT_TRUE(model.FirstReached);

  model.AddDataToTrendListBox("2024.03.01.", "08:00:00", v, NoPrediction, ' ', TrendFlags::Later);
  EXPECT_EQ(model.Lines().back().Data.Date, "2024.03.01.");
  EXPECT_FALSE(model.LastReached);
  model.AddDataToTrendListBox("2024.03.01.", "08:00:00", v, NoPrediction, ' ', TrendFlags::Later);
  EXPECT_EQ(model.Count(), 3);
  EXPECT_TRUE(model.LastReached);
}

TEST(TrendModelTest, ReloadAsksForEveryLineByDateAndTimeWithTheFilter) {
  TTrendModel model;
  TFakeTrendClient client(model);
  client.Examinations = {
    {"2024.01.01.", "08:00:00", {2.0f, 0, 0, 0, 0}},
    {"2024.02.01.", "09:30:00", {2.2f, 0, 0, 0, 0}, {}, 0x10},
    {"2024.03.01.", "10:00:00", {2.4f, 0, 0, 0, 0}, {}, 0x20},
  };
  client.LoadAll(TrendFlags::IncludeProvoked);
  ASSERT_EQ(model.Count(), 2);  // the lysis examination was passed over
  EXPECT_TRUE(model.IncludeProvoked);
  EXPECT_EQ(model.Lines()[1].Data.Marker, 'P');

  client.Requests.clear();
  ASSERT_TRUE(model.ReadParametersFromDatabase());
  const std::vector<std::pair<short, std::string>> expected = {
    {0x01, "2024.01.01.@08:00:00"}, {0x01, "2024.02.01.@09:30:00"}};
  EXPECT_EQ(client.Requests, expected);
  EXPECT_EQ(model.Count(), 2);
  EXPECT_TRUE(model.ReferenceTaken());
  EXPECT_EQ(model.Reference().Date, "2024.01.01.");
}

TEST(TrendModelTest, ALineWithoutDateOrTimeAbandonsTheReload) {
  for (const auto& [date, time] : {std::pair{"", "10:00:00"}, std::pair{"2024.01.01.", ""}}) {
    TTrendModel model;
    TFakeTrendClient client(model);
    model.AddDataToTrendListBox("2024.01.01.", "08:00:00", {2, 0, 0, 0, 0}, NoPrediction, ' ', 0);
    model.AddDataToTrendListBox(date, time, {2, 0, 0, 0, 0}, NoPrediction, ' ', 0);
    EXPECT_FALSE(model.ReadParametersFromDatabase());
    EXPECT_TRUE(client.Requests.empty());
    EXPECT_EQ(model.Count(), 2);
  }
}

TEST(TrendModelTest, WalkingLeftAndRightUntilTheReachedFlagsCloseTheCommands) {
  TTrendModel model;
  TFakeTrendClient client(model);
  for (int month = 1; month <= 6; ++month)
    client.Examinations.push_back({"2024.0" + std::to_string(month) + ".01.", "08:00:00",
                                   {static_cast<float>(month), 0, 0, 0, 0}, {},
                                   month == 2 ? 0x10 : 0});
  // The browser chose months 3 and 4.
  client.Add(client.Examinations[2], 0);
  client.Add(client.Examinations[3], 0);
  EXPECT_FALSE(model.IsEnabled(CM_LEFT_NEXT));  // two lines: nothing to drop
  EXPECT_FALSE(model.IsEnabled(CM_RIGHT_PRE));

  // Left: month 2 is provoked and passed over, month 1 is added; the
  // reference is taken again from the new first line.
  ASSERT_TRUE(model.IsEnabled(CM_LEFT_PRE));
  model.Command(CM_LEFT_PRE);
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.Lines()[0].Data.Date, "2024.01.01.");
  EXPECT_EQ(model.Reference().Date, "2024.01.01.");
  EXPECT_NEAR(model.Lines()[2].Percents[0], 400.0f, 1e-4);
  model.Command(CM_LEFT_PRE);
  EXPECT_TRUE(model.FirstReached);
  EXPECT_FALSE(model.IsEnabled(CM_LEFT_PRE));
  EXPECT_EQ(model.Count(), 3);

  while (model.IsEnabled(CM_RIGHT_NEXT))
    model.Command(CM_RIGHT_NEXT);
  EXPECT_EQ(model.Count(), 5);
  EXPECT_EQ(model.Lines().back().Data.Date, "2024.06.01.");

  // Dropping the first line opens the left walk again.
  ASSERT_TRUE(model.IsEnabled(CM_LEFT_NEXT));
  model.Command(CM_LEFT_NEXT);
  EXPECT_FALSE(model.FirstReached);
  EXPECT_EQ(model.Lines()[0].Data.Date, "2024.03.01.");
  model.Command(CM_RIGHT_PRE);
  EXPECT_FALSE(model.LastReached);
  EXPECT_EQ(model.Count(), 3);
}

TEST(TrendModelTest, AnEmptyListClosesTheCommandsThatNeedLines) {
  TTrendModel model;
  for (const unsigned id : {CM_NEW_REF, CM_NORMREL, CM_PREDICTED, CM_LEFT_PRE, CM_LEFT_NEXT, CM_RIGHT_PRE,
                            CM_RIGHT_NEXT}) {
    EXPECT_FALSE(model.IsEnabled(id)) << id;
    EXPECT_FALSE(model.Command(id)) << id;
  }
  EXPECT_TRUE(model.IsEnabled(CM_ZOOM));
  EXPECT_TRUE(model.IsEnabled(CM_GRID));
  EXPECT_TRUE(model.IsEnabled(CM_DDE));
  EXPECT_TRUE(model.ReadParametersFromDatabase());
  EXPECT_FALSE(model.ReadOneParameterFromDatabase(TrendFlags::Earlier));
  // Delete without a selection does nothing.
  EXPECT_FALSE(model.Command(CM_TREND_DELETE));
}

TEST(TrendModelTest, AnExaminationWhoseTestsAreMissingGivesAnEmptyLine) {
  // The client answers with zeros for slots it found no record for.
  TTrendModel model;
  model.AddDataToTrendListBox("2024.01.01.", "08:00:00", {}, NoPrediction, ' ', 0);
  model.AddDataToTrendListBox("2024.02.01.", "08:00:00", {2.0f, 0, 0, 0, 0}, NoPrediction, ' ', 0);
  EXPECT_EQ(model.Lines()[1].Percents[0], 0.0f);
  EXPECT_EQ(model.Lines()[0].Text.substr(22, 13), "   0.00    0%");
}

TEST(TrendModelTest, SlotNamesAndUnits) {
  TTrendModel model;
  model.Params = {405, -1, 310, 0, 700};
  const std::tuple<int, const char*, const char*> cases[] = {
    {0, "Rin", "[kPa*s/L]"}, {1, "", ""}, {2, "Klco", "[mmol/min*kPa*L]"}, {3, "FVC", "[L]"},
    {4, "", ""}, {5, "", ""}, {-1, "", ""}};
  for (const auto& [slot, name, unit] : cases) {
    EXPECT_EQ(model.GetTrendParam(slot), name) << slot;
    EXPECT_EQ(model.GetTrendParamUnit(slot), unit) << slot;
  }
}

TEST(TrendModelTest, ZoomCyclesThroughItsThreeFactors) {
  TTrendModel model;
  std::vector<int> factors;
  for (int i = 0; i < 4; ++i) {
    factors.push_back(TTrendModel::ZoomFactor(model.Zoom));
    model.Command(CM_ZOOM);
  }
  EXPECT_EQ(factors, (std::vector<int>{1, 2, 5, 1}));
}

}  // namespace
