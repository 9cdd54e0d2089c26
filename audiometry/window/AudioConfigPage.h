#pragma once

// The "Audio" configuration page: how the audiometer is attached, with a
// button that tests the chosen port by the identification exchange. The
// property sheet calls WriteHardwareStatus on OK.

#include "audiometry/setup/HardwareSetup.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class TMessage;

class TAudioConfigPage final : public QWidget {
public:
  static constexpr int HelpId = 78;
  // The attached FTDI devices' descriptions (the bus's by default).
  using TUsbList = std::function<std::vector<std::string>()>;

  TAudioConfigPage(short demo, TMessage* texts, std::string iniPath, QWidget* parent = nullptr, TUsbList usb = {});

  bool WriteHardwareStatus() { return Hardware.Write(IniPath); }
  const TAudioHardware& GetHardware() const { return Hardware; }

  void BNCheckComPort();
  void CBNComPortChange(int index);

private:
  TMessage* Texts;
  std::string IniPath;
  TAudioHardware Hardware;
  std::vector<std::string> Items;
  QComboBox* Ports = nullptr;
  QPushButton* Test = nullptr;
  QLabel* Status = nullptr;
};
