#include "platform/framework/CommandChain.h"

bool TCommandChain::Route(unsigned id) const {
  if (Filter && Filter(id))
    return true;
  for (TEventHandler* target : Targets())
    if (target && target->DispatchCommand(id))
      return true;
  return false;
}

void TCommandChain::Enable(TCommandEnabler& enabler) const {
  const auto targets = Targets();
  for (TEventHandler* target : targets)
    if (target && target->DispatchEnable(enabler) && enabler.GetHandled())
      return;
  bool handled = false;
  for (TEventHandler* target : targets)
    handled = handled || (target && target->HandlesCommand(enabler.GetId()));
  enabler.Enable(handled);
}
