#include "patients/SheetFrame.h"

#include <gtest/gtest.h>

namespace {

TEST(SheetFrame, ThePageTypeChoosesLayoutAndHeight) {
  EXPECT_EQ(SheetFrameForPageType(0).ResourceId, 20113);
  EXPECT_EQ(SheetFrameForPageType(0).Height, 184);
  EXPECT_EQ(SheetFrameForPageType(1).ResourceId, 20112);
  EXPECT_EQ(SheetFrameForPageType(1).Height, 322);
  for (const int pageType : {2, 5, -1}) {
    EXPECT_EQ(SheetFrameForPageType(pageType).ResourceId, 20111) << pageType;
    EXPECT_EQ(SheetFrameForPageType(pageType).Height, 430) << pageType;
  }
  EXPECT_EQ(SheetFrameForPageType(1).Width, 748);
}

TEST(SheetFrame, TheSheetScalesToTheScreen) {
  struct Case {
    int width, height;
    float x, y;
  };
  const Case cases[] = {
      {640, 480, 0.78f, 0.75f}, {800, 600, 1.0f, 1.0f}, {1024, 768, 1.28f, 1.28f}, {1920, 1080, 2.4f, 1.8f},
      {1024, 600, 1.28f, 1.0f},
  };
  for (const Case& c : cases) {
    const TSheetScale scale = SheetScale(c.width, c.height);
    EXPECT_FLOAT_EQ(scale.X, c.x) << c.width;
    EXPECT_FLOAT_EQ(scale.Y, c.y) << c.height;
  }
}

TEST(SheetFrame, TheCaptionNamesTheDatabaseFolder) {
  EXPECT_EQ(SheetCaption("Patient data", "data"), "Patient data (data)");
  EXPECT_EQ(SheetCaption("Patient data", "/srv/lab/Tüdő"), "Patient data (Tüdő)");
  EXPECT_EQ(SheetCaption("Patient data", ".\\Database\\2024\\"), "Patient data (2024)");
  const std::string longName = std::string(99, 'x') + "é";
  EXPECT_EQ(SheetCaption("P", "/db/" + longName), "P (" + std::string(99, 'x') + ")");
}

}  // namespace
