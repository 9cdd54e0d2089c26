#include "measure/window/SelectInstrument.h"

#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSelectInstrument::TSelectInstrument(TMessage* messages, QWidget* parent, const std::string& question,
                                     const std::string& text1, const std::string& text2, const std::string& text3)
    : QDialog(parent), State(question, text1, text2, text3), QuestionLabel(new QLabel(this)) {
  if (messages)
    setWindowTitle(QString::fromStdString(messages->LoadStringA(TInstrumentChoice::CaptionText)));
  QuestionLabel->setObjectName(QString::number(TInstrumentChoice::QuestionId));
  QuestionLabel->setText(QString::fromStdString(State.Question()));
  QuestionLabel->setWordWrap(true);
  QuestionLabel->setMinimumWidth(280);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  for (int i = 0; i < TInstrumentChoice::ButtonCount; ++i) {
    const int id = TInstrumentChoice::FirstButtonId + i;
    auto* button = new QPushButton(QString::fromStdString(State.ButtonText(id)), this);
    button->setObjectName(QString::number(id));
    button->setMinimumWidth(110);
    button->setAutoDefault(false);
    button->setVisible(State.IsShown(id));
    connect(button, &QPushButton::clicked, this, [this, id] { CmPressButton(id); });
    buttonRow->addWidget(button);
    Buttons[static_cast<std::size_t>(i)] = button;
  }
  buttonRow->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(14);
  layout->addWidget(QuestionLabel);
  layout->addLayout(buttonRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  CenterOnShow(*this);
}

void TSelectInstrument::CmPressButton(int id) { done(TInstrumentChoice::Result(id)); }

void TSelectInstrument::reject() { done(IDCANCEL); }
