#pragma once

// The earphone's calibration dialog over TCalibrationSetup: per frequency
// the nominal level of a 70 dB HL tone and the level measured at the
// earphone; OK asks before it stores the corrections.

#include "audiometry/setup/CalibrationSetup.h"

#include <QDialog>

#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QRadioButton;
class TMessage;

class TAudioCalib final : public QDialog {
public:
  static constexpr int HelpId = 78;

  TAudioCalib(TMessage* texts, std::string iniPath, QWidget* parent);

  void CmAudioSplDefault();
  void CmChangeDefault(int id);
  void accept() override;

private:
  void ShowNominal();
  void ShowMeasured();
  void TakeMeasured();

  TMessage* Texts;
  std::string IniPath;
  TCalibrationSetup Model;
  std::array<QLineEdit*, AudioFrequencies> Measured{};
  std::array<QLabel*, AudioFrequencies> Nominal{};
  QRadioButton* Iec = nullptr;
  QRadioButton* Sabs = nullptr;
};
