#include "measure/tests/LinkedCoreFixture.h"

#include "platform/framework/Profile.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace {

class ZeroCalibration : public LinkedCoreTest<TMeasureCore> {
protected:
  ZeroCalibration() : LinkedCoreTest(MEASURE_FVC) {
    Core.SyringeVolume = 3;
    Core.CalStrokes = 10;
  }

  // The turning points of a calibration curve from its strokes, expiration
  // first, as the run's LocalMaxMin leaves them.
  void Strokes(const std::vector<float>& strokes) {
    Core.Extremes.Clear();
    float level = 0.0f;
    Core.Extremes.points[0].volumeL = level;
    for (std::size_t k = 0; k < strokes.size(); ++k) {
      level += k % 2 == 0 ? -strokes[k] : strokes[k];
      Core.Extremes.points[k + 1].volumeL = level;
    }
    Core.Extremes.count = static_cast<std::int16_t>(strokes.size());
    Core.StrokeCount = static_cast<unsigned short>(strokes.size());
  }

  std::string Ini() const {
    std::ifstream in(Folder / "Halvetra.ini");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  float IniFloat(const char* section, const char* key) const {
    const TProfile profile(section, (Folder / "Halvetra.ini").string());
    char text[64];
    profile.GetString(key, text, sizeof text, "-1");
    return std::stof(text);
  }

  // A diffusion unit whose lines held, with gas buffers that read the
  // calibration gas at the given fractions of the bottle's concentrations.
  void DiffusionUnit(double coFraction, double heFraction) {
    Core.InstrumentType = 0x60;
    Core.SetInstrument(3);
    Core.HasInstrument = true;
    Core.Lines.PressureReached = true;
    Core.CalStrokes = 6;
    Core.Diffusion.OriginalCoConcentration = 0.3f;
    Core.Diffusion.OriginalHeConcentration = 4.8f;
    Core.Diffusion.HeLsbCorrection = 1.0f;
    // Percent = counts × 0.00012207 (CO) and × 0.001525785 (He) on this analyser.
    Core.Gas.CoGasBuffer.assign(8010, static_cast<float>(0.3 * coFraction / 0.00012207));
    Core.Gas.HeliumGasBuffer.assign(8010, static_cast<float>(4.8 * heFraction / 0.001525785));
    // Six flow strokes, two through the gas path, then the check series.
    std::vector<float> s(6, 3.0f);
    for (const float v : {3.0f, 2.7f, 3.0f, 2.7f}) s.push_back(v);
    s.insert(s.end(), 6, 3.0f);
    Strokes(s);
  }
};

TEST_F(ZeroCalibration, ZeroOfAQuietSensorStartsTheZeroTimer) {
  TMeasureData::ZeroBuffer.fill(0.0f);
  std::fill_n(TMeasureData::ZeroBuffer.begin(), 100, 35.0f);
  EXPECT_TRUE(Core.CalculateZero());
  EXPECT_FLOAT_EQ(Core.FlowZero, 35.0f);
  EXPECT_FALSE(Core.ZeroNeeded);
}

TEST_F(ZeroCalibration, ZeroWithAnOffsetOrNoiseIsRejectedWithItsText) {
  std::fill_n(TMeasureData::ZeroBuffer.begin(), 100, 3600.0f);
  EXPECT_FALSE(Core.CalculateZero());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(5) + "\n" + Texts.LoadStringA(7));
  std::fill_n(TMeasureData::ZeroBuffer.begin(), 100, 0.0f);
  TMeasureData::ZeroBuffer[42] = 182.0f;  // 180.18 from the mean of 1.82
  EXPECT_FALSE(Core.CalculateZero());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(6) + "\n" + Texts.LoadStringA(7));
}

TEST_F(ZeroCalibration, SyringeCalibrationStoresItsConstantsWithTheDate) {
  // The sensor reads inspirations 5 % low and expirations 5 % high; the
  // check strokes, measured with the new constants, meet the syringe.
  std::vector<float> strokes;
  for (int k = 0; k < 10; ++k) strokes.push_back(k % 2 == 0 ? 3.15f : 2.85f);
  strokes.insert(strokes.end(), 10, 3.0f);
  Strokes(strokes);
  ASSERT_TRUE(Core.CalculateCalibrationConstans());
  EXPECT_NEAR(IniFloat("Calibration", "FlowInspirationConstans"), 0.95, 0.95 * 0.005);
  EXPECT_NEAR(IniFloat("Calibration", "FlowExpirationConstans"), 1.05, 1.05 * 0.005);
  EXPECT_NE(Ini().find("LastDate="), std::string::npos);
  EXPECT_NE(Ini().find("LastTime="), std::string::npos);
  EXPECT_FLOAT_EQ(Core.SyringeStrokeVolumes[0], 3.0f);
}

TEST_F(ZeroCalibration, ACheckStrokeBeyondThreePerCentStoresNothing) {
  // A nonlinear sensor: right at the first series' speed, 4 % off at another.
  std::vector<float> strokes(10, 3.0f);
  for (const float v : {3.0f, 3.0f, 3.12f, 3.12f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f}) strokes.push_back(v);
  Strokes(strokes);
  EXPECT_FALSE(Core.CalculateCalibrationConstans());
  EXPECT_EQ(TakeMessage(), Texts.Format(9210, {"3", "3.120", "3", "+4.0"}));
  EXPECT_EQ(Ini(), "");
  EXPECT_FLOAT_EQ(Core.InspFactor, 1.0f);
}

TEST_F(ZeroCalibration, TooFewStrokesSaySoWithTheSeriesLength) {
  Strokes(std::vector<float>(12, 3.0f));
  EXPECT_FALSE(Core.CalculateCalibrationConstans());
  EXPECT_EQ(TakeMessage(), Texts.Format(20, {"10"}));
  EXPECT_EQ(Ini(), "");
}

TEST_F(ZeroCalibration, DiffusionCalibrationStoresFlowAndGasConstants) {
  DiffusionUnit(0.98, 1.02);
  ASSERT_TRUE(Core.CalculateCalibrationConstans());
  const char* section = "CalibrationOfDiffusionCapacity";
  EXPECT_NEAR(IniFloat(section, "COConstans"), 0.98, 0.001);
  EXPECT_NEAR(IniFloat(section, "HEConstans"), 1.02, 0.001);
  EXPECT_NEAR(IniFloat(section, "FlowInspirationConstans"), 1.0, 1e-5);
  EXPECT_NEAR(IniFloat(section, "FlowInspirationConstansWithGas"), 0.9, 1e-5);
  EXPECT_NE(Ini().find("LastDate="), std::string::npos);
  EXPECT_TRUE(Core.Gas.CoGasBuffer.empty());
}

TEST_F(ZeroCalibration, DiffusionCalibrationFaultsStoreNothing) {
  struct Case {
    const char* name;
    void (*spoil)(TMeasureCore&);
    int text;
  };
  const Case cases[] = {
      {"the pump never reached its pressure", [](TMeasureCore& c) { c.Lines.PressureReached = false; }, 451},
      {"a leaky Fleisch line", [](TMeasureCore& c) { c.FleischPressureLoss = 20; }, 447},
      {"a leaky balloon line", [](TMeasureCore& c) { c.BalloonPressureLoss = 35; }, 448},
      {"the bag did not open", [](TMeasureCore& c) { c.Gas.BagOpenTimeout = true; }, 452},
      {"CO reading 1.41 of the bottle", [](TMeasureCore& c) { c.Gas.CoGasBuffer.assign(8010, 0.3f * 1.41f / 0.00012207f); },
       450},
      {"helium reading 0.74 of the bottle",
       [](TMeasureCore& c) { c.Gas.HeliumGasBuffer.assign(8010, 4.8f * 0.74f / 0.001525785f); }, 449},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiffusionUnit(1.0, 1.0);
    Core.FleischPressureLoss = 0;
    Core.BalloonPressureLoss = 0;
    Core.Gas.BagOpenTimeout = false;
    c.spoil(Core);
    EXPECT_FALSE(Core.CalculateCalibrationConstans());
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(c.text));
    EXPECT_EQ(Ini(), "");
    EXPECT_TRUE(Core.Gas.CoGasBuffer.empty());
  }
}

TEST_F(ZeroCalibration, DiffusionSettingOfZeroIsNamedAndNothingDividedByIt) {
  DiffusionUnit(1.0, 1.0);
  Core.Diffusion.OriginalCoConcentration = 0.0f;
  EXPECT_FALSE(Core.CalculateCalibrationConstans());
  EXPECT_EQ(TakeMessage(), Texts.Format(9211, {"OriginalCoConcentration"}));
  EXPECT_EQ(Ini(), "");
}

TEST_F(ZeroCalibration, SkippedFlowKeepsTheStoredFlowConstants) {
  DiffusionUnit(1.0, 1.0);
  Core.InspFactor = 1.04f;
  Core.ExpFactor = 0.97f;
  Core.SkipFlow = true;
  Strokes({});
  ASSERT_TRUE(Core.CalculateCalibrationConstans());
  const char* section = "CalibrationOfDiffusionCapacity";
  EXPECT_NEAR(IniFloat(section, "FlowInspirationConstans"), 1.04, 1e-5);
  EXPECT_NEAR(IniFloat(section, "FlowExpirationConstans"), 0.97, 1e-5);
  EXPECT_EQ(IniFloat(section, "FlowInspirationConstansWithGas"), 0.0f);
}

}  // namespace

namespace {

// A zero read against the fake instrument: between polls the clock moves
// on by 10 ms and the instrument sends what the test gives it.
class TZeroCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  std::function<void()> BetweenPolls;

protected:
  void LetWaitingEventsThrough() override {
    if (BetweenPolls)
      BetweenPolls();
  }
};

class ZeroRead : public LinkedCoreTest<TZeroCore> {
protected:
  ZeroRead() : LinkedCoreTest(MEASURE_FVC) {
    Core.SetMeasureMode(MEASURE_FVC);
    Core.HasInstrument = true;
    Core.FlowZero = 12.5f;  // the zero of an earlier read
  }

  // The instrument sends flow counts from `next`, one a poll, as long as it lasts.
  void Streams(std::function<int(int)> next, int samples) {
    Core.BetweenPolls = [this, next, samples] {
      Clock->Advance(10);
      if (Sent < samples)
        Device->SendFlow({next(Sent++)});
    };
  }
  int Sent = 0;
};

TEST_F(ZeroRead, QuietOffsetAndNoisyReads) {
  // 4 counts are 35.16 mL/s; 420 counts 3691 mL/s; ±25 counts ±220 mL/s.
  Streams([](int) { return 4; }, 1000);
  EXPECT_TRUE(Core.ReadZero());
  EXPECT_FLOAT_EQ(Core.FlowZero, 4 * 8.7890625f);
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC);

  Sent = 0;
  Streams([](int) { return 420; }, 1000);
  EXPECT_FALSE(Core.ReadZero());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(5) + "\n" + Texts.LoadStringA(7));

  Sent = 0;
  Streams([](int i) { return i % 2 == 0 ? 25 : -25; }, 1000);
  EXPECT_FALSE(Core.ReadZero());
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(6) + "\n" + Texts.LoadStringA(7));
}

TEST_F(ZeroRead, ALinkThatStopsTimesOutAndKeepsTheOldZero) {
  Streams([](int) { return 4; }, 100);  // then silence
  const std::int64_t before = Clock->NowMs();
  EXPECT_FALSE(Core.ReadZero());
  EXPECT_GE(Clock->NowMs() - before, 2500);
  EXPECT_LT(Clock->NowMs() - before, 2600);
  EXPECT_FLOAT_EQ(Core.FlowZero, 12.5f);
  EXPECT_EQ(Core.StopRequest, 1);
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC);
  // The next read (as the next start) begins afresh.
  Sent = 0;
  Streams([](int) { return 4; }, 1000);
  EXPECT_TRUE(Core.ReadZero());
  EXPECT_EQ(Core.StopRequest, 0);
}

}  // namespace
