// The diffusion unit's gas sequence on the core, step by step: the wash-out
// times, the bag's time-outs, the analysers' zero and the skip of a
// calibration point, with the samples fed as the link hands them on: the
// index advances after each sample while the handler runs, so the first
// sample after a restart is number 1.

#include "measure/tests/LinkedCoreFixture.h"

#include "common/CommandNumbers.h"

#include <vector>

namespace {

class GasSequence : public LinkedCoreTest<TMeasureCore> {
protected:
  GasSequence() : LinkedCoreTest(MEASURE_DFC) {
    Core.SetIniFile("");
    Core.SetMeasureMode(MEASURE_DFC);
    Core.HasInstrument = true;
    Core.InstrumentType = 0x70;
  }

  void StartDfc(const TDiffusionSettings& settings) {
    Core.ApplyDiffusionSettings(settings);
    Core.CmStart(CM_START);
    Core.CmDoStart(CM_START);
    ASSERT_EQ(Core.StartId, CM_START);
  }

  // `n` samples of the same raw value.
  void Feed(long value, int n) {
    for (int k = 0; k < n && Core.StopRequest == 0; ++k) {
      Core.CmReady(TMeasureData::InterruptIndex, value);
      if (TMeasureInterrupt::FlagBegin)
        ++TMeasureData::InterruptIndex;
    }
  }

  static TDiffusionSettings Quick() {
    TDiffusionSettings s;
    s.PreparationTimeTicks = 300;
    s.PumpLowSpeedExtraTimeTicks = 300;
    s.PreparationNumber = 2;
    return s;
  }
};

TEST_F(GasSequence, TheWashOutCountsDownAllItsPreparations) {
  // T = 1000 ticks, X = 1000, n = 3: T1 = 2000, Q = 3000 / 2 + 6000 / 2 = 4500.
  TDiffusionSettings settings;
  settings.PreparationTimeTicks = 1000;
  settings.PumpLowSpeedExtraTimeTicks = 1000;
  settings.PreparationNumber = 3;
  StartDfc(settings);
  EXPECT_EQ(Core.Gas.LowSpeedTicks, 2000);
  EXPECT_EQ(Core.Gas.WashOutCountDown, 4500);
  EXPECT_EQ(TMeasureInterrupt::TestMode, 9);
  EXPECT_TRUE(Core.Gas.AutoZeroFlag);
  // The wash-out word with its autozero bit pulsed clear.
  EXPECT_EQ(Device->WrittenWords().back(), 0xEB3F);
}

TEST_F(GasSequence, TheBagsTimeOutsStopTheTestWithoutASample) {
  struct Case {
    const char* what;
    long highSpeedPa;  // the bag's pressure while it fills
    long lowSpeedPa;   // and while it is emptied
    bool openTimeout;
    bool closeTimeout;
  };
  // The error pressure is 1100 Pa and the vacuum 1000 Pa by default.
  const Case cases[] = {
      {"the bag fills and empties", 600, 1200, false, false},
      {"the pump pushes against a closed bag", 1100, 1200, true, false},
      {"the bag never reaches its vacuum", 600, 999, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartDfc(Quick());
    Feed(0, 30);  // the automatic zero
    ASSERT_EQ(TMeasureInterrupt::TestMode, 6);
    Feed(c.highSpeedPa, 301);
    if (!c.openTimeout) {
      ASSERT_EQ(TMeasureInterrupt::TestMode, 7);
      Feed(c.lowSpeedPa, c.closeTimeout ? 1000 : 201);
    }
    EXPECT_EQ(Core.Gas.BagOpenTimeout, c.openTimeout);
    EXPECT_EQ(Core.Gas.BagCloseTimeout, c.closeTimeout);
    const bool failed = c.openTimeout || c.closeTimeout;
    EXPECT_EQ(Core.StopRequest != 0, failed);
    EXPECT_EQ(Core.Gas.GasSampleTaken, !failed);
    if (!failed) {
      // Q = 900: 301 ticks fast, 200 slow leave 399 < T1 = 600: washed out,
      // on to the delay with the sampling word.
      EXPECT_EQ(TMeasureInterrupt::TestMode, 10);
      EXPECT_EQ(TMeasureData::LastSentData, 0xEF6F);
    }
    Core.CmStop();
    TakeMessage();  // the cleared trial says why
    EXPECT_EQ(TMeasureInterrupt::TestMode, 0);
  }
}

TEST_F(GasSequence, TheDelayZeroesTheAnalysersOnTheLastHundredReadings) {
  StartDfc(Quick());
  Feed(0, 30);
  Feed(600, 301);
  Feed(1200, 201);
  ASSERT_EQ(TMeasureInterrupt::TestMode, 10);
  // Helium in the low word, CO in the high word; the delay ends with its
  // 200th reading. The first 100 fall out of the ring; of the last 100, 50
  // read 120 and 50 read 121 helium (mean 120.5, 120 as an integer) and
  // all 37 CO.
  Feed((37L << 16) | 500, 100);
  Feed((37L << 16) | 120, 50);
  EXPECT_TRUE(Core.Gas.DelayPending);
  Feed((37L << 16) | 121, 50);
  EXPECT_EQ(Core.HeZero, 120);
  EXPECT_EQ(Core.CoZero, 37);
  EXPECT_FALSE(Core.Gas.DelayPending);
  EXPECT_EQ(TMeasureInterrupt::TestMode, 0);
  EXPECT_FALSE(TMeasureInterrupt::FlagBegin) << "the trial waits for its breath";
}

TEST_F(GasSequence, TheGasCommandWaitsForTheBreathAndIsGivenOnce) {
  StartDfc(Quick());
  TCommandEnabler before(CM_GAS);
  Core.CommandEnable(before);
  EXPECT_FALSE(before.GetEnabled()) << "not while the gas path is washed out";
  Feed(0, 30);
  Feed(600, 301);
  Feed(1200, 201);
  Feed(0, 200);
  Feed(-20, 1);  // an expiration of 176 mL/s starts the trial
  ASSERT_TRUE(TMeasureInterrupt::FlagBegin);
  TCommandEnabler during(CM_GAS);
  Core.CommandEnable(during);
  EXPECT_TRUE(during.GetEnabled());
  SendMessage(&Core, WM_COMMAND, CM_GAS, 0);
  EXPECT_TRUE(Core.Gas.GasRequest);
  Feed(-20, 10);
  EXPECT_FALSE(Core.Gas.GasPhaseStarted) << "the expiration goes on";
  Feed(100, 1);
  EXPECT_TRUE(Core.Gas.GasPhaseStarted) << "the first inspiration is the test gas";
  EXPECT_EQ(TMeasureData::LastSentData, 0xEF62);
  EXPECT_EQ(Core.GasTurnIndex, 11);
  TCommandEnabler after(CM_GAS);
  Core.CommandEnable(after);
  EXPECT_FALSE(after.GetEnabled());
  Core.CmStop();
  TakeMessage();
}

TEST_F(GasSequence, SkippingACalibrationPointDuringTheWashOutRunsTheDelay) {
  Core.SetMeasureMode(MEASURE_CALIBRATION);
  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  Core.ApplyDiffusionSettings(Quick());
  Core.InitHandler();
  Core.StartId = CM_CALIBRATION;
  Core.CalibrationStep = 0;
  Core.DemandAutoZero(6);
  Feed(0, 30);
  ASSERT_EQ(TMeasureInterrupt::TestMode, 6);
  Core.CmSkipNextPoint();
  EXPECT_EQ(TMeasureInterrupt::TestMode, 10) << "the delay that zeroes the analysers";
  EXPECT_TRUE(Core.Gas.DelayPending);
  EXPECT_FALSE(Core.SkipMark) << "the flow strokes are not skipped by it";
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF7F);
  Core.StartId = 0;
  Core.KillHandler();
}

}  // namespace
