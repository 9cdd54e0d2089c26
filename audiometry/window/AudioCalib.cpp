#include "audiometry/window/AudioCalib.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using DialogParts::Named;

namespace {

constexpr int TextFrequencyNotANumber = 9221;

}  // namespace

TAudioCalib::TAudioCalib(TMessage* texts, std::string iniPath, QWidget* parent)
    : QDialog(parent), Texts(texts), IniPath(std::move(iniPath)), Model(TCalibrationSetup::Read(IniPath)) {
  setObjectName("TAudioCalib");
  const TMessage& m = *texts;
  setWindowTitle(DialogParts::Caption(m, 418));

  auto* grid = new QGridLayout;
  grid->addWidget(DialogParts::Label(*this, m, 5740, 109), 0, 1);
  grid->addWidget(DialogParts::Label(*this, m, 5741, 110), 0, 2);
  for (int f = 0; f < AudioFrequencies; ++f) {
    const auto i = static_cast<std::size_t>(f);
    Nominal[i] = Named(new QLabel(this), 5756 + f);
    Measured[i] = DialogParts::LineEdit(*this, 5742 + f, 5);
    grid->addWidget(new QLabel(QString::number(AudioHz[i]) + " Hz", this), f + 1, 0);
    grid->addWidget(Nominal[i], f + 1, 1);
    grid->addWidget(Measured[i], f + 1, 2);
  }
  Iec = Named(new QRadioButton("IEC 645-1", this), 5754);
  Sabs = Named(new QRadioButton("SABS 0154", this), 5755);
  auto* defaults = Named(new QPushButton(DialogParts::Text(m, 419), this), 5753);
  auto* side = new QVBoxLayout;
  side->addWidget(Iec);
  side->addWidget(Sabs);
  side->addWidget(defaults);
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(DialogParts::Buttons(*this, m, HelpId, true).Box);

  connect(defaults, &QPushButton::clicked, this, &TAudioCalib::CmAudioSplDefault);
  connect(Iec, &QRadioButton::clicked, this, [this] { CmChangeDefault(5754); });
  connect(Sabs, &QRadioButton::clicked, this, [this] { CmChangeDefault(5755); });
  ShowNominal();
  ShowMeasured();
}

void TAudioCalib::ShowNominal() {
  for (int f = 0; f < AudioFrequencies; ++f)
    Nominal[static_cast<std::size_t>(f)]->setText(
        QString::fromStdString(TCalibrationSetup::Format(TCalibrationSetup::Nominal(Model.Standard, f))));
  Iec->setChecked(Model.Standard == 0);
  Sabs->setChecked(Model.Standard == 1);
}

void TAudioCalib::ShowMeasured() {
  for (std::size_t i = 0; i < Measured.size(); ++i)
    Measured[i]->setText(QString::fromStdString(Model.Measured[i]));
}

void TAudioCalib::TakeMeasured() {
  for (std::size_t i = 0; i < Measured.size(); ++i)
    Model.Measured[i] = Measured[i]->text().toStdString();
}

void TAudioCalib::CmChangeDefault(int id) {
  Model.Standard = id == 5755 ? 1 : 0;
  ShowNominal();
}

void TAudioCalib::CmAudioSplDefault() {
  Model.Default();
  ShowMeasured();
  ShowNominal();
}

void TAudioCalib::accept() {
  TakeMeasured();
  // A field that is not a number would store a correction some 77 dB off.
  if (const auto bad = Model.FirstInvalid()) {
    Texts->MessageBoxText(Texts->Format(TextFrequencyNotANumber, {std::to_string(AudioHz[static_cast<std::size_t>(*bad)])}),
                          0, TMessageIcon::Stop);
    Measured[static_cast<std::size_t>(*bad)]->setFocus();
    return;
  }
  QDialog::accept();
  if (Texts->MessageBox(533, 2, TMessageIcon::Question, TMessageButtons::YesNo) == IDYES)
    Model.Write(IniPath);
}
