#pragma once

// The port page of an instrument sheet over TConfigPageModel: the port
// list with its test, the status line, and the spirometer's pump volume,
// calibration cycles and back extrapolation. Controls are named by id.

#include "shell/sheets/ConfigPageModel.h"
#include "shell/app/sheets/OwnPropertySheet.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TConfigPage final : public TPropertyPage {
public:
  TConfigPage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId,
              short deviceKind, TConfigPageModel::TDeviceLister lister = &TFtdiDevice::ListDescriptions);

  void SetupWindow() override;
  // Writes the status when the sheet is confirmed; tells the user when it cannot.
  void WriteHardwareStatus();
  TConfigPageModel& Model() { return Page; }

private:
  void Show();

  TMessage& Texts;
  TConfigPageModel Page;
  QComboBox* Ports;
  QPushButton* Test;
  QLineEdit* Pump;
  QLabel* Status;
  QComboBox* Extrapolation;
  QComboBox* Cycles;
};
