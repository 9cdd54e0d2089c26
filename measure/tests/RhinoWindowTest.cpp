// The measurement window in rhinomanometry with both pairs of curves: the
// parameter list of the shown rows, the diagram in both layouts and at
// two scales, and a picture of each for a person to look at.

#include "measure/tests/MeasureWindowFixture.h"

#include "measure/results/ParamList.h"
#include "measure/window/RhinoBitmapExport.h"
#include "platform/portkit/rhinomanometry/SideAverage.h"
#include "tools/lungmodel/RhinoModel.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>

namespace {

class RhinoWindow : public MeasureWindowFixture {
protected:
  RhinoWindow() { Open(MEASURE_RHINO); }

  // Slot `slot` holds the evaluated recording of a nose of `at150` mL/s:
  // three breaths of 300 Pa.
  void Measured(short slot, double at150) {
    TMeasure& w = *Window;
    ASSERT_TRUE(w.AllocateSpiroBuffer(slot, MEASURE_RHINO, true));
    const auto s = static_cast<std::size_t>(slot);
    std::size_t n = 0;
    for (int half = 0; half < 6; ++half)
      for (int i = 0; i < 150; ++i, ++n) {
        const double p = (half % 2 == 0 ? 300.0 : -300.0) * std::sin(std::numbers::pi * (i + 0.5) / 150.0);
        w.Third[s][n] = static_cast<float>(p);
        w.Flow[s][n] = static_cast<float>(LungModel::NasalFlowMlps(LungModel::TNose{at150, 0.2}, p));
      }
    rhinomanometry::RhinoCurve curve{w.Flow[s], w.Third[s], n};
    ASSERT_TRUE(rhinomanometry::AverageCurve(curve));
    w.SampleCount[MEASURE_RHINO][s] = static_cast<short>(curve.count);
    w.MeasureDate[MEASURE_RHINO][s] = {2026, 11, 12};
    w.MeasureTime[MEASURE_RHINO][s] = {30, 9, 0, 0};
    w.TrialIndex = slot;
    w.Rhino.Side = static_cast<short>(slot % 2);
    w.CalculateRhinoParams();
  }
};

TEST_F(RhinoWindow, BothPairsInTheListAndTheDiagram) {
  Measured(0, 400.0);
  Measured(1, 350.0);
  Measured(2, 300.0);
  Measured(3, 280.0);
  TMeasure& w = *Window;
  EXPECT_EQ(w.GetPredictedList()->currentText(), "Average") << "the algorithm of the ini file, 1 by default";
  EXPECT_NEAR(w.Rhino.ParamsAkt.Flows[3][1], 400.0f, 6.0f);
  EXPECT_NEAR(w.Rhino.ParamsPre.Flows[3][0], 280.0f, 4.2f);
  w.UpdateParamListBox();
  // The anterior default rows: 75, 100 and 150 Pa, flows then resistances.
  const auto lines = w.GetParamList()->GetLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("Flow [ 75]", 0), 0u);
  EXPECT_EQ(lines[3].rfind("RES  [ 75]", 0), 0u);
  w.Repaint();
  SavePicture(w, "measure-window-rhino-normal.png");

  // Painting four full curves is quick.
  const auto start = std::chrono::steady_clock::now();
  w.Repaint();
  const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ rhino paint ] %.2f ms for the window with four curves\n", ms);

  w.CmScreen();  // the enlarged diagram
  w.Repaint();
  SavePicture(w, "measure-window-rhino-enlarged.png");
  for (int k = 0; k < 4 && w.ZoomLevel != 3; ++k)
    w.CmZoom();  // scale index 3: the flow axis reads ±150 mL/s
  EXPECT_EQ(w.ZoomLevel, 3);
  w.Repaint();
  SavePicture(w, "measure-window-rhino-enlarged-zoom3.png");
}

TEST_F(RhinoWindow, TextAndBitmapExport) {
  Measured(0, 400.0);
  Measured(1, 350.0);
  TMeasure& w = *Window;
  const auto text = Folder / "rhino.txt";
  const auto bmp = Folder / "rhino.bmp";
  ASSERT_TRUE(RhinoBitmapExport::SaveTextAndBmpForRhino(w, Texts, text, bmp, "Septum straight\n"));
  const std::string written = TTemporaryFolder::Read(text);
  // Dates of the first pair, the picture of the empty second pair; the
  // three anterior rows as flows and resistances; the notes; LF line ends.
  EXPECT_EQ(written.rfind("2026.12.11.@09:30:00@YYYY.MM.DD.@HH:MM:SS\n", 0), 0u) << written;
  EXPECT_NE(written.find("\nFlow [150]@[mL/s]@"), std::string::npos);
  EXPECT_NE(written.find("\nRES  [ 75]@[Pa/mL/s]@"), std::string::npos);
  EXPECT_EQ(written.find('\r'), std::string::npos);
  EXPECT_TRUE(written.ends_with("Septum straight\n"));
  // A BMP of 751 × 366: "BM", then width and height in the info header.
  const std::string picture = TTemporaryFolder::Read(bmp);
  ASSERT_GT(picture.size(), 26u);
  EXPECT_EQ(picture.substr(0, 2), "BM");
  const auto le32 = [&](std::size_t at) {
    return static_cast<int>(static_cast<unsigned char>(picture[at]) | static_cast<unsigned char>(picture[at + 1]) << 8 |
                            static_cast<unsigned char>(picture[at + 2]) << 16 |
                            static_cast<unsigned char>(picture[at + 3]) << 24);
  };
  EXPECT_EQ(le32(18), 751);
  EXPECT_EQ(std::abs(le32(22)), 366);
  QImage shown(QString::fromStdString(bmp.string()));
  shown.save(QString::fromStdString((std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "rhino-export.png").string()));

  // A folder that is not there: the message, no bitmap.
  EXPECT_FALSE(RhinoBitmapExport::SaveTextAndBmpForRhino(w, Texts, Folder / "missing" / "r.txt", Folder / "r.bmp", ""));
  EXPECT_NE(Sink.Messages.at(0).Text.find("cannot be written"), std::string::npos);
  Sink.Messages.clear();
  EXPECT_FALSE(std::filesystem::exists(Folder / "r.bmp"));
}

}  // namespace
