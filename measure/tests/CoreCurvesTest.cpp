#include "measure/CoreCurves.h"

#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

namespace {

class CoreCurvesTest : public MeasureCoreTest {
protected:
  void Values(short kind, short slot, float volume, float flow = 0.0f) {
    Core.GetAktBuffer(kind, slot)[0] = volume;
    if (kind == MEASURE_FVC)
      Core.GetAktBuffer(kind, slot)[7] = flow;
  }
  TCoreCurves Curves{Core};
};

// The steps' limits: volume 12, 8, 4, 2 L and flow 16, 16, 8, 4 L/s.
TEST_F(CoreCurvesTest, ZoomStepFitsTheLargerOfActualAndPre) {
  struct Case {
    short kind;
    float actualVolume, actualFlow, preVolume, preFlow;
    short step;
  };
  const Case cases[] = {
      {MEASURE_FVC, 1.8f, 3.5f, 0.0f, 0.0f, 3},
      {MEASURE_FVC, 1.8f, 6.0f, 0.0f, 0.0f, 2},    // the flow needs step 2
      {MEASURE_FVC, 3.0f, 6.0f, 5.0f, 9.0f, 1},    // the pre test needs step 1
      {MEASURE_FVC, 13.0f, 6.0f, 2.0f, 3.0f, 0},   // above 12 L: step 0 whatever the other needs
      {MEASURE_FVC, 4.0f, 17.0f, 0.0f, 0.0f, 0},   // above 16 L/s
      {MEASURE_VC, 3.9f, 0.0f, 0.0f, 0.0f, 2},
      {MEASURE_DFC, 8.0f, 0.0f, 0.0f, 0.0f, 1},
      {MEASURE_MVV, 120.0f, 0.0f, 0.0f, 0.0f, 1},  // the ventilation graph's one scale
      {MEASURE_MVV, 0.0f, 0.0f, 0.0f, 0.0f, 3},
  };
  for (const Case& c : cases) {
    Values(c.kind, 0, c.actualVolume, c.actualFlow);
    Values(c.kind, 3, c.preVolume, c.preFlow);
    Core.TrialOrder = {1, 0, 0};
    Curves.CalculatePrintZoom(c.kind, false, false);
    EXPECT_EQ(Curves.ZoomStep, c.step) << c.kind << " " << c.actualVolume << " " << c.actualFlow;
  }
}

TEST_F(CoreCurvesTest, LargestBreathOnlyUnlessTheWholeCurveIsAsked) {
  Core.SetMeasureMode(MEASURE_FVC);
  ASSERT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_FVC, true));
  float* flow = Core.GetSpiroFlowBuffer(0);
  float* volume = Core.GetSpiroVolumeBuffer(0);
  // A tidal breath (samples 0-99), the blast from 5 L down to 0 (100-199),
  // back up to 4 L (200-299), then tidal breathing again (300-399).
  for (int i = 0; i < 400; ++i) {
    flow[i] = 1.0f;
    volume[i] = i < 100 ? 2.5f + 0.3f * static_cast<float>(i % 50) / 50.0f
              : i < 200 ? 5.0f - 0.05f * static_cast<float>(i - 100)
              : i < 300 ? 0.04f * static_cast<float>(i - 200)
                        : 2.5f;
  }
  Core.SetBufferSize(MEASURE_FVC, 0, 400);
  Values(MEASURE_FVC, 0, 5.0f, 8.0f);
  TRecordingSurface surface({1000, 1400});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  Curves.DrawAxes(canvas, MEASURE_FVC, false);
  Curves.DrawSlot(canvas, MEASURE_FVC, 0, 1, false, false, false);
  Curves.DrawSlot(canvas, MEASURE_FVC, 0, 1, false, true, false);
  const auto lines = surface.OfKind(TRecordingSurface::TKind::Polyline);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].Points.size(), 300u - 100u);  // from the top at 100 to 4 L again at 299
  EXPECT_EQ(lines[1].Points.size(), 400u);
  EXPECT_EQ(lines[0].Pen.Color, ResultCells::LightBlue);
}

}  // namespace
