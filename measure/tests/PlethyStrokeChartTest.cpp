// The body box's syringe strokes on its calibration screen, as the window's
// painter draws them on a recording surface: where a sample falls (by hand
// from 6 units per L/s, 14 per L and 12 per second about the axis at 368),
// the strokes of a 3-L syringe whole at zoom steps 0 to 2 and cut at 3,
// the marker and its two captions at the first corrected sample, and the
// spirometer's calibration left as it was.

#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PlethyPainter.h"
#include "measure/screen/PlethyStrokeChart.h"
#include "measure/tests/BoxCalibrationRecordings.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <optional>

namespace {

using TKind = TRecordingSurface::TKind;

TEST(PlethyStrokeChartGeometry, SamplesFallWhereTheUnitsPutThem) {
  struct TCase {
    short Zoom;
    int Size;
    std::size_t Sample;
    float FlowLps, VolumeL;
    TPoint Flow, Volume;
  };
  const TCase cases[] = {
      // 15 + 1 s x 12 = 27; 368 - 2 x 6 = 356; 368 + 1.5 x 14 = 389
      {1, 1, 100, 2.0f, -1.5f, {27, 356}, {27, 389}},
      // full size doubles the flow: 368 - 2 x 6 x 2 = 344; the volume
      // divided by 1.5 at zoom 0: 368 + 3 x 14 / 1.5 = 396; 15 + 2.5 x 12
      {0, 2, 250, 2.0f, -3.0f, {45, 344}, {45, 396}},
      // zoom 2 halves both divisors: 368 + 3 x 6 / 0.5 = 404, 368 + 84
      {2, 1, 500, -3.0f, -3.0f, {75, 404}, {75, 452}},
      // 368 - 2.356 x 6 = 353.9, truncated towards the axis
      {1, 1, 0, 2.356f, 0.0f, {15, 354}, {15, 368}},
  };
  for (const TCase& c : cases) {
    const auto p = PlethyStrokeChart::PointsAt(PlethyStrokeChart::ScreenFrame, PlethyGeometry::Factors(c.Zoom), c.Size,
                                               c.Sample, c.FlowLps, c.VolumeL);
    EXPECT_EQ(p.Flow, c.Flow) << "zoom " << c.Zoom << " sample " << c.Sample;
    EXPECT_EQ(p.Volume, c.Volume) << "zoom " << c.Zoom << " sample " << c.Sample;
  }
}

class PlethyStrokeChartTest : public MeasureCoreTest {
protected:
  PlethyStrokeChartTest() : Painter(Core, Colours, Texts, nullptr) {
    TMeasureData::MeasureMode = MEASURE_CALIBRATION;
    Core.ZoomLevel = 1;
    Painter.Display.ScreenMode = 1;
    Painter.Display.Grid = 0;
    WriteSyringeStrokes(Core);
  }
  ~PlethyStrokeChartTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  TColor StrokeColor() const { return Painter.Pens()[4].Color; }

  // The box around every line drawn in a colour.
  static std::optional<TRect> Extent(const TRecordingSurface& surface, TColor color) {
    std::optional<TRect> box;
    for (const auto& line : surface.OfKind(TKind::Line)) {
      if (line.Pen.Color != color)
        continue;
      for (const TPoint p : line.Points) {
        if (!box)
          box = TRect{p.X, p.Y, p.X, p.Y};
        box = TRect{std::min(box->Left, p.X), std::min(box->Top, p.Y), std::max(box->Right, p.X),
                    std::max(box->Bottom, p.Y)};
      }
    }
    return box;
  }

  TRecordingSurface PaintStrokes() {
    TRecordingSurface surface({800, 600});
    for (int i = 1; i <= SyringeLastSample; ++i)
      Painter.DrawCurve(surface, 0, i, false);
    return surface;
  }

  TUtil Colours;
  TMeasurePainter Painter;
};

// Flow 2.356 L/s at its peaks, volume 0 to -3 L, 40 s: worked by hand for
// each zoom step and layout; every stroke whole, inside the lower area.
TEST_F(PlethyStrokeChartTest, TheStrokesAreDrawnWholeAgainstTimeAtZoomStepsZeroToTwo) {
  struct TCase {
    short Zoom;
    short Layout;
    TRect Expected;  // left, highest flow, last sample, lowest volume
  };
  const TCase cases[] = {
      // 368 - trunc(14.14) = 354; 368 + 42 = 410; 15 + trunc(479.88) = 494
      {1, 1, {15, 354, 494, 410}},
      // the volume at 14 / 1.5 a litre: 368 + 28
      {0, 1, {15, 354, 494, 396}},
      // the flow at 12 a L/s: 368 - trunc(28.27) = 340; the volume 368 + 84
      {2, 1, {15, 340, 494, 452}},
      // full size: the flow doubled
      {1, 0, {15, 340, 494, 410}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("zoom " + std::to_string(c.Zoom) + " layout " + std::to_string(c.Layout));
    Core.ZoomLevel = c.Zoom;
    Painter.Display.ScreenMode = c.Layout;
    const TRecordingSurface surface = PaintStrokes();
    const std::optional<TRect> strokes = Extent(surface, StrokeColor());
    ASSERT_TRUE(strokes.has_value());
    EXPECT_EQ(*strokes, c.Expected);
  }
}

// At zoom 3 the 3-L strokes leave the area: the parts outside are cut, not
// drawn across the window.
TEST_F(PlethyStrokeChartTest, StrokesBeyondTheRangeAreCutAtTheArea) {
  Core.ZoomLevel = 3;
  const TRecordingSurface surface = PaintStrokes();
  const std::optional<TRect> strokes = Extent(surface, StrokeColor());
  ASSERT_TRUE(strokes.has_value());
  EXPECT_GE(strokes->Top, PlethyStrokeChart::ScreenFrame.Top);
  EXPECT_LE(strokes->Bottom, PlethyStrokeChart::ScreenFrame.Bottom);
}

// The first corrected sample, 20.03 s in (15 + trunc(240.36) = 255 across):
// one green line through the area, the inspiratory strokes' caption above
// the axis and the expiratory one below it, in bold Times New Roman.
TEST_F(PlethyStrokeChartTest, TheMarkedSampleCarriesTheMarkerAndBothCaptions) {
  const TRecordingSurface surface = PaintStrokes();
  std::vector<TRecordingSurface::TCall> markers;
  for (const auto& line : surface.OfKind(TKind::Line))
    if (line.Pen.Color == PlethyStrokeChart::MarkerColor)
      markers.push_back(line);
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(markers[0].Points[0], (TPoint{255, PlethyStrokeChart::ScreenFrame.Top}));
  EXPECT_EQ(markers[0].Points[1], (TPoint{255, PlethyStrokeChart::ScreenFrame.Bottom}));

  const auto captions = surface.OfKind(TKind::TextInRect);
  const auto find = [&](const std::string& text) -> std::optional<TRecordingSurface::TCall> {
    for (const auto& call : captions)
      if (call.Text == text)
        return call;
    return std::nullopt;
  };
  const auto in = find(Texts.LoadStringA(PlethyStrokeChart::InspirationCaption));
  const auto ex = find(Texts.LoadStringA(PlethyStrokeChart::ExpirationCaption));
  ASSERT_TRUE(in && ex);
  EXPECT_EQ(in->Text, "Inspiration strokes");
  EXPECT_LE(in->Rect.Bottom, PlethyStrokeChart::ScreenFrame.Base);
  EXPECT_GE(ex->Rect.Top, PlethyStrokeChart::ScreenFrame.Base);
  EXPECT_GT(in->Rect.Left, 255) << "right of the marker";
  EXPECT_EQ(in->Style.Font.Face, "Times New Roman");
  EXPECT_EQ(in->Style.Font.Weight, 700);
  EXPECT_TRUE(surface.OverlappingTexts().empty());

  // Near the area's right end the captions stand left of the marker.
  Core.CalDoneIndex = 5000;
  Core.CalFlow[5000] = 0.1f;
  TRecordingSurface late({800, 600});
  Painter.DrawCurve(late, 0, 5000, false);
  const auto lateCaptions = late.OfKind(TKind::TextInRect);
  ASSERT_EQ(lateCaptions.size(), 2u);
  EXPECT_LE(lateCaptions[0].Rect.Right, 15 + 600);

  // Before the strokes give their factors there is no mark.
  Core.CalDoneIndex = 0;
  const TRecordingSurface before = PaintStrokes();
  EXPECT_TRUE(before.OfKind(TKind::TextInRect).empty());
}

// The repaint draws the axes with their units and every stroke again; a
// spirometer's calibration keeps its own volume-time curve, uncaptioned.
TEST_F(PlethyStrokeChartTest, TheRepaintDrawsTheStrokesAndASpirometerKeepsItsOwnCurve) {
  TRecordingSurface painted({800, 600});
  PlethyPainter::Paint(Painter, painted);
  const auto texts = painted.Texts();
  for (const char* unit : {"[s]", "[L/s]", "[L]"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), unit), texts.end()) << unit;
  EXPECT_EQ(Extent(painted, StrokeColor()), (TRect{15, 354, 494, 410}));
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Expiration strokes"), texts.end());
  // At full size the TGV loop's frame (down to 450) would lie under the
  // strokes: a calibration has no loops, and only the resistance frame stays.
  Painter.Display.ScreenMode = 0;
  TRecordingSurface full({800, 600});
  PlethyPainter::DrawKoordinata(Painter, full);
  const auto fullTexts = full.Texts();
  EXPECT_EQ(std::count(fullTexts.begin(), fullTexts.end(), std::string("[kPa]")), 1);
  EXPECT_EQ(std::count(fullTexts.begin(), fullTexts.end(), std::string("[Pa]")), 0);
  EXPECT_EQ(std::count(fullTexts.begin(), fullTexts.end(), std::string("[L/s]")), 2) << "the loop's and the strokes'";
  Painter.Display.ScreenMode = 1;

  Core.InstrumentType = 0;
  const TRecordingSurface spirometer = PaintStrokes();
  EXPECT_TRUE(spirometer.OfKind(TKind::TextInRect).empty());
  const std::optional<TRect> curve = Extent(spirometer, StrokeColor());
  ASSERT_TRUE(curve.has_value());
  EXPECT_EQ(curve->Top, MeasureLayout::VolumeTimeBase) << "the volume below the volume-time diagram's base line";
}

}  // namespace
