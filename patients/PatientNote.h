#pragma once

// The note window: the patient's free-text note (the memo of his row in
// the patient table) in one edit that fills the window, with commands that
// write the date and time at the caret and save the text to a file, and
// the usual edit commands. The window stores nothing itself: before it
// closes it tells the program (CM_NOTE_CLOSED), which offers to store a
// changed note. Line ends are "\r\n" in the note it is given and gives.

#include "platform/framework/EventHandler.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class TEngine;
class TMessage;

// The note's edit: a fixed-width font, and at most TextLimit characters
// typed or pasted (a longer stored note is shown whole).
class TPatientNoteEdit final : public QPlainTextEdit {
public:
  static constexpr int TextLimit = 60000;
  explicit TPatientNoteEdit(QWidget* parent);

  // Shows a stored note whole, as not modified.
  void Load(const QString& text);

private:
  // Cuts what a change added beyond the limit.
  void KeepToLimit(int position, int added);
  bool Loading = false;
};

class TPatientNote final : public QWidget, public TEventHandler {
public:
  static constexpr int TemplateId = 20157;
  static constexpr int EditId = 5700;

  // `engine` is the patient sheet's: its date and time pictures stamp the
  // note. `client` hears CM_NOTE_CLOSED before the window closes.
  TPatientNote(const TEngine& engine, const TMessage& messages, const std::string& note, TEventHandler* client,
               QWidget* parent = nullptr);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // The whole text, or only the selected part when there is one, appended
  // to `note`.
  void GetNote(std::string& note) const;
  bool IsTextSelected() const;
  // Nothing selected, the caret at the start.
  void ClearSelection();
  // Whether the text changed since the window opened.
  bool IsModified() const { return Modified; }
  // Tells the client, then closes, unless the client asked to keep the
  // window (a changed note it could not store).
  bool CanClose();
  void KeepOpen() { KeepOpenOnce = true; }

  void CmChangeField();
  // Writes today's date and the time, in the database's pictures, and a
  // line end in place of the selection.
  void CmDateTime();
  // Saves the whole text to a file the user chooses.
  void CmFileSaveAs();
  void CmEditUndo();
  void CmEditCut();
  void CmEditCopy();
  void CmEditPaste();
  void CmEditDelete();
  void CmEditClear();
  void CmEditUndoEnable(TCommandEnabler& ce);
  void CmSelectionEnable(TCommandEnabler& ce);
  void CmEditPasteEnable(TCommandEnabler& ce);
  void CmEditClearEnable(TCommandEnabler& ce);

  TPatientNoteEdit& Edit() { return *NoteEdit; }
  // What the stamp and Save as ask of the world; tests give their own.
  void SetClock(std::function<QDateTime()> clock) { Clock = std::move(clock); }
  void SetFileChooser(std::function<std::optional<std::string>()> chooser) { ChooseFile = std::move(chooser); }

protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  std::optional<std::string> AskForFile();

  const TEngine& Engine;
  const TMessage& Messages;
  TEventHandler* Client;
  TPatientNoteEdit* NoteEdit;
  bool Modified = false;
  bool KeepOpenOnce = false;
  std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };
  std::function<std::optional<std::string>()> ChooseFile;
};
