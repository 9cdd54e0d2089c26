#include "special/rhinomanometry/RhinoRecorder.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

long Raw(int flowCounts, int pressureCounts) {
  return static_cast<long>((static_cast<unsigned long>(static_cast<std::uint16_t>(pressureCounts)) << 16) |
                           static_cast<std::uint16_t>(flowCounts));
}

struct Slot {
  std::vector<float> flow = std::vector<float>(10);
  std::vector<float> pressure = std::vector<float>(10);
  std::vector<float> volume = std::vector<float>(10);
  TRhinoSlot Spans() { return {flow, pressure, volume}; }
};

TEST(RhinoRecorder, CountsAreConvertedWithTheirSigns) {
  EXPECT_FLOAT_EQ(RawFlowMlps(Raw(10, -20)), 87.890625f);
  EXPECT_FLOAT_EQ(RawPressurePa(Raw(10, -20)), -19.53125f);
  EXPECT_FLOAT_EQ(RawFlowMlps(Raw(-1, 1)), -8.7890625f);
  EXPECT_FLOAT_EQ(RawPressurePa(Raw(-1, 1)), 0.9765625f);
}

TEST(RhinoRecorder, TheRecordingBeginsAtTheTurnToExpiration) {
  TMeasureData data(MEASURE_RHINO, nullptr);
  Slot slot;
  bool flagBegin = false, breathIn = false;
  const TRhinoCorrection plain;
  // Expiring before any inspiration, then inspiring: nothing is stored.
  EXPECT_FALSE(TakeRhinoSample(0, Raw(-5, 10), plain, slot.Spans(), {flagBegin, breathIn}, data));
  EXPECT_FALSE(TakeRhinoSample(0, Raw(5, -10), plain, slot.Spans(), {flagBegin, breathIn}, data));
  EXPECT_TRUE(breathIn);
  EXPECT_FALSE(flagBegin);
  // The first expiration after it begins the recording at index 0.
  EXPECT_TRUE(TakeRhinoSample(0, Raw(-4, 8), plain, slot.Spans(), {flagBegin, breathIn}, data));
  EXPECT_TRUE(flagBegin);
  EXPECT_FLOAT_EQ(slot.flow[0], -4 * 8.7890625f);
  EXPECT_FLOAT_EQ(slot.pressure[0], 8 * 0.9765625f);
  EXPECT_FLOAT_EQ(slot.volume[0], -4 * 8.7890625f * 0.01f);
  // Past the buffers nothing is written.
  EXPECT_FALSE(TakeRhinoSample(10, Raw(-4, 8), plain, slot.Spans(), {flagBegin, breathIn}, data));
}

TEST(RhinoRecorder, ZerosScaleAndCalibration) {
  TMeasureData data(MEASURE_RHINO, nullptr);
  Slot slot;
  bool flagBegin = true, breathIn = true;
  TRhinoCorrection c;
  c.FineFlowScale = true;
  c.FlowZeroMlps = 10.0f;
  c.PressureZeroPa = 5.0f;
  c.Btps = 1.1f;
  c.InspirationFactor = 0.9f;
  c.ExpirationFactor = 1.25f;
  // 1000 counts: 8789.0625 less the zero (read on the same scale) 8779.0625,
  // on the fine scale / 2.5048 = 3504.90 mL/s, inspired: / (1.1 × 0.9) = 3540.30.
  ASSERT_TRUE(TakeRhinoSample(0, Raw(1000, -200), c, slot.Spans(), {flagBegin, breathIn}, data));
  EXPECT_NEAR(slot.flow[0], 3540.30f, 0.02f);
  EXPECT_FLOAT_EQ(slot.pressure[0], -200 * 0.9765625f - 5.0f);
  // -500 counts: -4394.53 - 10 = -4404.53, / 2.5048 = -1758.44, expired:
  // / 1.25 = -1406.75.
  ASSERT_TRUE(TakeRhinoSample(1, Raw(-500, 200), c, slot.Spans(), {flagBegin, breathIn}, data));
  EXPECT_NEAR(slot.flow[1], -1406.75f, 0.02f);
  EXPECT_NEAR(slot.volume[1], (3540.30f - 1406.75f) * 0.01f, 0.001f);
}

TEST(RhinoRecorder, PhasesEndWhereTheFlowTurns) {
  TMeasureData data(MEASURE_RHINO, nullptr);
  data.ClearPhaseTable();
  // 60 samples out, 60 in, 60 out: the turns are accepted (above 20 mL/s,
  // after 0.25 s), so phase 1 ends at 59, phase 2 at 119, phase 3 at 179.
  for (std::size_t i = 0; i < 180; ++i)
    TrackRhinoPhase(data, (i / 60) % 2 == 0 ? -100.0f : 100.0f, i);
  EXPECT_EQ(data.PhaseTableIndex, 3);
  EXPECT_EQ(data.PhaseTable[0].Index, 0);
  EXPECT_EQ(data.PhaseTable[1].Index, 59);
  EXPECT_EQ(data.PhaseTable[2].Index, 119);
  EXPECT_EQ(data.PhaseTable[3].Index, 179);
  // A turn that comes back within 0.25 s of the phase before it is no new
  // phase: the second turn here joins the phase the first began.
  TrackRhinoPhase(data, 100.0f, 180);
  TrackRhinoPhase(data, -100.0f, 181);
  EXPECT_EQ(data.PhaseTableIndex, 4);
  EXPECT_EQ(data.PhaseTable[4].Index, 181);
}

}  // namespace
