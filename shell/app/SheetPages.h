#pragma once

// Pages that another library adds to a configuration sheet (the
// audiometer's to the "Audio" sheet): the factory puts its pages on the
// sheet and answers what the sheet calls when it closes.

#include <functional>
#include <string>

class TMessage;
class TOwnPropertySheet;

struct TSheetPages {
  std::function<void()> Write;              // the sheet was confirmed
  std::function<void()> HaveToKillHandler;  // the sheet closed, whatever the result
};

using TSheetPageFactory =
    std::function<TSheetPages(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet& sheet)>;
