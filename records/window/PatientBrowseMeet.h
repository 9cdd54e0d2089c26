#pragma once

// The browser of the shown patient's tests: one line per examination,
// with the chosen one's kinds, provocation data and note beside the list.
// The user deletes examinations, edits a note, mails chosen ones, or
// chooses tests to load: the dialog does not load them itself, it leaves
// the client the load messages to send (GetPlan) when it closes with OK.

#include "records/BrowsePlan.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TMeasureIndex;
class TMessage;
struct MEET_INFORMATION;

class TPatientBrowseMeet final : public QDialog {
public:
  static constexpr int DialogId = 20121;
  static constexpr int ListId = 5725;
  static constexpr int OrderId = 5744;
  static constexpr int OrderArrowId = 5751;
  static constexpr int CountId = 5743;
  static constexpr int NoteId = 5732;
  static constexpr int TrendId = 5730;
  static constexpr int PrintId = 5729;
  static constexpr int DeleteId = 5728;
  static constexpr int MailId = 5752;
  static constexpr int HelpId = 2120;

  struct TSetup {
    std::string IniPath;
    bool AudioInstalled = false;
    bool RhinoInstalled = false;
    // Mails the chosen lines; none: the mail button stays off.
    std::function<bool(const std::vector<std::string>& lines)> Mail;
    // Asks which stages a trend takes (provoked, lysis); true on OK. None:
    // the trend button stays off.
    std::function<bool(bool& provoked, bool& lysis)> TrendFilter;
    // Loads the chosen tests by `plan` and prints them; `series` when they
    // are the stages of a provocation. None: the print button stays off.
    std::function<void(const std::vector<BrowsePlan::TMessage>& plan, bool series)> Print;
  };

  TPatientBrowseMeet(TMessage& texts, TMeasureIndex& index, TSetup setup, QWidget* parent);
  ~TPatientBrowseMeet() override;

  // The load messages that OK chose.
  const std::vector<BrowsePlan::TMessage>& GetPlan() const { return Plan; }
  QListWidget* List() const { return ListBox; }

  void Fill();
  void CmDelete();
  void CmToggleOrder();
  void CmMail();
  // Trend: the filter, then the plan sends the chosen lines of the first
  // chosen kind to the trend, and the dialog closes.
  void CmTrend();
  // Print: the chosen tests loaded and printed while the dialog stays
  // (a pre/post pair or a provocation's stages together).
  void CmPrint();
  void EditNote();
  // Load: the plan of the chosen tests, then the dialog closes.
  void accept() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  std::vector<BrowsePlan::TLine> Lines() const;
  std::vector<std::string> SelectedLines() const;
  // The stages among two or three chosen spirometric tests.
  struct TStages {
    bool Baseline = false, Provoked = false, Solvent = false;
  };
  TStages ChosenStages(const BrowsePlan::TKinds& kinds) const;
  void ShowInformation();
  void Enable();
  std::size_t DateLength() const;
  std::size_t TimeLength() const;

  TMessage& Texts;
  TMeasureIndex& Index;
  TSetup Setup;
  int DateOrder = 0;
  int DoseUnit = 0;
  std::vector<BrowsePlan::TMessage> Plan;
  bool Printing = false;  // a print from here is running

  QListWidget* ListBox;
  QLabel* Arrow;
  QLabel* Count;
  std::vector<QCheckBox*> KindBoxes;  // FVC, VC, MVV, DFC, PL, SH, baseline, provoked, solvent
  QLineEdit* Agent;
  QLineEdit* Concentration;
  QLineEdit* Dose;
  QLineEdit* Note;
  QPushButton* Load;
  QPushButton* Trend;
  QPushButton* Print;
  QPushButton* Delete;
  QPushButton* MailButton;
};
