#include "shell/app/sheets/NebulizerPage.h"

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

// A label's text up to its first blank.
QString FirstWord(const TMessage& texts, int number) {
  const std::string text = texts.LoadStringA(number);
  return QString::fromStdString(text.substr(0, text.find(' ')));
}

}  // namespace

TNebulizerPage::TNebulizerPage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet,
                               int resourceId, short deviceKind)
    : TPropertyPage(sheet), Texts(texts), Page(demo, texts, iniPath, deviceKind),
      Models(Named(new QComboBox(this), 5640)), Dose(Named(new QComboBox(this), 5643)),
      Purple(DialogParts::LineEdit(*this, 5633, 5)), Green(DialogParts::LineEdit(*this, 5634, 5)),
      Pressure(DialogParts::LineEdit(*this, 5638, 4)), Test(Named(new QPushButton(this), 5631)),
      Status(Named(new QLabel(this), 5632)) {
  setObjectName(QString::number(resourceId));
  Status->setWordWrap(true);
  Status->setMinimumHeight(100);
  Status->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  auto* model = new QHBoxLayout;
  model->addWidget(DialogParts::Label(*this, texts, 5630, 100, Models));
  model->addWidget(Models, 1);
  model->addWidget(Test);
  auto* heads = new QHBoxLayout;
  heads->addWidget(Named(new QLabel(FirstWord(texts, 347), this), 5635));
  heads->addWidget(Purple);
  heads->addWidget(Named(new QLabel(FirstWord(texts, 348), this), 5636));
  heads->addWidget(Green);
  auto* form = new QFormLayout;
  form->addRow(DialogParts::Label(*this, texts, 5637, 301), heads);
  form->addRow(DialogParts::Label(*this, texts, 5639, 304, Pressure), Pressure);
  form->addRow(DialogParts::Label(*this, texts, 5642, 542, Dose), Dose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(model);
  layout->addWidget(Status);
  layout->addLayout(form);
  layout->addStretch(1);

  connect(Models, &QComboBox::currentIndexChanged, this, [this](int index) {
    Page.SelectModel(index);
    Show();
  });
  connect(Test, &QPushButton::clicked, this, [this] {
    Page.CheckComPort();
    Show();
  });
  connect(Purple, &QLineEdit::textChanged, this, [this](const QString& t) { Page.SetHeadPurple(t.toStdString()); });
  connect(Green, &QLineEdit::textChanged, this, [this](const QString& t) { Page.SetHeadGreen(t.toStdString()); });
  connect(Pressure, &QLineEdit::textChanged, this,
          [this](const QString& t) { Page.SetMouthPressure(t.toStdString()); });
  connect(Dose, &QComboBox::currentIndexChanged, this, [this](int index) { Page.SetUnitOfDose(index); });
}

void TNebulizerPage::SetupWindow() {
  Test->setText(DialogParts::Text(Texts, 101));
  Page.Setup();
  {
    const QSignalBlocker quiet(Models);
    Models->clear();
    for (const std::string& entry : Page.Models())
      Models->addItem(QString::fromStdString(entry));
  }
  const TNebulizerStatus& values = Page.Values();
  for (auto [edit, text] : {std::pair{Purple, values.HeadPurple}, std::pair{Green, values.HeadGreen},
                            std::pair{Pressure, values.MouthPressure}}) {
    const QSignalBlocker quiet(edit);
    edit->setText(QString::fromStdString(text));
  }
  const QSignalBlocker quiet(Dose);
  Dose->addItems({"ml", "mg"});
  Dose->setCurrentIndex(values.UnitOfDose);
  Show();
}

void TNebulizerPage::Show() {
  const QSignalBlocker quiet(Models);
  Models->setCurrentIndex(Page.Selected());
  Test->setEnabled(Page.TestEnabled());
  Status->setText(QString::fromStdString(Page.StatusLine()).replace('\t', "    "));
}

void TNebulizerPage::WriteHardwareStatus() {
  if (const std::string error = Page.WriteHardwareStatus(); !error.empty())
    Texts.MessageBoxText(Texts.Format(9005, {error}), 0, TMessageIcon::Stop);
}
