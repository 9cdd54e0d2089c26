// The patient's note in the program: opened from the patient sheet in a
// frame with its own menu, stamped, and stored as the memo of the
// patient's row when it closes and the user wants it.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/PatientControls.h"
#include "patients/PatientNote.h"
#include "platform/framework/WindowMessages.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "testing/Pictures.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTextCursor>

namespace {

class NoteCommands : public TAppFixture {
protected:
  // A database of two patients, Anna with a note of old, and the sheet open on her.
  TPatient& OpenSheet() {
    Start();
    CreateDatabase();
    const auto names = Names();
    for (const char* name : {"Anna Kovacs", "Bela Nagy"}) {
      PatientRecordType patient;
      SetFieldText(patient.Name, name);
      SetFieldText(patient.Id, "1");
      EXPECT_EQ(names->AddPatientRecord(patient, 1), 0);
    }
    EXPECT_EQ(names->Search(SearchEqual, 1, std::string("Anna Kovacs"), 2, std::string("1")), 0);
    EXPECT_EQ(names->SaveBlob("Asthma since 1990.\r\n"), 0);
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    TPatient* sheet = Client().GetPatient();
    EXPECT_NE(sheet, nullptr);
    return *sheet;
  }
  // The memo of a patient's row, as another program reads it.
  std::string Memo(const std::string& name) {
    const auto names = Names();
    EXPECT_EQ(names->Search(SearchEqual, 1, name, 2, std::string("1")), 0) << name;
    std::string memo;
    EXPECT_EQ(names->GetBlob(memo), 0);
    return memo;
  }
  TPatientNote& OpenNote() {
    EXPECT_TRUE(Route(CM_PATIENT_NOTE));
    TPatientNote* note = Client().GetNote();
    EXPECT_NE(note, nullptr);
    note->SetClock([] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)); });
    return *note;
  }
  static void Append(TPatientNote& note, const QString& text) {
    note.Edit().moveCursor(QTextCursor::End);
    note.Edit().insertPlainText(text);
  }
  // The item of the note's menu, merged into the main menu while the note
  // is the active child, as the user picks it.
  QAction* NoteMenuItem(unsigned id) {
    for (QAction* popup : App->GetFrame()->menuBar()->actions())
      if (popup->menu())
        for (QAction* item : popup->menu()->actions())
          if (TCommandActions::CommandOf(item) == id)
            return item;
    return nullptr;
  }
  void CloseNote() {
    Client().GetNoteFrame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The question about a changed note, once; it counts as seen.
  bool AskedToStore() {
    const std::string question = App->GetMessages().LoadStringA(282);
    const auto asked = std::erase_if(Sink.Messages, [&](const TUserMessage& m) { return m.Text == question; });
    return asked == 1;
  }
};

TEST_F(NoteCommands, AStampedNoteIsInTheMemoAfterTheWindowCloses) {
  OpenSheet();
  ASSERT_TRUE(Enabled(CM_PATIENT_NOTE));
  TPatientNote& note = OpenNote();
  THalvetraMDIChild* frame = Client().GetNoteFrame();
  EXPECT_EQ(frame->windowTitle(), "Note");
  const TScreenScale scale = App->GetScale();
  EXPECT_EQ(frame->geometry(), QRect(0, 0, static_cast<int>(748 * scale.X), static_cast<int>(442 * scale.Y)));
  EXPECT_EQ(Client().activeSubWindow(), frame);
  ASSERT_NE(NoteMenuItem(CM_DATE_TIME), nullptr);  // the note's menu joined the main menu
  EXPECT_EQ(note.Edit().toPlainText(), "Asthma since 1990.\n");

  // A second command brings the same window up.
  EXPECT_TRUE(Route(CM_PATIENT_NOTE));
  EXPECT_EQ(Client().GetNote(), &note);
  EXPECT_EQ(Client().subWindowList().size(), 2);

  Append(note, "FEV1 70 % of predicted. ");
  QAction* stamp = NoteMenuItem(CM_DATE_TIME);
  ASSERT_NE(stamp, nullptr);
  EXPECT_EQ(stamp->text().toStdString(), App->GetMessages().LoadStringA(316));
  stamp->trigger();
  EXPECT_EQ(note.Edit().toPlainText(), "Asthma since 1990.\nFEV1 70 % of predicted. 2024.03.05. 07:08:09\n");
  ASSERT_NE(NoteMenuItem(CM_EDITUNDO), nullptr);
  EXPECT_EQ(NoteMenuItem(CM_EDITUNDO)->text().toStdString(), App->GetMessages().LoadStringA(283) + "\tCtrl+Z");
  EXPECT_EQ(Memo("Anna Kovacs"), "Asthma since 1990.\r\n");  // nothing stored yet
  SavePicture(*App->GetFrame(), "main-window-note.png");

  Sink.Answer = IDYES;
  CloseNote();
  EXPECT_TRUE(AskedToStore());
  EXPECT_EQ(Client().GetNote(), nullptr);
  EXPECT_EQ(Memo("Anna Kovacs"), "Asthma since 1990.\r\nFEV1 70 % of predicted. 2024.03.05. 07:08:09\r\n");

  // An unchanged note closes without a question.
  OpenNote();
  CloseNote();
  EXPECT_TRUE(Sink.Messages.empty());

  // No keeps the memo as it was.
  Append(OpenNote(), "Wrong patient!");
  Sink.Answer = IDNO;
  CloseNote();
  EXPECT_TRUE(AskedToStore());
  EXPECT_EQ(Memo("Anna Kovacs"), "Asthma since 1990.\r\nFEV1 70 % of predicted. 2024.03.05. 07:08:09\r\n");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(NoteCommands, MovingToAnotherPatientOrEndingTheProgramOffersToStoreTheNoteFirst) {
  TPatient& sheet = OpenSheet();
  Append(OpenNote(), "Seen again.");
  Sink.Answer = IDYES;
  // The sheet closes the windows of the patient it leaves before it moves.
  sheet.DispatchCommand(CM_PATIENT_NEXT);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(AskedToStore());
  EXPECT_EQ(sheet.GetText(PatientControl::Name), "Bela Nagy");
  EXPECT_EQ(Client().GetNote(), nullptr);
  EXPECT_EQ(Memo("Anna Kovacs"), "Asthma since 1990.\r\nSeen again.");
  EXPECT_EQ(Memo("Bela Nagy"), "");

  Append(OpenNote(), "Cough.");
  EXPECT_TRUE(App->GetFrame()->close());
  EXPECT_TRUE(AskedToStore());
  EXPECT_EQ(Memo("Bela Nagy"), "Cough.");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(NoteCommands, ANoteWhosePatientIsNoLongerShownIsNotStoredWithAnotherAndStaysOpen) {
  TPatient& sheet = OpenSheet();
  TPatientNote& note = OpenNote();
  Append(note, "For Anna.");
  sheet.MoveRec(1);  // a move that did not close the note first
  ASSERT_EQ(sheet.GetText(PatientControl::Name), "Bela Nagy");
  Sink.Answer = IDYES;
  Client().GetNoteFrame()->close();
  EXPECT_TRUE(AskedToStore());
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, App->GetMessages().LoadStringA(6200));
  Sink.Messages.clear();
  EXPECT_EQ(Client().GetNote(), &note);
  EXPECT_TRUE(Client().GetNoteFrame()->isVisible());
  EXPECT_EQ(Memo("Bela Nagy"), "");
  EXPECT_EQ(Memo("Anna Kovacs"), "Asthma since 1990.\r\n");

  // The program does not end over it either, until the user lets it go.
  EXPECT_FALSE(App->GetFrame()->close());
  EXPECT_TRUE(AskedToStore());
  Sink.Messages.clear();
  Sink.Answer = IDNO;
  CloseNote();
  EXPECT_TRUE(AskedToStore());
  EXPECT_EQ(Client().GetNote(), nullptr);
}

}  // namespace
