#include "audiometry/window/AudioEarButton.h"

#include <QPainter>

TAudioEarButton::TAudioEarButton(const QString& caption, TColor chosenColour, QWidget* parent)
    : QAbstractButton(parent), ChosenColour(chosenColour) {
  setText(caption);
  setFocusPolicy(Qt::StrongFocus);
}

void TAudioEarButton::SetChosen(bool chosen) {
  Chosen = chosen;
  update();
}

void TAudioEarButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  const bool inverted = isDown() || (Chosen && !isEnabled());
  const QColor face = inverted ? QColor(63, 63, 63) : QColor(192, 192, 192);
  p.fillRect(r, face);
  // Raised frame: white highlight top and left, grey and black bottom and right.
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
  p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
  p.setPen(QColor(128, 128, 128));
  p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
  p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
  p.setPen(Qt::black);
  p.drawRect(r.adjusted(0, 0, -1, -1));

  QColor colour = palette().color(QPalette::ButtonText);
  if (!isEnabled())
    colour = QColor(128, 128, 128);
  else if (Chosen)
    colour = QColor(ChosenColour.R, ChosenColour.G, ChosenColour.B);
  if (inverted)
    colour = QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue());
  p.setPen(colour);
  QFont font = p.font();
  font.setBold(true);
  p.setFont(font);
  p.drawText(r.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextSingleLine, text());
  if (hasFocus()) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(r.adjusted(4, 4, -5, -5));
  }
}
