#include "platform/portkit/plethysmography/BoxSettling.h"
#include "platform/portkit/plethysmography/BoxZero.h"
#include "platform/portkit/plethysmography/ControlWords.h"

#include <gtest/gtest.h>

#include <vector>

namespace plethysmography {
namespace {

TEST(BoxSettling, ThermalWaitShortensAsTheBoxNearsBodyTemperature) {
  EXPECT_DOUBLE_EQ(ThermalWaitSeconds(20.0), 64.0);  // (37 - 20) × 2 + 30
  EXPECT_DOUBLE_EQ(ThermalWaitSeconds(37.0), 30.0);
  EXPECT_DOUBLE_EQ(ThermalWaitSeconds(41.0), 30.0);  // capped at 37 °C
}

TEST(BoxSettling, SensorWordsOnBothScales) {
  // Wide scale: 1000 × 0.0244140625 = 24.4140625 °C, 1659 × 0.6103515625 =
  // 1012.5732 hPa, 1024 × 0.048828125 = 50 %. Other scale: 2000 ×
  // 0.01220703125 = 24.4140625 °C, 3317 × 0.3052503 + 5 = 1017.5152 hPa,
  // 2048 × 0.0244140625 = 50 %.
  const SensorReading wide = ConvertSensorWords(1000, 1659, 1024, true, 5.0);
  EXPECT_NEAR(wide.temperatureC, 24.4140625, 1e-9);
  EXPECT_NEAR(wide.pressureHpa, 1012.5732, 1e-4);
  EXPECT_NEAR(wide.humidityPercent, 50.0, 1e-9);
  const SensorReading narrow = ConvertSensorWords(2000, 3317, 2048, false, 5.0);
  EXPECT_NEAR(narrow.temperatureC, 24.4140625, 1e-9);
  EXPECT_NEAR(narrow.pressureHpa, 1017.5152, 1e-4);
  EXPECT_NEAR(narrow.humidityPercent, 50.0, 1e-9);
}

TEST(BoxSettling, SensorRangeIncludesItsBounds) {
  struct Case {
    SensorReading r;
    bool inRange;
  };
  const Case cases[] = {
      {{0.0, 0.0, 0.0}, true},       {{50.0, 2000.0, 100.0}, true}, {{20.0, 2000.01, 50.0}, false},
      {{50.01, 1000.0, 50.0}, false}, {{20.0, 1000.0, 100.1}, false}, {{-0.1, 1000.0, 50.0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.r.InRange(), c.inRange) << c.r.temperatureC << " " << c.r.pressureHpa << " " << c.r.humidityPercent;
}

std::vector<float> Constant(float v) { return std::vector<float>(ZeroSampleCount, v); }

TEST(BoxZero, OffsetAndNoiseLimits) {
  struct Case {
    const char* name;
    std::vector<float> flow, box, mouth;
    ZeroFailure failure;
  };
  // Two samples pulling either way leave the mean at 0.
  std::vector<float> noisy = Constant(0.0f);
  noisy[10] = 179.9f;
  noisy[50] = -179.9f;
  std::vector<float> tooNoisy = Constant(0.0f);
  tooNoisy[10] = 180.0f;
  tooNoisy[50] = -180.0f;
  const Case cases[] = {
      {"flow 3600 fails", Constant(3600.0f), Constant(0.0f), Constant(0.0f), ZeroFailure::FlowOffset},
      {"flow -3599 passes", Constant(-3599.0f), Constant(0.0f), Constant(0.0f), ZeroFailure::None},
      {"spread below 180 passes", noisy, Constant(0.0f), Constant(0.0f), ZeroFailure::None},
      {"spread of 180 fails", tooNoisy, Constant(0.0f), Constant(0.0f), ZeroFailure::FlowNoise},
      {"box -6 fails", Constant(0.0f), Constant(-6.0f), Constant(0.0f), ZeroFailure::BoxOffset},
      {"box 5.9 passes", Constant(0.0f), Constant(5.9f), Constant(0.0f), ZeroFailure::None},
      {"mouth 1199 passes", Constant(0.0f), Constant(0.0f), Constant(1199.0f), ZeroFailure::None},
      {"mouth -1200 fails", Constant(0.0f), Constant(0.0f), Constant(-1200.0f), ZeroFailure::MouthOffset},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CalculatePlethyZero(c.flow, c.box, c.mouth).failure, c.failure);
  }
}

TEST(BoxZero, OffsetsBeforeAFailureKeepTheirValues) {
  const BoxZero z = CalculatePlethyZero(Constant(12.0f), Constant(7.0f), Constant(300.0f));
  EXPECT_EQ(z.failure, ZeroFailure::BoxOffset);
  EXPECT_FLOAT_EQ(z.flowMlS, 12.0f);
  EXPECT_FLOAT_EQ(z.boxPa, 7.0f);
  EXPECT_FLOAT_EQ(z.mouthPa, 0.0f);
}

TEST(ControlWords, PumpAndLeakTestWords) {
  using namespace words;
  // Position 0 with the mask 0x0010: the mask alone, then ~0x0010 & 0xEE7D.
  EXPECT_EQ(PumpWords(0, 0x0010), (std::vector<std::uint16_t>{0x0010, 0xEE6D}));
  EXPECT_EQ(PumpWords(1, 0x0010), (std::vector<std::uint16_t>{0xED6D}));
  EXPECT_EQ(PumpWords(1, 0), (std::vector<std::uint16_t>{0xED7D}));
  EXPECT_EQ(LeakTestWord(64), 0xEF6D);
  EXPECT_EQ(LeakTestWord(65), 0xEF6F);
  EXPECT_EQ(Clear(Breathing, BtpsBit), BtpsDuringTest);
  EXPECT_EQ(Clear(Idle, StopBit), Stop);
  EXPECT_EQ(Clear(Clear(Breathing, ShutterBit), OpenBit), 0xEF7C);
}

}  // namespace
}  // namespace plethysmography
