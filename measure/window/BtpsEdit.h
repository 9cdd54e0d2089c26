#pragma once

// TBtpsEdit: one value field of the BTPS panel, in a small bold font.

#include <QLineEdit>

class TBtpsEdit final : public QLineEdit {
public:
  // `id` names the field; `maxLength` counts the characters it takes.
  TBtpsEdit(QWidget* parent, int id, int maxLength, float yScale);

  // Pixel height of the 9-point font on the reference screen, before scaling.
  static constexpr int FontPixels = 12;
};
