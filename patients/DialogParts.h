#pragma once

// What the dialogs of the patient records share: texts from the language
// store, the buttons of a dialog with their ids, the help button that asks
// the main window for the dialog's help page, and the check that a text
// fits the field of the table or record it goes into.

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

class QDialog;
class QLineEdit;
class TMessage;

namespace DialogParts {

// A language text for a control; "&" marks the key of a label or button.
QString Text(const TMessage& messages, int number);
// A language text as a window caption: without "&" and "...".
QString Caption(const TMessage& messages, int number);
// A label with its text, named by its id, giving its key to `buddy`.
QLabel* Label(QWidget& parent, const TMessage& messages, int id, int textNumber, QWidget* buddy = nullptr);

// Names a control by its id.
template <typename TWidget>
TWidget* Named(TWidget* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

// An edit named by its id that takes at most `maxLength` characters,
// showing `text` (cut to that length).
QLineEdit* LineEdit(QWidget& parent, int id, std::size_t maxLength, const std::string& text = {});

// OK (id 1) or Close (id 1, text `closeText`), Cancel (id 2) when asked,
// and Help (id 9), which sends WM_SHOW_HELP with `helpId` to the main
// window. OK and Close run the dialog's accept(), Cancel its reject().
struct TButtons {
  QDialogButtonBox* Box;
  QPushButton* Ok;
  QPushButton* Cancel;  // null without Cancel
  QPushButton* Help;
};
TButtons Buttons(QDialog& dialog, const TMessage& messages, int helpId, bool withCancel, int closeText = 0);

// Sends WM_SHOW_HELP with the help id to the main window of a dialog.
void ShowHelp(const QWidget& dialog, int helpId);

// A text that does not fit a field of `width` bytes is refused with the
// message that names the field by its label, and the edit gets the focus.
bool FitsField(const TMessage& messages, QWidget* edit, int labelText, std::string_view text, std::size_t width);

}  // namespace DialogParts
