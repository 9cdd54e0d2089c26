#include "audiometry/window/AudioConfigPage.h"

#include "audiometry/link/AudioInterrupt.h"
#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/ftdi/FtdiDevice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using DialogParts::Named;

namespace {

constexpr int TextAnswers = 35;

std::string Text(const TMessage* texts, int number) { return texts ? texts->LoadStringA(number) : std::string(); }

}  // namespace

TAudioConfigPage::TAudioConfigPage(short demo, TMessage* texts, std::string iniPath, QWidget* parent, TUsbList usb)
    : QWidget(parent), Texts(texts), IniPath(std::move(iniPath)), Hardware(TAudioHardware::Read(IniPath, demo != 0)) {
  setObjectName("TAudioConfigPage");
  setWindowTitle(QString::fromStdString(Text(texts, 99)));
  if (!usb)
    usb = [] { return TFtdiDevice::ListDescriptions().Descriptions; };
  Items = Hardware.PortItems(texts, Hardware.DemoConfiguration ? std::vector<std::string>{} : usb());

  Ports = Named(new QComboBox(this), 5281);
  Test = Named(new QPushButton(QString::fromStdString(Text(texts, 101)), this), 5282);
  Status = Named(new QLabel(this), 5280);
  Status->setWordWrap(true);
  Status->setMinimumHeight(90);
  Status->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  auto* label = Named(new QLabel(QString::fromStdString(Text(texts, 100)), this), 5318);
  label->setBuddy(Ports);
  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(Ports, 0, 1);
  layout->addWidget(Test, 0, 2);
  layout->addWidget(Status, 1, 0, 1, 3);
  layout->setRowStretch(2, 1);

  const int item = Hardware.InitialItem(Items);
  for (const std::string& text : Items)
    Ports->addItem(QString::fromStdString(text));
  Ports->setCurrentIndex(item);
  if (item < 2) {
    CBNComPortChange(item);
  } else {
    Test->setEnabled(true);
    BNCheckComPort();
  }
  connect(Ports, &QComboBox::activated, this, &TAudioConfigPage::CBNComPortChange);
  connect(Test, &QPushButton::clicked, this, &TAudioConfigPage::BNCheckComPort);
}

void TAudioConfigPage::CBNComPortChange(int index) {
  const TAudioHardware::TChoice choice = Hardware.Choose(index, Items);
  Status->setText(choice.StatusText ? QString::fromStdString(Text(Texts, choice.StatusText)) : QString());
  Test->setEnabled(choice.TestEnabled);
}

void TAudioConfigPage::BNCheckComPort() {
  if (Ports->currentIndex() < 2)
    return;
  TAudioInterrupt link(TAudioData::ModePortTest, Texts);
  Hardware.Configure(link, IniPath);
  const bool answered = link.TestSerialPort();
  Hardware.Tested(answered);
  Status->setText(QString::fromStdString(answered ? Text(Texts, TextAnswers)
                                                  : Text(Texts, 30) + " " + Text(Texts, 163) + "\n\t" + Text(Texts, 32) +
                                                        "\n\t" + Text(Texts, 33)));
  Hardware.Write(IniPath);
}
