#include "measure/results/CalibList.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CALIB_PARAMS Spirometer() {
  CALIB_PARAMS p;
  p.Labels = {"Inspiration", "Expiration", "Third line", "CO", "He"};
  p.NominalVolume = 3000;
  p.A1 = 1.0234f;
  p.M1 = 2970.0f;  // -1.0 %
  p.A2 = 0.98f;
  p.M2 = 0.0f;     // nothing measured: 0.0, not -100.0
  return p;
}

std::vector<std::string> Fill(const CALIB_PARAMS& p, int lines) {
  TCalibList list;
  list.SetScreenSize(lines == 480 ? 640 : 1024, lines);
  list.FillCalibList(p);
  return list.GetLines();
}

TEST(CalibList, VolumeLinesAtBothScreenHeights) {
  // Widths: label 20, values 5, 7, 4 on 768 lines; 27, 7, 9, 5 on 480.
  EXPECT_EQ(Fill(Spirometer(), 768),
            (std::vector<std::string>{
                "Inspiration         " " [ml] " " 3000" " " " 1.02" " " "   2970" " " "-1.0",
                "Expiration          " " [ml] " " 3000" " " " 0.98" " " "      0" " " " 0.0"}));
  EXPECT_EQ(Fill(Spirometer(), 480),
            (std::vector<std::string>{
                "Inspiration                " " [ml] " " 3000" " " "   1.02" " " "     2970" " " " -1.0",
                "Expiration                 " " [ml] " " 3000" " " "   0.98" " " "        0" " " "  0.0"}));
}

TEST(CalibList, NoNominalVolumeGivesNoDeviation) {
  CALIB_PARAMS p = Spirometer();
  p.NominalVolume = 0;
  const auto lines = Fill(p, 600);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Inspiration         " " [ml] " "    0" " " " 1.02" " " "   2970" " " " 0.0");
}

TEST(CalibList, DiffusionAndPlethysmographLinesByInstrumentType) {
  CALIB_PARAMS diffusion = Spirometer();
  diffusion.InstrumentType = 0x61;
  diffusion.A3 = 1.5f;
  diffusion.M3 = 3030.0f;  // +1.0 %
  diffusion.F5 = 1.25f;
  diffusion.X5 = 0.8f;
  diffusion.F4 = 2.0f;
  diffusion.X4 = 0.25f;
  const auto gas = Fill(diffusion, 600);
  ASSERT_EQ(gas.size(), 5u);
  EXPECT_EQ(gas[2], "Third line          " " [ml] " " 3000" " " " 1.50" " " "   3030" " " " 1.0");
  EXPECT_EQ(gas[3], "He                  " " [%] " "  1.25" " " " 0.80" " " "   1.00");
  EXPECT_EQ(gas[4], "CO                  " " [%] " "  2.00" " " " 0.25" " " "   0.50");

  CALIB_PARAMS box = Spirometer();
  box.InstrumentType = 0x01;
  box.P1 = 2.5f;
  box.P2 = 5.0f;
  box.T1 = 7.5f;
  box.T2 = 5.0f;
  box.T3 = 10.0f;
  const auto pleth = Fill(box, 600);
  ASSERT_EQ(pleth.size(), 4u);
  EXPECT_EQ(pleth[2], "Pbox                " " [Pa] " " 2.50" " " " 2.00" " " "   5.00");
  // The division sign is U+00F7, two bytes in UTF-8.
  EXPECT_EQ(pleth[3], "Tconst              " " [s] " "  5" "\xC3\xB7" "10" " " "         7.50");
  EXPECT_EQ(Fill(box, 480)[3], "Tconst                     " " [s] " "  5" "\xC3\xB7" "10" " " "             7.50");

  box.P1 = 0.0f;  // no box pressure: the ratio shows 0, not inf
  EXPECT_EQ(Fill(box, 600)[2], "Pbox                " " [Pa] " " 0.00" " " " 0.00" " " "   5.00");

  for (const short other : {0x00, 0x20, 0x40, 0xE0}) {
    CALIB_PARAMS p = Spirometer();
    p.InstrumentType = other;
    EXPECT_EQ(Fill(p, 600).size(), 2u) << other;
  }
}

TEST(CalibList, FontsByModeAndScreenAndTheViewIsToldOnce) {
  TCalibList list;
  int told = 0;
  list.OnChanged = [&told] { ++told; };
  list.SetupWindow();
  EXPECT_EQ(told, 0);
  EXPECT_EQ(list.GetFont().Points, 11);
  EXPECT_EQ(std::string(TListFont::Face), "Liberation Mono");
  EXPECT_EQ(TListFont::Weight, 700);
  list.ChangeFont(MEASURE_CALIBRATION);
  EXPECT_EQ(list.GetFont().Points, 10);
  list.SetScreenSize(640, 480);
  list.ChangeFont(MEASURE_CALIBRATION);
  EXPECT_EQ(list.GetFont().Points, 9);
  list.ChangeFont(MEASURE_FVC);
  EXPECT_EQ(list.GetFont().Points, 11);

  told = 0;
  list.FillCalibList(Spirometer());
  EXPECT_EQ(told, 1) << "a fill is shown once, when redrawing turns back on";
}

}  // namespace
