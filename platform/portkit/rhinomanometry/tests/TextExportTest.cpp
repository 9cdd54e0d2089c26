#include "platform/portkit/rhinomanometry/TextExport.h"

#include <gtest/gtest.h>

namespace rhinomanometry {
namespace {

// Two anterior results, 100 and 150 Pa chosen. The expected lines are
// worked by hand:
//   flows shown whole: 333, 300.4 -> 300;
//   resistances = pressure / whole flow, to two decimals:
//     100/260 = 0.385 -> 0.38, 100/240 = 0.417 -> 0.42, 100/500 = 0.20,
//     100/250 = 0.40, 150/333 = 0.450 -> 0.45, 150/300 = 0.50,
//     150/633 = 0.237 -> 0.24, 150/310 = 0.484 -> 0.48, 150/610 = 0.246 -> 0.25;
//   changes of the printed values in whole per cent, an empty field for 0.
TextExportInput TextOfTwoResults() {
  TextExportInput input;
  input.firstDate = "2026.12.11.";
  input.firstTime = "09:15:00";
  input.secondDate = "2026.12.04.";
  input.secondTime = "10:20:30";
  input.first.Flows[2] = {260.0f, 240.0f, 500.0f};
  input.first.Flows[3] = {333.0f, 300.4f, 633.0f};
  input.second.Flows[2] = {250.0f, 250.0f, 500.0f};
  input.second.Flows[3] = {300.0f, 310.0f, 610.0f};
  input.rowFlags = {0, 0, 1, 1, 0};
  input.notes = "Septum deviated to the left\n";
  return input;
}

TEST(TextExport, ActualAgainstPrevious) {
  // (first - second) / second:
  //   100 Pa flows: 10/250 = 4, -10/250 = -4, 0;
  //   150 Pa flows: 33/300 = 11, -10/310 = -3.2, 23/610 = 3.8;
  //   100 Pa resistances: -0.02/0.40 = -5, 0.02/0.40 = 5, 0;
  //   150 Pa resistances: -0.05/0.50 = -10, 0.02/0.48 = 4.2, -0.01/0.25 = -4.
  EXPECT_EQ(RhinoExportText(TextOfTwoResults()),
            "2026.12.11.@09:15:00@2026.12.04.@10:20:30\n"
            "Flow [100]@[mL/s]@260@240@500@250@250@500@4@-4@\n"
            "Flow [150]@[mL/s]@333@300@633@300@310@610@11@-3@4\n"
            "RES  [100]@[Pa/mL/s]@0.38@0.42@0.20@0.40@0.40@0.20@-5@5@\n"
            "RES  [150]@[Pa/mL/s]@0.45@0.50@0.24@0.50@0.48@0.25@-10@4@-4\n"
            "Septum deviated to the left\n");
}

TEST(TextExport, ProvokedAgainstBase) {
  TextExportInput input = TextOfTwoResults();
  input.provocation = ProvocationLines{"Material", "Concentration", "Dose", "Histamine", 2.5f, 0.1f};
  // (second - first) / first:
  //   100 Pa flows: -10/260 = -3.8, 10/240 = 4.2, 0;
  //   150 Pa flows: -33/333 = -9.9, 10/300 = 3.3, -23/633 = -3.6;
  //   100 Pa resistances: 0.02/0.38 = 5.3, -0.02/0.42 = -4.8, 0;
  //   150 Pa resistances: 0.05/0.45 = 11.1, -0.02/0.50 = -4, 0.01/0.24 = 4.2.
  EXPECT_EQ(RhinoExportText(input),
            "2026.12.11.@09:15:00@2026.12.04.@10:20:30\n"
            "Flow [100]@[mL/s]@260@240@500@250@250@500@-4@4@\n"
            "Flow [150]@[mL/s]@333@300@633@300@310@610@-10@3@-4\n"
            "RES  [100]@[Pa/mL/s]@0.38@0.42@0.20@0.40@0.40@0.20@5@-5@\n"
            "RES  [150]@[Pa/mL/s]@0.45@0.50@0.24@0.50@0.48@0.25@11@-4@4\n"
            "Material@Histamine\n"
            "Concentration@2.50 mg/ml\n"
            "Dose@0.10 ml\n"
            "Septum deviated to the left\n");
}

TEST(TextExport, NoRowChosen) {
  TextExportInput input = TextOfTwoResults();
  input.rowFlags = {};
  input.notes.clear();
  EXPECT_EQ(RhinoExportText(input), "2026.12.11.@09:15:00@2026.12.04.@10:20:30\n");
}

}  // namespace
}  // namespace rhinomanometry
