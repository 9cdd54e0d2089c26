#include "shell/app/sheets/ConfigPage.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using DialogParts::Named;

namespace {

void Fill(QComboBox& list, const std::vector<std::string>& entries) {
  const QSignalBlocker quiet(list);
  list.clear();
  for (const std::string& entry : entries)
    list.addItem(QString::fromStdString(entry));
}

}  // namespace

TConfigPage::TConfigPage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet,
                         int resourceId, short deviceKind, TConfigPageModel::TDeviceLister lister)
    : TPropertyPage(sheet), Texts(texts), Page(demo, texts, iniPath, deviceKind, std::move(lister)),
      Ports(Named(new QComboBox(this), 5281)), Test(Named(new QPushButton(this), 5282)),
      Pump(DialogParts::LineEdit(*this, 5316, 3)), Status(Named(new QLabel(this), 5280)),
      Extrapolation(Named(new QComboBox(this), 5327)), Cycles(Named(new QComboBox(this), 5329)) {
  setObjectName(QString::number(resourceId));
  Status->setWordWrap(true);
  Status->setMinimumHeight(120);
  Status->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* port = new QHBoxLayout;
  port->addWidget(DialogParts::Label(*this, texts, 5318, 100, Ports));
  port->addWidget(Ports, 1);
  port->addWidget(Test);
  auto* form = new QFormLayout;
  form->addRow(DialogParts::Label(*this, texts, 5317, 102, Pump), Pump);
  form->addRow(DialogParts::Label(*this, texts, 5330, 534, Cycles), Cycles);
  form->addRow(DialogParts::Label(*this, texts, 5328, 520, Extrapolation), Extrapolation);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(port);
  layout->addWidget(Status);
  layout->addLayout(form);
  layout->addStretch(1);

  connect(Ports, &QComboBox::currentIndexChanged, this, [this](int index) {
    Page.SelectPort(index);
    Show();
  });
  connect(Test, &QPushButton::clicked, this, [this] {
    Page.CheckComPort();
    Show();
  });
  connect(Pump, &QLineEdit::textEdited, this, [this](const QString& text) { Page.SetPumpText(text.toStdString()); });
  connect(Extrapolation, &QComboBox::currentIndexChanged, this, [this](int index) { Page.SetBackExtrapolation(index); });
  connect(Cycles, &QComboBox::currentIndexChanged, this, [this](int index) { Page.SetCalibrationCycle(index); });
}

void TConfigPage::SetupWindow() {
  Test->setText(DialogParts::Text(Texts, 101));
  Page.Setup();
  Fill(*Ports, Page.PortEntries());
  Fill(*Cycles, TConfigPageModel::CycleEntries());
  Fill(*Extrapolation, TConfigPageModel::ExtrapolationEntries());
  {
    const QSignalBlocker quiet(Pump);
    Pump->setText(QString::number(Page.Status().Pump));
  }
  const QSignalBlocker quietCycles(Cycles);
  Cycles->setCurrentIndex(Page.Status().IndexOfCalibrationCycle);
  const QSignalBlocker quietExtrapolation(Extrapolation);
  Extrapolation->setCurrentIndex(Page.Status().BackExtrapolation);
  Show();
}

void TConfigPage::Show() {
  const QSignalBlocker quiet(Ports);
  Ports->setCurrentIndex(Page.Selected());
  Test->setEnabled(Page.TestEnabled());
  Status->setText(QString::fromStdString(Page.StatusLine()).replace('\t', "    "));
}

void TConfigPage::WriteHardwareStatus() {
  if (const std::string error = Page.WriteHardwareStatus(); !error.empty())
    Texts.MessageBoxText(Texts.Format(9005, {error}), 0, TMessageIcon::Stop);
}
