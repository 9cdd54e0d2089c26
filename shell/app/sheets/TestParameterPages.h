#pragma once

// The pages of the special tests' parameters: diffusion, shutter and body
// plethysmograph. A field that leaves its range is corrected when the user
// leaves it; leaving the page takes the fields, and the sheet writes them
// when it is confirmed.

#include "shell/app/sheets/OwnPropertySheet.h"
#include "shell/sheets/TestParameters.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

class TDiffusionPage final : public TPropertyPage {
public:
  TDiffusionPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId);
  void SetupWindow() override;
  void KillActive() override;
  void WriteSection();
  const TestParameters::TDiffusionValues& Values() const { return Fields; }

private:
  TMessage& Texts;
  std::string IniPath;
  TestParameters::TDiffusionValues Fields;
  std::array<QLineEdit*, TestParameters::DiffusionFieldCount> Edits{};
};

class TShutterPage final : public TPropertyPage {
public:
  TShutterPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId);
  void SetupWindow() override;
  void KillActive() override;
  void WriteSection();
  const TestParameters::TShutterValues& Values() const { return Fields; }

private:
  TMessage& Texts;
  std::string IniPath;
  TestParameters::TShutterValues Fields;
  QComboBox* Metronome;
  QLineEdit* Rate;
};

class TPlethysmographPage final : public TPropertyPage {
public:
  TPlethysmographPage(TMessage& texts, const std::string& iniPath, TOwnPropertySheet* sheet, int resourceId);
  void SetupWindow() override;
  void KillActive() override;
  void WriteSection();
  // The barometer field as the user entered it (hPa); 0 when empty.
  int BarometerOffset() const { return Fields.BarometerOffset; }
  void SetBarometerOffset(int offset) { Fields.BarometerOffset = offset; }
  const TestParameters::TPlethysmographValues& Values() const { return Fields; }

private:
  void CheckRates();

  TMessage& Texts;
  std::string IniPath;
  TestParameters::TPlethysmographValues Fields;
  QLineEdit* BtpsEffect;
  QLineEdit* AutoSetStep;
  QLineEdit* InspBtpsEffect;
  QComboBox* AutomaticBtps;
  QComboBox* Metronome;
  QLineEdit* Rate;
  QLineEdit* HighRate;
  QComboBox* EndMode;
  QComboBox* Method;
  QComboBox* LoopSelection;
  QLineEdit* Resistances;
  QLineEdit* Tgvs;
  QLineEdit* Barometer;
};
