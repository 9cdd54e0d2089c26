// The note window on its own: the text it gives, the date and time stamp,
// Save as, the edit commands and closing.

#include "patients/PatientNote.h"
#include "patients/tests/DialogTesting.h"

#include "platform/dbkit/Engine.h"

#include <QTextCursor>

namespace fs = std::filesystem;

namespace {

// Stands for the program's client: records the closing command.
class TNoteClient final : public TEventHandler {
public:
  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {
        Response::Command<&TNoteClient::CmNoteClosed>(CM_NOTE_CLOSED),
    };
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }
  void CmNoteClosed() { ++Closed; }
  int Closed = 0;
};

class PatientNoteTest : public TDialogTest {
protected:
  std::unique_ptr<TPatientNote> Open(const std::string& note) {
    auto window = std::make_unique<TPatientNote>(Engine, Texts, note, &Client);
    window->SetClock([] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)); });
    window->show();
    return window;
  }
  static void Select(TPatientNote& note, int from, int to) {
    QTextCursor cursor = note.Edit().textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    note.Edit().setTextCursor(cursor);
  }
  static std::string Note(const TPatientNote& note) {
    std::string text;
    note.GetNote(text);
    return text;
  }
  static bool Enabled(TPatientNote& note, unsigned id) {
    TCommandEnabler enabler(id);
    EXPECT_TRUE(note.DispatchEnable(enabler)) << id;
    return enabler.GetEnabled();
  }
  TEngine Engine;
  TNoteClient Client;
};

TEST_F(PatientNoteTest, GivesTheSelectionOrTheWholeTextWithItsLineEnds) {
  auto note = Open("Asthma since 1990.\r\nNo smoking.");
  EXPECT_FALSE(note->IsModified());
  EXPECT_FALSE(note->IsTextSelected());
  EXPECT_EQ(Note(*note), "Asthma since 1990.\r\nNo smoking.");
  Select(*note, 7, 24);
  EXPECT_TRUE(note->IsTextSelected());
  EXPECT_EQ(Note(*note), "since 1990.\r\nNo sm");
  note->ClearSelection();
  EXPECT_FALSE(note->IsTextSelected());
  EXPECT_EQ(note->Edit().textCursor().position(), 0);
  EXPECT_EQ(Note(*note), "Asthma since 1990.\r\nNo smoking.");

  std::string given = "left over";
  note->DispatchCommand(CM_EDITCLEAR);
  note->GetNote(given);
  EXPECT_EQ(given, "");
  EXPECT_TRUE(note->IsModified());
}

TEST_F(PatientNoteTest, TheStampTakesThePlaceOfTheSelectionInTheDatabasesPictures) {
  Engine.SetDatePicture("DD/MM/YYYY");
  Engine.SetTimePicture("HH:MM");
  auto note = Open("Visit: (date)\r\nFEV1 low.");
  Select(*note, 7, 13);
  ASSERT_TRUE(Enabled(*note, CM_EDITCUT));
  ASSERT_TRUE(note->DispatchCommand(CM_DATE_TIME));
  note->ClearSelection();
  EXPECT_EQ(Note(*note), "Visit: 05/03/2024 07:08\r\n\r\nFEV1 low.");
  EXPECT_TRUE(note->IsModified());

  Engine.SetDatePicture("YYYY.MM.DD.");
  Engine.SetTimePicture("HH:MM:SS");
  note->Edit().moveCursor(QTextCursor::End);
  note->CmDateTime();
  EXPECT_EQ(Note(*note), "Visit: 05/03/2024 07:08\r\n\r\nFEV1 low.2024.03.05. 07:08:09\r\n");
}

TEST_F(PatientNoteTest, SaveAsWritesTheWholeTextOrSaysWhyItCannot) {
  auto note = Open("");
  const fs::path empty = Folder / "empty.txt";
  note->SetFileChooser([&] { return empty.string(); });
  note->CmFileSaveAs();
  ASSERT_TRUE(fs::exists(empty));
  EXPECT_EQ(fs::file_size(empty), 0u);

  note->Edit().setPlainText("Ödön\nSzabó");
  Select(*note, 0, 2);  // a selection does not shorten the file
  const fs::path text = Folder / "note.txt";
  note->SetFileChooser([&] { return text.string(); });
  ASSERT_TRUE(note->DispatchCommand(CM_FILESAVEAS));
  EXPECT_EQ(TTemporaryFolder::Read(text), "Ödön\r\nSzabó");

  const fs::path nowhere = Folder / "missing/note.txt";
  note->SetFileChooser([&] { return nowhere.string(); });
  note->CmFileSaveAs();
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].Text.find(nowhere.string()), std::string::npos) << messages[0].Text;
  EXPECT_EQ(messages[0].Icon, TMessageIcon::Warning);
  EXPECT_FALSE(fs::exists(nowhere));

  note->SetFileChooser([] { return std::nullopt; });  // the user cancels
  note->CmFileSaveAs();
  EXPECT_EQ(TTemporaryFolder::Read(text), "Ödön\r\nSzabó");
}

TEST_F(PatientNoteTest, TheEditCommandsWorkOnTheNoteAndClearingCanBeUndone) {
  auto note = Open("Dyspnoea on exertion.");
  EXPECT_FALSE(Enabled(*note, CM_EDITCOPY));
  EXPECT_FALSE(Enabled(*note, CM_EDITDELETE));
  EXPECT_FALSE(Enabled(*note, CM_EDITUNDO));
  EXPECT_TRUE(Enabled(*note, CM_EDITCLEAR));
  Select(*note, 0, 9);
  EXPECT_TRUE(Enabled(*note, CM_EDITDELETE));
  note->DispatchCommand(CM_EDITDELETE);
  EXPECT_EQ(Note(*note), "on exertion.");
  note->DispatchCommand(CM_EDITCLEAR);
  EXPECT_EQ(Note(*note), "");
  EXPECT_FALSE(Enabled(*note, CM_EDITCLEAR));
  ASSERT_TRUE(Enabled(*note, CM_EDITUNDO));
  note->DispatchCommand(CM_EDITUNDO);
  EXPECT_EQ(Note(*note), "on exertion.");
}

TEST_F(PatientNoteTest, TypingStopsAtTheLimitButAStoredNoteIsShownWhole) {
  // Lines of 50 characters and their line end.
  const auto lines = [](int count, char letter) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += std::string(50, letter) + "\r\n";
    return text;
  };
  const std::string stored = lines(1200, 'x');  // 61,200 characters in the edit
  auto note = Open(stored);
  EXPECT_EQ(Note(*note), stored);
  EXPECT_FALSE(note->IsModified());

  note->DispatchCommand(CM_EDITCLEAR);
  const std::string typed = lines(1176, 'a');  // 59,976 characters
  note->Edit().insertPlainText(QString::fromStdString(typed));
  note->Edit().insertPlainText("0123456789012345678901234567890123456789");
  EXPECT_EQ(Note(*note), typed + "012345678901234567890123");
}

TEST_F(PatientNoteTest, ClosingTellsTheClientFirstAndAlwaysClosesUnlessItIsAskedToStay) {
  auto note = Open("x");
  note->KeepOpen();
  EXPECT_FALSE(note->close());
  EXPECT_EQ(Client.Closed, 1);
  EXPECT_TRUE(note->isVisible());
  EXPECT_TRUE(note->close());
  EXPECT_EQ(Client.Closed, 2);
  EXPECT_FALSE(note->isVisible());
}

}  // namespace
