#pragma once

// Storing the tests of the measurement window, the rhinomanometry and the
// audiogram: one examination row in the meet table groups the tests of a
// patient saved one after another; each kind adds its row, keyed by the
// examination's meet key. A kind saved a second time, a rhinomanometry and
// an audiogram start an examination of their own.
//
// A save command is one transaction over the examination row and every
// kind's row: a save that fails, or a program that dies during it, leaves
// the tables as they were, and no kind loses its new-result flag.

#include "records/MeasureWorkFiles.h"
#include "records/RecordWindows.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TMeasureIndex;
class TMessage;

struct TClockReading {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TExaminationSaver {
public:
  using TClock = std::function<TClockReading()>;

  // The examination the next saves add to.
  struct TCurrent {
    std::string Date;
    std::string Time;
    std::int32_t MeetKey = 0;  // 0: none
    std::int32_t Kinds = 0;    // the flags as last written
  };

  TExaminationSaver(TMeasureIndex& index, TMeasureWorkFiles& workFiles, TRecordWindows& windows, TMessage* texts,
                    TClock clock = {});

  // The save command of the measurement window: the work file of its kind,
  // the examination row, then the row of every kind with a new result, all
  // or nothing; the window is restored from its work file afterwards.
  short SaveMeasurement();
  // The audiogram's save command.
  short SaveAudiogram();
  // The stages of a closed provocation examination: each set of stage
  // files, brought back to the work-file names, is stored in one
  // transaction (`prepare` renames the set and marks its kinds as new).
  // The examination carries the stage's flag (8 baseline, 16 provoked, 32
  // third stage) and the moment the stage was filed.
  struct TStage {
    short Flag = 0;
    TClockReading Filed;
  };
  short SaveProvocationStage(const TStage& stage, const std::function<void()>& prepare);

  short StoreMeetRecord();
  short StoreSpiroRecord(short kind, short n, bool onlyIfNew);
  short StoreRhinoRecord(bool onlyIfNew);
  short StoreAudioRecord();
  void ClearMeetRecordKey() { Current = {}; }

  const TCurrent& GetCurrent() const { return Current; }

  // The curve a spirometric kind's row holds, from slot 0 (`selected` is
  // the slot whose loop bounds a plethysmograph curve takes).
  static std::vector<float> BuildSpiroCurve(TMeasureAccess& window, short kind, int selected);
  // [c1, flow, pressure, c2, flow, pressure] of two rhinomanometry slots.
  static std::vector<float> BuildRhinoCurve(TMeasureAccess& window, short first, short second);

private:
  // Runs `steps` in one transaction; the flags to clear are cleared only
  // when it committed, the current examination is restored when it did not.
  short InTransaction(const std::function<short()>& steps);
  std::int32_t NewKindBits(TMeasureAccess& window) const;
  // `when`, or the first later second at which the patient has no examination.
  TClockReading FreeMoment(TClockReading when, const std::string& datePicture, const std::string& timePicture);
  // Date and time texts in the pictures given.
  static std::string DateText(int year, int month, int day, const std::string& picture);
  static std::string TimeText(int hour, int minute, int second, const std::string& picture);

  TMeasureIndex& Index;
  TMeasureWorkFiles& WorkFiles;
  TRecordWindows& Windows;
  TMessage* Texts;
  TClock Clock;
  TCurrent Current;
  // The provocation stage being stored; none for the other saves.
  std::optional<TStage> Stage;
  // What a committed save clears: new-result flags by kind (7 = the
  // audiogram) and the window's changed-data flag.
  std::vector<short> Clear;
  bool ClearChanged = false;
};
