#include "shell/settings/ScreenScale.h"
#include "shell/settings/StartClock.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(Screen, ScaleFactorsAreTheResolutionOver800By600) {
  struct Case {
    int width, height;
    float x, y;  // by hand: width / 800, height / 600
  };
  for (const Case c : {Case{800, 600, 1.0f, 1.0f}, Case{1024, 768, 1.28f, 1.28f}, Case{640, 480, 0.8f, 0.8f},
                       Case{1280, 1024, 1.6f, 1.7066667f}, Case{1920, 1080, 2.4f, 1.8f}}) {
    const TScreenScale scale = Screen::ScaleFor(c.width, c.height);
    EXPECT_FLOAT_EQ(scale.X, c.x) << c.width;
    EXPECT_FLOAT_EQ(scale.Y, c.y) << c.height;
  }
}

// A window keeps the screen's factors where they fit the room and takes
// the room's on an axis where they do not (by hand: 700 / 485 = 1.4433,
// 1240 / 753 = 1.6467), never less than half its layout.
TEST(Screen, WindowsAreScaledToFitTheRoom) {
  struct Case {
    TScreenScale screen;
    int roomWidth, roomHeight;
    float x, y;
  };
  const Case cases[] = {
      {{1.6f, 1.3333334f}, 1240, 700, 1.6f, 1.3333334f},  // a laptop's room holds it
      {{2.4f, 1.8f}, 1880, 700, 2.4f, 1.4432990f},        // too high for the room
      {{2.4f, 1.8f}, 1240, 700, 1.6467463f, 1.4432990f},  // too wide and too high
      {{1.0f, 1.0f}, 300, 200, 0.5f, 0.5f},               // no smaller than half
      {{0.4f, 0.4f}, 100, 100, 0.4f, 0.4f},               // a screen below half keeps its own
  };
  for (const Case& c : cases) {
    const TScreenScale scale = Screen::FitInto(c.screen, 753, 485, c.roomWidth, c.roomHeight);
    EXPECT_FLOAT_EQ(scale.X, c.x) << c.roomWidth;
    EXPECT_FLOAT_EQ(scale.Y, c.y) << c.roomHeight;
    // Above the floor the window fits its room.
    if (c.x > Screen::SmallestFittedScale) {
      EXPECT_LE(static_cast<int>(753 * scale.X), c.roomWidth);
    }
    if (c.y > Screen::SmallestFittedScale) {
      EXPECT_LE(static_cast<int>(485 * scale.Y), c.roomHeight);
    }
  }
}

TEST(Screen, FewerThanSixteenBitsPerPixelAreTooFewColours) {
  EXPECT_TRUE(Screen::HasTooFewColours(4));
  EXPECT_TRUE(Screen::HasTooFewColours(8));
  EXPECT_TRUE(Screen::HasTooFewColours(15));
  EXPECT_FALSE(Screen::HasTooFewColours(16));
  EXPECT_FALSE(Screen::HasTooFewColours(24));
  EXPECT_FALSE(Screen::HasTooFewColours(32));
}

TEST(Screen, OnlyShowCommandsZeroAndSevenKeepTheWindowFromBeingMaximized) {
  using Screen::TShowState;
  EXPECT_EQ(Screen::ShowStateFor(0), TShowState::Hidden);
  EXPECT_EQ(Screen::ShowStateFor(7), TShowState::MinimizedNoActivate);
  for (const int other : {1, 2, 3, 4, 5, 6, 8, 9, 10, -1})
    EXPECT_EQ(Screen::ShowStateFor(other), TShowState::Maximized) << other;
}

class TSteppingClock final : public TClock {
public:
  TTime Now() const override { return Time; }
  void WaitUntil(TTime deadline) override {
    ++Waits;
    if (deadline > Time)
      Time = deadline;
  }
  TTime Time{5000};
  int Waits = 0;
};

TEST(GreetingDeadline, TheGreetingStaysTwoSecondsFromItsStart) {
  TSteppingClock clock;
  TGreetingDeadline quick(clock);
  clock.Time += TClock::TTime(300);  // a start that takes 0.3 s
  EXPECT_EQ(quick.Remaining(), TClock::TTime(1700));
  quick.Wait();
  EXPECT_EQ(clock.Time, TClock::TTime(7000));

  TGreetingDeadline slow(clock);
  clock.Time += TClock::TTime(2500);
  EXPECT_EQ(slow.Remaining(), TClock::TTime(0));
  slow.Wait();
  EXPECT_EQ(clock.Time, TClock::TTime(9500));  // no extra wait after a long start
}

// The real wait keeps the event loop running: a timer fires during it.
TEST(GreetingDeadline, TheSystemClockWaitsWithTheEventLoopRunning) {
  TEventLoopClock clock;
  bool timerRan = false;
  QTimer::singleShot(0, [&] { timerRan = true; });
  const auto start = clock.Now();
  clock.WaitUntil(start + TClock::TTime(30));
  EXPECT_TRUE(timerRan);
  EXPECT_GE(clock.Now() - start, TClock::TTime(30));
  clock.WaitUntil(start);  // a deadline in the past returns at once
}

}  // namespace
