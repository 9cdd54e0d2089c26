#pragma once

// The controls of the patient data sheet in one of its three layouts, built
// into the sheet's dialog: each control carries its id as its object name.
// The form shows what the headless sheet holds (TPatientSheetView) and
// reports what the user does back to it: typed text, a field left, a list
// entry chosen, a tab clicked, an arrow pressed.

#include "patients/PatientSheetView.h"

#include <QObject>

#include <map>

class QWidget;
class TMessage;
class TPatientSheet;

class TPatientForm final : public QObject, public TPatientSheetView {
public:
  // Builds the controls of the sheet's layout into `dialog`, scaled by the
  // sheet's two screen factors.
  TPatientForm(QWidget& dialog, TPatientSheet& sheet, const TMessage& texts);
  ~TPatientForm() override;

  void ControlChanged(int controlId) override;
  void FocusControl(int controlId, bool selectAll) override;
  void SetHourGlass(bool on) override;

  // Shows every control as the sheet holds it.
  void ShowAll();
  // The control of an id; null when the layout has none.
  QWidget* Control(int controlId) const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Build(QWidget& dialog);
  QWidget* MakeControl(int controlId, QWidget* parent);
  void Connect(int controlId, QWidget* control);

  TPatientSheet& Sheet;
  const TMessage& Texts;
  std::map<int, QWidget*> Controls;
  int HourGlasses = 0;
};
