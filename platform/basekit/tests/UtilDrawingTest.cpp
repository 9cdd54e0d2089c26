#include "platform/basekit/Util.h"

#include "testing/RecordingSurface.h"

#include <gtest/gtest.h>

namespace {

using TKind = TRecordingSurface::TKind;

// A 1280 x 1024 screen: factors 1.6 and 1024 / 600. Expected device
// coordinates are the reference ones times the factor, truncated, worked
// out by hand.
constexpr float Fx = 1.6f;
constexpr float Fy = 1024.0f / 600.0f;

TEST(UtilDrawing, FillsAndTextsScaleTheReferenceLayout) {
  TRecordingSurface surface({1280, 1024});
  TUtil::FillRect(surface, Fx, Fy, {8, 8, 99, 59}, {1, 2, 3});
  TUtil::TextOutA(surface, Fx, Fy, 110, 9, "Kovács Anna", TColor(192, 192, 192), 11, "Courier New",
                  TColor(0, 0, 128), 700);
  TUtil::TextRectOut(surface, Fx, Fy, {51, 500, 740, 542}, "- 1 -", TColor::White(), TColor::Black(), 11,
                     "Courier New", 1, 700, true);

  ASSERT_EQ(surface.Calls.size(), 3u);
  const auto& fill = surface.Calls[0];
  EXPECT_EQ(fill.Kind, TKind::FillRect);
  EXPECT_EQ(fill.Rect, (TRect{12, 13, 158, 100}));  // 12.8, 13.65, 158.4, 100.69
  EXPECT_EQ(fill.Color, TColor(1, 2, 3));

  const auto& text = surface.Calls[1];
  EXPECT_EQ(text.Kind, TKind::TextAt);
  EXPECT_EQ(text.Points.at(0), (TPoint{176, 15}));  // 176.0, 15.36
  EXPECT_EQ(text.Text, "Kovács Anna");
  // 11 points on the 96-pixel reference screen are 14.67 pixels, 25.03 at this height.
  EXPECT_EQ(text.Style.Font, (TFontSpec{"Courier New", 25, 700}));
  EXPECT_EQ(text.Style.Color, TColor(0, 0, 128));
  EXPECT_EQ(text.Style.Background, TColor(192, 192, 192));
  EXPECT_TRUE(text.Style.Opaque);

  const auto& footer = surface.Calls[2];
  EXPECT_EQ(footer.Kind, TKind::TextInRect);
  EXPECT_EQ(footer.Rect, (TRect{81, 853, 1184, 925}));  // 81.6, 853.33, 1184, 925.01
  EXPECT_EQ(footer.Style.Align, TTextAlign::Centre);
  EXPECT_EQ(footer.Style.Background, TColor::White());
  EXPECT_EQ(footer.Style.Color, TColor::Black());
}

TEST(UtilDrawing, AlignmentAndOpacityOfARectangleText) {
  struct TCase {
    int Alignment;
    bool Opaque;
    TTextAlign Expected;
  };
  for (const TCase c : {TCase{0, false, TTextAlign::Left}, TCase{1, true, TTextAlign::Centre},
                        TCase{2, false, TTextAlign::Right}, TCase{7, true, TTextAlign::Left}}) {
    TRecordingSurface surface;
    TUtil::TextRectOut(surface, 1, 1, {0, 0, 100, 20}, "x", TColor::White(), TColor::Black(), 9, "Times New Roman",
                       c.Alignment, 400, c.Opaque);
    ASSERT_EQ(surface.Calls.size(), 1u);
    EXPECT_EQ(surface.Calls[0].Style.Align, c.Expected) << c.Alignment;
    EXPECT_EQ(surface.Calls[0].Style.Opaque, c.Opaque);
    EXPECT_EQ(surface.Calls[0].Style.Font, (TFontSpec{"Times New Roman", 12, 400}));  // 9 pt = 12 px
  }
}

TEST(RecordingSurface, NotesEveryPrimitiveWithThePenInUse) {
  TRecordingSurface surface;
  const TPen dashed{{255, 0, 0}, 2, TPenStyle::Dash};
  surface.SetPen(dashed);
  surface.Line({1, 2}, {3, 4});
  const std::vector<TPoint> curve{{0, 0}, {5, 5}, {10, 0}};
  surface.Polyline(curve);
  surface.FrameRect({1, 1, 9, 9});
  surface.SetClip({0, 0, 50, 50});
  const TRecordedPicture candle("CANDLE", {40, 96});
  surface.DrawPicture(candle, {10, 20, 50, 116}, TRasterOp::SrcPaint);
  surface.ResetClip();

  ASSERT_EQ(surface.Calls.size(), 7u);
  EXPECT_EQ(surface.OfKind(TKind::Line).at(0).Pen, dashed);
  EXPECT_EQ(surface.OfKind(TKind::Polyline).at(0).Points, curve);
  EXPECT_EQ(surface.OfKind(TKind::FrameRect).at(0).Pen, dashed);
  const auto picture = surface.OfKind(TKind::Picture).at(0);
  EXPECT_EQ(picture.Text, "CANDLE");
  EXPECT_EQ(picture.Op, TRasterOp::SrcPaint);
  EXPECT_EQ(picture.Rect, (TRect{10, 20, 50, 116}));
  EXPECT_EQ(surface.Calls[4].Kind, TKind::Clip);
  EXPECT_EQ(surface.Calls[6].Kind, TKind::ResetClip);
  // Fixed pitch: 0.6 of the height per character, a UTF-8 letter counting once.
  EXPECT_EQ(surface.MeasureText("Kovács", {"Courier New", 20, 700}), (TSize{72, 20}));
}

}  // namespace
