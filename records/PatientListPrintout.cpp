#include "records/PatientListPrintout.h"

#include "platform/dbkit/Engine.h"
#include "platform/dbkit/NameCollation.h"
#include "platform/dbkit/Records.h"

namespace PatientListPrintout {

std::vector<TPrintManager::TListRecord> Read(TEngine& names, std::string_view startKey, std::string_view stopKey) {
  std::vector<TPrintManager::TListRecord> records;
  long count = 0;
  if (names.GetNumberOfRecords(count) != 0)
    return records;
  const std::string start = NameCollation::Key(startKey);
  for (long row = 1; row <= count; ++row) {
    PatientRecordType patient;
    if (names.GoToRecord(row) != 0 || names.GetData(patient) != 0)
      break;
    const std::string name = FieldText(patient.Name);
    // The patient found at the start key is printed too.
    if (!start.empty() && NameCollation::Key(name) < start)
      continue;
    if (!stopKey.empty() && NameCollation::StartsWith(name, stopKey))
      break;
    records.push_back({name, FieldText(patient.Postcode[0]), FieldText(patient.City[0]), FieldText(patient.County[0]),
                       FieldText(patient.Street[0]), FieldText(patient.Phone[0]), FieldText(patient.Id)});
  }
  return records;
}

}  // namespace PatientListPrintout
