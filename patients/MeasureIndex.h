#pragma once

// The index of the shown patient's examinations over the test tables that
// the sheet keeps open: listing them, reading one examination's summary,
// changing its note, finding it, and deleting its test rows or every
// examination of the patient. It carries the keys the program reads and
// writes between these calls: the current meet key (the examination last
// found, or last stored by the program) and the patient key of the
// examination last read (a walk from one examination to the next notices
// with it that it left the patient).

#include "platform/dbkit/Records.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TEngine;
class TMessage;
class TMeasureTables;

// Where GetAllMeasure puts its lines.
class TMeetListSink {
public:
  virtual ~TMeetListSink() = default;
  virtual void AddString(const std::string& line) = 0;
  virtual void InsertAtTop(const std::string& line) = 0;
};

namespace MeetStep {
inline constexpr short Previous = 0x04;  // step back before reading
inline constexpr short KeepTexts = 0x08;  // leave the caller's date and time texts as they are
inline constexpr short Next = 0x10;      // step on before reading
}  // namespace MeetStep

class TMeasureIndex {
public:
  // Indices of the spirometric test tables (by kind FVC ... SHUTTER).
  static constexpr int TestTables = 6;

  // The engines of the sheet's measure tables; the patient key is the
  // sheet's shown patient, asked for when needed.
  TMeasureIndex(const TMeasureTables& tables, std::function<std::int32_t()> patientKey);

  std::int32_t CurrentMeetKey = 0;
  std::int32_t LastReadPatientKey = 0;
  std::int32_t CurrentPatientKey() const { return PatientKey(); }

  TEngine* Meet() const;
  TEngine* Test(int kind) const;  // FVC ... SHUTTER
  TEngine* Audio() const;
  TEngine* Rhino() const;

  // One line "%5s %s %s %c" per examination of the patient (kind, date,
  // time, stage mark), in table order or each at the top.
  void GetAllMeasure(TMeetListSink& list, short atTop) const;
  // The summary of the examination of the texts, or of the one before or
  // after it (MeetStep); the texts are updated to the row read unless
  // KeepTexts. A row that cannot be found leaves everything untouched.
  void GetMeetInformation(std::string& date, std::string& time, MEET_INFORMATION* information, short step);
  void ModifyMeasureNote(std::string_view date, std::string_view time, std::string_view note);
  bool SearchMeetRecord(std::string_view date, std::string_view time);
  // The test row of the current meet key; engine result.
  short DeleteMeasureRecord(short index);
  short DeleteAudioRecord();
  short DeleteRhinoRecord();
  // Every examination of the patient with the rows of every kind it names.
  bool DeleteAllMeasure();
  // The examination of the texts with the rows of every kind it names, in
  // one transaction; the log line is written when it is found. Engine result.
  short DeleteExamination(std::string_view date, std::string_view time, std::string_view logLine);

  // The kind and stage mark of an examination as the list shows them.
  static std::string ListLine(const MeetRecordType& meet);

private:
  // The cursor on the patient's examination of the texts.
  short Locate(std::string_view date, std::string_view time) const;
  short DeleteRow(TEngine* engine, const std::string& logLine);
  // The test rows of the current meet key that the flags name; the first
  // failure other than a missing row.
  short DeleteRowsOf(std::int32_t flags);

  const TMeasureTables& Tables;
  std::function<std::int32_t()> PatientKey;
};
