#include "patients/PatientTable.h"

#include "patients/PatientRecord.h"
#include "patients/SheetEngines.h"
#include "platform/dbkit/Engine.h"

#include <cstring>

namespace {

// The doctor table's orders: by name for the lists and the name lookup,
// by key otherwise.
constexpr std::string_view NameOrder = "Field2";
constexpr std::string_view KeyOrder = "Field7";
constexpr short NameField = 2;
constexpr short KeyField = 7;

}  // namespace

TPatientTable::TPatientTable(TEngine& names) : Names(names) {}

TPatientTable::~TPatientTable() { CloseDoctorDatabase(); }

short TPatientTable::GetData(TPatientFields& record, TLock lock) {
  PatientRecordType row;
  const short result = Names.GetData(row, static_cast<short>(lock));
  if (result == DbResult::Ok)
    record = FromPatientRecord(row);
  return result;
}

short TPatientTable::AddPatientRecord(TPatientFields& record, bool insert) {
  PatientRecordType row = ToPatientRecord(record);
  if (!insert) {
    PatientRecordType stored;
    if (Names.GetData(stored, dbiNOLOCK) == DbResult::Ok)
      std::memcpy(row.EcgId, stored.EcgId, sizeof row.EcgId);
  }
  const short result = Names.AddPatientRecord(row, insert ? 1 : 0);
  if (result == DbResult::Ok)
    record.PatientKey = row.Key;
  return result;
}

short TPatientTable::DeleteRec() { return Names.DeleteRec(); }
short TPatientTable::FindPatient(std::string_view name, std::string_view id) {
  return Names.Search(SearchEqual, 1, std::string(name), 2, std::string(id));
}
short TPatientTable::LockRecord() { return Names.LockRecord(dbiWRITELOCK); }
short TPatientTable::UnLockRecord() { return Names.UnLockRecord(); }
short TPatientTable::GoTop() { return Names.GoTop(1); }
short TPatientTable::GoBottom() { return Names.GoBottom(1); }
short TPatientTable::GetNextRec() { return Names.GetNextRec(); }
short TPatientTable::GetPrevRec() { return Names.GetPrevRec(); }
bool TPatientTable::AtBOF() { return Names.AtBOF(); }
bool TPatientTable::AtEOF() { return Names.AtEOF(); }
int TPatientTable::WinMsg(std::string_view text, int flags) { return Names.WinMsg(text, flags); }
void TPatientTable::WriteLogFile(std::string_view line) { Names.WriteLogFile(line); }

// --- Doctors -----------------------------------------------------------------

std::optional<std::vector<TPatientDatabase::TDoctorRow>> TPatientTable::OpenDoctorDatabase(
    TMessage* texts, std::string_view folder, const std::function<void()>& step) {
  Doctors = std::make_unique<TEngine>();
  SheetEngines::Prepare(*Doctors, texts, folder, "Doctor.db");
  step();
  std::uint32_t database = 0, cursor = 0;
  if (Doctors->OpenDB(database) != DbResult::Ok || Doctors->GetTable(cursor) != DbResult::Ok)
    return std::nullopt;
  step();
  if (Doctors->SetIndex(NameOrder) != DbResult::Ok)
    return std::nullopt;
  step();
  if (Doctors->GoTop(1) != DbResult::Ok)
    return std::nullopt;
  std::vector<TDoctorRow> doctors;
  for (auto doctor = ReadDoctor(); doctor; doctor = ReadDoctor()) {
    doctors.push_back(std::move(*doctor));
    if (doctors.size() % 2 == 0)
      step();
    if (Doctors->GetNextRec() != DbResult::Ok)
      break;
  }
  step();
  Doctors->SetIndex(KeyOrder);
  return doctors;
}

void TPatientTable::CloseDoctorDatabase() {
  if (!Doctors)
    return;
  std::uint32_t handle = 0;
  if (Doctors->IsTableOpen())
    Doctors->CloseTable(handle);
  if (Doctors->IsDatabaseOpen())
    Doctors->CloseDb(handle);
  Doctors.reset();
}

bool TPatientTable::IsDoctorDatabaseOpen() const { return Doctors && Doctors->IsTableOpen(); }

std::optional<TPatientDatabase::TDoctorRow> TPatientTable::ReadDoctor() {
  DoctorRecordType row;
  short result = Doctors->GetData(row, dbiWRITELOCK);
  const bool held = PatientDb::HeldByOther(result);
  if (held) {
    row = {};
    result = Doctors->GetData(row, dbiNOLOCK);
  }
  if (result != DbResult::Ok)
    return std::nullopt;
  return TDoctorRow{row.Key, FieldText(row.Name), FieldText(row.Address), row.Treating != 0, row.Home != 0, held};
}

std::optional<TPatientDatabase::TDoctorRow> TPatientTable::FindDoctor(std::int32_t key) {
  if (!IsDoctorDatabaseOpen() || Doctors->Search(SearchEqual, KeyField, static_cast<long>(key)) != DbResult::Ok)
    return std::nullopt;
  return ReadDoctor();
}

std::optional<TPatientDatabase::TDoctorRow> TPatientTable::FindDoctorByName(std::string_view name) {
  if (!IsDoctorDatabaseOpen())
    return std::nullopt;
  std::optional<TDoctorRow> doctor;
  Doctors->SetIndex(NameOrder);
  if (Doctors->Search(SearchEqual, NameField, std::string(name)) == DbResult::Ok)
    doctor = ReadDoctor();
  Doctors->SetIndex(KeyOrder);
  return doctor;
}
