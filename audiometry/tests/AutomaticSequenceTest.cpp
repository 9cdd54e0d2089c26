// The automatic sequence over all eleven frequencies and both ears against
// the simulated listener, in process on a manual clock, for each hardware
// version and both iteration types.

#include "audiometry/link/AudioTexts.h"
#include "audiometry/tests/support/AudioWorld.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using TThresholds = TAudioSimOptions::TThresholds;

// 125 Hz may give at most 60 dB (the default "Max125"): 75 dB is never
// reached there.
const TThresholds RightEar{75.0, 23.0, -10.0, 0.0, 35.0, 40.0, 45.0, 50.0, 55.0, 60.0, 65.0};
const TThresholds LeftEar{30.0, 15.0, 5.0, 10.0, 20.0, 25.0, 33.0, 70.0, 85.0, 12.0, 23.0};

// What the method finds, worked out by hand: the lowest level on the 5 dB
// grid of the start level (40 dB) that the listener hears. Nothing for a
// threshold above what the frequency may give.
std::optional<int> OnTheGrid(std::optional<double> threshold, int maxDb) {
  if (!threshold || *threshold > maxDb)
    return std::nullopt;
  return static_cast<int>(std::ceil((*threshold - 40.0) / 5.0) * 5.0 + 40.0);
}

struct TRun {
  int Version;
  int IterationType;
  int StepTimer;  // 0: every level change is one command
};

class AutomaticSequence : public ::testing::TestWithParam<TRun> {};

TEST_P(AutomaticSequence, FindsTheListenersThresholdsOnBothEars) {
  const TRun run = GetParam();
  TTemporaryFolder folder;
  TRecordingSink sink;
  sink.Answer = IDIGNORE;  // the frequency the listener cannot hear is left out
  TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&sink);
  const auto ini = folder.Write("Halvetra.ini",
                                "[Audio]\nAlgorithm=3\nSignalMode=1\nStepTimer=" + std::to_string(run.StepTimer) +
                                    "\n[Audiometer Automatic Sequence]\nFirstEar=0\nIterationType=" +
                                    std::to_string(run.IterationType) +
                                    "\nTolerance=10\nTest0=1000\nTest1=1500\nTest2=2000\nTest3=3000\nTest4=4000\n"
                                    "Test5=6000\nTest6=8000\nTest7=750\nTest8=500\nTest9=250\nTest10=125\nTest11=1000\n");
  TAudioSimOptions options;
  options.Version = run.Version;
  options.Right = RightEar;
  options.Left = LeftEar;
  // Version 0 has no mute: a tone withdrawn to -10 dB still sounds, so its
  // listener must not hear -10 dB. The descending method never hears a miss
  // at its floor of -10 dB.
  const bool floorHeard = run.Version >= 1 && run.IterationType == 0;
  if (!floorHeard)
    options.Right[2] = 0.0;
  TAudioWorld world(texts, ini.string(), options);
  TAudioTest& test = *world.Test;
  ASSERT_TRUE(test.VerifySerialPort(true));
  ASSERT_EQ(TAudioInterrupt::HwVersion, run.Version);
  ASSERT_EQ(test.StepMode(), run.StepTimer > 0);

  test.ButtonHandler(TAudioTest::IdAutomatic);
  ASSERT_TRUE(world.RunUntil([&] { return test.SequenceRunning() && test.GetIsStart(); }, 1000));
  ASSERT_TRUE(world.RunUntil([&] { return !test.GetIsStart(); }, 4 * 3600 * 1000)) << "the sequence ends";

  const TAudioCalibration calibration;
  for (const int ear : {0, 1}) {
    const TThresholds& listener = ear == 0 ? options.Right : options.Left;
    for (int f = 0; f < AudioFrequencies; ++f) {
      const auto expected = OnTheGrid(listener[static_cast<std::size_t>(f)], calibration.Ceiling(f));
      const bool measured = test.GetFlagTable(ear, TAudioTest::Actual)[f];
      EXPECT_EQ(measured, expected.has_value()) << "ear " << ear << " " << AudioHz[static_cast<std::size_t>(f)] << " Hz";
      if (expected && measured) {
        EXPECT_EQ(test.GetTable(ear, TAudioTest::Actual)[f], *expected)
            << "ear " << ear << " " << AudioHz[static_cast<std::size_t>(f)] << " Hz";
      }
    }
  }
  // The one question: 125 Hz on the right ear reached its ceiling 20 times.
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0].Text, texts.LoadStringA(TEXT_AUDIO_CEILING));
  EXPECT_EQ(sink.Messages[0].Buttons, TMessageButtons::AbortRetryIgnore);
  EXPECT_TRUE(test.AudiogramChanged);
  EXPECT_FALSE(test.PortOpen);
}

INSTANTIATE_TEST_SUITE_P(Versions, AutomaticSequence,
                         ::testing::Values(TRun{0, 0, 0}, TRun{0, 1, 0}, TRun{1, 0, 2}, TRun{1, 1, 2}, TRun{2, 0, 2},
                                           TRun{2, 1, 2}),
                         [](const auto& info) {
                           return "Version" + std::to_string(info.param.Version) +
                                  (info.param.IterationType == 0 ? "Ascending" : "Descending");
                         });

}  // namespace
