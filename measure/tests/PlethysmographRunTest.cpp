// The body-box test and its calibration as the operator runs them, on the
// simulated box in process: the start, the door, the thermal settling, the
// BTPS sensors, the zero, the loops, the shutter and the panting, with the
// words the box received; the leak test and the pump swing of a
// calibration and what lands in the ini file.

#include "measure/tests/SimulatedCoreFixture.h"
#include "measure/tests/BoxModelPatient.h"

#include "measure/report/PainterCurves.h"
#include "measure/report/TestPrintout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PressureChart.h"
#include "platform/basekit/PrintCanvas.h"
#include "testing/RecordingSurface.h"

#include "common/CommandNumbers.h"
#include "platform/framework/Profile.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/plethysmography/BoxEvaluation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace plethysmography;

class BoxRun : public SimulatedCoreTest {
protected:
  BoxRun() : SimulatedCoreTest(MEASURE_PLETHY) {
    Core.InstrumentType = 0x11;  // the body box, sensors on the wide scale
    Core.SetInstrument(4);
    Core.MetronomEnable = 0;     // its words would stand between the box's
    Core.ReferenceIvc = 4.4f;    // a VC trial was shown
    Core.PredictedData.Weight = 75;
    Core.ApplySettings(BoxModelSettings());
  }

  void Start() {
    Attach(Options);
    Core.DispatchCommand(CM_START);
    ProcessPosted();
    ASSERT_EQ(Core.StartId, CM_START);
  }

  // Plays until the panting is over and the patient has breathed out to RV
  // and in to TLC, the operator giving the shutter command once the breath
  // has begun; then the operator stops.
  void PlayTrial() {
    long ended = -1;
    Rig.PlayWhile(
        [&] {
          if (TMeasureInterrupt::FlagBegin && !Core.ShutterRequested && TMeasureInterrupt::TestMode == 0)
            Core.CmShutter();
          if (ended < 0 && Core.EndMark != 0)
            ended = Rig.Steps();
          return Core.IsRunning() && (ended < 0 || Rig.Steps() < ended + 1300);
        },
        30000);
    if (Core.IsRunning())
      Core.DispatchCommand(CM_STOP);
  }

  TSimulatorOptions Options = BoxModelOptions(25.0);
};

TEST_F(BoxRun, AWholeTestGivesTheModelPatientBack) {
  Start();
  EXPECT_EQ(TMeasureInterrupt::TestMode, StepBoxDoor) << "the box was never settled";
  PlayTrial();
  ASSERT_FALSE(Core.IsRunning());
  ASSERT_NE(Core.EndMark, 0) << "the panting ended";
  EXPECT_FALSE(Core.DoorFlag);
  EXPECT_EQ(Core.HandlerStep, 50) << "the handler's samples made the trial";

  // The words, each once where it repeats: the polled BTPS reading (request,
  // then breathing), the BTPS sensors during the test and back, the
  // auto-zero (stop, zero samples, pulse 0x0040 low and high, run), the
  // zero's end (0x0004 set, breathing), the loops (0x0010 cleared), their
  // end (set), the toggle back (cleared), the shutter closed (0x0001
  // cleared), opened; at the stop the polled reading with the stop word.
  const std::vector<std::string> expected{"0xEB7F", "0xEF7D", "0xEB7D", "0xEF7D", "0xAF7F", "0xAF7B", "0xAF3B",
                                          "0xAF7B", "0xEF7B", "0xEF7F", "0xEF7D", "0xEF6D", "0xEF7D", "0xEF6D",
                                          "0xEF6C", "0xEF6D", "0xEB7F", "0xAF7F"};
  EXPECT_EQ(Rig.Words(), expected);
  EXPECT_EQ(Rig.CountLogged("shutter closed"), 1);
  EXPECT_EQ(Rig.CountLogged("shutter opened"), 1);

  // The sensors' values came through: 25 °C settles for (37 - 25) × 2 + 30
  // = 54 s, and the box air is the room's.
  const BoxAir air = Core.BoxAirNow();
  EXPECT_NEAR(air.temperatureC, 25.0, 0.05);
  EXPECT_NEAR(air.pressureHpa, 1013.0, 0.7);
  EXPECT_NEAR(air.humidityPercent, 50.0, 0.05);

  // The window's evaluation at the stop. The model: FRC (TGV) 3.2 L, RV
  // 1.6 L, TLC = RV + IVC = 1.6 + 4.4 = 6.0 L, Raw 0.15 kPa·s/L, sGaw =
  // 1 / (0.15 × 3.2) = 2.083.
  const auto& shown = Core.AktParams[MEASURE_PLETHY][0];
  EXPECT_NEAR(shown[TGV], 3.2, 3.2 * 0.02);
  EXPECT_NEAR(shown[RV], 1.6, 1.6 * 0.02);
  EXPECT_NEAR(shown[TLC], 6.0, 6.0 * 0.02);
  EXPECT_NEAR(shown[Raw], 0.15, 0.15 * 0.05);
  EXPECT_NEAR(shown[sGaw], 2.083, 2.083 * 0.05);

  // The search found, for each loop it scored, the share of the inspired
  // air's expansion the model's box shows (40 %); the program's pressure
  // effect is the first-order form, a few per cent smaller, so its share
  // lies a little above.
  const TPlethySlot& slot = *Core.GetPlethySlot(0);
  ASSERT_GT(slot.LoopCount, 0);
  for (std::size_t j = 0; j < static_cast<std::size_t>(slot.LoopCount); ++j) {
    const AdaptiveEntry& searched = Core.PlethyEvaluation.Adaptive[0][j];
    EXPECT_GE(searched.score, 0) << "loop " << j;
    EXPECT_NEAR(searched.factor, 0.4, 0.05) << "loop " << j;
  }
}

// The metronome's rate decides bit 0x0002 of the manoeuvre's words: below
// 70 a minute it stays clear, from 70 on it is set in the loops' words;
// the box receives them in the manoeuvre's order (the loops, their end, the
// toggle back, the shutter closed and opened), then the stop's.
TEST_F(BoxRun, TheBoxReceivesTheManoeuvresWordsOfTheMetronomesRate) {
  struct Case {
    short rate;
    std::vector<std::string> tail;
  };
  const Case cases[] = {
      {69, {"0xEF6D", "0xEF7D", "0xEF6D", "0xEF6C", "0xEF6D", "0xEB7F", "0xAF7F"}},
      {70, {"0xEF6F", "0xEF7F", "0xEF6F", "0xEF6E", "0xEF6F", "0xEB7F", "0xAF7F"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    Core.BreathingRate = c.rate;
    Start();
    PlayTrial();
    ASSERT_FALSE(Core.IsRunning());
    const std::vector<std::string> words = Rig.Words();
    ASSERT_GE(words.size(), c.tail.size());
    EXPECT_EQ(std::vector<std::string>(words.end() - static_cast<long>(c.tail.size()), words.end()), c.tail)
        << ::testing::PrintToString(words);
  }
}

TEST_F(BoxRun, TheClosedBoxSettlesForAsLongAsItsAirNeedsToWarm) {
  struct Case {
    double temperatureC;
    long samples;  // (37 - T) × 2 + 30 seconds, T at most 37, of 10-ms samples
  };
  for (const Case c : {Case{37.0, 3000}, Case{40.0, 3000}, Case{20.0, 6400}}) {
    SCOPED_TRACE(c.temperatureC);
    Options.Sensors.TemperatureC = c.temperatureC;
    Core.DoorFlag = true;
    Start();
    Rig.PlayWhile([] { return TMeasureInterrupt::TestMode != StepBoxSettling; }, 1000);
    const long settling = Rig.PlayWhile([] { return TMeasureInterrupt::TestMode == StepBoxSettling; }, 10000);
    EXPECT_NEAR(settling, c.samples, 1);
    Core.DispatchCommand(CM_STOP);
  }
}

TEST_F(BoxRun, TheStopKeepsTheRawSamplesAndMarksInTheBoxLog) {
  Core.HomeFolder = Folder.Path();
  Core.LogWriteEnable = 1;
  Core.LogMeasureMode = MEASURE_PLETHY;
  Core.LogSaveAll = 1;
  Start();
  PlayTrial();
  ASSERT_NE(Core.EndMark, 0);
  std::ifstream file(Folder / "Bad" / "Plethy.001", std::ios::binary);
  ASSERT_TRUE(file) << "the log was written";
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto u32 = [&bytes](std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  const auto f32 = [&bytes](std::size_t at) {
    float v = 0.0f;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  // The layout: patient 84 bytes, BTPS record 17, the shared value, the
  // flow-held start, six constants from 109, the closure, the flow-held
  // end and the loops' start at 133, 137 and 141, n at 145, then three
  // channels of n 16-bit samples.
  const std::uint32_t n = u32(145);
  EXPECT_EQ(n, static_cast<std::uint32_t>(Core.SampleCount[MEASURE_PLETHY][0]));
  EXPECT_EQ(bytes.size(), 149 + 6 * std::size_t{n});
  EXPECT_EQ(u32(105), static_cast<std::uint32_t>(Core.ResistanceEndMark));
  EXPECT_EQ(u32(133), static_cast<std::uint32_t>(Core.TGVStartMark));
  EXPECT_EQ(u32(137), static_cast<std::uint32_t>(Core.EndMark));
  EXPECT_EQ(u32(141), static_cast<std::uint32_t>(Core.ResistanceStartMark));
  EXPECT_FLOAT_EQ(f32(121), Core.FlowZero);
  EXPECT_FLOAT_EQ(f32(125), Core.BoxZero);
  EXPECT_FLOAT_EQ(f32(129), Core.MouthZero);
}

TEST_F(BoxRun, TheDoorOpenedMidTestStopsItAndTheNextStartWaitsForTheDoor) {
  Options.Box.DoorOpenAtS = 75.0;  // after the settling, during the loops
  Start();
  PlayTrial();
  ASSERT_FALSE(Core.IsRunning());
  EXPECT_TRUE(Core.DoorFlag);
  EXPECT_EQ(Core.EndMark, 0) << "stopped before the panting ended";
  // Twenty seconds of breathing came before the door opened: no result,
  // but the samples stay to be seen.
  EXPECT_EQ(Core.AktParams[MEASURE_PLETHY][0][TGV], 0.0f);
  EXPECT_GT(Core.SampleCount[MEASURE_PLETHY][0], 1000);

  Core.DispatchCommand(CM_START);
  ProcessPosted();
  ASSERT_TRUE(Core.IsRunning());
  Rig.Play(500);
  EXPECT_EQ(TMeasureInterrupt::TestMode, StepBoxDoor) << "the door is still open";
  Core.DispatchCommand(CM_STOP);
}

TEST_F(BoxRun, SensorsOutOfRangeStopTheTestAndWriteNothing) {
  // 2000 hPa is the most the sensors may read; 2100 stops the test in the
  // BTPS step, after the polled reading at the start left the panel alone.
  Options.Sensors.PressureHpa = 2100.0;
  Start();
  Rig.PlayWhile([this] { return Core.IsRunning(); }, 20000);
  EXPECT_FALSE(Core.IsRunning());
  // The words read back 25 °C, 2100 hPa and 50 % on the wide scale.
  EXPECT_EQ(TakeMessage(), Texts.Format(TMeasureCore::BtpsOutOfRangeText, {"25.0", "2100", "50"}));
  const TProfile btps("BTPS", Core.GetIniFile());
  EXPECT_EQ(btps.GetInt("PRESSURE", -1), -1) << "nothing written";
  EXPECT_EQ(Core.SampleCount[MEASURE_PLETHY][0], 0) << "no breath recorded";
}

// Sensors that never answer leave their words at 0, which reads as 0 °C and
// 0 hPa, inside the range: nothing of that is written, the panel keeps its
// values and the test goes on with them.
TEST_F(BoxRun, SensorsThatNeverAnswerWriteNothingAndTheTestGoesOnWithThePanel) {
  Options.SensorsSilent = true;
  Start();
  Rig.PlayWhile([] { return TMeasureInterrupt::TestMode != StepBoxBtpsWriting; }, 20000);
  ASSERT_EQ(TMeasureInterrupt::TestMode, StepBoxBtpsWriting);
  Rig.PlayWhile([] { return TMeasureInterrupt::TestMode == StepBoxBtpsWriting; }, 1000);
  EXPECT_TRUE(Core.IsRunning());
  const TProfile btps("BTPS", Core.GetIniFile());
  EXPECT_EQ(btps.GetInt("PRESSURE", -1), -1) << "nothing written";
  EXPECT_FALSE(Core.Plethysmograph.Sensors.has_value()) << "no reading taken";
  Core.DispatchCommand(CM_STOP);
}

TEST_F(BoxRun, ALinkThatFallsSilentInTheZeroStopsTheTestAndKeepsTheOldZero) {
  Core.FlowZero = 12.5f;  // an earlier zero
  Start();
  Rig.PlayWhile([] { return TMeasureInterrupt::TestMode != StepZeroUnderMeasurement; }, 20000);
  ASSERT_EQ(TMeasureInterrupt::TestMode, StepZeroUnderMeasurement);
  EXPECT_EQ(Core.HandlerStep, 25) << "the handler's samples make the zero";
  Rig.Play(50);
  // The line goes silent: only the clock moves.
  for (int k = 0; k < 400 && Core.IsRunning(); ++k) {
    Clock->Advance(10);
    ProcessPosted();
  }
  EXPECT_FALSE(Core.IsRunning());
  const std::string message = TakeMessage();
  EXPECT_NE(message.find("COM1"), std::string::npos) << message;
  EXPECT_FLOAT_EQ(Core.FlowZero, 12.5f) << "the zero was never taken";
  EXPECT_EQ(Core.SampleCount[MEASURE_PLETHY][0], 0);
}

TEST_F(BoxRun, SettingsTheBoxCannotWorkWithRefuseTheStart) {
  TMeasureSettings settings;
  settings.Plethysmograph.VolumeOfCabinL = 60.0f;  // 75 kg take 70 L of it
  Core.ApplySettings(settings);
  Attach(Options);
  Core.DispatchCommand(CM_START);
  ProcessPosted();
  EXPECT_FALSE(Core.IsRunning());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(TMeasureCore::CabinSettingText));
  settings.Plethysmograph.VolumeOfCabinL = 960.0f;
  settings.Plethysmograph.CalibrationVolumeL = 0.0f;
  Core.ApplySettings(settings);
  Core.DispatchCommand(CM_CALIBRATION);
  EXPECT_FALSE(Core.IsRunning());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(TMeasureCore::PumpVolumeSettingText));
}

// A setting the reader had to bring into range is named when the settings
// arrive, with what was read and what the test uses.
TEST_F(BoxRun, ASettingBroughtIntoRangeIsNamedWhenTheSettingsArrive) {
  TMeasureSettings settings;
  settings.Plethysmograph.BTPSAutoSetStep = 1000;
  settings.Plethysmograph.Replaced = {{"BTPSAutoSetStep", "1000000000", "1000"}};
  Core.ApplySettings(settings);
  EXPECT_EQ(TakeMessage(), "\"BTPSAutoSetStep\" in \"Plethysmograph Parameters\" reads \"1000000000\", outside what a "
                           "body-box test can use; 1000 is used in its place. Correct the setting.");
}

class BoxCalibrationRun : public BoxRun {
protected:
  BoxCalibrationRun() {
    Options.Manoeuvre = "syringe";
    Options.Patient.SyringeStrokes = 24;
    Options.LeadInS = 4.0;  // the operator takes the syringe once the zero is read
    Options.Box.Box.LeakTauS = 5.0;
    Core.CalStrokes = 10;
    Core.SyringeVolume = 3;
  }

  void Calibrate() {
    Attach(Options);
    Core.DispatchCommand(CM_CALIBRATION);
    ASSERT_EQ(Core.StartId, CM_CALIBRATION);
    Rig.PlayWhile([this] { return Core.IsRunning(); }, 40000);
    ASSERT_FALSE(Core.IsRunning());
  }
};

TEST_F(BoxCalibrationRun, TheBoxConstantsMatchTheModel) {
  Calibrate();
  const TProfile section("CalibrationOfPlethysmograph", Core.GetIniFile());
  // PBOXref = 100 PB × "CalibrationVolume" / "VolumeOfCabin"
  //         = 100 × 1013 × 0.15 / 960 = 15.828 Pa; the model box swings by
  // exactly that (factor 1); its leak decays with tau = 5 s.
  EXPECT_NEAR(section.GetFloat("PBOXref", 0.0), 15.828, 0.02);
  EXPECT_NEAR(section.GetFloat("Pbox", 0.0), 15.828, 15.828 * 0.01);
  EXPECT_NEAR(section.GetFloat("TIMEconst", 0.0), 5.0, 5.0 * 0.02);
  // The syringe's strokes through a sensor of gain 1.
  EXPECT_NEAR(section.GetFloat("FlowInspirationConstans", 0.0), 1.0, 0.02);
  EXPECT_NEAR(section.GetFloat("FlowExpirationConstans", 0.0), 1.0, 0.02);
  // The stroke table: the volume 0 where the strokes began, then one volume
  // per counted reversal, each a 3-L stroke from the one before, the first
  // breathed out.
  const std::vector<float>& table = Core.Plethysmograph.StrokeTable;
  ASSERT_EQ(table.size(), static_cast<std::size_t>(Core.StrokeCount) + 1);
  ASSERT_GE(Core.StrokeCount, 20);
  EXPECT_EQ(table[0], 0.0f);
  for (std::size_t k = 1; k < table.size(); ++k)
    EXPECT_NEAR(table[k] - table[k - 1], k % 2 == 1 ? -3.0 : 3.0, 3.0 * 0.02) << "stroke " << k;
  // The box tests followed a zero: the handler's step stayed the zero's.
  EXPECT_EQ(Core.HandlerStep, 25);
  // The box tests' words, as the box's table has them: pump position 0
  // with 0x0010 (the mask alone, then 0xEE6D), the leak test at 40 breaths
  // a minute (0xEF6D, 0x0002 clear), pump position 1 (0xED6D); the stop.
  const std::vector<std::string> boxTests{"0x0010", "0xEE6D", "0xEF6D", "0xED6D", "0xEB7F", "0xAF7F"};
  const std::vector<std::string> words = Rig.Words();
  ASSERT_GE(words.size(), boxTests.size());
  EXPECT_TRUE(std::equal(boxTests.begin(), boxTests.end(), words.end() - static_cast<long>(boxTests.size())));
  EXPECT_TRUE(Rig.Logged("leak pump set"));
  EXPECT_TRUE(Rig.Logged("calibration pump set"));

  // What was written comes back through the settings.
  TMeasureSettings settings;
  settings.Calibration.HasBoxReference = true;
  settings.Calibration.PBOXref = static_cast<float>(section.GetFloat("PBOXref", 0.0));
  settings.Calibration.PBOX = static_cast<float>(section.GetFloat("Pbox", 0.0));
  settings.Calibration.TIMEconst = static_cast<float>(section.GetFloat("TIMEconst", 0.0));
  Core.BoxReferencePressure = Core.BoxConstant = Core.TimeConstant = 0.0f;
  Core.ApplySettings(settings);
  EXPECT_NEAR(Core.BoxReferencePressure, 15.828f, 0.02f);
  EXPECT_NEAR(Core.TimeConstant, 5.0f, 0.1f);
}

// The calibration screen as the window repaints it after the run: the
// leak test and the pump swing of the model box on the chart's 25 Pa scale
// at the lower left (17 units a second from x = 17, 6.8 a pascal up from
// y = 246).
TEST_F(BoxCalibrationRun, TheScreenChartsTheLeakAndTheSwingInPascals) {
  Calibrate();
  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  const TUtil colours;
  TMeasurePainter painter(Core, colours, Texts, nullptr);
  painter.Display.ScreenMode = 1;
  TRecordingSurface surface({800, 600});
  painter.MeasurePaint(surface, false);
  TMeasureData::MeasureMode = MEASURE_PLETHY;

  const auto pens = painter.Pens();
  std::vector<TPoint> leak, pump;
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
    if (call.Pen.Color == pens[PressureChart::FleischPen].Color)
      leak.push_back(call.Points.back());
    if (call.Pen.Color == pens[PressureChart::BalloonPen].Color)
      pump.push_back(call.Points.back());
  }
  // Each recording is held to its 15 s (1500 samples), and drawn from its
  // sample 2.
  ASSERT_GE(leak.size(), 1400u);
  ASSERT_GE(pump.size(), 1400u);
  for (const auto* curve : {&leak, &pump})
    for (const TPoint& p : *curve) {
      ASSERT_TRUE(p.X >= 17 && p.X <= 17 + 255 && p.Y >= 246 - 170 && p.Y <= 246) << p.X << "," << p.Y;
    }
  // The model's leak starts at 20 Pa (136 units up) and falls with 5 s to
  // 20 / e = 7.36 Pa (50 units up) 85 units further right.
  EXPECT_NEAR(leak.front().Y, 246 - 136, 2);
  const auto at = std::find_if(leak.begin(), leak.end(), [&](const TPoint& p) { return p.X >= leak.front().X + 85; });
  ASSERT_NE(at, leak.end());
  EXPECT_NEAR(at->Y, 246 - 50, 2);
  // The pump swings PBOXref = 15.828 Pa peak to peak about 8 Pa: its crest
  // 15.914 Pa at 108 units up, its trough 0.086 Pa on the base line.
  const auto [high, low] =
      std::minmax_element(pump.begin(), pump.end(), [](const TPoint& a, const TPoint& b) { return a.Y < b.Y; });
  EXPECT_NEAR(high->Y, 246 - 108, 2);
  EXPECT_NEAR(low->Y, 246, 2);
  EXPECT_TRUE(std::ranges::count(surface.Texts(), std::string("[Pa]")) >= 1);
}

// The calibration page of that run: the box's rows hold the constants the
// calibration stored, PBOXref by hand 100 x 1013 x 0.15 / 960 = 15.83 Pa,
// the model's swing (factor 1) beside it, their ratio 1.00, the leak's
// time constant 5 s.
TEST_F(BoxCalibrationRun, ThePageShowsTheBoxConstantsOfTheRun) {
  Calibrate();
  const TUtil colours;
  TMeasurePainter painter(Core, colours, Texts, nullptr);
  TPainterCurves curves(painter);
  TRecordingSurface surface({1000, 1400});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.PrintY = 100;
  TTestPrintout(Core, Texts, &curves).PrintCalibration(canvas);
  const std::vector<std::string> texts = surface.Texts();
  const auto after = [&](const std::string& head, std::size_t n) {
    const auto at = std::find(texts.begin(), texts.end(), head);
    return std::distance(at, texts.end()) > static_cast<long>(n) ? *(at + static_cast<long>(n)) : std::string();
  };
  // The row's cells in order: label, expected, ratio, measured.
  EXPECT_EQ(after("Pbox", 1), "15.83 Pa");
  EXPECT_EQ(after("Pbox", 2), "1.00");
  EXPECT_NEAR(std::stod(after("Pbox", 3)), 15.828, 15.828 * 0.01) << after("Pbox", 3);
  EXPECT_NEAR(std::stod(after("Tconst", 2)), 5.0, 5.0 * 0.02) << after("Tconst", 2);
  // The leak and the swing charted on the page in pascals.
  EXPECT_NE(std::find(texts.begin(), texts.end(), "[Pa]"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "25"), texts.end());
}

// The operator pumps four strokes of the ten a series needs, then skips
// to the box tests: the stroke table is too short for the check, so the
// calibration says how many strokes it needs and keeps the flow factors in
// use (read literally, the check that fails would still add the old factors
// into the new ones and save them).
TEST_F(BoxCalibrationRun, AShortStrokeTableGivesItsMessageAndKeepsTheFlowFactors) {
  Options.Patient.SyringeStrokes = 4;
  Core.InspFactor = 1.1f;
  Core.ExpFactor = 0.9f;
  Attach(Options);
  Core.DispatchCommand(CM_CALIBRATION);
  ASSERT_EQ(Core.StartId, CM_CALIBRATION);
  // The lead-in, the zero and the strokes, then nothing till 40 s.
  Rig.PlayWhile([this] { return Core.IsRunning(); }, 4000);
  ASSERT_TRUE(Core.IsRunning()) << "the calibration waits for its strokes";
  EXPECT_GT(Core.StrokeCount, 0);
  EXPECT_LT(Core.StrokeCount, 10);
  Core.DispatchCommand(CM_SKIP_NEXT_POINT);
  Rig.PlayWhile([this] { return Core.IsRunning(); }, 40000);
  ASSERT_FALSE(Core.IsRunning());
  EXPECT_EQ(TakeMessage(), Texts.Format(20, {"10"}));
  for (std::string text = TakeMessage(); !text.empty(); text = TakeMessage())
    ADD_FAILURE() << "message: " << text;
  EXPECT_EQ(Core.InspFactor, 1.1f);
  EXPECT_EQ(Core.ExpFactor, 0.9f);
  // The box tests themselves were sound: their constants are stored with
  // the flow factors that were in use.
  EXPECT_TRUE(Core.CalibrationWritten);
  const TProfile section("CalibrationOfPlethysmograph", Core.GetIniFile());
  EXPECT_NEAR(section.GetFloat("FlowInspirationConstans", 0.0), 1.1, 1e-6);
  EXPECT_NEAR(section.GetFloat("FlowExpirationConstans", 0.0), 0.9, 1e-6);
  EXPECT_NEAR(section.GetFloat("PBOXref", 0.0), 15.828, 0.02);
}

TEST_F(BoxCalibrationRun, AStuckPumpEndsTheCalibrationWithItsMessageAndStoresNothing) {
  Options.StuckPump = true;
  Core.DoorFlag = false;  // the box stayed shut: straight to the box tests
  Calibrate();
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(TMeasureCore::StuckPumpText));
  const TProfile section("CalibrationOfPlethysmograph", Core.GetIniFile());
  EXPECT_EQ(section.GetFloat("PBOXref", -1.0), -1.0) << "nothing stored";
  EXPECT_FALSE(Core.CalibrationWritten);
}

}  // namespace
