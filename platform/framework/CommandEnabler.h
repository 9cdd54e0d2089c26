#pragma once

// The question a menu item or tool-bar button asks the command chain before
// it is shown: may I be used, am I ticked, and what do I say?

#include <optional>
#include <string>

class TCommandEnabler {
public:
  enum TCheckState { Unchecked = 0, Checked = 1, Indeterminate = 2 };

  explicit TCommandEnabler(unsigned id) : Id(id) {}

  unsigned GetId() const { return Id; }

  void Enable(bool enable = true) {
    Enabled = enable;
    Handled = true;
  }
  void SetCheck(int state) {
    Check = state;
    CheckGiven = true;
    Handled = true;
  }

  // A new caption for the item (UTF-8); items keep theirs unless told.
  void SetText(std::string text) {
    Text = std::move(text);
    Handled = true;
  }

  bool GetEnabled() const { return Enabled; }
  const std::optional<std::string>& GetText() const { return Text; }
  int GetCheck() const { return Check; }
  bool GetHandled() const { return Handled; }
  // Whether the enabler said anything about the tick.
  bool IsCheckGiven() const { return CheckGiven; }

private:
  unsigned Id;
  bool Enabled = true;
  int Check = Unchecked;
  bool Handled = false;
  bool CheckGiven = false;
  std::optional<std::string> Text;
};
