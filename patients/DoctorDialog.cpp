#include "patients/DoctorDialog.h"

#include "patients/DialogParts.h"
#include "patients/DoctorTexts.h"
#include "patients/DoctorInput.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int DoctorsCaptionText = 254;
constexpr int DoctorsCloseText = 255;
constexpr int NamesLabel = 256;
constexpr int NewText = 260;
constexpr int ModifyText = 261;
constexpr int DeleteText = 262;
constexpr int DoctorsProgressCaption = 1;
constexpr int DoctorsProgressLine1 = 268;
constexpr int DoctorsProgressLine2 = 269;

// A box that shows a role of the chosen doctor; the roles change through
// the input dialog.
QCheckBox* RoleBox(QWidget& parent, const TMessage& messages, int id, int text) {
  auto* box = Named(new QCheckBox(Text(messages, text), &parent), id);
  box->setAttribute(Qt::WA_TransparentForMouseEvents);
  box->setFocusPolicy(Qt::NoFocus);
  return box;
}

QLineEdit* ShownText(QWidget& parent, int id) {
  auto* edit = Named(new QLineEdit(&parent), id);
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

TDoctor::TDoctor(TMessage& messages, const std::string& folder, const std::string& privateFolder,
                 const std::string& iniFile, const std::string& languageDriver, QWidget* parent)
    : QDialog(parent),
      Messages(messages),
      Doctors(messages, {folder, privateFolder, iniFile, languageDriver}, *this),
      Names(Named(new QListWidget(this), ListId)),
      Code(ShownText(*this, CodeId)),
      Address(ShownText(*this, AddressId)),
      Treating(RoleBox(*this, messages, TreatingId, DoctorTexts::TreatingText)),
      Home(RoleBox(*this, messages, HomeId, DoctorTexts::HomeText)),
      Referring(RoleBox(*this, messages, ReferringId, DoctorTexts::ReferringText)),
      Modify(Named(new QPushButton(Text(messages, ModifyText), this), ModifyId)),
      Delete(Named(new QPushButton(Text(messages, DeleteText), this), DeleteId)),
      Counter(Named(new QLabel(this), CounterId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, DoctorsCaptionText));
  Address->setMinimumWidth(Address->fontMetrics().averageCharWidth() * 42);
  Names->setMinimumHeight(Names->fontMetrics().height() * 10);
  auto* add = Named(new QPushButton(Text(messages, NewText), this), NewId);

  auto* details = new QFormLayout;
  details->addRow(Label(*this, messages, 5502, DoctorTexts::CodeLabel, Code), Code);
  details->addRow(Label(*this, messages, 5504, DoctorTexts::AddressLabel, Address), Address);
  auto* roles = new QVBoxLayout;
  roles->addWidget(Treating);
  roles->addWidget(Home);
  roles->addWidget(Referring);
  auto* edits = new QHBoxLayout;
  edits->addWidget(add);
  edits->addWidget(Modify);
  edits->addWidget(Delete);
  edits->addStretch();
  edits->addWidget(Counter);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label(*this, messages, 5500, NamesLabel, Names));
  layout->addWidget(Names);
  layout->addLayout(details);
  layout->addLayout(roles);
  layout->addLayout(edits);
  const TButtons buttons = Buttons(*this, messages, HelpId, false, DoctorsCloseText);
  Close = buttons.Ok;
  layout->addWidget(buttons.Box);

  connect(Names, &QListWidget::currentRowChanged, this, [this](int row) {
    if (Refreshing)
      return;
    Doctors.ChangeDoctorName(row);
    Refresh();
  });
  connect(add, &QPushButton::clicked, this, [this] { Run(&TDoctorList::AddNewDoctor); });
  connect(Modify, &QPushButton::clicked, this, [this] { Run(&TDoctorList::ModifyDoctor); });
  connect(Delete, &QPushButton::clicked, this, [this] { Run(&TDoctorList::DeleteDoctor); });

  Doctors.OpenDoctorDatabase();
  Refresh();
  CenterOnShow(*this);
}

TDoctor::~TDoctor() = default;

void TDoctor::Run(void (TDoctorList::*operation)()) {
  (Doctors.*operation)();
  Refresh();
  if (Doctors.IsClosing() && isVisible())
    QTimer::singleShot(0, this, &QDialog::reject);
}

void TDoctor::Refresh() {
  Refreshing = true;
  QStringList names;
  for (const std::string& name : Doctors.GetNames())
    names << QString::fromStdString(name);
  QStringList shown;
  for (int i = 0; i < Names->count(); ++i)
    shown << Names->item(i)->text();
  if (names != shown) {
    Names->clear();
    Names->addItems(names);
  }
  Names->setCurrentRow(Doctors.GetSelection());
  Refreshing = false;

  const TDoctorEntry& doctor = Doctors.GetShown();
  Code->setText(QString::fromStdString(doctor.Code));
  Address->setText(QString::fromStdString(doctor.Address));
  Treating->setChecked(doctor.Treating);
  Home->setChecked(doctor.Home);
  Referring->setChecked(doctor.Referring);
  Counter->setText(QString::fromStdString(Doctors.Counter()));
  Modify->setEnabled(Doctors.CanModify());
  Delete->setEnabled(Doctors.CanModify());
  Close->setEnabled(Doctors.CanClose());
}

void TDoctor::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A table that could not be opened ends the dialog once it is up.
  if (Doctors.IsClosing())
    QTimer::singleShot(0, this, &QDialog::reject);
}

void TDoctor::done(int result) {
  if (!Doctors.CanClose())
    return;
  QDialog::done(result);
}

void TDoctor::closeEvent(QCloseEvent* event) {
  if (Doctors.CanClose())
    QDialog::closeEvent(event);
  else
    event->ignore();
}

bool TDoctor::EditDoctor(TDoctorEntry& entry) {
  TDoctorInput input(Messages, this, entry);
  return input.exec() == QDialog::Accepted;
}

void TDoctor::ProgressBegin() {
  Progress = std::make_unique<TWaitingDialog>(Messages.LoadStringA(DoctorsProgressCaption),
                                              Messages.LoadStringA(DoctorsProgressLine1),
                                              Messages.Format(DoctorsProgressLine2, {"Doctor"}), nullptr);
  Progress->Execute();
  Progress->SetStep(1);
}

void TDoctor::ProgressStep() {
  if (Progress)
    Progress->DoOneStep();
}

void TDoctor::ProgressEnd() {
  if (Progress)
    Progress->Destroy(0);
  Progress.reset();
}
