#pragma once

// The component windows as the record code reaches them: the measurement
// window (MeasureAccess.h), the audiometer, the trend and the provocation
// window, each through the few operations the storing, loading and trend
// code uses. The client implements TRecordWindows over its real windows;
// a window not open yet is opened with the client's open command.

#include "records/MeasureAccess.h"

#include <array>
#include <string>
#include <string_view>

class TAudioAccess {
public:
  static constexpr int Entries = 11;
  virtual ~TAudioAccess() = default;
  // The threshold and flag tables of table set 0 or 1 and slot 0 or 1.
  virtual int* GetTable(int set, int slot) = 0;
  virtual bool* GetFlagTable(int set, int slot) = 0;
  virtual int GetAlgorithm() const = 0;
  virtual void SetAlgorithm(int algorithm) = 0;
  virtual void SetMeasureDate(int slot, int year, unsigned month, unsigned day) = 0;
  virtual void SetMeasureTime(int slot, unsigned hour, unsigned minute, unsigned second) = 0;
  virtual void RedrawScreenBmp() = 0;

  struct TState {
    std::string DatePicture = "YYYY.MM.DD.";
    std::string TimePicture = "HH:MM:SS";
    bool NewAudiogram = false;
    std::string Note;                  // of the current audiogram
    std::array<std::string, 2> SlotNote;
    std::array<bool, 2> SlotLoaded{};
    std::array<bool, 2> SlotNoteFlag{};
  };
  virtual TState& State() = 0;
};

class TTrendAccess {
public:
  static constexpr int Columns = 5;
  virtual ~TTrendAccess() = default;
  // Files one line of an examination: five values with their predicted
  // values and the stage mark.
  virtual void AddDataToTrendListBox(std::string_view date, std::string_view time,
                                     const std::array<float, Columns>& actual,
                                     const std::array<float, Columns>& reference, char mark, short filter) = 0;
  struct TState {
    // kind x 100 + parameter index; -1 = nothing.
    std::array<short, Columns> Codes{-1, -1, -1, -1, -1};
    bool StartReached = false;
    bool EndReached = false;
    bool ProvokedLines = false;
    bool ThirdStageLines = false;
  };
  virtual TState& State() = 0;
};

class TProvocationAccess {
public:
  virtual ~TProvocationAccess() = default;
  // The current step's concentration and accumulated dose.
  virtual void GetConcAndDose(double& concentration, double& dose) = 0;
  struct TState {
    short Stage = 8;  // 8 baseline, 16 provoked, 32 third stage
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;  // when the examination began
    std::string ProvokedAgent;
    std::string ThirdStageAgent;
  };
  virtual TState& State() = 0;
};

class TRecordWindows {
public:
  virtual ~TRecordWindows() = default;
  // Null while the window is not open.
  virtual TMeasureAccess* Measure() = 0;
  virtual TAudioAccess* Audiometer() = 0;
  virtual TTrendAccess* Trend() = 0;
  virtual TProvocationAccess* Provocation() = 0;
  // The client's open commands (2147 ... 2152 by kind, 2139 rhinomanometry,
  // 2126 audiometer, 2122 trend), sent synchronously.
  virtual void OpenMeasure(short kind) = 0;
  virtual void OpenAudiometer() = 0;
  virtual void OpenTrend() = 0;
  // A provocation examination is being loaded from the database, and its
  // third stage with it (the browser sets both before it loads).
  bool ProvocationFromDatabase = false;
  bool ThirdStage = false;
};
