#pragma once

// The storage that the program's client calls when it opens, switches and
// closes the component windows: the work files of the measurement window,
// the stage sets of a provocation and the saves into the tables. Each
// operation answers whether it succeeded; a failure has been shown to the
// user by the store.

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
};
