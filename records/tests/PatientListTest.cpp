// The patient list offscreen over a database of 1,000 patients.

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "patients/PatientTransfer.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"
#include "records/window/OwnPrinter.h"
#include "records/window/PatientList.h"
#include "records/window/PatientListPrint.h"
#include "testing/PdfText.h"
#include "testing/Pictures.h"
#include "testing/RecordingSurface.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace {

class PatientListDialog : public ::testing::Test {
protected:
  PatientListDialog() {
    Texts.SetSink(&Sink);
    CreateTestDatabase(Folder.Path(), Folder.Path(), &Texts);
    Names = OpenTestTable(Folder.Path(), "names.db", &Texts);
    auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts);
    auto fvc = OpenTestTable(Folder.Path(), "fvc.db", &Texts);
    Names->BeginTransaction();
    const std::vector<float> values(19, 3.0f), curve(8, 1.0f);
    for (int i = 0; i < 1000; ++i) {
      PatientRecordType patient;
      std::array<char, 32> name{};
      std::snprintf(name.data(), name.size(), "Patient %04d", i);
      SetFieldText(patient.Name, name.data());
      SetFieldText(patient.Id, std::to_string(500000 + i));
      SetFieldText(patient.City[0], "City " + std::to_string(i));
      Names->AddPatientRecord(patient, 1);
      MeetRecordType row;
      row.PatientKey = patient.Key;
      SetFieldText(row.Date, "2026.10.01.");
      SetFieldText(row.Time, "08:00:00");
      row.Flags = MeetFlag::Fvc;
      meet->AddMeetRecord(row, 1);
      fvc->AddSpiroRecord(values, values, values, 19, curve, 8, row.MeetKey, 1);
    }
    Names->CommitTransaction();
    for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
      EXPECT_TRUE(Tables.Open(i, &Texts, Folder.Path().string(), [] {}));
    Names->GoTop();
  }
  ~PatientListDialog() override { Tables.Close(); }

  TPatientList::TSetup ListSetup() {
    TPatientList::TSetup setup;
    setup.Folder = Folder.Path();
    setup.SheetNames = Names.get();
    setup.Index = &Index;
    setup.Tables = [this] { return PatientTransfer::TablesOf(Names.get(), Tables); };
    setup.SetPatientKey = [this](std::int32_t key) { PatientKey = key; };
    setup.ChooseFolder = [this] { return Target.Path(); };
    return setup;
  }
  long Rows(const std::filesystem::path& folder, std::string_view table) {
    long count = -1;
    OpenTestTable(folder, table, &Texts)->GetNumberOfRecords(count);
    return count;
  }

  TTemporaryFolder Folder, Target;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  std::unique_ptr<TEngine> Names;
  TMeasureTables Tables;
  std::int32_t PatientKey = 0;
  TMeasureIndex Index{Tables, [this] { return PatientKey; }};
};

TEST_F(PatientListDialog, DeletesAndCopiesTheChosenPatient) {
  TPatientList list(Texts, ListSetup(), nullptr);
  list.resize(760, 480);
  list.show();
  ASSERT_EQ(list.List()->model()->rowCount(), 1000);
  EXPECT_EQ(list.findChild<QLabel*>("5562")->text(), "1000");
  list.List()->setCurrentIndex(list.List()->model()->index(500, 0));
  EXPECT_EQ(list.findChild<QLabel*>("5568")->text(), "City 500");
  EXPECT_EQ(list.findChild<QLabel*>("5574")->text(), "500500");
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  EXPECT_TRUE(list.grab().save(QString::fromStdString((artifacts / "records-patient-list.png").string())));

  list.CmCopy();
  EXPECT_EQ(Rows(Target.Path(), "names.db"), 1);
  EXPECT_EQ(Rows(Target.Path(), "fvc.db"), 1);
  PatientRecordType copied;
  auto target = OpenTestTable(Target.Path(), "names.db", &Texts);
  ASSERT_EQ(target->GoTop(), 0);
  ASSERT_EQ(target->GetData(copied), 0);
  EXPECT_EQ(FieldText(copied.Name), "Patient 0500");

  Sink.Answer = IDYES;
  list.CmDelete();
  EXPECT_EQ(list.List()->model()->rowCount(), 999);
  EXPECT_EQ(Rows(Folder.Path(), "meet.db"), 999);
  EXPECT_EQ(Rows(Folder.Path(), "fvc.db"), 999);
  EXPECT_EQ(list.List()->currentIndex().row(), 500);
  EXPECT_EQ(list.findChild<QLabel*>("5568")->text(), "City 501");
  ASSERT_EQ(Names->Search(SearchEqual, 1, std::string("Patient 0500"), 2, std::string("500500")), DbResult::NotFound);
}

TEST_F(PatientListDialog, TableHeldByAnotherUserIsNamed) {
  auto other = OpenTestTable(Folder.Path(), "names.db", &Texts);
  ASSERT_EQ(other->LockTable(), 0);
  EXPECT_FALSE(TPatientList::LockForList(*Names, Texts));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find("Names.db"), std::string::npos);
  other->UnLockTable();
  EXPECT_TRUE(TPatientList::LockForList(*Names, Texts));
  Names->UnLockTable();
}

// The printed list from the list's print button: names only or with
// addresses, the whole list or a part, counted by the records a page holds.
TEST_F(PatientListDialog, PrintsTheListNamesOnlyFullAndFromTo) {
  TPatientList list(Texts, ListSetup(), nullptr);
  auto* print = list.findChild<QPushButton*>(QString::number(TPatientList::PrintId));
  ASSERT_NE(print, nullptr);
  EXPECT_TRUE(print->isEnabled());
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  bool ran = false;
  list.PrintRunner = [&](TPatientListPrint& dialog) {
    ran = true;
    dialog.show();
    SavePicture(dialog, "patient-list-print-dialog.png");
    EXPECT_FALSE(dialog.Edit(TPatientListPrint::FromId)->isEnabled());
    TRecordingSurface page({800, 1131});
    // Five lines a patient, 70 lines a page: 14 patients, 1000 / 14 -> 72 pages.
    auto manager = dialog.MakeManager();
    EXPECT_EQ(manager->ListRecords.size(), 1000u);
    EXPECT_EQ(manager->GetPageCount(page, 1131), 72);
    // Names only: 70 a page, 1000 / 70 -> 15 pages.
    dialog.Button(TPatientListPrint::NamesOnlyId)->click();
    EXPECT_EQ(dialog.MakeManager()->GetPageCount(page, 1131), 15);

    // From "Patient 0100" to the first name that begins "Patient 0200".
    dialog.Button(TPatientListPrint::PartId)->click();
    EXPECT_TRUE(dialog.Edit(TPatientListPrint::FromId)->isEnabled());
    dialog.Edit(TPatientListPrint::FromId)->setText("Patient 0100");
    dialog.Edit(TPatientListPrint::ToId)->setText("Patient 0200");
    manager = dialog.MakeManager();
    ASSERT_EQ(manager->ListRecords.size(), 100u);
    EXPECT_EQ(manager->ListRecords.front().Name, "Patient 0100") << "the patient at the start key is printed";
    const short pages = manager->GetPageCount(page, 1131);
    ASSERT_EQ(pages, 2);
    TRecordingSurface second({800, 1131});
    manager->Paint(second, 2, pages);
    const auto texts = second.Texts();
    EXPECT_EQ(texts.front(), "Patient 0170");
    EXPECT_EQ(texts.back(), "- 2 -");
    TOwnPrinter printer(Texts);
    {
      TApxPrintout printout(*manager, "Halvetra");
      ASSERT_TRUE(printer.PrintToFile(printout, artifacts / "patient-list-names.pdf"));
    }
    // Name, address and identifier of ten patients on one page.
    dialog.Button(TPatientListPrint::FullId)->click();
    dialog.Edit(TPatientListPrint::FromId)->setText("Patient 0500");
    dialog.Edit(TPatientListPrint::ToId)->setText("Patient 0510");
    manager = dialog.MakeManager();
    EXPECT_EQ(manager->ListRecords.size(), 10u);
    TApxPrintout printout(*manager, "Halvetra");
    ASSERT_TRUE(printer.PrintToFile(printout, artifacts / "patient-list-full.pdf"));
  };
  print->click();
  EXPECT_TRUE(ran);

  const auto text = [&](const char* name) { return Poppler("pdftotext", artifacts / name); };
  const std::string names = text("patient-list-names.pdf");
  EXPECT_NE(names.find("Patient 0100"), std::string::npos);
  EXPECT_NE(names.find("Patient 0199"), std::string::npos);
  EXPECT_EQ(names.find("Patient 0200"), std::string::npos);
  EXPECT_EQ(names.find("Patient 0099"), std::string::npos);
  const std::string full = text("patient-list-full.pdf");
  EXPECT_NE(full.find("Patient 0505"), std::string::npos);
  EXPECT_NE(full.find("City 505"), std::string::npos);
  EXPECT_NE(full.find("500505"), std::string::npos);
  EXPECT_EQ(full.find("Patient 0510"), std::string::npos);
}

}  // namespace
