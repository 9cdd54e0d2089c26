#include "shell/app/sheets/ServicePage.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using DialogParts::Named;

namespace {

constexpr int WordTemplate = 20143;
constexpr int FirstLowWordBox = 5296;
constexpr int FirstHighWordBox = 5783;
constexpr int FirstPulseBox = 5791;
constexpr int FirstBitLabel = 5813;
constexpr int FirstOffButton = 5306;
constexpr int FirstInput = 5319;

QLabel* Label(QWidget& parent, int id, const QString& text) { return Named(new QLabel(text, &parent), id); }

}  // namespace

TServicePage::TServicePage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet,
                           int resourceId, short deviceKind)
    : TPropertyPage(sheet), Texts(texts), Words(resourceId == WordTemplate) {
  setObjectName(QString::number(resourceId));
  for (QTimer* timer : {&Timer5, &Timer6}) {
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
  }
  TServicePageModel::THooks hooks;
  hooks.SetTimer = [this](int id, int ms) {
    (id == TServicePageModel::PulseTimer ? Timer5 : Timer6).start(ms);
    return true;
  };
  hooks.KillTimer = [this](int id) { (id == TServicePageModel::PulseTimer ? Timer5 : Timer6).stop(); };
  hooks.Wait = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  };
  hooks.Changed = [this] { Show(); };
  Page = std::make_unique<TServicePageModel>(demo, texts, iniPath, deviceKind, Words, std::move(hooks));
  connect(&Timer5, &QTimer::timeout, this, [this] { Page->OnTimer(TServicePageModel::PulseTimer); });
  connect(&Timer6, &QTimer::timeout, this, [this] { Page->OnTimer(TServicePageModel::SecondPulseTimer); });

  StartStop = Named(new QPushButton(this), 5283);
  Send = Named(new QPushButton(this), 5314);
  Line = Named(new QLabel(this), 5315);
  Line->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(Label(*this, 5284, {}));
  top->addWidget(StartStop);
  top->addWidget(Send);
  top->addStretch(1);
  layout->addLayout(top);
  layout->addWidget(Line);

  auto* values = new QGridLayout;
  for (int i = 0; i < 5; ++i) {
    Values[static_cast<std::size_t>(i)] = Named(new QLineEdit(this), 5290 + i);
    values->addWidget(Label(*this, 5285 + i, {}), 0, 2 * i);
    values->addWidget(Values[static_cast<std::size_t>(i)], 0, 2 * i + 1);
  }
  if (Words) {
    Values[5] = Named(new QLineEdit(this), 5782);
    values->addWidget(Label(*this, 5781, DialogParts::Text(texts, 98) + ":"), 1, 0);
    values->addWidget(Values[5], 1, 1);
  }
  for (QLineEdit* value : Values)
    if (value)
      value->setReadOnly(true);
  layout->addLayout(values);

  auto* inputs = new QGroupBox(this);
  if (Words)
    inputs->setObjectName("5780");
  auto* inputRow = new QHBoxLayout(inputs);
  for (int i = 0; i < 8; ++i) {
    Inputs[static_cast<std::size_t>(i)] = Named(new QCheckBox(QString::number(i), inputs), FirstInput + i);
    Inputs[static_cast<std::size_t>(i)]->setEnabled(false);
    inputRow->addWidget(Inputs[static_cast<std::size_t>(i)]);
  }
  const std::string status = texts.LoadStringA(158);
  inputs->setTitle(QString::fromStdString(status.empty() ? status : status.substr(0, status.size() - 1)));
  layout->addWidget(inputs);

  auto* outputs = Named(new QGroupBox(this), 5295);
  auto* grid = new QGridLayout(outputs);
  if (Words)
    BuildWordForm(*grid, deviceKind);
  else
    BuildByteForm(*grid);
  layout->addWidget(outputs);
  layout->addStretch(1);

  connect(StartStop, &QPushButton::clicked, this, [this] {
    TakeControls();
    Page->StartStop();
  });
  connect(Send, &QPushButton::clicked, this, [this] {
    TakeControls();
    Page->Send();
  });
}

TServicePage::~TServicePage() { HaveToKillHandler(); }

void TServicePage::BuildWordForm(QGridLayout& grid, short deviceKind) {
  TestCases = Named(new QComboBox(this), 5808);
  Time1 = DialogParts::LineEdit(*this, 5810, 5);
  Time2 = DialogParts::LineEdit(*this, 5812, 5);
  for (int bit = 0; bit < 16; ++bit) {
    const auto at = static_cast<std::size_t>(bit);
    const int row = bit % 8;
    const int column = bit < 8 ? 0 : 3;
    grid.addWidget(Label(*this, FirstBitLabel + bit, TServicePageModel::BitLabel(deviceKind, bit)), row, column);
    WordBoxes[at] = Named(new QCheckBox(this), bit < 8 ? FirstLowWordBox + bit : FirstHighWordBox + bit - 8);
    PulseBoxes[at] = Named(new QCheckBox(this), FirstPulseBox + bit);
    grid.addWidget(WordBoxes[at], row, column + 1);
    grid.addWidget(PulseBoxes[at], row, column + 2);
  }
  auto* pulses = new QHBoxLayout;
  pulses->addWidget(Label(*this, 5807, DialogParts::Text(Texts, 428)));
  pulses->addWidget(TestCases);
  pulses->addWidget(Label(*this, 5809, DialogParts::Text(Texts, 429) + " 1"));
  pulses->addWidget(Time1);
  pulses->addWidget(Label(*this, 5811, DialogParts::Text(Texts, 429) + " 2"));
  pulses->addWidget(Time2);
  grid.addLayout(pulses, 8, 0, 1, 6);
  connect(TestCases, &QComboBox::currentIndexChanged, this, [this](int index) {
    Page->SelectPreset(index);
    Show();
  });
  for (QLineEdit* time : {Time1, Time2})
    connect(time, &QLineEdit::textChanged, this, [this] {
      Page->SetPulseTimes(Time1->text().toStdString(), Time2->text().toStdString());
      Show();
    });
}

void TServicePage::BuildByteForm(QGridLayout& grid) {
  Instrument = Named(new QComboBox(this), 5641);
  auto* group = new QButtonGroup(this);
  grid.addWidget(Label(*this, 5304, {}), 0, 0);
  grid.addWidget(Label(*this, 5305, {}), 1, 0);
  for (int output = 0; output < 8; ++output) {
    const auto at = static_cast<std::size_t>(output);
    OnRow[at] = Named(new QRadioButton(QString::number(output), this), FirstLowWordBox + output);
    OffRow[at] = Named(new QRadioButton(QString::number(output), this), FirstOffButton + output);
    group->addButton(OnRow[at]);
    group->addButton(OffRow[at]);
    grid.addWidget(OnRow[at], 0, output + 1);
    grid.addWidget(OffRow[at], 1, output + 1);
  }
  grid.addWidget(Instrument, 2, 0, 1, 9);
  connect(Instrument, &QComboBox::currentIndexChanged, this, [this](int index) { Page->Instrument = index; });
}

void TServicePage::SetupWindow() {
  const auto text = [this](int id, int number) {
    if (auto* label = findChild<QLabel*>(QString::number(id)))
      label->setText(DialogParts::Text(Texts, number));
  };
  text(5284, 104);
  for (int i = 0; i < 4; ++i)
    text(5285 + i, 154 + i);
  text(5289, 158);
  Send->setText(DialogParts::Text(Texts, 160));
  if (auto* outputs = findChild<QGroupBox*>("5295"))
    outputs->setTitle(DialogParts::Text(Texts, Words ? 427 : 159));
  if (Words) {
    const QSignalBlocker quiet(TestCases);
    for (const std::string& entry : TServicePageModel::TestCases(Texts))
      TestCases->addItem(QString::fromStdString(entry));
    TestCases->setCurrentIndex(0);
  } else {
    text(5304, 161);
    text(5305, 162);
    const QSignalBlocker quiet(Instrument);
    Instrument->addItems({"Spirometer", "Nebulizer"});
    Instrument->setCurrentIndex(0);
  }
  Page->SetPulseTimes({}, {});
  Show();
}

void TServicePage::TakeControls() {
  for (std::size_t i = 0; i < 16; ++i) {
    if (WordBoxes[i])
      Page->WordBoxes[i] = WordBoxes[i]->isChecked();
    if (PulseBoxes[i])
      Page->PulseBoxes[i] = PulseBoxes[i]->isChecked();
  }
  for (std::size_t i = 0; i < 8; ++i) {
    if (OnRow[i])
      Page->OnRow[i] = OnRow[i]->isChecked();
    if (OffRow[i])
      Page->OffRow[i] = OffRow[i]->isChecked();
  }
}

void TServicePage::Show() {
  const TServicePageModel& m = *Page;
  StartStop->setText(m.IsRunning() ? "Stop" : "Start");
  Send->setEnabled(m.SendEnabled());
  Line->setText(QString::fromStdString(m.MessageLine()));
  const auto indicators = m.Indicators();
  for (std::size_t i = 0; i < Values.size(); ++i)
    if (Values[i])
      Values[i]->setText(m.IsRunning() ? QString::number(indicators[i]) : QString());
  for (std::size_t i = 0; i < Inputs.size(); ++i)
    Inputs[i]->setChecked(((m.StatusInputs() >> i) & 1) != 0);
  for (std::size_t i = 0; i < 16; ++i) {
    if (WordBoxes[i]) {
      const QSignalBlocker quiet(WordBoxes[i]);
      WordBoxes[i]->setChecked(m.WordBoxes[i]);
      WordBoxes[i]->setEnabled(i != 7 && i != 15);
    }
    if (PulseBoxes[i])
      PulseBoxes[i]->setEnabled(m.TestCaseEnabled() && m.PulseBoxEnabled[i]);
  }
  if (TestCases)
    TestCases->setEnabled(m.TestCaseEnabled());
  if (Instrument)
    Instrument->setEnabled(m.InstrumentEnabled());
}

void TServicePage::KillActive() { Page->Stop(); }

void TServicePage::HaveToKillHandler() {
  if (Page)
    Page->HaveToKillHandler();
}
