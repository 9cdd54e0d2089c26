#include "records/MeasureRecords.h"

#include "records/TrendReader.h"

TMeasureRecords::TMeasureRecords(TMeasureWorkFiles::TWorkName workName, TMeasureWorkFiles::TStageName stageName,
                                 TRecordWindows& windows, TMessage* texts, TExaminationSaver::TClock clock)
    : WorkFiles(std::move(workName), std::move(stageName), texts), Windows(windows), Texts(texts),
      Clock(std::move(clock)) {}

TMeasureRecords::~TMeasureRecords() = default;

void TMeasureRecords::SetIndex(TMeasureIndex* index) {
  Index = index;
  Store = index ? std::make_unique<TExaminationSaver>(*index, WorkFiles, Windows, Texts, Clock) : nullptr;
  Loader = index ? std::make_unique<TExaminationLoader>(*index, WorkFiles, Windows, Texts) : nullptr;
}

std::optional<std::pair<std::string, std::string>> TMeasureRecords::SplitKey(std::string_view key) {
  const std::size_t at = key.find('@');
  if (at == std::string_view::npos || at == 0 || at + 1 >= key.size())
    return std::nullopt;
  return std::pair{std::string(key.substr(0, at)), std::string(key.substr(at + 1))};
}

int TMeasureRecords::EvSaveBackup(short kind) {
  if (TMeasureAccess* window = Windows.Measure())
    WorkFiles.WriteMeasureFile(*window, kind);
  return 1;
}

int TMeasureRecords::EvRestoreBackup(short kind) {
  if (TMeasureAccess* window = Windows.Measure())
    WorkFiles.ReadMeasureFile(*window, kind, false);
  return 1;
}

int TMeasureRecords::EvReadBackup(short kind) {
  if (TMeasureAccess* window = Windows.Measure())
    WorkFiles.ReadSelectedTrial(*window, kind);
  return 1;
}

int TMeasureRecords::EvMeasureModeChanged(short kind, short part) {
  TMeasureAccess* window = Windows.Measure();
  if (!window)
    return 1;
  const TMeasureRecordState& state = window->State();
  if (state.OpenedWithProvocation || state.ProvocationLoaded)
    WorkFiles.ReadStageFiles(*window, kind);
  else
    WorkFiles.ReadMeasureFileForMode(*window, kind, part);
  return 1;
}

int TMeasureRecords::EvLoadMeasurement(short loadKind, std::string_view key) {
  if (const auto parts = SplitKey(key); parts && Loader)
    Loader->LoadMeasurement(parts->first, parts->second, loadKind);
  return 1;
}

int TMeasureRecords::EvReadTrendData(short filter, std::string_view key) {
  if (const auto parts = SplitKey(key); parts && Index)
    TrendReader::FillTrendList(*Index, Windows, parts->first, parts->second, filter);
  return 1;
}

int TMeasureRecords::EvLoadAudiogram(short loadKind, std::string_view key) {
  if (const auto parts = SplitKey(key); parts && Loader)
    Loader->LoadAudioRecord(parts->first, parts->second, loadKind == TExaminationLoader::AsComparison ? 1 : 0);
  return 1;
}

int TMeasureRecords::EvLoadDemoData(short kind, short slot, const TReplaySettings& settings,
                                    const std::filesystem::path& demoFolder, const std::filesystem::path& logFolder) {
  TMeasureAccess* window = Windows.Measure();
  return window ? DemoReplay::LoadDemoData(*window, kind, slot, settings, demoFolder, Texts, logFolder) : 1;
}

short TMeasureRecords::CmSaveMeasurement() { return Store ? Store->SaveMeasurement() : 0; }
short TMeasureRecords::SaveAudiogram() { return Store ? Store->SaveAudiogram() : 0; }

void TMeasureRecords::ClearMeetRecordKey() {
  if (Store)
    Store->ClearMeetRecordKey();
}
