#include "shell/app/ProvocationWindowAccess.h"

#include "special/provocation/ui/Provocation.h"

void TProvocationWindowAccess::GetConcAndDose(double& concentration, double& dose) {
  if (TProvocationWindow* window = Window())
    window->GetConcAndDose(concentration, dose);
}

TProvocationAccess::TState& TProvocationWindowAccess::State() {
  if (TProvocationWindow* window = Window()) {
    const TProvocationSteps& steps = window->Steps();
    Mirror.Stage = steps.StageFlag;
    const TStageTime& at = steps.Current;
    Mirror.Year = at.Year;
    Mirror.Month = at.Month;
    Mirror.Day = at.Day;
    Mirror.Hour = at.Hour;
    Mirror.Minute = at.Minute;
    Mirror.Second = at.Second;
    Mirror.ProvokedAgent = window->GetAgent();
    Mirror.ThirdStageAgent = steps.ThirdAgent;
  }
  return Mirror;
}

namespace ProvocationWindows {

std::function<TMadeWindow<TProvocationWindow>(const TWindowArgs&, QWidget* parent)> Factory() {
  return [](const TWindowArgs& args, QWidget* parent) {
    auto* window = new TProvocation(args.Scale.X, args.Scale.Y, args.Texts, args.IniPath, args.Patient, parent);
    window->SetClient(dynamic_cast<TEventHandler*>(parent));
    window->SetMainWindow(parent ? dynamic_cast<TEventHandler*>(parent->window()) : nullptr);
    return TMadeWindow<TProvocationWindow>{window, window};
  };
}

}  // namespace ProvocationWindows
