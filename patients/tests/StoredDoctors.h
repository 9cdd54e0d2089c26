#pragma once

// The doctors of a doctor.db as the database engine reads them, in the
// order they were entered: what the tests check a dialog or tool stored.

#include "platform/dbkit/Engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::vector<DoctorRecordType> StoredDoctors(const std::string& folder, TMessage& texts) {
  TEngine engine;
  engine.SetFolder(folder);
  engine.SetTableName("doctor.db");
  engine.SetMessages(&texts);
  std::uint32_t database = 0, cursor = 0;
  std::vector<DoctorRecordType> rows;
  EXPECT_EQ(engine.OpenDB(database), 0);
  if (engine.GetTable(cursor) != 0)
    return rows;
  for (short result = engine.GoTop(1); result == 0; result = engine.GetNextRec()) {
    DoctorRecordType record;
    if (engine.GetData(record) != 0)
      break;
    rows.push_back(record);
  }
  return rows;
}
