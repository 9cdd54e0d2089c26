#pragma once

// A dockable tool bar of a component window, built from its pure layout.
// Buttons of the window's toggles, tables, microphone, algorithms and
// signal modes send their number straight to the window they belong to
// (held weakly: a press after the window went does nothing); every other
// button sends its command along the command chain. In context-help mode a
// toggle asks its window for help instead of toggling.

#include "platform/framework/EventHandler.h"
#include "shell/bars/BarLayouts.h"

#include <QToolBar>

#include <functional>
#include <map>

class QAction;
class QSlider;
class TCommandActions;
class TMessage;

class TComponentBar final : public QToolBar {
public:
  struct TContext {
    TMessage* Texts = nullptr;
    TCommandActions* Actions = nullptr;
    std::function<bool()> HelpMode;
    // A tip of its own for a button, or nothing for the usual one.
    std::function<std::optional<std::string>(unsigned id)> Tip;
  };

  TComponentBar(const TBarLayout& layout, TEventHandler* owner, const TContext& context, QWidget* parent = nullptr);

  const TBarLayout& Layout() const { return BarLayout; }
  QAction* Button(unsigned id) const;
  void SetButtonDown(unsigned id, bool down);
  bool IsButtonDown(unsigned id) const;
  QSlider* Slider() const { return VolumeSlider; }
  // Builds the gadgets again from a changed layout.
  void Rebuild(const TBarLayout& layout);

  // The buttons that send their number to the window as a message.
  static bool SendsToOwner(unsigned id);

private:
  void Build();
  void Press(unsigned id, int type, bool checked);

  TBarLayout BarLayout;
  TEventHandlerPtr Owner;
  TContext Context;
  std::map<unsigned, QAction*> Buttons;
  QSlider* VolumeSlider = nullptr;
};
