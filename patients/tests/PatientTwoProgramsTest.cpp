// The sheet on a real patient table while another program uses the same
// folder: the other program is a child process, whose locks and rows are
// seen as another workstation's.

#include "common/CommandNumbers.h"
#include "patients/PatientSheet.h"
#include "patients/PatientTable.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "testing/ChildProcess.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

namespace fs = std::filesystem;

namespace {

using namespace PatientControl;

class PatientTwoPrograms : public ::testing::Test {
protected:
  PatientTwoPrograms() : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
    CreateTestDatabase(Folder / "Common", Folder / "Data", &Texts);
    DoctorRecordType doctor;
    SetFieldText(doctor.Name, "Dr. Weiss");
    doctor.Treating = 1;
    EXPECT_EQ(OpenTestTable(Folder / "Common", "doctor.db", &Texts)->AddDoctorRecord(doctor, 1), 0);
    PatientRecordType anna = Row("Anna Kovacs", "1");
    anna.Doctor = doctor.Key;
    EXPECT_EQ(OpenTestTable(Folder / "Data", "names.db", &Texts)->AddPatientRecord(anna, 1), 0);

    Names = OpenTestTable(Folder / "Data", "names.db", &Texts);
    Table = std::make_unique<TPatientTable>(*Names);
    Sheet = std::make_unique<TPatientSheet>(Texts, TPatientSheetSettings{});
    Sheet->SetDatabase(Table.get());
    Names->GoTop(1);
    Sheet->UpdateDisplay();
    Sheet->FillDoctorTable(Table->OpenDoctorDatabase(&Texts, (Folder / "Common").string(), [] {}).value());
    Sheet->Activate();
  }

  static PatientRecordType Row(const char* name, const char* id) {
    PatientRecordType patient;
    SetFieldText(patient.Name, name);
    SetFieldText(patient.Id, id);
    SetFieldText(patient.Date[0], "1980.05.20.");
    patient.Height = 165;
    patient.Weight = 60;
    return patient;
  }
  // The other program rewrites Anna's row: 0 when its write was refused
  // because the row is held, 1 when it was written, 2 on any other answer.
  int OtherRewritesAnna() {
    TChild other([this](TChild&) {
      const auto names = OpenTestTable(Folder / "Data", "names.db", nullptr);
      if (names->Search(SearchEqual, 1, std::string("Anna Kovacs"), 2, std::string("1")) != 0)
        return 3;
      PatientRecordType changed = Row("Anna Kovacs", "1");
      SetFieldText(changed.Occupation, "changed elsewhere");
      const short result = names->AddPatientRecord(changed, 0);
      return result == DbResult::RecordLocked ? 0 : result == 0 ? 1 : 2;
    });
    return other.Wait();
  }
  void Type(int controlId, const std::string& text) {
    Sheet->EditChanged(controlId, text);
    Sheet->EvKillFocus(controlId);
  }
  std::vector<std::string> Shown() const { return Sink.Texts(); }
  void TearDown() override { Sink.ExpectAllTaken(); }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  std::unique_ptr<TEngine> Names;
  std::unique_ptr<TPatientTable> Table;
  std::unique_ptr<TPatientSheet> Sheet;
};

TEST_F(PatientTwoPrograms, ARefusedSaveKeepsTheRowFromTheOtherProgramUntilTheSaveCommits) {
  Type(Occupation, "Miner");
  ASSERT_TRUE(Sheet->IsModified());
  EXPECT_EQ(OtherRewritesAnna(), 0);

  // Longer than the table holds: refused, the edit stays open and the row ours.
  Sheet->EditChanged(Occupation, std::string(30, 'x'));
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  Sink.Messages.clear();
  EXPECT_TRUE(Sheet->IsModified());
  EXPECT_EQ(OtherRewritesAnna(), 0);

  Type(Occupation, "Miner");
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(OtherRewritesAnna(), 1);
}

TEST_F(PatientTwoPrograms, ASaveOfAPatientTheOtherProgramStoredFirstSaysWhyAndOffersHim) {
  Sheet->DispatchCommand(CM_PATIENT_NEW);
  Type(Name, "Cecil Toth");
  Type(Identifier, "7");
  Type(Date, "1960.01.02.");
  Type(Height, "171");
  Type(Weight, "74");
  ASSERT_TRUE(Sheet->IsSaveAllowed());
  TChild first([this](TChild&) {
    PatientRecordType cecil = Row("Cecil Toth", "7");
    SetFieldText(cecil.Occupation, "stored first");
    return OpenTestTable(Folder / "Data", "names.db", nullptr)->AddPatientRecord(cecil, 1);
  });
  ASSERT_EQ(first.Wait(), 0);

  const std::string offer = Texts.Format(6211, {"Cecil Toth", "7"});
  Sink.Answer = IDNO;
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  EXPECT_EQ(Shown(), std::vector<std::string>{offer});
  EXPECT_TRUE(Sheet->IsNewRecord());  // the user may change the identifier
  EXPECT_TRUE(Sheet->IsModified());

  Sink.Messages.clear();
  Sink.Answer = IDYES;
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  EXPECT_TRUE(Sink.Take(offer));
  EXPECT_FALSE(Sheet->IsNewRecord());
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_EQ(Sheet->GetText(Name), "Cecil Toth");
  EXPECT_EQ(Sheet->GetText(Occupation), "stored first");
}

TEST_F(PatientTwoPrograms, TheOtherProgramsDoctorsDialogDoesNotAnswerASuccessfulSave) {
  TChild doctors([this](TChild& self) {
    const auto table = OpenTestTable(Folder / "Common", "doctor.db", nullptr);
    if (table->LockTable(1) != 0)
      return 1;
    self.Tell('D');
    self.AwaitParent();
    return 0;
  });
  ASSERT_EQ(doctors.AwaitChild(), 'D');
  Type(Occupation, "Miner");
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(Sheet->IsEnabled(TreatingDoctor));  // until the other program is done
  doctors.Answer('E');
  EXPECT_EQ(doctors.Wait(), 0);
}

}  // namespace
