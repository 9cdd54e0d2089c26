#include "patients/DoctorEntry.h"

DoctorRecordType TDoctorEntry::ToRecord() const {
  DoctorRecordType record;
  SetFieldText(record.Name, Name);
  SetFieldText(record.Code, Code);
  SetFieldText(record.Address, Address);
  record.Treating = Treating ? 1 : 0;
  record.Home = Home ? 1 : 0;
  record.Referring = Referring ? 1 : 0;
  return record;
}

TDoctorEntry TDoctorEntry::FromRecord(const DoctorRecordType& record) {
  TDoctorEntry entry;
  entry.Name = FieldText(record.Name);
  entry.Code = FieldText(record.Code);
  entry.Address = FieldText(record.Address);
  entry.Treating = record.Treating != 0;
  entry.Home = record.Home != 0;
  entry.Referring = record.Referring != 0;
  return entry;
}
