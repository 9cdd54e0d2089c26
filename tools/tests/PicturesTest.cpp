#include "tools/pictures/Pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::filesystem::path Bitmaps = std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/bitmaps";

// The pictures the program ships are the ones this tool draws; after a
// change to the drawing, run `halvetra-pictures resources/bitmaps`.
TEST(Pictures, TheShippedPicturesAreTheDrawnOnes) {
  const auto pictures = DrawPictures();
  EXPECT_EQ(pictures.size(), 22u);
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.Name);
    const QImage shipped(QString::fromStdString((Bitmaps / (picture.Name + ".png")).string()));
    ASSERT_FALSE(shipped.isNull());
    EXPECT_EQ(shipped.convertToFormat(QImage::Format_RGB32), picture.Image.convertToFormat(QImage::Format_RGB32));
  }
}

// The flames and candles are OR-painted or copied over the cake: their
// surroundings must be pure black, and the candle's stick must fill the
// five columns the black bar clears.
TEST(Pictures, CandlesAndFlamesStandOnBlack) {
  for (const auto& picture : DrawPictures()) {
    const QImage& image = picture.Image;
    if (picture.Name == "CANDLE") {
      EXPECT_EQ(image.size(), QSize(25, 96));
      for (int y = 30; y < 96; ++y)
        for (int x = 0; x < 25; ++x)
          EXPECT_EQ(image.pixel(x, y) == qRgb(0, 0, 0), x < 10 || x >= 15) << x << "," << y;
    }
    if (picture.Name.starts_with("FLAME") || picture.Name == "CANDLE" || picture.Name == "CAKE") {
      SCOPED_TRACE(picture.Name);
      EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
      EXPECT_EQ(image.pixel(image.width() - 1, 0), qRgb(0, 0, 0));
    }
  }
}

}  // namespace
