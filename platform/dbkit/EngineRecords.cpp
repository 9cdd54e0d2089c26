// TEngine: the rows of patients, examinations and doctors, the memo of a
// row, deleting and writing single fields.

#include "platform/dbkit/DateColumns.h"
#include "platform/dbkit/EngineState.h"
#include "platform/dbkit/NameCollation.h"

#include "platform/framework/Utf8.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace {

// Reads the columns of a row into the fields of a record. Stored values
// are not trusted: a text longer than its field is cut at a character
// boundary, and a value of the wrong type or out of the field's range is
// reported as damaged.
class TRowReader {
public:
  explicit TRowReader(const TRowValues& row) : Row(row) {}

  template <std::size_t N>
  void Text(const std::string& column, char (&field)[N]) {
    SetFieldText(field, N, TextOf(column));
  }
  template <std::size_t N>
  void Date(const std::string& column, char (&field)[N], std::string_view picture) {
    SetFieldText(field, N, DateColumns::DateFromColumn(TextOf(column), picture));
  }
  template <std::size_t N>
  void Time(const std::string& column, char (&field)[N], std::string_view picture) {
    SetFieldText(field, N, DateColumns::TimeFromColumn(TextOf(column), picture));
  }
  std::int32_t Int(const std::string& column) {
    const TSqlValue& value = Find(column);
    if (std::holds_alternative<std::monostate>(value))
      return 0;
    const auto* number = std::get_if<std::int64_t>(&value);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max()) {
      Damaged(column);
      return 0;
    }
    return static_cast<std::int32_t>(*number);
  }
  float Float(const std::string& column) {
    const TSqlValue& value = Find(column);
    if (const auto* real = std::get_if<double>(&value))
      return static_cast<float>(*real);
    if (const auto* number = std::get_if<std::int64_t>(&value))
      return static_cast<float>(*number);
    if (!std::holds_alternative<std::monostate>(value))
      Damaged(column);
    return std::numeric_limits<float>::quiet_NaN();
  }
  std::string Bytes(const std::string& column) {
    const TSqlValue& value = Find(column);
    if (const auto* blob = std::get_if<TSqlBlob>(&value))
      return blob->Bytes;
    if (const auto* text = std::get_if<std::string>(&value))
      return *text;
    if (!std::holds_alternative<std::monostate>(value))
      Damaged(column);
    return {};
  }

  const TDbError& Error() const { return Problem; }

private:
  const TSqlValue& Find(const std::string& column) {
    static const TSqlValue none;
    const auto found = Row.find(column);
    return found == Row.end() ? none : found->second;
  }
  std::string TextOf(const std::string& column) {
    const TSqlValue& value = Find(column);
    if (const auto* text = std::get_if<std::string>(&value))
      return *text;
    if (!std::holds_alternative<std::monostate>(value))
      Damaged(column);
    return {};
  }
  void Damaged(const std::string& column) {
    if (!Problem)
      Problem = {DbResult::DamagedValue, "The field \"" + column + "\" holds a value of another type or size."};
  }

  const TRowValues& Row;
  TDbError Problem;
};

TDbError BadDate(std::string_view field, std::string_view text, std::string_view picture) {
  return {DbResult::InvalidDate,
          "The " + std::string(field) + " \"" + std::string(text) + "\" does not follow the picture " + std::string(picture) + "."};
}

// --- Patients

void FillPatient(TRowReader& in, PatientRecordType& record, std::string_view datePicture) {
  in.Text("name", record.Name);
  in.Text("identifier", record.Id);
  in.Text("identifier2", record.Id2);
  in.Text("mother_name", record.MotherName);
  in.Text("maiden_name", record.MaidenName);
  for (std::size_t i = 0; i < PatientRecordType::AddressSets; ++i) {
    in.Text(ArrayColumn("postcode", i), record.Postcode[i]);
    in.Text(ArrayColumn("county", i), record.County[i]);
    in.Text(ArrayColumn("city", i), record.City[i]);
    in.Text(ArrayColumn("street", i), record.Street[i]);
    in.Text(ArrayColumn("phone", i), record.Phone[i]);
  }
  for (std::size_t i = 0; i < PatientRecordType::Dates; ++i)
    in.Date(ArrayColumn("date", i), record.Date[i], datePicture);
  record.Sex = in.Int("sex");
  record.Unit = in.Int("unit");
  record.Height = in.Int("height");
  record.Weight = in.Int("weight");
  record.Population = in.Int("population");
  in.Text("occupation", record.Occupation);
  record.Key = in.Int("key");
  record.HomeDoctor = in.Int("home_doctor");
  record.Doctor = in.Int("treating_doctor");
  in.Text("ecg_id", record.EcgId);
}

TDbError PatientColumns(const PatientRecordType& record, bool insert, std::string_view datePicture,
                        TColumnValues& out) {
  const std::string name = FieldText(record.Name);
  const std::string id = FieldText(record.Id);
  out.Add("name", name);
  out.Add("identifier", id);
  out.Add("identifier2", FieldText(record.Id2));
  out.Add("mother_name", FieldText(record.MotherName));
  out.Add("maiden_name", FieldText(record.MaidenName));
  for (std::size_t i = 0; i < PatientRecordType::AddressSets; ++i) {
    out.Add(ArrayColumn("postcode", i), FieldText(record.Postcode[i]));
    out.Add(ArrayColumn("county", i), FieldText(record.County[i]));
    out.Add(ArrayColumn("city", i), FieldText(record.City[i]));
    out.Add(ArrayColumn("street", i), FieldText(record.Street[i]));
    out.Add(ArrayColumn("phone", i), FieldText(record.Phone[i]));
  }
  for (std::size_t i = 0; i < PatientRecordType::Dates; ++i) {
    const std::string text = FieldText(record.Date[i]);
    const auto column = DateColumns::DateToColumn(text, datePicture);
    if (!column)
      return BadDate(i == 0 ? "birth date" : "date", text, datePicture);
    out.Add(ArrayColumn("date", i), *column);
  }
  out.Add("sex", std::int64_t{record.Sex});
  out.Add("unit", std::int64_t{record.Unit});
  out.Add("height", std::int64_t{record.Height});
  out.Add("weight", std::int64_t{record.Weight});
  out.Add("population", std::int64_t{record.Population});
  out.Add("occupation", FieldText(record.Occupation));
  out.Add("home_doctor", std::int64_t{record.HomeDoctor});
  out.Add("treating_doctor", std::int64_t{record.Doctor});
  // The patient sheet never fills the ECG identifier: a rewrite without one
  // keeps the stored identifier, so the ECG program keeps knowing the
  // patient.
  const std::string ecg = FieldText(record.EcgId);
  if (insert || !ecg.empty())
    out.Add("ecg_id", ecg);
  out.Add("name_key", NameCollation::Key(name));
  out.Add("identifier_key", NameCollation::Key(id));
  return {};
}

// --- Examinations

void FillMeet(TRowReader& in, MeetRecordType& record, std::string_view datePicture, std::string_view timePicture) {
  record.PatientKey = in.Int("patient_key");
  in.Date("date", record.Date, datePicture);
  in.Time("time", record.Time, timePicture);
  record.Flags = in.Int("flags");
  in.Text("agent", record.Agent);
  record.Concentration = in.Float("concentration");
  record.Dose = in.Float("dose");
  in.Text("note", record.Note);
  in.Text("version", record.Version);
  record.MeetKey = in.Int("key");
  record.Algorithm = in.Int("algorithm");
}

TDbError MeetColumns(const MeetRecordType& record, std::string_view datePicture, std::string_view timePicture,
                     TColumnValues& out) {
  const std::string date = FieldText(record.Date);
  const std::string time = FieldText(record.Time);
  const auto dateColumn = DateColumns::DateToColumn(date, datePicture);
  if (!dateColumn || dateColumn->empty())
    return BadDate("date", date, datePicture);
  const auto timeColumn = DateColumns::TimeToColumn(time, timePicture);
  if (!timeColumn || timeColumn->empty())
    return BadDate("time", time, timePicture);
  out.Add("patient_key", std::int64_t{record.PatientKey});
  out.Add("date", *dateColumn);
  out.Add("time", *timeColumn);
  out.Add("flags", std::int64_t{record.Flags});
  out.Add("agent", FieldText(record.Agent));
  out.Add("concentration", static_cast<double>(record.Concentration));
  out.Add("dose", static_cast<double>(record.Dose));
  out.Add("note", FieldText(record.Note));
  out.Add("version", FieldText(record.Version));
  out.Add("algorithm", std::int64_t{record.Algorithm});
  return {};
}

// --- Doctors

void FillDoctor(TRowReader& in, DoctorRecordType& record) {
  record.Key = in.Int("key");
  in.Text("code", record.Code);
  in.Text("name", record.Name);
  in.Text("address", record.Address);
  record.Treating = in.Int("treating");
  record.Home = in.Int("home");
  record.Referring = in.Int("referring");
}

TDbError DoctorColumns(const DoctorRecordType& record, TColumnValues& out) {
  const std::string name = FieldText(record.Name);
  out.Add("code", FieldText(record.Code));
  out.Add("name", name);
  out.Add("address", FieldText(record.Address));
  out.Add("treating", std::int64_t{record.Treating});
  out.Add("home", std::int64_t{record.Home});
  out.Add("referring", std::int64_t{record.Referring});
  out.Add("name_key", NameCollation::Key(name));
  return {};
}

}  // namespace

short TEngine::NeedKind(short kind, std::string_view operation) {
  if (const short code = NeedTable())
    return code;
  return Schema->Kind == kind ? DbResult::Ok : Refuse(operation);
}

short TEngine::Refuse(std::string_view operation) {
  return Report({DbResult::InvalidRequest,
                 std::string(operation) + " does not fit a table of the kind \"" + Schema->KindName + "\"."});
}

short TEngine::ReadCurrent(short lockType, TRowValues& row) {
  if (const short code = NeedTable())
    return code;
  // Finding the row again and reading it under one lock.
  const TDatabase::TReadScope read(*Database, State->Table);
  std::int64_t key = 0;
  if (const short code = NeedRow(key))
    return code;
  if (lockType != dbiNOLOCK)
    if (const short code = Locks.TestRow(key))
      return code;
  TDbError error;
  TStatement statement = Database->Prepare(
      State->Table, "SELECT * FROM " + Schema->Qualified(State->Table.Schema) + " WHERE " + Schema->KeyColumn + " = ?",
      error);
  if (error)
    return Report(error);
  statement.Bind(1, key);
  const int result = statement.Step();
  if (result == SQLITE_DONE) {
    // Deleted by another user since the cursor came here.
    State->Position.Where = TPosition::Between;
    return DbResult::NoCurrentRow;
  }
  if (result != SQLITE_ROW)
    return Report(Database->ErrorOf(State->Table, result));
  for (int column = 0; column < statement.ColumnCount(); ++column)
    row[statement.ColumnName(column)] = statement.Value(column);
  return DbResult::Ok;
}

short TEngine::WriteRow(const TColumnValues& values, bool insert, std::int64_t& key) {
  if (const short code = NeedTable())
    return code;
  if (ReadOnlyTable)
    return Report({DbResult::ReadOnly, TablePath().string()}, true);
  std::int64_t rowKey = 0;
  if (!insert) {
    // Rewriting needs a row under the cursor; a user who saves a row that
    // somebody else deleted meanwhile must hear that nothing was saved.
    if (NeedRow(rowKey))
      return Report({DbResult::NoCurrentRow, "There is no row under the cursor to rewrite."}, true);
  }
  const TTableLocks::TWriteLease lease = Locks.LeaseForWrite(rowKey);
  if (lease.Result())
    return Report({lease.Result(), {}});

  const std::string table = Schema->Qualified(State->Table.Schema);
  std::string sql;
  if (insert) {
    std::string columns, placeholders;
    if (key != 0) {
      columns = Schema->KeyColumn;
      placeholders = "?";
    }
    for (const auto& [column, value] : values) {
      columns += (columns.empty() ? "" : ", ") + column;
      placeholders += placeholders.empty() ? "?" : ", ?";
    }
    sql = "INSERT INTO " + table + " (" + columns + ") VALUES (" + placeholders + ") RETURNING " + Schema->KeyColumn;
  } else {
    std::string assignments;
    for (const auto& [column, value] : values)
      assignments += (assignments.empty() ? "" : ", ") + column + " = ?";
    sql = "UPDATE " + table + " SET " + assignments + " WHERE " + Schema->KeyColumn + " = ? RETURNING " +
          Schema->KeyColumn;
  }

  if (TDbError error = Database->BeginWrite(State->Table))
    return Report(error);
  TDbError error;
  std::int64_t written = 0;
  bool found = false;
  {
    TStatement statement = Database->Prepare(State->Table, sql, error);
    if (!error) {
      int index = 1;
      if (insert && key != 0)
        statement.Bind(index++, key);
      for (const auto& [column, value] : values)
        statement.Bind(index++, value);
      if (!insert)
        statement.Bind(index, rowKey);
      int result = statement.Step();
      if (result == SQLITE_ROW) {
        found = true;
        written = statement.Int(0);
        result = statement.Step();
      }
      if (result != SQLITE_DONE)
        error = Database->ErrorOf(State->Table, result);
      else if (!found)
        error = {DbResult::NoCurrentRow, "The row was deleted by another user."};
    }
  }
  const TDbError ended = Database->EndWrite(State->Table, !error);
  if (!error)
    error = ended;
  if (error)
    return Report(error, error.Code == DbResult::NoCurrentRow);

  NoteOwnChange();
  key = written;
  TDbError moved;
  if (const auto row = Navigator().Row(written, moved))
    State->Position = *row;
  return DbResult::Ok;
}

// --- Patients, examinations, doctors

template <typename TRecord, typename TFill>
short TEngine::ReadRecord(TRecord& record, short lockType, short kind, std::string_view what, TFill fill) {
  if (const short code = NeedKind(kind, what))
    return code;
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  TRowReader in(row);
  TRecord read;
  fill(in, read);
  if (in.Error())
    return Report(in.Error());
  record = read;
  return DbResult::Ok;
}

template <typename TRecord, typename TColumns>
short TEngine::AddRecord(TRecord& record, int insert, short kind, std::string_view what, std::int32_t TRecord::*key,
                         TColumns columns) {
  if (const short code = NeedKind(kind, what))
    return code;
  TColumnValues values;
  if (TDbError error = columns(values))
    return Report(error, true);
  std::int64_t written = 0;
  if (const short code = WriteRow(values, insert != 0, written))
    return code;
  record.*key = static_cast<std::int32_t>(written);
  return DbResult::Ok;
}

short TEngine::GetData(PatientRecordType& record, short lockType) {
  return ReadRecord(record, lockType, TableKind::Names, "A patient record",
                    [this](TRowReader& in, PatientRecordType& read) { FillPatient(in, read, DatePicture); });
}

short TEngine::GetData(MeetRecordType& record, short lockType) {
  return ReadRecord(record, lockType, TableKind::Meet, "An examination record",
                    [this](TRowReader& in, MeetRecordType& read) { FillMeet(in, read, DatePicture, TimePicture); });
}

short TEngine::GetData(DoctorRecordType& record, short lockType) {
  return ReadRecord(record, lockType, TableKind::Doctor, "A doctor record", FillDoctor);
}

short TEngine::AddPatientRecord(PatientRecordType& record, int insert) {
  return AddRecord(record, insert, TableKind::Names, "A patient record", &PatientRecordType::Key,
                   [&](TColumnValues& values) { return PatientColumns(record, insert != 0, DatePicture, values); });
}

short TEngine::AddMeetRecord(MeetRecordType& record, int insert) {
  return AddRecord(record, insert, TableKind::Meet, "An examination record", &MeetRecordType::MeetKey,
                   [&](TColumnValues& values) { return MeetColumns(record, DatePicture, TimePicture, values); });
}

short TEngine::AddDoctorRecord(DoctorRecordType& record, int insert) {
  return AddRecord(record, insert, TableKind::Doctor, "A doctor record", &DoctorRecordType::Key,
                   [&](TColumnValues& values) { return DoctorColumns(record, values); });
}

short TEngine::GetMeetRecordWithKey(MeetRecordType& record) {
  if (const short code = NeedKind(TableKind::Meet, "An examination record"))
    return code;
  const auto date = DateColumns::DateToColumn(FieldText(record.Date), DatePicture);
  const auto time = DateColumns::TimeToColumn(FieldText(record.Time), TimePicture);
  if (!date || !time || date->empty() || time->empty())
    return DbResult::InvalidDate;
  TDbError error;
  const auto found = Navigator().Find(
      {{"patient_key", std::int64_t{record.PatientKey}}, {"date", *date}, {"time", *time}}, false, error);
  if (error)
    return Report(error);
  if (!found)
    return DbResult::NotFound;
  State->Position = *found;
  return GetData(record, dbiNOLOCK);
}

short TEngine::DeleteRec() {
  std::int64_t key = 0;
  if (const short code = NeedRow(key))
    return code;
  if (ReadOnlyTable)
    return Report({DbResult::ReadOnly, TablePath().string()}, true);
  const TTableLocks::TWriteLease lease = Locks.LeaseForWrite(key);
  if (lease.Result())
    return lease.Result();
  if (TDbError error = Database->BeginWrite(State->Table))
    return Report(error);
  TDbError error = Database->Execute(
      State->Table, "DELETE FROM " + Schema->Qualified(State->Table.Schema) + " WHERE " + Schema->KeyColumn + " = " +
                        std::to_string(key));
  const TDbError ended = Database->EndWrite(State->Table, !error);
  if (!error)
    error = ended;
  if (error)
    return Report(error);
  NoteOwnChange();
  // The cursor stays on the gap where the row was.
  State->Position.Where = TPosition::Between;
  return DbResult::Ok;
}

short TEngine::WriteRecordField(const TFieldValue& value, short field) {
  if (const short code = NeedTable())
    return code;
  const TFieldInfo* info = Schema->FindField(field);
  if (!info || info->Column == Schema->KeyColumn)
    return Report({DbResult::InvalidRequest, "Field " + std::to_string(field) + " cannot be written on its own."});
  TColumnValues values;
  if (info->Form == TFieldForm::Text) {
    const auto* text = std::get_if<std::string>(&value);
    if (!text)
      return Report({DbResult::InvalidRequest, "Field " + std::to_string(field) + " takes a text."});
    // No longer than its record field, so that reading it back gives it whole.
    std::string kept(info->Width ? Utf8::Truncate(*text, info->Width - 1) : std::string_view(*text));
    kept = kept.substr(0, kept.find('\0'));
    values.Add(info->Column, kept);
    if (!info->KeyColumn.empty())
      values.Add(info->KeyColumn, NameCollation::Key(kept));
  } else {
    auto stored = SearchKeyOf(*info, value, DatePicture, TimePicture);
    if (!stored)
      return info->Form == TFieldForm::Integer
                 ? Report({DbResult::InvalidRequest, "Field " + std::to_string(field) + " takes a number."})
                 : Report({DbResult::InvalidDate, "The value does not follow the engine's picture."}, true);
    values.Add(info->Column, std::move(*stored));
  }
  std::int64_t key = 0;
  return WriteRow(values, false, key);
}

// --- The memo of a row

short TEngine::GetBlob(std::string& blob, short lockType) {
  if (const short code = NeedTable())
    return code;
  if (Schema->Memo.empty())
    return Refuse("A memo");
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  TRowReader in(row);
  std::string read = in.Bytes(Schema->Memo);
  if (in.Error())
    return Report(in.Error());
  blob = std::move(read);
  return DbResult::Ok;
}

short TEngine::GetBlobSize(long& bytes, short lockType) {
  std::string blob;
  if (const short code = GetBlob(blob, lockType))
    return code;
  bytes = static_cast<long>(blob.size());
  return DbResult::Ok;
}

short TEngine::SaveBlob(std::string_view blob) {
  if (const short code = NeedTable())
    return code;
  if (Schema->Memo.empty())
    return Refuse("A memo");
  TColumnValues values;
  if (Schema->Kind == TableKind::Names) {
    values.Add(Schema->Memo, std::string(blob));
  } else {
    // A curve is an array of float32: its length must say so.
    if (blob.size() % sizeof(float) != 0)
      return Report({DbResult::InvalidRequest, "A curve of " + std::to_string(blob.size()) + " bytes."});
    values.Add(Schema->Memo, TSqlBlob{std::string(blob)});
  }
  std::int64_t key = 0;
  return WriteRow(values, false, key);
}
