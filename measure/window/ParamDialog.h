#pragma once

// TParam: the dialog in which the user chooses the parameters of one test
// kind that the measurement window shows and prints. The decisions are
// TParamChoice's; the dialog shows one check box per parameter, check all,
// clear all, and OK only while a parameter is chosen. Cancel, Escape or
// closing the window put back the choice the dialog opened with.

#include "measure/results/ParamChoice.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QPushButton;
class TMessage;

class TParam final : public QDialog {
public:
  TParam(TMessage& messages, QWidget* parent, short kind, TParamFlags& flags);

  QPushButton* GetOkButton() const { return Ok; }
  QCheckBox* GetCheckBox(int i) const;

  void CheckAll();
  void ClearAll();

  // Keeps the choice; refused while nothing is chosen.
  void accept() override;
  void reject() override;

private:
  // Ticks the boxes from the flags.
  void ShowFlags();
  void UpdateOk();
  void Help();

  TParamChoice Choice;
  std::vector<QCheckBox*> Boxes;
  QPushButton* Ok = nullptr;
};
