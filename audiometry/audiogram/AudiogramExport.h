#pragma once

// The audiogram in 12 x 12 spreadsheet cells: the patient, then per ear
// the frequencies, the actual and the previous thresholds and their
// differences, poked row by row until a poke fails.

#include "audiometry/audiogram/AudiogramPainter.h"

#include <functional>
#include <string>
#include <string_view>

class TMessage;

struct TAudiogramCells {
  // The cell address of a row and column offset ("R5C2").
  std::function<std::string(unsigned row, unsigned column)> Address;
  std::function<bool(std::string_view item, std::string_view text)> Poke;
};

// False when a poke failed (the rest is not poked).
bool SendAudiogramToExcel(const TAudiogramData& data, const TMessage* texts, const std::string& dateFormat,
                          const std::string& timeFormat, const TAudiogramCells& cells);
