// The cake, the calibration stick and the zero hand as state machines, on
// an injected random source and delay clock: no test waits.

#include "common/MeasureMode.h"
#include "measure/screen/MeasureAnimations.h"
#include "platform/basekit/DelayClock.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

class TNotedWaits final : public TDelayClock {
public:
  void Wait(std::chrono::milliseconds duration) override { Waits.push_back(duration.count()); }
  std::vector<long long> Waits;
};

// Answers the numbers given, then 0.
TCakeAnimation::TRandom Numbers(std::deque<unsigned> numbers) {
  return [numbers = std::move(numbers)]() mutable {
    if (numbers.empty())
      return 0u;
    const unsigned next = numbers.front();
    numbers.pop_front();
    return next;
  };
}

std::vector<std::string> Names(const TPictureDraws& draws) {
  std::vector<std::string> names;
  for (const auto& draw : draws)
    names.push_back(draw.Name);
  return names;
}

}  // namespace

TEST(CakeAnimation, WhoGetsACake) {
  const TCakeSettings on;
  struct TCase {
    short Age;
    bool Rhino;
    bool AnyPredicted;
    bool Pictures;
    short Enable;
    bool Loaded;
  };
  const std::vector<TCase> cases{{12, false, true, true, 1, true},  {13, false, true, true, 1, false},
                                 {1, false, true, true, 1, true},   {0, false, true, true, 1, false},
                                 {-3, false, true, true, 1, false}, {5, true, true, true, 1, false},
                                 {5, false, false, true, 1, false}, {5, false, true, false, 1, false},
                                 {5, false, true, true, 0, false}};
  for (const TCase& c : cases) {
    TCakeAnimation cake(Numbers({}));
    TCakeSettings settings = on;
    settings.Enable = c.Enable;
    EXPECT_EQ(cake.Load(c.Age, c.Rhino, c.AnyPredicted, c.Pictures, settings), c.Loaded) << c.Age;
  }
}

TEST(CakeAnimation, StartsOnlyForSpirometryWithAPredictedValueAndTheButtonOn) {
  TCakeSettings settings;
  TCakeAnimation cake(Numbers({}));
  ASSERT_TRUE(cake.Load(5, false, true, true, settings));
  EXPECT_FALSE(cake.Init(5, MEASURE_DFC, 4.0f, settings));
  EXPECT_FALSE(cake.Init(5, MEASURE_FVC, 0.0f, settings));
  settings.State = 0;
  EXPECT_FALSE(cake.Init(5, MEASURE_FVC, 1.5f, settings));
  EXPECT_FALSE(cake.IsShown());
  settings.State = 1;
  settings.Enable = 0;
  EXPECT_FALSE(cake.Init(5, MEASURE_FVC, 1.5f, settings));
  settings.Enable = 1;
  EXPECT_TRUE(cake.Init(5, MEASURE_MVV, 60.0f, settings));
  EXPECT_TRUE(cake.IsShown());
}

TEST(CakeAnimation, TwelveCandlesStandAtTheirRowAndAreOrPainted) {
  TCakeAnimation cake(Numbers({}));
  ASSERT_TRUE(cake.Load(12, false, true, true, {}));
  ASSERT_TRUE(cake.Init(12, MEASURE_FVC, 2.4f, {}));
  const TPictureDraws draws = cake.Draw(12);
  ASSERT_EQ(draws.size(), 13u);
  EXPECT_EQ(draws[0], (TPictureDraw{"CAKE", {321, 68}, TRasterOp::SrcCopy}));
  EXPECT_EQ(draws[1], (TPictureDraw{"CANDLE", {321 + 79, 68 + 19}, TRasterOp::SrcPaint}));
  EXPECT_EQ(draws[12], (TPictureDraw{"CANDLE", {321 + 313, 68 + 20}, TRasterOp::SrcPaint}));
  EXPECT_EQ(TCakeAnimation::CandleAt(1, 1), (TPoint{321 + 199, 68 + 20}));
  EXPECT_EQ(TCakeAnimation::CandleAt(5, 3), (TPoint{321 + 203, 68 + 39}));
}

TEST(CakeAnimation, CandlesGoOutByShareOfThePredictedValueAndNeverRelight) {
  // 100 % of a predicted FVC of 1.5 L over 5 candles: 0.3 L a candle.
  TCakeAnimation cake(Numbers({}));
  ASSERT_TRUE(cake.Load(5, false, true, true, {}));
  ASSERT_TRUE(cake.Init(5, MEASURE_FVC, 1.5f, {}));
  EXPECT_FLOAT_EQ(cake.Step(), 0.3f);
  const TPictureDraws out = cake.FlameOff(5, 2.0f, 1.35f);  // 0.65 L from the turning point
  EXPECT_EQ(Names(out), (std::vector<std::string>{"FLAME_OFF", "FLAME_OFF"}));
  EXPECT_EQ(out[1].At, TCakeAnimation::CandleAt(5, 2));
  EXPECT_EQ(cake.Candles()[0], 0);
  EXPECT_EQ(cake.Candles()[1], 0);
  EXPECT_EQ(cake.Candles()[2], 1);
  // Back near the turning point: nothing lights again, nothing is drawn.
  EXPECT_TRUE(cake.FlameOff(5, 2.0f, 2.0f).empty());
  EXPECT_EQ(cake.Candles()[0], 0);
  // A NaN sample puts nothing out.
  EXPECT_TRUE(cake.FlameOff(5, 2.0f, std::numeric_limits<float>::quiet_NaN()).empty());
  EXPECT_EQ(cake.FlameOff(5, 2.0f, 0.5f).size(), 3u);
  // Half the predicted value is enough with "PercentOfPredicted" 50.
  TCakeSettings half;
  half.Percent = 50;
  ASSERT_TRUE(cake.Init(5, MEASURE_FVC, 1.5f, half));
  EXPECT_FLOAT_EQ(cake.Step(), 0.15f);
  cake.Close();
  EXPECT_FALSE(cake.IsShown());
  EXPECT_TRUE(cake.Draw(5).empty());
}

TEST(CakeAnimation, AFlameChangesOnEveryThirteenthMessage) {
  TCakeAnimation cake(Numbers({2, 2, 7}));
  ASSERT_TRUE(cake.Load(5, false, true, true, {}));
  ASSERT_TRUE(cake.Init(5, MEASURE_FVC, 1.5f, {}));
  std::vector<int> changedAt;
  std::vector<std::string> flames;
  for (int call = 1; call <= 39; ++call) {
    const TPictureDraws draws = cake.MoveFlame(5);
    if (!draws.empty()) {
      changedAt.push_back(call);
      flames.push_back(draws[0].Name);
      EXPECT_EQ(draws[0].At, TCakeAnimation::CandleAt(5, 3));
    }
  }
  // 2, 2 and then 7 % 5 = 2: candle 3 flickers each time.
  EXPECT_EQ(changedAt, (std::vector<int>{13, 26, 39}));
  EXPECT_EQ(flames, (std::vector<std::string>{"FLAME_ON_2", "FLAME_ON_1", "FLAME_ON_2"}));
  // A candle that is out does not flicker.
  cake.FlameOff(5, 0.0f, 1.0f);  // candles 1 to 3 out
  for (int call = 0; call < 13; ++call)
    EXPECT_TRUE(cake.MoveFlame(5).empty());
}

TEST(StickAnimation, TheHandRunsDownAndUpShowingEachEndTwice) {
  TStickAnimation stick;
  ASSERT_TRUE(stick.Load(1, true));
  EXPECT_EQ(Names(stick.Init(0)), (std::vector<std::string>{"CALIB"}));
  std::vector<int> frames;
  for (int call = 0; call < 16; ++call) {
    const TPictureDraws draws = stick.Move();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].At, (TPoint{622, 68}));
    frames.push_back(draws[0].Name.back() - '0');
  }
  EXPECT_EQ(frames, (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 1, 2, 3, 4, 5, 6, 7, 7, 6}));
}

TEST(StickAnimation, PauseAndDisabling) {
  TStickAnimation stick;
  ASSERT_TRUE(stick.Load(1, true));
  stick.Init(12);
  int steps = 0;
  for (int call = 1; call <= 26; ++call)
    steps += stick.Move().empty() ? 0 : 1;
  EXPECT_EQ(steps, 2);
  TStickAnimation off;
  EXPECT_FALSE(off.Load(0, true));
  EXPECT_TRUE(off.Init(12).empty());
  EXPECT_TRUE(off.Move().empty());
  EXPECT_FALSE(off.Destroy());
  TStickAnimation noPictures;
  EXPECT_FALSE(noPictures.Load(1, false));
}

TEST(ZeroAnimation, SixHandsRiseWithTheFrameDelayBetweenThem) {
  TZeroAnimation zero;
  ASSERT_TRUE(zero.Load(1, 100, true));
  TNotedWaits clock;
  TPictureDraws shown;
  zero.Play([&](const TPictureDraw& draw) { shown.push_back(draw); }, clock);
  ASSERT_EQ(shown.size(), 7u);
  EXPECT_EQ(shown[0], (TPictureDraw{"ZEROBG", {321, 68}, TRasterOp::SrcCopy}));
  EXPECT_EQ(shown[1], (TPictureDraw{"ZEROHD1", {321, 68 + 176}, TRasterOp::SrcCopy}));
  EXPECT_EQ(shown[6], (TPictureDraw{"ZEROHD6", {321, 68 + 46}, TRasterOp::SrcCopy}));
  EXPECT_EQ(clock.Waits, (std::vector<long long>(6, 100)));
  // A repaint shows the background and the hand at its highest.
  EXPECT_EQ(zero.Redraw(), (TPictureDraws{shown[0], shown[6]}));

  TZeroAnimation quick;
  ASSERT_TRUE(quick.Load(1, 0, true));
  TNotedWaits none;
  quick.Play([](const TPictureDraw&) {}, none);
  EXPECT_TRUE(none.Waits.empty());
  EXPECT_TRUE(quick.Destroy());
  EXPECT_TRUE(quick.Redraw().empty());

  TZeroAnimation off;
  EXPECT_FALSE(off.Load(0, 100, true));
  int drawn = 0;
  off.Play([&](const TPictureDraw&) { ++drawn; }, none);
  EXPECT_EQ(drawn, 0);
}

TEST(AnimationSettings, DefaultsAndWritesOfTheIniSections) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  const TCakeSettings defaults = AnimationSettings::ReadCake(ini);
  EXPECT_EQ(defaults.State, 1);
  EXPECT_EQ(defaults.Enable, 1);
  EXPECT_EQ(defaults.Pause, 12);
  EXPECT_EQ(defaults.Percent, 100);
  EXPECT_EQ(AnimationSettings::ReadGrid(ini), 1);
  EXPECT_EQ(AnimationSettings::ReadZeroDelay(ini), 100);
  EXPECT_EQ(AnimationSettings::ReadStickPause(ini), 12);

  folder.Write("Halvetra.ini",
               "[Cake]\nEnable=0\nPercentOfPredicted=80\n[Calib]\nEnable=0\n[Zero]\nDelayBetweenHandMove=0\n");
  EXPECT_EQ(AnimationSettings::ReadCake(ini).Enable, 0);
  EXPECT_EQ(AnimationSettings::ReadCake(ini).Percent, 80);
  EXPECT_EQ(AnimationSettings::ReadCalibEnable(ini), 0);
  EXPECT_EQ(AnimationSettings::ReadZeroDelay(ini), 0);
  folder.Write("Halvetra.ini", "[Cake]\nPauseBetweenChangeOfFlame=-5\nPercentOfPredicted=0\n");
  EXPECT_EQ(AnimationSettings::ReadCake(ini).Pause, 0);
  EXPECT_EQ(AnimationSettings::ReadCake(ini).Percent, 1);
  ASSERT_TRUE(AnimationSettings::WriteGrid(ini, 0));
  ASSERT_TRUE(AnimationSettings::WriteCakeState(ini, 0));
  const std::string written = TTemporaryFolder::Read(folder / "Halvetra.ini");
  EXPECT_NE(written.find("[Grid]"), std::string::npos);
  EXPECT_EQ(AnimationSettings::ReadGrid(ini), 0);
  EXPECT_EQ(AnimationSettings::ReadCake(ini).State, 0);
}
