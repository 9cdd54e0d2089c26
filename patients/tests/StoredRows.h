#pragma once

// The rows of a table as the database engine reads them, in the table's
// primary order (the doctors in the order they were entered, the patients
// by name): what the tests check a dialog, a tool or the program stored.

#include "platform/dbkit/Engine.h"
#include "testing/TestDatabase.h"

#include <filesystem>
#include <string_view>
#include <vector>

template <typename TRecord>
std::vector<TRecord> StoredRows(const std::filesystem::path& folder, std::string_view table, TMessage& texts) {
  const std::unique_ptr<TEngine> engine = OpenTestTable(folder, table, &texts);
  std::vector<TRecord> rows;
  if (!engine->IsTableOpen())
    return rows;
  for (short result = engine->GoTop(1); result == 0; result = engine->GetNextRec()) {
    TRecord record;
    if (engine->GetData(record) != 0)
      break;
    rows.push_back(record);
  }
  return rows;
}

inline std::vector<DoctorRecordType> StoredDoctors(const std::filesystem::path& folder, TMessage& texts) {
  return StoredRows<DoctorRecordType>(folder, "doctor.db", texts);
}

inline std::vector<PatientRecordType> StoredPatients(const std::filesystem::path& folder, TMessage& texts) {
  return StoredRows<PatientRecordType>(folder, "names.db", texts);
}
