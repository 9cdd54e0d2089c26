#pragma once

// The doctors of a doctor.db as the database engine reads them, in the
// order they were entered: what the tests check a dialog or tool stored.

#include "platform/dbkit/Engine.h"
#include "testing/TestDatabase.h"

#include <string>
#include <vector>

inline std::vector<DoctorRecordType> StoredDoctors(const std::string& folder, TMessage& texts) {
  const std::unique_ptr<TEngine> engine = OpenTestTable(folder, "doctor.db", &texts);
  std::vector<DoctorRecordType> rows;
  if (!engine->IsTableOpen())
    return rows;
  for (short result = engine->GoTop(1); result == 0; result = engine->GetNextRec()) {
    DoctorRecordType record;
    if (engine->GetData(record) != 0)
      break;
    rows.push_back(record);
  }
  return rows;
}
