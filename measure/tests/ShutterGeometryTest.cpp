// Where the shutter test's points fall in its diagram, and the area test
// the zoom choice of the screen, printout and file export rests on.

#include "measure/screen/ShutterGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace ShutterGeometry {
namespace {

TEST(ShutterGeometry, PointsOfTheDiagram) {
  const TDiagram normal = Diagram(1);
  // No flow and no pressure: the origin.
  EXPECT_EQ(CurvePoint(normal, Factors(1), 0.0f, 0.0f), (TPoint{157, 165}));
  // 1.2 kPa at scale index 1: 1.2 x 93.3 = 111.96 pixels left of it.
  EXPECT_EQ(CurvePoint(normal, Factors(1), 0.0f, 1.2f), (TPoint{45, 165}));
  // 1 L/s: 21 pixels up; at index 0 (factor 1.5) 14.
  EXPECT_EQ(CurvePoint(normal, Factors(1), 1.0f, 0.0f), (TPoint{157, 144}));
  EXPECT_EQ(CurvePoint(normal, Factors(0), 1.5f, 0.0f), (TPoint{157, 144}));
  // The enlarged layout is twice the size about its own origin.
  const TDiagram enlarged = Diagram(0);
  EXPECT_EQ(CurvePoint(enlarged, Factors(1), 1.0f, -0.5f), (TPoint{314 + 93, 249 - 42}));
  EXPECT_EQ(enlarged.Size, 2);
}

TEST(ShutterGeometry, CrossesOnlyStrictlyInsideTheDrawingRectangle) {
  const TDiagram normal = Diagram(1);
  EXPECT_TRUE(InsideDrawing(normal, {9, 68}));
  EXPECT_FALSE(InsideDrawing(normal, {8, 100})) << "on the edge";
  EXPECT_FALSE(InsideDrawing(normal, {100, 276}));
  // 2 kPa at index 1 is 186.6 pixels left: off the diagram.
  EXPECT_FALSE(InsideDrawing(normal, CurvePoint(normal, Factors(1), 0.0f, 2.0f)));
}

TEST(ShutterGeometry, TheAreaIs112By84PixelsAboutItsPoint) {
  EXPECT_TRUE(IsPointInTheArea(1, 157 - 112, 165 + 84));
  EXPECT_FALSE(IsPointInTheArea(1, 157 - 113, 165));
  EXPECT_FALSE(IsPointInTheArea(1, 157, 165 - 85));
  EXPECT_TRUE(IsPointInTheArea(0, 314 + 112, 249));
  EXPECT_FALSE(IsPointInTheArea(9, 0, 0)) << "no such area";
}

TEST(ShutterGeometry, ACurveOutOfTheAreaTakesASmallerPicture) {
  // Flows to ±4 L/s (84 pixels at index 1) and pressures to 1.2 kPa
  // (111.96 pixels): inside at index 1; at index 2 (factor 0.5) twice as
  // large on the screen, out.
  const std::vector<float> flows{-4.0f, -1.0f, 1.0f, 4.0f};
  const std::vector<float> pressures{1.2f, 0.3f, -0.3f, -1.2f};
  EXPECT_FALSE(IsPointOutOfArea(flows, pressures, 1));
  EXPECT_TRUE(IsPointOutOfArea(flows, pressures, 2));
  EXPECT_EQ(FittingScaleIndex(flows, pressures), 1);
  // 1.8 kPa: 1.8 x 93.3 / 1.5 = 111.96 pixels at index 0, 168 at index 1.
  const std::vector<float> steeper{1.8f, 0.45f, -0.45f, -1.8f};
  EXPECT_EQ(FittingScaleIndex(flows, steeper), 0);
  // ±0.5 L/s, ±0.1 kPa: at index 3 (factor 0.25) 42 and 37 pixels.
  const std::vector<float> small{-0.5f, 0.5f};
  const std::vector<float> smallPressures{0.1f, -0.1f};
  EXPECT_EQ(FittingScaleIndex(small, smallPressures), 3);
  EXPECT_FALSE(IsPointOutOfArea({}, {}, 3)) << "an empty curve is nowhere";
}

}  // namespace
}  // namespace ShutterGeometry
