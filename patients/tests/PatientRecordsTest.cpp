// The patient sheet on its table: new patients, saving, browsing, cancel,
// delete, and another workstation holding a row or the table.

#include "patients/tests/PatientSheetFixture.h"

#include "common/CommandNumbers.h"

namespace {

using namespace PatientControl;

class PatientRecordsTest : public PatientSheetTest {
protected:
  // Fills in a new patient completely, as the user would.
  void EnterPatient(const std::string& name, const std::string& id, const std::string& birthDate) {
    TypeAndLeave(Name, name);
    TypeAndLeave(Identifier, id);
    TypeAndLeave(Date, birthDate);
  }

  std::vector<std::string> RowNames() const {
    std::vector<std::string> names;
    for (const TPatientFields& row : Database.Rows)
      names.push_back(row.Name);
    return names;
  }

  // Sheet enablers of the moves, in the order first, previous, next, last.
  std::vector<bool> Moves() {
    return {Enabled(CM_PATIENT_FIRST), Enabled(CM_PATIENT_PREV), Enabled(CM_PATIENT_NEXT), Enabled(CM_PATIENT_LAST)};
  }

  void ThreePatients() {
    Database.Add(Patient("Anna Kovacs", "A-1", "1980.05.20."));
    Database.Add(Patient("Bela Nagy", "B-2", "1970.01.01."));
    Database.Add(Patient("Csilla Toth", "C-3", "1990.12.24."));
  }
};

TEST_F(PatientRecordsTest, AnEmptyTableOffersANewPatientAndSavesIt) {
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Full});
  EXPECT_TRUE(sheet.IsTableEmpty());
  EXPECT_TRUE(sheet.IsNewRecord());
  EXPECT_FALSE(sheet.HasRows());
  for (const int id : {Name, Identifier, Date})
    EXPECT_EQ(sheet.GetText(id), Text(394)) << id;
  for (const unsigned command : {CM_PATIENT_NEW, CM_PATIENT_SEARCH, CM_PATIENT_FIRST, CM_PATIENT_PREV,
                                 CM_PATIENT_NEXT, CM_PATIENT_LAST, CM_PATIENT_SAVE, CM_PATIENT_CANCEL})
    EXPECT_FALSE(Enabled(command)) << command;

  // Save waits for name, identifier, birth date, units and treating doctor.
  EnterPatient("Anna Kovacs", "A-1", "1980.05.20.");
  EXPECT_FALSE(SaveEnabled());
  sheet.SetTreatingDoctorKey(7);
  TypeAndLeave(Height, "168 cm");
  TypeAndLeave(Weight, "61 kg");
  EXPECT_TRUE(SaveEnabled());
  EXPECT_FALSE(Enabled(CM_PATIENT_CANCEL));  // nothing to go back to

  ASSERT_TRUE(sheet.Dispatch(WM_COMMAND, CM_PATIENT_SAVE, 0) == 0);
  ASSERT_EQ(Database.Rows.size(), 1u);
  const TPatientFields& row = Database.Rows[0];
  EXPECT_EQ(row.Name, "Anna Kovacs");
  EXPECT_EQ(row.Ids[0], "A-1");
  EXPECT_EQ(row.Dates[0], "1980.05.20.");
  EXPECT_EQ(row.Height, 168);
  EXPECT_EQ(row.Weight, 61);
  EXPECT_EQ(row.TreatingDoctorKey, 7);
  EXPECT_EQ(sheet.GetPatientKey(), row.PatientKey);
  EXPECT_FALSE(sheet.IsTableEmpty());
  EXPECT_FALSE(sheet.IsNewRecord());
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_TRUE(sheet.IsIdle());
  EXPECT_EQ(Database.Log, std::vector<std::string>{"PATEVENT: CmPatientSave(), Name: Anna Kovacs, ID: 1"});
  EXPECT_EQ(Client.Received, std::vector<std::string>{"close all temp files"});
  EXPECT_TRUE(Enabled(CM_PATIENT_NEW));
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_TRUE(Database.Messages.empty());
}

TEST_F(PatientRecordsTest, BrowsingPastBothEndsStaysOnTheEndRows) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  EXPECT_EQ(sheet.GetText(Name), "Anna Kovacs");
  EXPECT_EQ(Moves(), (std::vector<bool>{false, false, true, true}));

  const std::pair<unsigned, const char*> steps[] = {
      {CM_PATIENT_PREV, "Anna Kovacs"}, {CM_PATIENT_NEXT, "Bela Nagy"},  {CM_PATIENT_NEXT, "Csilla Toth"},
      {CM_PATIENT_NEXT, "Csilla Toth"}, {CM_PATIENT_PREV, "Bela Nagy"},  {CM_PATIENT_FIRST, "Anna Kovacs"},
      {CM_PATIENT_LAST, "Csilla Toth"}, {CM_PATIENT_FIRST, "Anna Kovacs"},
  };
  for (const auto& [command, name] : steps) {
    Client.Received.clear();
    sheet.DispatchCommand(command);
    EXPECT_EQ(sheet.GetText(Name), name) << command;
    // The test windows of the previous patient close before the move; the
    // work files go after it.
    EXPECT_EQ(Client.Received, (std::vector<std::string>{"close child windows", "close all temp files"}));
    if (std::string_view(name) == "Csilla Toth") {
      EXPECT_EQ(Moves(), (std::vector<bool>{true, true, false, false}));
    }
  }
  sheet.DispatchCommand(CM_PATIENT_NEXT);
  EXPECT_EQ(Moves(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(sheet.GetPatientKey(), 2);
  EXPECT_EQ(View.HourGlass.back(), false);

  // A direction the sheet does not know moves nothing.
  Client.Received.clear();
  EXPECT_EQ(sheet.MoveRec(3), 12289);
  EXPECT_EQ(sheet.MoveRec(-2), 12289);
  EXPECT_EQ(sheet.GetText(Name), "Bela Nagy");
  EXPECT_TRUE(Client.Received.empty());

  // While a patient is being changed there is no moving.
  Type(Name, "Bela  Nagy");
  EXPECT_EQ(Moves(), (std::vector<bool>{false, false, false, false}));
  EXPECT_FALSE(Enabled(CM_PATIENT_NEW));
}

TEST_F(PatientRecordsTest, TheFirstChangeLocksTheRowAndSaveRewritesIt) {
  ThreePatients();
  Database.Rows[1].EcgId = "ECG-77";
  TPatientSheet& sheet = StartSheet();
  sheet.CmPatientNext();
  EXPECT_FALSE(Database.Locked);
  TypeAndLeave(Weight, "82 kg");
  EXPECT_TRUE(Database.Locked);
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_TRUE(Enabled(CM_PATIENT_CANCEL));
  EXPECT_TRUE(SaveEnabled());
  sheet.CmPatientSave();

  EXPECT_FALSE(Database.Locked);
  ASSERT_EQ(Database.Rows.size(), 3u);
  const TPatientFields& row = Database.Rows[1];
  EXPECT_EQ(row.Name, "Bela Nagy");
  EXPECT_EQ(row.Weight, 82);
  EXPECT_EQ(row.PatientKey, 2);
  // The identifier of the ECG hand-over stays with the patient.
  EXPECT_EQ(row.EcgId, "ECG-77");
  EXPECT_EQ(Database.Log.back(), "PATEVENT: CmPatientSave(), Name: Bela Nagy, ID: 2");
}

TEST_F(PatientRecordsTest, ASmallerLayoutKeepsWhatItDoesNotShow) {
  TPatientFields patient = Patient("Anna Kovacs", "A-1", "1980.05.20.");
  patient.MotherName = "Maria Szabo";
  patient.MaidenName = "Anna Szabo";
  patient.Occupation = "Teacher";
  patient.Ids[1] = "SECOND";
  patient.Dates[1] = "2020.01.01.";
  patient.Addresses[0].City = "Pecs";
  patient.Addresses[2].Street = "Fo utca 1";
  patient.Population = 3;
  patient.HomeDoctorKey = 9;
  Database.Add(patient);
  for (const TPageLayout layout : {TPageLayout::Small, TPageLayout::Medium}) {
    TPatientSheet& sheet = StartSheet({.Layout = layout});
    TypeAndLeave(Weight, "71 kg");
    sheet.CmPatientSave();
    TPatientFields expected = patient;
    expected.Weight = 71;
    const TPatientFields& row = Database.Rows[0];
    EXPECT_EQ(row.MotherName, expected.MotherName);
    EXPECT_EQ(row.MaidenName, expected.MaidenName);
    EXPECT_EQ(row.Occupation, expected.Occupation);
    EXPECT_EQ(row.Ids[1], expected.Ids[1]);
    EXPECT_EQ(row.Dates[1], expected.Dates[1]);
    EXPECT_EQ(row.Addresses[0].City, expected.Addresses[0].City);
    EXPECT_EQ(row.Addresses[2].Street, expected.Addresses[2].Street);
    EXPECT_EQ(row.Population, 3);
    EXPECT_EQ(row.HomeDoctorKey, 9);
    EXPECT_EQ(row.Weight, 71);
  }
}

TEST_F(PatientRecordsTest, CancelAsksOnlyWhenSomethingChanged) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  sheet.CmPatientCancel();
  EXPECT_TRUE(Database.Messages.empty());

  Type(Name, "Anna Kovacsne");
  Database.Answer = IDNO;
  sheet.CmPatientCancel();
  ASSERT_EQ(Database.Messages.size(), 1u);
  EXPECT_EQ(Database.Messages[0].Text, Text(323));
  // A question, with the question's icon.
  EXPECT_EQ(Database.Messages[0].Flags, PatientDb::Question | PatientDb::YesNo | PatientDb::SecondButtonDefault);
  EXPECT_EQ(sheet.GetText(Name), "Anna Kovacsne");  // No keeps the edit
  EXPECT_TRUE(sheet.IsModified());

  Database.Answer = IDYES;
  sheet.CmPatientCancel();
  EXPECT_EQ(sheet.GetText(Name), "Anna Kovacs");
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_FALSE(Database.Locked);
  EXPECT_EQ(Database.Rows[0].Name, "Anna Kovacs");
}

TEST_F(PatientRecordsTest, ANewPatientTakesTheOnlyDoctorButNotOneOfSeveral) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  sheet.SetTreatingDoctors({{Text(224), "Dr. Weiss"}, 0, {}});
  sheet.SetTreatingDoctorKey(1);
  sheet.CmPatientNew();
  EXPECT_EQ(Client.Received.front(), "close child windows");
  EXPECT_TRUE(sheet.IsNewRecord());
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_EQ(sheet.GetTreatingDoctors().Entries[0], Text(394));
  EXPECT_EQ(sheet.GetTreatingDoctors().Selection, 1);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 1);
  EXPECT_EQ(View.Focused.back().Id, Name);
  EXPECT_TRUE(View.Focused.back().SelectAll);
  EnterPatient("Dora Kiss", "D-4", "2000.02.02.");
  EXPECT_TRUE(SaveEnabled());
  sheet.CmPatientCancel();  // asks; the sink answers Yes
  EXPECT_EQ(sheet.GetTreatingDoctors().Entries[0], Text(224));

  sheet.SetTreatingDoctors({{Text(224), "Dr. Weiss", "Dr. Fekete"}, 1, {}});
  sheet.CmPatientNew();
  EXPECT_EQ(sheet.GetTreatingDoctors().Selection, 0);
  EXPECT_EQ(sheet.GetTreatingDoctorKey(), 0);
  EnterPatient("Dora Kiss", "D-4", "2000.02.02.");
  EXPECT_FALSE(SaveEnabled());
  sheet.SetTreatingDoctorKey(2);  // the doctor lookup took the chosen doctor
  TypeAndLeave(Height, "162");
  TypeAndLeave(Weight, "55");
  EXPECT_TRUE(SaveEnabled());
  sheet.CmPatientSave();
  EXPECT_EQ(RowNames(), (std::vector<std::string>{"Anna Kovacs", "Bela Nagy", "Csilla Toth", "Dora Kiss"}));
  EXPECT_EQ(sheet.GetText(Name), "Dora Kiss");
  EXPECT_EQ(sheet.GetPatientKey(), 4);
  EXPECT_EQ(sheet.GetTreatingDoctors().Entries[0], Text(224));
}

TEST_F(PatientRecordsTest, ANewPatientStartsInTheLabsUnits) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet({.DefaultUnit = TUnitSystem::Imperial, .DefaultHeight = 66, .DefaultWeight = 150});
  EXPECT_EQ(sheet.GetText(Height), "175 cm");  // the shown patient's own units
  sheet.CmPatientNew();
  EXPECT_EQ(sheet.GetText(Height), "5 ft 6 in");
  EXPECT_EQ(sheet.GetText(Weight), "150 lb");
  EXPECT_EQ(sheet.GetRecordUnit(), TUnitSystem::Imperial);
}

TEST_F(PatientRecordsTest, DeletingTheLastRowsLeavesTheEmptyTable) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  sheet.CmPatientLast();
  EXPECT_TRUE(sheet.DeletePatientRecord());
  EXPECT_EQ(Database.Log.back(), "PATIENT: DeletePatientRecord(), Name: Csilla Toth, ID: 3");
  EXPECT_EQ(sheet.GetText(Name), "Bela Nagy");  // the new last row
  EXPECT_EQ(Moves(), (std::vector<bool>{true, true, false, false}));

  sheet.CmPatientFirst();
  EXPECT_TRUE(sheet.DeletePatientRecord());
  EXPECT_EQ(sheet.GetText(Name), "Bela Nagy");  // the next row
  EXPECT_EQ(Moves(), (std::vector<bool>{false, false, false, false}));

  EXPECT_TRUE(sheet.DeletePatientRecord());
  EXPECT_TRUE(Database.Rows.empty());
  EXPECT_TRUE(sheet.IsTableEmpty());
  EXPECT_TRUE(sheet.IsNewRecord());
  EXPECT_FALSE(sheet.HasRows());
  EXPECT_EQ(sheet.GetText(Name), Text(394));
  EXPECT_EQ(sheet.GetText(Identifier), Text(394));
  EXPECT_EQ(sheet.GetText(Age), "");
}

TEST_F(PatientRecordsTest, ARowThatCannotBeDeletedStaysShown) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  sheet.CmPatientNext();
  Database.LockResult = PatientDb::RowLocked;
  EXPECT_FALSE(sheet.DeletePatientRecord());
  EXPECT_EQ(sheet.GetText(Name), "Bela Nagy");
  EXPECT_EQ(RowNames().size(), 3u);
}

TEST_F(PatientRecordsTest, ARowHeldElsewhereIsShownReadOnly) {
  ThreePatients();
  Database.ReadLockResult = PatientDb::RowLocked;
  TPatientSheet& sheet = StartSheet();
  EXPECT_TRUE(sheet.IsReadOnly());
  EXPECT_EQ(sheet.GetText(Name), "Anna Kovacs");
  ASSERT_EQ(Database.Messages.size(), 1u);
  EXPECT_EQ(Database.Messages[0].Text, Texts.Format(111, {"Names.db"}));
  EXPECT_EQ(Database.Messages[0].Flags, PatientDb::Information);
  for (const int id : FieldGroup(TFieldGroup::All, TPageLayout::Full))
    EXPECT_FALSE(sheet.IsEnabled(id)) << id;

  // The next row is free again.
  Database.ReadLockResult = PatientDb::Ok;
  sheet.CmPatientNext();
  EXPECT_FALSE(sheet.IsReadOnly());
  EXPECT_TRUE(sheet.IsEnabled(Name));

  // The table in use keeps New, Search, Save and Cancel off.
  Database.ReadLockResult = PatientDb::InUse;
  sheet.CmPatientNext();
  EXPECT_TRUE(sheet.IsTableInUse());
  EXPECT_EQ(Database.Messages.back().Text, Texts.Format(249, {"Names.db"}));
  EXPECT_FALSE(Enabled(CM_PATIENT_NEW));
  EXPECT_FALSE(Enabled(CM_PATIENT_SEARCH));
  EXPECT_FALSE(sheet.IsEnabled(Height));
}

TEST_F(PatientRecordsTest, ARefusedLockPutsTheStoredValuesBack) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  Database.LockResult = PatientDb::InUse;
  Type(Name, "Somebody Else");
  EXPECT_EQ(sheet.GetText(Name), "Anna Kovacs");
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_EQ(Database.Messages.back().Text, Texts.Format(249, {"Names.db"}));

  // A changed list selection asks for the lock as well.
  sheet.CmChangeSex(1);
  EXPECT_EQ(sheet.GetSex(), 0);
  EXPECT_FALSE(sheet.IsModified());
  Database.LockResult = PatientDb::Ok;
  sheet.CmChangeSex(1);
  EXPECT_EQ(sheet.GetSex(), 1);
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_TRUE(Database.Locked);
}

TEST_F(PatientRecordsTest, ASaveTheTableRefusesLosesNothing) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  TypeAndLeave(Weight, "90 kg");
  Database.WriteResult = PatientDb::InUse;
  sheet.CmPatientSave();
  EXPECT_EQ(Database.Messages.back().Text, Texts.Format(249, {"Names.db"}));
  EXPECT_EQ(Database.Rows[0].Weight, 70);
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_EQ(sheet.GetText(Weight), "90 kg");
  EXPECT_TRUE(Database.Log.empty());
  EXPECT_TRUE(SaveEnabled());

  Database.WriteResult = PatientDb::Ok;
  sheet.CmPatientSave();
  EXPECT_EQ(Database.Rows[0].Weight, 90);
}

TEST_F(PatientRecordsTest, NothingIsWrittenThatTheTableCannotHoldWhole) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Full});
  std::string city;
  for (int i = 0; i < 11; ++i)
    city += "ő";  // 22 bytes for a field of 20
  TypeAndLeave(City, city);
  sheet.TChangeAddress(1);  // the long text is kept on its page, out of sight
  EXPECT_EQ(Shown(), std::vector<std::string>{Texts.Format(6214, {"City", "20", "10"})});
  EXPECT_FALSE(SaveEnabled());
  sheet.CmPatientSave();  // even when asked directly
  EXPECT_EQ(Database.Rows[0].Addresses[0].City, "");
  EXPECT_TRUE(sheet.IsModified());
  sheet.TChangeAddress(0);
  EXPECT_EQ(sheet.GetText(City), city);
}

}  // namespace

namespace {

TEST_F(PatientRecordsTest, ASaveWithoutATreatingDoctorIsRefusedEvenWhenAskedDirectly) {
  ThreePatients();
  TPatientSheet& sheet = StartSheet();
  Database.Doctors = {{1, "Dr. Weiss", "", true, false, false}, {2, "Dr. Fekete", "", true, false, false}};
  sheet.FillDoctorTable(Database.Doctors);

  // A new patient whose doctor was never chosen.
  sheet.CmPatientNew();
  EnterPatient("Dora Kiss", "D-4", "2000.02.02.");
  ASSERT_EQ(sheet.GetTreatingDoctorKey(), 0);
  EXPECT_FALSE(SaveEnabled());
  ASSERT_EQ(sheet.Dispatch(WM_COMMAND, CM_PATIENT_SAVE, 0), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)});
  EXPECT_EQ(View.Focused.back().Id, TreatingDoctor);
  EXPECT_EQ(Database.Rows.size(), 3u);
  EXPECT_TRUE(sheet.IsNewRecord());
  EXPECT_EQ(sheet.GetText(Name), "Dora Kiss");
  EXPECT_TRUE(Database.Log.empty());

  // A stored patient whose doctor was taken away keeps his row and its lock.
  Sink.Messages.clear();
  sheet.CmPatientCancel();
  sheet.CmChangeDoctor(0);
  ASSERT_TRUE(Database.Locked);
  sheet.CmPatientSave();
  EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)});
  EXPECT_EQ(Database.Rows[0].TreatingDoctorKey, 1);
  EXPECT_TRUE(Database.Locked);
  EXPECT_TRUE(sheet.IsModified());
}

}  // namespace
