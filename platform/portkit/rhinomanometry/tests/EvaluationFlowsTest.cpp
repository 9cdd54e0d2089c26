#include "platform/portkit/rhinomanometry/EvaluationFlows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rhinomanometry {
namespace {

struct Point {
  float flow;
  float pressure;
};

RHINO_PARAMS Read(const std::vector<Point>& points, RhinoColumn column = RightNostril) {
  std::vector<float> flow, pressure;
  for (const Point& p : points) {
    flow.push_back(p.flow);
    pressure.push_back(p.pressure);
  }
  RHINO_PARAMS params;
  for (auto& row : params.Flows)
    row.fill(-1.0f);  // the column is cleared, the others kept
  ReadFlows({flow, pressure, flow.size()}, params, column);
  return params;
}

TEST(EvaluationFlows, ScanOfTheInspiratoryPoints) {
  struct Case {
    std::string name;
    std::vector<Point> points;
    std::array<float, 5> expected;  // 50, 75, 100, 150, 300 Pa
  };
  const std::vector<Case> cases{
      // Exact hits take the point's own flow; the others the mean of the
      // point and the one before: 75 Pa between 200 and 220 -> 210.
      {"exact hits and means",
       {{0, 0}, {100, -40}, {150, -50}, {200, -70}, {220, -80}, {260, -100}, {300, -140}, {330, -160}, {480, -300}},
       {150, 210, 260, 315, 480}},
      // Expiratory points (positive pressure) are passed over.
      {"expiration ignored",
       {{-900, 300}, {-500, 160}, {0, 0}, {150, -50}, {0, 10}, {260, -100}},
       {150, 0, 260, 0, 0}},
      // A jump from 60 to 120 Pa fills 100 (the higher row) only; 75 is
      // filled by the next point, from its mean with the point before.
      {"a jump past two rows",
       {{100, -40}, {120, -60}, {200, -120}, {210, -130}, {280, -200}},
       {110, 205, 160, 245, 0}},
      // The scan ends as soon as 300, 150 and 75 are filled: 50 and 100 are
      // never reached by a point of their own.
      {"the scan ends at 300, 150 and 75",
       {{100, -40}, {200, -80}, {300, -160}, {400, -310}, {0, -100}, {0, -50}},
       {0, 150, 0, 250, 350}},
      // A first point with negative pressure has no point before it.
      {"first point", {{250, -150}}, {0, 0, 0, 250, 0}},
      {"never reaches 300",
       {{0, 0}, {100, -50}, {150, -75}, {180, -100}, {240, -150}, {250, -160}, {240, -150}, {0, 0}},
       {100, 150, 180, 240, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RHINO_PARAMS params = Read(c.points);
    for (std::size_t row = 0; row < 5; ++row) {
      EXPECT_FLOAT_EQ(params.Flows[row][RightNostril], c.expected[row]) << "row " << row;
      EXPECT_FLOAT_EQ(params.Flows[row][LeftNostril], -1.0f);
    }
  }
}

TEST(EvaluationFlows, SidesFillTheirColumns) {
  EXPECT_EQ(ColumnOfSide(0), LeftNostril);
  EXPECT_EQ(ColumnOfSide(1), RightNostril);
  const RHINO_PARAMS params = Read({{0, 0}, {300, -150}}, LeftNostril);
  EXPECT_FLOAT_EQ(params.Flows[3][LeftNostril], 300.0f);
  EXPECT_FLOAT_EQ(params.Flows[3][RightNostril], -1.0f);
}

TEST(EvaluationFlows, TotalsAreTheSumOfTheShownFlows) {
  RHINO_PARAMS params;
  params.Flows[0] = {0.5f, 1.5f, 0.0f};     // 0 + 2 (halves to even)
  params.Flows[1] = {2.5f, 0.0f, 0.0f};     // only one nostril: 2
  params.Flows[2] = {250.4f, 249.6f, 0.0f}; // 250 + 250
  params.Flows[3] = {333.5f, 334.5f, 0.0f}; // 334 + 334
  FormTotals(params, false);
  EXPECT_FLOAT_EQ(params.Flows[0][BothNostrils], 2.0f);
  EXPECT_FLOAT_EQ(params.Flows[1][BothNostrils], 2.0f);
  EXPECT_FLOAT_EQ(params.Flows[2][BothNostrils], 500.0f);
  EXPECT_FLOAT_EQ(params.Flows[3][BothNostrils], 668.0f);
  EXPECT_FLOAT_EQ(params.Flows[3][RightNostril], 333.5f);

  FormTotals(params, true);
  EXPECT_FLOAT_EQ(params.Flows[3][BothNostrils], 668.0f);
  EXPECT_FLOAT_EQ(params.Flows[3][RightNostril], 0.0f);
  EXPECT_FLOAT_EQ(params.Flows[3][LeftNostril], 0.0f);
}

}  // namespace
}  // namespace rhinomanometry
