#pragma once

// Loading a stored examination back into its windows, as the current test
// or as the comparison beside it, and a stored audiogram into the
// audiometer. Spirometric tests also go to their kind's work file (for a
// provocation examination to its stage file), from where the window's
// later reloads take them.

#include "records/MeasureWorkFiles.h"
#include "records/RecordWindows.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TMeasureIndex;
class TMessage;
struct MEET_INFORMATION;

class TExaminationLoader {
public:
  static constexpr short AsCurrent = 1;
  static constexpr short AsComparison = 2;

  TExaminationLoader(TMeasureIndex& index, TMeasureWorkFiles& workFiles, TRecordWindows& windows, TMessage* texts);

  // Every test of the examination of the date and time texts.
  short LoadMeasurement(std::string_view date, std::string_view time, short loadKind);
  short LoadSpiroRecord(short kind, short n, std::string_view date, std::string_view time, short loadKind);
  short LoadPlethyRecord(short slot, short& count);
  void MoveToStageFile(short kind, const MEET_INFORMATION& information);
  short LoadRhinoRecord(std::string_view date, std::string_view time, short loadKind);
  short LoadAudioRecord(std::string_view date, std::string_view time, int slot);

  // The notes handed to the measurement window: 1 the current test, 2 the
  // comparison.
  std::array<std::string, 3> Notes;
  bool PrePostPending = false;

  // The caption text of a kind's measurement window.
  static int CaptionText(short kind);

private:
  bool ProvocationLoad() { return Windows.Provocation() || Windows.ProvocationFromDatabase; }
  // One box naming the tests of the examination whose rows are not stored.
  void ReportMissing(const std::vector<short>& kinds, std::string_view date, std::string_view time);
  // A stored row that the window cannot hold: named, and the load stops.
  short Damaged(std::string_view table, const std::string& what);
  // The row's float array, sized from its stored length.
  short ReadSpiroRow(short kind, short n, short slot, std::vector<float>& curve);

  TMeasureIndex& Index;
  TMeasureWorkFiles& WorkFiles;
  TRecordWindows& Windows;
  TMessage* Texts;
};
