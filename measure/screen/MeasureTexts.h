#pragma once

// What the measurement window writes besides its curves, as plain data:
// the header line of the result table, the live value during a test, the
// patient line, the normal ranges of the predicted values, the tool tips
// of the table's columns and the column layout of the big table. The
// painter puts them on a surface; the tests read them as they are.

#include "measure/screen/MeasureLayout.h"
#include "common/PredictedData.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TMessage;

namespace MeasureTexts {

// Colour list entries the texts use.
inline constexpr std::size_t TextColor = 1;
inline constexpr std::size_t PanelColor = 17;
inline constexpr std::size_t NormalRangeColor = 18;
inline constexpr std::size_t PreviousColor = 8;
// Trial n (1 to 3) is written in entry 3 + n.
inline constexpr std::size_t TrialColor(short trial) { return static_cast<std::size_t>(3 + trial); }

// One text at a reference point, with its colour entries and font.
struct TTextItem {
  TPoint At;
  std::string Text;
  std::size_t Color = TextColor;
  std::size_t Background = PanelColor;
  int Points = 11;
  std::string Face = "Courier New";
  // A heading of the parameter list: the character column of the list's
  // lines it starts on (-1: a text placed by `At` alone).
  int ListColumn = -1;
  friend bool operator==(const TTextItem&, const TTextItem&) = default;
};

// Where the parameter list's characters stand on the surface: the left edge
// of its first character column and the font its lines are shown in. Its
// headings are written in that font on those columns, so that each stands
// over its values whatever the window's size and the fonts the system has.
struct TListGrid {
  int Left = 0;  // device pixels
  TFontSpec Font;
  friend bool operator==(const TListGrid&, const TListGrid&) = default;
};

// --- The result table's header ------------------------------------------

// The x of the header's three columns (actual, second and third trial).
std::array<int, 3> HeaderColumns(short screenIndex);
int HeaderPoints(short screenIndex);

struct THeaderState {
  short ScreenIndex = 1;
  short ResultKind = 1;  // 1 test results, 0 calibration results
  bool StageView = false;
  std::array<short, 3> TrialOrder{};
};
// The texts above the parameter list (nothing while a test runs: the
// caller asks only when none does).
std::vector<TTextItem> TableHeader(const THeaderState& state, const TMessage& messages);

struct TPrePostState {
  short ScreenIndex = 1;
  bool PreviousHasSamples = false;
  std::string ActualDate, ActualTime, PreviousDate, PreviousTime;
};
std::vector<TTextItem> PrePostHeader(const TPrePostState& state, const TMessage& messages);

// The first three characters of text 299 and a point: the short name of
// the third column of a provocation.
std::string ThirdStageShort(const TMessage& messages);

// --- The patient line ---------------------------------------------------------

// Texts 50 (metric) and 51 (imperial: the height split into feet and inches).
std::string PatientLine(const PREDICTED_DATA& patient, const TMessage& messages);
// The same with `name` in place of the patient's.
std::string PatientLine(const PREDICTED_DATA& patient, const TMessage& messages, const std::string& name);

// --- The live value -------------------------------------------------------------

// The large number in the logo box during a test: written again only when
// it moved by at least 0.01 (1 in rhinomanometry, in whole seconds).
class TLargeParam {
public:
  static constexpr TPoint At{11, 18};
  static constexpr int Points = 22;
  // The text to write for `value`, or nothing when the shown one stands.
  std::optional<std::string> Next(float value, bool rhino);
  void Reset() { Shown.reset(); }
  // Entry 4 for the first two trials, entry 7 from the third.
  static std::size_t Color(short trialIndex) { return trialIndex < 2 ? 4 : 7; }

private:
  std::optional<float> Shown;
};

// --- Normal ranges of the predicted values ---------------------------------------

inline constexpr float NormalRangeZ = 1.64f;

// The rectangles and lines that mark the normal ranges (predicted ± 1.64
// RSD) in the diagrams of a measure mode, in reference pixels. Nothing for
// a predicted value of 0 or a range that reaches past the axis maxima of
// the zoom step.
struct TRangeMarks {
  std::vector<TRect> Boxes;
  std::vector<std::pair<TPoint, TPoint>> Lines;
};
struct TRangeGeometry {
  short MeasureMode = 0;
  short ScreenMode = 1;
  short Zoom = 1;
  bool Printing = false;
  int PrintLine = 0;   // the printer's line in place of the screen's top
  int PrintOffset = 0;
};
TRangeMarks NormalRanges(const TRangeGeometry& geometry, std::span<const float> predicted,
                         std::span<const float> rsd);
// The range of one predicted flow at a volume of the flow-volume diagram:
// a vertical line with bars at both ends, nothing when it does not fit.
void PredictedLine(const TRangeGeometry& geometry, float flowLps, float volumeL, float rsd, TRangeMarks& marks);

// --- Tool tips ---------------------------------------------------------------------

struct TToolTip {
  int Id = 0;
  TRect Rect;  // reference pixels
  std::string Text;
};
// The tips of the table's columns: none on the full-width screen.
std::vector<TToolTip> ToolTips(short screenMode, bool bigTable, bool prePost, bool stageView,
                               const TMessage& messages);

// --- The big table --------------------------------------------------------------------

// The dates above rhinomanometry's big table: each side (the first at x
// 200, the second at x 370) with its date (y 68) and time (y 85) when it
// holds a result; otherwise one word at y 85: the baseline's and the
// provoked side's (texts 294, 295) after a provocation, the actual and the
// previous (302, 303) before.
struct TRhinoDates {
  std::array<bool, 2> SideShown{};
  bool ProvocationView = false;
  std::array<std::string, 2> Date;
  std::array<std::string, 2> Time;
};
std::vector<TTextItem> RhinoDateTime(const TRhinoDates& dates, const TMessage& messages);

struct TBigTableLayout {
  std::vector<int> Widths;  // relative widths of the columns
  double Unit = 0.0;        // reference pixels per relative unit: 734 / their sum
  // The left edge of column c (c = count gives the right edge of the last).
  int Edge(std::size_t column) const;
  // Whether the separator after column c is drawn thick.
  std::vector<std::size_t> ThickAfter;
};
// The provocation view wins over rhinomanometry.
TBigTableLayout BigTableLayout(bool provocationView, bool rhino);
short GetMaxCols(bool provocationView, bool rhino);
int GetColWidth(bool provocationView, bool rhino, short column);
double GetColWidth(bool provocationView, bool rhino);

}  // namespace MeasureTexts
