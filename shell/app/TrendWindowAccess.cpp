#include "shell/app/TrendWindowAccess.h"

#include "trend/Trend.h"

#include <string>

TTrendAccess::TState& TTrendWindowAccess::State() {
  TTrendWindow* window = Window();
  if (window && window != Mirrored) {
    const TTrendModel& model = window->Model();
    Mirror.Codes = model.Params;
    Mirror.StartReached = model.FirstReached;
    Mirror.EndReached = model.LastReached;
    Mirror.ProvokedLines = model.IncludeProvoked;
    Mirror.ThirdStageLines = model.IncludeLysis;
    Mirrored = window;
  }
  return Mirror;
}

void TTrendWindowAccess::WriteBack() {
  TTrendWindow* window = Window();
  if (!window || window != Mirrored)
    return;
  // The parameters are the window's choice: only the walk's results go back.
  TTrendModel& model = window->Model();
  model.FirstReached = Mirror.StartReached;
  model.LastReached = Mirror.EndReached;
  model.IncludeProvoked = Mirror.ProvokedLines;
  model.IncludeLysis = Mirror.ThirdStageLines;
}

void TTrendWindowAccess::EndRequest() {
  WriteBack();
  Mirrored = nullptr;
}

void TTrendWindowAccess::AddDataToTrendListBox(std::string_view date, std::string_view time,
                                               const std::array<float, Columns>& actual,
                                               const std::array<float, Columns>& reference, char mark, short filter) {
  TTrendWindow* window = Window();
  if (!window)
    return;
  WriteBack();
  const std::string dateText(date), timeText(time);
  window->AddDataToTrendListBox(dateText.c_str(), timeText.c_str(), actual.data(), reference.data(), mark, filter);
}

namespace TrendWindows {

std::function<TMadeWindow<TTrendWindow>(const TWindowArgs&, QWidget* parent)> Factory() {
  return [](const TWindowArgs& args, QWidget* parent) {
    auto* window = new TTrend(args.Scale.X, args.Scale.Y, args.Texts, args.IniPath, args.Patient, args.DateFormat,
                              parent);
    window->SetClient(dynamic_cast<TEventHandler*>(parent));
    window->SetMainWindow(parent ? dynamic_cast<TEventHandler*>(parent->window()) : nullptr);
    return TMadeWindow<TTrendWindow>{window, window};
  };
}

}  // namespace TrendWindows
