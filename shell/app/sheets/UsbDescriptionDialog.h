#pragma once

// The service dialog that writes a USB description into the EEPROM of the
// first attached FTDI chip, or reads the one it holds.

#include <QDialog>

class QComboBox;
class QLineEdit;
class TFtdiProgrammer;
class TMessage;

class TUSBDescription final : public QDialog {
public:
  // The programmer is borrowed.
  TUSBDescription(const TMessage& texts, QWidget* parent, TFtdiProgrammer& programmer);

  void Save();
  void Read();

private:
  const TMessage& Texts;
  TFtdiProgrammer& Programmer;
  QComboBox* Descriptions;
  QLineEdit* Stored;
};
