#pragma once

// The main menu as the program builds it at run time: pop-ups, items and
// separators with their command numbers and language texts. The window
// turns this layout into the menu bar; tests read it without a display.

#include <string>
#include <vector>

struct TMenuEntry {
  enum class TKind { Command, Separator, Popup };

  TKind Kind = TKind::Separator;
  unsigned Id = 0;          // command number of an item
  int TextNumber = -1;      // language text; -1 when FixedText is shown
  std::string FixedText;
  bool Ellipsis = false;    // the text is followed by "..."
  std::string Key;          // the key of the item, after a tab ("Ctrl+Z")
  std::string Suffix;       // follows the text directly (": 40/min")
  std::vector<TMenuEntry> Items;  // of a pop-up

  static TMenuEntry Command(unsigned id, int textNumber, bool ellipsis = false);
  static TMenuEntry CommandWithKey(unsigned id, int textNumber, std::string key);
  static TMenuEntry CommandWithSuffix(unsigned id, int textNumber, std::string suffix);
  static TMenuEntry Separator();
  static TMenuEntry Popup(int textNumber, std::vector<TMenuEntry> items);
};

namespace MainMenu {

// The menu bar: File, two separators that mark the groups where the menus of
// the component windows join in, and Help. The ECG item exists only when
// the external ECG program is there, the USB item only when the settings ask
// for it.
std::vector<TMenuEntry> Layout(bool ecgAvailable, bool addUsbDescription);

// Whether the external ECG program is installed: [Korvane] Path names a
// folder holding "korvan.exe" or "korvan32.exe".
bool EcgProgramPresent(const std::string& iniPath);

}  // namespace MainMenu
