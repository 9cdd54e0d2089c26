#include "patients/DoctorInput.h"

#include "patients/DialogParts.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int CaptionText = 263;
constexpr int NameLabel = 264;
constexpr int CodeLabel = 257;
constexpr int AddressLabel = 258;
constexpr int TreatingText = 216;
constexpr int HomeText = 214;
constexpr int ReferringText = 259;

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
      Treating(Named(new QCheckBox(Text(messages, TreatingText), this), TreatingId)),
      Home(Named(new QCheckBox(Text(messages, HomeText), this), HomeId)),
      Referring(Named(new QCheckBox(Text(messages, ReferringText), this), ReferringId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, CaptionText));
  Treating->setChecked(entry.Treating);
  Home->setChecked(entry.Home);
  Referring->setChecked(entry.Referring);
  Address->setMinimumWidth(Address->fontMetrics().averageCharWidth() * 42);

  auto* fields = new QFormLayout;
  fields->addRow(Label(*this, messages, 5513, NameLabel, Name), Name);
  fields->addRow(Label(*this, messages, 5515, CodeLabel, Code), Code);
  fields->addRow(Label(*this, messages, 5517, AddressLabel, Address), Address);
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
  if (!FitsField(Messages, Name, NameLabel, entry.Name, TDoctorEntry::NameWidth) ||
      !FitsField(Messages, Code, CodeLabel, entry.Code, TDoctorEntry::CodeWidth) ||
      !FitsField(Messages, Address, AddressLabel, entry.Address, TDoctorEntry::AddressWidth))
    return;
  Entry = entry;
  QDialog::accept();
}
