#include "platform/portkit/MeasureData.h"
#include "platform/portkit/Protocol.h"

#include <gtest/gtest.h>

namespace {

// Saturation pressure over water from the published tables (CRC Handbook,
// after Wexler): 0 °C 611.2 Pa, 20 °C 2339.3 Pa, 25 °C 3169.9 Pa, 37 °C
// 6279.5 Pa, 50 °C 12352 Pa.
TEST(MeasureData, WaterVapourPressureFollowsThePublishedTable) {
  const std::pair<short, double> table[] = {{0, 611.2}, {20, 2339.3}, {25, 3169.9}, {37, 6279.5}, {50, 12352.0}};
  for (const auto& [celsius, pascal] : table)
    EXPECT_NEAR(TMeasureData::GetWaterVaporPartialPressure(celsius), pascal, pascal * 0.003) << celsius;
}

TEST(MeasureData, ClearingATrialEmptiesOnlyThatTrialOfTheCurrentMode) {
  TMeasureData data(MEASURE_FVC, nullptr);
  for (auto* curves : {&data.Flow, &data.Volume})
    for (auto& curve : *curves)
      curve.assign(TMeasureData::CurveBufferSamples, 1.0f);
  data.CalFlow.assign(TMeasureData::CurveBufferSamples, 1.0f);
  data.SampleCount[MEASURE_FVC] = {10, 20, 30, 40};
  data.ExtremeCount = 7;

  TMeasureData::MeasureMode = MEASURE_FVC;
  data.ClearBuffer(1);
  EXPECT_EQ(data.SampleCount[MEASURE_FVC], (std::array<short, 4>{10, 0, 30, 40}));
  EXPECT_EQ(data.Flow[1][0], 0.0f);
  EXPECT_EQ(data.Volume[1][TMeasureData::CurveSamples - 1], 0.0f);
  EXPECT_EQ(data.Flow[1][TMeasureData::CurveSamples], 1.0f) << "only the used part is cleared";
  EXPECT_EQ(data.Flow[0][0], 1.0f);
  EXPECT_EQ(data.CalFlow[0], 1.0f);
  EXPECT_EQ(data.ExtremeCount, 1);

  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  data.ClearBuffer(0);
  EXPECT_EQ(data.CalFlow[5], 0.0f);
  EXPECT_EQ(data.Flow[0][0], 1.0f);
  TMeasureData::MeasureMode = MEASURE_FVC;
}

TEST(MeasureData, ClearingResultsAndExtremes) {
  TMeasureData data(MEASURE_VC, nullptr);
  data.AktParams[MEASURE_VC][2].fill(4.0f);
  data.AktParams[MEASURE_VC][1].fill(5.0f);
  data.ClearParamsBuffer(MEASURE_VC, 2);
  data.ClearParamsBuffer(MEASURE_VC, 7);  // out of range: nothing
  data.ClearParamsBuffer(9, 0);
  EXPECT_EQ(data.AktParams[MEASURE_VC][2][0], 0.0f);
  EXPECT_EQ(data.AktParams[MEASURE_VC][1][4], 5.0f);

  data.Extremes[3] = {2.5f, 1.0f, 33};
  data.ExtremeSearch = 0;
  data.ExtremeRunning = 4.0f;
  data.ClearExtremes();
  EXPECT_EQ(data.Extremes[3].Volume, 0.0f);
  EXPECT_EQ(data.ExtremeCount, 1);
  EXPECT_EQ(data.ExtremeSearch, 1);
  EXPECT_EQ(data.ExtremeRunning, 0.0f);
}

TEST(MeasureData, ABreathingPhaseTurnsOnlyBeyondTheNoiseAndAfterAQuarterSecond) {
  TMeasureData data(MEASURE_RHINO, nullptr);
  EXPECT_FALSE(data.LocalTressholdCompare(-10.0f, 0.10f)) << "flow within the noise";
  EXPECT_TRUE(data.LocalTressholdCompare(-200.0f, 0.10f)) << "the first turn of an acquisition";
  data.PhaseTable[0] = {0.10f, -200.0f, 10};
  data.IncrementLocalBufferIndex();
  EXPECT_FALSE(data.LocalTressholdCompare(300.0f, 0.30f));
  EXPECT_TRUE(data.LocalTressholdCompare(300.0f, 0.36f));

  data.PhaseTableIndex = TMeasureData::PhaseEntries - 1;
  data.IncrementLocalBufferIndex();
  EXPECT_EQ(data.PhaseTableIndex, TMeasureData::PhaseEntries - 1) << "the table is never overrun";
  data.ClearPhaseTable();
  EXPECT_EQ(data.PhaseTableIndex, 0);
}

TEST(MeasureData, UntilTheCalculationsAreBuiltTheyGiveNoResult) {
  TMeasureData data(MEASURE_FVC, nullptr);
  short start = 0, peak = 0, second = 0, third = 0;
  EXPECT_FALSE(data.CalculateFvcParams(start, peak, second, third, 0));
  EXPECT_FALSE(data.CalculateVcParams());
  EXPECT_FALSE(data.CalculateMvvParams());
  EXPECT_EQ(data.CalculateTheBest(4.0f, 5.0f, 3.0f), 0);
  EXPECT_EQ(data.TrialOrder, (std::array<short, 3>{0, 0, 0}));
  EXPECT_EQ(data.AktParams[MEASURE_FVC][0][0], 0.0f);
}

// The raw words of a BTPS reading by the published sensor scales: 25 °C,
// 1013 hPa and 50 % are 1024, 1660, 1024 on the newer sensors and 2048,
// 3319, 2048 on the older ones.
TEST(MeasureData, SensorWordsFollowTheHardwaresScale) {
  const auto newer = InstrumentProtocol::SensorWords({25.0, 1013.0, 50.0}, 0x10);
  EXPECT_EQ(newer.Temperature, 1024);
  EXPECT_EQ(newer.Pressure, 1660);
  EXPECT_EQ(newer.Humidity, 1024);
  const auto older = InstrumentProtocol::SensorWords({25.0, 1013.0, 50.0}, 0x00);
  EXPECT_EQ(older.Temperature, 2048);
  EXPECT_EQ(older.Pressure, 3319);
  EXPECT_EQ(older.Humidity, 2048);
}

}  // namespace
