#pragma once

// The road of a command from a menu item or tool-bar button: the active MDI
// child's window, its frame, the client, the application. The first target
// that has a handler takes the command; nobody after it sees it. An
// optional filter sees every command first and may keep it from the chain
// (context-help mode shows a command's help instead of carrying it out).

#include "platform/framework/EventHandler.h"

#include <functional>
#include <vector>

class TCommandChain {
public:
  // Gives the chain as it stands now, first target first; null entries are skipped.
  using TTargets = std::function<std::vector<TEventHandler*>()>;

  // Answers true when it consumed the command.
  using TFilter = std::function<bool(unsigned id)>;

  explicit TCommandChain(TTargets targets, TFilter filter = {})
      : Targets(std::move(targets)), Filter(std::move(filter)) {}

  // True when the filter or a target took the command.
  bool Route(unsigned id) const;

  // The first enabler of the chain decides. Without one the command is
  // enabled exactly when some target of the chain handles it.
  void Enable(TCommandEnabler& enabler) const;

private:
  TTargets Targets;
  TFilter Filter;
};
