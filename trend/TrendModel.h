#pragma once

// What the trend window knows and decides, with no window: the lines of one
// patient's examinations, the chosen parameters, the reference, the modes
// and which commands are open. The window shows it and forwards commands;
// the main program answers each request for an examination by calling
// AddDataToTrendListBox while the request is being sent.

#include "trend/TrendLine.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// The window's own commands that have no shared name.
inline constexpr unsigned CM_TREND_DELETE = 2075;

// The bits of a request for an examination.
namespace TrendFlags {
inline constexpr short IncludeProvoked = 0x01;
inline constexpr short IncludeLysis = 0x02;
inline constexpr short Earlier = 0x04;
inline constexpr short Later = 0x10;
}  // namespace TrendFlags

class TTrendModel {
public:
  // Asks the main program for one examination: flags and "date@time".
  using TRequest = std::function<void(short flags, const std::string& key)>;

  explicit TTrendModel(TRequest request = {});
  void SetRequest(TRequest request) { Request = std::move(request); }

  // One examination from the main program (see TrendFlags for `flags`).
  void AddDataToTrendListBox(const std::string& date, const std::string& time,
                             const std::array<float, TrendSlots>& values,
                             const std::array<float, TrendSlots>& predicted, char marker, short flags);

  // Asks again for every line (after a change of parameters, a deletion,
  // the predicted toggle or the filter). False, with the list as it was,
  // when a line has no date or time.
  bool ReadParametersFromDatabase();
  // Asks for the neighbour before the first line (Earlier) or after the
  // last; false when nothing could be asked.
  bool ReadOneParameterFromDatabase(short flags);

  // The commands. Each answers whether the lines changed (the window then
  // redraws). Commands that are not enabled do nothing.
  bool Command(unsigned id);
  bool IsEnabled(unsigned id) const;

  void CalculateNewRef(int index);
  void CalculateRelative();
  bool DeleteLine(int index);
  // The list box's selection; unless in relative mode it moves the marker.
  void SetSelection(int index);

  // State the main program and the window read and set.
  std::array<short, TrendSlots> Params{-1, -1, -1, -1, -1};
  bool FirstReached = false;
  bool LastReached = false;
  bool IncludeProvoked = false;
  bool IncludeLysis = false;
  std::array<bool, TrendSlots> CurveDrawn{};
  int Zoom = 0;  // 0..2: factors 1, 2, 5
  bool Grid = true;

  const std::vector<TTrendLine>& Lines() const { return List; }
  int Count() const { return static_cast<int>(List.size()); }
  const TREND_DATA& Reference() const { return Ref; }
  bool ReferenceTaken() const { return RefTaken; }
  int ReferenceIndex() const { return RefIndex; }
  int MarkerIndex() const { return Marker; }
  int Selection() const { return Selected; }
  bool Relative() const { return RelativeMode; }
  bool Predicted() const { return PredictedMode; }
  // Name and unit of the parameter in a slot; empty for an empty slot.
  std::string GetTrendParam(int slot) const;
  std::string GetTrendParamUnit(int slot) const;
  // Filter bits from the include flags.
  short FilterFlags() const;
  // The zoom factor (1, 2 or 5) of a zoom index.
  static int ZoomFactor(int zoom);
  // Empties the list (a new patient, or the tests).
  void Clear();

private:
  bool LoadNeighbour(unsigned id);
  void Recompute(const std::function<float(int line, int slot)>& percent);
  void ApplyRelativeIfOn();

  TRequest Request;
  std::vector<TTrendLine> List;
  TREND_DATA Ref;
  bool RefTaken = false;
  int RefIndex = 0;
  int Marker = 0;
  int Selected = -1;
  bool RelativeMode = false;
  bool PredictedMode = false;
};
