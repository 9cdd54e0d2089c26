#pragma once

// The service page's arithmetic: which test frequency a code byte names,
// and the conversion between a hearing level and the audiometer's value
// byte with the earphone's corrections of section "SPL" (whose defaults
// here are the page's own).

#include "audiometry/threshold/AudioSettings.h"

#include <array>
#include <optional>
#include <string>

struct TServiceConversion {
  std::array<double, AudioFrequencies> Correction{45.0, 25.5, 11.5, 7.5, 7.0, 6.5, 9.0, 8.5, 11.5, 11.5, 26.5};
  double Factor = 255.0 / 130.0;

  static TServiceConversion Read(const std::string& iniFile);
  // The frequency index of a code byte; nothing for any other pattern.
  static std::optional<int> GetFreq(unsigned code);
  // The value byte of a level, limited to 0 to 255.
  int Value(int db, int frequency) const;
  // The level of a value byte (itself limited to 0 to 255 first).
  int Db(int value, int frequency) const;
};
