// The client's decisions without its windows: a sheet over a real patient
// table in a temporary folder, and windows that record what they are asked.

#include "shell/client/ClientController.h"

#include "common/CommandNumbers.h"
#include "patients/PatientSheet.h"
#include "patients/PatientTable.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "shell/client/ClientWindows.h"
#include "shell/settings/WorkFiles.h"
#include "testing/ChildProcess.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <memory>

namespace fs = std::filesystem;

namespace {

using namespace PatientControl;

// Frames that close unless told to stay, and a note window of a text.
class TRecordingWindows final : public TClientWindows {
public:
  bool OpenPatientFrame() override {
    Asked.push_back("open patient");
    if (OnOpenPatient)
      OnOpenPatient();
    return static_cast<bool>(OnOpenPatient);
  }
  bool OpenNoteFrame(const std::string& note) override {
    NoteShown = note;
    Asked.push_back("open note");
    return true;
  }
  bool CloseFrame(TClientSlot slot) override {
    Asked.push_back("close " + std::to_string(static_cast<int>(slot)));
    return !Staying.contains(slot);
  }
  void ActivateFrame(TClientSlot slot) override { Asked.push_back("activate " + std::to_string(static_cast<int>(slot))); }
  std::optional<std::string> ChangedNote() override { return NoteEdited; }
  void KeepNoteOpen() override { Asked.push_back("keep note"); }

  std::function<void()> OnOpenPatient;
  std::set<TClientSlot> Staying;
  std::vector<std::string> Asked;
  std::string NoteShown;
  std::optional<std::string> NoteEdited;
};

class ClientController : public ::testing::Test {
protected:
  ClientController() : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang"), Files(Folder.Path()) {
    Texts.SetSink(&Sink);
    Files.MakeTempFileNames(false);
    CreateTestDatabase(Folder / "Common", Folder / "Data", &Texts);
    DoctorRecordType doctor;
    SetFieldText(doctor.Name, "Dr. Weiss");
    doctor.Treating = 1;
    EXPECT_EQ(OpenTestTable(Folder / "Common", "doctor.db", &Texts)->AddDoctorRecord(doctor, 1), 0);
    for (const char* name : {"Anna Kovacs", "Bela Nagy"}) {
      PatientRecordType patient;
      SetFieldText(patient.Name, name);
      SetFieldText(patient.Id, "1");
      SetFieldText(patient.Date[0], "1980.05.20.");
      patient.Height = 165;
      patient.Weight = 60;
      patient.Doctor = doctor.Key;
      EXPECT_EQ(OpenTestTable(Folder / "Data", "names.db", &Texts)->AddPatientRecord(patient, 1), 0);
    }
    Windows.OnOpenPatient = [this] { OpenSheet(); };
  }

  // What the client's frame does: the sheet on its own engine of the table, on its first patient.
  void OpenSheet() {
    Names = OpenTestTable(Folder / "Data", "names.db", &Texts);
    Table = std::make_unique<TPatientTable>(*Names);
    Sheet = std::make_unique<TPatientSheet>(Texts, TPatientSheetSettings{});
    Sheet->SetDatabase(Table.get());
    Control.SheetOpened(*Sheet, *Names);
    Names->GoTop(1);
    Sheet->UpdateDisplay();
    Sheet->FillDoctorTable(Table->OpenDoctorDatabase(&Texts, (Folder / "Common").string(), [] {}).value());
    Sheet->Activate();
  }
  // A file of the working folder's kind, as the program leaves them.
  fs::path Leave(const std::string& name) { return Folder.Write(name, "x"); }
  std::vector<std::string> Shown() const { return Sink.Texts(); }
  void TearDown() override { Sink.ExpectAllTaken(); }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TWorkFiles Files;
  TRecordingWindows Windows;
  TClientController Control{Texts, Windows, Files};
  std::unique_ptr<TEngine> Names;
  std::unique_ptr<TPatientTable> Table;
  std::unique_ptr<TPatientSheet> Sheet;
};

TEST_F(ClientController, TheSheetsClosingClosesEveryTestWindowAndTheWorkFiles) {
  Control.CmOpenPatient();
  ASSERT_TRUE(Control.IsOpen(TClientSlot::Patient));
  for (const TClientSlot slot : {TClientSlot::Measure, TClientSlot::Provocation, TClientSlot::Trend})
    Control.SlotOpened(slot);
  const fs::path work = Leave(Files.WorkFile(0));
  const fs::path stage = Leave(Files.StageFile(0, 0));
  // Stage files stay while the provocation window is open.
  Control.DeleteTempFiles();
  EXPECT_FALSE(fs::exists(work));
  EXPECT_TRUE(fs::exists(stage));

  Windows.Asked.clear();
  Windows.Staying = {TClientSlot::Trend};
  Control.SlotClosed(TClientSlot::Patient);
  EXPECT_EQ(Windows.Asked, (std::vector<std::string>{"close 1", "close 3", "close 4"}));
  EXPECT_FALSE(Control.IsOpen(TClientSlot::Patient));
  EXPECT_FALSE(Control.IsOpen(TClientSlot::Measure));
  EXPECT_FALSE(Control.IsOpen(TClientSlot::Provocation));
  EXPECT_TRUE(Control.IsOpen(TClientSlot::Trend));  // it said no
  EXPECT_EQ(Control.GetSheet(), nullptr);
  EXPECT_FALSE(fs::exists(stage));  // the provocation window went first
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ClientController, ASecondOpenBringsTheSheetUpAndASheetThatFailsLeavesTheSlotEmpty) {
  Control.CmOpenPatient();
  Control.CmOpenPatient();
  EXPECT_EQ(Windows.Asked, (std::vector<std::string>{"open patient", "activate 0"}));

  TRecordingWindows failing;
  TClientController other(Texts, failing, Files);
  other.CmOpenPatient(Folder.Write("Patient.ini", "[Patient]\nName=X\n").string());
  EXPECT_FALSE(other.IsOpen(TClientSlot::Patient));
  EXPECT_TRUE(fs::exists(Folder / "Patient.ini"));  // nothing took it
}

TEST_F(ClientController, TheSheetChangingItsPatientClosesTheTestWindowsAndForgetsTheNotes) {
  Control.CmOpenPatient();
  Control.SlotOpened(TClientSlot::Measure);
  Control.SetNote(1, "after salbutamol");
  Windows.Asked.clear();
  Sheet->CmPatientNext();
  EXPECT_EQ(Windows.Asked, (std::vector<std::string>{"close 1"}));
  EXPECT_EQ(Sheet->GetText(Name), "Bela Nagy");
  EXPECT_EQ(Control.GetNotes()[1], "");
}

TEST_F(ClientController, AHandedOverPatientsFileStaysUntilHisSaveCommits) {
  const fs::path file = Folder.Write("Patient.ini", "[Patient]\nName=BELA NAGY\nID=1\nHeight=181\nWeight=77\n");
  Control.CmOpenPatient(file.string());
  EXPECT_EQ(Sheet->GetText(Name), "Bela Nagy");
  EXPECT_EQ(Sheet->GetText(Height), "181 cm");
  EXPECT_EQ(Sheet->GetText(Weight), "77 kg");
  EXPECT_TRUE(Sheet->IsModified());
  EXPECT_TRUE(fs::exists(file));  // a crash now loses nothing
  EXPECT_EQ(Control.GetPendingHandOver(), file.string());

  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Control.GetPendingHandOver(), "");
  EXPECT_TRUE(Shown().empty());

  // A file that changes nothing of a stored patient goes at once.
  const fs::path same = Folder.Write("Same.ini", "[Patient]\nName=Anna Kovacs\nID=1\n");
  Control.CmOpenPatient(same.string());
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_FALSE(fs::exists(same));
  EXPECT_TRUE(Shown().empty());
}

// Another program holds the patient's row: the sheet shows him read-only
// and takes nothing of the file, so the file, with its new height, stays
// for a later start.
TEST_F(ClientController, AHandOverOntoAPatientHeldElsewhereKeepsItsFile) {
  TChild other([this](TChild& self) {
    auto names = OpenTestTable(Folder / "Data", "names.db", nullptr);
    if (names->Search(SearchEqual, 1, std::string("Bela Nagy"), 2, std::string("1")) != 0 || names->LockRecord() != 0)
      return 1;
    self.Tell('L');
    self.AwaitParent();
    return 0;
  });
  ASSERT_EQ(other.AwaitChild(), 'L');
  const fs::path file = Folder.Write("Patient.ini", "[Patient]\nName=BELA NAGY\nID=1\nHeight=181\n");
  Control.CmOpenPatient(file.string());
  EXPECT_EQ(Sheet->GetText(Name), "Bela Nagy");
  EXPECT_TRUE(Sheet->IsReadOnly());
  EXPECT_FALSE(Sheet->IsModified());
  EXPECT_TRUE(fs::exists(file));
  // One word that the row is held, however often the sheet redrew it.
  EXPECT_EQ(Shown(), (std::vector<std::string>{Texts.Format(111, {"Names.db"})}));
  Sink.Messages.clear();
  other.Answer('Q');
  EXPECT_EQ(other.Wait(), 0);
}

TEST_F(ClientController, EndingWithAnUnsavedHandedOverPatientAsksToSaveHim) {
  const fs::path file =
      Folder.Write("Patient.ini", "[Patient]\nName=Cecil Toth\nID=7\nBorn=1960.1.2\nHeight=171\nWeight=74\n[Institute]\nDoctor=Dr. Weiss\n");
  Control.CmOpenPatient(file.string());
  ASSERT_TRUE(Sheet->IsNewRecord());
  const std::string question = Texts.Format(6210, {file.string()});

  Sink.Answer = IDCANCEL;
  EXPECT_FALSE(Control.CanClose());
  Sink.Answer = IDNO;  // ends without him: the file stays for the next start
  EXPECT_TRUE(Control.CanClose());
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(Shown(), (std::vector<std::string>{question, question}));

  Sink.Messages.clear();
  Sink.Answer = IDYES;
  EXPECT_TRUE(Control.CanClose());
  EXPECT_EQ(Shown(), (std::vector<std::string>{question}));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Sheet->GetText(Name), "Cecil Toth");
  EXPECT_FALSE(Sheet->IsNewRecord());

  // Nothing waits any more: nothing is asked.
  Sink.Messages.clear();
  EXPECT_TRUE(Control.CanClose());
  EXPECT_TRUE(Shown().empty());
}

// A hand-over without a name leaves the sheet's placeholder in the name
// field, and Save disabled. The closing question's Yes is that Save: it
// stores nothing and the program stays open.
TEST_F(ClientController, TheClosingQuestionsYesSavesOnlyWhatSaveWould) {
  const fs::path file = Folder.Write("Patient.ini", "[Patient]\nID=7\nHeight=170\n");
  Control.CmOpenPatient(file.string());
  ASSERT_TRUE(Sheet->IsNewRecord());
  ASSERT_FALSE(Sheet->IsSaveAllowed());
  const long before = [&] {
    long rows = 0;
    OpenTestTable(Folder / "Data", "names.db", &Texts)->GetNumberOfRecords(rows);
    return rows;
  }();
  Sink.Answer = IDYES;
  EXPECT_FALSE(Control.CanClose());
  long after = 0;
  OpenTestTable(Folder / "Data", "names.db", &Texts)->GetNumberOfRecords(after);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(Shown(), (std::vector<std::string>{Texts.Format(6210, {file.string()})}));
  Sink.Messages.clear();
}

TEST_F(ClientController, ANoteIsStoredWithThePatientItWasOpenedForOnly) {
  Control.CmOpenPatient();
  {
    const auto names = OpenTestTable(Folder / "Data", "names.db", &Texts);
    ASSERT_EQ(names->GoTop(1), 0);
    ASSERT_EQ(names->SaveBlob("Asthma."), 0);
  }
  Control.CmPatientNote();
  EXPECT_EQ(Windows.NoteShown, "Asthma.");
  ASSERT_TRUE(Control.IsOpen(TClientSlot::Note));

  // Unchanged: nothing is asked.
  Control.CmNoteClosed();
  EXPECT_TRUE(Shown().empty());

  // The sheet moved on without closing the note: it is not stored with Bela.
  Windows.NoteEdited = "For Anna.";
  Sheet->MoveRec(1);
  Sink.Answer = IDYES;
  Windows.Asked.clear();
  Control.CmNoteClosed();
  EXPECT_EQ(Shown(), (std::vector<std::string>{Texts.LoadStringA(282), Texts.LoadStringA(6200)}));
  EXPECT_EQ(Windows.Asked, (std::vector<std::string>{"keep note"}));

  // Back on Anna it is stored; No stores nothing.
  Sink.Messages.clear();
  Sheet->MoveRec(-1);
  Control.CmNoteClosed();
  EXPECT_EQ(Shown(), (std::vector<std::string>{Texts.LoadStringA(282)}));
  std::string memo;
  ASSERT_EQ(Names->GetBlob(memo), 0);
  EXPECT_EQ(memo, "For Anna.");
  Sink.Messages.clear();
  Sink.Answer = IDNO;
  Windows.NoteEdited = "Never mind.";
  Control.CmNoteClosed();
  ASSERT_EQ(Names->GetBlob(memo), 0);
  EXPECT_EQ(memo, "For Anna.");

  // The program ends only when the note's frame lets it.
  Sink.Messages.clear();
  Windows.Staying = {TClientSlot::Note};
  EXPECT_FALSE(Control.CanClose());
  Windows.Staying.clear();
  EXPECT_TRUE(Control.CanClose());
  EXPECT_FALSE(Control.IsOpen(TClientSlot::Note));
}

}  // namespace
