#pragma once

// What the patient sheet tells its window. The sheet holds the state of
// every control; the window shows it and reports the user's actions back.

class TPatientSheetView {
public:
  virtual ~TPatientSheetView() = default;

  // A control's text, selection, page, position or enabled state changed.
  virtual void ControlChanged(int /*controlId*/) {}
  virtual void FocusControl(int /*controlId*/, bool /*selectAll*/) {}
  // The wait cursor while the sheet moves through the table.
  virtual void SetHourGlass(bool /*on*/) {}
};
