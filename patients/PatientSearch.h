#pragma once

// The patient search dialog: the user types the beginning of a name and
// identifier, or of the identifier alone, and searches; the patients found
// are listed one line each (at most 100). OK puts the patient table's
// cursor on the chosen patient; a search that finds exactly one patient
// takes him at once. The dialog drives the patient sheet's own engine; in
// the identifier-only mode the table is in identifier order until the
// dialog ends.

#include "patients/PatientFinder.h"

#include <QDialog>
#include <QFont>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class TEngine;
class TMessage;

class TPatientSearch final : public QDialog {
public:
  static constexpr int TemplateId = 20119;
  static constexpr int HelpId = 2111;
  static constexpr int NameLabelId = 5590;
  static constexpr int NameId = 5591;
  static constexpr int IdentifierLabelId = 5592;
  static constexpr int IdentifierId = 5593;
  static constexpr int IdentifierOnlyId = 5594;
  static constexpr int IdentifierOnlyLabelId = 5596;
  static constexpr int ResultLabelId = 5597;
  static constexpr int ResultListId = 5598;
  static constexpr int CountId = 5599;
  static constexpr int SearchId = 5600;
  static constexpr int IdentifierModeId = 5601;
  static constexpr int NameModeId = 5602;
  static constexpr int ModeGroupId = 5603;

  // `names` is the patient sheet's engine, open on the patient table.
  TPatientSearch(const TMessage& messages, TEngine& names, QWidget* parent);
  // Leaves the patient table in its primary order.
  ~TPatientSearch() override;

  // The search button.
  void CmSearch();
  PatientFinder::TMode GetMode() const { return Mode; }

  // OK: the cursor goes to the chosen patient.
  void accept() override;

private:
  // A radio button changed: the mode, the table's order and the edits it needs.
  void CmChangeFieldStatus();
  // Search is possible while any edit holds text; OK while a patient is chosen.
  void UpdateButtons();
  bool PatientChosen() const;
  void ShowFound(const PatientFinder::TFound& found);

  const TMessage& Messages;
  TEngine& Names;
  PatientFinder::TMode Mode = PatientFinder::TMode::NameAndIdentifier;
  QRadioButton* NameMode;
  QRadioButton* IdentifierMode;
  QLineEdit* Name;
  QLineEdit* Identifier;
  QLineEdit* IdentifierOnly;
  QLabel* NameLabel;
  QLabel* IdentifierLabel;
  QLabel* IdentifierOnlyLabel;
  QListWidget* Results;
  QLabel* Count;
  QPushButton* Search;
  QPushButton* Ok = nullptr;
};
