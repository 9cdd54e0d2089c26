#pragma once

// The automatic sequence's set-up dialog over TSequenceSetup: the ear
// tested first, ascending or descending, the counts, the tolerance and the
// ordered list of frequencies. OK writes the section and closes.

#include "audiometry/setup/SequenceSetup.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TMessage;

class TAutomaticSetup final : public QDialog {
public:
  static constexpr int HelpId = 81;

  TAutomaticSetup(TMessage* texts, std::string iniPath, QWidget* parent);

  const TSequenceSetup& Setup() const { return Model; }

  void CmAdd();
  void CmUp();
  void CmDown();
  void CmDeleteItem();
  void CmDefault();
  void accept() override;

private:
  void FillSequence(int select);
  void TakeCounts();
  void UpdateButtons();
  int Selected() const;

  TMessage* Texts;
  std::string IniPath;
  TSequenceSetup Model;
  QListWidget* Offered = nullptr;
  QListWidget* Sequence = nullptr;
  QRadioButton* Right = nullptr;
  QRadioButton* Left = nullptr;
  QRadioButton* Ascending = nullptr;
  QRadioButton* Descending = nullptr;
  QLineEdit* Repetitions = nullptr;
  QLineEdit* EqualLevels = nullptr;
  QSpinBox* Tolerance = nullptr;
  QPushButton* Add = nullptr;
  QPushButton* Up = nullptr;
  QPushButton* Down = nullptr;
  QPushButton* Delete = nullptr;
};
