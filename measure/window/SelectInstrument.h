#pragma once

// The instrument choice dialog: a question and one button per installed
// instrument. exec() answers the pressed button's id (5881 to 5883), or
// IDCANCEL when the dialog is closed otherwise.

#include "measure/core/InstrumentChoice.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class TMessage;

class TSelectInstrument : public QDialog {
public:
  TSelectInstrument(TMessage* messages, QWidget* parent, const std::string& question, const std::string& text1,
                    const std::string& text2, const std::string& text3);

  const TInstrumentChoice& Choice() const { return State; }
  void reject() override;

private:
  void CmPressButton(int id);

  TInstrumentChoice State;
  QLabel* QuestionLabel;
  std::array<QPushButton*, TInstrumentChoice::ButtonCount> Buttons{};
};
