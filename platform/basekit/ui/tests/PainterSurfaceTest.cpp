#include "platform/basekit/ui/PainterSurface.h"

#include "platform/basekit/Util.h"
#include "platform/basekit/ui/ImagePicture.h"
#include "platform/basekit/ui/ScreenFont.h"
#include "platform/basekit/ui/WaitCursor.h"
#include "testing/RecordingSurface.h"
#include "testing/Artifacts.h"

#include <QApplication>
#include <QFontInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

QImage Canvas(int width, int height, QColor fill = Qt::white) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

void Paint(QPaintDevice& device, const std::function<void(TDrawSurface&)>& routine) {
  QPainter painter(&device);
  TPainterSurface surface(painter);
  routine(surface);
}

QRgb Rgb(TColor c) { return qRgb(c.R, c.G, c.B); }

TEST(PainterSurface, FillsLinesAndFramesHitExactPixels) {
  QImage image = Canvas(40, 30);
  Paint(image, [](TDrawSurface& s) {
    EXPECT_EQ(s.Size(), (TSize{40, 30}));
    s.FillRect({2, 3, 12, 8}, {10, 20, 30});
    s.SetPen({{255, 0, 0}, 1, TPenStyle::Solid});
    s.Line({0, 20}, {39, 20});
    s.SetPen({{0, 0, 255}, 1, TPenStyle::Solid});
    s.FrameRect({20, 0, 30, 10});
    const std::vector<TPoint> zigzag{{0, 25}, {5, 25}, {5, 29}};
    s.Polyline(zigzag);
  });
  EXPECT_EQ(image.pixel(2, 3), qRgb(10, 20, 30));
  EXPECT_EQ(image.pixel(11, 7), qRgb(10, 20, 30));
  EXPECT_EQ(image.pixel(12, 7), qRgb(255, 255, 255));  // right and bottom are outside
  EXPECT_EQ(image.pixel(11, 8), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(17, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(20, 0), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(29, 9), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(30, 9), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(25, 5), qRgb(255, 255, 255));  // a frame fills nothing
  EXPECT_EQ(image.pixel(3, 25), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(5, 28), qRgb(0, 0, 255));
}

// A circle in the box (10, 10, 40, 40): 30 pixels across, centre (24.5, 24.5).
TEST(PainterSurface, EllipsesStayInsideTheirBoxFilledOrOutlined) {
  QImage filled = Canvas(50, 50);
  Paint(filled, [](TDrawSurface& s) {
    s.SetPen({{255, 0, 0}, 1, TPenStyle::Solid});
    s.Ellipse({10, 10, 40, 40}, TColor{0, 255, 0});
    s.FillRect({0, 45, 5, 50}, TColor::Black());  // the brush does not outlive the ellipse
  });
  EXPECT_EQ(filled.pixel(25, 25), qRgb(0, 255, 0));
  EXPECT_EQ(filled.pixel(10, 25), qRgb(255, 0, 0));  // the outline's leftmost column
  EXPECT_EQ(filled.pixel(39, 25), qRgb(255, 0, 0));  // and its rightmost, inside the box
  EXPECT_EQ(filled.pixel(40, 25), qRgb(255, 255, 255));
  EXPECT_EQ(filled.pixel(25, 40), qRgb(255, 255, 255));
  EXPECT_EQ(filled.pixel(11, 11), qRgb(255, 255, 255));  // a corner of the box is outside the circle

  QImage outlined = Canvas(50, 50);
  Paint(outlined, [](TDrawSurface& s) {
    s.SetPen({{255, 0, 0}, 1, TPenStyle::Solid});
    s.Ellipse({10, 10, 40, 40}, std::nullopt);
    s.FrameRect({0, 0, 5, 5});
  });
  EXPECT_EQ(outlined.pixel(25, 10), qRgb(255, 0, 0));
  EXPECT_EQ(outlined.pixel(25, 25), qRgb(255, 255, 255));
  EXPECT_EQ(outlined.pixel(2, 2), qRgb(255, 255, 255)) << "a frame after it is not filled";

  QImage empty = Canvas(10, 10);
  Paint(empty, [](TDrawSurface& s) { s.Ellipse({5, 5, 5, 9}, TColor::Black()); });
  EXPECT_EQ(empty, Canvas(10, 10)) << "an empty box draws nothing";
}

TEST(PainterSurface, ClippingKeepsDrawingInside) {
  QImage image = Canvas(20, 20);
  Paint(image, [](TDrawSurface& s) {
    s.SetClip({5, 5, 10, 10});
    s.FillRect({0, 0, 20, 20}, TColor::Black());
    s.ResetClip();
    s.FillRect({15, 15, 16, 16}, TColor::Black());
  });
  EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(9, 9), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(4, 4), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(15, 15), qRgb(0, 0, 0));
}

// A 2 x 2 picture: red, green / blue, black.
TImagePicture Checker() {
  QImage image(2, 2, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(0x81, 0x01, 0x10));
  image.setPixel(1, 0, qRgb(0, 255, 0));
  image.setPixel(0, 1, qRgb(0, 0, 255));
  image.setPixel(1, 1, qRgb(0, 0, 0));
  return TImagePicture("CHECKER", image);
}

TEST(PainterSurface, PicturesScaleByNearestNeighbourAndOrWithSrcPaint) {
  const TImagePicture checker = Checker();
  QImage copied = Canvas(6, 6, QColor(0x40, 0x80, 0x00));
  Paint(copied, [&](TDrawSurface& s) { s.DrawPicture(checker, {0, 0, 6, 6}, TRasterOp::SrcCopy); });
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(copied.pixel(x, y), checker.GetImage().pixel(x / 3, y / 3)) << x << "," << y;

  QImage ored = Canvas(4, 4, QColor(0x40, 0x80, 0x00));
  Paint(ored, [&](TDrawSurface& s) { s.DrawPicture(checker, {0, 0, 4, 4}, TRasterOp::SrcPaint); });
  EXPECT_EQ(ored.pixel(0, 0), qRgb(0xC1, 0x81, 0x10));  // 0x40|0x81, 0x80|0x01, 0x00|0x10
  EXPECT_EQ(ored.pixel(3, 0), qRgb(0x40, 0xFF, 0x00));
  EXPECT_EQ(ored.pixel(0, 3), qRgb(0x40, 0x80, 0xFF));
  EXPECT_EQ(ored.pixel(3, 3), qRgb(0x40, 0x80, 0x00));  // black leaves the destination
}

// On a device without raster operations (a recorded picture, a printer, a
// PDF) the black parts of an OR-painted picture still leave what is there.
TEST(PainterSurface, SrcPaintLeavesBlackOutWhereThereAreNoRasterOperations) {
  const TImagePicture checker = Checker();
  QPicture recorded;
  Paint(recorded, [&](TDrawSurface& s) { s.DrawPicture(checker, {0, 0, 4, 4}, TRasterOp::SrcPaint); });
  QImage image = Canvas(4, 4, QColor(0x40, 0x80, 0x00));
  {
    QPainter painter(&image);
    painter.drawPicture(0, 0, recorded);
  }
  EXPECT_EQ(image.pixel(3, 3), qRgb(0x40, 0x80, 0x00));
  EXPECT_NE(image.pixel(3, 0), qRgb(0x40, 0x80, 0x00));
}

TEST(PainterSurface, TextsFillTheirBoxAndMeasureWithTheFontUsed) {
  QImage image = Canvas(200, 60);
  const TTextStyle style{{"Courier New", 20, 700}, {0, 0, 128}, {192, 192, 192}, true, TTextAlign::Centre};
  TSize measured;
  Paint(image, [&](TDrawSurface& s) {
    s.TextInRect({0, 0, 200, 30}, "FEV1", style);
    measured = s.MeasureText("FEV1", style.Font);
    s.TextAt({0, 35}, "FEV1", style);
  });
  EXPECT_EQ(image.pixel(1, 1), qRgb(192, 192, 192));
  EXPECT_EQ(image.pixel(198, 28), qRgb(192, 192, 192));
  EXPECT_EQ(image.pixel(measured.Width - 1, 35 + measured.Height - 1), qRgb(192, 192, 192));
  EXPECT_EQ(image.pixel(measured.Width + 1, 36), qRgb(255, 255, 255));
  int textPixels = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x)
      textPixels += image.pixel(x, y) == qRgb(0, 0, 128) ? 1 : 0;
  EXPECT_GT(textPixels, 20);
  // A fixed-pitch face: four letters are four times one.
  EXPECT_GT(measured.Width, 0);
  Paint(image, [&](TDrawSurface& s) { EXPECT_EQ(s.MeasureText("F", style.Font).Width * 4, measured.Width); });
}

TEST(ScreenFont, TheSystemFacesResolveToTheirMetricTwins) {
  const QFont mono = MakeFont({"Courier New", 20, 700});
  EXPECT_EQ(mono.pixelSize(), 20);
  EXPECT_EQ(mono.weight(), QFont::Bold);
  EXPECT_TRUE(QFontInfo(mono).fixedPitch());
  EXPECT_EQ(QFontInfo(MakeFont({"Times New Roman", 12, 400})).family(), "Liberation Serif");
  EXPECT_EQ(ScreenFont("Courier New", 11).pixelSize(), HeightInPixels(11));
}

TEST(WaitCursor, ShowsTheWaitCursorForItsScope) {
  {
    const TWaitCursor wait;
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// One routine in the reference layout, painted on a screen-sized image, a
// PDF page and the recording surface: the same calls reach each.
void LayoutRoutine(TDrawSurface& surface) {
  const float fx = static_cast<float>(surface.Size().Width) / 800.0f;
  const float fy = static_cast<float>(surface.Size().Height) / 600.0f;
  const TUtil util;
  TUtil::FillRect(surface, fx, fy, {0, 0, 800, 600}, util.GetColor(TUtil::Panel));
  TUtil::FillRect(surface, fx, fy, {8, 67, 312, 276}, util.GetColor(TUtil::Background));
  surface.SetPen({util.GetColor(TUtil::Trial1), 2, TPenStyle::Solid});
  surface.Line(TUtil::Scale(fx, fy, TPoint{20, 250}), TUtil::Scale(fx, fy, TPoint{300, 80}));
  surface.Ellipse(TUtil::Scale(fx, fy, TRect{400, 100, 430, 130}), util.GetColor(TUtil::Trial2));
  TUtil::TextOutA(surface, fx, fy, 110, 9, "Kovács Anna, 45", util.GetColor(TUtil::Panel), 10, "Times New Roman",
                  util.GetColor(TUtil::Text), 700);
}

TEST(PainterSurface, OneRoutinePaintsAnImageAPdfAndARecording) {
  std::filesystem::create_directories(Artifacts);
  QImage screen = Canvas(1280, 1024);
  Paint(screen, LayoutRoutine);
  EXPECT_EQ(screen.pixel(5, 5), Rgb(TUtil::DefaultColors()[TUtil::Panel]));
  EXPECT_EQ(screen.pixel(20, 300), Rgb(TUtil::DefaultColors()[TUtil::Background]));
  // The line runs from (32, 426) to (480, 136) on this screen; its middle is (256, 281).
  EXPECT_EQ(screen.pixel(256, 281), Rgb(TUtil::DefaultColors()[TUtil::Trial1]));
  // The circle's box is (640, 170.7) to (688, 221.9) here; its middle (664, 196) is filled.
  EXPECT_EQ(screen.pixel(664, 196), Rgb(TUtil::DefaultColors()[TUtil::Trial2]));
  EXPECT_TRUE(screen.save(QString::fromStdString((Artifacts / "surface-layout-1280.png").string())));

  const auto pdf = Artifacts / "surface-layout.pdf";
  {
    QPdfWriter writer(QString::fromStdString(pdf.string()));
    writer.setResolution(300);
    Paint(writer, LayoutRoutine);
  }
  EXPECT_GT(std::filesystem::file_size(pdf), 500u);

  TRecordingSurface recording({800, 600});
  LayoutRoutine(recording);
  EXPECT_EQ(recording.Texts(), std::vector<std::string>{"Kovács Anna, 45"});
  EXPECT_EQ(recording.OfKind(TRecordingSurface::TKind::FillRect).size(), 2u);
  EXPECT_EQ(recording.OfKind(TRecordingSurface::TKind::Line).at(0).Points.at(1), (TPoint{300, 80}));
  const auto ellipses = recording.OfKind(TRecordingSurface::TKind::Ellipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(ellipses[0].Rect, (TRect{400, 100, 430, 130}));
  EXPECT_TRUE(ellipses[0].Filled);
  EXPECT_EQ(ellipses[0].Color, TUtil::DefaultColors()[TUtil::Trial2]);
}

}  // namespace
