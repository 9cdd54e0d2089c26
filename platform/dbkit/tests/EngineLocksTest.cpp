// Locks another process sees, locks that die with their holder, and the
// notice of another user's change.

#include "platform/dbkit/tests/EngineTestSupport.h"

#include <csignal>

namespace {

class TEngineLocks : public TEngineTest {
protected:
  void SetUp() override {
    auto names = Table("names.db", TableKind::Names);
    for (const char* name : {"Anna", "Béla"}) {
      PatientRecordType patient = Patient(name, "1");
      ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
    }
  }
  // The names table in a child process, on the row of a patient.
  std::unique_ptr<TEngine> ChildNames(const char* onPatient) {
    auto names = Engine("names.db");
    std::uint32_t cursor = 0;
    if (names->GetTable(cursor) != 0 || names->Search(SearchEqual, 1, std::string(onPatient), 2, std::string("1")) != 0)
      return nullptr;
    return names;
  }
};

TEST_F(TEngineLocks, AnotherProcessSeesTheTableAndRowLocksUntilItsHolderDies) {
  TChild child([this](TChild& self) {
    auto names = ChildNames("Anna");
    if (!names || names->LockTable(1) != 0)
      return 1;
    self.Tell('T');
    if (self.AwaitParent() != 'R')
      return 2;
    names->UnLockTable(1);
    if (names->LockRecord(1) != 0)
      return 3;
    self.Tell('R');
    self.AwaitParent();  // never answered: the parent kills this process
    return 4;
  });
  ASSERT_EQ(child.AwaitChild(), 'T');

  auto names = Table("names.db");
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Anna"), 2, std::string("1")), 0);
  PatientRecordType patient;
  // The table is held: locks and writes are refused, a read without a lock is not.
  EXPECT_EQ(names->LockTable(1), DbResult::TableLocked);
  EXPECT_EQ(names->LockRecord(1), DbResult::TableInUse);
  EXPECT_EQ(names->GetData(patient, dbiREADLOCK), DbResult::TableInUse);
  EXPECT_EQ(names->GetData(patient, dbiNOLOCK), 0);
  EXPECT_EQ(FieldText(patient.Name), "Anna");
  PatientRecordType added = Patient("Cecil", "1");
  EXPECT_EQ(names->AddPatientRecord(added, 1), DbResult::TableInUse);
  EXPECT_EQ(names->DeleteRec(), DbResult::TableInUse);

  child.Answer('R');
  ASSERT_EQ(child.AwaitChild(), 'R');
  // Only Anna's row is held now.
  EXPECT_EQ(names->LockRecord(1), DbResult::RecordLocked);
  EXPECT_EQ(names->GetData(patient, dbiWRITELOCK), DbResult::RecordLocked);
  PatientRecordType changed = Patient("Anna", "1", "1960.01.01.");
  EXPECT_EQ(names->AddPatientRecord(changed, 0), DbResult::RecordLocked);
  EXPECT_EQ(names->DeleteRec(), DbResult::RecordLocked);
  EXPECT_EQ(names->LockTable(1), DbResult::TableLocked);
  EXPECT_EQ(names->AddPatientRecord(added, 1), 0);  // other rows stay free
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Béla"), 2, std::string("1")), 0);
  EXPECT_EQ(names->LockRecord(1), 0);
  EXPECT_EQ(names->UnLockRecord(), 0);

  // The holder crashes: its locks go with it.
  child.Kill();
  EXPECT_EQ(child.Wait(), -SIGKILL);
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Anna"), 2, std::string("1")), 0);
  EXPECT_EQ(names->LockRecord(1), 0);
  EXPECT_EQ(names->AddPatientRecord(changed, 0), 0);
  EXPECT_EQ(names->LockTable(1), 0);
  names->UnLockTable(1);
  names->UnLockRecord();
}

TEST_F(TEngineLocks, TwoEnginesOfOneProcessHoldTheirLocksApart) {
  // The doctors dialog holds its table while the patient sheet's doctor list reads it.
  auto dialog = Table("names.db");
  auto sheet = Table("names.db");
  ASSERT_EQ(dialog->GoTop(), 0);
  ASSERT_EQ(sheet->GoTop(), 0);
  ASSERT_EQ(dialog->LockTable(1), 0);
  PatientRecordType patient;
  EXPECT_EQ(sheet->GetData(patient, dbiWRITELOCK), DbResult::TableInUse);
  EXPECT_EQ(sheet->GetData(patient, dbiNOLOCK), 0);
  EXPECT_EQ(dialog->GetData(patient, dbiWRITELOCK), 0);  // its own lock does not stop it
  PatientRecordType added = Patient("Cecil", "1");
  EXPECT_EQ(dialog->AddPatientRecord(added, 1), 0);
  // Closing the dialog's table frees it, and the sheet's locks outlive the
  // closing of another engine's file.
  std::uint32_t cursor = 1;
  dialog->CloseTable(cursor);
  EXPECT_EQ(sheet->LockRecord(1), 0);
  auto third = Table("names.db");
  ASSERT_EQ(third->GoTop(), 0);
  std::uint32_t thirdCursor = 1;
  third->CloseTable(thirdCursor);
  auto fourth = Table("names.db");
  ASSERT_EQ(fourth->GoTop(), 0);
  EXPECT_EQ(fourth->LockRecord(1), DbResult::RecordLocked);
}

TEST_F(TEngineLocks, AnotherProcessesChangeIsNoticedAndBecomesVisible) {
  auto names = Table("names.db");
  ASSERT_EQ(names->GoBottom(), 0);  // on Béla
  std::vector<short> notices;
  ASSERT_EQ(names->RegisterCallBack(TEngine::CallbackTableChanged, [&](short kind) {
    notices.push_back(kind);
    return static_cast<int>(names->CheckRefresh());
  }), 0);
  EXPECT_EQ(names->SaveBufferToDiskWhenIdle(), 0);
  EXPECT_TRUE(notices.empty());

  // Our own change is no notice for us.
  PatientRecordType own = Patient("Cecil", "1");
  ASSERT_EQ(names->AddPatientRecord(own, 1), 0);
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Béla"), 2, std::string("1")), 0);
  names->SaveBufferToDiskWhenIdle();
  EXPECT_TRUE(notices.empty());

  TChild child([this](TChild& self) {
    auto other = ChildNames("Béla");
    if (!other)
      return 1;
    PatientRecordType added = Patient("Dénes", "1");
    if (other->AddPatientRecord(added, 1) != 0)
      return 2;
    self.Tell('A');
    if (self.AwaitParent() != 'D')
      return 3;
    // Deletes the row the parent stands on.
    if (other->Search(SearchEqual, 1, std::string("Béla"), 2, std::string("1")) != 0 || other->DeleteRec() != 0)
      return 4;
    return 0;
  });
  ASSERT_EQ(child.AwaitChild(), 'A');
  names->SaveBufferToDiskWhenIdle();
  ASSERT_EQ(notices, std::vector<short>{TEngine::CallbackTableChanged});
  names->SaveBufferToDiskWhenIdle();  // once per change
  EXPECT_EQ(notices.size(), 1u);
  long rows = 0;
  names->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 4);

  child.Answer('D');
  ASSERT_EQ(child.Wait(), 0);
  names->SaveBufferToDiskWhenIdle();
  EXPECT_EQ(notices.size(), 2u);
  PatientRecordType patient;
  EXPECT_EQ(names->GetData(patient), DbResult::NoCurrentRow);  // on the gap where Béla was
  ASSERT_EQ(names->GetNextRec(), 0);
  ASSERT_EQ(names->GetData(patient), 0);
  EXPECT_EQ(FieldText(patient.Name), "Cecil");
  names->UnregisterCallBack(TEngine::CallbackTableChanged);
}

TEST_F(TEngineLocks, AnotherEngineOfTheProcessChangingTheTableIsNoticedToo) {
  auto sheet = Table("names.db");
  auto list = Table("names.db");
  int notices = 0;
  sheet->RegisterCallBack(TEngine::CallbackTableChanged, [&](short) { return ++notices, 0; });
  ASSERT_EQ(list->GoTop(), 0);
  ASSERT_EQ(list->DeleteRec(), 0);
  sheet->SaveBufferToDiskWhenIdle();
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(sheet->RegisterCallBack(3, [](short) { return 0; }), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

}  // namespace
