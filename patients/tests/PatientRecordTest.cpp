// The sheet's patient and the patient table's row, field by field.

#include "patients/PatientRecord.h"

#include <gtest/gtest.h>

namespace {

TPatientFields EveryFieldDifferent() {
  TPatientFields fields;
  fields.Name = "Ágnes Őri";
  fields.Ids = {"A-1", "A-2"};
  fields.MotherName = "Mother";
  fields.MaidenName = "Maiden";
  for (int set = 0; set < 3; ++set) {
    const std::string n = std::to_string(set + 1);
    fields.Addresses[static_cast<std::size_t>(set)] = {"P" + n, "County " + n, "City " + n, "Street " + n, "Phone " + n};
  }
  fields.Dates = {"1980.05.20.", "2020.01.02.", "2021.03.04."};
  fields.Sex = 1;
  fields.Unit = 1;
  fields.Height = 67;
  fields.Weight = 150;
  fields.Population = 3;
  fields.Occupation = "Chemist";
  fields.PatientKey = 11;
  fields.HomeDoctorKey = 12;
  fields.TreatingDoctorKey = 13;
  fields.EcgId = "ECG-14";
  return fields;
}

TEST(PatientRecord, EveryFieldReachesItsPlaceInTheRowAndComesBack) {
  const TPatientFields fields = EveryFieldDifferent();
  const PatientRecordType record = ToPatientRecord(fields);
  EXPECT_EQ(FieldText(record.Id2), "A-2");
  EXPECT_EQ(FieldText(record.City[2]), "City 3");
  EXPECT_EQ(FieldText(record.Date[1]), "2020.01.02.");
  EXPECT_EQ(record.Doctor, 13);
  EXPECT_EQ(record.HomeDoctor, 12);
  const auto back = FromPatientRecord(*PatientRecordType::FromBytes(record.ToBytes()));
  EXPECT_EQ(back.Name, fields.Name);
  EXPECT_EQ(back.Ids, fields.Ids);
  EXPECT_EQ(back.MotherName, fields.MotherName);
  EXPECT_EQ(back.MaidenName, fields.MaidenName);
  for (std::size_t set = 0; set < 3; ++set) {
    EXPECT_EQ(back.Addresses[set].Postcode, fields.Addresses[set].Postcode);
    EXPECT_EQ(back.Addresses[set].County, fields.Addresses[set].County);
    EXPECT_EQ(back.Addresses[set].City, fields.Addresses[set].City);
    EXPECT_EQ(back.Addresses[set].Street, fields.Addresses[set].Street);
    EXPECT_EQ(back.Addresses[set].Phone, fields.Addresses[set].Phone);
  }
  EXPECT_EQ(back.Dates, fields.Dates);
  EXPECT_EQ(std::tuple(back.Sex, back.Unit, back.Height, back.Weight, back.Population),
            std::tuple(1, 1, 67, 150, 3));
  EXPECT_EQ(back.Occupation, fields.Occupation);
  EXPECT_EQ(std::tuple(back.PatientKey, back.HomeDoctorKey, back.TreatingDoctorKey), std::tuple(11, 12, 13));
  EXPECT_EQ(back.EcgId, fields.EcgId);
}

TEST(PatientRecord, ATextIsKeptWithinItsFieldAndNeverCutInsideALetter) {
  TPatientFields fields;
  fields.Name = std::string(29, 'a') + "ő";  // 31 bytes for a field of 30
  EXPECT_EQ(FieldText(ToPatientRecord(fields).Name), std::string(29, 'a'));
}

}  // namespace
