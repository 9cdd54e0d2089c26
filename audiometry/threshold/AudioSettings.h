#pragma once

// The settings a threshold test reads from the ini file: the test keys of
// section "Audio", the earphone's calibration of section "SPL" and the
// automatic sequence of section "Audiometer Automatic Sequence".

#include <array>
#include <string>
#include <vector>

inline constexpr int AudioFrequencies = 11;
// The test frequencies in Hz and their codes on the wire (Hz / 62.5).
inline constexpr std::array<int, AudioFrequencies> AudioHz{125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000};
inline constexpr std::array<int, AudioFrequencies> FREQ{2, 4, 8, 12, 16, 24, 32, 48, 64, 96, 128};

struct TAudioSetup {
  int Algorithm = 0;   // 0 manual, 1 ascending, 2 descending, 3 automatic sequence
  int SignalMode = 0;  // 0 continuous, 1 timed, 2 pulsed
  int OneStep = 1;     // level units per step-timer tick
  int StepTimer = 2;   // ms; below 1: no step timer
  int Step = 5;        // dB
  int OffsetVolumeOfMicrophone = 155;
  int BeginVolumeOfMicrophone = 50;

  static TAudioSetup Read(const std::string& iniFile);
  // Writes the method and the signal mode back.
  void Write(const std::string& iniFile) const;
};

struct TAudioCalibration {
  std::array<double, AudioFrequencies> Correction{45.0, 25.5, 11.5, 7.5, 7.0, 6.5, 9.0, 8.5, 11.5, 11.5, 26.5};
  std::array<int, AudioFrequencies> MaxDb{60, 70, 100, 100, 100, 100, 100, 100, 100, 90, 90};
  int Max = 120;
  double Scale = 255.0 / 130.0;

  static TAudioCalibration Read(const std::string& iniFile);
  // The audiometer's level byte for a hearing level at a frequency: 0 below
  // the range, 255 above it (never wrapped to a low byte).
  int LevelByte(double db, int frequency) const;
  // Whether the law gives the level without saturating at 255.
  bool Fits(double db, int frequency) const;
  // The highest level the methods present: 110 dB or the frequency's
  // maximum when that is lower.
  int Ceiling(int frequency) const;
};

struct TAutomaticSequence {
  int FirstEar = 0;
  int IterationType = 0;  // 0 ascending, 1 descending
  int NumberOfRepetition = 5;
  int NumberOfEqualSoundLevels = 3;
  int Tolerance = 5;  // dB
  std::vector<int> Tests;  // frequency indexes, at most 12
  int RetestFrequency = -1;
  bool Available() const { return !Tests.empty(); }
  // The number of equal levels and of responses a threshold needs, as the
  // set-up dialog allows them: 1 <= equal levels <= responses.
  int Responses() const { return NumberOfRepetition < 1 ? 1 : NumberOfRepetition; }
  int EqualLevels() const;

  static TAutomaticSequence Read(const std::string& iniFile);
};
