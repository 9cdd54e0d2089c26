#include "platform/basekit/ui/ImagePicture.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "resources/Pictures.h"
#include "testing/Artifacts.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Pictures, EveryShippedPictureLoadsAndAMissingOneIsNothing) {
  const TResourcePictures pictures;
  for (const std::string_view name : ShippedPictures()) {
    SCOPED_TRACE(name);
    const auto picture = pictures.Load(name);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Name(), name);
    EXPECT_GT(picture->Size().Width, 0);
  }
  EXPECT_EQ(pictures.Load("BOARD800_600")->Size(), (TSize{800, 600}));
  EXPECT_EQ(pictures.Load("NO_SUCH_PICTURE"), nullptr);
  EXPECT_EQ(TResourcePictures("/no/such/folder/").Load("CAKE"), nullptr);
}

// The cake as the animation lays it out: candles OR-painted after a black
// bar clears their stick's column, so the stick keeps its colours and the
// cake around it shows through the candle's black.
TEST(Pictures, CandlesOrPaintedOntoTheCake) {
  const TResourcePictures pictures;
  const auto cake = pictures.Load("CAKE");
  const auto candle = pictures.Load("CANDLE");
  ASSERT_TRUE(cake && candle);
  QImage frame(421, 208, QImage::Format_RGB32);
  frame.fill(Qt::gray);
  const std::array<TPoint, 5> offsets{{{109, 24}, {160, 8}, {203, 39}, {255, 8}, {304, 28}}};
  {
    QPainter painter(&frame);
    TPainterSurface surface(painter);
    surface.DrawPicture(*cake, {0, 0, 421, 208}, TRasterOp::SrcCopy);
    for (const TPoint p : offsets) {
      surface.FillRect({p.X + 10, p.Y, p.X + 15, p.Y + 96}, TColor::Black());
      surface.DrawPicture(*candle, {p.X, p.Y, p.X + 25, p.Y + 96}, TRasterOp::SrcPaint);
    }
  }
  const QImage& candleImage = dynamic_cast<const TImagePicture&>(*candle).GetImage();
  const QImage& cakeImage = dynamic_cast<const TImagePicture&>(*cake).GetImage();
  const TPoint p = offsets[2];
  for (int y = 30; y < 96; y += 7) {
    EXPECT_EQ(frame.pixel(p.X + 12, p.Y + y), candleImage.pixel(12, y)) << y;
    EXPECT_EQ(frame.pixel(p.X + 5, p.Y + y), cakeImage.pixel(p.X + 5, p.Y + y)) << y;
  }
  std::filesystem::create_directories(Artifacts);
  EXPECT_TRUE(frame.save(QString::fromStdString((Artifacts / "pictures-cake-5-candles.png").string())));
}

}  // namespace
