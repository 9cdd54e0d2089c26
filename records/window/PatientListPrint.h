#pragma once

// TPatientListPrint: what a printed patient list holds (names only, or
// name, address and identifier) and which part of it (all, or from one
// name to another), then the list printed with the print dialog.

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QRadioButton;
class TEngine;
class TMessage;
class TOwnPrinter;
class TPrintManager;

class TPatientListPrint final : public QDialog {
public:
  static constexpr int TemplateId = 20139;
  static constexpr int HelpId = 56;
  static constexpr int ContentGroupId = 5724, NamesOnlyId = 5725, FullId = 5726;
  static constexpr int RangeGroupId = 5727, WholeId = 5728, PartId = 5729;
  static constexpr int FromLabelId = 5720, FromId = 5721, ToLabelId = 5722, ToId = 5723;
  static constexpr int KeyLength = 30;

  TPatientListPrint(const TMessage& texts, QWidget* parent, TEngine& names, TOwnPrinter& printer);

  // The printout the dialog's choices make (for the print, and for tests).
  std::unique_ptr<TPrintManager> MakeManager() const;
  // Runs the print; replaced by tests.
  std::function<bool(TPrintManager&)> Print;

  void accept() override;
  QRadioButton* Button(int id) const;
  QLineEdit* Edit(int id) const;
  // The printer the list prints on.
  TOwnPrinter& GetPrinter() const { return Printer; }

private:
  void ChooseRange(bool part);

  const TMessage& Texts;
  TEngine& Names;
  TOwnPrinter& Printer;
};
