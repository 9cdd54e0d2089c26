#include "measure/window/ParamDialog.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int CancelText = 87;
constexpr int HelpText = 88;
// Check boxes per column: the largest kinds take two columns.
constexpr int Rows = 10;

QString Text(const TMessage& messages, int number) { return QString::fromStdString(messages.LoadStringA(number)); }

QPushButton* Named(QPushButton* button, int id) {
  button->setObjectName(QString::number(id));
  return button;
}

}  // namespace

TParam::TParam(TMessage& messages, QWidget* parent, short kind, TParamFlags& flags)
    : QDialog(parent), Choice(flags, kind) {
  QString caption = Text(messages, TParamChoice::CaptionText);
  caption += QStringLiteral(" (") + Text(messages, Choice.KindText()).remove(QLatin1Char('&')) + QLatin1Char(')');
  setWindowTitle(caption.remove(QLatin1Char('&')));

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const auto names = ParameterNames(kind);
  for (int i = 0; i < Choice.GetCount(); ++i) {
    auto* box = new QCheckBox(QString::fromUtf8(names[static_cast<std::size_t>(i)].data(),
                                                static_cast<qsizetype>(names[static_cast<std::size_t>(i)].size())),
                              this);
    box->setObjectName(QString::number(Choice.CheckBoxId(i)));
    grid->addWidget(box, i % Rows, i / Rows);
    Boxes.push_back(box);
    QObject::connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
      Choice.SetFlag(i, on);
      UpdateOk();
    });
  }
  layout->addLayout(grid);

  auto* all = new QHBoxLayout;
  auto* checkAll = Named(new QPushButton(Text(messages, TParamChoice::CheckAllText), this), TParamChoice::CheckAllId);
  auto* clearAll = Named(new QPushButton(Text(messages, TParamChoice::ClearAllText), this), TParamChoice::ClearAllId);
  checkAll->setAutoDefault(false);
  clearAll->setAutoDefault(false);
  all->addWidget(checkAll);
  all->addWidget(clearAll);
  all->addStretch();
  layout->addLayout(all);
  QObject::connect(checkAll, &QPushButton::clicked, this, [this] { CheckAll(); });
  QObject::connect(clearAll, &QPushButton::clicked, this, [this] { ClearAll(); });

  auto* buttons = new QDialogButtonBox(this);
  Ok = Named(buttons->addButton(QDialogButtonBox::Ok), IDOK);
  Ok->setDefault(true);
  auto* cancel = Named(buttons->addButton(QDialogButtonBox::Cancel), IDCANCEL);
  cancel->setText(Text(messages, CancelText));
  auto* help = Named(buttons->addButton(QDialogButtonBox::Help), 9);
  help->setText(Text(messages, HelpText));
  QObject::connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, this, &TParam::reject);
  QObject::connect(help, &QPushButton::clicked, this, [this] { Help(); });
  layout->addWidget(buttons);

  ShowFlags();
  UpdateOk();
  CenterOnShow(*this);
}

QCheckBox* TParam::GetCheckBox(int i) const {
  return i >= 0 && static_cast<std::size_t>(i) < Boxes.size() ? Boxes[static_cast<std::size_t>(i)] : nullptr;
}

void TParam::ShowFlags() {
  for (std::size_t i = 0; i < Boxes.size(); ++i) {
    const QSignalBlocker quiet(Boxes[i]);
    Boxes[i]->setChecked(Choice.GetFlag(static_cast<int>(i)));
  }
}

void TParam::UpdateOk() { Ok->setEnabled(Choice.IsOkEnabled()); }

void TParam::CheckAll() {
  Choice.CheckAll();
  ShowFlags();
  UpdateOk();
}

void TParam::ClearAll() {
  Choice.ClearAll();
  ShowFlags();
  UpdateOk();
}

void TParam::accept() {
  if (Choice.IsOkEnabled())
    QDialog::accept();
}

void TParam::reject() {
  Choice.Restore();
  ShowFlags();
  QDialog::reject();
}

void TParam::Help() {
  TEventHandler* main = parentWidget() ? dynamic_cast<TEventHandler*>(parentWidget()->window()) : nullptr;
  SendMessage(main, WM_SHOW_HELP, static_cast<TParam1>(TParamChoice::HelpId), 0);
}
