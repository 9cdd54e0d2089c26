#pragma once

// Binds menu items and tool-bar buttons (QActions) to the command chain: a
// triggered action sends its command id along the chain, and before a menu
// opens and whenever the event loop goes idle after input, every bound
// action asks the chain's enablers for its enabled and checked state.

#include "platform/framework/CommandChain.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QTimer;

class TCommandActions final : public QObject {
public:
  TCommandActions(TCommandChain chain, QObject* parent);

  // The command id of an action bound here, 0 for none.
  static unsigned CommandOf(const QAction* action);

  void Bind(QAction* action, unsigned id);
  // An action that does its own work when triggered (a tool-bar button
  // that sends its number to the window it belongs to) and keeps its own
  // tick unless an enabler gives one; the enablers still decide whether it
  // may be used.
  void BindOwned(QAction* action, unsigned id, std::function<void(bool checked)> trigger);
  // Updates the menu's actions each time it is about to be shown.
  void Watch(QMenu* menu);

  // Offers every bound action to the enablers now.
  void UpdateAll();
  // Asks for an update once the event loop is idle.
  void ScheduleUpdate();

  const TCommandChain& Chain() const { return CommandChain; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Update(QAction* action) const;

  TCommandChain CommandChain;
  std::vector<QPointer<QAction>> Actions;
  QTimer* IdleTimer;
};
