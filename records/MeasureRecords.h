#pragma once

// Everything the program's client does with test records, in one place:
// the work files of the measurement window, saving, loading, trend lines
// and replay. The client forwards its messages and commands here; the
// windows are reached through TRecordWindows, the tables through the open
// patient sheet's examination index.

#include "records/DemoReplay.h"
#include "records/ExaminationLoader.h"
#include "records/ExaminationSaver.h"
#include "records/MeasureWorkFiles.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TMeasureRecords {
public:
  TMeasureRecords(TMeasureWorkFiles::TWorkName workName, TMeasureWorkFiles::TStageName stageName,
                  TRecordWindows& windows, TMessage* texts, TExaminationSaver::TClock clock = {});
  ~TMeasureRecords();

  // The examination index of the open patient sheet; null while none is open.
  void SetIndex(TMeasureIndex* index);
  TMeasureIndex* GetIndex() const { return Index; }

  // A stored examination's key "date@time": split at the first at sign;
  // nothing unless both parts hold something.
  static std::optional<std::pair<std::string, std::string>> SplitKey(std::string_view key);

  // The client's messages, each answering as the client does.
  int EvSaveBackup(short kind);
  int EvRestoreBackup(short kind);
  int EvReadBackup(short kind);
  int EvMeasureModeChanged(short kind, short part);
  int EvGetStoredTrial(short kind) const { return WorkFiles.GetStoredTrial(kind); }
  int EvLoadMeasurement(short loadKind, std::string_view key);
  int EvReadTrendData(short filter, std::string_view key);
  int EvLoadAudiogram(short loadKind, std::string_view key);
  int EvLoadDemoData(short kind, short slot, const TReplaySettings& settings, const std::filesystem::path& demoFolder,
                     const std::filesystem::path& logFolder = {});
  // The save command of the measurement window; the engine's result.
  short CmSaveMeasurement();
  short SaveAudiogram();
  void ClearMeetRecordKey();

  TMeasureWorkFiles& GetWorkFiles() { return WorkFiles; }
  TExaminationLoader* GetLoader() { return Loader.get(); }
  TExaminationSaver* GetStore() { return Store.get(); }
  TMessage* GetTexts() const { return Texts; }

private:
  TMeasureWorkFiles WorkFiles;
  TRecordWindows& Windows;
  TMessage* Texts;
  TExaminationSaver::TClock Clock;
  TMeasureIndex* Index = nullptr;
  std::unique_ptr<TExaminationSaver> Store;
  std::unique_ptr<TExaminationLoader> Loader;
};
