#pragma once

// A small window that shows how far a long run of table work has come,
// while the work runs in its caller's own loop: a caption, two lines of
// text and a bar. The user cannot close it; its owner closes it with
// Destroy(0) when the work is done. Each step lets the program process its
// waiting events, so the window stays painted while the loop runs.

// The wait cursor that long table work shows beside this window.
#include "platform/basekit/ui/WaitCursor.h"

#include <QDialog>

#include <string>

class QLabel;
class QProgressBar;

class TWaitingDialog final : public QDialog {
public:
  // Control ids, also the object names of the controls.
  static constexpr int Line1Id = 5540;
  static constexpr int Line2Id = 5541;
  static constexpr int GaugeId = 5450;

  TWaitingDialog(const std::string& caption, const std::string& line1, const std::string& line2, QWidget* parent);

  // Shows the window without waiting; true once it is shown.
  bool Execute();
  // Line 1 or 2; other lines are ignored.
  void ModifyText(short line, const std::string& text);
  void UpdateGauge(short value);
  void SetStep(short step);
  // Advances the bar by one step; past its end it starts again.
  void DoOneStep();
  void ResetGauge();
  // Enter (1) and Esc (2) do not close the window; any other code does.
  void Destroy(int code);

  short GetGaugeValue() const { return Value; }
  bool IsShownNow() const { return Shown; }

protected:
  void done(int code) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void ShowValue();
  void BringToTopAndPaint(bool processEvents);

  QLabel* Line1;
  QLabel* Line2;
  QProgressBar* Gauge;
  short Value = 0;
  short Step = 10;
  bool Shown = false;
  bool Closing = false;
};
