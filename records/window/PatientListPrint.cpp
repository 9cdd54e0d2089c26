#include "records/window/PatientListPrint.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ui/DialogCentring.h"
#include "records/window/OwnPrinter.h"
#include "records/PatientListPrintout.h"

#include <QGridLayout>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Text(const TMessage& texts, int number) { return QString::fromStdString(texts.LoadStringA(number)); }

}  // namespace

TPatientListPrint::TPatientListPrint(const TMessage& texts, QWidget* parent, TEngine& names, TOwnPrinter& printer)
    : QDialog(parent), Texts(texts), Names(names), Printer(printer) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Text(texts, 388).remove('&'));
  auto* layout = new QVBoxLayout(this);
  const auto radio = [&](QWidget* owner, int id, int text) {
    auto* button = new QRadioButton(Text(texts, text), owner);
    button->setObjectName(QString::number(id));
    return button;
  };
  auto* content = new QGroupBox(Text(texts, 402), this);
  content->setObjectName(QString::number(ContentGroupId));
  auto* contentLayout = new QVBoxLayout(content);
  QRadioButton* full = radio(content, FullId, 411);
  contentLayout->addWidget(full);
  contentLayout->addWidget(radio(content, NamesOnlyId, 410));
  full->setChecked(true);
  layout->addWidget(content);

  auto* range = new QGroupBox(Text(texts, 412), this);
  range->setObjectName(QString::number(RangeGroupId));
  auto* rangeLayout = new QGridLayout(range);
  QRadioButton* whole = radio(range, WholeId, 413);
  QRadioButton* part = radio(range, PartId, 414);
  whole->setChecked(true);
  rangeLayout->addWidget(whole, 0, 0, 1, 2);
  rangeLayout->addWidget(part, 1, 0, 1, 2);
  const auto edit = [&](int labelId, int text, int editId, int row) {
    auto* label = new QLabel(Text(texts, text), range);
    label->setObjectName(QString::number(labelId));
    auto* line = new QLineEdit(range);
    line->setObjectName(QString::number(editId));
    line->setMaxLength(KeyLength + 1);
    label->setBuddy(line);
    rangeLayout->addWidget(label, row, 0);
    rangeLayout->addWidget(line, row, 1);
  };
  edit(FromLabelId, 314, FromId, 2);
  edit(ToLabelId, 387, ToId, 3);
  layout->addWidget(range);
  connect(whole, &QRadioButton::clicked, this, [this] { ChooseRange(false); });
  connect(part, &QRadioButton::clicked, this, [this] { ChooseRange(true); });
  ChooseRange(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(texts, 255).remove('&'));
  buttons->button(QDialogButtonBox::Help)->setObjectName("9");
  buttons->button(QDialogButtonBox::Help)->setText(Text(texts, 88));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { DialogParts::ShowHelp(*this, HelpId); });
  layout->addWidget(buttons);
  CenterOnShow(*this);

  Print = [this](TPrintManager& manager) {
    TApxPrintout printout(manager, "Halvetra");
    return Printer.Print(this, printout, true);
  };
}

QRadioButton* TPatientListPrint::Button(int id) const { return findChild<QRadioButton*>(QString::number(id)); }

QLineEdit* TPatientListPrint::Edit(int id) const { return findChild<QLineEdit*>(QString::number(id)); }

void TPatientListPrint::ChooseRange(bool part) {
  for (int id : {FromLabelId, ToLabelId, FromId, ToId})
    if (auto* widget = findChild<QWidget*>(QString::number(id)))
      widget->setEnabled(part);
}

std::unique_ptr<TPrintManager> TPatientListPrint::MakeManager() const {
  const bool part = Button(PartId)->isChecked();
  const std::string from = part ? Edit(FromId)->text().left(KeyLength).toStdString() : std::string();
  const std::string to = part ? Edit(ToId)->text().left(KeyLength).toStdString() : std::string();
  auto header = std::make_unique<TPrintHeader>(&Texts, 1.0f, 1.0f, "", PREDICTED_DATA{});
  auto manager = std::make_unique<TPrintManager>(Texts, std::move(header), TPrintManager::TKind::List);
  manager->NamesOnly = Button(NamesOnlyId)->isChecked();
  manager->ListRecords = PatientListPrintout::Read(Names, from, to);
  return manager;
}

void TPatientListPrint::accept() {
  const std::unique_ptr<TPrintManager> manager = MakeManager();
  if (Print)
    Print(*manager);
  QDialog::accept();
}
