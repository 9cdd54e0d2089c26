#pragma once

// TCalibList: the lines of the measurement window's parameter table and
// the choice of its font. It shows the parameter list (TParamList derives
// from it) and, after a calibration, the calibration result. A view shows
// the lines; it is told when the lines or the font change.

#include "measure/results/CalibParams.h"

#include <functional>
#include <string>
#include <vector>

// A fixed-pitch bold face; the metric-compatible stand-in of the system's
// "Courier New".
struct TListFont {
  static constexpr const char* Face = "Liberation Mono";
  static constexpr int Weight = 700;
  int Points = 11;

  bool operator==(const TListFont&) const = default;
};

class TCalibList {
public:
  static constexpr int ControlId = 5060;

  TCalibList() = default;
  virtual ~TCalibList() = default;
  TCalibList(const TCalibList&) = delete;
  TCalibList& operator=(const TCalibList&) = delete;

  // Sets the parameter font without telling the view.
  void SetupWindow();
  // The calibration font in the calibration mode, the parameter font otherwise.
  void ChangeFont(short mode);
  const TListFont& GetFont() const { return Font; }
  TListFont ParamListFont() const { return {11}; }
  // 9 points on a screen of 480 lines, 10 otherwise.
  TListFont CalibListFont() const { return {ScreenLines == 480 ? 9 : 10}; }

  void FillCalibList(const CALIB_PARAMS& params);

  // The screen the table stands on, which sets the calibration widths.
  void SetScreenSize(int width, int lines);
  int GetScreenWidth() const { return ScreenWidth; }
  int GetScreenLines() const { return ScreenLines; }

  // The list box's own operations on its lines.
  void ClearList();
  void AddString(std::string line);
  // Inserts before `index`; -1 or an index past the end appends.
  void InsertString(std::string line, int index);
  void DeleteString(int index);
  int GetCount() const { return static_cast<int>(Lines.size()); }
  const std::vector<std::string>& GetLines() const { return Lines; }

  // While redrawing is off the view is not told; turning it on tells it.
  void SetRedraw(bool redraw);

  // Called when the lines or the font changed and redrawing is on.
  std::function<void()> OnChanged;

private:
  void Changed() const;

  std::vector<std::string> Lines;
  TListFont Font = {11};
  int ScreenWidth = 800;
  int ScreenLines = 600;
  bool Redraw = true;
};
