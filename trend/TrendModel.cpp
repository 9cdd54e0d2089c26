#include "trend/TrendModel.h"

#include "common/CommandNumbers.h"
#include "trend/TrendParams.h"

#include <algorithm>

TTrendModel::TTrendModel(TRequest request) : Request(std::move(request)) {}

short TTrendModel::FilterFlags() const {
  return static_cast<short>((IncludeProvoked ? TrendFlags::IncludeProvoked : 0) |
                            (IncludeLysis ? TrendFlags::IncludeLysis : 0));
}

std::string TTrendModel::GetTrendParam(int slot) const {
  return slot >= 0 && slot < TrendSlots ? std::string(TrendParams::Name(Params[static_cast<std::size_t>(slot)])) : std::string();
}

std::string TTrendModel::GetTrendParamUnit(int slot) const {
  return slot >= 0 && slot < TrendSlots ? std::string(TrendParams::Unit(Params[static_cast<std::size_t>(slot)])) : std::string();
}

int TTrendModel::ZoomFactor(int zoom) {
  constexpr std::array<int, 3> Factors = {1, 2, 5};
  return Factors[static_cast<std::size_t>(std::clamp(zoom, 0, 2))];
}

void TTrendModel::Clear() {
  List.clear();
  RefTaken = false;
  RefIndex = 0;
  Marker = 0;
  Selected = -1;
}

void TTrendModel::AddDataToTrendListBox(const std::string& date, const std::string& time,
                                        const std::array<float, TrendSlots>& values,
                                        const std::array<float, TrendSlots>& predicted, char marker,
                                        short flags) {
  TREND_DATA data{date, time, values, marker};
  if (!PredictedMode && !RefTaken) {
    Ref = data;
    RefTaken = true;
  }
  std::array<float, TrendSlots> percents{};
  for (int slot = 0; slot < TrendSlots; ++slot)
    percents[slot] = TrendLine::PercentOf(values[slot], PredictedMode ? predicted[slot] : Ref.Values[slot]);
  TTrendLine line = TrendLine::Make(data, percents);

  const bool earlier = flags & TrendFlags::Earlier;
  const bool later = flags & TrendFlags::Later;
  if (!earlier && !later) {
    List.push_back(std::move(line));
    return;
  }
  const bool present = std::any_of(List.begin(), List.end(),
                                   [&](const TTrendLine& other) { return other.Text == line.Text; });
  if (earlier) {
    FirstReached = present;
    if (!present) {
      List.insert(List.begin(), std::move(line));
      // The marker and the selection stay on the same examination.
      ++Marker;
      if (Selected >= 0)
        ++Selected;
    }
  } else {
    LastReached = present;
    if (!present)
      List.push_back(std::move(line));
  }
}

bool TTrendModel::ReadParametersFromDatabase() {
  RefTaken = false;
  RefIndex = 0;
  Marker = 0;
  if (List.empty())
    return true;
  std::vector<std::string> keys;
  keys.reserve(List.size());
  for (const TTrendLine& line : List) {
    if (line.Data.Date.empty() || line.Data.Time.empty())
      return false;
    keys.push_back(TrendLine::Key(line.Data));
  }
  List.clear();
  Selected = -1;
  const short flags = FilterFlags();
  for (const std::string& key : keys)
    if (Request)
      Request(flags, key);
  ApplyRelativeIfOn();
  return true;
}

bool TTrendModel::ReadOneParameterFromDatabase(short flags) {
  if (List.empty() || !Request)
    return false;
  const TREND_DATA& data = (flags & TrendFlags::Earlier) ? List.front().Data : List.back().Data;
  if (data.Date.empty() || data.Time.empty())
    return false;
  Request(static_cast<short>(flags | FilterFlags()), TrendLine::Key(data));
  return true;
}

void TTrendModel::Recompute(const std::function<float(int line, int slot)>& percent) {
  std::vector<std::array<float, TrendSlots>> percents(List.size());
  for (int line = 0; line < Count(); ++line)
    for (int slot = 0; slot < TrendSlots; ++slot)
      percents[static_cast<std::size_t>(line)][slot] = percent(line, slot);
  for (std::size_t line = 0; line < List.size(); ++line)
    List[line] = TrendLine::Make(List[line].Data, percents[line]);
}

void TTrendModel::CalculateNewRef(int index) {
  if (index < 0 || index >= Count())
    return;
  Ref = List[static_cast<std::size_t>(index)].Data;
  RefTaken = true;
  Recompute([this](int line, int slot) {
    return TrendLine::PercentOf(List[static_cast<std::size_t>(line)].Data.Values[slot], Ref.Values[slot]);
  });
}

void TTrendModel::CalculateRelative() {
  Recompute([this](int line, int slot) {
    const std::size_t previous = static_cast<std::size_t>(std::max(line - 1, 0));
    return TrendLine::ChangeFrom(List[static_cast<std::size_t>(line)].Data.Values[slot],
                                 List[previous].Data.Values[slot]);
  });
}

void TTrendModel::ApplyRelativeIfOn() {
  // A reload answers with percentages of the reference; relative mode shows changes.
  if (RelativeMode && !PredictedMode)
    CalculateRelative();
}

bool TTrendModel::DeleteLine(int index) {
  if (index < 0 || index >= Count())
    return false;
  List.erase(List.begin() + index);
  Selected = -1;
  ReadParametersFromDatabase();
  return true;
}

void TTrendModel::SetSelection(int index) {
  Selected = (index >= 0 && index < Count()) ? index : -1;
  if (!RelativeMode && Selected >= 0)
    Marker = Selected;
}

bool TTrendModel::LoadNeighbour(unsigned id) {
  switch (id) {
  case CM_LEFT_PRE:
  case CM_RIGHT_NEXT: {
    const bool earlier = id == CM_LEFT_PRE;
    if (!ReadOneParameterFromDatabase(earlier ? TrendFlags::Earlier : TrendFlags::Later))
      return false;
    if (earlier ? FirstReached : LastReached)
      return false;
    CurveDrawn.fill(false);
    return ReadParametersFromDatabase();
  }
  case CM_LEFT_NEXT:
    FirstReached = false;
    List.erase(List.begin());
    return ReadParametersFromDatabase();
  case CM_RIGHT_PRE:
    LastReached = false;
    List.pop_back();
    return ReadParametersFromDatabase();
  default:
    return false;
  }
}

bool TTrendModel::IsEnabled(unsigned id) const {
  const bool hasLines = !List.empty();
  switch (id) {
  case CM_NEW_REF:
    return Selected >= 0 && !RelativeMode && !PredictedMode;
  case CM_NORMREL:
    return hasLines && !PredictedMode;
  case CM_PREDICTED:
    return hasLines;
  case CM_ZOOM:
    return !RelativeMode || PredictedMode;
  case CM_GRID:
    return !RelativeMode;
  case CM_LEFT_PRE:
    return hasLines && !FirstReached;
  case CM_RIGHT_NEXT:
    return hasLines && !LastReached;
  case CM_LEFT_NEXT:
  case CM_RIGHT_PRE:
    return Count() > 2;
  case CM_DDE:
  case CM_TREND_DELETE:
    return true;
  default:
    return false;
  }
}

bool TTrendModel::Command(unsigned id) {
  if (!IsEnabled(id))
    return false;
  switch (id) {
  case CM_NEW_REF:
    RefIndex = Selected;
    CalculateNewRef(Selected);
    return true;
  case CM_NORMREL:
    RelativeMode = !RelativeMode;
    if (RelativeMode)
      CalculateRelative();
    else
      CalculateNewRef(RefIndex);
    return true;
  case CM_PREDICTED:
    PredictedMode = !PredictedMode;
    ReadParametersFromDatabase();
    return true;
  case CM_ZOOM:
    Zoom = (Zoom + 1) % 3;
    return true;
  case CM_GRID:
    Grid = !Grid;
    return true;
  case CM_TREND_DELETE:
    return DeleteLine(Selected);
  case CM_LEFT_PRE:
  case CM_LEFT_NEXT:
  case CM_RIGHT_PRE:
  case CM_RIGHT_NEXT:
    LoadNeighbour(id);
    return true;
  default:
    return false;
  }
}
