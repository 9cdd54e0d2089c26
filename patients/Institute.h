#pragma once

// The institute dialog: the name and address of the institute. OK copies
// both into the program's institute; Cancel leaves it as it was.

#include "patients/InstituteStruct.h"

#include <QDialog>

class QLineEdit;
class TMessage;

class TInstitute final : public QDialog {
public:
  static constexpr int TemplateId = 20104;
  static constexpr int HelpId = 2108;
  static constexpr int NameEditId = 5204;
  static constexpr int AddressEditId = 5203;

  TInstitute(const TMessage& messages, QWidget* parent, TTInstituteStruct& institute);

  void accept() override;

private:
  const TMessage& Messages;
  TTInstituteStruct& Institute;
  QLineEdit* Name;
  QLineEdit* Address;
};
