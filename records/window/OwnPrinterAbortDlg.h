#pragma once

// The abort dialog of a print job: the document, the printer, the page in
// hand and the last page, a gauge the printout's progress steps advance,
// and Cancel, which stops the job after the page in hand.

#include <QDialog>

#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class TMessage;

class TOwnPrinterAbortDlg final : public QDialog {
public:
  static constexpr int TemplateId = 32599;
  static constexpr int DocumentId = 101;
  static constexpr int DeviceId = 102;
  static constexpr int PageId = 104;
  static constexpr int LastPageId = 105;
  static constexpr int HintId = 106;
  static constexpr int GaugeId = 5450;
  static constexpr int GaugeStep = 4;

  TOwnPrinterAbortDlg(const TMessage& texts, QWidget* parent, const std::string& title, const std::string& device,
                      const std::string& output);

  // A page number for the page (104) or the last page (105) line; numbers
  // below 1 leave the line as it is.
  void SetNumber(int id, int page);
  // 0: one step of the gauge; 1 to 100: the gauge's value.
  void PrintProgress(int value);
  bool Cancelled() const { return UserAbort; }

  QLabel* PageLine() const { return Page; }
  QLabel* LastPageLine() const { return LastPage; }
  QProgressBar* Gauge() const { return Bar; }
  QPushButton* CancelButton() const { return Cancel; }

  void reject() override;

private:
  const TMessage& Texts;
  QLabel* Page;
  QLabel* LastPage;
  QProgressBar* Bar;
  QPushButton* Cancel;
  bool UserAbort = false;
};
