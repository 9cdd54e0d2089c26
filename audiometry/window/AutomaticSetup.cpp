#include "audiometry/window/AutomaticSetup.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdlib>

using DialogParts::Named;

namespace {

constexpr int TextDelete = 9220;
// The population choice owns text 219; the default sequence has its own.
constexpr int TextDefaultSequence = 9222;

int Leading(const QLineEdit* edit) { return std::atoi(edit->text().toStdString().c_str()); }

}  // namespace

TAutomaticSetup::TAutomaticSetup(TMessage* texts, std::string iniPath, QWidget* parent)
    : QDialog(parent), Texts(texts), IniPath(std::move(iniPath)), Model(TSequenceSetup::Read(IniPath)) {
  setObjectName("TAutomaticSetup");
  const TMessage& m = *texts;
  setWindowTitle(DialogParts::Caption(m, 415));

  Offered = Named(new QListWidget(this), 5930);
  for (int hz : TSequenceSetup::Offered)
    Offered->addItem(QString::number(hz));
  Sequence = Named(new QListWidget(this), 5931);
  Add = Named(new QPushButton("\u2192", this), 5948);
  Up = Named(new QPushButton("\u2191", this), 5940);
  Down = Named(new QPushButton("\u2193", this), 5939);
  Delete = Named(new QPushButton(DialogParts::Text(m, TextDelete), this), 5950);
  auto* defaults = Named(new QPushButton(DialogParts::Text(m, TextDefaultSequence), this), 5951);

  auto* ear = Named(new QGroupBox(DialogParts::Text(m, 521), this), 5946);
  Right = Named(new QRadioButton(DialogParts::Text(m, 313), ear), 5945);
  Left = Named(new QRadioButton(DialogParts::Text(m, 312), ear), 5944);
  auto* earLayout = new QVBoxLayout(ear);
  earLayout->addWidget(Right);
  earLayout->addWidget(Left);
  auto* method = Named(new QGroupBox(DialogParts::Text(m, 522), this), 5943);
  Ascending = Named(new QRadioButton(DialogParts::Text(m, 390), method), 5942);
  Descending = Named(new QRadioButton(DialogParts::Text(m, 391), method), 5941);
  auto* methodLayout = new QVBoxLayout(method);
  methodLayout->addWidget(Ascending);
  methodLayout->addWidget(Descending);

  Repetitions = DialogParts::LineEdit(*this, 5932, 2, std::to_string(Model.Repetitions));
  EqualLevels = DialogParts::LineEdit(*this, 5934, 2, std::to_string(Model.EqualLevels));
  Tolerance = Named(new QSpinBox(this), 5938);
  Tolerance->setRange(0, 20);
  Tolerance->setSingleStep(5);
  Tolerance->setSuffix(" dB");
  Tolerance->setValue(Model.Tolerance);
  (Model.FirstEar == 0 ? Right : Left)->setChecked(true);
  (Model.IterationType == 0 ? Ascending : Descending)->setChecked(true);

  auto* lists = new QGridLayout;
  lists->addWidget(DialogParts::Label(*this, m, 5949, 379, Offered), 0, 0);
  lists->addWidget(DialogParts::Label(*this, m, 5937, 532, Sequence), 0, 2);
  lists->addWidget(Offered, 1, 0);
  auto* middle = new QVBoxLayout;
  middle->addWidget(DialogParts::Label(*this, m, 5947, 424, Add));
  for (QPushButton* b : {Add, Up, Down, Delete, defaults})
    middle->addWidget(b);
  middle->addStretch();
  lists->addLayout(middle, 1, 1);
  lists->addWidget(Sequence, 1, 2);

  auto* counts = new QGridLayout;
  counts->addWidget(DialogParts::Label(*this, m, 5933, 523, Repetitions), 0, 0);
  counts->addWidget(Repetitions, 0, 1);
  counts->addWidget(DialogParts::Label(*this, m, 5935, 524, EqualLevels), 1, 0);
  counts->addWidget(EqualLevels, 1, 1);
  counts->addWidget(DialogParts::Label(*this, m, 5936, 525, Tolerance), 2, 0);
  counts->addWidget(Tolerance, 2, 1);

  auto* side = new QVBoxLayout;
  side->addWidget(ear);
  side->addWidget(method);
  side->addLayout(counts);
  side->addStretch();

  auto* top = new QHBoxLayout;
  top->addLayout(lists, 1);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(DialogParts::Buttons(*this, m, HelpId, true).Box);

  connect(Add, &QPushButton::clicked, this, &TAutomaticSetup::CmAdd);
  connect(Up, &QPushButton::clicked, this, &TAutomaticSetup::CmUp);
  connect(Down, &QPushButton::clicked, this, &TAutomaticSetup::CmDown);
  connect(Delete, &QPushButton::clicked, this, &TAutomaticSetup::CmDeleteItem);
  connect(defaults, &QPushButton::clicked, this, &TAutomaticSetup::CmDefault);
  connect(Repetitions, &QLineEdit::editingFinished, this, &TAutomaticSetup::TakeCounts);
  connect(EqualLevels, &QLineEdit::editingFinished, this, &TAutomaticSetup::TakeCounts);
  connect(Offered, &QListWidget::currentRowChanged, this, &TAutomaticSetup::UpdateButtons);
  connect(Sequence, &QListWidget::currentRowChanged, this, &TAutomaticSetup::UpdateButtons);
  FillSequence(-1);
}

int TAutomaticSetup::Selected() const { return Sequence->currentRow(); }

void TAutomaticSetup::FillSequence(int select) {
  Sequence->clear();
  for (std::size_t i = 0; i < Model.Items.size(); ++i)
    Sequence->addItem(QString::fromStdString(Model.ItemText(i, Texts)));
  Sequence->setCurrentRow(select);
  UpdateButtons();
}

void TAutomaticSetup::UpdateButtons() {
  const int row = Selected();
  Add->setEnabled(Model.CanAdd() && Offered->currentRow() >= 0);
  Up->setEnabled(row >= 0 && Model.CanMoveUp(static_cast<std::size_t>(row)));
  Down->setEnabled(row >= 0 && Model.CanMoveDown(static_cast<std::size_t>(row)));
  Delete->setEnabled(row >= 0 && !Model.Items.empty());
}

void TAutomaticSetup::CmAdd() {
  const int offered = Offered->currentRow();
  if (offered < 0)
    return;
  switch (Model.Add(TSequenceSetup::Offered[static_cast<std::size_t>(offered)])) {
  case TSequenceSetup::TAdd::Added: FillSequence(static_cast<int>(Model.Items.size()) - 1); break;
  case TSequenceSetup::TAdd::NotTheBasicTest: Texts->MessageBox(526, 1, TMessageIcon::Information); break;
  case TSequenceSetup::TAdd::RepeatedTwice: Texts->MessageBox(528, 1, TMessageIcon::Information); break;
  case TSequenceSetup::TAdd::Full: break;
  }
}

void TAutomaticSetup::CmUp() {
  const int row = Selected();
  if (row >= 0 && Model.CanMoveUp(static_cast<std::size_t>(row))) {
    Model.MoveUp(static_cast<std::size_t>(row));
    FillSequence(row - 1);
  }
}

void TAutomaticSetup::CmDown() {
  const int row = Selected();
  if (row >= 0 && Model.CanMoveDown(static_cast<std::size_t>(row))) {
    Model.MoveDown(static_cast<std::size_t>(row));
    FillSequence(row + 1);
  }
}

void TAutomaticSetup::CmDeleteItem() {
  const int row = Selected();
  if (row >= 0)
    FillSequence(Model.Delete(static_cast<std::size_t>(row)));
}

void TAutomaticSetup::CmDefault() {
  Model.Default();
  FillSequence(-1);
}

void TAutomaticSetup::TakeCounts() {
  Model.Repetitions = Leading(Repetitions);
  Model.EqualLevels = Leading(EqualLevels);
  Model.KeepCountsInOrder();
  Repetitions->setText(QString::number(Model.Repetitions));
  EqualLevels->setText(QString::number(Model.EqualLevels));
}

void TAutomaticSetup::accept() {
  TakeCounts();
  if (!Model.Items.empty() && !Model.HasControl()) {
    Texts->MessageBox(527, 0, TMessageIcon::Stop);
    return;
  }
  Model.FirstEar = Right->isChecked() ? 0 : 1;
  Model.IterationType = Ascending->isChecked() ? 0 : 1;
  Model.Tolerance = Tolerance->value();
  if (!Model.Write(IniPath))
    return;  // the settings file has said why
  QDialog::accept();
}
