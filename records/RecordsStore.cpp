#include "records/RecordsStore.h"

#include "records/RecordTexts.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/ResultCodes.h"

#include <string>

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

bool TRecordsStore::SaveAudiogram(TAudioMeterWindow&) {
  TAudioAccess* audio = Windows.Audiometer();
  if (!audio)
    return true;
  // Without a patient's tables there is nowhere to store: say so rather
  // than let the window count the audiogram as stored.
  const short result = Records.GetStore() ? Records.SaveAudiogram() : short{DbResult::NotOpen};
  if (result == 0) {
    audio->State();  // the window takes the cleared "new" mark now
    return true;
  }
  if (TMessage* texts = Records.GetTexts())
    texts->MessageBoxText(result == DbResult::NotOpen
                              ? texts->LoadStringA(RecordText::AudiogramNoTables)
                              : texts->Format(RecordText::AudiogramNotStored, {std::to_string(result)}),
                          0, TMessageIcon::Stop);
  return false;
}

bool TRecordsStore::SaveProvocationStage(TMeasureWindow&, short stageFlag, const TStageTime& filed,
                                         const std::function<void()>& prepare) {
  // Without a patient's tables there is nowhere to store: the stage files
  // stay where they are.
  TExaminationSaver* saver = Records.GetStore();
  const TExaminationSaver::TStage stage{
      stageFlag, {filed.Year, filed.Month, filed.Day, filed.Hour, filed.Minute, filed.Second}};
  return saver && saver->SaveProvocationStage(stage, prepare) == 0;
}
