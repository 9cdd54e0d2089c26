#include "patients/DialogParts.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

namespace DialogParts {
namespace {

constexpr int ErrorCaption = 0;
constexpr int CancelText = 87;
constexpr int HelpText = 88;
constexpr int TooLongText = 6001;

// The main window that hears a dialog's help: the window of its parent, or
// the program's main window.
TEventHandler* MainWindowOf(const QWidget& dialog) {
  if (const QWidget* parent = dialog.parentWidget())
    return dynamic_cast<TEventHandler*>(parent->window());
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<QMainWindow*>(widget))
      if (auto* handler = dynamic_cast<TEventHandler*>(widget))
        return handler;
  return nullptr;
}

// A label's text as the message names the field: without its key and colon.
std::string FieldName(const TMessage& messages, int labelText) {
  QString name = Caption(messages, labelText);
  if (name.endsWith(':'))
    name.chop(1);
  return name.toStdString();
}

}  // namespace

QString Text(const TMessage& messages, int number) { return QString::fromStdString(messages.LoadStringA(number)); }

QString Caption(const TMessage& messages, int number) {
  QString caption = Text(messages, number);
  caption.remove('&');
  if (caption.endsWith("..."))
    caption.chop(3);
  return caption;
}

QLabel* Label(QWidget& parent, const TMessage& messages, int id, int textNumber, QWidget* buddy) {
  auto* label = Named(new QLabel(Text(messages, textNumber), &parent), id);
  if (buddy)
    label->setBuddy(buddy);
  return label;
}

QLineEdit* LineEdit(QWidget& parent, int id, std::size_t maxLength, const std::string& text) {
  auto* edit = Named(new QLineEdit(QString::fromStdString(text), &parent), id);
  edit->setMaxLength(static_cast<int>(maxLength));
  return edit;
}

TButtons Buttons(QDialog& dialog, const TMessage& messages, int helpId, bool withCancel, int closeText) {
  auto* box = new QDialogButtonBox(&dialog);
  TButtons buttons{box, nullptr, nullptr, nullptr};
  buttons.Ok = Named(box->addButton(closeText ? QDialogButtonBox::Close : QDialogButtonBox::Ok), 1);
  if (closeText) {
    buttons.Ok->setText(Text(messages, closeText));
    QObject::connect(buttons.Ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  } else {
    buttons.Ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  }
  if (withCancel) {
    buttons.Cancel = Named(box->addButton(QDialogButtonBox::Cancel), 2);
    buttons.Cancel->setText(Text(messages, CancelText));
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  }
  buttons.Help = Named(box->addButton(QDialogButtonBox::Help), 9);
  buttons.Help->setText(Text(messages, HelpText));
  QObject::connect(buttons.Help, &QPushButton::clicked, &dialog, [&dialog, helpId] { ShowHelp(dialog, helpId); });
  return buttons;
}

void ShowHelp(const QWidget& dialog, int helpId) {
  SendMessage(MainWindowOf(dialog), WM_SHOW_HELP, static_cast<TParam1>(helpId), 0);
}

bool FitsField(const TMessage& messages, QWidget* edit, int labelText, std::string_view text, std::size_t width) {
  if (text.size() <= width)
    return true;
  messages.MessageBoxText(messages.Format(TooLongText, {FieldName(messages, labelText), std::to_string(width)}),
                          ErrorCaption, TMessageIcon::Stop);
  if (edit)
    edit->setFocus();
  return false;
}

}  // namespace DialogParts
