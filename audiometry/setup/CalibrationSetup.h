#pragma once

// The earphone's calibration as its dialog edits it: per test frequency
// the sound pressure level measured for a 70 dB HL tone, against the
// nominal level of the chosen reference set. The stored correction is
// 2 x reference - measured + 70, so an unchanged correction shows the
// nominal level and a louder earphone lowers it by the excess.

#include "audiometry/threshold/AudioSettings.h"

#include <array>
#include <optional>
#include <string>

class TCalibrationSetup {
public:
  // The reference corrections of the two sets, in dB.
  static constexpr std::array<std::array<double, AudioFrequencies>, 2> References{{
      {45.0, 25.5, 11.5, 7.5, 7.0, 6.5, 9.0, 10.0, 9.5, 15.5, 13.0},
      {45.0, 27.0, 13.5, 9.0, 7.5, 7.5, 9.0, 11.5, 12.0, 16.0, 15.5},
  }};

  int Standard = 0;
  std::array<std::string, AudioFrequencies> Measured;  // as the edits hold them

  static TCalibrationSetup Read(const std::string& iniFile);
  static double Nominal(int standard, int frequency) {
    return References[static_cast<std::size_t>(standard)][static_cast<std::size_t>(frequency)] + 70.0;
  }
  static std::string Format(double db);

  // Every measured level set to the nominal one of the set.
  void Default();
  // The first frequency whose measured text is not a number.
  std::optional<int> FirstInvalid() const;
  // Writes "Standard" and the corrections; nothing when a text is not a
  // number. False when nothing or not all was written.
  bool Write(const std::string& iniFile) const;
};
