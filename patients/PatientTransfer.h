#pragma once

// Moving a patient with examinations and test rows from the tables of one
// database folder to those of another: the merge of another database into
// the open one, and the copy of a patient (or of chosen examinations, for
// mail) into another folder. A patient already in the target (same name
// and identifier) receives only the examinations it lacks (same date and
// time); new rows get new keys and the copied test rows are re-pointed.
//
// Each patient is copied in one transaction of the target, so that a stop
// never leaves an examination without its rows, which a later run would
// skip for good.

#include "platform/dbkit/Records.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TEngine;
class TMessage;
class TMeasureTables;

// The ten tables of a database folder: names.db, meet.db, the six
// spirometric kinds (FVC ... SHUTTER), audio.db and rhino.db. A table that
// is not there is null (and holds no rows).
struct TTableSet {
  static constexpr std::size_t Count = 10;
  TEngine* Names = nullptr;
  TEngine* Meet = nullptr;
  std::array<TEngine*, 6> Tests{};
  TEngine* Audio = nullptr;
  TEngine* Rhino = nullptr;
};

// Engines of their own on the ten tables of a folder.
class TFolderTables {
public:
  enum class TMode {
    Existing,        // missing tables stay null
    OpenOrCreate,    // a missing table is made
    Create           // every table is made (the folder holds none)
  };
  TFolderTables();
  ~TFolderTables();
  TFolderTables(const TFolderTables&) = delete;
  TFolderTables& operator=(const TFolderTables&) = delete;

  // 0, or the result of the first table that failed (the others are not opened).
  short Open(const std::filesystem::path& folder, TMessage* texts, TMode mode, std::string_view languageDriver = {});
  void Close();
  const TTableSet& Set() const { return Tables; }

  // The table files in the order they are opened.
  static const std::array<std::string_view, TTableSet::Count>& Files();

private:
  std::array<std::unique_ptr<TEngine>, TTableSet::Count> Engines;
  TTableSet Tables;
};

namespace PatientTransfer {

// The patient of `row` in the target: found by name and identifier, or
// inserted with the source's note (the source names table stands on the
// row). `newKey` is its key in the target.
short CopyPatientRow(const TTableSet& from, const TTableSet& to, PatientRecordType row, std::int32_t& newKey);
// Every examination of the old patient that the new one lacks.
short CopyExaminations(const TTableSet& from, const TTableSet& to, std::int32_t oldPatient, std::int32_t newPatient);
// One examination row (the source meet table stands on it) with its rows,
// unless the target patient has it already.
short CopyExamination(const TTableSet& from, const TTableSet& to, MeetRecordType row, std::int32_t newPatient);
// The test rows of every kind the flags name.
short CopyTestRows(const TTableSet& from, const TTableSet& to, std::int32_t flags, std::int32_t oldMeet,
                   std::int32_t newMeet);

// A whole patient in one transaction of the target.
short TransferPatient(const TTableSet& from, const TTableSet& to, const PatientRecordType& row);

// The open database: the sheet's patient table and its measure tables.
TTableSet TablesOf(TEngine* names, const TMeasureTables& tables);

// Every patient of the database in `folder` into `to`, with the progress
// in percent; 0, or the result of the patient that stopped it (the
// patients before it are merged whole).
short MergeDatabases(const std::filesystem::path& folder, const TTableSet& to, TMessage* texts,
                     const std::function<void(int percent)>& progress);

}  // namespace PatientTransfer
