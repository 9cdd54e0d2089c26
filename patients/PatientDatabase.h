#pragma once

// What the patient sheet asks of its database: a cursor on the patient
// table with its locks, the database's message boxes and log, and the
// doctors of the doctor table. The sheet's database engine answers these;
// tests answer them from memory. Results are the engine's codes.

#include "patients/PatientFields.h"
#include "platform/dbkit/ResultCodes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace PatientDb {
inline constexpr short Ok = DbResult::Ok;
inline constexpr short AtBeginning = DbResult::BeginOfTable;  // no row before the cursor
inline constexpr short AtEnd = DbResult::EndOfTable;          // no row after the cursor
inline constexpr short RowLocked = DbResult::RecordLocked;    // another user holds the row
inline constexpr short TableLocked = DbResult::TableLocked;   // another user holds the table
inline constexpr short InUse = DbResult::TableInUse;          // the table is in use by another user
inline constexpr short Duplicate = DbResult::DuplicateKey;    // a patient of that name and identifier is stored
inline constexpr short BadDirection = 12289;

// Whether a result says that another user holds the row or the table.
inline constexpr bool HeldByOther(short result) {
  return result == RowLocked || result == TableLocked || result == InUse;
}

// Message-box flags of the database's messages.
inline constexpr int Stop = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int YesNo = 4;
inline constexpr int SecondButtonDefault = 256;
}  // namespace PatientDb

class TPatientDatabase {
public:
  enum TLock { NoLock = 0, WriteLock = 1, ReadLock = 2 };
  enum TDoctorKind { HomeDoctor = 1, TreatingDoctor = 2 };

  virtual ~TPatientDatabase() = default;

  // Reads the row under the cursor.
  virtual short GetData(TPatientFields& record, TLock lock) = 0;
  // Writes a new row (insert) or the row under the cursor. An insert
  // leaves the cursor on the new row and gives the record its key.
  virtual short AddPatientRecord(TPatientFields& record, bool insert) = 0;
  virtual short DeleteRec() = 0;
  // Puts the cursor on the patient of that name and identifier (compared
  // as the table's key compares them).
  virtual short FindPatient(std::string_view name, std::string_view id) = 0;
  virtual short LockRecord() = 0;
  virtual short UnLockRecord() = 0;

  // The cursor stands on a row or on the gap before the first or after
  // the last row. At the beginning there is no row before it, at the end
  // none after it.
  virtual short GoTop() = 0;
  virtual short GoBottom() = 0;
  virtual short GetNextRec() = 0;
  virtual short GetPrevRec() = 0;
  virtual bool AtBOF() = 0;
  virtual bool AtEOF() = 0;

  // A message box of the database (flags as PatientDb); the button chosen.
  virtual int WinMsg(std::string_view text, int flags) = 0;
  virtual void WriteLogFile(std::string_view line) = 0;

  // A doctor of the doctor table. HeldByOther: another user holds the row
  // (or the table), so it was read without a lock.
  struct TDoctorRow {
    std::int32_t Key = 0;
    std::string Name;
    std::string Address;
    bool Treating = false;  // listed among the treating doctors
    bool Home = false;      // listed among the home doctors
    bool HeldByOther = false;
  };
  // The doctor of a key, or of a name (without regard to case); nothing
  // when the table has none or is not open.
  virtual std::optional<TDoctorRow> FindDoctor(std::int32_t key) = 0;
  virtual std::optional<TDoctorRow> FindDoctorByName(std::string_view name) = 0;
};
