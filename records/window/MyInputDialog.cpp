#include "records/window/MyInputDialog.h"

#include "platform/basekit/Message.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QLineEdit>

TMyInputDialog::TMyInputDialog(const TMessage& messages, QWidget* parent, const std::string& title,
                               const std::string& prompt, const std::string& text, std::size_t bufferSize)
    : QInputDialog(parent) {
  setWindowTitle(QString::fromStdString(title));
  setLabelText(QString::fromStdString(prompt));
  setInputMode(QInputDialog::TextInput);
  setTextValue(QString::fromStdString(text));
  setCancelButtonText(QString::fromStdString(messages.LoadStringA(87)));
  if (auto* edit = findChild<QLineEdit*>(); edit && bufferSize > 0)
    edit->setMaxLength(static_cast<int>(bufferSize - 1));
  CenterOnShow(*this);
}
