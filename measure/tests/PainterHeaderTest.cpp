// The texts above the curves and the result table as the painter hands
// them to a recording surface: the patient line ends before the BTPS
// panel, and the table's headings stand on the parameter list's character
// columns.

#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PatientLineFit.h"
#include "measure/screen/PressureChart.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>

namespace {

class PainterHeaderTest : public MeasureCoreTest {
protected:
  // The measure mode is the instrument library's static: an earlier test
  // may have left another.
  PainterHeaderTest() : Painter(Core, Colours, Texts, nullptr) { TMeasureData::MeasureMode = MEASURE_FVC; }
  ~PainterHeaderTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  static std::optional<TRecordingSurface::TCall> TextStarting(const TRecordingSurface& surface,
                                                              std::string_view start) {
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextAt))
      if (call.Text.starts_with(start))
        return call;
    return std::nullopt;
  }

  TUtil Colours;
  TMeasurePainter Painter;
};

// "BTPS:" is written at x 450 of the 800-pixel layout. The patient line
// starts at 110 and must end before it on every screen, even for a long
// name; a short one keeps its full font.
TEST_F(PainterHeaderTest, PatientLineEndsBeforeTheBtpsPanel) {
  struct Screen {
    int Width, Height;
  };
  const Screen screens[] = {{800, 600}, {1280, 800}, {1280, 1024}, {1920, 1080}};
  for (const Screen screen : screens)
    for (const char* name : {"Test Man", "Maximilian Alexander Featherstonehaugh-Wolstenholme"}) {
      SCOPED_TRACE(std::to_string(screen.Width) + "x" + std::to_string(screen.Height) + " " + name);
      Core.PredictedData.SetName(name);
      Core.PredictedData.Age = 40;
      Core.PredictedData.Height = 180;
      Core.PredictedData.Weight = 82;
      Painter.Display.XScale = static_cast<float>(screen.Width) / 800.0f;
      Painter.Display.YScale = static_cast<float>(screen.Height) / 600.0f;
      TRecordingSurface surface({screen.Width, screen.Height});
      Painter.WritePredictedData(surface);
      const auto line = TextStarting(surface, "Patient:");
      ASSERT_TRUE(line);
      EXPECT_NE(line->Text.find("Weight: 82 kg"), std::string::npos);
      const int btps = static_cast<int>(450 * Painter.Display.XScale);
      const auto clips = surface.OfKind(TRecordingSurface::TKind::Clip);
      ASSERT_EQ(clips.size(), 1u) << "the line is cut at the panel";
      EXPECT_LE(clips[0].Rect.Right, btps);
      EXPECT_GE(line->Points[0].X, clips[0].Rect.Left);
      // The font shrinks to at most three quarters of its size (of the size
      // the width stands for, on a window narrower than it is high) before
      // the name gives way; only a name that has given way goes smaller.
      const TFontSpec full = TUtil::LayoutFont(
          "Times New Roman", 10, std::min(Painter.Display.XScale, Painter.Display.YScale), 700);
      if (line->Style.Font.PixelHeight * 4 < full.PixelHeight * 3) {
        EXPECT_NE(line->Text.find("..."), std::string::npos) << line->Text;
      }
      const int end = line->Points[0].X + surface.MeasureText(line->Text, line->Style.Font).Width;
      if (end > clips[0].Rect.Right) {
        EXPECT_LE((line->Style.Font.PixelHeight - 1) * 4, full.PixelHeight * 3) << "cut only at the smallest size";
      } else if (line->Style.Font.PixelHeight < full.PixelHeight) {
        const TFontSpec larger{full.Face, line->Style.Font.PixelHeight + 1, full.Weight};
        EXPECT_GT(line->Points[0].X + surface.MeasureText(line->Text, larger).Width, clips[0].Rect.Right)
            << "no smaller than it needs";
      }
    }
}

// What a clinician checks the predicted values by is never the part cut
// off at the BTPS panel: on a window narrower than it is high (the 753-pixel
// layout at factor 1 under a 1280 x 800 frame's 4:3 height, or one squeezed
// into a small client area) the age, the height and the weight are written
// whole, the name gives way, and no text reaches the panel, the blanks that
// clear the old line included.
TEST_F(PainterHeaderTest, PatientLineKeepsItsNumbersWholeBeforeTheBtpsPanel) {
  const std::pair<float, float> scales[] = {{1.0f, 1.0f}, {1.0f, 800.0f / 600.0f}, {1.1f, 1.35f}, {1.6f, 800.0f / 600.0f},
                                            {0.8f, 1.2f}, {2.4f, 1.8f}};
  const char* names[] = {"Test Man", "Maximilian Alexander Feathers", "Ödön Árpád Szentgyörgyi"};
  for (const auto& [x, y] : scales)
    for (const char* name : names) {
      SCOPED_TRACE(std::to_string(x) + " x " + std::to_string(y) + " " + name);
      Core.PredictedData.SetName(name);
      Core.PredictedData.Age = 40;
      Core.PredictedData.Height = 180;
      Core.PredictedData.Weight = 82;
      Painter.Display.XScale = x;
      Painter.Display.YScale = y;
      TRecordingSurface surface({2000, 1200});
      Painter.WritePredictedData(surface);
      const auto line = TextStarting(surface, "Patient:");
      ASSERT_TRUE(line);
      for (const char* part : {"Age: 40 years", "Height: 180 cm", "Weight: 82 kg"})
        EXPECT_NE(line->Text.find(part), std::string::npos) << line->Text;
      const std::string kept = line->Text.substr(9, line->Text.find("Age:") - 9);
      EXPECT_EQ(kept.substr(0, 1), std::string(name).substr(0, 1)) << "the name keeps its beginning";
      if (kept.find(name) == std::string::npos) {
        EXPECT_NE(kept.find("..."), std::string::npos) << "a shortened name says so: " << kept;
      }

      // Each text as far as it shows: its footprint within the clip it was written in.
      const int panel = static_cast<int>(450 * x);
      int clipRight = std::numeric_limits<int>::max();
      for (const auto& call : surface.Calls) {
        if (call.Kind == TRecordingSurface::TKind::Clip) {
          clipRight = call.Rect.Right;
        } else if (call.Kind == TRecordingSurface::TKind::ResetClip) {
          clipRight = std::numeric_limits<int>::max();
        } else if (call.Kind == TRecordingSurface::TKind::TextAt) {
          const TRect box = surface.TextFootprint(call);
          const int shown = std::min(box.Right, clipRight);
          EXPECT_LE(shown, panel) << "\"" << call.Text << "\"";
          if (call.Text.starts_with("Patient:")) {
            EXPECT_LE(box.Right, shown) << "the line is whole: " << call.Text;
          }
        }
      }
    }
}

// A shortened name loses whole characters, never half of one.
TEST(PatientLineFit, DropsWholeCharacters) {
  const std::tuple<const char*, std::size_t, const char*> cases[] = {
      {"Smith", 2, "Smi"}, {"Ödön", 1, "Ödö"}, {"Ödön", 2, "Öd"}, {"Ödön", 3, "Ö"}, {"ab", 5, ""}};
  for (const auto& [name, count, kept] : cases)
    EXPECT_EQ(PatientLineFit::DropLastCharacters(name, count), kept) << name << " - " << count;
}

// The list writes "%-11s %5.2f %5.5s %3.3s %s %5.2f %5.2f" (name, actual,
// predicted, per cent, grade, the second and third trial): the line
//   "FVC          4.50  4.39 102     4.40  4.30"
// holds the actual value in characters 12-16, the predicted in 18-22, the
// per cent in 24-26, the grade in 28-30, the second trial in 32-36 and the
// third in 38-42. A heading ends where its values end.
TEST_F(PainterHeaderTest, HeadingsStandOnTheListsCharacterColumns) {
  constexpr int Left = 200;
  constexpr int PixelHeight = 15;  // 9 pixels a character on the recording surface
  Painter.Display.ListGrid = MeasureTexts::TListGrid{Left, {"Liberation Mono", PixelHeight, 700}};
  Painter.Display.XScale = 1.6f;
  Painter.Display.YScale = 800.0f / 600.0f;
  Core.TrialOrder = {1, 2, 3};
  TRecordingSurface surface({1280, 800});
  Painter.UpdateTableTitle(surface);
  const int advance = surface.MeasureText("0", {"Liberation Mono", PixelHeight, 700}).Width;
  ASSERT_EQ(advance, 9);
  const auto endColumn = [&](std::string_view start) {
    const auto call = TextStarting(surface, start);
    EXPECT_TRUE(call) << start;
    if (!call)
      return -1;
    EXPECT_EQ(call->Style.Font.Face, "Liberation Mono") << start;
    EXPECT_EQ(call->Style.Font.PixelHeight, PixelHeight) << start;
    EXPECT_EQ(call->Points[0].Y, static_cast<int>(68 * 800.0f / 600.0f)) << start;
    return (call->Points[0].X - Left) / advance + static_cast<int>(call->Text.size());
  };
  EXPECT_EQ(endColumn("Parameter"), 11) << "over the names";
  EXPECT_EQ(endColumn(" Akt.  Ref."), 31) << "\"RSD\" ends over the grade";
  EXPECT_EQ(endColumn(" Akt1."), 37) << "over the second trial";
  EXPECT_EQ(endColumn(" Akt2."), 43) << "over the third trial";

  // Printed, the headings keep their places of the reference layout.
  Painter.Display.Printing = true;
  TRecordingSurface printed({1280, 800});
  Painter.WriteTable(printed);
  const auto second = TextStarting(printed, " Akt1.");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Points[0].X, static_cast<int>(611 * 1.6f));
}

// The comparison with a previous test: the actual value in 12-16 and the
// previous one in 28-32 ("%-11s %5.2f %5.5s %3.3s %5.2f %3.3s %5.5s").
TEST_F(PainterHeaderTest, ComparisonHeadingsStandOnTheListsCharacterColumns) {
  constexpr int Left = 40;
  Painter.Display.ListGrid = MeasureTexts::TListGrid{Left, {"Liberation Mono", 20, 700}};
  Painter.Display.PrePost = true;
  TRecordingSurface surface({800, 600});
  Painter.UpdateTableTitle(surface);
  const int advance = 12;  // 0.6 x 20
  for (const auto& [start, column] : {std::pair{" Akt.  Ref.", 12}, std::pair{" Pre.", 28}}) {
    bool found = false;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextAt))
      if (call.Text.starts_with(start)) {
        found = true;
        EXPECT_EQ(call.Points[0].X, Left + column * advance) << start;
      }
    EXPECT_TRUE(found) << start;
  }
}

// The enlarged result table with one trial, or two, and no previous test:
// every parameter of the trials run is non-zero, so a "0" in any cell
// would be a column of a trial (or previous test) that was never made.
TEST_F(PainterHeaderTest, TheBigTableLeavesColumnsOfTestsNeverMadeBlank) {
  Painter.Display.XScale = 1.6f;
  Painter.Display.YScale = 800.0f / 600.0f;
  const auto k = static_cast<std::size_t>(MEASURE_FVC);
  for (std::size_t slot = 0; slot < 2; ++slot)
    for (std::size_t i = 0; i < FVC_PARAMETER_COUNT; ++i)
      Core.AktParams[k][slot][i] = 1.0f + 0.25f * static_cast<float>(i) + static_cast<float>(slot);
  const auto cells = [&](std::array<short, 3> trials) {
    Core.TrialOrder = trials;
    TRecordingSurface surface({1280, 800});
    Painter.DrawBigTable(surface);
    std::vector<std::string> texts;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextInRect)) {
      const std::size_t first = call.Text.find_first_not_of(' ');
      texts.push_back(first == std::string::npos ? std::string() : call.Text.substr(first));
    }
    return texts;
  };
  for (const auto& trials : {std::array<short, 3>{1, 0, 0}, std::array<short, 3>{1, 2, 0}}) {
    SCOPED_TRACE(trials[1]);
    const std::vector<std::string> texts = cells(trials);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "1.00"), texts.end()) << "trial 1's FVC";
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "2.00") != texts.end(), trials[1] == 2) << "trial 2's FVC";
    for (const std::string_view zero : {"0.00", "0.0", "0"})
      EXPECT_EQ(std::count(texts.begin(), texts.end(), zero), 0) << zero;
  }
}

// The pressure chart's time axis has a tick every second, 17 reference
// pixels apart; two-digit numbers of the scale's font are wider than that
// with a blank, so they used to read "9101112131415". On the recording
// surface a character of the 8-point scale font at factor 1 is
// 0.6 x 11 = 7 pixels wide: "15 " needs 21 > 17, so every second tick is
// numbered, and no two numbers come closer than a blank.
TEST_F(PainterHeaderTest, PressureAxisNumbersStandApart) {
  for (const float scale : {1.0f, 1.6f, 2.4f}) {
    SCOPED_TRACE(scale);
    Painter.Display.XScale = scale;
    Painter.Display.YScale = scale;
    TRecordingSurface surface({2000, 1500});
    PressureChart::DrawPressureKoordinata(Painter, surface, PressureChart::LineScale, 100, 400);
    std::vector<std::pair<int, int>> spans;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextInRect)) {
      if (call.Text.find('[') != std::string::npos || call.Rect.Top < static_cast<int>(400 * scale))
        continue;  // the units and the pressure axis
      const int width = surface.MeasureText(call.Text, call.Style.Font).Width;
      const int centre = (call.Rect.Left + call.Rect.Right) / 2;
      spans.emplace_back(centre - width / 2, centre + width / 2);
    }
    ASSERT_GE(spans.size(), 5u);
    std::sort(spans.begin(), spans.end());
    const int blank = surface.MeasureText(" ", TUtil::LayoutFont("Courier New", 8, scale, 700)).Width;
    for (std::size_t i = 1; i < spans.size(); ++i)
      EXPECT_GE(spans[i].first - spans[i - 1].second, blank - 1) << "numbers " << i - 1 << " and " << i;
  }
}

}  // namespace
