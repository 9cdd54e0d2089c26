#include "patients/Institute.h"

#include "patients/DialogParts.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int InstituteCaptionText = 94;
constexpr int InstituteNameLabel = 95;
constexpr int InstituteAddressLabel = 96;

}  // namespace

TInstitute::TInstitute(const TMessage& messages, QWidget* parent, TTInstituteStruct& institute)
    : QDialog(parent),
      Messages(messages),
      Institute(institute),
      Name(LineEdit(*this, NameEditId, TTInstituteStruct::NameSize - 1, institute.Name)),
      Address(LineEdit(*this, AddressEditId, TTInstituteStruct::AddressSize - 1, institute.Address)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, InstituteCaptionText));
  Name->setMinimumWidth(Name->fontMetrics().averageCharWidth() * 50);

  auto* fields = new QFormLayout;
  fields->addRow(Label(*this, messages, 5202, InstituteNameLabel, Name), Name);
  fields->addRow(Label(*this, messages, 5201, InstituteAddressLabel, Address), Address);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(Buttons(*this, messages, HelpId, true).Box);
  CenterOnShow(*this);
}

void TInstitute::accept() {
  const std::string name = Name->text().toStdString();
  const std::string address = Address->text().toStdString();
  if (!FitsField(Messages, Name, InstituteNameLabel, name, TTInstituteStruct::NameSize - 1) ||
      !FitsField(Messages, Address, InstituteAddressLabel, address, TTInstituteStruct::AddressSize - 1))
    return;
  Institute.Name = name;
  Institute.Address = address;
  QDialog::accept();
}
