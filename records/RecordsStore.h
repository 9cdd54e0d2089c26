#pragma once

// The program client's storage calls answered by the records core: the
// window handed in is the open measurement or audiometer window, which
// the core reaches through TRecordWindows. A window that gives the core no
// access has nothing the core could store: the call does nothing and
// succeeds, as it did before the window existed. An audiogram that cannot
// be stored is reported, and the call fails so that the window keeps it.

#include "records/ExaminationStore.h"
#include "records/MeasureRecords.h"

class TRecordsStore final : public TExaminationStore {
public:
  TRecordsStore(TMeasureRecords& records, TRecordWindows& windows) : Records(records), Windows(windows) {}

  bool WriteMeasureFile(TMeasureWindow& window, short type) override;
  bool ReadMeasureFile(TMeasureWindow& window, short type, bool showResults) override;
  bool ReadStageSets(TMeasureWindow& window, short type) override;
  bool SaveMeasurement(TMeasureWindow& window) override;
  bool SaveAudiogram(TAudioMeterWindow& window) override;
  // The stage's flag and filing time reach the examination row through
  // the provocation window's access, which holds the stage being stored.
  bool SaveProvocationStage(TMeasureWindow& window, short stageFlag, const TStageTime& filed,
                            const std::function<void()>& prepare) override;

private:
  TMeasureRecords& Records;
  TRecordWindows& Windows;
};
