#pragma once

// The provocation window as the program makes it and as the records reach
// it: the factory of the client's provocation command, and the stage the
// records store (the stage word and filing time the driver set, the two
// agents, and the last step's concentration and dose).

#include "records/RecordWindows.h"
#include "shell/client/ComponentFactories.h"

#include <functional>

class TProvocationWindowAccess final : public TProvocationAccess {
public:
  // `window` answers the open provocation window, null while none is open.
  explicit TProvocationWindowAccess(std::function<TProvocationWindow*()> window) : Window(std::move(window)) {}

  // Null while no provocation window is open.
  TProvocationAccess* Get() { return Window && Window() ? this : nullptr; }

  void GetConcAndDose(double& concentration, double& dose) override;
  // Read afresh from the window on every call.
  TState& State() override;

private:
  std::function<TProvocationWindow*()> Window;
  TState Mirror;
};

namespace ProvocationWindows {

std::function<TMadeWindow<TProvocationWindow>(const TWindowArgs&, QWidget* parent)> Factory();

}  // namespace ProvocationWindows
