#include "patients/MeasureIndex.h"

#include "patients/MeasureTables.h"
#include <cstdio>
#include "platform/dbkit/Engine.h"

#include <array>

namespace {

constexpr std::size_t MeetTable = 0;
constexpr std::size_t AudioTable = 7;
constexpr std::size_t RhinoTable = 8;

std::string Printf(const char* format, auto... values) {
  std::array<char, 160> buffer{};
  std::snprintf(buffer.data(), buffer.size(), format, values...);
  return buffer.data();
}

}  // namespace

TMeasureIndex::TMeasureIndex(const TMeasureTables& tables, std::function<std::int32_t()> patientKey)
    : Tables(tables), PatientKey(std::move(patientKey)) {}

TEngine* TMeasureIndex::Meet() const { return Tables.Get(MeetTable); }
TEngine* TMeasureIndex::Test(int kind) const {
  return kind >= 0 && kind < TestTables ? Tables.Get(static_cast<std::size_t>(kind) + 1) : nullptr;
}
TEngine* TMeasureIndex::Audio() const { return Tables.Get(AudioTable); }
TEngine* TMeasureIndex::Rhino() const { return Tables.Get(RhinoTable); }

std::string TMeasureIndex::ListLine(const MeetRecordType& meet) {
  const std::int32_t flags = meet.Flags;
  const char* kind = (flags & MeetFlag::Spirometric)      ? "SPIRO"
                     : (flags & MeetFlag::Audiogram)      ? "AUDIO"
                     : (flags & MeetFlag::PosteriorRhino) ? "RINOP"
                     : (flags & MeetFlag::Rhino)          ? "RINOA"
                                                          : "";
  const char mark = (flags & MeetFlag::Baseline)     ? 'B'
                    : (flags & MeetFlag::Provoked)   ? 'P'
                    : (flags & MeetFlag::ThirdStage) ? 'O'
                                                     : ' ';
  return Printf("%5s %s %s %c", kind, FieldText(meet.Date).c_str(), FieldText(meet.Time).c_str(), mark);
}

void TMeasureIndex::GetAllMeasure(TMeetListSink& list, short atTop) const {
  TEngine* meet = Meet();
  if (!meet)
    return;
  const std::shared_ptr<void> reading = meet->HoldForReading();
  if (meet->Search(SearchGreaterOrEqual, 1, long{PatientKey()}) != 0)
    return;
  do {
    MeetRecordType record;
    if (meet->GetData(record, dbiWRITELOCK) != 0 || record.PatientKey != PatientKey())
      break;
    if (atTop)
      list.InsertAtTop(ListLine(record));
    else
      list.AddString(ListLine(record));
  } while (meet->GetNextRec() == 0);
}

short TMeasureIndex::Locate(std::string_view date, std::string_view time) const {
  TEngine* meet = Meet();
  if (!meet)
    return DbResult::NotFound;
  long dateValue = 0, timeValue = 0;
  short result = meet->SetDate(dateValue, date);
  if (result == 0)
    result = meet->SetTime(timeValue, time);
  if (result == 0)
    result = meet->Search(SearchEqual, 1, long{PatientKey()}, 2, dateValue, 3, timeValue);
  return result;
}

void TMeasureIndex::GetMeetInformation(std::string& date, std::string& time, MEET_INFORMATION* information,
                                       short step) {
  if (Locate(date, time) != 0)
    return;
  TEngine* meet = Meet();
  if (step & MeetStep::Previous) {
    if (!meet->AtBOF())
      meet->GetPrevRec();
  } else if (step & MeetStep::Next) {
    if (!meet->AtEOF())
      meet->GetNextRec();
  }
  MeetRecordType record;
  if (meet->GetData(record, dbiWRITELOCK) != 0 || !information)
    return;
  *information = MEET_INFORMATION::From(record);
  CurrentMeetKey = record.MeetKey;
  LastReadPatientKey = record.PatientKey;
  if (!(step & MeetStep::KeepTexts)) {
    date = FieldText(record.Date);
    time = FieldText(record.Time);
  }
}

void TMeasureIndex::ModifyMeasureNote(std::string_view date, std::string_view time, std::string_view note) {
  if (Locate(date, time) != 0)
    return;
  MeetRecordType record;
  if (Meet()->GetData(record, dbiWRITELOCK) != 0)
    return;
  SetFieldText(record.Note, note);
  Meet()->AddMeetRecord(record, 0);
}

bool TMeasureIndex::SearchMeetRecord(std::string_view date, std::string_view time) {
  if (Locate(date, time) != 0)
    return false;
  MeetRecordType record;
  if (Meet()->GetData(record, dbiWRITELOCK) != 0)
    return false;
  CurrentMeetKey = record.MeetKey;
  return true;
}

short TMeasureIndex::DeleteRow(TEngine* engine, const std::string& logLine) {
  if (!engine)
    return DbResult::NotFound;
  const short result = engine->Search(SearchEqual, 1, long{CurrentMeetKey});
  if (result != 0)
    return result;
  engine->WriteLogFile(logLine);
  return engine->DeleteRec();
}

short TMeasureIndex::DeleteMeasureRecord(short index) {
  return DeleteRow(Test(index), Printf("PATMEAS: DeleteMeasureRecord(), ID: %ld, Which: %d", long{CurrentMeetKey},
                                       int{index}));
}

short TMeasureIndex::DeleteAudioRecord() {
  return DeleteRow(Audio(), Printf("PATMEAS: DeleteAudioRecord(), ID: %ld", long{CurrentMeetKey}));
}

short TMeasureIndex::DeleteRhinoRecord() {
  return DeleteRow(Rhino(), Printf("PATMEAS: DeleteRhinoRecord(), ID: %ld", long{CurrentMeetKey}));
}

bool TMeasureIndex::DeleteAllMeasure() {
  TEngine* meet = Meet();
  if (!meet)
    return false;
  const short found = meet->Search(SearchGreaterOrEqual, 1, long{PatientKey()});
  if (found != 0)
    return found == DbResult::NotFound;
  do {
    MeetRecordType record;
    if (meet->GetData(record, dbiWRITELOCK) != 0 || record.PatientKey != PatientKey())
      break;
    CurrentMeetKey = record.MeetKey;
    if (DeleteRowsOf(record.Flags) != 0 || meet->DeleteRec() != 0)
      return false;
    meet->WriteLogFile(Printf("PATMEAS: DeleteAllMeasure(), ID: %ld", long{record.MeetKey}));
  } while (meet->GetNextRec() == 0);
  return true;
}

short TMeasureIndex::DeleteRowsOf(std::int32_t flags) {
  // Every kind the examination names loses its row, so that no row is
  // left without its examination; a kind without a row is no fault.
  short result = 0;
  const auto take = [&result](short deleted) {
    if (result == 0 && deleted != DbResult::NotFound)
      result = deleted;
  };
  if (flags & MeetFlag::Spirometric)
    for (short index = 0; index < TestTables; ++index)
      take(DeleteMeasureRecord(index));
  if (flags & MeetFlag::Audiogram)
    take(DeleteAudioRecord());
  if (flags & MeetFlag::Rhino)
    take(DeleteRhinoRecord());
  return result;
}

short TMeasureIndex::DeleteExamination(std::string_view date, std::string_view time, std::string_view logLine) {
  TEngine* meet = Meet();
  if (!meet)
    return DbResult::NotOpen;
  short result = meet->BeginTransaction();
  if (result != 0)
    return result;
  MeetRecordType record;
  result = Locate(date, time);
  if (result == 0)
    result = meet->GetData(record, dbiWRITELOCK);
  if (result == 0) {
    meet->WriteLogFile(logLine);
    CurrentMeetKey = record.MeetKey;
    result = DeleteRowsOf(record.Flags);
    if (result == 0)
      result = meet->DeleteRec();
  }
  if (result == 0)
    result = meet->CommitTransaction();
  if (result != 0)
    meet->RollbackTransaction();
  return result;
}
