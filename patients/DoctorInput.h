#pragma once

// Enters or edits one doctor: name, code, address and roles. OK is offered
// once name, code and a role are given, and takes only texts that fit
// their fields in doctor.db.

#include "patients/DoctorEntry.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TMessage;

class TDoctorInput final : public QDialog {
public:
  static constexpr int TemplateId = 20116;
  static constexpr int HelpId = 2125;
  static constexpr int NameId = 5512;
  static constexpr int CodeId = 5514;
  static constexpr int AddressId = 5516;
  static constexpr int TreatingId = 5518;
  static constexpr int HomeId = 5519;
  static constexpr int ReferringId = 5520;

  TDoctorInput(const TMessage& messages, QWidget* parent, TDoctorEntry& entry);

  void accept() override;

private:
  TDoctorEntry Current() const;

  const TMessage& Messages;
  TDoctorEntry& Entry;
  QLineEdit* Name;
  QLineEdit* Code;
  QLineEdit* Address;
  QCheckBox* Treating;
  QCheckBox* Home;
  QCheckBox* Referring;
  QPushButton* Ok = nullptr;
};
