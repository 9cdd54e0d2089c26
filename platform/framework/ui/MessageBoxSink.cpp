#include "platform/framework/ui/MessageBoxSink.h"

#include "platform/framework/WindowMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconOf(TMessageIcon icon) {
  switch (icon) {
  case TMessageIcon::Stop:
    return QMessageBox::Critical;
  case TMessageIcon::Warning:
    return QMessageBox::Warning;
  case TMessageIcon::Question:
    return QMessageBox::Question;
  case TMessageIcon::Information:
    break;
  }
  return QMessageBox::Information;
}

QMessageBox::StandardButton ButtonOf(int answer) {
  switch (answer) {
  case IDCANCEL:
    return QMessageBox::Cancel;
  case IDYES:
    return QMessageBox::Yes;
  case IDNO:
    return QMessageBox::No;
  case IDRETRY:
    return QMessageBox::Retry;
  case IDABORT:
    return QMessageBox::Abort;
  case IDIGNORE:
    return QMessageBox::Ignore;
  default:
    return QMessageBox::Ok;
  }
}

int AnswerOf(int button) {
  switch (button) {
  case QMessageBox::Cancel:
    return IDCANCEL;
  case QMessageBox::Yes:
    return IDYES;
  case QMessageBox::No:
    return IDNO;
  case QMessageBox::Retry:
    return IDRETRY;
  case QMessageBox::Abort:
    return IDABORT;
  case QMessageBox::Ignore:
    return IDIGNORE;
  default:
    return IDOK;
  }
}

}  // namespace

int TMessageBoxSink::Show(const TUserMessage& message) {
  QMessageBox box(IconOf(message.Icon), QString::fromStdString(message.Caption),
                  QString::fromStdString(message.Text), QMessageBox::NoButton, QApplication::activeWindow());
  for (const int answer : ButtonAnswers(message.Buttons))
    box.addButton(ButtonOf(answer));
  // Left to itself the box would make Yes the default: Enter must not
  // answer a question that destroys something.
  box.setDefaultButton(ButtonOf(DefaultAnswer(message)));
  // Closing the box with Esc or its title-bar button answers its escape button.
  return AnswerOf(box.exec());
}
