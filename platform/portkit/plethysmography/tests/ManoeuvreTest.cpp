#include "platform/portkit/plethysmography/Manoeuvre.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace plethysmography {
namespace {

TEST(BreathStart, AnInspirationThenAnExpirationOfSixtyMillilitresASecond) {
  BreathStart never;
  for (int i = 0; i < 100; ++i)
    EXPECT_FALSE(never.Feed(i % 2 == 0 ? 59.0 : -200.0)) << "+59 mL/s never arms the start";

  BreathStart start;
  EXPECT_FALSE(start.Feed(-300.0));  // an expiration before any inspiration
  EXPECT_FALSE(start.Feed(60.0));    // armed
  EXPECT_FALSE(start.Feed(400.0));
  EXPECT_FALSE(start.Feed(-59.0));
  EXPECT_TRUE(start.Feed(-60.0));    // the first sample kept
  EXPECT_TRUE(start.Feed(0.0));
  EXPECT_TRUE(start.Begun());
}

// Breaths of 200 samples whose inspirations start at samples 200k + 1;
// once the shutter is closed, panting of 50 samples whose mouth pressure
// turns down through zero 13 samples after the closure and every 50 after.
struct TestRun {
  std::vector<std::uint16_t> words;
  std::vector<int> sentAt;  // the sample of each word
  Manoeuvre m;
  float previousFlow = 0.0f;
  float previousMouth = 0.0f;

  TestRun(int rate, std::vector<int> glitches = {}) : m({4, 4, rate}, 0xEF7D) {
    m.RequestShutter();
    for (int i = 0; i < 4000 && !m.Ended(); ++i) {
      float flow = static_cast<float>(std::sin(2.0 * std::numbers::pi * (i - 0.5) / 200.0));
      for (const int g : glitches)
        if (i == g)
          flow = -flow;  // one sample against the breath
      float mouth = 0.0f;
      if (m.TgvStartMark() != 0) {
        flow = 0.0f;
        mouth = static_cast<float>(std::cos(2.0 * std::numbers::pi * (i - m.TgvStartMark()) / 50.0));
      }
      if (i > 1) {
        const std::vector<std::uint16_t> sent =
            m.Feed({static_cast<std::uint16_t>(i), previousFlow, flow, previousMouth, mouth, 1.0f * i, 0.01f * i});
        words.insert(words.end(), sent.begin(), sent.end());
        sentAt.insert(sentAt.end(), sent.size(), i);
      }
      previousFlow = flow;
      previousMouth = mouth;
    }
  }
};

TEST(Manoeuvre, MarksAndWordsOfAWholeTest) {
  // The first inspiration after the request clears 0x0010 (201); three more
  // (401, 601, 801) start the loops at 800; four loops end at 1601 (0x0010
  // set, then nothing read for 100 samples); 1801 clears it again (100
  // more); two more breaths (2001, 2201) and the shutter closes at the
  // third, 2401: TGV from 2402. Five panting crossings later (2415 + 4 ×
  // 50) the shutter opens at 2615.
  struct Case {
    int rate;
    std::vector<std::uint16_t> words;
  };
  const Case cases[] = {
      {40, {0xEF6D, 0xEF7D, 0xEF6D, 0xEF6C, 0xEF6D}},
      {69, {0xEF6D, 0xEF7D, 0xEF6D, 0xEF6C, 0xEF6D}},
      {70, {0xEF6F, 0xEF7F, 0xEF6F, 0xEF6E, 0xEF6F}},  // bit 0x0002 set in the loops
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    const TestRun run(c.rate);
    EXPECT_EQ(run.words, c.words);
    EXPECT_EQ(run.m.ResistanceStartMark(), 800);
    EXPECT_EQ(run.m.ResistanceEndMark(), 1601);
    EXPECT_EQ(run.m.TgvStartMark(), 2402);
    EXPECT_EQ(run.m.EndMark(), 2615);
    EXPECT_FLOAT_EQ(run.m.FirstBoxPressureForResistance(), 801.0f);
    EXPECT_FLOAT_EQ(run.m.FirstBoxPressureForTgv(), 2401.0f);
    EXPECT_FLOAT_EQ(run.m.LiveVolumeZero(), 24.01f);
  }
}

TEST(Manoeuvre, EventsTooSoonAfterTheLastAreNotRead) {
  // One sample against the breath makes an inspiration start: inside an
  // inspiration the sample after it, inside an expiration the sample
  // itself. The words go out at the samples listed.
  struct Case {
    const char* name;
    int glitch;
    std::vector<int> sentAt;
  };
  const std::vector<int> undisturbed{201, 1601, 1801, 2401, 2615};
  const Case cases[] = {
      {"none", -1, undisturbed},
      {"within 10 samples of an inspiration start", 806, undisturbed},
      // An extra loop at 812: the loops end a breath early, at 1401.
      {"11 samples after it", 811, {201, 1401, 1601, 2201, 2415}},
      {"within 100 samples of the loops' end", 1690, undisturbed},
      // Read at 1750, the toggle back hides 1801 (within 100 of it).
      {"150 samples after the loops' end", 1750, {201, 1601, 1750, 2401, 2615}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TestRun(40, {c.glitch}).sentAt, c.sentAt);
  }
}

TEST(Manoeuvre, NothingBeforeTheShutterIsAskedFor) {
  Manoeuvre m({4, 4, 40}, 0xEF7D);
  float before = 0.0f;
  for (int i = 2; i < 2000; ++i) {
    const float flow = static_cast<float>(std::sin(2.0 * std::numbers::pi * (i - 0.5) / 200.0));
    EXPECT_TRUE(m.Feed({static_cast<std::uint16_t>(i), before, flow, 0.0f, 0.0f, 0.0f, 0.0f}).empty());
    before = flow;
  }
  EXPECT_EQ(m.ResistanceStartMark(), 0);
  EXPECT_EQ(m.Word(), 0xEF7D);
}

}  // namespace
}  // namespace plethysmography
