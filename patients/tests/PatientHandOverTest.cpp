// A patient another program hands over, pushed into the sheet: a new one
// fills the cleared sheet, a stored one takes height and weight.

#include "patients/tests/PatientSheetFixture.h"

#include "common/CommandNumbers.h"

namespace {

using namespace PatientControl;
using TDoctorRow = TPatientDatabase::TDoctorRow;

class PatientHandOverTest : public PatientSheetTest {
protected:
  // The sheet on a table of one patient with two treating doctors, cleared
  // for a new patient as the program does before it hands one over.
  TPatientSheet& NewPatientSheet(TPatientSheetSettings settings = {}) {
    Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
    TPatientSheet& sheet = StartSheet(std::move(settings));
    Database.Doctors = {{1, "Dr. Fekete Ágnes", "", true, false, false},
                        {2, "Dr. Weiss", "", true, false, false},
                        {3, "Dr. Home", "Main Street 1", false, true, false}};
    sheet.FillDoctorTable(Database.Doctors);
    sheet.CmPatientNew();
    return sheet;
  }

  static TTPatientRecord Block() {
    TTPatientRecord r;
    r.Name = "Ödön Szabó";
    r.MotherName = "Mária Kiss";
    r.MaidenName = "Erika Szabó";
    r.Postcode = {"6720", "1051", ""};
    r.County = {"", "Pest", ""};
    r.City = {"Szeged", "Budapest", ""};
    r.Street = {"Tisza u. 3.", "Nádor u. 9.", ""};
    r.Phone = {"", "+36 1 555 0101", ""};
    r.Id = "SZ-1950";
    r.Occupation = "Miner";
    r.BirthYear = 1950;
    r.BirthMonth = 3;
    r.BirthDay = 7;
    r.Sex = 1;
    r.HeightCm = 172;
    r.WeightKg = 81;
    r.Population = 2;
    r.Doctor = "dr. fekete";  // the beginning of a listed name, in other letters
    return r;
  }

  const TPatientFields& Stored(const std::string& name) {
    for (const TPatientFields& row : Database.Rows)
      if (row.Name == name)
        return row;
    static const TPatientFields none;
    ADD_FAILURE() << name << " is not stored";
    return none;
  }
};

TEST_F(PatientHandOverTest, ANewPatientFillsTheFullSheetAndIsSavedWhole) {
  // The lab enters patients in inches and pounds; the other program measures in cm and kg.
  TPatientSheet& sheet =
      NewPatientSheet({.Layout = TPageLayout::Full, .DefaultUnit = TUnitSystem::Imperial, .DefaultHeight = 66});
  ASSERT_EQ(sheet.GetText(Height), "5 ft 6 in");
  sheet.SetNewPatientData(Block());

  EXPECT_EQ(sheet.GetText(Name), "Ödön Szabó");
  EXPECT_EQ(sheet.GetText(MotherName), "Mária Kiss");
  EXPECT_EQ(sheet.GetText(MaidenName), "Erika Szabó");
  EXPECT_EQ(sheet.GetText(City), "Szeged");
  EXPECT_EQ(sheet.GetText(Street), "Tisza u. 3.");
  EXPECT_EQ(sheet.GetText(Identifier), "SZ-1950");
  EXPECT_EQ(sheet.GetText(Date), "1950.03.07.");
  EXPECT_EQ(sheet.GetText(Occupation), "Miner");
  EXPECT_EQ(sheet.GetText(Height), "172 cm");
  EXPECT_EQ(sheet.GetText(Weight), "81 kg");
  EXPECT_EQ(sheet.GetText(Age), "74");  // on 2024-06-15
  EXPECT_EQ(sheet.GetSex(), 1);
  EXPECT_EQ(sheet.GetPopulation(), 2);
  EXPECT_FLOAT_EQ(sheet.GetPopulationFactor(), 0.8f);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 1);
  EXPECT_EQ(sheet.GetDoctorName(), "Dr. Fekete Ágnes");
  for (const int tab : {AddressTab, IdentifierTab, DateTab})
    EXPECT_EQ(sheet.GetTabPage(tab), 0) << tab;
  sheet.TChangeAddress(1);
  EXPECT_EQ(sheet.GetText(City), "Budapest");
  EXPECT_EQ(sheet.GetText(Phone), "+36 1 555 0101");
  EXPECT_TRUE(sheet.IsNewRecord());
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_EQ(Database.Rows.size(), 1u);  // nothing stored until the user saves

  ASSERT_TRUE(SaveEnabled());
  sheet.CmPatientSave();
  const TPatientFields& row = Stored("Ödön Szabó");
  EXPECT_EQ(row.Ids[0], "SZ-1950");
  EXPECT_EQ(row.Dates[0], "1950.03.07.");
  EXPECT_EQ(row.MotherName, "Mária Kiss");
  EXPECT_EQ(row.Occupation, "Miner");
  EXPECT_EQ(row.Addresses[0].Postcode, "6720");
  EXPECT_EQ(row.Addresses[1].County, "Pest");
  EXPECT_EQ(row.Addresses[1].Street, "Nádor u. 9.");
  EXPECT_EQ(row.Unit, 0);
  EXPECT_EQ(row.Height, 172);
  EXPECT_EQ(row.Weight, 81);
  EXPECT_EQ(row.Sex, 1);
  EXPECT_EQ(row.Population, 2);
  EXPECT_EQ(row.TreatingDoctorKey, 1);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientHandOverTest, WhatTheBlockLeavesOutStaysAsTheClearingLeftIt) {
  const struct {
    const char* Case;
    void (*Change)(TTPatientRecord&);
    int Edit;
    const char* Expected;  // nullptr: the placeholder
  } cases[] = {
      {"no birth day", [](TTPatientRecord& r) { r.BirthDay = 0; }, Date, nullptr},
      {"no birth year", [](TTPatientRecord& r) { r.BirthYear = 0; }, Date, nullptr},
      {"no name", [](TTPatientRecord& r) { r.Name.clear(); }, Name, nullptr},
      {"no identifier", [](TTPatientRecord& r) { r.Id.clear(); }, Identifier, nullptr},
      {"no height", [](TTPatientRecord& r) { r.HeightCm = 0; }, Height, "170 cm"},
      {"no weight", [](TTPatientRecord& r) { r.WeightKg = 0; }, Weight, "70 kg"},
      {"a height no field holds", [](TTPatientRecord& r) { r.HeightCm = 70000; }, Height, "170 cm"},
      // The sheet's own range: 300 cm and 200 kg at most.
      {"a height beyond the sheet's range", [](TTPatientRecord& r) { r.HeightCm = 301; }, Height, "170 cm"},
      {"a weight beyond the sheet's range", [](TTPatientRecord& r) { r.WeightKg = 201; }, Weight, "70 kg"},
      {"the tallest height", [](TTPatientRecord& r) { r.HeightCm = 300; }, Height, "300 cm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    Database = {};
    TPatientSheet& sheet = NewPatientSheet({.DefaultHeight = 170, .DefaultWeight = 70});
    TTPatientRecord block = Block();
    c.Change(block);
    sheet.SetNewPatientData(block);
    EXPECT_EQ(sheet.GetText(c.Edit), c.Expected ? std::string(c.Expected) : Text(394));
    EXPECT_EQ(sheet.GetTreatingDoctorKey(), 1);
  }
  // Without a birth date there is no age, and no save.
  Database = {};
  TPatientSheet& sheet = NewPatientSheet();
  TTPatientRecord block = Block();
  block.BirthMonth = 0;
  sheet.SetNewPatientData(block);
  EXPECT_EQ(sheet.GetText(Age), "");
  EXPECT_FALSE(SaveEnabled());
}

TEST_F(PatientHandOverTest, ADoctorTheListDoesNotBeginWithChoosesNobody) {
  for (const char* doctor : {"Dr. Nobody", "", "<new", "Fekete"}) {
    SCOPED_TRACE(doctor);
    Database = {};
    TPatientSheet& sheet = NewPatientSheet();
    TTPatientRecord block = Block();
    block.Doctor = doctor;
    sheet.SetNewPatientData(block);
    EXPECT_EQ(sheet.GetTreatingDoctorKey(), 0);
    EXPECT_EQ(sheet.GetDoctor(31), Text(394));
    EXPECT_FALSE(SaveEnabled());  // until the user chooses a doctor
    sheet.CmChangeDoctor(2);
    EXPECT_TRUE(SaveEnabled());
  }
}

TEST_F(PatientHandOverTest, TheSmallSheetTakesItsOwnFieldsAndKeepsOnlyTheAddressesBesides) {
  TPatientSheet& sheet = NewPatientSheet({.Layout = TPageLayout::Small});
  sheet.SetNewPatientData(Block());
  EXPECT_EQ(sheet.GetText(Name), "Ödön Szabó");
  EXPECT_EQ(sheet.GetText(Date), "1950.03.07.");
  EXPECT_EQ(sheet.GetText(MotherName), "");
  ASSERT_TRUE(SaveEnabled());
  sheet.CmPatientSave();
  const TPatientFields& row = Stored("Ödön Szabó");
  EXPECT_EQ(row.MotherName, "");
  EXPECT_EQ(row.Occupation, "");
  EXPECT_EQ(row.Addresses[0].City, "Szeged");
  EXPECT_EQ(row.Addresses[1].City, "Budapest");
  EXPECT_EQ(row.Height, 172);
  EXPECT_EQ(row.TreatingDoctorKey, 1);
}

TEST_F(PatientHandOverTest, TheBirthDateIsWrittenInTheDatabasesPicture) {
  TPatientSheet& sheet = NewPatientSheet({.DatePicture = "DD/MM/YYYY"});
  sheet.SetNewPatientData(Block());
  EXPECT_EQ(sheet.GetText(Date), "07/03/1950");
  EXPECT_TRUE(SaveEnabled());
}

TEST_F(PatientHandOverTest, AStoredPatientTakesHeightAndWeightInHisOwnUnits) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
  Database.Add(Patient("Bela Nagy", "B-2", "1970.01.01."));
  Database.Rows[1].Unit = 1;
  Database.Rows[1].Height = 70;   // inches
  Database.Rows[1].Weight = 150;  // pounds
  TPatientSheet& sheet = StartSheet();

  sheet.SetHandedOverMeasures(180, 80);
  EXPECT_EQ(sheet.GetText(Height), "180 cm");
  EXPECT_EQ(sheet.GetText(Weight), "80 kg");
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_TRUE(Database.Locked);  // changed like any edit of a stored patient
  sheet.CmPatientSave();
  EXPECT_EQ(Stored("Anna Kovacs").Height, 180);
  EXPECT_EQ(Stored("Anna Kovacs").Weight, 80);

  // 180 cm / 2.54 = 70.87 in, 80 kg / 0.45359237 = 176.37 lb.
  sheet.CmPatientNext();
  sheet.SetHandedOverMeasures(180, 80);
  EXPECT_EQ(sheet.GetText(Height), "5 ft 11 in");
  EXPECT_EQ(sheet.GetText(Weight), "176 lb");
  sheet.CmPatientSave();
  EXPECT_EQ(Stored("Bela Nagy").Height, 71);
  EXPECT_EQ(Stored("Bela Nagy").Weight, 176);
  EXPECT_EQ(Stored("Bela Nagy").Unit, 1);

  // A measure the file does not give stays as stored.
  sheet.SetHandedOverMeasures(std::nullopt, 75);
  EXPECT_EQ(sheet.GetText(Height), "5 ft 11 in");
  EXPECT_EQ(sheet.GetText(Weight), "165 lb");  // 75 / 0.45359237 = 165.35
}

}  // namespace
