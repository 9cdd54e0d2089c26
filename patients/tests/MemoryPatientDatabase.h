#pragma once

// The patient table in memory, with the database engine's cursor model:
// the cursor stands on a row or on the gap before the first or after the
// last row; a step past an end leaves it on that gap. Rows are kept in
// name order, then identifier order. Tests set the answers of locks,
// reads and writes to play another workstation.

#include "patients/PatientDatabase.h"

#include <string>
#include <utility>
#include <vector>

class TMemoryPatientDatabase final : public TPatientDatabase {
public:
  short GetData(TPatientFields& record, TLock lock) override;
  short AddPatientRecord(TPatientFields& record, bool insert) override;
  short DeleteRec() override;
  short FindPatient(std::string_view name, std::string_view id) override;
  short LockRecord() override;
  short UnLockRecord() override;
  short GoTop() override;
  short GoBottom() override;
  short GetNextRec() override;
  short GetPrevRec() override;
  bool AtBOF() override;
  bool AtEOF() override;
  int WinMsg(std::string_view text, int flags) override;
  void WriteLogFile(std::string_view line) override;
  std::optional<TDoctorRow> FindDoctor(std::int32_t key) override;
  std::optional<TDoctorRow> FindDoctorByName(std::string_view name) override;

  // Adds a row as another program would, with the next key; the cursor stays.
  std::int32_t Add(TPatientFields record);
  // The row under the cursor, or -1 on a gap.
  int CurrentRow() const { return OnRow ? Index : -1; }

  std::vector<TPatientFields> Rows;
  // Answers the next calls give instead of their own.
  short ReadLockResult = PatientDb::Ok;  // GetData with a lock
  short LockResult = PatientDb::Ok;
  short WriteResult = PatientDb::Ok;
  bool Locked = false;

  struct TShown {
    std::string Text;
    int Flags;
  };
  std::vector<TShown> Messages;
  int Answer = 1;  // the button chosen in every message box
  std::vector<std::string> Log;
  // The doctor table.
  std::vector<TDoctorRow> Doctors;

private:
  void Sort(std::int32_t keepKey);
  int Count() const { return static_cast<int>(Rows.size()); }

  std::int32_t LastKey = 0;
  int Index = 0;     // the row, or the gap before that row
  bool OnRow = false;
};
