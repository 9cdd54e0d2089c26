// The window's timers on a manual link clock: the zero's age, the
// metronome's period, clamp and port words, and the port notification.

#include "measure/tests/LinkedCoreFixture.h"

#include "common/CommandNumbers.h"

namespace {

class TTimerCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  void InvalidateScreen() override { ++Invalidated; }
  void PostToSelf(unsigned msg, TParam1 wParam, TParam2) override { Posted.push_back({msg, wParam}); }
  void Beep() override { ++Beeps; }
  int Invalidated = 0;
  int Beeps = 0;
  std::vector<std::pair<unsigned, TParam1>> Posted;
};

class TimersTest : public LinkedCoreTest<TTimerCore> {
protected:
  TimersTest() : LinkedCoreTest(MEASURE_PLETHY) {}

  void WriteRates(std::string_view normal, std::string_view high) {
    Folder.Write("Halvetra.ini", "[Plethysmograph Parameters]\nBreathingRate=" + std::string(normal) +
                                     "\nBreathingRateHigh=" + std::string(high) + "\n");
  }

};

TEST_F(TimersTest, BreathingRateGivesTheHalfBreathPeriodWithinItsLimits) {
  struct Case {
    std::string_view normal, high;
    int which, period;
  };
  for (const Case& c : {Case{"40", "70", 0, 750}, Case{"40", "70", 1, 428}, Case{"0", "70", 0, 1500},
                        Case{"40", "500", 1, 150}, Case{"-3", "70", 0, 1500}}) {
    SCOPED_TRACE(c.period);
    WriteRates(c.normal, c.high);
    Core.SetBRate(c.which);
    EXPECT_EQ(Core.MetronomePeriodMs(), c.period);
  }
}

// The shutter test's metronome beeps a train of 20 each half breath: 15
// breaths a minute ("Shutter" "BreathingRate") are a half breath of 2 s.
TEST_F(TimersTest, ShutterMetronomeBeepsTwentyTimesEachHalfBreath) {
  Folder.Write("Halvetra.ini", "[Shutter]\nBreathingRate=15\n");
  Core.SetMeasureMode(MEASURE_SHUTTER);
  Core.ReadShutterParams();
  ASSERT_EQ(Core.MetronomePeriodMs(), 2000);
  ASSERT_TRUE(Core.CreateMetronomTimer());
  Clock->Advance(1999);
  EXPECT_EQ(Core.Beeps, 0);
  Clock->Advance(1);
  EXPECT_EQ(Core.Beeps, 20);
  Clock->Advance(2000);
  EXPECT_EQ(Core.Beeps, 40);
  Core.KillMetronomTimer();
  Clock->Advance(4000);
  EXPECT_EQ(Core.Beeps, 40) << "silent once killed";
  EXPECT_TRUE(Device->WrittenWords().empty()) << "the shutter test's metronome sends no word";
}

TEST_F(TimersTest, PlethysmographMetronomeTogglesItsBitEachHalfBreath) {
  WriteRates("40", "70");
  Core.SetBRate(0);
  Core.SetMeasureMode(MEASURE_PLETHY);
  Core.HasInstrument = true;
  Core.InitHandler();
  ASSERT_TRUE(Core.CreateMetronomTimer());
  Clock->Advance(749);
  const std::size_t before = Device->WrittenWords().size();
  // The bit is set for one half breath and cleared for the next: both
  // the tone's start and its end write the word of the current half.
  Clock->Advance(1);
  ASSERT_FALSE(Device->WrittenWords().empty());
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF7F);
  Clock->Advance(TMeasureCore::SoundTime);
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF7F);
  EXPECT_EQ(TMeasureCore::StateOfMetronom, 1);
  Clock->Advance(750 - TMeasureCore::SoundTime);
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF5F);
  Clock->Advance(TMeasureCore::SoundTime);
  EXPECT_EQ(TMeasureCore::StateOfMetronom, 0);
  EXPECT_EQ(Device->WrittenWords().size(), before + 4);

  TMeasureCore::DisableMetronom = true;
  Clock->Advance(750);
  EXPECT_EQ(Device->WrittenWords().size(), before + 4);
  EXPECT_EQ(TMeasureCore::StateOfMetronom, 1);  // the beat goes on without words
  Core.KillMetronomTimer();
  Core.KillHandler();
}

TEST_F(TimersTest, ZeroGrowsOldAfterTwentyTicks) {
  ASSERT_TRUE(Core.CreateZeroTimer());
  EXPECT_FALSE(Core.ZeroNeeded);
  Clock->Advance(20 * 30'000);
  EXPECT_EQ(Core.Invalidated, 0);
  Clock->Advance(30'000);
  EXPECT_EQ(Core.Invalidated, 1);  // idle: the screen shows it
  Core.StartId = CM_START;
  Clock->Advance(21 * 30'000);
  EXPECT_TRUE(Core.ZeroNeeded);  // running: asked for after the trial
  Core.StartId = 0;
}

TEST_F(TimersTest, PortNotificationOnlyForTheRunningDevice) {
  TMeasureData::IdCommDev = 5;
  Core.StartId = CM_START;
  EXPECT_EQ(Core.EvCommNotify(4), 1);
  Core.StartId = 0;
  EXPECT_EQ(Core.EvCommNotify(5), 1);
  EXPECT_TRUE(Core.Posted.empty());
}

TEST_F(TimersTest, SkipNextPointOnlyOnceInARunningCalibration) {
  Core.InstrumentType = 0x01;  // plethysmograph family
  Core.HasInstrument = true;
  Core.SetMeasureMode(MEASURE_FVC);
  Core.CmSkipNextPoint();
  EXPECT_FALSE(Core.SkipMark);  // not in a calibration
  Core.SetMeasureMode(MEASURE_CALIBRATION);
  Core.StartId = CM_CALIBRATION;
  Core.InitHandler();
  Core.CmSkipNextPoint();
  EXPECT_TRUE(Core.SkipMark);
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF7F);
  const std::size_t words = Device->WrittenWords().size();
  Core.CmSkipNextPoint();
  EXPECT_EQ(Device->WrittenWords().size(), words);
  Core.KillHandler();
  Core.StartId = 0;
}

}  // namespace
