#include "measure/window/RhinoDialogs.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int RhinoProvCaption = 408;
constexpr int RhinoRowsCaption = 86;
constexpr int RhinoCancelText = 87;
constexpr int RhinoHelpText = 88;
constexpr int RhinoMaterialText = 296;
constexpr int RhinoConcentrationText = 297;
constexpr int RhinoDoseText = 298;

QString RhinoDialogText(const TMessage& messages, int number) {
  return QString::fromStdString(messages.LoadStringA(number)).remove(QLatin1Char('&'));
}

template <class W>
W* WithRhinoId(W* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

// OK, Cancel and Help in the system's wording; Help asks the main window
// for the dialog's page.
QDialogButtonBox* RhinoDialogButtons(QDialog& dialog, TMessage& messages, int helpId, QPushButton*& ok) {
  auto* buttons = new QDialogButtonBox(&dialog);
  ok = WithRhinoId(buttons->addButton(QDialogButtonBox::Ok), IDOK);
  ok->setDefault(true);
  auto* cancel = WithRhinoId(buttons->addButton(QDialogButtonBox::Cancel), IDCANCEL);
  cancel->setText(RhinoDialogText(messages, RhinoCancelText));
  auto* help = WithRhinoId(buttons->addButton(QDialogButtonBox::Help), 9);
  help->setText(RhinoDialogText(messages, RhinoHelpText));
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, &dialog, [&dialog, helpId] {
    TEventHandler* main = dialog.parentWidget() ? dynamic_cast<TEventHandler*>(dialog.parentWidget()->window()) : nullptr;
    SendMessage(main, WM_SHOW_HELP, static_cast<TParam1>(helpId), 0);
  });
  return buttons;
}

}  // namespace

TRhinoProv::TRhinoProv(TMessage& messages, QWidget* parent, const std::string& iniFile)
    : QDialog(parent), Sheet(iniFile), Messages(messages), IniFile(iniFile) {
  setWindowTitle(RhinoDialogText(messages, RhinoProvCaption));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Material = WithRhinoId(new QComboBox(this), 5670);
  Material->setEditable(true);
  Material->setInsertPolicy(QComboBox::NoInsert);
  Material->lineEdit()->setMaxLength(50);
  for (const std::string& material : Sheet.Materials())
    Material->addItem(QString::fromStdString(material));
  Material->setCurrentIndex(Sheet.Selected());
  Material->installEventFilter(this);
  Material->lineEdit()->installEventFilter(this);
  Concentration = WithRhinoId(new QLineEdit(this), 5672);
  Concentration->setMaxLength(6);
  Dose = WithRhinoId(new QLineEdit(this), 5674);
  Dose->setMaxLength(6);
  form->addRow(RhinoDialogText(messages, RhinoMaterialText), Material);
  form->addRow(RhinoDialogText(messages, RhinoConcentrationText), Concentration);
  form->addRow(RhinoDialogText(messages, RhinoDoseText), Dose);
  layout->addLayout(form);
  layout->addWidget(RhinoDialogButtons(*this, messages, HelpId, Ok));
  UpdateOk();
  CenterOnShow(*this);
}

bool TRhinoProv::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut)
    TakeTypedMaterial();
  return QDialog::eventFilter(watched, event);
}

void TRhinoProv::TakeTypedMaterial() {
  const std::string typed = Material->currentText().toStdString();
  const std::size_t before = Sheet.Materials().size();
  const int index = Sheet.Typed(typed);
  if (Sheet.Materials().size() != before)
    Material->addItem(QString::fromStdString(Sheet.Materials().back()));
  if (index >= 0 && Material->currentText().isEmpty())
    Material->setCurrentIndex(index);
  UpdateOk();
}

void TRhinoProv::UpdateOk() { Ok->setEnabled(Sheet.CanConfirm()); }

void TRhinoProv::accept() {
  TakeTypedMaterial();
  if (!Sheet.CanConfirm())
    return;
  bool stored = false;
  Result = Sheet.Confirm(Material->currentText().toStdString(), Concentration->text().toStdString(),
                         Dose->text().toStdString(), stored);
  if (!stored)
    Messages.MessageBoxText(Messages.Format(6103, {IniFile}), 0, TMessageIcon::Stop);
  QDialog::accept();
}

TRhinoParam::TRhinoParam(TMessage& messages, QWidget* parent, TRhinoRows& anterior, TRhinoRows& posterior)
    : QDialog(parent), Sheet(anterior, posterior), Anterior(anterior), Posterior(posterior) {
  setWindowTitle(RhinoDialogText(messages, RhinoRowsCaption));
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  for (std::size_t group = 0; group < 2; ++group) {
    const QString title = group == 0 ? QStringLiteral("Anterior") : QStringLiteral("Posterior");
    auto* box = WithRhinoId(new QGroupBox(title, this), static_cast<int>(5700 + group));
    auto* column = new QVBoxLayout(box);
    for (std::size_t row = 0; row < RHINO_PRESSURE_COUNT; ++row) {
      const std::size_t i = group * RHINO_PRESSURE_COUNT + row;
      const QString pressure = QString::number(static_cast<int>(RhinoPressures[row])) + QStringLiteral(" Pa");
      auto* check = WithRhinoId(new QCheckBox(pressure, box), static_cast<int>(5690 + i));
      check->setChecked(Sheet.Ticked(i));
      QObject::connect(check, &QCheckBox::clicked, this, [this, i](bool on) {
        Sheet.Click(i, on);
        Ok->setEnabled(Sheet.CanConfirm());
      });
      column->addWidget(check);
      Boxes[i] = check;
    }
    groups->addWidget(box);
  }
  layout->addLayout(groups);
  layout->addWidget(RhinoDialogButtons(*this, messages, HelpId, Ok));
  CenterOnShow(*this);
}

void TRhinoParam::accept() {
  if (!Sheet.CanConfirm())
    return;
  Anterior = Sheet.Anterior();
  Posterior = Sheet.Posterior();
  QDialog::accept();
}
