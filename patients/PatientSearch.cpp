#include "patients/PatientSearch.h"

#include "patients/DialogParts.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/ui/WaitCursor.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace DialogParts;
using PatientFinder::TMode;

namespace {

constexpr int SearchCaptionText = 242;
constexpr int NameText = 200;
constexpr int IdentifierText = 218;
constexpr int NoneText = 224;
constexpr int SearchCloseText = 255;
constexpr int SearchText = 273;
constexpr int ResultText = 274;
constexpr int ModeText = 275;
constexpr int AndText = 276;
constexpr int SearchProgressCaption = 1;
constexpr int SearchProgressLine1 = 268;
constexpr int SearchProgressLine2 = 269;
constexpr int LimitText = 266;
constexpr int WarningCaption = 145;
constexpr short GaugeFull = 100;
constexpr int InformationCaption = 1;
constexpr int GoneText = 6202;

// The name and identifier of a listed patient, kept beside the line.
constexpr int NameRole = Qt::UserRole;
constexpr int IdentifierRole = Qt::UserRole + 1;

}  // namespace

TPatientSearch::TPatientSearch(const TMessage& messages, TEngine& names, QWidget* parent)
    : QDialog(parent),
      Messages(messages),
      Names(names),
      NameMode(Named(new QRadioButton(this), NameModeId)),
      IdentifierMode(Named(new QRadioButton(Text(messages, IdentifierText), this), IdentifierModeId)),
      Name(LineEdit(*this, NameId, 30)),
      Identifier(LineEdit(*this, IdentifierId, 16)),
      IdentifierOnly(LineEdit(*this, IdentifierOnlyId, 16)),
      NameLabel(Label(*this, messages, NameLabelId, NameText, Name)),
      IdentifierLabel(Label(*this, messages, IdentifierLabelId, IdentifierText, Identifier)),
      IdentifierOnlyLabel(Label(*this, messages, IdentifierOnlyLabelId, IdentifierText, IdentifierOnly)),
      Results(Named(new QListWidget(this), ResultListId)),
      Count(Named(new QLabel(this), CountId)),
      Search(Named(new QPushButton(Text(messages, SearchText), this), SearchId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, SearchCaptionText));
  NameMode->setText(Caption(messages, NameText) + ' ' + Caption(messages, AndText) + ' ' +
                    Caption(messages, IdentifierText));

  // A fixed-width font, so that names and identifiers stand in columns.
  QFont font("Courier New", 8, QFont::Bold);
  font.setStyleHint(QFont::Monospace);
  Results->setFont(font);
  Results->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QString(56, 'M')) + 24);
  Results->setMinimumHeight(QFontMetrics(font).height() * 12);

  auto* group = Named(new QGroupBox(Text(messages, ModeText), this), ModeGroupId);
  auto* modes = new QHBoxLayout(group);
  modes->addWidget(NameMode);
  modes->addWidget(IdentifierMode);
  modes->addStretch();

  auto* fields = new QGridLayout;
  fields->addWidget(NameLabel, 0, 0);
  fields->addWidget(Name, 0, 1);
  fields->addWidget(IdentifierLabel, 0, 2);
  fields->addWidget(Identifier, 0, 3);
  fields->addWidget(IdentifierOnlyLabel, 1, 2);
  fields->addWidget(IdentifierOnly, 1, 3);
  fields->addWidget(Search, 1, 4);
  fields->setColumnStretch(1, 2);
  fields->setColumnStretch(3, 1);

  auto* resultHead = new QHBoxLayout;
  resultHead->addWidget(Label(*this, messages, ResultLabelId, ResultText, Results));
  resultHead->addStretch();
  resultHead->addWidget(Count);

  const TButtons buttons = Buttons(*this, messages, HelpId, true);
  Ok = buttons.Ok;
  buttons.Cancel->setText(Text(messages, SearchCloseText));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(fields);
  layout->addLayout(resultHead);
  layout->addWidget(Results);
  layout->addWidget(buttons.Box);

  for (QLineEdit* edit : {Name, Identifier, IdentifierOnly})
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(Results, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
  connect(Search, &QPushButton::clicked, this, [this] { CmSearch(); });
  connect(NameMode, &QRadioButton::toggled, this, [this] { CmChangeFieldStatus(); });

  NameMode->setChecked(true);
  UpdateButtons();
  CenterOnShow(*this);
}

TPatientSearch::~TPatientSearch() {
  if (Mode == TMode::IdentifierOnly)
    Names.SetIndex(PatientFinder::OrderOf(TMode::NameAndIdentifier));
}

void TPatientSearch::CmChangeFieldStatus() {
  const bool byName = NameMode->isChecked();
  Mode = byName ? TMode::NameAndIdentifier : TMode::IdentifierOnly;
  Names.SetIndex(PatientFinder::OrderOf(Mode));
  for (QWidget* control : std::initializer_list<QWidget*>{NameLabel, Name, IdentifierLabel, Identifier})
    control->setEnabled(byName);
  for (QWidget* control : std::initializer_list<QWidget*>{IdentifierOnlyLabel, IdentifierOnly})
    control->setEnabled(!byName);
  (byName ? Name : IdentifierOnly)->setFocus();
}

bool TPatientSearch::PatientChosen() const {
  const QListWidgetItem* line = Results->currentItem();
  return line && Results->currentRow() >= 0 && !line->data(NameRole).isNull();
}

void TPatientSearch::UpdateButtons() {
  const bool searchPossible = !Name->text().isEmpty() || !Identifier->text().isEmpty() ||
                              !IdentifierOnly->text().isEmpty();
  Search->setEnabled(searchPossible);
  const bool chosen = PatientChosen();
  Ok->setEnabled(chosen);
  // Enter searches until there is a patient to take.
  Ok->setDefault(chosen);
  Search->setDefault(!chosen);
}

void TPatientSearch::CmSearch() {
  if (!Search->isEnabled())
    return;
  PatientFinder::TFound found;
  {
    const TWaitCursor wait;
    TWaitingDialog progress(Messages.LoadStringA(SearchProgressCaption), Messages.LoadStringA(SearchProgressLine1),
                            Messages.Format(SearchProgressLine2, {"Names"}), this);
    progress.Execute();
    progress.SetStep(1);
    progress.UpdateGauge(0);
    PatientFinder::TQuery query;
    query.Mode = Mode;
    query.Name = Name->text().toStdString();
    query.Identifier = Identifier->text().toStdString();
    query.IdentifierOnly = IdentifierOnly->text().toStdString();
    found = PatientFinder::Find(Names, query,
                                [&progress](std::size_t count) { progress.UpdateGauge(static_cast<short>(count)); });
    progress.UpdateGauge(GaugeFull);
    progress.Destroy(0);
  }
  ShowFound(found);
  if (found.LimitReached)
    Messages.MessageBoxText(Messages.Format(LimitText, {std::to_string(PatientFinder::Limit)}), WarningCaption,
                            TMessageIcon::Warning);
  // A single patient is taken at once.
  if (found.Patients.size() == 1)
    QTimer::singleShot(0, this, [this] { accept(); });
}

void TPatientSearch::ShowFound(const PatientFinder::TFound& found) {
  Results->setUpdatesEnabled(false);
  Results->clear();
  for (const PatientFinder::TFoundPatient& patient : found.Patients) {
    auto* line = new QListWidgetItem(QString::fromStdString(PatientFinder::ResultLine(patient)), Results);
    line->setData(NameRole, QString::fromStdString(patient.Name));
    line->setData(IdentifierRole, QString::fromStdString(patient.Identifier));
  }
  if (found.Patients.empty())
    Results->addItem(Text(Messages, NoneText));
  Results->setUpdatesEnabled(true);
  Count->setText(QString::number(found.Patients.size()));
  if (found.Patients.size() == 1 || found.Patients.empty())
    Results->setCurrentRow(0);
  UpdateButtons();
}

void TPatientSearch::accept() {
  if (!PatientChosen())
    return;
  if (Mode == TMode::IdentifierOnly) {
    Mode = TMode::NameAndIdentifier;
    Names.SetIndex(PatientFinder::OrderOf(Mode));
  }
  const QListWidgetItem* line = Results->currentItem();
  const short result = Names.Search(SearchEqual, 1, line->data(NameRole).toString().toStdString(), 2,
                                    line->data(IdentifierRole).toString().toStdString());
  // A patient another user deleted or renamed meanwhile is not there to
  // show; the sheet stays on its patient rather than on wherever the
  // search stopped.
  if (result == DbResult::NotFound) {
    Messages.MessageBox(GoneText, InformationCaption, TMessageIcon::Information);
    QDialog::reject();
    return;
  }
  QDialog::accept();
}
