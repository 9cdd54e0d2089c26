#include "shell/bars/InitCountDown.h"
#include "shell/settings/StoredKey.h"
#include "shell/bars/TestToolBox.h"
#include "shell/tests/FakeClock.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(TestToolBox, ButtonsFollowTheInstalledInstruments) {
  TInstallFlags f;
  f.HardwareInstalled = true;
  EXPECT_EQ(TestToolBox::Buttons(f),
            (std::vector<unsigned>{CM_MEASURE_FVC, CM_MEASURE_VC, CM_MEASURE_MVV, CM_MEASURE_MENU_CLOSE}));
  f.DiffusionInstalled = f.PlethysmographInstalled = true;
  f.HardwareMode = 4 | 1;
  EXPECT_EQ(TestToolBox::Buttons(f), (std::vector<unsigned>{CM_MEASURE_FVC, CM_MEASURE_VC, CM_MEASURE_MVV,
                                                            CM_MEASURE_DFC, CM_MEASURE_PLETHY, CM_MEASURE_SHUTTER,
                                                            CM_MEASURE_MENU_CLOSE}));
  EXPECT_EQ(TestToolBox::Beside(99, 40).X, 100);
  EXPECT_EQ(TestToolBox::Beside(99, 40).Y, 40);
}

TEST(StoredKey, DateAndTimeAreSplitAtTheFirstAtSign) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(StoredKey::Split("2024.03.05.@07:08:09"), (P{"2024.03.05.", "07:08:09"}));
  EXPECT_EQ(StoredKey::Split("a@b@c"), (P{"a", "b@c"}));
  for (const char* loadsNothing : {"2024.03.05.@", "@07:08:09", "2024.03.05.", "", "@"})
    EXPECT_FALSE(StoredKey::Split(loadsNothing)) << loadsNothing;
}

struct TRun {
  std::vector<int> shown;
  std::vector<TClock::TTime> waits;
  int pumps = 0;
  InitCountDown::TOutcome outcome;
};

// Runs a count-down; the window closes after `closeAfterShown` numbers.
TRun CountDown(int delay, int closeAfterShown = 1000) {
  TFakeClock clock;
  TRun run;
  const TClock::TTime start = clock.Now();
  run.outcome = InitCountDown::Run(
      delay, clock, [&](int n) { run.shown.push_back(n); }, [&] { ++run.pumps; },
      [&] { return static_cast<int>(run.shown.size()) < closeAfterShown; });
  for (const TClock::TTime t : clock.Waits)
    run.waits.push_back(t - start);
  return run;
}

TEST(InitCountDown, ShowsEverySecondDownToZero) {
  using T = TClock::TTime;
  const TRun three = CountDown(3);
  EXPECT_EQ(three.shown, (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(three.waits, (std::vector<T>{T{1000}, T{2000}, T{3000}}));  // 0 closes at once
  EXPECT_EQ(three.pumps, 4);
  EXPECT_FALSE(three.outcome.ClosedEarly);

  for (const int delay : {0, -5}) {  // a negative delay would never end
    const TRun zero = CountDown(delay);
    EXPECT_EQ(zero.shown, std::vector<int>{0}) << delay;
    EXPECT_TRUE(zero.waits.empty()) << delay;
  }

  // OK pressed while 2 shows: the count-down ends at its next second.
  const TRun early = CountDown(3, 2);
  EXPECT_EQ(early.shown, (std::vector<int>{3, 2}));
  EXPECT_TRUE(early.outcome.ClosedEarly);
}

}  // namespace
