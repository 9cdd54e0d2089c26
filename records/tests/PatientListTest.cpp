// The patient list offscreen over a database of 1,000 patients.

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "patients/PatientTransfer.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"
#include "records/PatientList.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <QLabel>
#include <QListView>

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

}  // namespace
