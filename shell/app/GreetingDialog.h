#pragma once

// The greeting shown while the program starts: the product's name, version
// and legal notice with a gauge of the start-up's progress. It is modeless,
// and neither Enter nor Esc nor its title-bar button closes it: the start-up
// closes it when it is done and the greeting has been seen long enough.

#include <QDialog>

class QProgressBar;
class TProjectRCVersion;

class TGreetingDialog final : public QDialog {
public:
  explicit TGreetingDialog(const TProjectRCVersion& version);

  // Moves the gauge and lets the waiting events run, so the greeting paints.
  void SetProgress(int value);
  int GetProgress() const;

  // Closes the dialog for good; the start-up calls this.
  void Finish();

  void accept() override {}
  void reject() override {}

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QProgressBar* Gauge;
  bool Finishing = false;
};
