#pragma once

// The print options dialogs: check boxes for the tables and graphs that the
// installed instruments allow, the whole FVC curve, the scale to the upper
// limit of normal and the note (or the note flag alone for the other
// printouts). OK keeps the choices in the header and its settings file;
// Cancel leaves both as they were.

#include <QDialog>

#include <map>

class QCheckBox;
class TMessage;
class TPrintHeader;

class TPrintOptionsDialog final : public QDialog {
public:
  TPrintOptionsDialog(const TMessage& texts, QWidget* parent, TPrintHeader& header, short dialogId);

  void accept() override;
  // The check box of a selection entry (-1: the note flag); null when not offered.
  QCheckBox* Box(int entry) const;

private:
  TPrintHeader& Header;
  std::map<int, QCheckBox*> Boxes;
};

// Runs the dialog; true when the user accepted.
bool ShowPrintStruct(const TMessage& texts, TPrintHeader& header, short dialogId, QWidget* parent);
