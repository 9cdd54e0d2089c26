// Where the plethysmograph's loops stand on paper: the scale each printed
// loop needs, the offsets that put the actual trial's loop just right of
// the axis and the previous result (or the stages' trials) beside it, and
// the printed points worked by hand from the paper's plot units.

#include "measure/screen/PlethyGeometry.h"
#include "measure/screen/PlethyPrintLoops.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using PlethyPrintLoops::TLoopExtremes;
using PlethyPrintLoops::TPrintLoops;

TLoopExtremes PrintLoopOf(float smallest, float upAtSmallest, float largest, float upAtLargest) {
  return {smallest, upAtSmallest, largest, upAtLargest, false};
}

// The extremes are read from the loop's own samples, across from its
// first sample; samples outside the loop's bounds do not count.
TEST(PlethyPrintLoops, TheExtremesComeFromTheLoopsSamplesOnly) {
  //                               0      1     2     3     4     5
  const std::vector<float> box{9.0f, 1.0f, 0.4f, 1.5f, 0.7f, -5.0f};
  const std::vector<float> flow{7.0f, 0.0f, -0.8f, 0.6f, 0.2f, 3.0f};
  const TLoopExtremes e = PlethyPrintLoops::Extremes(box, flow, 1, 5, 1.0f);
  ASSERT_FALSE(e.Empty);
  EXPECT_FLOAT_EQ(e.Smallest, 0.4f - 1.0f);
  EXPECT_FLOAT_EQ(e.UpAtSmallest, -0.8f);
  EXPECT_FLOAT_EQ(e.Largest, 1.5f - 1.0f);
  EXPECT_FLOAT_EQ(e.UpAtLargest, 0.6f);
  struct TBounds {
    long Begin, End;
  };
  for (const TBounds b : {TBounds{3, 3}, TBounds{4, 2}, TBounds{-1, 4}, TBounds{6, 9}})
    EXPECT_TRUE(PlethyPrintLoops::Extremes(box, flow, b.Begin, b.End, 0.0f).Empty) << b.Begin << ".." << b.End;
  // A loop whose end lies past the buffers is read as far as they go.
  EXPECT_FLOAT_EQ(PlethyPrintLoops::Extremes(box, flow, 4, 40, 0.0f).Smallest, -5.0f);
}

// The narrowest step whose ±limit holds all four values (pressure and flow
// 1, 2, 4, 6; box 30, 60, 120, 180 Pa with mouth 1, 2, 4, 6 kPa) gives
// 0.25, 0.5, 1.0 or 1.5; trials only widen the scale; beyond the widest
// range the widest scale.
TEST(PlethyPrintLoops, EachLoopWidensItsScaleToTheNarrowestStepThatHoldsIt) {
  struct TCase {
    const char* Name;
    TLoopExtremes Resistance, Tgv;
    float ResistanceScale, TgvScale;
  };
  const TLoopExtremes none;
  for (const TCase& c : {
           TCase{"within 1 and 30", PrintLoopOf(-0.9f, -1.0f, 0.5f, 0.8f), PrintLoopOf(-30.0f, 1.0f, 12.0f, -0.5f),
                 0.25f, 0.25f},
           TCase{"flow 1.2 needs the 2-step", PrintLoopOf(-0.3f, -1.2f, 0.3f, 0.9f), none, 0.5f, 0.25f},
           TCase{"box 61 Pa needs the 120-step", none, PrintLoopOf(-61.0f, 0.5f, 20.0f, -0.5f), 0.25f, 1.0f},
           TCase{"mouth 4.5 kPa needs the 6-step", none, PrintLoopOf(-10.0f, 4.5f, 10.0f, -1.0f), 0.25f, 1.5f},
           TCase{"pressure 3.9 fits 4", PrintLoopOf(-3.9f, 0.0f, 1.0f, 0.0f), none, 1.0f, 0.25f},
           TCase{"beyond every range", PrintLoopOf(-7.0f, 0.0f, 1.0f, 0.0f), PrintLoopOf(-200.0f, 0.0f, 1.0f, 0.0f),
                 1.5f, 1.5f},
       }) {
    TPrintLoops loops;
    PlethyPrintLoops::StartPrintout(loops, false);
    PlethyPrintLoops::CalculatePrintLoopOffset(loops, 0, true, c.Resistance, c.Tgv);
    EXPECT_FLOAT_EQ(loops.ResistanceScale, c.ResistanceScale) << c.Name;
    EXPECT_FLOAT_EQ(loops.TgvScale, c.TgvScale) << c.Name;
    EXPECT_EQ(loops.ResistanceOffset, (std::array<float, 4>{})) << c.Name << ": the scale pass leaves the offsets";
  }
  // The previous result is narrower: the actual trial's wider scale stays.
  TPrintLoops loops;
  PlethyPrintLoops::StartPrintout(loops, false);
  PlethyPrintLoops::CalculatePrintLoopOffset(loops, 0, true, PlethyPrintLoops::TLoopExtremes{-1.5f, 0.2f, 1.0f, 0.1f, false},
                                             none);
  PlethyPrintLoops::CalculatePrintLoopOffset(loops, 3, true, PrintLoopOf(-0.2f, 0.1f, 0.3f, 0.1f), none);
  EXPECT_FLOAT_EQ(loops.ResistanceScale, 0.5f);
}

// Offsets at scale 0.5 (resistance: flow 1.3 needs the 2-step) and 1.0
// (TGV: mouth 2.5 kPa needs the 4-step), for a loop from -0.6 to +0.8 kPa
// and from -24 to +36 Pa:
//   actual (or any trial alone): 0.6 / 0.5 + 0.2 = 1.4 kPa; 24 / 1 + 8 = 32 Pa
//   previous result (slot 3):   3.8 - 0.8 / 0.5 = 2.2 kPa; 112 - 36 = 76 Pa
//   stages side by side, second: 2.3 - 1.6 = 0.7 kPa;       67 - 36 = 31 Pa
//   stages side by side, third:  3.8 - 1.6 = 2.2 kPa;       112 - 36 = 76 Pa
TEST(PlethyPrintLoops, TheOffsetsSetTheTrialsSideBySide) {
  const TLoopExtremes res = PrintLoopOf(-0.6f, 1.3f, 0.8f, -0.4f);
  const TLoopExtremes tgv = PrintLoopOf(-24.0f, 2.5f, 36.0f, -1.0f);
  struct TCase {
    bool MultiTrial;
    short Trial;
    float ResistanceKPa, TgvPa;
  };
  for (const TCase c : {TCase{false, 0, 1.4f, 32.0f}, TCase{false, 1, 1.4f, 32.0f}, TCase{false, 2, 1.4f, 32.0f},
                        TCase{false, 3, 2.2f, 76.0f}, TCase{true, 0, 1.4f, 32.0f}, TCase{true, 1, 0.7f, 31.0f},
                        TCase{true, 2, 2.2f, 76.0f}, TCase{true, 3, 2.2f, 76.0f}}) {
    TPrintLoops loops;
    PlethyPrintLoops::StartPrintout(loops, c.MultiTrial);
    PlethyPrintLoops::CalculatePrintLoopOffset(loops, 0, true, res, tgv);
    ASSERT_FLOAT_EQ(loops.ResistanceScale, 0.5f);
    ASSERT_FLOAT_EQ(loops.TgvScale, 1.0f);
    PlethyPrintLoops::CalculatePrintLoopOffset(loops, c.Trial, false, res, tgv);
    const auto t = static_cast<std::size_t>(c.Trial);
    EXPECT_NEAR(loops.ResistanceOffset[t], c.ResistanceKPa, 1e-5f) << c.MultiTrial << " trial " << c.Trial;
    EXPECT_NEAR(loops.TgvOffset[t], c.TgvPa, 1e-4f) << c.MultiTrial << " trial " << c.Trial;
  }
  TPrintLoops loops;
  PlethyPrintLoops::CalculatePrintLoopOffset(loops, 4, false, res, tgv);
  PlethyPrintLoops::CalculatePrintLoopOffset(loops, -1, true, PrintLoopOf(-9.0f, 0.0f, 9.0f, 0.0f), tgv);
  EXPECT_EQ(loops.ResistanceOffset, (std::array<float, 4>{})) << "no such trial";
  EXPECT_FLOAT_EQ(loops.ResistanceScale, 0.25f);
}

// On paper (42 per scaled kPa and 21 per scaled L/s; 1.4 per scaled Pa and
// 21 per scaled kPa; frames 280 x 168 from x 90 and 420 from the line down,
// axes 84 lower): the resistance loop's left end at scale 0.5 and offset
// 1.4 lands at 90 + (-0.6 / 0.5 + 1.4) x 42 = 90 + 8.4 = 98, its flow 0.3
// at 60 + 84 - 0.3 / 0.5 x 21 = 144 - 12 (12.6 truncated) = 132; the
// TGV loop's right end (36 Pa, -1 kPa) at scale 1 and offset 32 at
// 420 + 68 x 1.4 = 515 across and 144 - 21 = 123 up. A loop of six scaled
// units across (190 scaled Pa) and ±4 up stays inside its frame.
TEST(PlethyPrintLoops, PrintedPointsFallWhereThePapersUnitsPutThem) {
  const PlethyGeometry::TLoopFrame res = PlethyGeometry::PrintedResistanceFrame(60);
  const PlethyGeometry::TLoopFrame tgv = PlethyGeometry::PrintedTgvFrame(60);
  EXPECT_EQ(res.Area, (TRect{90, 60, 370, 228}));
  EXPECT_EQ(tgv.Area, (TRect{420, 60, 700, 228}));
  EXPECT_EQ(PlethyGeometry::PrintedResistancePoint(res, 0.5f, 1.4f, -0.6f, 0.3f), (TPoint{98, 132}));
  EXPECT_EQ(PlethyGeometry::PrintedTgvPoint(tgv, 1.0f, 32.0f, 36.0f, -1.0f), (TPoint{515, 123}));
  for (const float scale : {0.25f, 0.5f, 1.0f, 1.5f}) {
    // From -2.5 to +3.5 scaled units, placed as the actual trial's: 0.2 to
    // 6.2 across (the frame ends at 280 / 42 = 6.67).
    const auto at = [&](float kpa, float lps) {
      return PlethyGeometry::PrintedResistancePoint(res, scale, 2.7f, kpa * scale, lps * scale);
    };
    EXPECT_TRUE(PlethyGeometry::Inside(res, at(-2.5f, 4.0f))) << scale;
    EXPECT_TRUE(PlethyGeometry::Inside(res, at(3.5f, -4.0f))) << scale;
    EXPECT_TRUE(PlethyGeometry::Inside(tgv, PlethyGeometry::PrintedTgvPoint(tgv, scale, 8.0f, 190.0f * scale,
                                                                            4.0f * scale)))
        << scale;
  }
}

}  // namespace
