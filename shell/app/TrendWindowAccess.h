#pragma once

// The trend window as the records reach it while it asks for
// examinations: the request state (chosen parameters, reached ends, the
// kinds of lines taken) is the window's model's, mirrored into the
// records' state for the request and written back into the model when a
// line is added and when the request ends.

#include "records/RecordWindows.h"
#include "shell/client/ComponentFactories.h"
#include "trend/TrendWindow.h"

#include <functional>

class TTrendWindowAccess final : public TTrendAccess {
public:
  // `window` answers the open trend window, null while none is open.
  explicit TTrendWindowAccess(std::function<TTrendWindow*()> window) : Window(std::move(window)) {}

  // Null while no trend window is open.
  TTrendAccess* Get() { return Window() ? this : nullptr; }
  // The request is answered: what the records set goes into the model.
  void EndRequest();

  void AddDataToTrendListBox(std::string_view date, std::string_view time, const std::array<float, Columns>& actual,
                             const std::array<float, Columns>& reference, char mark, short filter) override;
  TState& State() override;

private:
  void WriteBack();

  std::function<TTrendWindow*()> Window;
  TTrendWindow* Mirrored = nullptr;  // the window whose model Mirror holds
  TState Mirror;
};

namespace TrendWindows {

// The trend window's factory: a TTrend that asks the client (the parent
// it is made in) for examinations and the main window for help.
std::function<TMadeWindow<TTrendWindow>(const TWindowArgs&, QWidget* parent)> Factory();

}  // namespace TrendWindows
