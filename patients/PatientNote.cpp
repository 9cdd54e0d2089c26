#include "patients/PatientNote.h"

#include "common/CommandNumbers.h"
#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/AtomicFile.h"
#include "platform/framework/DatePicture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr int ErrorCaption = 0;
constexpr int SaveFailedText = 317;

// The note keeps "\r\n"; the edit holds "\n".
QString FromNote(const std::string& note) {
  QString text = QString::fromStdString(note);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

std::string ToNote(QString text) {
  text.replace(QChar::ParagraphSeparator, '\n');
  text.replace('\n', "\r\n");
  return text.toStdString();
}

}  // namespace

// --- The edit ------------------------------------------------------------------------

TPatientNoteEdit::TPatientNoteEdit(QWidget* parent) : QPlainTextEdit(parent) {
  DialogParts::Named(this, TPatientNote::EditId);
  QFont font("Courier New", 10, QFont::Bold);
  font.setStyleHint(QFont::Monospace);
  setFont(font);
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { KeepToLimit(position, added); });
}

void TPatientNoteEdit::Load(const QString& text) {
  Loading = true;
  setPlainText(text);
  Loading = false;
  document()->setModified(false);
}

void TPatientNoteEdit::KeepToLimit(int position, int added) {
  const int excess = document()->characterCount() - 1 - TextLimit;
  if (Loading || excess <= 0 || added <= 0)
    return;
  const int end = position + added;
  QTextCursor cut(document());
  cut.setPosition(end - std::min(excess, added));
  cut.setPosition(end, QTextCursor::KeepAnchor);
  cut.removeSelectedText();
  QApplication::beep();
}

// --- The window ----------------------------------------------------------------------

TPatientNote::TPatientNote(const TEngine& engine, const TMessage& messages, const std::string& note,
                           TEventHandler* client, QWidget* parent)
    : QWidget(parent), Engine(engine), Messages(messages), Client(client), NoteEdit(new TPatientNoteEdit(this)) {
  setObjectName(QString::number(TemplateId));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(NoteEdit);
  NoteEdit->Load(FromNote(note));
  Modified = false;
  connect(NoteEdit, &QPlainTextEdit::textChanged, this, [this] { CmChangeField(); });
}

const TResponseTable& TPatientNote::ResponseTable() {
  using N = TPatientNote;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&N::CmFileSaveAs>(CM_FILESAVEAS),
      Response::Command<&N::CmDateTime>(CM_DATE_TIME),
      Response::Command<&N::CmEditUndo>(CM_EDITUNDO),
      Response::Command<&N::CmEditCut>(CM_EDITCUT),
      Response::Command<&N::CmEditCopy>(CM_EDITCOPY),
      Response::Command<&N::CmEditPaste>(CM_EDITPASTE),
      Response::Command<&N::CmEditDelete>(CM_EDITDELETE),
      Response::Command<&N::CmEditClear>(CM_EDITCLEAR),
      Response::Enabler<&N::CmEditUndoEnable>(CM_EDITUNDO),
      Response::Enabler<&N::CmSelectionEnable>(CM_EDITCUT),
      Response::Enabler<&N::CmSelectionEnable>(CM_EDITCOPY),
      Response::Enabler<&N::CmEditPasteEnable>(CM_EDITPASTE),
      Response::Enabler<&N::CmSelectionEnable>(CM_EDITDELETE),
      Response::Enabler<&N::CmEditClearEnable>(CM_EDITCLEAR),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TPatientNote::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ClearSelection();
  NoteEdit->setFocus();
}

void TPatientNote::GetNote(std::string& note) const {
  if (NoteEdit->document()->isEmpty()) {
    note.clear();
    return;
  }
  const QTextCursor cursor = NoteEdit->textCursor();
  note += ToNote(cursor.hasSelection() ? cursor.selection().toPlainText() : NoteEdit->toPlainText());
}

bool TPatientNote::IsTextSelected() const { return NoteEdit->textCursor().hasSelection(); }

void TPatientNote::ClearSelection() {
  QTextCursor cursor = NoteEdit->textCursor();
  cursor.setPosition(0);
  NoteEdit->setTextCursor(cursor);
}

bool TPatientNote::CanClose() {
  if (Client)
    SendMessage(Client, WM_COMMAND, CM_NOTE_CLOSED, 0);
  return !std::exchange(KeepOpenOnce, false);
}

void TPatientNote::closeEvent(QCloseEvent* event) {
  if (CanClose())
    event->accept();
  else
    event->ignore();
}

void TPatientNote::CmChangeField() { Modified = NoteEdit->document()->isModified(); }

void TPatientNote::CmDateTime() {
  const QDateTime now = Clock();
  char date[16];
  char time[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", now.date().year(), now.date().month(), now.date().day());
  std::snprintf(time, sizeof time, "%02d%02d%02d", now.time().hour(), now.time().minute(), now.time().second());
  const std::string stamp = DatePicture::Recode(date, "YYYYMMDD", Engine.GetDatePicture()) + ' ' +
                            DatePicture::Recode(time, "HHMMSS", Engine.GetTimePicture()) + '\n';
  NoteEdit->textCursor().insertText(QString::fromStdString(stamp));
}

std::optional<std::string> TPatientNote::AskForFile() {
  if (ChooseFile)
    return ChooseFile();
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({"*.txt", "*.*"});
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void TPatientNote::CmFileSaveAs() {
  const auto file = AskForFile();
  if (!file)
    return;
  std::string error;
  // The old file stays whole when the new one cannot be written.
  if (!AtomicFile::Write(*file, ToNote(NoteEdit->toPlainText()), &error))
    Messages.MessageBoxText(Messages.Format(SaveFailedText, {*file, error}), ErrorCaption, TMessageIcon::Warning);
}

// --- The edit commands ----------------------------------------------------------

void TPatientNote::CmEditUndo() { NoteEdit->undo(); }
void TPatientNote::CmEditCut() { NoteEdit->cut(); }
void TPatientNote::CmEditCopy() { NoteEdit->copy(); }
void TPatientNote::CmEditPaste() { NoteEdit->paste(); }
void TPatientNote::CmEditDelete() { NoteEdit->textCursor().removeSelectedText(); }

void TPatientNote::CmEditClear() {
  // Undoable, as every other edit of the note.
  QTextCursor all(NoteEdit->document());
  all.select(QTextCursor::Document);
  all.removeSelectedText();
}

void TPatientNote::CmEditUndoEnable(TCommandEnabler& ce) { ce.Enable(NoteEdit->document()->isUndoAvailable()); }
void TPatientNote::CmSelectionEnable(TCommandEnabler& ce) { ce.Enable(IsTextSelected()); }
void TPatientNote::CmEditPasteEnable(TCommandEnabler& ce) { ce.Enable(NoteEdit->canPaste()); }
void TPatientNote::CmEditClearEnable(TCommandEnabler& ce) { ce.Enable(!NoteEdit->document()->isEmpty()); }
