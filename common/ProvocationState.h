#pragma once

// What the program's provocation driver shares with the provocation window
// and the measurement window as it files each step of a bronchial
// provocation into its stage: plain state that the windows keep and the
// driver reads and sets.

#include <array>
#include <string>

class TMeasureWindow;

// When a stage was filed.
struct TStageTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Hundredths = 0;

  bool operator==(const TStageTime&) const = default;
};

// The provocation window's state as the driver sees it.
struct TProvocationSteps {
  bool UnsavedCopy = false;       // the last step's measurement had results not yet filed
  bool End = false;               // the provocation ends; set by the driver only
  bool BaselineDone = false;      // set as the baseline row is added
  bool ProvokedRow = false;       // set as a provoked row is added
  bool NebulizerRunning = false;  // set by StartNebulizer, cleared as it stops
  std::string ThirdAgent;         // the second agent; empty: no third stage
  std::string FallValue;          // the current fall, a number as shown
  float FallLimit = 0.0f;
  short DoseStep = 0;             // from the set-up
  short NebulizerWord = 0;        // from the set-up
  short TestCommand = -1;         // the test of each step (FVC or VC command); -1 before the first
  // The parameter codes of the list's three columns (100 x test type +
  // parameter index); -1 an empty column.
  std::array<short, 3> Columns{-1, -1, -1};

  // The stage being stored: its flag (8, 16, 32), date and time and value.
  short StageFlag = 0;
  TStageTime Current;
  float CurrentStageValue = 0.0f;
  // When each of the three stages was filed.
  std::array<TStageTime, 3> Stages{};

  bool MeasurementLinked = false;
  TMeasureWindow* LinkedMeasure = nullptr;
};

// The measurement window's values that a provocation step carries.
struct TProvocationResults {
  float Key = 0.0f;        // the key result of the current measurement
  float KeyBefore = 0.0f;  // and of the one before it
  std::array<float, 3> StageKeys{};  // the key result as each stage was filed
  float Further = 0.0f;    // cleared for each new step
};
