#pragma once

// The patient of the measurement runs: a man of 40 years, 180 cm and
// 80 kg, born on the first of January forty years ago so that he is 40
// whatever the day.

#include "platform/dbkit/Records.h"

#include <QDate>

#include <string>

inline PatientRecordType ManOfForty() {
  PatientRecordType man;
  SetFieldText(man.Name, "Test Man");
  SetFieldText(man.Id, "M-40");
  SetFieldText(man.Date[0], std::to_string(QDate::currentDate().year() - 40) + ".01.01.");
  man.Sex = 1;
  man.Height = 180;
  man.Weight = 80;
  return man;
}
