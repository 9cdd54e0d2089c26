#pragma once

// The doctors dialog: the doctors of doctor.db by name, with the code,
// address and roles of the chosen one, and buttons to enter, change and
// delete doctors (each through TDoctorInput). While it is open, no other
// user changes the doctors. It cannot be closed while the table is empty,
// since a patient cannot be saved without a treating doctor.

#include "patients/DoctorList.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TMessage;
class TWaitingDialog;

class TDoctor final : public QDialog, private TDoctorListView {
public:
  static constexpr int TemplateId = 20115;
  static constexpr int HelpId = 2125;
  static constexpr int ListId = 5501;
  static constexpr int CodeId = 5503;
  static constexpr int AddressId = 5505;
  static constexpr int TreatingId = 5506;
  static constexpr int HomeId = 5507;
  static constexpr int ReferringId = 5508;
  static constexpr int DeleteId = 5509;
  static constexpr int ModifyId = 5510;
  static constexpr int NewId = 5511;
  static constexpr int CounterId = 5521;

  // `folder` is the common folder, where doctor.db lies.
  TDoctor(TMessage& messages, const std::string& folder, const std::string& privateFolder, const std::string& iniFile,
          const std::string& languageDriver, QWidget* parent);
  ~TDoctor() override;

  TDoctorList& List() { return Doctors; }

  void done(int result) override;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  bool EditDoctor(TDoctorEntry& entry) override;
  void ProgressBegin() override;
  void ProgressStep() override;
  void ProgressEnd() override;

  // Shows the list's state: names, the chosen doctor, the counter, the buttons.
  void Refresh();
  void Run(void (TDoctorList::*operation)());

  TMessage& Messages;
  TDoctorList Doctors;
  QListWidget* Names;
  QLineEdit* Code;
  QLineEdit* Address;
  QCheckBox* Treating;
  QCheckBox* Home;
  QCheckBox* Referring;
  QPushButton* Modify;
  QPushButton* Delete;
  QPushButton* Close = nullptr;
  QLabel* Counter;
  std::unique_ptr<TWaitingDialog> Progress;
  bool Refreshing = false;
};
