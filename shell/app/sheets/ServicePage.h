#pragma once

// The service page of the instrument sheets over TServicePageModel: the
// instrument's channels, counter, status inputs and version, and its
// outputs driven by hand. Timers 5 and 6 are QTimers that end the pulses.

#include "shell/app/sheets/OwnPropertySheet.h"
#include "shell/sheets/ServicePageModel.h"

#include <QTimer>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TServicePage final : public TPropertyPage {
public:
  TServicePage(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId,
               short deviceKind);
  ~TServicePage() override;

  void SetupWindow() override;
  void KillActive() override;
  // Stops the link; the sheet calls it when it closes, whatever the result.
  void HaveToKillHandler();
  TServicePageModel& Model() { return *Page; }

private:
  void BuildWordForm(class QGridLayout& grid, short deviceKind);
  void BuildByteForm(class QGridLayout& grid);
  void Show();
  void TakeControls();

  TMessage& Texts;
  bool Words;
  QTimer Timer5;
  QTimer Timer6;
  std::unique_ptr<TServicePageModel> Page;
  QPushButton* StartStop;
  QPushButton* Send;
  QLabel* Line;
  std::array<QLineEdit*, 6> Values{};
  std::array<QCheckBox*, 8> Inputs{};
  std::array<QCheckBox*, 16> WordBoxes{};
  std::array<QCheckBox*, 16> PulseBoxes{};
  std::array<QRadioButton*, 8> OnRow{};
  std::array<QRadioButton*, 8> OffRow{};
  QComboBox* Instrument = nullptr;
  QComboBox* TestCases = nullptr;
  QLineEdit* Time1 = nullptr;
  QLineEdit* Time2 = nullptr;
};
