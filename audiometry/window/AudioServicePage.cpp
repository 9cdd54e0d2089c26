#include "audiometry/window/AudioServicePage.h"

#include "audiometry/setup/HardwareSetup.h"
#include "common/CommandNumbers.h"
#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

using DialogParts::Named;

namespace {

constexpr int TextNeedsLiveAudiometer = 143;
constexpr int TextNoAnswer = 36;
constexpr std::array<const char*, 8> CodeLabels{"62.5", "125", "250", "500", "1K", "2K", "4K", "8K"};

QString QtText(const TMessage* texts, int number) {
  return texts ? QString::fromStdString(texts->LoadStringA(number)) : QString();
}

int Number(const QLineEdit* edit) { return std::atoi(edit->text().toStdString().c_str()); }

}  // namespace

TAudioServicePage::TAudioServicePage(short demo, TMessage* texts, std::string iniPath, QWidget* parent)
    : QWidget(parent), Texts(texts), DemoArgument(demo), IniPath(std::move(iniPath)),
      Conversion(TServiceConversion::Read(IniPath)),
      PageLink(std::make_unique<TAudioInterrupt>(TAudioData::ModeService, texts)) {
  setObjectName("TAudioServicePage");
  setWindowTitle(QtText(texts, 103));
  const auto boxes = [this](std::array<QCheckBox*, 8>& row, int firstId, QGroupBox* group, bool labels) {
    auto* layout = new QHBoxLayout(group);
    for (int bit = 7; bit >= 0; --bit) {
      auto* box = Named(new QCheckBox(labels ? CodeLabels[static_cast<std::size_t>(bit)] : QString::number(bit), group),
                        firstId + bit);
      row[static_cast<std::size_t>(bit)] = box;
      layout->addWidget(box);
    }
  };
  auto* command = Named(new QGroupBox(QtText(texts, 378), this), 5600);
  boxes(CommandBits, 5296, command, false);
  auto* code = Named(new QGroupBox(QtText(texts, 379), this), 5601);
  boxes(CodeBits, 5602, code, true);
  auto* answer = Named(new QGroupBox(QtText(texts, 158), this), 5612);
  boxes(AnswerBits, 5319, answer, false);
  for (QCheckBox* box : AnswerBits)
    box->setEnabled(false);

  Value = Named(new QLineEdit("0", this), 5613);
  Db = Named(new QLineEdit(this), 5610);
  const auto arrows = [this](QLineEdit* edit, int id, int low, int high) {
    auto* up = Named(new QToolButton(this), id);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setObjectName(QString::number(id) + "down");
    down->setArrowType(Qt::DownArrow);
    connect(up, &QToolButton::clicked, this, [this, edit, low, high] { Step(edit, 1, low, high); });
    connect(down, &QToolButton::clicked, this, [this, edit, low, high] { Step(edit, -1, low, high); });
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(up);
    row->addWidget(down);
    return row;
  };
  Counter = Named(new QLabel("0", this), 5294);
  Status = Named(new QLabel(this), 5315);
  Status->setWordWrap(true);
  StartStop = Named(new QPushButton("Start", this), 5283);
  Send = Named(new QPushButton(QtText(texts, 160), this), 5314);
  Send->setEnabled(false);
  CommandBits[7]->setChecked(true);

  auto* values = new QGridLayout;
  values->addWidget(Named(new QLabel(QtText(texts, 307), this), 5614), 0, 0);
  values->addLayout(arrows(Value, 5615, 0, 255), 0, 1);
  values->addWidget(new QLabel("dB HL", this), 1, 0);
  values->addLayout(arrows(Db, 5611, -10, 110), 1, 1);
  values->addWidget(Named(new QLabel(QtText(texts, 157), this), 5288), 2, 0);
  values->addWidget(Counter, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(StartStop);
  buttons->addWidget(Send);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(command);
  layout->addWidget(code);
  layout->addLayout(values);
  layout->addWidget(answer);
  layout->addLayout(buttons);
  layout->addWidget(Status);
  layout->addStretch();

  connect(StartStop, &QPushButton::clicked, this, &TAudioServicePage::BNStartStop);
  connect(Send, &QPushButton::clicked, this, &TAudioServicePage::BNSend);
  connect(Db, &QLineEdit::textChanged, this, &TAudioServicePage::CmChangeDB);
  connect(Value, &QLineEdit::textChanged, this, &TAudioServicePage::CmChangeCommand);
  for (QCheckBox* box : CodeBits)
    connect(box, &QCheckBox::toggled, this, &TAudioServicePage::CmChangeCommand);
}

TAudioServicePage::~TAudioServicePage() { HaveToKillHandler(); }

const TResponseTable& TAudioServicePage::ResponseTable() {
  using P = TAudioServicePage;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&P::CmStop>(CM_STOP),
      Response::Message<&P::EvCommNotify>(WM_COMMNOTIFY),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TAudioServicePage::HaveToKillHandler() {
  if (PageLink && Started) {
    Started = false;
    PageLink->KillHandler();
    PageLink->ServiceDisplay = nullptr;
  }
}

void TAudioServicePage::hideEvent(QHideEvent* event) {
  // Leaving the page stops the link.
  if (Started)
    CmStop();
  QWidget::hideEvent(event);
}

void TAudioServicePage::BNStartStop() {
  if (Started) {
    CmStop();
    return;
  }
  Status->clear();
  const TAudioHardware hardware = TAudioHardware::Read(IniPath, DemoArgument != 0);
  if (hardware.Install == 0 || hardware.Demo != 0) {
    Status->setText(QtText(Texts, TextNeedsLiveAudiometer));
    return;
  }
  TAudioInterrupt& link = *PageLink;
  link.ServiceDisplay = [this](std::uint8_t answer, int count) {
    for (std::size_t bit = 0; bit < 8; ++bit)
      AnswerBits[bit]->setChecked((answer >> bit) & 1u);
    Counter->setText(QString::number(count));
  };
  hardware.Configure(link, IniPath);
  if (!link.TestSerialPort()) {
    Status->setText(QtText(Texts, TextNoAnswer));
    link.ServiceDisplay = nullptr;
    return;
  }
  TAudioInterrupt::pThis = this;
  link.InitHandler();
  StartStop->setText("Stop");
  Send->setEnabled(true);
  Started = true;
}

void TAudioServicePage::CmStop() {
  TAudioInterrupt::SendDataToSerialPort(0x83, 0, 0);
  Started = false;
  PageLink->KillHandler();
  PageLink->ServiceDisplay = nullptr;
  if (TAudioInterrupt::pThis.Get() == this)
    TAudioInterrupt::pThis = nullptr;
  StartStop->setText("Start");
  Send->setEnabled(false);
}

void TAudioServicePage::EvCommNotify(TParam1 handle, TParam2) {
  TTransport* port = TAudioInterrupt::IdCommDev();
  if (!Started || !port || reinterpret_cast<TTransport*>(handle) != port)
    return;
  PageLink->CommNotify(port);
  if (PageLink->FramingErrors || PageLink->Overruns || PageLink->ReceiveOverflows)
    PostMessage(this, WM_COMMAND, CM_STOP);
}

unsigned TAudioServicePage::Bits(const std::array<QCheckBox*, 8>& boxes) const {
  unsigned value = 0;
  for (std::size_t bit = 0; bit < 8; ++bit)
    if (boxes[bit]->isChecked())
      value |= 1u << bit;
  return value;
}

void TAudioServicePage::BNSend() {
  TAudioInterrupt::SendDataToSerialPort(Bits(CommandBits), Bits(CodeBits),
                                        static_cast<unsigned>(std::clamp(Number(Value), 0, 255)));
}

void TAudioServicePage::Step(QLineEdit* edit, int delta, int low, int high) {
  edit->setText(QString::number(std::clamp(Number(edit) + delta, low, high)));
}

void TAudioServicePage::CmChangeDB() {
  if (Converting)
    return;
  const auto frequency = TServiceConversion::GetFreq(Bits(CodeBits));
  if (!frequency)
    return;
  Converting = true;
  Value->setText(QString::number(Conversion.Value(Number(Db), *frequency)));
  Converting = false;
}

void TAudioServicePage::CmChangeCommand() {
  if (Converting)
    return;
  Converting = true;
  if (const auto frequency = TServiceConversion::GetFreq(Bits(CodeBits)))
    Db->setText(QString::number(Conversion.Db(Number(Value), *frequency)));
  else
    Db->clear();
  Converting = false;
}
