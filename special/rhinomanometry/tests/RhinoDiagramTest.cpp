#include "special/rhinomanometry/RhinoDiagram.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RhinoDiagram, OriginsAndFactors) {
  EXPECT_EQ((TRhinoFrame{1, 81.0f, false}.Origin()), (TLayoutPoint{157.0f, 165.0f}));
  EXPECT_EQ((TRhinoFrame{0, 81.0f, false}.Origin()), (TLayoutPoint{314.0f, 249.0f}));
  EXPECT_EQ((TRhinoFrame{0, 500.0f, false}.Origin()), (TLayoutPoint{314.0f, 668.0f}));  // on paper: top + 168
  // The flow axis is 600 units long each way at 0.14·k a unit: at scale
  // index 0 its ends read 600 × 1.5 = 900 mL/s, at index 3 600 × 0.25 = 150.
  EXPECT_FLOAT_EQ(600.0f * RhinoFactors(0).Flow, 900.0f);
  EXPECT_FLOAT_EQ(600.0f * RhinoFactors(3).Flow, 150.0f);
  EXPECT_FLOAT_EQ(RhinoFactors(2).Time, 1.0f);
  EXPECT_FLOAT_EQ(RhinoFactors(9).Pressure, 1.0f);
}

TEST(RhinoDiagram, EachNostrilInItsQuadrants) {
  const TRhinoFrame frame{1, 81.0f, false};
  const TRhinoFactors f = RhinoFactors(1);
  // Inspiration of 100 mL/s at -100 Pa: 18.67 right of the origin, 14 below
  // for the left nostril, 14 above for the right one.
  const TLayoutPoint left = CurvePoint(frame, 100.0f, -100.0f, 0, f);
  EXPECT_NEAR(left.X, 157.0f + 18.67f, 1e-3f);
  EXPECT_NEAR(left.Y, 165.0f + 14.0f, 1e-3f);
  const TLayoutPoint right = CurvePoint(frame, 100.0f, -100.0f, 1, f);
  EXPECT_NEAR(right.Y, 165.0f - 14.0f, 1e-3f);
  // Expiration lies left of the origin.
  EXPECT_LT(CurvePoint(frame, -100.0f, 100.0f, 0, f).X, 157.0f);
}

TEST(RhinoDiagram, SegmentsKeepInsideTheBox) {
  const TRhinoFrame frame{1, 81.0f, false};
  const TRhinoFactors f = RhinoFactors(1);
  const std::vector<float> flow{100.0f, 100.0f, 900.0f, 200.0f, 200.0f};
  const std::vector<float> pressure{-100.0f, -100.0f, -700.0f, -150.0f, -150.0f};
  // Sample 0 starts at the origin.
  const auto first = CurveSegment(frame, flow, pressure, 0, 0, f);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->From, frame.Origin());
  // The same point twice draws nothing.
  EXPECT_FALSE(CurveSegment(frame, flow, pressure, 1, 0, f));
  // 700 Pa lies 130.7 right of the origin, past the box's edge at 269: a
  // gap on both sides of it, no line along the border.
  EXPECT_FALSE(CurveSegment(frame, flow, pressure, 2, 0, f));
  EXPECT_FALSE(CurveSegment(frame, flow, pressure, 3, 0, f));
  EXPECT_FALSE(CurveSegment(frame, flow, pressure, 4, 0, f));
  EXPECT_FALSE(CurveSegment(frame, flow, pressure, 5, 0, f)) << "past the buffers";
  EXPECT_FALSE(CurveSegment(frame, {}, pressure, 0, 0, f)) << "no flow buffer";

  // While a test runs the clip rectangle (8, 67 to 312, 276) reaches
  // further: 600 Pa at 157 + 600 × 0.1867 = 269.0 (on the box's edge) and
  // 700 Pa at 287.7 lie inside the clip only.
  const std::vector<float> wide{100.0f, 120.0f};
  const std::vector<float> far{-600.0f, -700.0f};
  EXPECT_FALSE(CurveSegment(frame, wide, far, 1, 0, f));
  EXPECT_TRUE(CurveSegment(TRhinoFrame{1, 81.0f, true}, wide, far, 1, 0, f));
}

TEST(RhinoDiagram, VolumeStrip) {
  const TRhinoFactors f = RhinoFactors(1);
  // 100 mL after 1 s: x = 15 + 100 × 0.12 = 27, y = 350 - 11.2 = 338.8.
  std::vector<float> volume(101, 0.0f);
  volume[100] = 100.0f;
  const auto segment = VolumeSegment(volume, 100, f);
  ASSERT_TRUE(segment);
  EXPECT_NEAR(segment->To.X, 27.0f, 1e-4f);
  EXPECT_NEAR(segment->To.Y, 338.8f, 1e-4f);
  EXPECT_FALSE(VolumeSegment(volume, 0, f));
  volume[100] = 2000.0f;  // 224 above the line: out of the strip
  EXPECT_FALSE(VolumeSegment(volume, 100, f));
}

}  // namespace
