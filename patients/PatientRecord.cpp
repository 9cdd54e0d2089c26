#include "patients/PatientRecord.h"

PatientRecordType ToPatientRecord(const TPatientFields& fields) {
  PatientRecordType record;
  SetFieldText(record.Name, fields.Name);
  SetFieldText(record.Id, fields.Ids[0]);
  SetFieldText(record.Id2, fields.Ids[1]);
  SetFieldText(record.MotherName, fields.MotherName);
  SetFieldText(record.MaidenName, fields.MaidenName);
  for (std::size_t set = 0; set < fields.Addresses.size(); ++set) {
    const TPatientAddress& address = fields.Addresses[set];
    SetFieldText(record.Postcode[set], address.Postcode);
    SetFieldText(record.County[set], address.County);
    SetFieldText(record.City[set], address.City);
    SetFieldText(record.Street[set], address.Street);
    SetFieldText(record.Phone[set], address.Phone);
  }
  for (std::size_t date = 0; date < fields.Dates.size(); ++date)
    SetFieldText(record.Date[date], fields.Dates[date]);
  record.Sex = fields.Sex;
  record.Unit = fields.Unit;
  record.Height = fields.Height;
  record.Weight = fields.Weight;
  record.Population = fields.Population;
  SetFieldText(record.Occupation, fields.Occupation);
  record.Key = fields.PatientKey;
  record.HomeDoctor = fields.HomeDoctorKey;
  record.Doctor = fields.TreatingDoctorKey;
  SetFieldText(record.EcgId, fields.EcgId);
  return record;
}

TPatientFields FromPatientRecord(const PatientRecordType& record) {
  TPatientFields fields;
  fields.Name = FieldText(record.Name);
  fields.Ids = {FieldText(record.Id), FieldText(record.Id2)};
  fields.MotherName = FieldText(record.MotherName);
  fields.MaidenName = FieldText(record.MaidenName);
  for (std::size_t set = 0; set < fields.Addresses.size(); ++set)
    fields.Addresses[set] = {FieldText(record.Postcode[set]), FieldText(record.County[set]),
                             FieldText(record.City[set]), FieldText(record.Street[set]), FieldText(record.Phone[set])};
  for (std::size_t date = 0; date < fields.Dates.size(); ++date)
    fields.Dates[date] = FieldText(record.Date[date]);
  fields.Sex = record.Sex;
  fields.Unit = record.Unit;
  fields.Height = record.Height;
  fields.Weight = record.Weight;
  fields.Population = record.Population;
  fields.Occupation = FieldText(record.Occupation);
  fields.PatientKey = record.Key;
  fields.HomeDoctorKey = record.HomeDoctor;
  fields.TreatingDoctorKey = record.Doctor;
  fields.EcgId = FieldText(record.EcgId);
  return fields;
}
