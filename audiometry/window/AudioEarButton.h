#pragma once

// An ear button: a light-grey face with a raised frame, the ear's name in
// the ear's colour while that ear is chosen, grey when disabled (inverted
// when a chosen button is disabled), a focus rectangle inset by 4 pixels.

#include "platform/basekit/Color.h"

#include <QAbstractButton>

class TAudioEarButton final : public QAbstractButton {
public:
  TAudioEarButton(const QString& caption, TColor chosenColour, QWidget* parent);
  void SetChosen(bool chosen);
  bool IsChosen() const { return Chosen; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TColor ChosenColour;
  bool Chosen = false;
};
