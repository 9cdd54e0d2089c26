#include "trend/TrendDialogs.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "trend/TrendParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr TParam1 TrendDialogsHelpId = 2122;

QString Text(const TMessage* messages, int number) {
  return messages ? QString::fromStdString(messages->LoadStringA(number)) : QString();
}

// OK, Cancel (text 87) and Help (text 88, help id 2122 to the main window).
QDialogButtonBox* Buttons(QDialog* dialog, const TMessage* messages, TEventHandler* mainWindow) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(messages, 87));
  buttons->button(QDialogButtonBox::Help)->setText(Text(messages, 88));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  TEventHandlerPtr help(mainWindow);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, dialog, [help] {
    if (help)
      SendMessage(help, WM_SHOW_HELP, TrendDialogsHelpId, 0);
  });
  return buttons;
}

}  // namespace

std::string TTrendParam::ItemText(std::string_view name, std::string_view unit, int screenWidth) {
  const int width = static_cast<int>(30 / (screenWidth * 0.00125)) - static_cast<int>(name.size());
  char text[128];
  std::snprintf(text, sizeof text, "%.*s%*.*s", static_cast<int>(name.size()), name.data(), std::max(width, 0),
                static_cast<int>(unit.size()), unit.data());
  return text;
}

TTrendParam::TTrendParam(const TMessage* messages, short* slot, QWidget* parent, TEventHandler* mainWindow)
    : QDialog(parent), Slot(slot), Combo(new QComboBox(this)) {
  setWindowTitle(Text(messages, 324));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(Text(messages, 325), this);
  label->setBuddy(Combo);
  layout->addWidget(label);
  QFont font(QStringLiteral("Liberation Mono"));
  font.setPointSize(10);
  font.setBold(true);
  Combo->setFont(font);
  Combo->setMaxVisibleItems(20);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 800;
  Combo->addItem(QString());
  for (int group = 0; group < TrendParams::GroupCount; ++group)
    for (int index = 0; index < TrendParams::GroupSize(group); ++index) {
      const auto number = static_cast<short>(group * 100 + index);
      Combo->addItem(QString::fromStdString(ItemText(TrendParams::Name(number), TrendParams::Unit(number), screenWidth)));
    }
  Combo->setCurrentIndex(slot ? TrendParams::ItemOfParam(*slot).value_or(-1) : -1);
  layout->addWidget(Combo);
  layout->addWidget(Buttons(this, messages, mainWindow));
}

void TTrendParam::accept() {
  QDialog::accept();
  if (Slot)
    *Slot = TrendParams::ParamOfItem(Combo->currentIndex(), *Slot);
}

TTrendFilter::TTrendFilter(const TMessage* messages, bool* provoked, bool* lysis, QWidget* parent,
                           TEventHandler* mainWindow)
    : QDialog(parent), ProvokedResult(provoked), LysisResult(lysis), Provoked(new QCheckBox(Text(messages, 327), this)),
      Lysis(new QCheckBox(Text(messages, 328), this)) {
  setWindowTitle(Text(messages, 2));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(Text(messages, 326), this);
  label->setWordWrap(true);
  layout->addWidget(label);
  layout->addWidget(Provoked);
  layout->addWidget(Lysis);
  layout->addWidget(Buttons(this, messages, mainWindow));
}

void TTrendFilter::accept() {
  QDialog::accept();
  if (ProvokedResult)
    *ProvokedResult = Provoked->isChecked();
  if (LysisResult)
    *LysisResult = Lysis->isChecked();
}
