#pragma once

// The nebulizer page of the instrument sheets over TNebulizerPageModel.

#include "shell/sheets/NebulizerPageModel.h"
#include "shell/app/sheets/OwnPropertySheet.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TNebulizerPage final : public TPropertyPage {
public:
  TNebulizerPage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId,
                 short deviceKind);

  void SetupWindow() override;
  void WriteHardwareStatus();
  TNebulizerPageModel& Model() { return Page; }

private:
  void Show();

  TMessage& Texts;
  TNebulizerPageModel Page;
  QComboBox* Models;
  QComboBox* Dose;
  QLineEdit* Purple;
  QLineEdit* Green;
  QLineEdit* Pressure;
  QPushButton* Test;
  QLabel* Status;
};
