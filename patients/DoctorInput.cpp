#include "patients/DoctorInput.h"

#include "patients/DialogParts.h"
#include "patients/DoctorTexts.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int DoctorInputCaptionText = 263;
constexpr int DoctorNameLabel = 264;

}  // namespace

TDoctorInput::TDoctorInput(const TMessage& messages, QWidget* parent, TDoctorEntry& entry)
    : QDialog(parent),
      Messages(messages),
      Entry(entry),
      // Letters outside the English alphabet take more than one byte; the
      // check on OK counts the bytes.
      Name(LineEdit(*this, NameId, TDoctorEntry::NameWidth, entry.Name)),
      Code(LineEdit(*this, CodeId, TDoctorEntry::CodeWidth, entry.Code)),
      Address(LineEdit(*this, AddressId, TDoctorEntry::AddressWidth, entry.Address)),
      Treating(Named(new QCheckBox(Text(messages, DoctorTexts::TreatingText), this), TreatingId)),
      Home(Named(new QCheckBox(Text(messages, DoctorTexts::HomeText), this), HomeId)),
      Referring(Named(new QCheckBox(Text(messages, DoctorTexts::ReferringText), this), ReferringId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, DoctorInputCaptionText));
  Treating->setChecked(entry.Treating);
  Home->setChecked(entry.Home);
  Referring->setChecked(entry.Referring);
  Address->setMinimumWidth(Address->fontMetrics().averageCharWidth() * 42);

  auto* fields = new QFormLayout;
  fields->addRow(Label(*this, messages, 5513, DoctorNameLabel, Name), Name);
  fields->addRow(Label(*this, messages, 5515, DoctorTexts::CodeLabel, Code), Code);
  fields->addRow(Label(*this, messages, 5517, DoctorTexts::AddressLabel, Address), Address);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(Treating);
  layout->addWidget(Home);
  layout->addWidget(Referring);
  Ok = Buttons(*this, messages, HelpId, true).Ok;
  layout->addWidget(Ok->parentWidget());

  const auto enableOk = [this] { Ok->setEnabled(Current().IsComplete()); };
  for (QLineEdit* edit : {Name, Code, Address})
    connect(edit, &QLineEdit::textChanged, this, enableOk);
  for (QCheckBox* box : {Treating, Home, Referring})
    connect(box, &QCheckBox::toggled, this, enableOk);
  enableOk();
  CenterOnShow(*this);
}

TDoctorEntry TDoctorInput::Current() const {
  TDoctorEntry entry;
  entry.Name = Name->text().toStdString();
  entry.Code = Code->text().toStdString();
  entry.Address = Address->text().toStdString();
  entry.Treating = Treating->isChecked();
  entry.Home = Home->isChecked();
  entry.Referring = Referring->isChecked();
  return entry;
}

void TDoctorInput::accept() {
  const TDoctorEntry entry = Current();
  if (!entry.IsComplete())
    return;
  // A text is never cut to fit: that would change a name.
  if (!FitsField(Messages, Name, DoctorNameLabel, entry.Name, TDoctorEntry::NameWidth) ||
      !FitsField(Messages, Code, DoctorTexts::CodeLabel, entry.Code, TDoctorEntry::CodeWidth) ||
      !FitsField(Messages, Address, DoctorTexts::AddressLabel, entry.Address, TDoctorEntry::AddressWidth))
    return;
  Entry = entry;
  QDialog::accept();
}
