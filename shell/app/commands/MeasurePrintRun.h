#pragma once

// One print or preview run of the measurement window. While it lasts the
// window's test waits in its work file and its screen is frozen; the
// examination's report is printed from the FVC kind (or from the stages of
// a provocation series), each kind loaded into the window in turn. When
// the run ends, printed, previewed or refused, the window gets its test
// back from the work file and shows it again as it was.

#include "measure/report/MeasurePrintout.h"
#include "platform/basekit/PrintHeader.h"
#include "records/PrintManager.h"
#include "shell/client/PrintChoice.h"

#include <memory>

class QWidget;
class TMeasure;
class TMeasureAccess;
class TMeasureWorkFiles;
class TMessage;

class TMeasurePrintRun {
public:
  TMeasurePrintRun(TMeasure& window, TMeasureAccess& access, TMeasureWorkFiles& files, const TMessage& texts);
  ~TMeasurePrintRun();
  TMeasurePrintRun(const TMeasurePrintRun&) = delete;
  TMeasurePrintRun& operator=(const TMeasurePrintRun&) = delete;

  // Asks for the options in the dialog the installed instruments choose
  // and makes the run's print manager; null when the dialog was refused.
  // A provocation series prints its stages' report.
  std::unique_ptr<TPrintManager> Prepare(std::unique_ptr<TPrintHeader> header, const TInstallFlags& install,
                                         QWidget* parent, bool series);

  // The calibration page: no options dialog; the header names no doctor.
  std::unique_ptr<TPrintManager> PrepareCalibration(std::unique_ptr<TPrintHeader> header);

  TMeasurePrintout& Printout() { return *Printed; }

  static constexpr int RhinoTitle = 469;

private:
  // The rhinomanometry report after its options dialog.
  std::unique_ptr<TPrintManager> PrepareRhino(std::unique_ptr<TPrintHeader> header);
  std::unique_ptr<TPrintManager> Manager(std::unique_ptr<TPrintHeader> header, TPrintManager::TKind kind);

  TMeasure& W;
  TMeasureAccess& Access;
  TMeasureWorkFiles& Files;
  const TMessage& Texts;
  short Kind;
  bool HadScreenCopy = false;
  short Mode;
  std::unique_ptr<TMeasurePrintout> Printed;
};
