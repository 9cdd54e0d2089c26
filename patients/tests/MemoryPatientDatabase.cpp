#include "patients/tests/MemoryPatientDatabase.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Folded(const std::string& text) {
  std::string folded = text;
  for (char& c : folded)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

bool Before(const TPatientFields& a, const TPatientFields& b) {
  return std::pair(Folded(a.Name), Folded(a.Ids[0])) < std::pair(Folded(b.Name), Folded(b.Ids[0]));
}

}  // namespace

void TMemoryPatientDatabase::Sort(std::int32_t keepKey) {
  std::stable_sort(Rows.begin(), Rows.end(), Before);
  const auto found = std::find_if(Rows.begin(), Rows.end(), [&](const TPatientFields& row) { return row.PatientKey == keepKey; });
  if (found != Rows.end()) {
    Index = static_cast<int>(found - Rows.begin());
    OnRow = true;
  }
}

std::int32_t TMemoryPatientDatabase::Add(TPatientFields record) {
  record.PatientKey = ++LastKey;
  const int current = OnRow ? Rows[static_cast<std::size_t>(Index)].PatientKey : 0;
  Rows.push_back(record);
  std::stable_sort(Rows.begin(), Rows.end(), Before);
  if (current != 0)
    Sort(current);
  return record.PatientKey;
}

short TMemoryPatientDatabase::GetData(TPatientFields& record, TLock lock) {
  if (!OnRow)
    return Index == 0 ? PatientDb::AtBeginning : PatientDb::AtEnd;
  if (lock != NoLock && ReadLockResult != PatientDb::Ok)
    return ReadLockResult;
  record = Rows[static_cast<std::size_t>(Index)];
  return PatientDb::Ok;
}

short TMemoryPatientDatabase::AddPatientRecord(TPatientFields& record, bool insert) {
  if (WriteResult != PatientDb::Ok)
    return WriteResult;
  if (insert) {
    record.PatientKey = ++LastKey;
    Rows.push_back(record);
  } else {
    if (!OnRow)
      return PatientDb::AtEnd;
    record.PatientKey = Rows[static_cast<std::size_t>(Index)].PatientKey;
    Rows[static_cast<std::size_t>(Index)] = record;
  }
  Sort(record.PatientKey);
  return PatientDb::Ok;
}

short TMemoryPatientDatabase::FindPatient(std::string_view name, std::string_view id) {
  for (int row = 0; row < Count(); ++row) {
    const TPatientFields& patient = Rows[static_cast<std::size_t>(row)];
    if (patient.Name == name && patient.Ids[0] == id) {
      Index = row;
      OnRow = true;
      return PatientDb::Ok;
    }
  }
  return DbResult::NotFound;
}

short TMemoryPatientDatabase::DeleteRec() {
  if (!OnRow)
    return PatientDb::AtEnd;
  if (LockResult != PatientDb::Ok)
    return LockResult;
  Rows.erase(Rows.begin() + Index);
  OnRow = false;  // on the gap where the row was
  Locked = false;
  return PatientDb::Ok;
}

short TMemoryPatientDatabase::LockRecord() {
  if (LockResult != PatientDb::Ok)
    return LockResult;
  Locked = OnRow;
  return OnRow ? PatientDb::Ok : PatientDb::AtEnd;
}

short TMemoryPatientDatabase::UnLockRecord() {
  Locked = false;
  return PatientDb::Ok;
}

short TMemoryPatientDatabase::GoTop() {
  Index = 0;
  OnRow = Count() > 0;
  return OnRow ? PatientDb::Ok : PatientDb::AtEnd;
}

short TMemoryPatientDatabase::GoBottom() {
  Index = std::max(0, Count() - 1);
  OnRow = Count() > 0;
  return OnRow ? PatientDb::Ok : PatientDb::AtBeginning;
}

short TMemoryPatientDatabase::GetNextRec() {
  const int next = OnRow ? Index + 1 : Index;
  if (next >= Count()) {
    Index = Count();
    OnRow = false;
    return PatientDb::AtEnd;
  }
  Index = next;
  OnRow = true;
  return PatientDb::Ok;
}

short TMemoryPatientDatabase::GetPrevRec() {
  const int previous = Index - 1;
  if (previous < 0) {
    Index = 0;
    OnRow = false;
    return PatientDb::AtBeginning;
  }
  Index = previous;
  OnRow = true;
  return PatientDb::Ok;
}

bool TMemoryPatientDatabase::AtBOF() { return Index == 0; }

bool TMemoryPatientDatabase::AtEOF() { return OnRow ? Index == Count() - 1 : Index >= Count(); }

int TMemoryPatientDatabase::WinMsg(std::string_view text, int flags) {
  Messages.push_back({std::string(text), flags});
  return Answer;
}

void TMemoryPatientDatabase::WriteLogFile(std::string_view line) { Log.emplace_back(line); }

std::optional<TPatientDatabase::TDoctorRow> TMemoryPatientDatabase::FindDoctor(std::int32_t key) {
  for (const TDoctorRow& doctor : Doctors)
    if (doctor.Key == key)
      return doctor;
  return std::nullopt;
}

std::optional<TPatientDatabase::TDoctorRow> TMemoryPatientDatabase::FindDoctorByName(std::string_view name) {
  for (const TDoctorRow& doctor : Doctors)
    if (Folded(doctor.Name) == Folded(std::string(name)))
      return doctor;
  return std::nullopt;
}
