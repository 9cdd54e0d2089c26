#pragma once

// The storage that the program's client calls when it opens, switches and
// closes the component windows: the work files of the measurement window,
// the stage sets of a provocation and the saves into the tables. Each
// operation answers whether it succeeded; a failure has been shown to the
// user by the store.

#include "common/ProvocationState.h"

#include <functional>

class TMeasureWindow;
class TAudioMeterWindow;

class TExaminationStore {
public:
  virtual ~TExaminationStore() = default;

  // The results of a test type (0 to 5) to and from its work file.
  virtual bool WriteMeasureFile(TMeasureWindow& window, short type) = 0;
  virtual bool ReadMeasureFile(TMeasureWindow& window, short type, bool showResults) = 0;
  // The three stage sets of a test type, for the stage view.
  virtual bool ReadStageSets(TMeasureWindow& window, short type) = 0;
  // The examination into the tables (the meet record and every changed test).
  virtual bool SaveMeasurement(TMeasureWindow& window) = 0;
  virtual bool SaveAudiogram(TAudioMeterWindow& window) = 0;
  // One stage set of a closed provocation as an examination of its own:
  // `prepare` brings the set's stage files back under the work-file names
  // (their kinds are marked new already); then the examination row, with
  // the stage's flag (8 baseline, 16 provoked, 32 third agent), date and
  // time, and the row of every kind the set holds, in one transaction.
  virtual bool SaveProvocationStage(TMeasureWindow& window, short stageFlag, const TStageTime& filed,
                                    const std::function<void()>& prepare) = 0;
};
