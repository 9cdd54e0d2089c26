#include "measure/window/SpiroBitmapExport.h"

#include "measure/results/ResultCells.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/Artifacts.h"
#include "testing/RecordingSurface.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace SpiroBitmapExport;

namespace {

class SpiroBitmapExportTest : public MeasureCoreTest {
protected:
  // A result of `kind` in trial 1 with a short curve.
  void Result(short kind) {
    Core.SetMeasureMode(kind);
    ASSERT_TRUE(Core.AllocateSpiroBuffer(0, kind, true));
    float* flow = Core.GetSpiroFlowBuffer(0);
    float* volume = Core.GetSpiroVolumeBuffer(0);
    for (int i = 0; i < 300; ++i) {
      flow[i] = i < 150 ? 4.0f : -3.0f;
      volume[i] = i < 150 ? 3.0f - 0.02f * static_cast<float>(i) : 0.015f * static_cast<float>(i - 150);
    }
    Core.SetBufferSize(kind, 0, 300);
    Core.GetAktBuffer(kind, 0)[0] = 3.0f;
    Core.TrialOrder = {1, 0, 0};
    Core.SetMeasureMode(MEASURE_FVC);
  }
};

TEST_F(SpiroBitmapExportTest, BitmapSizesByKind) {
  struct Case {
    short kind;
    int width, height;
  };
  for (const Case c : {Case{MEASURE_FVC, 751, 401}, Case{MEASURE_VC, 421, 195}, Case{MEASURE_MVV, 421, 195},
                       Case{MEASURE_DFC, 751, 195}}) {
    Result(c.kind);
    const auto text = Folder / "result.txt";
    const auto bmp = Folder / ("result" + std::to_string(c.kind) + ".bmp");
    ASSERT_TRUE(SaveTextAndBmpForSpiro(Core, Texts, c.kind, text, bmp, {})) << c.kind;
    const QImage image(QString::fromStdString(bmp.string()), "BMP");
    EXPECT_EQ(image.width(), c.width) << c.kind;
    EXPECT_EQ(image.height(), c.height) << c.kind;
  }
  // The FVC picture holds the actual curve's pen.
  const QImage fvc(QString::fromStdString((Folder / "result0.bmp").string()), "BMP");
  int blue = 0;
  for (int y = 0; y < fvc.height(); ++y)
    for (int x = 0; x < fvc.width(); ++x)
      blue += fvc.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
  EXPECT_GT(blue, 50);
}

// The shutter picture holds the pressure-flow curve of the actual trial:
// it has many more dark pixels than the axes alone.
TEST_F(SpiroBitmapExportTest, TheShutterPictureHoldsItsCurve) {
  Core.SetMeasureMode(MEASURE_SHUTTER);
  ASSERT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_SHUTTER, true));
  Core.GetAktBuffer(MEASURE_SHUTTER, 0)[0] = 0.3f;
  Core.TrialOrder = {1, 0, 0};
  const auto dark = [&](short points) {
    float* flow = Core.GetSpiroFlowBuffer(0);
    float* pressure = Core.GetSpiroPressureBuffer(0);
    for (int i = 0; i < points; ++i) {
      flow[i] = -0.8f + 0.1f * static_cast<float>(i);
      pressure[i] = -0.3f * flow[i];
    }
    Core.SetBufferSize(MEASURE_SHUTTER, 0, points);
    const auto bmp = Folder / ("shutter" + std::to_string(points) + ".bmp");
    EXPECT_TRUE(SaveTextAndBmpForSpiro(Core, Texts, MEASURE_SHUTTER, Folder / "shutter.txt", bmp, {}));
    const QImage image(QString::fromStdString(bmp.string()), "BMP");
    EXPECT_EQ(image.size(), QSize(751, 195));
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        count += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return count;
  };
  const int axesOnly = dark(0);
  EXPECT_GT(dark(17), axesOnly + 50);
  Core.SetMeasureMode(MEASURE_FVC);
}

// The plethysmograph picture holds both loops of the actual trial where
// the paper's units put them: a resistance loop of flow 0.8 sin(a) against
// alveolar pressure 0.5 sin(a + 0.3) and a TGV loop of box -20 sin(a) Pa
// against mouth sin(a) kPa all lie within the narrowest range (1 kPa, 1 L/s,
// 30 Pa), so both print at scale 0.25. The actual loop's left end stands
// 0.2 scaled kPa (8 scaled Pa) right of its axis: x = 90 + 0.2 x 42 = 98.4
// and x = 420 + 8 x 1.4 = 431.2, truncated. Below the legend (y 25) the
// frames are 168 high, so the loops end above the picture's foot.
TEST_F(SpiroBitmapExportTest, ThePlethysmographPictureHoldsBothLoopsWhereThePaperPutsThem) {
  Core.SetMeasureMode(MEASURE_PLETHY);
  for (auto* curve : {&Core.Flow[0], &Core.Volume[0], &Core.BoxPressure[0], &Core.MouthPressure[0]})
    curve->assign(6010, 0.0f);
  TPlethySlot& slot = *Core.GetPlethySlot(0);
  slot.BeginResistanceLoop = 10;
  slot.EndResistanceLoop = 110;
  slot.BeginTGVLoop = 120;
  slot.EndTGVLoop = 220;
  for (std::size_t i = 10; i < 110; ++i) {
    const double a = 2.0 * std::numbers::pi * static_cast<double>(i - 10) / 100.0;
    Core.Flow[0][i] = static_cast<float>(0.8 * std::sin(a));
    Core.BoxPressure[0][i] = static_cast<float>(0.5 * std::sin(a + 0.3));
  }
  for (std::size_t i = 120; i < 220; ++i) {
    const double a = 2.0 * std::numbers::pi * static_cast<double>(i - 120) / 100.0;
    Core.MouthPressure[0][i] = static_cast<float>(std::sin(a));
    Core.BoxPressure[0][i] = static_cast<float>(-20.0 * std::sin(a));
  }
  Core.SetBufferSize(MEASURE_PLETHY, 0, 300);
  Core.GetAktBuffer(MEASURE_PLETHY, 0)[0] = 6.0f;
  Core.TrialOrder = {1, 0, 0};
  const auto bmp = Folder / "plethy.bmp";
  ASSERT_TRUE(SaveTextAndBmpForSpiro(Core, Texts, MEASURE_PLETHY, Folder / "plethy.txt", bmp, {}));
  const QImage image(QString::fromStdString(bmp.string()), "BMP");
  ASSERT_EQ(image.size(), QSize(751, 195));
  std::filesystem::create_directories(Artifacts);
  image.save(QString::fromStdString((Artifacts / "plethy-bitmap-export.png").string()));
  // The leftmost drawn pixel right of each vertical axis and its ticks,
  // below the horizontal axis (y 25 + 84 = 109) and its ticks.
  const auto leftmost = [&](int from, int to) {
    for (int x = from; x < to; ++x)
      for (int y = 114; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 200)
          return x;
    return -1;
  };
  EXPECT_EQ(leftmost(95, 370), 98);
  EXPECT_EQ(leftmost(426, 700), 431);
  Core.SetMeasureMode(MEASURE_FVC);
}

// The picture's legend names the previous test, beside a dark-red sample
// line at y 20 from x 681 to 701, only when a previous test is in its slot
// (slot 4 of the window, index 3): otherwise the line would name a curve
// that is not drawn. The actual test's light-blue line stands at y 11.
TEST_F(SpiroBitmapExportTest, TheLegendNamesThePreviousTestOnlyBesideItsCurve) {
  for (const short kind : {MEASURE_FVC, MEASURE_VC}) {
    SCOPED_TRACE(kind);
    Result(kind);
    const auto legend = [&](int y, TColor colour) {
      TRecordingSurface surface({751, 401});
      DrawGraphs(surface, Core, Texts, kind);
      int samples = 0;
      for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line))
        samples += call.Points[0] == TPoint{681, y} && call.Points[1] == TPoint{701, y} && call.Pen.Color == colour;
      const auto texts = surface.Texts();
      return std::make_pair(samples, static_cast<int>(std::count(texts.begin(), texts.end(), "Pre. ")));
    };
    // (sample lines, "Pre. " texts)
    EXPECT_EQ(legend(11, ResultCells::LightBlue), std::make_pair(1, 0)) << "the actual test alone";
    EXPECT_EQ(legend(20, ResultCells::DarkRed), std::make_pair(0, 0)) << "the actual test alone";

    // A previous test of the kind: its result and curve in the fourth slot.
    Core.SetMeasureMode(kind);
    ASSERT_TRUE(Core.AllocateSpiroBuffer(3, kind, true));
    float* flow = Core.GetSpiroFlowBuffer(3);
    float* volume = Core.GetSpiroVolumeBuffer(3);
    for (int i = 0; i < 300; ++i) {
      flow[i] = i < 150 ? 3.0f : -2.0f;
      volume[i] = i < 150 ? 2.5f - 0.015f * static_cast<float>(i) : 0.01f * static_cast<float>(i - 150);
    }
    Core.SetBufferSize(kind, 3, 300);
    Core.GetAktBuffer(kind, 3)[0] = 2.5f;
    Core.SetMeasureMode(MEASURE_FVC);
    EXPECT_EQ(legend(20, ResultCells::DarkRed), std::make_pair(1, 1)) << "with a previous test";
    Core.SetBufferSize(kind, 3, 0);
    Core.GetAktBuffer(kind, 3)[0] = 0.0f;
  }
}

TEST_F(SpiroBitmapExportTest, NothingWithoutAResultAndNoBitmapAfterAFailedText) {
  EXPECT_FALSE(SaveTextAndBmpForSpiro(Core, Texts, MEASURE_FVC, Folder / "a.txt", Folder / "a.bmp", {}));
  EXPECT_FALSE(std::filesystem::exists(Folder / "a.txt"));

  Result(MEASURE_FVC);
  const auto bmp = Folder / "b.bmp";
  EXPECT_FALSE(SaveTextAndBmpForSpiro(Core, Texts, MEASURE_FVC, Folder / "missing" / "b.txt", bmp, {}));
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(28)));
  EXPECT_FALSE(std::filesystem::exists(bmp));
}

}  // namespace
