#include "records/RecordsStore.h"

bool TRecordsStore::WriteMeasureFile(TMeasureWindow&, short type) {
  TMeasureAccess* access = Windows.Measure();
  return !access || Records.GetWorkFiles().WriteMeasureFile(*access, type);
}

bool TRecordsStore::ReadMeasureFile(TMeasureWindow&, short type, bool showResults) {
  if (TMeasureAccess* access = Windows.Measure())
    Records.GetWorkFiles().ReadMeasureFile(*access, type, showResults);
  return true;
}

bool TRecordsStore::ReadStageSets(TMeasureWindow&, short type) {
  if (TMeasureAccess* access = Windows.Measure())
    Records.GetWorkFiles().ReadStageFiles(*access, type);
  return true;
}

bool TRecordsStore::SaveMeasurement(TMeasureWindow&) { return Records.CmSaveMeasurement() == 0; }

bool TRecordsStore::SaveAudiogram(TAudioMeterWindow&) { return Records.SaveAudiogram() == 0; }

bool TRecordsStore::SaveProvocationStage(TMeasureWindow&, short, const TStageTime&,
                                         const std::function<void()>& prepare) {
  // Without a patient's tables there is nowhere to store: the stage files
  // stay where they are.
  TExaminationSaver* saver = Records.GetStore();
  return saver && saver->SaveProvocationStage(prepare) == 0;
}
