#pragma once

// The provocation window's three dialogs, thin over their models: the
// set-up (template 20125), the parameter of one column with its limit
// (20126) and the dose of the next step (20127). Each control carries its
// id as its object name. The results reach the caller's variables on OK
// only; Help sends WM_SHOW_HELP with the dialog's help id to the main
// window.

#include "special/provocation/ProvDialogModels.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TEventHandler;
class TMessage;

class TProvSetup final : public QDialog {
public:
  static constexpr int ResourceId = 20125;

  TProvSetup(const TMessage& texts, QWidget* parent, const std::string& iniPath, bool nebulizerAvailable,
             TEventHandler* mainWindow = nullptr);

  TProvSetupModel& Model() { return Setup; }
  QPushButton* OkButton() const { return Ok; }
  // Shows the model's state again (after a change from outside the controls).
  void Refresh();

  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void ShowLoadIssues();
  void UpdateOk();

  const TMessage& Texts;
  TProvSetupModel Setup;
  QComboBox* Material = nullptr;
  QComboBox* Solution = nullptr;
  std::array<QRadioButton*, 2> ModeRadio{};
  std::array<QRadioButton*, 3> TypeRadio{};
  std::array<QRadioButton*, 2> HeadRadio{};
  std::array<QLineEdit*, TProvSetupRecord::QueueEntries> QueueEdit{};
  QLabel* QueueCaption = nullptr;
  QLabel* ConcentrationCaption = nullptr;
  QLineEdit* Concentration = nullptr;
  QLineEdit* Maximum = nullptr;
  QCheckBox* Accum = nullptr;
  QLabel* Unit = nullptr;
  QPushButton* Ok = nullptr;
  bool IssuesShown = false;
};

class TProvParam final : public QDialog {
public:
  static constexpr int ResourceId = 20126;

  // `code` and `limit` are written on OK only.
  TProvParam(const TMessage& texts, short* code, short* limit, QWidget* parent, TEventHandler* mainWindow = nullptr);

  QComboBox* ComboBox() const { return Combo; }
  QLineEdit* LimitEdit() const { return Limit; }
  QPushButton* OkButton() const { return Ok; }
  void accept() override;

private:
  void UpdateOk();

  short* CodeResult;
  short* LimitResult;
  TProvParamModel Param;
  QComboBox* Combo = nullptr;
  QLineEdit* Limit = nullptr;
  QPushButton* Ok = nullptr;
};

class TProvInput final : public QDialog {
public:
  static constexpr int ResourceId = 20127;
  // The dose dialog's help is the provocation window's page.
  static constexpr int HelpId = 2134;

  // `dose` holds the accumulated dose on entry and the typed dose after OK.
  TProvInput(const TMessage& texts, float* dose, float maximum, unsigned short accumulate, unsigned short unit,
             QWidget* parent, TEventHandler* mainWindow = nullptr);

  QLineEdit* DoseEdit() const { return Edit; }
  QPushButton* OkButton() const { return Ok; }
  void accept() override;

private:
  float* DoseResult;
  TProvInputModel Input;
  QLineEdit* Edit = nullptr;
  QPushButton* Ok = nullptr;
};
