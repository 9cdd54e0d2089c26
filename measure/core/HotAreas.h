#pragma once

// The places on an idle measurement screen that answer the mouse: the
// small curve area (click: curves only), the whole curve area while the
// list is hidden (click: curves and list again) and the title of the
// parameter table (click: the parameter choice). Pure hit tests in design
// pixels scaled to the window; every bound is exclusive.

#include <optional>

enum class THotArea { None, CurveSmall, CurveLarge, TableTitle };

struct THotState {
  bool Idle = true;             // no test runs
  bool MeasureScreen = true;    // the measuring screen is up (not a calibration's)
  bool HelpMode = false;
  bool TableZoomed = false;
  bool ListVisible = true;
  bool TitleLow = false;        // pre/post or rhinomanometry: the title sits one block lower
  short MeasureType = 0;
  float XScale = 1.0f;
  float YScale = 1.0f;
  int ZoomColumnWidth = 0;      // the enlarged table's columns
  int ZoomColumns = 0;
};

// Cursor resources of the main program; 0 is the standard arrow.
inline constexpr int CursorCurveLarge = 30001;
inline constexpr int CursorCurveSmall = 30002;
inline constexpr int CursorTableTitle = 30003;

// The area under the point; None when the screen does not answer now.
THotArea HitTest(const THotState& state, int x, int y);
int CursorOf(THotArea area);

// A move from the area the window is in: the new area, and the cursor to
// set when it changed.
struct THotMove {
  THotArea Area = THotArea::None;
  std::optional<int> Cursor;
};
THotMove MouseMove(const THotState& state, THotArea current, int x, int y);

enum class THotAction { None, Screen, ZoomTable, ParameterChoice };

// A click in the area the window is in: the curve areas swap into each
// other; a busy screen forgets its area.
struct THotClick {
  THotArea Area = THotArea::None;
  std::optional<int> Cursor;
  THotAction Action = THotAction::None;
};
THotClick MouseDown(const THotState& state, THotArea current);
