#include "patients/PatientTransfer.h"

#include "patients/MeasureTables.h"
#include "patients/SheetEngines.h"
#include "platform/dbkit/Engine.h"

#include <vector>

namespace {

constexpr std::array<short, TTableSet::Count> Kinds{TableKind::Names, TableKind::Meet,    TableKind::Fvc,
                                                    TableKind::Vc,    TableKind::Mvv,     TableKind::Dfc,
                                                    TableKind::Plethy, TableKind::Shutter, TableKind::Audio,
                                                    TableKind::Rhino};
constexpr std::array<short, 6> ValueCount{TestRow::FvcValues,    TestRow::VcValues,     TestRow::MvvValues,
                                          TestRow::DfcValues,    TestRow::PlethyValues, TestRow::ShutterValues};

// The source row of a meet key; 8710 when the examination has none.
short FindRow(TEngine* table, std::int32_t meetKey) {
  return table ? table->Search(SearchEqual, 1, long{meetKey}) : DbResult::NotFound;
}

short CopySpiroRow(TEngine* from, TEngine* to, short n, std::int32_t oldMeet, std::int32_t newMeet) {
  short result = FindRow(from, oldMeet);
  if (result != 0 || !to)
    return result == DbResult::NotFound ? 0 : result;
  long bytes = 0;
  if ((result = from->GetBlobSize(bytes, dbiREADLOCK)) != 0)
    return result;
  std::vector<float> actual(static_cast<std::size_t>(n)), reference(actual), rsd(actual);
  std::vector<float> curve(static_cast<std::size_t>(bytes) / sizeof(float) + 1);
  long length = 0;
  if ((result = from->GetSpiroRec(actual, reference, rsd, n, curve, length, dbiREADLOCK)) != 0)
    return result;
  return length == 0 ? 0 : to->AddSpiroRecord(actual, reference, rsd, n, curve, length, newMeet, 1);
}

short CopyAudioRow(TEngine* from, TEngine* to, std::int32_t oldMeet, std::int32_t newMeet) {
  short result = FindRow(from, oldMeet);
  if (result != 0 || !to)
    return result == DbResult::NotFound ? 0 : result;
  std::array<int, TestRow::AudioEntries> first{}, second{};
  std::array<bool, TestRow::AudioEntries> firstFlags{}, secondFlags{};
  if ((result = from->GetAudioRec(first, second, firstFlags, secondFlags, TestRow::AudioEntries, dbiREADLOCK)) != 0)
    return result;
  return to->AddAudioRecord(first, second, firstFlags, secondFlags, TestRow::AudioEntries, newMeet, 1);
}

short CopyRhinoRow(TEngine* from, TEngine* to, std::int32_t oldMeet, std::int32_t newMeet) {
  short result = FindRow(from, oldMeet);
  if (result != 0 || !to)
    return result == DbResult::NotFound ? 0 : result;
  std::vector<float> data;
  long length = 0;
  if ((result = from->GetRhinoRec(data, length, dbiREADLOCK)) != 0)
    return result;
  return length == 0 ? 0 : to->AddRhinoRecord(data, length, newMeet, 1);
}

}  // namespace

TFolderTables::TFolderTables() = default;
TFolderTables::~TFolderTables() { Close(); }

const std::array<std::string_view, TTableSet::Count>& TFolderTables::Files() {
  static const std::array<std::string_view, TTableSet::Count> files{
      "names.db", "meet.db", "fvc.db", "vc.db", "mvv.db", "dfc.db", "pl.db", "sh.db", "audio.db", "rhino.db"};
  return files;
}

short TFolderTables::Open(const std::filesystem::path& folder, TMessage* texts, TMode mode,
                          std::string_view languageDriver) {
  Close();
  std::array<TEngine*, TTableSet::Count> opened{};
  for (std::size_t i = 0; i < TTableSet::Count; ++i) {
    const bool exists = std::filesystem::exists(folder / std::string(Files()[i]));
    if (!exists && mode == TMode::Existing)
      continue;
    auto engine = std::make_unique<TEngine>();
    SheetEngines::Prepare(*engine, texts, folder.string(), Files()[i]);
    std::uint32_t database = 0, cursor = 0;
    short result = engine->OpenDB(database);
    if (result == 0)
      result = exists && mode != TMode::Create ? engine->GetTable(cursor)
                                               : engine->CreateTable(cursor, Kinds[i], languageDriver);
    if (result == 0)
      result = engine->GoTop(1);
    Engines[i] = std::move(engine);
    if (result != 0 && result != DbResult::EndOfTable)
      return result;
    opened[i] = Engines[i].get();
  }
  Tables = {opened[0], opened[1], {opened[2], opened[3], opened[4], opened[5], opened[6], opened[7]}, opened[8],
            opened[9]};
  return 0;
}

void TFolderTables::Close() {
  for (auto& engine : Engines) {
    if (!engine)
      continue;
    std::uint32_t handle = 0;
    if (engine->IsTableOpen())
      engine->CloseTable(handle);
    if (engine->IsDatabaseOpen())
      engine->CloseDb(handle);
    engine.reset();
  }
  Tables = {};
}

namespace PatientTransfer {

short CopyPatientRow(const TTableSet& from, const TTableSet& to, PatientRecordType row, std::int32_t& newKey) {
  if (!to.Names)
    return DbResult::NotOpen;
  short result = to.Names->Search(SearchEqual, 1, std::string(FieldText(row.Name)), 2, std::string(FieldText(row.Id)));
  if (result == DbResult::NotFound) {
    std::string note;
    if (from.Names && (result = from.Names->GetBlob(note, dbiREADLOCK)) != 0)
      return result;
    if ((result = to.Names->AddPatientRecord(row, 1)) != 0)
      return result;
    if (!note.empty() && (result = to.Names->SaveBlob(note)) != 0)
      return result;
  } else if (result != 0) {
    return result;
  }
  PatientRecordType stored;
  if ((result = to.Names->GetData(stored, dbiREADLOCK)) != 0)
    return result;
  newKey = stored.Key;
  return 0;
}

short CopyTestRows(const TTableSet& from, const TTableSet& to, std::int32_t flags, std::int32_t oldMeet,
                   std::int32_t newMeet) {
  short result = 0;
  for (std::size_t kind = 0; kind < MeetFlag::OfKind.size() && result == 0; ++kind)
    if (flags & MeetFlag::OfKind[kind])
      result = CopySpiroRow(from.Tests[kind], to.Tests[kind], ValueCount[kind], oldMeet, newMeet);
  if (result == 0 && (flags & MeetFlag::Audiogram))
    result = CopyAudioRow(from.Audio, to.Audio, oldMeet, newMeet);
  if (result == 0 && (flags & MeetFlag::Rhino))
    result = CopyRhinoRow(from.Rhino, to.Rhino, oldMeet, newMeet);
  return result;
}

short CopyExamination(const TTableSet& from, const TTableSet& to, MeetRecordType row, std::int32_t newPatient) {
  if (!to.Meet)
    return DbResult::NotOpen;
  long date = 0, time = 0;
  short result = to.Meet->SetDate(date, FieldText(row.Date));
  if (result == 0)
    result = to.Meet->SetTime(time, FieldText(row.Time));
  if (result == 0)
    result = to.Meet->Search(SearchEqual, 1, long{newPatient}, 2, date, 3, time);
  if (result != DbResult::NotFound)
    return result;  // 0: the target has the examination already
  const std::int32_t oldMeet = row.MeetKey;
  row.PatientKey = newPatient;
  if ((result = to.Meet->AddMeetRecord(row, 1)) != 0)
    return result;
  return CopyTestRows(from, to, row.Flags, oldMeet, row.MeetKey);
}

short CopyExaminations(const TTableSet& from, const TTableSet& to, std::int32_t oldPatient, std::int32_t newPatient) {
  if (!from.Meet)
    return 0;
  short result = from.Meet->Search(SearchGreaterOrEqual, 1, long{oldPatient});
  if (result != 0)
    return result == DbResult::NotFound ? 0 : result;
  // The walk takes the examination the search found, then the ones after it.
  do {
    MeetRecordType row;
    if ((result = from.Meet->GetData(row, dbiREADLOCK)) != 0 || row.PatientKey != oldPatient)
      return result;
    // Copying moves no cursor of the source meet table.
    if ((result = CopyExamination(from, to, row, newPatient)) != 0)
      return result;
  } while (from.Meet->GetNextRec() == 0);
  return 0;
}

short TransferPatient(const TTableSet& from, const TTableSet& to, const PatientRecordType& row) {
  if (!to.Names)
    return DbResult::NotOpen;
  short result = to.Names->BeginTransaction();
  if (result != 0)
    return result;
  std::int32_t newKey = 0;
  result = CopyPatientRow(from, to, row, newKey);
  if (result == 0)
    result = CopyExaminations(from, to, row.Key, newKey);
  if (result == 0)
    result = to.Names->CommitTransaction();
  if (result != 0)
    to.Names->RollbackTransaction();
  return result;
}

TTableSet TablesOf(TEngine* names, const TMeasureTables& tables) {
  TTableSet set;
  set.Names = names;
  set.Meet = tables.Get(0);
  for (std::size_t kind = 0; kind < set.Tests.size(); ++kind)
    set.Tests[kind] = tables.Get(kind + 1);
  set.Audio = tables.Get(7);
  set.Rhino = tables.Get(8);
  return set;
}

short MergeDatabases(const std::filesystem::path& folder, const TTableSet& to, TMessage* texts,
                     const std::function<void(int percent)>& progress) {
  TFolderTables source;
  short result = source.Open(folder, texts, TFolderTables::TMode::Existing);
  TEngine* names = source.Set().Names;
  if (result != 0 || !names)
    return result;
  long patients = 0;
  if ((result = names->GetNumberOfRecords(patients)) != 0)
    return result;
  if (patients == 0 || (result = names->GoTop(1)) != 0)
    return result == DbResult::EndOfTable ? 0 : result;
  long done = 0;
  do {
    if (progress)
      progress(static_cast<int>(100 * done / patients));
    PatientRecordType row;
    if ((result = names->GetData(row, dbiREADLOCK)) != 0 || (result = TransferPatient(source.Set(), to, row)) != 0)
      return result;
    ++done;
  } while (names->GetNextRec() == 0);
  if (progress)
    progress(100);
  return 0;
}

}  // namespace PatientTransfer
