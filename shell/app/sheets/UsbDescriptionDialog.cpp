#include "shell/app/sheets/UsbDescriptionDialog.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ui/DialogCentring.h"
#include "shell/sheets/UsbDescriptionActions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using DialogParts::Named;

TUSBDescription::TUSBDescription(const TMessage& texts, QWidget* parent, TFtdiProgrammer& programmer)
    : QDialog(parent), Texts(texts), Programmer(programmer), Descriptions(Named(new QComboBox(this), 5630)),
      Stored(DialogParts::LineEdit(*this, 5634, 63)) {
  setObjectName("20158");
  setWindowTitle(DialogParts::Caption(texts, 552));
  Stored->setReadOnly(true);
  for (const std::string& description : UsbDescriptionActions::Offered())
    Descriptions->addItem(QString::fromStdString(description));
  Descriptions->setCurrentIndex(0);

  auto* save = Named(new QPushButton(DialogParts::Text(texts, 549), this), 5632);
  auto* read = Named(new QPushButton(DialogParts::Text(texts, 550), this), 5633);
  auto* form = new QFormLayout;
  auto* chosen = new QHBoxLayout;
  chosen->addWidget(Descriptions, 1);
  chosen->addWidget(save);
  form->addRow(DialogParts::Label(*this, texts, 5631, 548, Descriptions), chosen);
  auto* stored = new QHBoxLayout;
  stored->addWidget(Stored, 1);
  stored->addWidget(read);
  form->addRow(DialogParts::Label(*this, texts, 5635, 551, Stored), stored);
  auto* buttons = new QDialogButtonBox(this);
  auto* close = Named(buttons->addButton(QDialogButtonBox::Close), 2);
  close->setText(DialogParts::Text(texts, 255));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(read, &QPushButton::clicked, this, [this] { Read(); });
  CenterOnShow(*this);
}

void TUSBDescription::Save() {
  const auto outcome = UsbDescriptionActions::Save(Programmer, Descriptions->currentText().toStdString());
  if (!outcome.Ok)
    Texts.MessageBoxText(outcome.Message, 0, TMessageIcon::Stop);
}

void TUSBDescription::Read() {
  const auto outcome = UsbDescriptionActions::Read(Programmer);
  if (outcome.Ok)
    Stored->setText(QString::fromStdString(outcome.Description));
  else
    Texts.MessageBoxText(outcome.Message, 0, TMessageIcon::Stop);
}
