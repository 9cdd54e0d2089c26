#include "measure/window/SpiroBitmapExport.h"

#include "measure/tests/MeasureCoreFixture.h"

#include <QImage>

#include <algorithm>

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
