#pragma once

// TEngine: one table of the patient database, reached through SQLite. A
// class derives from it (the patient sheet, the doctors dialog) or makes
// one per table. Every operation answers 0 or a code of DbResult; the codes
// the callers handle themselves (start and end of the table, not found,
// duplicate key, held by another user) come silently, every other failure
// also shows the engine's error box through WinMsg.
//
// Use: set the folder, the table file's name and the text object; then
// DbInit, OpenDB, GetTable (or CreateTable), ..., CloseTable, CloseDb,
// DbExit.
//
// The cursor stands on a row or on the gap before the first row, after the
// last row, or where a deleted row was. AtBOF and AtEOF say that no row
// lies before or after it. A move that finds no row leaves the cursor on
// the gap at that end (so a previous-row move answering 8705 followed by a
// next-row move answering 8706 means the table is empty). An insert puts
// the cursor on the new row, a delete on the gap where the row was. The
// cursor and the bookmark follow a row, not a position, so inserts and
// deletes elsewhere (also by other users) do not move them.

#include "platform/dbkit/Records.h"
#include "platform/dbkit/ResultCodes.h"
#include "platform/dbkit/TableLocks.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class TMessage;
class TDatabase;
class TRowNavigator;
struct TTableSchema;
struct TRowValues;
struct TColumnValues;

// The lock a read asks for: none, or that no other user holds the row or
// the table (the read itself keeps no lock; LockRecord does).
enum DBILockType : short { dbiNOLOCK = 0, dbiWRITELOCK = 1, dbiREADLOCK = 2 };

// The conditions of TEngine::Search.
enum DBISearchCond : short { SearchEqual = 0, SearchGreaterOrEqual = 2 };

// A value given to TEngine::Search or TEngine::WriteRecordField: a number
// (keys; dates and times as SetDate and SetTime make them) or a text.
using TFieldValue = std::variant<std::monostate, long, std::string>;

class TEngine {
public:
  // The kind of change notice that RegisterCallBack takes: the table changed.
  static constexpr short CallbackTableChanged = 18;
  using TCallback = std::function<int(short kind)>;

  // The date and time pictures start as the user's settings give them
  // (win.ini [Intl] in the working folder, else "YYYY.MM.DD." and "HH:MM:SS").
  TEngine();
  virtual ~TEngine();
  TEngine(const TEngine&) = delete;
  TEngine& operator=(const TEngine&) = delete;

  // --- Set before use
  void SetFolder(std::string_view folder);  // up to 260 characters; backslashes allowed
  const std::string& GetFolder() const { return Folder; }
  void SetTableName(std::string_view name);  // "names.db"; ".db" is added when missing
  const std::string& GetTableName() const { return TableName; }
  void SetMessages(TMessage* messages) { Messages = messages; }
  TMessage* GetMessages() const { return Messages; }
  void SetDatePicture(std::string_view picture);  // 20 characters are kept
  const std::string& GetDatePicture() const { return DatePicture; }
  void SetDateSeparator(char separator) { DateSeparator = separator; }
  char GetDateSeparator() const { return DateSeparator; }
  void SetTimePicture(std::string_view picture);
  const std::string& GetTimePicture() const { return TimePicture; }
  // The window that owns the engine's boxes; the program's message sink
  // places them.
  void SetEngineHWND(std::uintptr_t owner) { Owner = owner; }
  std::uintptr_t GetEngineHWND() const { return Owner; }

  // --- The engine, the database of the folder, the table
  // SQLite keeps no private folder and reads no settings: DbInit checks
  // that the SQLite library is one the tables need.
  short DbInit(std::string_view privateFolder, std::string_view settingsFile);
  short DbExit();
  // The database of the folder; `database` becomes its handle (0 = closed).
  short OpenDB(std::uint32_t& database);
  short CloseDb(std::uint32_t& database);
  // Opens the table file named by the table name; `cursor` becomes its handle.
  short GetTable(std::uint32_t& cursor);
  // Makes a new, empty table of a kind (TableKind) and opens it. An
  // existing file is never replaced. The language driver is the name after
  // the comma of a GetLanguageDriverList entry; empty means the default.
  short CreateTable(std::uint32_t& cursor, short kind, std::string_view languageDriver);
  short CloseTable(std::uint32_t& cursor);
  bool IsDatabaseOpen() const { return Database != nullptr; }
  bool IsTableOpen() const { return Schema != nullptr; }
  // The kind of the open table, or -1.
  short GetTableKind() const;
  // The order of the rows: "" the primary order, or a secondary index
  // named by its field ("Field2", "Field7").
  short SetIndex(std::string_view indexName);

  // --- A save that spans tables: every write of every engine of the same
  // folder between Begin and Commit is kept together or not at all. Open
  // the tables of a save before it begins: a table opened during the save,
  // or beyond the ten that one connection attaches, cannot join it; its
  // write fails, and so does the commit.
  short BeginTransaction();
  short CommitTransaction();
  short RollbackTransaction();

  // --- A walk over many rows (a listing) read under one shared lock of the
  // table's file instead of one per step; other users cannot write the table
  // while the returned holder lives, so keep it to the walk. Nothing is held
  // while a transaction is open.
  std::shared_ptr<void> HoldForReading();

  // --- Locks another user sees (lock type 1 is the only one the system uses)
  short LockTable(short lockType = dbiWRITELOCK);
  short UnLockTable(short lockType = dbiWRITELOCK);
  short LockRecord(short lockType = dbiWRITELOCK);  // the row under the cursor
  short UnLockRecord();  // every row this engine locked

  // --- Moving (row numbers count from 1)
  short GoTop(short fetch = 1);
  short GoBottom(short fetch = 1);
  short GetNextRec();
  short GetPrevRec();
  bool AtBOF();
  bool AtEOF();
  short GoToRecord(long number);
  short GetRecordIndex(long& number);
  short GetNumberOfRecords(long& count);
  // Remembers the cursor; SetToBookMark(1) goes back there, SetToBookMark(0)
  // only forgets it.
  short GetBookMark();
  short SetToBookMark(int goBack);
  // Up to three fields and values (a field number of 0 ends the list). Text
  // keys compare without trailing blanks and without case. SearchGreaterOrEqual
  // needs the leading fields of the active order. 0 puts the cursor on the
  // first match; 8710 leaves it where it was.
  short Search(DBISearchCond condition, short field1, const TFieldValue& value1, short field2 = 0,
               const TFieldValue& value2 = {}, short field3 = 0, const TFieldValue& value3 = {});

  // --- Records of the row under the cursor
  short GetData(PatientRecordType& record, short lockType = dbiNOLOCK);
  short GetData(MeetRecordType& record, short lockType = dbiNOLOCK);
  short GetData(DoctorRecordType& record, short lockType = dbiNOLOCK);
  // insert 1 adds a row and puts the new key into the record; insert 0
  // rewrites the row under the cursor (the record's key is not used).
  short AddPatientRecord(PatientRecordType& record, int insert);
  short AddMeetRecord(MeetRecordType& record, int insert);
  short AddDoctorRecord(DoctorRecordType& record, int insert);
  // Finds the examination of the record's patient key, date and time, puts
  // the cursor on it and fills the whole record.
  short GetMeetRecordWithKey(MeetRecordType& record);
  short DeleteRec();
  // One field of the row under the cursor, numbered as Search numbers them.
  short WriteRecordField(const TFieldValue& value, short field);

  // --- Test rows, keyed by the meet key. A spirometric row holds `count`
  // actual, reference and residual-SD values (the table's count) and a curve.
  // A row with a curve length (or rhinomanometry length) of 0 is not written.
  short AddSpiroRecord(std::span<const float> actual, std::span<const float> reference, std::span<const float> rsd,
                       short count, std::span<const float> curve, long curveLength, long meetKey, int insert);
  // The curve is read into `curve`; a stored curve longer than it is refused
  // (CurveTooLong) rather than cut.
  short GetSpiroRec(std::span<float> actual, std::span<float> reference, std::span<float> rsd, short count,
                    std::span<float> curve, long& curveLength, short lockType = dbiNOLOCK);
  short GetSpiroRecOnlyData(std::span<float> actual, std::span<float> reference, short count,
                            short lockType = dbiNOLOCK);
  short AddAudioRecord(std::span<const int> firstThresholds, std::span<const int> secondThresholds,
                       std::span<const bool> firstFlags, std::span<const bool> secondFlags, short count, long meetKey,
                       int insert);
  short GetAudioRec(std::span<int> firstThresholds, std::span<int> secondThresholds, std::span<bool> firstFlags,
                    std::span<bool> secondFlags, short count, short lockType = dbiNOLOCK);
  short AddRhinoRecord(std::span<const float> data, long length, long meetKey, int insert);
  // The engine hands back the row's array in `data`.
  short GetRhinoRec(std::vector<float>& data, long& length, short lockType = dbiNOLOCK);

  // --- The memo of the row: the patient's note in names.db, the curve
  // (bytes) of a test row.
  short GetBlob(std::string& blob, short lockType = dbiNOLOCK);
  short SaveBlob(std::string_view blob);
  short GetBlobSize(long& bytes, short lockType = dbiNOLOCK);

  // --- Dates and times in the engine's pictures. SetDate gives the value
  // YYYYMMDD (Search takes it for a date field), SetTime HHMMSS; no calendar
  // check is made (a 31st of February is kept as written). The parts of a
  // text that the picture does not read are -1.
  short SetDate(long& value, std::string_view dateText) const;
  short SetTime(long& value, std::string_view timeText) const;
  int GetYear(std::string_view dateText) const;
  int GetMonth(std::string_view dateText) const;
  int GetDay(std::string_view dateText) const;
  int GetHour(std::string_view timeText) const;
  int GetMinute(std::string_view timeText) const;
  int GetSecond(std::string_view timeText) const;

  // --- The rest
  // Entries "description,name" of the collations CreateTable takes.
  short GetLanguageDriverList(std::vector<std::string>& entries);
  // The network folder of the engine, ending in a separator. This engine
  // keeps no network control folder: it answers NoNetworkFolder.
  short GetNetDir(std::string& folder);
  // A message box in the system's style: flags 16 stop, 48 exclamation,
  // 64 information, plus 4 Yes/No and 256 for the second button as default.
  // Answers the button chosen (IDOK, IDYES, IDNO ...). The caption is the
  // language text given, or text 0 (text 2 for a question) when it is 0.
  int WinMsg(std::string_view text, int flags, int captionNumber = 0);
  // Appends one line (time, workstation, the text) to "halvetra.log" in the
  // engine's folder and flushes it to disk.
  short WriteLogFile(std::string_view line);
  // The change notice: SaveBufferToDiskWhenIdle, which the program calls
  // when idle, looks for changes that another user or another engine made
  // to the table and calls the callback with CallbackTableChanged;
  // CheckRefresh brings the cursor up to date with them.
  short RegisterCallBack(short kind, TCallback callback);
  short UnregisterCallBack(short kind);
  short CheckRefresh();
  short SaveBufferToDiskWhenIdle();

private:
  struct TState;  // the open table and the cursor (EngineState.h)

  // Shows the error box unless the code is one the callers handle (or
  // `showAlways`), and answers the code.
  short Report(const TDbError& error, bool showAlways = false);
  std::string Subject() const;
  std::filesystem::path TablePath() const;
  short OpenTable(std::uint32_t& cursor, bool create, short kind, std::string_view driver);
  TDbError CheckStructure();
  void CloseTableQuietly();
  // Ok when a table is open (of the kind asked for), else the reported error.
  short NeedTable();
  short NeedKind(short kind, std::string_view operation);
  // Reports that an operation does not fit the open table's kind.
  short Refuse(std::string_view operation);
  // Ok for a spirometric table whose value count the call and its arrays match.
  short NeedSpirometric(short count, std::initializer_list<std::size_t> arraySizes);
  // The change notice: every change made so far counts as seen; a write of
  // this engine is noted for the other engines but is no news to this one.
  void NoteChangesSeen();
  void NoteOwnChange();

  // The cursor (EngineCursor.cpp).
  TRowNavigator Navigator() const;
  void SyncPosition();
  // Ok and the row's key when the cursor stands on a row, else the code of
  // where it stands.
  short NeedRow(std::int64_t& key);
  short Move(bool forward);

  // Rows (EngineRecords.cpp). ReadCurrent reads the row under the cursor
  // after the lock test; WriteRow inserts a row (key: the caller's key, or
  // 0 for one the engine gives; the new key comes back) or rewrites the row
  // under the cursor, and leaves the cursor on it.
  short ReadCurrent(short lockType, TRowValues& row);
  short WriteRow(const TColumnValues& values, bool insert, std::int64_t& key);
  // A record of a kind read from the row under the cursor (fill decodes
  // the row), or written as a new row or over it (columns encodes it; the
  // key the row has comes back into the record's key member).
  template <typename TRecord, typename TFill>
  short ReadRecord(TRecord& record, short lockType, short kind, std::string_view what, TFill fill);
  template <typename TRecord, typename TColumns>
  short AddRecord(TRecord& record, int insert, short kind, std::string_view what, std::int32_t TRecord::*key,
                  TColumns columns);

  std::unique_ptr<TState> State;

  std::string Folder;
  std::string TableName;
  TMessage* Messages = nullptr;
  std::string DatePicture;
  char DateSeparator = '.';
  std::string TimePicture;
  std::uintptr_t Owner = 0;

  std::shared_ptr<TDatabase> Database;
  std::uint32_t DatabaseHandle = 0;
  const TTableSchema* Schema = nullptr;
  std::uint32_t CursorHandle = 0;
  bool ReadOnlyTable = false;
  TTableLocks Locks;
  TCallback TableChanged;
};
