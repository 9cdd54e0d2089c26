// The zero and the syringe calibration as the operator runs them, on the
// instrument simulator in process: the commands, the link, the ready
// machine, the stop and what lands in the ini file.

#include "measure/tests/SimulatedCoreFixture.h"

#include "common/CommandNumbers.h"
#include "platform/framework/Profile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

constexpr float CountMlps = 8.7890625f;

class ZeroRun : public SimulatedCoreTest {
protected:
  ZeroRun() { Core.FlowZero = 12.5f; }  // the zero of an earlier read

  // The zero command as the operator gives it: the rest prompt is confirmed.
  void Zero() {
    Core.DispatchCommand(CM_ZERO);
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(4));
  }
};

TEST_F(ZeroRun, QuietOffsetAndNoisySensors) {
  struct Case {
    const char* name;
    int offsetCounts;
    int noiseCounts;
    int text;  // 0: accepted
  };
  // 420 counts are 3691 mL/s, beyond the 3600 allowed; ±25 counts are
  // ±220 mL/s, beyond the 180 a resting sensor may move.
  const Case cases[] = {{"quiet", 3, 1, 0}, {"offset", 420, 1, 5}, {"noisy", 0, 25, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSimulatorOptions options;
    options.OffsetCounts = c.offsetCounts;
    options.NoiseCounts = c.noiseCounts;
    Attach(options);
    Core.FlowZero = 12.5f;
    Core.ZeroNeeded = true;
    Core.SetZeroPending();  // the client switched the test kind
    Zero();
    EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC);
    EXPECT_EQ(Core.ZeroHands, 0) << "the zero hand is shown and removed again";
    EXPECT_EQ(Client.Sent.back().Msg, WM_SHOW_CHILD_WINDOW);
    if (c.text == 0) {
      // The mean of the last 100 samples: the offset within the noise.
      EXPECT_NEAR(Core.FlowZero, 3 * CountMlps, CountMlps);
      EXPECT_FALSE(Core.ZeroNeeded);
      EXPECT_FALSE(Core.ZeroPending);
    } else {
      EXPECT_EQ(TakeMessage(), Texts.LoadStringA(c.text) + "\n" + Texts.LoadStringA(7));
      EXPECT_TRUE(Core.ZeroNeeded);
      EXPECT_TRUE(Core.ZeroPending);
    }
  }
}

TEST_F(ZeroRun, ALinkThatStopsKeepsTheOldZeroAndTheNextStartRuns) {
  TSimulatorOptions options;
  options.Manoeuvre = "fvc";
  options.StartOnStream = true;
  options.NoiseCounts = 0;
  options.LeadInS = 4.0;  // the blast comes well after a zero read
  Attach(options);
  int polls = 0;
  Core.BetweenPolls = [&] {
    if (++polls <= 100)
      Step();
    else
      Clock->Advance(10);  // the line is silent from here
  };
  Zero();
  EXPECT_FLOAT_EQ(Core.FlowZero, 12.5f);
  EXPECT_TRUE(Core.ZeroNeeded);
  EXPECT_EQ(Core.ZeroHands, 0);
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC);

  // The line is back: the zero is read, and a trial runs on it.
  Core.BetweenPolls = [this] { Step(); };
  Zero();
  EXPECT_FALSE(Core.ZeroNeeded);
  Core.CalibrationInterval = 0;
  Core.DispatchCommand(CM_START);
  ASSERT_EQ(Core.StartId, CM_START);
  for (int k = 0; k < 1200; ++k)
    Step();
  EXPECT_GT(Core.SampleCount[MEASURE_FVC][0], 100) << "the blast is stored";
  Core.DispatchCommand(CM_STOP);
}

TEST_F(ZeroRun, WithoutAnInstrumentTheZeroIsNothingAndSaysSo) {
  Core.HasInstrument = false;
  Core.SetZeroPending();
  Zero();
  EXPECT_EQ(Core.FlowZero, 0.0f);
  EXPECT_FALSE(Core.ZeroNeeded);
  EXPECT_FALSE(Core.ZeroPending);
}

TEST_F(ZeroRun, TheBodyBoxZeroesItsTransducersBeforeTheyAreRead) {
  Core.InstrumentType = 0x11;  // a cabin: no family bits
  TSimulatorOptions options;
  options.Kind = "plethysmograph";
  options.HardwareVersion = 0x11;
  Attach(options);
  Core.ZeroNeeded = true;
  Core.DispatchCommand(CM_ZERO);  // no rest prompt: the box rests its transducers itself
  // The auto-zero: stop, zero samples (0x0004 clear), the 0x0040 pulse, run;
  // the read ends with the stop word.
  const std::vector<std::string> expected{"0xAF7F", "0xAF7B", "0xAF3B", "0xAF7B", "0xEF7B", "0xAF7F"};
  EXPECT_EQ(Rig.Words(), expected);
  EXPECT_TRUE(Rig.Logged("autozero"));
  EXPECT_NEAR(Core.FlowZero, 0.0f, 2 * CountMlps);
  EXPECT_FALSE(Core.ZeroNeeded);
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC);
}

// --- The syringe calibration of a plain spirometer --------------------------

class SyringeRun : public SimulatedCoreTest {
protected:
  SyringeRun() {
    Core.SyringeVolume = 3;
    Core.CalStrokes = 10;
    Core.FlowZero = 0.0f;
  }

  // The syringe pumped 22 times, inspiration first: the first inspiration
  // arms the start, then ten turns give the constants and ten more are the
  // check series measured with them.
  TSimulatorOptions Syringe(std::vector<double> strokeSeconds) {
    TSimulatorOptions options;
    options.Manoeuvre = "syringe";
    options.StartOnStream = true;
    options.NoiseCounts = 1;
    options.LeadInS = 0.5;
    options.Patient.SyringeL = 3.0;
    options.Patient.SyringeStrokes = 22;
    options.Patient.StrokeSeconds = std::move(strokeSeconds);
    return options;
  }

  std::string Ini() const {
    std::ifstream in(Folder / "Halvetra.ini");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  float IniFloat(const char* key, const char* section = "Calibration") const {
    const TProfile profile(section, (Folder / "Halvetra.ini").string());
    char text[64];
    profile.GetString(key, text, sizeof text, "-1");
    return std::stof(text);
  }
};

TEST_F(SyringeRun, FlowGainsBecomeTheConstantsWithTheDate) {
  TSimulatorOptions options = Syringe({2.0, 1.0, 0.5});  // three speeds
  options.InspirationGain = 0.95;  // the sensor reads inspirations 5 % low
  options.ExpirationGain = 1.04;   // and expirations 4 % high
  Attach(options);
  Core.DispatchCommand(CM_CALIBRATION);
  ASSERT_EQ(Core.StartId, CM_CALIBRATION);
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_CALIBRATION);
  EXPECT_EQ(Core.MeasureScreen, 0);
  EXPECT_EQ(Core.Sticks, 1);
  PlayUntilIdle(60000);
  ASSERT_FALSE(Core.IsRunning()) << "the twentieth turn ends the calibration";
  EXPECT_EQ(Core.StrokeCount, 20);
  EXPECT_GT(Core.StickMoves, 0) << "the stick moves until the strokes begin";
  EXPECT_EQ(Core.Sticks, 0);
  EXPECT_EQ(Core.ResultKind, 0) << "the list shows the calibration";

  // A volume read with gain g over the true 3 L is 3 g: the constant,
  // measured over true volume, is g; flows are divided by it.
  EXPECT_NEAR(IniFloat("FlowInspirationConstans"), 0.95, 0.95 * 0.005);
  EXPECT_NEAR(IniFloat("FlowExpirationConstans"), 1.04, 1.04 * 0.005);
  EXPECT_NE(Ini().find("LastDate="), std::string::npos);
  EXPECT_NE(Ini().find("LastTime="), std::string::npos);
  // The check series, measured with them, meets the syringe.
  EXPECT_NEAR(Core.SyringeStrokeVolumes[0], 3.0, 3.0 * 0.01);
  EXPECT_NEAR(Core.SyringeStrokeVolumes[1], 3.0, 3.0 * 0.01);

  // The next start brings the measuring screen back.
  Core.CalibrationInterval = 0;
  Core.SetMeasureMode(MEASURE_FVC);
  Core.DispatchCommand(CM_START);
  EXPECT_EQ(Core.MeasureScreen, 1);
  EXPECT_EQ(Core.ResultKind, 1);
  Core.DispatchCommand(CM_STOP);
}

TEST_F(SyringeRun, ANonlinearSensorFailsTheCheckAndStoresNothing) {
  // Slow strokes for the constants, fast ones for the check: a sensor whose
  // gain grows with flow reads the fast strokes some 8 % larger.
  TSimulatorOptions options = Syringe({2.0, 0.5});
  options.Nonlinearity = 0.02;
  Attach(options);
  Core.DispatchCommand(CM_CALIBRATION);
  PlayUntilIdle(60000);
  ASSERT_FALSE(Core.IsRunning());
  const std::string message = TakeMessage();
  EXPECT_EQ(message.rfind(Texts.LoadStringA(9210).substr(0, 40), 0), 0u) << message;
  EXPECT_EQ(Ini(), "");
  EXPECT_EQ(Core.InspFactor, 1.0f);
  EXPECT_EQ(Core.ExpFactor, 1.0f);
}

TEST_F(SyringeRun, ADueCalibrationComesBeforeTheStart) {
  Attach(Syringe({1.0}));
  Core.CalibrationInterval = 24;
  Sink.Answer = IDYES;  // the reminder: calibrate now
  Core.DispatchCommand(CM_START);
  EXPECT_FALSE(TakeMessage().empty());
  EXPECT_EQ(Core.StartId, CM_CALIBRATION);
  Core.DispatchCommand(CM_STOP);
  EXPECT_EQ(TakeMessage(), Texts.Format(20, {"10"}));
}

TEST_F(SyringeRun, AnInstrumentOfAnotherFamilyHasNoCalibrationHere) {
  Core.InstrumentType = 0x80;
  Core.DispatchCommand(CM_CALIBRATION);
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(9000));
  EXPECT_FALSE(Core.IsRunning());
}

// --- The diffusion unit: strokes, then its pressure lines ---------------------

class DiffusionLinesRun : public SyringeRun {
protected:
  DiffusionLinesRun() {
    Core.InstrumentType = 0x70;
    Core.SetInstrument(3);
    Core.CalStrokes = 6;
    Core.Diffusion.OriginalCoConcentration = 0.3f;
    Core.Diffusion.OriginalHeConcentration = 4.8f;
    Core.Diffusion.HeLsbCorrection = 100.0f / 106.0f;  // the newer helium board's default
  }

  // Six strokes for the constants, two through the gas path, six to check,
  // and the inspiration that arms the start and the one that ends it.
  TSimulatorOptions Unit() {
    TSimulatorOptions options = Syringe({1.0});
    options.Kind = "diffusion";
    options.HardwareVersion = 0x70;
    options.Patient.SyringeStrokes = 18;
    return options;
  }

  // The calibration up to its end, the lines' prompt confirmed.
  void Calibrate() {
    Core.DispatchCommand(CM_CALIBRATION);
    ASSERT_EQ(Core.StartId, CM_CALIBRATION);
    PlayUntilIdle(20000);
    ASSERT_FALSE(Core.IsRunning());
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(444));
  }
};

TEST_F(DiffusionLinesRun, TheStrokesGoThroughTheGasPathThenTheLinesAreTested) {
  Attach(Unit());
  Core.DispatchCommand(CM_CALIBRATION);
  // Until the Fleisch line's pump-up begins, after the instrument's zero.
  for (int k = 0; k < 20000 && Core.TestMode != 1 && Core.IsRunning(); ++k)
    Step();
  EXPECT_EQ(Core.StrokeCount, 16);
  EXPECT_EQ(Core.TestMode, 1) << "the Fleisch line is pumped up";
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(444));
  const std::vector<std::uint16_t> words = Device->WrittenWords();
  // The instrument's zero, the gas path twice and back each time, the line test.
  const std::vector<std::uint16_t> expected{0xEF3F, 0xEF7F, 0xEF62, 0xEF7F, 0xEF62, 0xEF7F, 0xEB7F, 0xEB3F};
  ASSERT_GE(words.size(), expected.size());
  EXPECT_EQ(std::vector<std::uint16_t>(words.begin(), words.begin() + 8), expected);
  Core.DispatchCommand(CM_STOP);
  Sink.Messages.clear();  // the end of an interrupted calibration is not the point here
}

TEST_F(DiffusionLinesRun, ALeakyLineOrAStuckPumpStoresNothingAndSaysWhich) {
  struct Case {
    const char* name;
    double leakPercent;
    bool stuck;
    int text;
  };
  // A line that loses 30 % of its pressure in the 15-s hold loses
  // 30 % of what it held: truncated, 29 or 30, beyond the 20 allowed.
  const Case cases[] = {{"leaky Fleisch line", 30.0, false, 447}, {"stuck pump", 4.9, true, 451}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSimulatorOptions options = Unit();
    options.LineLeakPercent = c.leakPercent;
    options.StuckPump = c.stuck;
    Attach(options);
    Calibrate();
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(c.text));
    EXPECT_EQ(Ini(), "");
    if (c.text == 447) {
      EXPECT_GE(Core.FleischPressureLoss, 29);
      EXPECT_LE(Core.FleischPressureLoss, 30);
    }
  }
}


// --- The diffusion unit's whole calibration -----------------------------------

class DiffusionCalibrationRun : public DiffusionLinesRun {
protected:
  static constexpr const char* Section = "CalibrationOfDiffusionCapacity";

  // The operator's prompts in the order the calibration gives them: the
  // lines' test and the wash-out of the gas path.
  void CalibrateThrough(int limit) {
    Core.DispatchCommand(CM_CALIBRATION);
    ASSERT_EQ(Core.StartId, CM_CALIBRATION);
    PlayUntilIdle(limit);
    ASSERT_FALSE(Core.IsRunning());
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(444));
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(452));
  }

  // The words of the simulator's log, in the order it received them.
  std::vector<std::string> Words() const {
    std::vector<std::string> words;
    for (const std::string& line : Log())
      if (line.rfind("word ", 0) == 0)
        words.push_back(line.substr(5));
    return words;
  }
};

TEST_F(DiffusionCalibrationRun, TheWholeCalibrationStoresTheFlowAndGasConstants) {
  TSimulatorOptions options = Unit();
  options.InspirationGain = 0.95;
  options.ExpirationGain = 1.04;
  options.GasPathGain = 0.92;
  options.Analyser.HeliumGain = 1.03;
  options.Analyser.CoGain = 0.96;
  Attach(options);
  CalibrateThrough(60000);

  // Each flow constant is what the sensor reads over the true volume: its
  // gain. Each gas constant is the analyser's reading of the bottle's gas
  // over the bottle's concentration: 4.8 % He read as 4.944 %, 0.3 % CO as
  // 0.288 %, which is the gain again.
  EXPECT_NEAR(IniFloat("FlowInspirationConstans", Section), 0.95, 0.95 * 0.005);
  EXPECT_NEAR(IniFloat("FlowExpirationConstans", Section), 1.04, 1.04 * 0.005);
  EXPECT_NEAR(IniFloat("FlowInspirationConstansWithGas", Section), 0.92, 0.92 * 0.005);
  EXPECT_NEAR(IniFloat("HEConstans", Section), 1.03, 1.03 * 0.01);
  EXPECT_NEAR(IniFloat("COConstans", Section), 0.96, 0.96 * 0.01);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("[CalibrationOfDiffusionCapacity]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastDate="), std::string::npos);
  EXPECT_NE(ini.find("LastTime="), std::string::npos);
  // The gas path's strokes read 0.92 × 3 L; over their constant, rounded to
  // 0.92, the list and the printout give the syringe's 3000 ml.
  CALIB_PARAMS shown;
  Core.SetCalibParams(shown);
  EXPECT_NEAR(shown.M3, 3000.0f, 3000.0f * 0.005f);
  // The lines lose 4.9 % in their hold: truncated, 4.
  EXPECT_NE(ini.find("FleischPressureLoss=4"), std::string::npos) << ini;
  EXPECT_NE(ini.find("BalloonPressureLoss=4"), std::string::npos) << ini;

  // The instrument heard the steps in their order: zero, strokes through
  // the gas path, the Fleisch line pumped and closed, the wash-out at high
  // then low speed, the delay, the balloon line closed, the analysis.
  const std::vector<std::string> expected{"0xEF3F", "0xEF62", "0xEB7F", "0xEB5E", "0xEB7F", "0xE85E",
                                          "0xEA4F", "0xEF7F", "0xEB4F", "0xEE4F"};
  const std::vector<std::string> words = Words();
  auto at = words.begin();
  for (const std::string& word : expected) {
    at = std::find(at, words.end(), word);
    ASSERT_NE(at, words.end()) << word << " missing or out of order";
  }
}

// One window calibrates again after a failed calibration: the second
// measures its strokes afresh.
TEST_F(DiffusionCalibrationRun, ABagThatNeverEmptiesOrAGasOutOfRangeStoresNothing) {
  struct Case {
    const char* name;
    bool bagStuck;
    double heliumGain;
    int text;
  };
  const Case cases[] = {{"bag never empties", true, 1.0, 453}, {"helium reads far too high", false, 1.6, 449}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSimulatorOptions options = Unit();
    options.BagNeverEmpties = c.bagStuck;
    options.Analyser.HeliumGain = c.heliumGain;
    Attach(options);
    CalibrateThrough(80000);
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(c.text));
    EXPECT_EQ(Ini(), "");
  }
}

}  // namespace
