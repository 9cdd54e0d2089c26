// The doctor lists of the patient sheet against a doctor table in memory.

#include "patients/tests/PatientSheetFixture.h"

#include "common/CommandNumbers.h"

namespace {

using namespace PatientControl;
using TDoctorRow = TPatientDatabase::TDoctorRow;

class PatientDoctorsTest : public PatientSheetTest {
protected:
  void Doctors(std::vector<TDoctorRow> doctors) {
    Database.Doctors = std::move(doctors);
    Sheet->FillDoctorTable(Database.Doctors);
  }
  std::string TreatingShown() const {
    const TDoctorDropDown& list = Sheet->GetTreatingDoctors();
    return list.Selection < 0 ? list.Shown : list.Entries.at(static_cast<std::size_t>(list.Selection));
  }
};

TEST_F(PatientDoctorsTest, AKeyWithoutADoctorShowsNoneUnlessOneDoctorIsAllTheListHas) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));  // doctor 1
  Database.Add(Patient("Bela Nagy", "B-2", "1970.01.01."));
  Database.Rows[1].TreatingDoctorKey = 9;  // gone from the doctor table
  TPatientSheet& sheet = StartSheet();
  Doctors({{1, "Dr. Weiss", "", true, false, false}});
  EXPECT_EQ(TreatingShown(), "Dr. Weiss");
  sheet.CmPatientNext();
  EXPECT_EQ(TreatingShown(), "Dr. Weiss");  // the single doctor stays
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 9);

  sheet.CmPatientFirst();
  Doctors({{1, "Dr. Weiss", "", true, false, false}, {2, "Dr. Fekete", "", true, false, false}});
  sheet.CmPatientNext();
  EXPECT_EQ(TreatingShown(), Text(224));
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 0);
}

TEST_F(PatientDoctorsTest, TheOnlyDoctorShownForANewPatientIsHisDoctor) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
  Database.Rows[0].TreatingDoctorKey = 5;  // a doctor no longer listed
  TPatientSheet& sheet = StartSheet();
  Doctors({{5, "Dr. Retired", "", false, false, false}, {7, "Dr. Weiss", "", true, false, false}});
  EXPECT_EQ(TreatingShown(), "Dr. Retired");
  sheet.CmPatientNew();
  EXPECT_EQ(TreatingShown(), "Dr. Weiss");
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 7);
}

TEST_F(PatientDoctorsTest, ChoosingADoctorChangesTheRecordAndNoDoctorIsRefused) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Full});
  Doctors({{1, "Dr. Weiss", "", true, false, false},
            {2, "Dr. Fekete", "Fo utca 2", true, true, false},
            {3, "Dr. Home", "Main Street 1", false, true, false}});
  EXPECT_EQ(sheet.GetHomeDoctors().Entries, (std::vector<std::string>{Text(224), "Dr. Fekete", "Dr. Home"}));

  // The doctor already shown changes nothing.
  sheet.CmChangeDoctor(1);
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_FALSE(Database.Locked);

  sheet.CmChangeHomeDoctor(2);
  EXPECT_EQ(sheet.GetHomeDoctorKey(), 3);
  EXPECT_EQ(sheet.GetText(HomeDoctorAddress), "Main Street 1");
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_TRUE(Database.Locked);  // the first change takes the row

  sheet.CmChangeDoctor(0);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 0);
  EXPECT_FALSE(SaveEnabled());
  sheet.EvKillFocusDoctor();
  EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)});
  EXPECT_EQ(View.Focused.back().Id, TreatingDoctor);

  // A doctor removed from the table meanwhile is no doctor.
  Database.Doctors.erase(Database.Doctors.begin());
  sheet.CmChangeDoctor(1);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 0);
  EXPECT_EQ(TreatingShown(), Text(224));
  sheet.CmChangeDoctor(2);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 2);
  EXPECT_TRUE(SaveEnabled());
}

TEST_F(PatientDoctorsTest, ADoctorTableHeldByAnotherUserLeavesTheListsOff) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Full});
  Doctors({{1, "Dr. Weiss", "", true, true, true}});
  EXPECT_FALSE(sheet.IsEnabled(TreatingDoctor));
  EXPECT_FALSE(sheet.IsEnabled(HomeDoctor));
  ASSERT_EQ(Database.Messages.size(), 1u);
  EXPECT_EQ(Database.Messages[0].Text, Texts.Format(6212, {"Doctor.db"}));
  // The patient can still be changed.
  EXPECT_TRUE(sheet.IsEnabled(Name));
}

TEST_F(PatientDoctorsTest, OutsideTheFullLayoutThereIsNoHomeDoctor) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
  Database.Rows[0].HomeDoctorKey = 2;
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Medium});
  Doctors({{1, "Dr. Weiss", "", true, false, false}, {2, "Dr. Home", "Main Street 1", false, true, false}});
  EXPECT_EQ(sheet.GetHomeDoctors().Entries, std::vector<std::string>{Text(224)});
  EXPECT_EQ(sheet.GetDoctorID("Dr. Home", TPatientDatabase::HomeDoctor), 0);
  sheet.DisplayDoctor(2, TPatientDatabase::HomeDoctor);
  EXPECT_EQ(sheet.GetText(HomeDoctorAddress), "");
  // The key the medium layout does not show is kept.
  EXPECT_EQ(sheet.GetHomeDoctorKey(), 2);
}

TEST_F(PatientDoctorsTest, PrintoutsTakeTheShownDoctorAndTheEcgProgramOnlyARealOne) {
  Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));  // doctor 1
  Database.Add(Patient("Bela Nagy", "B-2", "1970.01.01."));
  Database.Rows[1].TreatingDoctorKey = 5;  // no longer listed as a treating doctor
  TPatientSheet& sheet = StartSheet();
  Doctors({{1, "Dr. Wéiss Ödön", "", true, false, false},
           {2, "Dr. Fekete", "", true, false, false},
           {5, "Dr. Retired", "", false, false, false}});

  EXPECT_EQ(sheet.GetDoctor(61), "Dr. Wéiss Ödön");
  EXPECT_EQ(sheet.GetDoctorName(), "Dr. Wéiss Ödön");
  // A short buffer never ends inside a letter: "Dr. W" and the two bytes of
  // "é" need seven bytes and the terminator.
  EXPECT_EQ(sheet.GetDoctor(7), "Dr. W");
  EXPECT_EQ(sheet.GetDoctor(8), "Dr. Wé");
  EXPECT_EQ(sheet.GetDoctor(0), "");

  sheet.CmPatientNext();
  EXPECT_EQ(sheet.GetDoctor(61), "Dr. Retired");
  EXPECT_EQ(sheet.GetDoctorName(), "Dr. Retired");

  sheet.CmPatientNew();  // two doctors: the placeholder is shown, nobody is chosen
  EXPECT_EQ(sheet.GetDoctor(61), Text(394));
  EXPECT_EQ(sheet.GetDoctorName(), "");
  sheet.CmChangeDoctor(2);
  EXPECT_EQ(sheet.GetDoctorName(), "Dr. Fekete");
}

}  // namespace
