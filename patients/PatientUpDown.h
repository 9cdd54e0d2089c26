#pragma once

// The arrows beside the height and weight fields: a click asks to move the
// field's value one step up or down. The sheet decides what the value
// becomes; the control only keeps its range and the position it is shown.

#include <QWidget>

#include <functional>

class QToolButton;

class TPatientUpDown final : public QWidget {
public:
  TPatientUpDown(int maximum, QWidget* parent);

  // Called with +1 or -1 for each click (repeated while an arrow is held).
  void SetOnDelta(std::function<void(int)> onDelta) { OnDelta = std::move(onDelta); }
  void SetPos(int position);
  int GetPos() const { return Position; }
  int GetMaximum() const { return Maximum; }
  // As a click on the upper (+1) or lower (-1) arrow.
  void Step(int delta);

private:
  QToolButton* Up;
  QToolButton* Down;
  int Maximum;
  int Position = 0;
  std::function<void(int)> OnDelta;
};
