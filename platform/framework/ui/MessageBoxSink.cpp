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

QMessageBox::StandardButtons ButtonsOf(TMessageButtons buttons) {
  switch (buttons) {
  case TMessageButtons::OkCancel:
    return QMessageBox::Ok | QMessageBox::Cancel;
  case TMessageButtons::YesNo:
    return QMessageBox::Yes | QMessageBox::No;
  case TMessageButtons::YesNoCancel:
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  case TMessageButtons::RetryCancel:
    return QMessageBox::Retry | QMessageBox::Cancel;
  case TMessageButtons::Ok:
    break;
  }
  return QMessageBox::Ok;
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
  default:
    return IDOK;
  }
}

}  // namespace

int TMessageBoxSink::Show(const TUserMessage& message) {
  QMessageBox box(IconOf(message.Icon), QString::fromStdString(message.Caption),
                  QString::fromStdString(message.Text), ButtonsOf(message.Buttons), QApplication::activeWindow());
  // Closing the box with Esc or its title-bar button answers its escape button.
  return AnswerOf(box.exec());
}
