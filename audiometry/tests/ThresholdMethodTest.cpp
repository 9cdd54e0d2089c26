// The methods' decisions, driven presentation by presentation without an
// audiometer (demonstration mode): a scripted listener answers each level.

#include "audiometry/link/AudioTexts.h"
#include "common/CommandNumbers.h"
#include "audiometry/tests/support/AudioWorld.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

void Deliver() {
  for (int round = 0; round < 8; ++round)
    QCoreApplication::sendPostedEvents();
}

class ThresholdMethod : public ::testing::Test {
protected:
  ThresholdMethod() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
  }
  TAudioTest& Make(const std::string& ini) {
    Test = std::make_unique<TAudioTest>(&Texts, Folder.Write("Halvetra.ini", ini).string(), Host, View);
    Test->Install = false;
    Test->TestDemo();
    return *Test;
  }
  // Presents until the test stops; `hears(frequency, ear, db)` is the
  // listener. Every presented level is kept.
  void Drive(const std::function<bool(int, int, int)>& hears, int limit = 5000) {
    Deliver();
    for (int i = 0; i < limit && Test->GetIsStart(); ++i) {
      auto& s = TAudioTest::Statics();
      if (s.IsActive) {
        Presented.push_back(s.ActualDB);
        if (hears(s.ActualFreq, s.ActualEar, s.ActualDB))
          Test->CmReady(0x40, 0);
        else
          Test->EvTimer(2);
        Deliver();
      }
      if (Test->GetIsStart())
        Test->EvTimer(3);
      Deliver();
    }
    ASSERT_FALSE(Test->GetIsStart()) << "the test ends by itself";
  }
  int Threshold(int frequency, int ear = 0) {
    return Test->GetFlagTable(ear, TAudioTest::Actual)[frequency] ? Test->GetTable(ear, TAudioTest::Actual)[frequency]
                                                                     : -999;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TManualAudioHost Host;
  TRecordingView View;
  std::unique_ptr<TAudioTest> Test;
  std::vector<int> Presented;
};

// The listener's threshold changes from ascent to ascent; the method takes
// the first level heard on N ascents, within R responses.
TEST_F(ThresholdMethod, AscentsAgreeOrTheTestGivesUp) {
  struct Case {
    std::string name;
    int algorithm;
    std::string sequence;  // the "Audiometer Automatic Sequence" keys
    std::vector<int> perAscent;
    int threshold;         // -999: none
    std::string message;
  };
  const Case cases[] = {
      {"three of four at 40", 1, "", {40, 45, 40, 40}, 40, ""},
      {"five different", 1, "", {20, 25, 30, 35, 40}, -999, Texts.Format(TEXT_AUDIO_NO_CONSISTENT_LEVEL, {"3"})},
      {"two equal wanted", 1, "NumberOfEqualSoundLevels=2\n", {35, 45, 35}, 35, ""},
      // Below 1 reads as 1; more equal levels than responses reads as the responses.
      {"N and R below 1", 1, "NumberOfEqualSoundLevels=0\nNumberOfRepetition=0\n", {45}, 45, ""},
      {"N above R", 1, "NumberOfEqualSoundLevels=9\nNumberOfRepetition=2\n", {30, 30}, 30, ""},
      {"descending", 2, "", {23}, 25, ""},
      {"descending, three of four", 2, "", {40, 35, 40, 40}, 40, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sink.Messages.clear();
    TAudioTest& test = Make("[Audio]\nAlgorithm=" + std::to_string(c.algorithm) +
                            "\nSignalMode=1\n[Audiometer Automatic Sequence]\n" + c.sequence);
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    Drive([&](int, int, int db) {
      const std::size_t ascent = std::min(test.Responses().size(), c.perAscent.size() - 1);
      return db >= c.perAscent[ascent];
    });
    EXPECT_EQ(Threshold(4), c.threshold);
    if (c.message.empty()) {
      EXPECT_TRUE(Sink.Messages.empty());
    } else {
      ASSERT_EQ(Sink.Messages.size(), 1u);
      EXPECT_EQ(Sink.Messages[0].Text, c.message);
    }
  }
}

// Presented levels stay within the floor (-15 dB ascending, -10 dB other
// methods) and the ceiling (110 dB, or the frequency's maximum when lower);
// the 20th hit stops the test before that presentation.
TEST_F(ThresholdMethod, LevelsStayWithinFloorAndCeiling) {
  struct Case {
    int algorithm;
    int frequency;
    bool hears;
    int lowest, highest;  // presented
    int text;
  };
  const Case cases[] = {
      {1, 4, true, -15, 40, TEXT_AUDIO_FLOOR},  {1, 4, false, 40, 100, TEXT_AUDIO_CEILING},
      {2, 4, true, -10, 40, TEXT_AUDIO_FLOOR},  {2, 0, false, 40, 60, TEXT_AUDIO_CEILING},
      {1, 9, false, 40, 90, TEXT_AUDIO_CEILING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.algorithm * 100 + c.frequency);
    Sink.Messages.clear();
    Presented.clear();
    TAudioTest& test = Make("[Audio]\nAlgorithm=" + std::to_string(c.algorithm) + "\nSignalMode=1\n");
    test.ButtonHandler(TAudioTest::IdFrequency0 + static_cast<unsigned>(c.frequency));
    Drive([&](int, int, int) { return c.hears; });
    EXPECT_EQ(*std::min_element(Presented.begin(), Presented.end()), c.lowest);
    EXPECT_EQ(*std::max_element(Presented.begin(), Presented.end()), c.highest);
    // 19 clamped presentations (the 20th clamp stops the test before it
    // sounds), and one more when a step lands on the bound itself.
    const auto atBound = std::count(Presented.begin(), Presented.end(), c.hears ? c.lowest : c.highest);
    EXPECT_TRUE(atBound == 19 || atBound == 20) << atBound;
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(c.text));
    EXPECT_EQ(Threshold(c.frequency), -999);
  }
}

// The list 1000, 2000, 1000 Hz: the second 1000 Hz is the retest, compared
// with the first within the tolerance of 10 dB.
TEST_F(ThresholdMethod, TheRetestIsComparedWithTheFirstTest) {
  struct Case {
    int retest;  // the listener's threshold at the retest
    int stored;  // the right ear's 1000 Hz threshold after it
    std::string message;
    int buttons;
  };
  const Case cases[] = {
      {30, 30, "", 0},
      {40, 40, "", 0},
      {25, 40, Texts.Format(TEXT_AUDIO_RETEST_HIGHER, {"10"}), 1},
      {55, 40, Texts.Format(TEXT_AUDIO_RETEST_LOWER, {"10"}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.retest);
    Sink.Messages.clear();
    Sink.Answer = IDCANCEL;
    TAudioTest& test = Make(
        "[Audio]\nAlgorithm=3\nSignalMode=1\n[Audiometer Automatic Sequence]\nTolerance=10\nTest0=1000\nTest1=2000\n"
        "Test2=1000\nTest3=\nTest4=\nTest5=\nTest6=\nTest7=\nTest8=\nTest9=\nTest10=\nTest11=\n");
    ASSERT_EQ(test.GetSequence().RetestFrequency, 4);
    test.ButtonHandler(TAudioTest::IdAutomatic);
    std::vector<int> ears;
    Drive([&](int, int ear, int db) {
      if (ears.empty() || ears.back() != ear)
        ears.push_back(ear);
      const int thresholds[] = {40, 30, c.retest};
      return db >= thresholds[test.SequenceIndex()];
    });
    EXPECT_EQ(Threshold(4, 0), c.stored);
    EXPECT_EQ(Threshold(6, 0), 30);
    if (c.message.empty()) {
      EXPECT_TRUE(Sink.Messages.empty());
      EXPECT_EQ(ears, (std::vector<int>{0, 1})) << "the ear switches once, then the test stops";
      EXPECT_EQ(Threshold(4, 1), c.stored);
    } else {
      ASSERT_EQ(Sink.Messages.size(), 1u);
      EXPECT_EQ(Sink.Messages[0].Text, c.message);
      EXPECT_EQ(Sink.Messages[0].Buttons, TMessageButtons::RetryCancel);
      EXPECT_EQ(Sink.Messages[0].DefaultButton, 2);
      EXPECT_EQ(ears, (std::vector<int>{0}));
    }
  }
}

// Each answer byte alone: "ready" wins over the button bit; anything else
// without the button bit is no response.
TEST_F(ThresholdMethod, OnlyTheButtonBitIsAResponse) {
  struct Case {
    unsigned answer;
    bool response;
    bool ready;
  };
  const Case cases[] = {{0x40, true, false}, {0x60, false, true}, {0x20, false, true},
                        {0x00, false, false}, {0x13, false, false}, {0x81, false, false}, {0x9F, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    TAudioTest& test = Make("[Audio]\nAlgorithm=0\nSignalMode=0\n");
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    Deliver();
    ASSERT_TRUE(test.GetIsStart());
    test.CmReady(c.answer, 0);
    EXPECT_EQ(Threshold(4), c.response ? 40 : -999);
    EXPECT_EQ(test.PatientButton() != 0, c.response);
    test.CmStop();
  }
}

// A normal ear at 0 dB is an audiogram: the measured flags decide whether
// the last one becomes the previous one when a new test starts.
TEST_F(ThresholdMethod, AStartKeepsTheLastAudiogramAsThePreviousOne) {
  struct Case {
    bool actualFlag, previousFlag, changed;
    bool moved;
  };
  const Case cases[] = {{true, false, false, true}, {true, true, false, false}, {true, false, true, false},
                        {false, false, false, false}};
  for (const Case& c : cases) {
    TAudioTest& test = Make("");
    test.GetFlagTable(1, TAudioTest::Actual)[4] = c.actualFlag;  // 0 dB, measured
    test.GetFlagTable(0, TAudioTest::Previous)[2] = c.previousFlag;
    test.AudiogramChanged = c.changed;
    test.ClearActBuffer();
    EXPECT_EQ(test.GetFlagTable(1, TAudioTest::Previous)[4], c.moved);
    EXPECT_EQ(test.GetFlagTable(1, TAudioTest::Actual)[4], c.actualFlag && !c.moved);
  }
}

TEST_F(ThresholdMethod, SettingsAreReadWithTheirDefaultsAndLimits) {
  // The sequence: values that are no test frequency are skipped, an empty
  // key is no item, and the first item met again is the retest.
  TAudioTest& test = Make(
      "[Audio]\nOneStep=0\nStepTimer=0\n[Audiometer Automatic Sequence]\nNumberOfEqualSoundLevels=7\n"
      "NumberOfRepetition=5\nTest0=1000\nTest1=1234\nTest2=2000\nTest3=abc\nTest4=1000\nTest5=\nTest6=\nTest7=\n"
      "Test8=\nTest9=\nTest10=\nTest11=8000\n");
  EXPECT_EQ(test.GetSequence().Tests, (std::vector<int>{4, 6, 4, 10}));
  EXPECT_EQ(test.GetSequence().RetestFrequency, 4);
  EXPECT_EQ(test.GetSequence().EqualLevels(), 5);
  EXPECT_EQ(TAudioTest::Statics().OneStep, 1);
  EXPECT_FALSE(test.CreateStepTimer()) << "StepTimer below 1: no step mode";

  // Without any of the keys: the default sequence of eleven items with the
  // retest at 1000 Hz.
  TAudioTest& plain = Make("");
  EXPECT_EQ(plain.GetSequence().Tests, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 4, 2, 1, 0}));
  EXPECT_EQ(plain.GetSequence().RetestFrequency, 4);
  EXPECT_TRUE(plain.CreateStepTimer());
  plain.KillStepTimer();

  // The level law by hand (no "SPL" section: the built-in corrections).
  struct Case {
    std::string spl;
    double db;
    int frequency;
    int level;
  };
  const Case cases[] = {
      {"", 40, 4, 102},                      // int(47 * 255 / 130 + 10) = int(102.19)
      {"", -10, 4, 4},                       // int(-3 * 1.9615 + 10) = int(4.12)
      {"", -60, 4, 0},                       // below the range
      {"", 110, 0, 255},                     // (110 + 45) * 1.9615 + 10 = 314: saturated, not 58
      {"[SPL]\nMax=110\n", 40, 4, 109},      // int(47 * 255 / 120 + 10) = int(109.88)
      {"[SPL]\n1000=8.0\n", 40, 4, 104},     // int(48 * 1.9615 + 10) = int(104.15)
  };
  for (const Case& c : cases) {
    TAudioTest& withSpl = Make(c.spl);
    EXPECT_EQ(withSpl.GetCalibration().LevelByte(c.db, c.frequency), c.level) << c.spl << c.db;
  }
  EXPECT_EQ(Make("").GetCalibration().Ceiling(0), 60);
  EXPECT_EQ(Make("[SPL]\nMax1000=120\n").GetCalibration().Ceiling(4), 110);
}

// The level field takes -10 to 110 dB; while a test runs it refuses what
// the frequency cannot give, and a frequency gadget is enabled only for a
// level its earphone can give (125 Hz up to 60 dB by default).
TEST_F(ThresholdMethod, TheLevelFieldAndTheGadgetsKeepToTheFrequencysLimits) {
  TAudioTest& test = Make("[Audio]\nAlgorithm=0\nSignalMode=0\n");
  struct Field {
    int typed, shown;
  };
  for (const Field f : {Field{115, 110}, Field{-20, -10}, Field{45, 45}, Field{110, 110}}) {
    test.UpDownVolumeChange(f.typed);
    EXPECT_EQ(View.FieldDb, f.shown) << f.typed;
  }
  struct Gadget {
    int db, frequency;
    bool enabled;
  };
  for (const Gadget g : {Gadget{60, 0, true}, Gadget{65, 0, false}, Gadget{100, 4, true}, Gadget{105, 4, false},
                         Gadget{-10, 0, true}, Gadget{90, 10, true}, Gadget{95, 10, false}}) {
    View.FieldDb = g.db;
    EXPECT_EQ(test.FrequencyEnabled(g.frequency), g.enabled) << g.db << " dB at index " << g.frequency;
  }

  View.FieldDb = 40;
  test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
  Deliver();
  ASSERT_TRUE(test.GetIsStart());
  test.UpDownVolumeChange(105);  // above 1000 Hz's 100 dB while the tone may sound
  EXPECT_EQ(View.FieldDb, 40);
  test.CmChangeUpDownVolume(CM_AUDIO_LEVEL_UP);
  EXPECT_EQ(View.FieldDb, 45);
  Deliver();
  EXPECT_EQ(TAudioTest::Statics().ActualDB, 45) << "presented again at the new level";
  test.CmChangeFreq(CM_AUDIO_NEXT_FREQUENCY);
  Deliver();
  EXPECT_EQ(TAudioTest::Statics().ActualFreq, 5);
  test.CmStop();

  // Without a device nothing can be started.
  TAudioTest& absent = Make("[Audio]\nAlgorithm=3\n");
  absent.DevicePresent = false;
  EXPECT_FALSE(absent.FrequencyEnabled(4));
  EXPECT_FALSE(absent.AutomaticEnabled());
  EXPECT_FALSE(absent.StopEnabled());
}

// A method other than manual presents timed; a signal mode other than
// timed is the manual method's. The frame hears of each forced change.
TEST_F(ThresholdMethod, MethodAndSignalModeForceEachOther) {
  TAudioTest& test = Make("[Audio]\nAlgorithm=3\nSignalMode=1\n");
  test.CmChangeSignalMode(CM_SIGNAL_MODE3);
  EXPECT_EQ(test.GetAlgorithm(), TAudioTest::Manual);
  EXPECT_EQ(test.GetSignalMode(), TAudioTest::Pulsed);
  test.CmChangeAlgorithm(CM_ALGORITHM2);
  EXPECT_EQ(test.GetSignalMode(), TAudioTest::Timed);
  test.SetAlgorithm(TAudioTest::Descending);
  test.SetAlgorithm(TAudioTest::Manual);
  EXPECT_EQ(View.Notices, (std::vector<std::pair<unsigned, int>>{{WM_ALGORITHM_CHANGED, 0},
                                                                 {WM_SIGNAL_MODE_CHANGED, 1},
                                                                 {WM_SIGNAL_MODE_CHANGED, 1},
                                                                 {WM_ALGORITHM_CHANGED, 2},
                                                                 {WM_ALGORITHM_CHANGED, 0}}));
  EXPECT_TRUE(test.MethodEnabled(CM_ALGORITHM4));
  TAudioTest& empty = Make(
      "[Audiometer Automatic Sequence]\nTest0=\nTest1=\nTest2=\nTest3=\nTest4=\nTest5=\nTest6=\nTest7=\nTest8=\n"
      "Test9=\nTest10=\nTest11=\n");
  EXPECT_FALSE(empty.MethodEnabled(CM_ALGORITHM4)) << "an empty sequence cannot be chosen";
}

}  // namespace
