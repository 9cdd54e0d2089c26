#include "patients/Institute.h"

#include "patients/DialogParts.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int CaptionText = 94;
constexpr int NameLabel = 95;
constexpr int AddressLabel = 96;

}  // namespace

TInstitute::TInstitute(const TMessage& messages, QWidget* parent, TTInstituteStruct& institute)
    : QDialog(parent),
      Messages(messages),
      Institute(institute),
      Name(LineEdit(*this, NameEditId, TTInstituteStruct::NameSize - 1, institute.Name)),
      Address(LineEdit(*this, AddressEditId, TTInstituteStruct::AddressSize - 1, institute.Address)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, CaptionText));
  Name->setMinimumWidth(Name->fontMetrics().averageCharWidth() * 50);

  auto* fields = new QFormLayout;
  fields->addRow(Label(*this, messages, 5202, NameLabel, Name), Name);
  fields->addRow(Label(*this, messages, 5201, AddressLabel, Address), Address);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(Buttons(*this, messages, HelpId, true).Box);
  CenterOnShow(*this);
}

void TInstitute::accept() {
  const std::string name = Name->text().toStdString();
  const std::string address = Address->text().toStdString();
  if (!FitsField(Messages, Name, NameLabel, name, TTInstituteStruct::NameSize - 1) ||
      !FitsField(Messages, Address, AddressLabel, address, TTInstituteStruct::AddressSize - 1))
    return;
  Institute.Name = name;
  Institute.Address = address;
  QDialog::accept();
}
