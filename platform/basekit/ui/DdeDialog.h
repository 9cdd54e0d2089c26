#pragma once

// The settings dialog of the spreadsheet export: row and column letters,
// first row and column, and the workbook. OK copies the fields into the
// record when every field is in range (otherwise it says which are allowed
// and stays open); Cancel leaves the record as it was.

#include "platform/basekit/Dde.h"

#include <QDialog>

class QLineEdit;
class TMessage;

class TDdeDialog final : public QDialog {
public:
  static constexpr int TemplateId = 20135;
  static constexpr int RowLetterId = 5651;
  static constexpr int ColumnLetterId = 5653;
  static constexpr int FirstRowId = 5655;
  static constexpr int FirstColumnId = 5657;
  static constexpr int WorkbookId = 5659;
  static constexpr int HelpId = TemplateId;

  TDdeDialog(const TMessage& messages, QWidget* parent, TTDdeDialogStruct& record);

  void accept() override;

private:
  const TMessage& Messages;
  TTDdeDialogStruct& Record;
  QLineEdit* RowLetter;
  QLineEdit* ColumnLetter;
  QLineEdit* FirstRow;
  QLineEdit* FirstColumn;
  QLineEdit* Workbook;
};
