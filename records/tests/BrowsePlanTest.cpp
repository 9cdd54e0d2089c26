#include "records/BrowsePlan.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

namespace {

using BrowsePlan::TLine;
using TPlanMessage = BrowsePlan::TMessage;

std::vector<TLine> Lines(std::initializer_list<std::pair<const char*, bool>> lines) {
  std::vector<TLine> result;
  for (const auto& [text, selected] : lines)
    result.push_back({text, selected});
  return result;
}

TEST(BrowsePlan, KindRuleNeedsExactlyOneKind) {
  struct TCase {
    std::vector<TLine> Lines;
    bool Audio, Rhino, Allowed;
  };
  const TCase cases[] = {
      {Lines({{"SPIRO 2026.10.01. 08:00:00  ", true}}), true, true, true},
      {Lines({{"RINOA 2026.10.01. 08:00:00  ", true}, {"RINOP 2026.10.01. 09:00:00  ", true}}), true, true, false},
      {Lines({{"RINOA 2026.10.01. 08:00:00  ", true}, {"RINOA 2026.10.01. 09:00:00  ", true}}), true, true, true},
      {Lines({{"RINOA 2026.10.01. 08:00:00  ", true}}), true, false, false},  // no rhinomanometer
      {Lines({{"AUDIO 2026.10.01. 08:00:00  ", true}}), false, true, false},  // no audiometer
      {Lines({{"SPIRO 2026.10.01. 08:00:00  ", true}, {"AUDIO 2026.10.01. 09:00:00  ", true}}), true, true, false},
      {Lines({{"SPIRO 2026.10.01. 08:00:00  ", false}}), true, true, false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(BrowsePlan::Kinds(c.Lines, c.Audio, c.Rhino).One(), c.Allowed) << c.Lines[0].Text;
}

TEST(BrowsePlan, TwoTestsGoAsComparisonThenCurrentInScanOrder) {
  const auto lines = Lines({{"SPIRO 2026.10.03. 08:00:00  ", true},
                            {"AUDIO 2026.10.02. 08:00:00  ", false},
                            {"SPIRO 2026.10.01. 08:00:00  ", true}});
  const auto kinds = BrowsePlan::Kinds(lines, true, true);
  EXPECT_EQ(BrowsePlan::SelectionLoad(lines, kinds, 0, false, 0, 11, 8),
            (std::vector<TPlanMessage>{{WM_LOAD_MEASUREMENT, 2, "2026.10.03.@08:00:00"},
                                   {WM_LOAD_MEASUREMENT, 1, "2026.10.01.@08:00:00"}}));
  EXPECT_EQ(BrowsePlan::SelectionLoad(lines, kinds, 1, false, 0, 11, 8),
            (std::vector<TPlanMessage>{{WM_LOAD_MEASUREMENT, 2, "2026.10.01.@08:00:00"},
                                   {WM_LOAD_MEASUREMENT, 1, "2026.10.03.@08:00:00"}}));
  // A series (baseline and provoked) goes whole, each as a current test.
  EXPECT_EQ(BrowsePlan::SeriesLoad(lines, 0, 11, 8),
            (std::vector<TPlanMessage>{{WM_LOAD_MEASUREMENT, 1, "2026.10.03.@08:00:00"},
                                   {WM_LOAD_MEASUREMENT, 1, "2026.10.01.@08:00:00"}}));
}

TEST(BrowsePlan, SingleAudiogramAndTrendLines) {
  const auto audio = Lines({{"AUDIO 2026.10.02. 08:00:00  ", true}});
  EXPECT_EQ(BrowsePlan::SelectionLoad(audio, BrowsePlan::Kinds(audio, true, false), 0, false, 0, 11, 8),
            (std::vector<TPlanMessage>{{WM_LOAD_AUDIOGRAM, 1, "2026.10.02.@08:00:00"}}));
  const auto spiro = Lines({{"SPIRO 2026.10.03. 08:00:00 P", true},
                            {"SPIRO 2026.10.02. 08:00:00  ", true},
                            {"SPIRO 2026.10.01. 08:00:00 B", true}});
  EXPECT_TRUE(BrowsePlan::Kinds(spiro, true, true).Trend());
  EXPECT_FALSE(BrowsePlan::Kinds(Lines({{"SPIRO 2026.10.03. 08:00:00 P", true}, {"SPIRO 2026.10.02. 08:00:00  ", true}}),
                                 true, true)
                   .Trend());
  const auto trend = BrowsePlan::SelectionLoad(spiro, BrowsePlan::Kinds(spiro, true, true), 0, true, 1, 11, 8);
  ASSERT_EQ(trend.size(), 3u);
  EXPECT_EQ(trend[2], (TPlanMessage{WM_READ_TREND_DATA, 1, "2026.10.01.@08:00:00"}));
}

}  // namespace
