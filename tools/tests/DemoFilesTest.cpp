// The demonstration files as the build made them, read back field by field
// in the layouts the program's replay reads.

#include "platform/framework/BinaryStream.h"
#include "platform/portkit/plethysmography/BoxEvaluation.h"
#include "platform/portkit/plethysmography/Smoothing.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

std::string DemoFile(const std::string& name) {
  return TTemporaryFolder::Read(std::filesystem::path(HALVETRA_BINARY_DIR) / "bin" / name);
}

std::vector<float> Floats(TBinaryReader& in, std::uint32_t count) {
  std::vector<float> values(count);
  for (float& value : values)
    value = in.ReadFloat32("sample");
  return values;
}

bool OnTheFlowGrid(float flowLps) {
  const double counts = flowLps * 1000.0 / 8.7890625;
  return std::fabs(counts - std::round(counts)) < 1e-3;
}

TEST(DemoFiles, SpirometricFilesHoldACountAndThatManyFlows) {
  struct Case {
    const char* name;
    std::size_t extraBytes;  // the gas values after the flows
  };
  for (const Case c : {Case{"FvcDemo.bin", 0}, Case{"VcDemo.bin", 0}, Case{"MvvDemo.bin", 0}, Case{"DfcDemo.bin", 8}}) {
    const std::string bytes = DemoFile(c.name);
    TBinaryReader in(bytes);
    const std::uint32_t count = in.ReadUInt32("count");
    ASSERT_GT(count, 100u) << c.name;
    ASSERT_LE(count, 6000u) << c.name << ": must fit the window's buffers";
    EXPECT_EQ(bytes.size(), 4 + 4 * std::size_t{count} + c.extraBytes) << c.name;
    const std::vector<float> flows = Floats(in, count);
    EXPECT_LE(flows[0], -0.060f) << c.name << ": the trial starts with an expiration of 60 mL/s";
    EXPECT_GT(flows[0], -0.2f) << c.name << ": and at its very first sample";
    for (std::size_t i = 0; i < flows.size(); ++i)
      ASSERT_TRUE(OnTheFlowGrid(flows[i])) << c.name << " sample " << i;
    EXPECT_TRUE(in.Ok()) << in.GetError();
  }
}

// The default patient: FVC 4.5 L, IVC 4.3 L, MVV 1.8 L × 90/min.
TEST(DemoFiles, TheTrialsCarryThePatientsVolumes) {
  const auto volumes = [](const char* name) {
    const std::string bytes = DemoFile(name);
    TBinaryReader in(bytes);
    const std::vector<float> flows = Floats(in, in.ReadUInt32());
    double volume = 0.0, lowest = 0.0, highest = 0.0;
    for (const float flow : flows) {
      volume += flow * 0.01;
      lowest = std::min(lowest, volume);
      highest = std::max(highest, volume);
    }
    return std::pair{lowest, highest};
  };
  EXPECT_NEAR(volumes("FvcDemo.bin").first, -4.5, 0.0005) << "FVC";
  const auto vc = volumes("VcDemo.bin");
  EXPECT_NEAR(vc.second - vc.first, 4.3, 0.0005) << "IVC";
  const auto mvv = volumes("MvvDemo.bin");
  EXPECT_NEAR(mvv.second - mvv.first, 1.8, 0.0005) << "MVV breath";
}

// By hand, for the default patient (VI 4.3 L, VD 0.33 L, VA 5.6 L, Tlco 8.0,
// a 10-s hold; the uptake time as in LungModelTest): He 4.8 % × 3.97 / 5.6
// = 3.40286 %; CO 0.3 % × 3.97 / 5.6 × e^(−3.68232/min × 13.26853 s) =
// 0.094204 %.
TEST(DemoFiles, TheDiffusionFileEndsWithCarbonMonoxideAndHelium) {
  const std::string bytes = DemoFile("DfcDemo.bin");
  TBinaryReader in(bytes);
  in.Skip(4 * std::size_t{in.ReadUInt32()});
  // Read through the CO2 absorber, which leaves 95 % of the expired gas:
  // 0.094204 / 0.95 = 0.099162 % and 3.40286 / 0.95 = 3.58196 %.
  EXPECT_NEAR(in.ReadFloat32("CO"), 0.099162f, 0.000002f);
  EXPECT_NEAR(in.ReadFloat32("He"), 3.58196f, 0.0001f);
  EXPECT_TRUE(in.AtEnd());
}

TEST(DemoFiles, TheRhinomanometryFileHoldsFlowsThenPressures) {
  const std::string bytes = DemoFile("RinoDemo.bin");
  TBinaryReader in(bytes);
  const std::uint32_t count = in.ReadUInt32();
  EXPECT_EQ(bytes.size(), 4 + 8 * std::size_t{count});
  const std::vector<float> flows = Floats(in, count);
  const std::vector<float> pressures = Floats(in, count);
  EXPECT_TRUE(in.AtEnd());
  // The recording begins with an expiration: flow out, pressure up.
  EXPECT_LT(flows[0], 0.0f);
  EXPECT_GT(pressures[10], 0.0f);
  // 400 mL/s at 150 Pa, growing with the root of the pressure, against it.
  for (std::size_t i = 0; i < count; i += 53)
    EXPECT_NEAR(flows[i], -std::copysign(400.0 * std::sqrt(std::fabs(pressures[i]) / 150.0), pressures[i]), 0.01);
}

TEST(DemoFiles, TheShutterFileHoldsFlowCountsAndPressurePoints) {
  const std::string bytes = DemoFile("ShDemo.bin");
  TBinaryReader in(bytes);
  const std::uint32_t count = in.ReadUInt32();
  EXPECT_EQ(bytes.size(), 4 + 4 * std::size_t{count});
  std::vector<int> flows(count), pressures(count);
  for (int& flow : flows)
    flow = in.ReadInt16() + 3;  // as the replay reads it
  for (int& pressure : pressures)
    pressure = in.ReadInt16();
  EXPECT_TRUE(in.AtEnd());
  int points = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const bool closed = i % 40 >= 30;
    EXPECT_EQ(pressures[i] != 5000, closed) << i;
    if (i % 40 == 30) {
      EXPECT_NEAR(flows[i], flows[i - 1], 1) << i << ": the closure's first sample carries the flow before it";
      EXPECT_EQ(pressures[i], 0) << i;
    } else if (closed) {
      EXPECT_EQ(flows[i], 0) << i << ": no flow through a closed shutter";
    }
    points += closed;
  }
  EXPECT_GE(points, 200);
}

TEST(DemoFiles, ThePlethysmographFileHoldsItsConstantsIndexesAndThreeChannels) {
  const std::string bytes = DemoFile("PlDemo.bin");
  TBinaryReader in(bytes);
  const float btps = in.ReadFloat32("BTPS factor");
  const float insp = in.ReadFloat32("inspiration constant");
  const float exp = in.ReadFloat32("expiration constant");
  const float flowZero = in.ReadFloat32("flow zero");
  const float boxZero = in.ReadFloat32("box zero");
  const float mouthZero = in.ReadFloat32("mouth zero");
  EXPECT_EQ(btps, 1.0f);
  EXPECT_EQ(insp, 1.0f);
  EXPECT_EQ(exp, 1.0f);
  EXPECT_EQ(flowZero + boxZero + mouthZero, 0.0f);
  const std::uint32_t zeroFlowStart = in.ReadUInt32("index 1");
  const std::uint32_t zeroFlowEnd = in.ReadUInt32("zero-flow end");
  const std::uint32_t resistanceStart = in.ReadUInt32("index 2");
  const std::uint32_t count = in.ReadUInt32("count");
  EXPECT_EQ(bytes.size(), 40 + 6 * std::size_t{count});
  ASSERT_LT(resistanceStart, zeroFlowStart);
  ASSERT_LT(zeroFlowStart, zeroFlowEnd);
  ASSERT_LT(zeroFlowEnd, count);
  std::vector<int> flow(count), box(count), mouth(count);
  for (auto* channel : {&flow, &box, &mouth})
    for (int& value : *channel)
      value = in.ReadInt16();
  EXPECT_TRUE(in.AtEnd());
  for (std::uint32_t i = zeroFlowStart; i <= zeroFlowEnd; ++i)
    ASSERT_EQ(flow[i], 0) << i << ": the shutter is closed";
  // Panting against the shutter: 1 kPa at the mouth a quarter second in,
  // counts of 2.9296875 Pa; the box opposite: 3.28 L of dry gas at 95054 Pa
  // compressed by 1 kPa take 0.034148 L from a 889.907 L box at 101325 Pa,
  // -3.888 Pa (counts of 0.014648437 Pa).
  EXPECT_EQ(mouth[zeroFlowStart + 24], std::lround(1000.0 / 2.9296875));
  EXPECT_NEAR(box[zeroFlowStart + 24], -3.888 / 0.014648437, 2.0);

  // Read back as the replay reads it and evaluated, the file gives the
  // demonstration patient back: TGV 3.2 L (the closure 0.01 s into an
  // inspiration adds 0.1 mL), RV 1.6 L, TLC 1.6 + 4.4 L, Raw 0.15 kPa·s/L.
  std::vector<float> flowL(count), volumeL(count), boxPa(count), mouthKPa(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    flowL[i] = zeroFlowStart <= i && i <= zeroFlowEnd ? 0.0f : static_cast<float>(flow[i] * 8.7890625 * 0.001);
    boxPa[i] = static_cast<float>(box[i] * 0.014648437);
    mouthKPa[i] = static_cast<float>(mouth[i] * 2.9296875 * 0.001);
  }
  const plethysmography::TrialSignals signals{flowL, volumeL, boxPa, mouthKPa};
  spirometry::Extremes extremes;
  plethysmography::IntegrateVolume(signals, extremes);
  plethysmography::EvaluationSettings s;
  s.cabinL = 960.0;
  s.weightKg = 75.0;
  s.tgvOffsetL = 0.08;
  s.filterPasses = 3;
  s.volumes.ivcAfterEnd = true;
  const plethysmography::BoxAir air{1013.25, 25.0, 50.0, 6280.0, 3169.0};
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  const plethysmography::Marks marks{resistanceStart, zeroFlowStart, zeroFlowStart, zeroFlowEnd};
  ASSERT_EQ(plethysmography::EvaluateTrial(signals, marks, air, s, extremes, record).refusal,
            plethysmography::EvaluationRefusal::None);
  EXPECT_NEAR(record[plethysmography::TGV], 3.2, 0.032);
  EXPECT_NEAR(record[plethysmography::RV], 1.6, 0.032);
  EXPECT_NEAR(record[plethysmography::TLC], 6.0, 0.06);
  EXPECT_NEAR(record[plethysmography::Raw], 0.15, 0.0075);
}

}  // namespace
