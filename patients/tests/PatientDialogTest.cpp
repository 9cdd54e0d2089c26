// The patient data sheet's window on a real database: its layouts, its
// start, and what the user does with a patient.

#include "patients/tests/PatientDialogFixture.h"

#include "common/CommandNumbers.h"
#include "patients/PatientControls.h"
#include "patients/PatientUpDown.h"
#include "patients/SheetFrame.h"
#include "patients/WaitingDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include <map>

namespace {

using namespace PatientControl;

TEST_F(PatientDialogTest, EveryLayoutHasItsControlsAndFitsItsFrame) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss", true, true, "Main Street 1");
  AddPatient("Bela Nagy", "B-2", "1970.01.01.", doctor);
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", doctor);

  const struct {
    int PageType;
    TPageLayout Layout;
    const char* Picture;
  } layouts[] = {{2, TPageLayout::Full, "patient-sheet-full.png"},
                 {1, TPageLayout::Medium, "patient-sheet-medium.png"},
                 {0, TPageLayout::Small, "patient-sheet-small.png"}};
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.Picture);
    const TSheetFrame frame = SheetFrameForPageType(layout.PageType);
    TPatient& sheet = Open(static_cast<short>(frame.ResourceId));
    ASSERT_FALSE(sheet.IsDatabaseUnusable());
    EXPECT_EQ(sheet.GetLayout(), layout.Layout);
    for (const TPatientControl& control : PatientControls()) {
      QWidget* widget = sheet.findChild<QWidget*>(QString::number(control.Id));
      EXPECT_EQ(widget != nullptr, control.In(layout.Layout)) << control.Id;
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        EXPECT_EQ(label->text().toStdString(), Text(control.Texts.front())) << control.Id;
      }
      if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        for (std::size_t page = 0; page < control.Texts.size(); ++page)
          EXPECT_EQ(tabs->tabText(static_cast<int>(page)).toStdString(), Text(control.Texts[page]));
      }
    }
    // The first patient in name order, with the doctor of the record.
    EXPECT_EQ(Shown(Name), "Anna Kovacs");
    EXPECT_EQ(Shown(Identifier), "A-1");
    EXPECT_EQ(Shown(Date), "1980.05.20.");
    EXPECT_EQ(Shown(Height), "175 cm");
    EXPECT_EQ(Shown(Weight), "72 kg");
    EXPECT_EQ(Shown(Sex), Text(69));
    EXPECT_EQ(Shown(TreatingDoctor), "Dr. Weiss");
    // The sheet fits the frame the program opens it in (less its title bar).
    const QSize needed = sheet.minimumSizeHint();
    EXPECT_LE(needed.width(), frame.Width) << needed.width();
    EXPECT_LE(needed.height(), frame.Height - 30) << needed.height();
    sheet.resize(frame.Width, frame.Height - 30);
    SavePicture(sheet, layout.Picture);
    Sheet.reset();
  }
}

}  // namespace

namespace {

class PatientRecordsOnDisk : public PatientDialogTest {
protected:
  // The user fills in a new patient.
  void EnterPatient(const std::string& name, const std::string& id, const std::string& birthDate) {
    TypeAndLeave(Name, name);
    TypeAndLeave(Identifier, id);
    TypeAndLeave(Date, birthDate);
  }
  std::string Log() const { return TTemporaryFolder::Read(DatabaseFolder / "halvetra.log"); }
};

TEST_F(PatientRecordsOnDisk, ANewPatientIsSavedThenBrowsedCancelledAndTheLastDeleted) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss");
  TPatient& sheet = Open();

  // An empty table waits for a new patient.
  EXPECT_TRUE(sheet.IsTableEmpty());
  EXPECT_EQ(Shown(Name), Text(394));
  EXPECT_FALSE(Enabled(CM_PATIENT_SAVE));
  EnterPatient("  Anna   Kovacs ", "A-1", "1980.05.20.");
  EXPECT_EQ(Shown(Name), "Anna Kovacs");
  TypeAndLeave(Height, "168 cm");
  TypeAndLeave(Weight, "61");
  Choose(Sex, Text(70));
  EXPECT_FALSE(Enabled(CM_PATIENT_SAVE));  // not without a treating doctor
  Choose(TreatingDoctor, "Dr. Weiss");
  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  Command(CM_PATIENT_SAVE);

  std::vector<PatientRecordType> rows = Patients();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(FieldText(rows[0].Name), "Anna Kovacs");
  EXPECT_EQ(FieldText(rows[0].Id), "A-1");
  EXPECT_EQ(FieldText(rows[0].Date[0]), "1980.05.20.");
  EXPECT_EQ(rows[0].Sex, 0);
  EXPECT_EQ(rows[0].Unit, 0);
  EXPECT_EQ(rows[0].Height, 168);
  EXPECT_EQ(rows[0].Weight, 61);
  EXPECT_EQ(rows[0].Doctor, doctor);
  EXPECT_EQ(sheet.GetPatientKey(), rows[0].Key);
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_NE(Log().find("PATEVENT: CmPatientSave(), Name: Anna Kovacs, ID: " + std::to_string(rows[0].Key)),
            std::string::npos);

  // The next two take the only doctor without being asked.
  for (const auto& [name, id] : {std::pair{"Csilla Toth", "C-3"}, std::pair{"Bela Nagy", "B-2"}}) {
    ASSERT_TRUE(Enabled(CM_PATIENT_NEW));
    Command(CM_PATIENT_NEW);
    EXPECT_EQ(Shown(Identifier), Text(394));
    EXPECT_EQ(Shown(TreatingDoctor), "Dr. Weiss");
    EnterPatient(name, id, "1975.03.07.");
    ASSERT_TRUE(Enabled(CM_PATIENT_SAVE)) << name;
    Command(CM_PATIENT_SAVE);
  }
  EXPECT_EQ(PatientNames(), (std::vector<std::string>{"Anna Kovacs", "Bela Nagy", "Csilla Toth"}));
  EXPECT_EQ(Patients()[2].Doctor, doctor);

  // Browsing stops at both ends.
  const auto moves = [this] {
    return std::vector<bool>{Enabled(CM_PATIENT_FIRST), Enabled(CM_PATIENT_PREV), Enabled(CM_PATIENT_NEXT),
                             Enabled(CM_PATIENT_LAST)};
  };
  Command(CM_PATIENT_FIRST);
  EXPECT_EQ(Shown(Name), "Anna Kovacs");
  EXPECT_EQ(moves(), (std::vector<bool>{false, false, true, true}));
  Command(CM_PATIENT_PREV);
  EXPECT_EQ(Shown(Name), "Anna Kovacs");
  Command(CM_PATIENT_NEXT);
  EXPECT_EQ(Shown(Name), "Bela Nagy");
  EXPECT_EQ(moves(), (std::vector<bool>{true, true, true, true}));
  Command(CM_PATIENT_NEXT);
  EXPECT_EQ(Shown(Name), "Csilla Toth");
  EXPECT_EQ(moves(), (std::vector<bool>{true, true, false, false}));
  Command(CM_PATIENT_NEXT);
  EXPECT_EQ(Shown(Name), "Csilla Toth");
  Command(CM_PATIENT_FIRST);
  Command(CM_PATIENT_LAST);
  EXPECT_EQ(Shown(Name), "Csilla Toth");
  Command(CM_PATIENT_PREV);
  EXPECT_EQ(Shown(Name), "Bela Nagy");

  // An edit that is cancelled leaves the table as it was.
  const std::vector<PatientRecordType> before = Patients();
  TypeAndLeave(Name, "Bela Nagy-Szabo");
  TypeAndLeave(Height, "180 cm");
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_FALSE(Enabled(CM_PATIENT_NEXT));
  Command(CM_PATIENT_CANCEL);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(323)});
  EXPECT_EQ(Shown(Name), "Bela Nagy");
  EXPECT_EQ(Shown(Height), "170 cm");
  EXPECT_FALSE(sheet.IsModified());
  const std::vector<PatientRecordType> after = Patients();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i)
    EXPECT_EQ(after[i].ToBytes(), before[i].ToBytes());

  // Deleting the last patient shows the new last one.
  Command(CM_PATIENT_LAST);
  EXPECT_TRUE(sheet.DeletePatientRecord());
  EXPECT_EQ(PatientNames(), (std::vector<std::string>{"Anna Kovacs", "Bela Nagy"}));
  EXPECT_EQ(Shown(Name), "Bela Nagy");
  EXPECT_FALSE(Enabled(CM_PATIENT_NEXT));
  EXPECT_NE(Log().find("PATIENT: DeletePatientRecord(), Name: Csilla Toth"), std::string::npos);
}

}  // namespace

namespace {

// The bytes of every file of a folder, by name.
std::map<std::string, std::string> Files(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = TTemporaryFolder::Read(entry.path());
  return files;
}

TEST_F(PatientRecordsOnDisk, BadInputGetsAClearMessageAndNothingIsWritten) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss");
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", doctor);
  const std::string stored = Patients()[0].ToBytes();
  TPatient& sheet = Open();

  const std::string metricExamples = Text(239) + "\n\t- 175 [cm].";
  const struct {
    int Field;
    std::string Typed;
    std::string Message;
  } cases[] = {
      {Name, "Anna Kovacs-Horvath-Szentgyorgyi", Texts.Format(6214, {Text(200), "30", "30"})},
      // 28 letters, but 33 bytes: the field holds bytes, 26 of these letters.
      {Name, "Ágnes Őrhegyi-Szentgyörgyváry", Texts.Format(6214, {Text(200), "30", "26"})},
      // Control characters are never stored: DEL, and C1's next-line.
      {Name, "Anna\x7FKovacs", Texts.Format(6213, {Text(200)})},
      {Name, "Anna\xC2\x85Kovacs", Texts.Format(6213, {Text(200)})},
      {Height, "1,80", metricExamples},
      {Height, "tall", metricExamples},
      {Weight, "60 kilo", Text(239) + "\n\t- 60 [kg]."},
      {Date, "1980.13.20.", Texts.Format(270, {"1980.13.20."}) + "\n" + Texts.Format(271, {"YYYY.MM.DD."})},
      {Date, "20 May 1980", Texts.Format(270, {"20 May 1980"}) + "\n" + Texts.Format(271, {"YYYY.MM.DD."})},
  };
  for (const auto& bad : cases) {
    SCOPED_TRACE(bad.Typed);
    TypeAndLeave(bad.Field, bad.Typed);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{bad.Message});
    // What was typed stays for the user to correct; it cannot be saved.
    EXPECT_EQ(Shown(bad.Field), bad.Typed);
    EXPECT_FALSE(Enabled(CM_PATIENT_SAVE));
    Command(CM_PATIENT_CANCEL);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(323)});
    EXPECT_EQ(Shown(Name), "Anna Kovacs");
    EXPECT_FALSE(sheet.IsModified());
  }
  // A save that is asked for all the same writes nothing too long.
  TypeAndLeave(Name, "Anna Kovacs-Horvath-Szentgyorgyi");
  TakeMessages();
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Texts.Format(6214, {Text(200), "30", "30"})});
  EXPECT_TRUE(sheet.IsModified());
  ASSERT_EQ(Patients().size(), 1u);
  EXPECT_EQ(Patients()[0].ToBytes(), stored);
  Command(CM_PATIENT_CANCEL);
  TakeMessages();
}

TEST_F(PatientRecordsOnDisk, AMissingPatientTableIsReportedAndNothingIsWritten) {
  CreateDatabase();
  std::filesystem::remove(DatabaseFolder / "names.db");
  const auto before = Files(DatabaseFolder);
  TPatient& sheet = Open();
  EXPECT_TRUE(sheet.IsDatabaseUnusable());
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(Texts.Format(8004, {"names.db"})), std::string::npos) << messages[0];
  // Neither the patient table nor the other tables were touched.
  EXPECT_EQ(Files(DatabaseFolder), before);
  EXPECT_FALSE(sheet.IsMeasureDatabaseOpen());

  // The sheet closes at its first idle moment.
  ASSERT_TRUE(sheet.isVisible());
  sheet.IdleAction();
  QApplication::processEvents();
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_FALSE(sheet.IsActive());
}

TEST_F(PatientRecordsOnDisk, SavingKeepsWhatTheEcgHandOverWroteAndNamesStayWhole) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss");
  AddPatient("Ágnes Őri", "Á-1", "1980.05.20.", doctor);
  TPatient& sheet = Open();
  EXPECT_EQ(Shown(Name), "Ágnes Őri");

  // Another program writes the patient's ECG identifier while the sheet shows him.
  {
    TEngine ecg;
    ecg.SetFolder(DatabaseFolder.string());
    ecg.SetTableName("names.db");
    ecg.SetMessages(&Texts);
    std::uint32_t database = 0, cursor = 0;
    ASSERT_EQ(ecg.OpenDB(database), 0);
    ASSERT_EQ(ecg.GetTable(cursor), 0);
    ASSERT_EQ(ecg.Search(SearchEqual, 1, std::string("ágnes őri")), 0);
    ASSERT_EQ(ecg.WriteRecordField(std::string("ECG-0042"), 20), 0);
  }
  TypeAndLeave(Weight, "65");
  TypeAndLeave(Occupation, "Kémikus");
  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  Command(CM_PATIENT_SAVE);
  const PatientRecordType row = Patients().at(0);
  EXPECT_EQ(FieldText(row.EcgId), "ECG-0042");
  EXPECT_EQ(row.Weight, 65);
  EXPECT_EQ(FieldText(row.Name), "Ágnes Őri");
  EXPECT_EQ(FieldText(row.Id), "Á-1");
  EXPECT_EQ(FieldText(row.Occupation), "Kémikus");
  EXPECT_EQ(sheet.GetEcgId(), "ECG-0042");
  EXPECT_EQ(Shown(Occupation), "Kémikus");
}

TEST_F(PatientRecordsOnDisk, DoctorListsShowTheDoctorsOfTheTableAndKeepThemByKey) {
  CreateDatabase();
  const std::int32_t weiss = AddDoctor("Dr. Weiss");
  const std::int32_t fekete = AddDoctor("Dr. Fekete", true, true, "Fo utca 2");
  const std::int32_t home = AddDoctor("Dr. Home", false, true, "Main Street 1");
  const std::int32_t retired = AddDoctor("Dr. Retired", false, false);
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", retired);
  Open();

  const auto entries = [this](int id) {
    std::vector<std::string> texts;
    for (int i = 0; i < Combo(id)->count(); ++i)
      texts.push_back(Combo(id)->itemText(i).toStdString());
    return texts;
  };
  EXPECT_EQ(entries(TreatingDoctor), (std::vector<std::string>{Text(224), "Dr. Fekete", "Dr. Weiss"}));
  EXPECT_EQ(entries(HomeDoctor), (std::vector<std::string>{Text(224), "Dr. Fekete", "Dr. Home"}));
  // A doctor who is no longer listed is still named.
  EXPECT_EQ(Shown(TreatingDoctor), "Dr. Retired");
  EXPECT_EQ(Shown(HomeDoctor), Text(224));

  Choose(HomeDoctor, "Dr. Home");
  EXPECT_EQ(Shown(HomeDoctorAddress), "Main Street 1");
  Choose(TreatingDoctor, "Dr. Weiss");
  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(Patients()[0].Doctor, weiss);
  EXPECT_EQ(Patients()[0].HomeDoctor, home);

  // No treating doctor: the list says so when the user leaves it.
  Choose(TreatingDoctor, Text(224));
  EXPECT_FALSE(Enabled(CM_PATIENT_SAVE));
  Leave(TreatingDoctor);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(272)});
  Choose(TreatingDoctor, "Dr. Fekete");
  Choose(HomeDoctor, Text(224));
  EXPECT_EQ(Shown(HomeDoctorAddress), "");
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(Patients()[0].Doctor, fekete);
  EXPECT_EQ(Patients()[0].HomeDoctor, 0);
}

TEST_F(PatientRecordsOnDisk, AProgressWindowStandsWhileTheSheetStarts) {
  CreateDatabase();
  Sheet = std::make_unique<TPatient>(1.0f, 1.0f, 0, &Texts, (Folder / "Halvetra.ini").string(), 20112,
                                     DoctorFolder.string(), DatabaseFolder.string(), (Folder / "Private").string(), 0,
                                     170, 70, nullptr);
  auto* waiting = Sheet->findChild<TWaitingDialog*>();
  ASSERT_NE(waiting, nullptr);
  EXPECT_TRUE(waiting->isVisible());
  EXPECT_EQ(waiting->windowTitle().toStdString(), Text(1));
  const auto line = [&](int id) { return waiting->findChild<QLabel*>(QString::number(id))->text().toStdString(); };
  EXPECT_EQ(line(TWaitingDialog::Line1Id), Text(268));
  EXPECT_EQ(line(TWaitingDialog::Line2Id), Texts.Format(269, {"Names"}));
  Sheet->SetupWindow();
  EXPECT_EQ(Sheet->findChild<TWaitingDialog*>(), nullptr);
  EXPECT_TRUE(Sheet->IsMeasureDatabaseOpen());
  EXPECT_TRUE(Sheet->IsListLibraryLoaded());
  EXPECT_TRUE(Sheet->IsActive());
}

TEST_F(PatientRecordsOnDisk, EnterLeavesTheSheetOpenAndEscapeClosesIt) {
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", AddDoctor("Dr. Weiss"));
  TPatient& sheet = Open();
  QTest::keyClick(Edit(Name), Qt::Key_Return);
  QTest::keyClick(&sheet, Qt::Key_Enter);
  sheet.done(QDialog::Accepted);
  EXPECT_TRUE(sheet.isVisible());
  QTest::keyClick(&sheet, Qt::Key_Escape);
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_FALSE(sheet.IsActive());
}

// Escape on a sheet with changes asks as Cancel does: No keeps what was
// typed on the open sheet, Yes discards it and closes the sheet.
TEST_F(PatientRecordsOnDisk, EscapeAsksBeforeItThrowsAwayWhatWasTyped) {
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", AddDoctor("Dr. Weiss"));
  TPatient& sheet = Open();
  Command(CM_PATIENT_NEW);
  TypeAndLeave(Name, "Bela Nagy");
  ASSERT_TRUE(sheet.IsModified());
  Sink.Answer = IDNO;
  QTest::keyClick(&sheet, Qt::Key_Escape);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Text(323));
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Question);
  TakeMessages();
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(Shown(Name), "Bela Nagy");
  Sink.Answer = IDYES;
  QTest::keyClick(&sheet, Qt::Key_Escape);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(323)});
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_EQ(Patients().size(), 1u) << "nothing was stored";
}

// A patient has a height and a weight: 0 typed into either is refused
// with the examples, as an unreadable entry is, and stays to be corrected.
TEST_F(PatientRecordsOnDisk, AHeightOrWeightOfZeroIsRefused) {
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", AddDoctor("Dr. Weiss"));
  Open();
  TypeAndLeave(Height, "0 cm");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(239) + "\n\t- 175 [cm]."});
  EXPECT_EQ(Shown(Height), "0 cm");
  TypeAndLeave(Height, "168 cm");
  TypeAndLeave(Weight, "0 kg");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(239) + "\n\t- 60 [kg]."});
  Command(CM_PATIENT_CANCEL);
  TakeMessages();
}

// Save asks the same of a typed height or weight as leaving the field does:
// a 0 left standing after the refusal is not stored.
TEST_F(PatientRecordsOnDisk, SaveRefusesATypedZero) {
  CreateDatabase();
  AddDoctor("Dr. Weiss");
  Open();
  EnterPatient("Anna Kovacs", "A-1", "1980.05.20.");
  Choose(TreatingDoctor, "Dr. Weiss");
  TypeAndLeave(Height, "0 cm");
  TakeMessages();
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(239) + "\n\t- 175 [cm]."});
  EXPECT_TRUE(Patients().empty()) << "a height of 0 is not stored";
  Type(Weight, "0");
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(239) + "\n\t- 175 [cm]."}) << "the height first";
  TypeAndLeave(Height, "168 cm");
  TakeMessages();
  Command(CM_PATIENT_SAVE);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{Text(239) + "\n\t- 60 [kg]."});
  EXPECT_TRUE(Patients().empty());
  TypeAndLeave(Weight, "61 kg");
  Command(CM_PATIENT_SAVE);
  const std::vector<PatientRecordType> rows = Patients();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Height, 168);
  EXPECT_EQ(rows[0].Weight, 61);
}

// A settings default of 0 is no measure of the patient either: Save refuses
// the height and weight the sheet put there exactly as if they were typed,
// and so an emptied field (stored, it would be 0) and a default outside
// what the field holds. Nothing is stored until both are real measures.
TEST_F(PatientRecordsOnDisk, SaveRefusesAnUntouchedZeroDefaultOrAnEmptiedMeasure) {
  const std::string heightRefused = Text(239) + "\n\t- 175 [cm].";
  const std::string weightRefused = Text(239) + "\n\t- 60 [kg].";
  const struct {
    short DefaultHeight;
    short DefaultWeight;
    const char* TypedHeight;  // nullptr: left as the sheet filled it
    const char* TypedWeight;
    std::string Refusal;
  } cases[] = {
      {0, 0, nullptr, nullptr, heightRefused},
      {0, 70, nullptr, nullptr, heightRefused},
      {170, 0, nullptr, nullptr, weightRefused},
      {-5, 70, nullptr, nullptr, heightRefused},
      {170, 70, "", nullptr, heightRefused},
      {170, 70, nullptr, "", weightRefused},
  };
  CreateDatabase();
  AddDoctor("Dr. Weiss");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.DefaultHeight) + "/" + std::to_string(c.DefaultWeight));
    Open(20111, 0, c.DefaultHeight, c.DefaultWeight);
    EnterPatient("Anna Kovacs", "A-1", "1980.05.20.");
    Choose(TreatingDoctor, "Dr. Weiss");
    if (c.TypedHeight)
      TypeAndLeave(Height, c.TypedHeight);
    if (c.TypedWeight)
      TypeAndLeave(Weight, c.TypedWeight);
    EXPECT_TRUE(TakeMessages().empty()) << "leaving an emptied field may wait for the value";
    ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
    Command(CM_PATIENT_SAVE);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{c.Refusal});
    EXPECT_TRUE(Patients().empty()) << "a patient without a height or weight is not stored";
    Sheet.reset();
    TakeMessages();
  }
  // Given both, the same new patient is stored.
  Open(20111, 0, 0, 0);
  EnterPatient("Anna Kovacs", "A-1", "1980.05.20.");
  Choose(TreatingDoctor, "Dr. Weiss");
  TypeAndLeave(Height, "168");
  TypeAndLeave(Weight, "61");
  Command(CM_PATIENT_SAVE);
  EXPECT_TRUE(TakeMessages().empty());
  const std::vector<PatientRecordType> rows = Patients();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Height, 168);
  EXPECT_EQ(rows[0].Weight, 61);
}

TEST_F(PatientRecordsOnDisk, TheArrowsStepHeightAndWeightInTheirUnits) {
  CreateDatabase();
  AddDoctor("Dr. Weiss");
  TPatient& sheet = Open(20113, 1, 70, 150);
  EXPECT_EQ(Shown(Height), "5 ft 10 in");
  EXPECT_EQ(Shown(Weight), "150 lb");
  auto* height = static_cast<TPatientUpDown*>(Control(HeightUpDown));
  auto* weight = static_cast<TPatientUpDown*>(Control(WeightUpDown));
  EXPECT_EQ(height->GetPos(), 70);
  height->Step(1);
  height->Step(1);
  EXPECT_EQ(Shown(Height), "6 ft");
  weight->Step(-1);
  EXPECT_EQ(Shown(Weight), "149 lb");
  EXPECT_EQ(weight->GetPos(), 149);
  PREDICTED_DATA block;
  TypeAndLeave(Name, "Tom Baker");
  sheet.FillPatientData(block);
  EXPECT_EQ(block.Height, 72);
  EXPECT_EQ(block.Weight, 149);
  EXPECT_EQ(block.Unit, 1);
}

}  // namespace
