// The patient search dialog on a real patient table, and the sheet's
// search command around it.

#include "patients/PatientSearch.h"
#include "patients/tests/DialogTesting.h"
#include "patients/tests/PatientDialogFixture.h"

#include "patients/PatientControls.h"
#include "platform/dbkit/Engine.h"
#include "testing/TestDatabase.h"
#include "testing/Pictures.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace {

class PatientSearchDialog : public TDialogTest {
protected:
  PatientSearchDialog() {
    CreateTestDatabase(Folder / "Database", Folder / "Database/Data", &Texts);
    Names = OpenTestTable(Folder / "Database/Data", "names.db", &Texts);
  }
  void AddPatient(const std::string& name, const std::string& id) {
    PatientRecordType patient;
    SetFieldText(patient.Name, name);
    SetFieldText(patient.Id, id);
    ASSERT_EQ(Names->AddPatientRecord(patient, 1), 0) << name;
  }
  // Patients whose identifiers do not follow their names' order.
  void SomePatients() {
    AddPatient("KOVÁCS Anna", "A-7");
    AddPatient("Kovács Béla", "B-2");
    AddPatient("Kovács Csaba", "A-3");
    AddPatient("Nagy Éva", "A-1");
    AddPatient("Szabó Ödön", "N-5");
  }
  std::unique_ptr<TPatientSearch> Open() {
    auto dialog = std::make_unique<TPatientSearch>(Texts, *Names, &Main);
    dialog->show();
    return dialog;
  }
  static std::vector<std::string> Lines(const QWidget& dialog) {
    std::vector<std::string> lines;
    const auto* list = Control<QListWidget>(dialog, TPatientSearch::ResultListId);
    for (int i = 0; i < list->count(); ++i)
      lines.push_back(list->item(i)->text().toStdString());
    return lines;
  }
  static std::string Line(const std::string& name, const std::string& id) {
    return PatientFinder::ResultLine({name, id});
  }
  static bool OkEnabled(const QWidget& dialog) { return Control<QPushButton>(dialog, 1)->isEnabled(); }
  // The name of the first row in the table's active order.
  std::string FirstInOrder() {
    Names->GoTop(1);
    PatientRecordType row;
    Names->GetData(row);
    return FieldText(row.Name);
  }
  std::unique_ptr<TEngine> Names;
};

TEST_F(PatientSearchDialog, ShowsItsTextsCentresAndAsksForItsHelp) {
  auto dialog = Open();
  EXPECT_EQ(dialog->objectName(), "20119");
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Search");
  EXPECT_EQ(Control<QRadioButton>(*dialog, TPatientSearch::NameModeId)->text().toStdString(), "Name and Identifier");
  EXPECT_TRUE(Control<QRadioButton>(*dialog, TPatientSearch::NameModeId)->isChecked());
  EXPECT_EQ(Control<QLabel>(*dialog, TPatientSearch::NameLabelId)->text().toStdString(), Texts.LoadStringA(200));
  EXPECT_EQ(Control<QPushButton>(*dialog, 2)->text().toStdString(), Texts.LoadStringA(255));
  for (const int id : {TPatientSearch::ModeGroupId, TPatientSearch::IdentifierModeId, TPatientSearch::ResultLabelId,
                       TPatientSearch::CountId, TPatientSearch::IdentifierLabelId,
                       TPatientSearch::IdentifierOnlyLabelId})
    EXPECT_NE(Control(*dialog, id), nullptr);
  // Nothing typed, nothing to search or take.
  EXPECT_FALSE(Control<QPushButton>(*dialog, TPatientSearch::SearchId)->isEnabled());
  EXPECT_FALSE(OkEnabled(*dialog));
  EXPECT_EQ(Control<QLineEdit>(*dialog, TPatientSearch::NameId)->maxLength(), 30);
  EXPECT_EQ(Control<QLineEdit>(*dialog, TPatientSearch::IdentifierOnlyId)->maxLength(), 16);

  const QRect frame = dialog->frameGeometry();
  EXPECT_EQ(frame.left(), (Main.frameGeometry().width() - frame.width()) / 2);
  EXPECT_EQ(frame.top(), (Main.frameGeometry().height() - frame.height()) / 2);
  Click(*dialog, 9);
  EXPECT_EQ(Main.HelpIds, std::vector<int>{2111});

  SomePatients();
  Control<QLineEdit>(*dialog, TPatientSearch::NameId)->setText("kov");
  Click(*dialog, TPatientSearch::SearchId);
  SavePicture(*dialog, "patient-search.png");
}

TEST_F(PatientSearchDialog, TypedBeginningsFindPatientsWithoutRegardToCase) {
  SomePatients();
  const struct {
    const char* Case;
    bool IdentifierOnly;
    const char* Name;
    const char* Id;
    std::vector<std::string> Found;  // empty: "Szabó Ödön" alone, taken at once
  } cases[] = {
      {"a name's beginning in other letters", false, "kovács", "",
       {Line("KOVÁCS Anna", "A-7"), Line("Kovács Béla", "B-2"), Line("Kovács Csaba", "A-3")}},
      {"name and identifier: a name between that does not fit is passed over", false, "KOV", "a",
       {Line("KOVÁCS Anna", "A-7"), Line("Kovács Csaba", "A-3")}},
      {"the identifier alone in the name order", false, "", "a-",
       {Line("KOVÁCS Anna", "A-7"), Line("Kovács Csaba", "A-3"), Line("Nagy Éva", "A-1")}},
      {"the identifier-only search in identifier order", true, "", "a-",
       {Line("Nagy Éva", "A-1"), Line("Kovács Csaba", "A-3"), Line("KOVÁCS Anna", "A-7")}},
      {"letters outside the English alphabet", false, "szabó ö", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    auto dialog = Open();
    if (c.IdentifierOnly) {
      Control<QRadioButton>(*dialog, TPatientSearch::IdentifierModeId)->setChecked(true);
      EXPECT_FALSE(Control(*dialog, TPatientSearch::NameId)->isEnabled());
      EXPECT_TRUE(Control(*dialog, TPatientSearch::IdentifierOnlyId)->isEnabled());
      Control<QLineEdit>(*dialog, TPatientSearch::IdentifierOnlyId)->setText(c.Id);
    } else {
      EXPECT_FALSE(Control(*dialog, TPatientSearch::IdentifierOnlyId)->isEnabled());
      Control<QLineEdit>(*dialog, TPatientSearch::NameId)->setText(c.Name);
      Control<QLineEdit>(*dialog, TPatientSearch::IdentifierId)->setText(c.Id);
    }
    Click(*dialog, TPatientSearch::SearchId);
    if (c.Found.empty()) {
      // One patient: chosen, and taken as soon as the events run.
      EXPECT_EQ(Lines(*dialog), std::vector<std::string>{Line("Szabó Ödön", "N-5")});
      EXPECT_TRUE(OkEnabled(*dialog));
      QApplication::processEvents();
      EXPECT_EQ(dialog->result(), QDialog::Accepted);
      PatientRecordType row;
      ASSERT_EQ(Names->GetData(row), 0);
      EXPECT_EQ(FieldText(row.Name), "Szabó Ödön");
      continue;
    }
    EXPECT_EQ(Lines(*dialog), c.Found);
    EXPECT_EQ(Control<QLabel>(*dialog, TPatientSearch::CountId)->text().toStdString(), std::to_string(c.Found.size()));
    EXPECT_FALSE(OkEnabled(*dialog));  // until a line is chosen
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    Control<QListWidget>(*dialog, TPatientSearch::ResultListId)->setCurrentRow(1);
    ASSERT_TRUE(OkEnabled(*dialog));
    Click(*dialog, 1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->GetMode(), PatientFinder::TMode::NameAndIdentifier);
    // The cursor stands on the chosen patient, the table in name order again.
    PatientRecordType row;
    ASSERT_EQ(Names->GetData(row), 0);
    EXPECT_EQ(Line(FieldText(row.Name), FieldText(row.Id)), c.Found[1]);
    EXPECT_EQ(FirstInOrder(), "KOVÁCS Anna");
  }
  EXPECT_EQ(Line("Nagy Éva", "A-1"), "Nagy Éva" + std::string(22, ' ') + std::string(8, ' ') + "A-1" +
                                         std::string(13, ' '));
}

TEST_F(PatientSearchDialog, NothingFoundListsOnlyTheNoneEntryWhichCannotBeTaken) {
  SomePatients();
  auto dialog = Open();
  Control<QLineEdit>(*dialog, TPatientSearch::NameId)->setText("Lakatos");
  Click(*dialog, TPatientSearch::SearchId);
  EXPECT_EQ(Lines(*dialog), std::vector<std::string>{Texts.LoadStringA(224)});
  EXPECT_EQ(Control<QLabel>(*dialog, TPatientSearch::CountId)->text(), "0");
  EXPECT_FALSE(OkEnabled(*dialog));
  dialog->accept();  // Enter cannot take it either
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PatientSearchDialog, APatientDeletedMeanwhileIsNotTakenAndTheUserIsTold) {
  SomePatients();
  auto dialog = Open();
  Control<QLineEdit>(*dialog, TPatientSearch::NameId)->setText("kov");
  Click(*dialog, TPatientSearch::SearchId);
  Control<QListWidget>(*dialog, TPatientSearch::ResultListId)->setCurrentRow(2);
  const auto other = OpenTestTable(Folder / "Database/Data", "names.db", &Texts);
  ASSERT_EQ(other->Search(SearchEqual, 1, std::string("Kovács Csaba"), 2, std::string("A-3")), 0);
  ASSERT_EQ(other->DeleteRec(), 0);
  Click(*dialog, 1);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.LoadStringA(6202));
}

TEST_F(PatientSearchDialog, CancelInTheIdentifierModeLeavesTheTableInNameOrder) {
  SomePatients();
  {
    auto dialog = Open();
    Control<QRadioButton>(*dialog, TPatientSearch::IdentifierModeId)->setChecked(true);
    EXPECT_EQ(FirstInOrder(), "Nagy Éva");  // identifier order while the mode lasts
    Click(*dialog, 2);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
  }
  EXPECT_EQ(FirstInOrder(), "KOVÁCS Anna");
}

TEST_F(PatientSearchDialog, TheFirstHundredAreListedAndTheUserIsToldThereAreMore) {
  for (int i = 0; i <= 100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Patient %03d", i);
    AddPatient(name, "P");
  }
  auto dialog = Open();
  Control<QLineEdit>(*dialog, TPatientSearch::NameId)->setText("patient");
  Click(*dialog, TPatientSearch::SearchId);
  const std::vector<std::string> lines = Lines(*dialog);
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines.back(), Line("Patient 099", "P"));
  EXPECT_EQ(Control<QLabel>(*dialog, TPatientSearch::CountId)->text(), "100");
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(266, {"100"}));
  EXPECT_EQ(messages[0].Caption, Texts.LoadStringA(145));

  // Exactly a hundred say nothing.
  Names->GoBottom(1);
  ASSERT_EQ(Names->DeleteRec(), 0);
  Click(*dialog, TPatientSearch::SearchId);
  EXPECT_EQ(Lines(*dialog).size(), 100u);
  EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace

namespace {

using namespace PatientControl;

TEST_F(PatientDialogTest, TheSheetShowsThePatientFoundOrStaysWhereItWas) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss");
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", doctor);
  AddPatient("Bela Nagy", "B-2", "1970.01.01.", doctor);
  AddPatient("Bela Nemeth", "B-9", "1971.02.02.", doctor);
  Open();
  Command(CM_PATIENT_NEXT);
  ASSERT_EQ(Shown(Name), "Bela Nagy");

  // One patient found: shown at once.
  WhenModal([](QWidget& search) {
    EXPECT_EQ(search.objectName(), "20119");
    search.findChild<QLineEdit*>(QString::number(TPatientSearch::NameId))->setText("ANNA");
    search.findChild<QPushButton*>(QString::number(TPatientSearch::SearchId))->click();
  });
  Command(CM_PATIENT_SEARCH);
  EXPECT_EQ(Shown(Name), "Anna Kovacs");
  EXPECT_EQ(Sheet->GetPatientKey(), Patients()[0].Key);

  // Nothing taken: the sheet stays, and moves on in name order.
  WhenModal([](QWidget& search) {
    search.findChild<QRadioButton*>(QString::number(TPatientSearch::IdentifierModeId))->setChecked(true);
    search.findChild<QLineEdit*>(QString::number(TPatientSearch::IdentifierOnlyId))->setText("b");
    search.findChild<QPushButton*>(QString::number(TPatientSearch::SearchId))->click();
    search.findChild<QListWidget*>(QString::number(TPatientSearch::ResultListId))->setCurrentRow(1);
    search.close();
  });
  Command(CM_PATIENT_SEARCH);
  EXPECT_EQ(Shown(Name), "Anna Kovacs");
  Command(CM_PATIENT_NEXT);
  EXPECT_EQ(Shown(Name), "Bela Nagy");

  // An edit under way is not dropped for a search.
  TypeAndLeave(Height, "180 cm");
  ASSERT_FALSE(Enabled(CM_PATIENT_SEARCH));
  bool opened = false;
  QTimer::singleShot(0, [&opened] {
    if (QWidget* search = QApplication::activeModalWidget()) {
      opened = true;
      search->close();
    }
  });
  Command(CM_PATIENT_SEARCH);
  QApplication::processEvents();
  EXPECT_FALSE(opened);
  EXPECT_EQ(Shown(Height), "180 cm");
  EXPECT_TRUE(Sheet->IsModified());
}

}  // namespace
