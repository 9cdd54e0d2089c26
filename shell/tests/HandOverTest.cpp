// A patient handed over on the command line ("-p"): looked up when the
// patient sheet opens, shown or entered as a new patient, and the file
// deleted; real tables in a temporary working folder.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/PatientControls.h"
#include "patients/tests/StoredRows.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/MdiClient.h"
#include "testing/TestDatabase.h"

namespace fs = std::filesystem;

namespace {

using namespace PatientControl;

class HandOver : public TAppFixture {
protected:
  // The program starts with "-pPatient.ini" on a database of two treating
  // doctors and one patient; the posted open command has run.
  TPatient* StartWith(const std::string& file) {
    Folder.Write("Patient.ini", file);
    Construct("-pPatient.ini");
    CreateDatabase();
    const auto doctors = OpenTestTable(Folder / "Database", "doctor.db", &App->GetMessages());
    for (const char* name : {"Dr. Fekete Ágnes", "Dr. Weiss"}) {
      DoctorRecordType doctor;
      SetFieldText(doctor.Name, name);
      doctor.Treating = 1;
      EXPECT_EQ(doctors->AddDoctorRecord(doctor, 1), 0);
      DoctorKeys.push_back(doctor.Key);
    }
    PatientRecordType anna;
    SetFieldText(anna.Name, "Anna Kovács");
    SetFieldText(anna.Id, "A-1");
    SetFieldText(anna.MotherName, "Kiss Mária");
    SetFieldText(anna.Date[0], "1980.05.20.");
    anna.Height = 165;
    anna.Weight = 60;
    anna.Doctor = DoctorKeys[1];
    EXPECT_EQ(Names()->AddPatientRecord(anna, 1), 0);
    App->InitMainWindow();
    QApplication::processEvents();
    return App->GetClient()->GetPatient();
  }
  std::vector<PatientRecordType> Patients() { return StoredPatients(Folder / "Database/Data", App->GetMessages()); }
  std::vector<std::int32_t> DoctorKeys;
};

TEST_F(HandOver, ANewPatientIsEnteredFromTheFileWhichIsDeletedOnceHeIsSaved) {
  TPatient* sheet = StartWith(
      "[Patient]\r\nName=Szabó Ödön\r\nID=SZ-1950\r\nBorn=1950-3-7\r\nHeight=172\r\nWeight=81\r\nSex=1\r\n"
      "Mother=Nagy Éva\r\nPpcode=6720\r\nPcity=Szeged\r\nPadress=Tisza u. 3.\r\nJob=Miner\r\n"
      "Wpcity=Budapest\r\nWpregion=Pest\r\nWptel=1-555-0101\r\n[Institute]\r\nDoctor=dr. fekete\r\n");
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(fs::exists(Folder / "Patient.ini"));  // until he is stored
  EXPECT_TRUE(sheet->IsNewRecord());
  EXPECT_EQ(sheet->GetText(Name), "Szabó Ödön");
  EXPECT_EQ(sheet->GetText(Identifier), "SZ-1950");
  EXPECT_EQ(sheet->GetText(Date), "1950.03.07.");
  EXPECT_EQ(sheet->GetText(MotherName), "Nagy Éva");
  EXPECT_EQ(sheet->GetText(City), "Szeged");
  EXPECT_EQ(sheet->GetText(Height), "172 cm");
  EXPECT_EQ(sheet->GetDoctorName(), "Dr. Fekete Ágnes");
  EXPECT_EQ(Patients().size(), 1u);  // the user saves him

  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  ASSERT_TRUE(Route(CM_PATIENT_SAVE));
  EXPECT_FALSE(fs::exists(Folder / "Patient.ini"));
  const std::vector<PatientRecordType> rows = Patients();
  ASSERT_EQ(rows.size(), 2u);
  const PatientRecordType& row = rows[1];
  EXPECT_EQ(FieldText(row.Name), "Szabó Ödön");
  EXPECT_EQ(FieldText(row.Id), "SZ-1950");
  EXPECT_EQ(FieldText(row.Date[0]), "1950.03.07.");
  EXPECT_EQ(FieldText(row.MotherName), "Nagy Éva");
  EXPECT_EQ(FieldText(row.Postcode[0]), "6720");
  EXPECT_EQ(FieldText(row.Street[0]), "Tisza u. 3.");
  EXPECT_EQ(FieldText(row.City[1]), "Budapest");
  EXPECT_EQ(FieldText(row.County[1]), "Pest");
  EXPECT_EQ(FieldText(row.Phone[1]), "1-555-0101");
  EXPECT_EQ(FieldText(row.Occupation), "Miner");
  EXPECT_EQ(row.Sex, 1);
  EXPECT_EQ(row.Unit, 0);
  EXPECT_EQ(row.Height, 172);
  EXPECT_EQ(row.Weight, 81);
  EXPECT_EQ(row.Doctor, DoctorKeys[0]);
  EXPECT_TRUE(Sink.Messages.empty());

  // Applied once: opening the sheet again hands nobody over.
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  EXPECT_FALSE(sheet->IsNewRecord());
  EXPECT_EQ(Patients().size(), 2u);
}

TEST_F(HandOver, AStoredPatientIsShownWithTheHeightOfTheFileAndKeepsTheRest) {
  // Windows-1252 text, the name in other letters; no weight given.
  TPatient* sheet = StartWith("[Patient]\nName=ANNA KOV\xC1""CS\nID=a-1\nHeight=170\nMother=Someone Else\n");
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(fs::exists(Folder / "Patient.ini"));
  EXPECT_FALSE(sheet->IsNewRecord());
  EXPECT_EQ(sheet->GetText(Name), "Anna Kovács");
  EXPECT_EQ(sheet->GetText(MotherName), "Kiss Mária");
  EXPECT_EQ(sheet->GetText(Height), "170 cm");
  EXPECT_EQ(sheet->GetText(Weight), "60 kg");
  EXPECT_TRUE(sheet->IsModified());
  EXPECT_EQ(Patients()[0].Height, 165);  // stored when the user saves

  ASSERT_TRUE(Route(CM_PATIENT_SAVE));
  EXPECT_FALSE(fs::exists(Folder / "Patient.ini"));
  const std::vector<PatientRecordType> rows = Patients();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Height, 170);
  EXPECT_EQ(rows[0].Weight, 60);
  EXPECT_EQ(FieldText(rows[0].MotherName), "Kiss Mária");
  EXPECT_EQ(FieldText(rows[0].Name), "Anna Kovács");
  EXPECT_EQ(rows[0].Doctor, DoctorKeys[1]);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(HandOver, AFileThatIsNoIniTextIsNamedKeptAndChangesNothing) {
  const std::string letter = "Dear colleague,\nplease see Anna today.\n";
  TPatient* sheet = StartWith(letter);
  ASSERT_NE(sheet, nullptr);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, App->GetMessages().Format(6111, {"./Patient.ini", "1"}));
  Sink.Messages.clear();
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Patient.ini"), letter);
  EXPECT_FALSE(sheet->IsNewRecord());
  EXPECT_FALSE(sheet->IsModified());
  EXPECT_EQ(sheet->GetText(Name), "Anna Kovács");
  EXPECT_EQ(Patients().size(), 1u);
}

}  // namespace
