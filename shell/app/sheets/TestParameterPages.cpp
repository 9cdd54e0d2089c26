#include "shell/app/sheets/TestParameterPages.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstdio>

using DialogParts::Named;

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString WithColon(const TMessage& texts, int number) { return DialogParts::Text(texts, number) + ":"; }

// On leaving the field, `clamp` rewrites what it holds.
void ClampOnLeave(QLineEdit* edit, std::function<std::string(const std::string&)> clamp) {
  QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, clamp = std::move(clamp)] {
    const std::string text = clamp(edit->text().toStdString());
    if (Q(text) != edit->text())
      edit->setText(Q(text));
  });
}

QComboBox* List(QWidget& parent, int id, const QStringList& entries) {
  auto* list = Named(new QComboBox(&parent), id);
  list->addItems(entries);
  return list;
}

int Whole(const QLineEdit* edit) {
  return static_cast<int>(TestParameters::ReadBounded(edit->text().toStdString(), 0));
}

QString OneDecimal(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
  return text;
}

}  // namespace

// --- Diffusion ----------------------------------------------------------------------

TDiffusionPage::TDiffusionPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId)
    : TPropertyPage(sheet), Texts(texts), IniPath(iniPath), Fields(TestParameters::ReadDiffusion(iniPath)) {
  setObjectName(QString::number(resourceId));
  auto* form = new QFormLayout(this);
  for (std::size_t i = 0; i < Edits.size(); ++i) {
    const std::size_t width = i == 0 || i == 8 || i == 9 ? 5 : 4;
    Edits[i] = DialogParts::LineEdit(*this, 5830 + static_cast<int>(i), width);
    ClampOnLeave(Edits[i], [i](const std::string& text) { return TestParameters::ClampDiffusion(i, text); });
    form->addRow(Named(new QLabel(this), 5840 + static_cast<int>(i)), Edits[i]);
  }
}

void TDiffusionPage::SetupWindow() {
  for (std::size_t i = 0; i < Edits.size(); ++i) {
    if (auto* label = findChild<QLabel*>(QString::number(5840 + static_cast<int>(i))))
      label->setText(DialogParts::Text(Texts, 432 + static_cast<int>(i)));
    Edits[i]->setText(Q(Fields[i]));
  }
}

void TDiffusionPage::KillActive() {
  if (!IsSetUp())
    return;
  for (std::size_t i = 0; i < Edits.size(); ++i)
    Fields[i] = TestParameters::ClampDiffusion(i, Edits[i]->text().toStdString());
}

void TDiffusionPage::WriteSection() {
  if (const std::string error = TestParameters::WriteDiffusion(IniPath, Fields); !error.empty())
    Texts.MessageBoxText(Texts.Format(9005, {error}), 0, TMessageIcon::Stop);
}

// --- Shutter -------------------------------------------------------------------------

TShutterPage::TShutterPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId)
    : TPropertyPage(sheet), Texts(texts), IniPath(iniPath), Fields(TestParameters::ReadShutter(iniPath)),
      Metronome(List(*this, 5870, {DialogParts::Text(texts, 368), DialogParts::Text(texts, 367)})),
      Rate(DialogParts::LineEdit(*this, 5872, 3)) {
  setObjectName(QString::number(resourceId));
  ClampOnLeave(Rate, &TestParameters::ClampShutterRate);
  auto* form = new QFormLayout(this);
  form->addRow(Named(new QLabel(this), 5871), Metronome);
  auto* rate = new QHBoxLayout;
  rate->addWidget(Rate);
  rate->addWidget(Named(new QLabel(this), 5873));
  rate->addStretch(1);
  form->addRow(Named(new QLabel(this), 5874), rate);
}

void TShutterPage::SetupWindow() {
  findChild<QLabel*>("5871")->setText(WithColon(Texts, 480));
  findChild<QLabel*>("5874")->setText(WithColon(Texts, 477));
  findChild<QLabel*>("5873")->setText(DialogParts::Text(Texts, 478));
  Metronome->setCurrentIndex(TestParameters::ReadBounded(Fields.MetronomEnable, 1) != 0 ? 1 : 0);
  Rate->setText(Q(Fields.BreathingRate));
}

void TShutterPage::KillActive() {
  if (!IsSetUp())
    return;
  Fields.MetronomEnable = std::to_string(Metronome->currentIndex());
  Fields.BreathingRate = TestParameters::ClampShutterRate(Rate->text().toStdString());
}

void TShutterPage::WriteSection() {
  if (const std::string error = TestParameters::WriteShutter(IniPath, Fields); !error.empty())
    Texts.MessageBoxText(Texts.Format(9005, {error}), 0, TMessageIcon::Stop);
}

// --- Plethysmograph ---------------------------------------------------------------

TPlethysmographPage::TPlethysmographPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet,
                                         int resourceId)
    : TPropertyPage(sheet), Texts(texts), IniPath(iniPath), Fields(TestParameters::ReadPlethysmograph(iniPath)),
      BtpsEffect(DialogParts::LineEdit(*this, 5905, 5)), AutoSetStep(DialogParts::LineEdit(*this, 5922, 5)),
      InspBtpsEffect(DialogParts::LineEdit(*this, 5917, 5)),
      AutomaticBtps(List(*this, 5919, {DialogParts::Text(texts, 368), DialogParts::Text(texts, 367)})),
      Metronome(List(*this, 5870, {DialogParts::Text(texts, 368), DialogParts::Text(texts, 367)})),
      Rate(DialogParts::LineEdit(*this, 5872, 4)), HighRate(DialogParts::LineEdit(*this, 5923, 4)),
      EndMode(List(*this, 5904,
                   {DialogParts::Text(texts, 509), DialogParts::Text(texts, 510), DialogParts::Text(texts, 511)})),
      Method(List(*this, 5903, {DialogParts::Text(texts, 513), DialogParts::Text(texts, 514)})),
      LoopSelection(List(*this, 5915, {DialogParts::Text(texts, 406), "Vin = Vex"})),
      Resistances(DialogParts::LineEdit(*this, 5902, 2)), Tgvs(DialogParts::LineEdit(*this, 5901, 2)),
      Barometer(DialogParts::LineEdit(*this, 5900, 5)) {
  setObjectName(QString::number(resourceId));
  using namespace TestParameters;
  ClampOnLeave(BtpsEffect, [](const std::string& t) { return Clamp(t, 20, 120, 0); });
  ClampOnLeave(InspBtpsEffect, [](const std::string& t) { return Clamp(t, 40, 100, 0); });
  ClampOnLeave(AutoSetStep, &ClampAutoSetStep);
  ClampOnLeave(Resistances, [](const std::string& t) { return Clamp(t, 1, 9, 0); });
  ClampOnLeave(Tgvs, [](const std::string& t) { return Clamp(t, 1, 5, 0); });
  connect(HighRate, &QLineEdit::editingFinished, this, [this] {
    HighRate->setText(QString::fromStdString(ClampHighRate(HighRate->text().toStdString())));
    CheckRates();
  });
  connect(Rate, &QLineEdit::editingFinished, this, [this] { CheckRates(); });

  auto* grid = new QGridLayout(this);
  int row = 0;
  const auto add = [&](int labelId, QWidget* field, int column) {
    grid->addWidget(Named(new QLabel(this), labelId), row, column);
    grid->addWidget(field, row, column + 1);
  };
  const auto shown = [this](int id, int value) { return Named(new QLabel(QString::number(value), this), id); };
  add(5914, shown(5913, Fields.VolumeOfCabin), 0);
  add(5906, BtpsEffect, 2);
  ++row;
  add(5912, shown(5911, Fields.VolumeOfSensor), 0);
  add(5918, InspBtpsEffect, 2);
  ++row;
  add(5910, shown(5909, Fields.ResistanceOfSensor), 0);
  add(5921, AutoSetStep, 2);
  ++row;
  add(5908, shown(5907, Fields.CalibrationVolume), 0);
  add(5920, AutomaticBtps, 2);
  ++row;
  add(5871, Metronome, 0);
  add(5895, EndMode, 2);
  ++row;
  auto* rate = new QHBoxLayout;
  rate->addWidget(Rate);
  rate->addWidget(Named(new QLabel(this), 5873));
  grid->addWidget(Named(new QLabel(this), 5874), row, 0);
  grid->addLayout(rate, row, 1);
  add(5896, Method, 2);
  ++row;
  add(5924, HighRate, 0);
  add(5916, LoopSelection, 2);
  ++row;
  add(5897, Resistances, 0);
  add(5898, Tgvs, 2);
  ++row;
  add(5899, Barometer, 0);
  grid->setRowStretch(row + 1, 1);
}

void TPlethysmographPage::SetupWindow() {
  const std::pair<int, int> labels[] = {{5914, 503}, {5912, 504}, {5910, 505}, {5908, 506}, {5906, 507},
                                        {5921, 553}, {5918, 519}, {5920, 311}, {5871, 480}, {5874, 477},
                                        {5924, 555}, {5895, 508}, {5896, 512}, {5916, 518}, {5897, 515},
                                        {5898, 516}, {5899, 517}};
  for (const auto& [id, number] : labels)
    findChild<QLabel*>(QString::number(id))->setText(WithColon(Texts, number));
  findChild<QLabel*>("5873")->setText(DialogParts::Text(Texts, 478));
  BtpsEffect->setText(OneDecimal(Fields.BTPSCorrectionEffect));
  AutoSetStep->setText(QString::number(Fields.BTPSAutoSetStep));
  InspBtpsEffect->setText(OneDecimal(Fields.InspBTPSCorrectionEffect));
  AutomaticBtps->setCurrentIndex(Fields.EnableAutomaticBTPS != 0);
  Metronome->setCurrentIndex(Fields.MetronomEnable != 0);
  Rate->setText(QString::number(Fields.BreathingRate));
  HighRate->setText(QString::number(Fields.BreathingRateHigh));
  EndMode->setCurrentIndex(Fields.EndMode);
  Method->setCurrentIndex(Fields.ResistanceMethod);
  LoopSelection->setCurrentIndex(Fields.ResistanceLoopSelection);
  Resistances->setText(QString::number(Fields.NumberOfResistance));
  Tgvs->setText(QString::number(Fields.NumberOfTGV));
  Barometer->clear();
}

void TPlethysmographPage::CheckRates() {
  const int high = Whole(HighRate);
  Rate->setText(QString::fromStdString(TestParameters::ClampRate(Rate->text().toStdString(), high)));
}

void TPlethysmographPage::KillActive() {
  if (!IsSetUp())
    return;
  using namespace TestParameters;
  // The fields the user has not left yet are brought into their ranges too.
  const auto clamped = [](const QLineEdit* edit, double low, double high) {
    return ReadNumber(Clamp(edit->text().toStdString(), low, high, 0)).value_or(low);
  };
  Fields.BTPSCorrectionEffect = static_cast<float>(clamped(BtpsEffect, 20, 120));
  Fields.BTPSAutoSetStep = TestParameters::AutoSetStep(Whole(AutoSetStep));
  Fields.InspBTPSCorrectionEffect = static_cast<float>(clamped(InspBtpsEffect, 40, 100));
  Fields.BreathingRateHigh = static_cast<int>(ReadNumber(ClampHighRate(HighRate->text().toStdString())).value_or(70));
  Fields.BreathingRate = static_cast<int>(
      ReadNumber(ClampRate(Rate->text().toStdString(), Fields.BreathingRateHigh)).value_or(20));
  Fields.EnableAutomaticBTPS = AutomaticBtps->currentIndex();
  Fields.MetronomEnable = Metronome->currentIndex();
  Fields.EndMode = EndMode->currentIndex();
  Fields.ResistanceMethod = Method->currentIndex();
  Fields.ResistanceLoopSelection = LoopSelection->currentIndex();
  Fields.NumberOfResistance = static_cast<int>(clamped(Resistances, 1, 9));
  Fields.NumberOfTGV = static_cast<int>(clamped(Tgvs, 1, 5));
  Fields.BarometerOffset = Whole(Barometer);
}

void TPlethysmographPage::WriteSection() {
  if (const std::string error = TestParameters::WritePlethysmograph(IniPath, Fields); !error.empty())
    Texts.MessageBoxText(Texts.Format(9005, {error}), 0, TMessageIcon::Stop);
}
