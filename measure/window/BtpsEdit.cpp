#include "measure/window/BtpsEdit.h"

TBtpsEdit::TBtpsEdit(QWidget* parent, int id, int maxLength, float yScale) : QLineEdit(parent) {
  setObjectName(QString::number(id));
  setMaxLength(maxLength);
  QFont bold = font();
  bold.setBold(true);
  bold.setPixelSize(std::max(1, static_cast<int>(FontPixels * yScale)));
  setFont(bold);
  setFrame(true);
  setTextMargins(0, 0, 0, 0);
}
