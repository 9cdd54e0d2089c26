#include "platform/dbkit/Engine.h"

#include "platform/basekit/Message.h"
#include "platform/dbkit/DateColumns.h"
#include "platform/dbkit/EngineState.h"
#include "platform/dbkit/LogFile.h"
#include "platform/dbkit/NameCollation.h"
#include "platform/dbkit/TableSchema.h"
#include "platform/framework/IntlSettings.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Utf8.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t PathSize = 260;

std::string Hex(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(value));
  return buffer;
}

}  // namespace

TEngine::TEngine() : State(std::make_unique<TState>()) {
  const TIntlSettings intl = TIntlSettings::Read();
  DatePicture = intl.DatePicture;
  DateSeparator = intl.DateSeparator;
  TimePicture = intl.TimePicture;
}

TEngine::~TEngine() {
  CloseTableQuietly();
  Database.reset();
}

void TEngine::SetFolder(std::string_view folder) { Folder = std::string(Utf8::Truncate(folder, PathSize)); }

void TEngine::SetTableName(std::string_view name) {
  TableName = std::string(Utf8::Truncate(name, PathSize));
  if (!TableName.empty() && TableName.find('.') == std::string::npos)
    TableName += ".db";
}

void TEngine::SetDatePicture(std::string_view picture) {
  DatePicture = std::string(Utf8::Truncate(picture, TIntlSettings::PictureSize));
}

void TEngine::SetTimePicture(std::string_view picture) {
  TimePicture = std::string(Utf8::Truncate(picture, TIntlSettings::PictureSize));
}

// --- Reporting

std::string TEngine::Subject() const { return TableName.empty() ? Folder : TableName; }

short TEngine::Report(const TDbError& error, bool showAlways) {
  if (!error.Code || (!showAlways && DbResult::IsSilent(error.Code)))
    return error.Code;
  const int number = DbResult::TextNumber(error.Code);
  const std::string subject = Subject();
  std::string meaning;
  if (Messages) {
    meaning = Messages->LoadStringA(number);
    if (meaning.find("%1") != std::string::npos)
      meaning = Messages->Format(number, {subject});
  } else
    meaning = "#" + std::to_string(number) + " " + subject;
  // The database-engine error box of the system: meaning, category and
  // code, and SQLite's own words on the second line.
  const std::string text = "        ERROR - " + meaning + "  Cat:Code [" + Hex(DbResult::Category(error.Code)) +
                           "h:" + Hex(DbResult::CodeInCategory(error.Code)) + "h]\r\n                " +
                           error.Detail;
  WinMsg(text, 16);
  return error.Code;
}

int TEngine::WinMsg(std::string_view text, int flags, int captionNumber) {
  TUserMessage message;
  message.Text = std::string(text);
  switch (flags & 0xF0) {
  case 0x10: message.Icon = TMessageIcon::Stop; break;
  case 0x20: message.Icon = TMessageIcon::Question; break;
  case 0x30: message.Icon = TMessageIcon::Warning; break;
  default: message.Icon = TMessageIcon::Information; break;
  }
  switch (flags & 0x0F) {
  case 1: message.Buttons = TMessageButtons::OkCancel; break;
  case 3: message.Buttons = TMessageButtons::YesNoCancel; break;
  case 4: message.Buttons = TMessageButtons::YesNo; break;
  case 5: message.Buttons = TMessageButtons::RetryCancel; break;
  default: message.Buttons = TMessageButtons::Ok; break;
  }
  message.DefaultButton = (flags & 0x200) ? 3 : (flags & 0x100) ? 2 : 1;
  const bool question = message.Buttons == TMessageButtons::YesNo || message.Buttons == TMessageButtons::YesNoCancel;
  const int caption = captionNumber != 0 ? captionNumber : question ? 2 : 0;
  if (!Messages) {
    TStandardErrorSink sink;
    message.Caption = "Halvetra";
    return sink.Show(message);
  }
  message.Caption = Messages->LoadStringA(caption);
  return Messages->GetSink().Show(message);
}

// --- The engine and the database

short TEngine::DbInit(std::string_view, std::string_view) {
  // The tables are STRICT tables, which SQLite knows from 3.37 on.
  if (sqlite3_libversion_number() < 3037000)
    return Report({DbResult::IoError, std::string("SQLite 3.37 or newer is needed; this is ") + sqlite3_libversion()});
  if (const int result = sqlite3_initialize(); result != SQLITE_OK)
    return Report({DbResult::OutOfMemory, sqlite3_errstr(result)});
  return DbResult::Ok;
}

short TEngine::DbExit() {
  CloseTableQuietly();
  Database.reset();
  DatabaseHandle = 0;
  return DbResult::Ok;
}

short TEngine::OpenDB(std::uint32_t& database) {
  if (Database) {
    database = DatabaseHandle;
    return DbResult::Ok;
  }
  std::string reason;
  const auto folder = Paths::ToNative(Folder, &reason);
  if (!folder)
    return Report({DbResult::NoSuchTable, reason});
  TDbError error;
  Database = TDatabase::Open(*folder, error);
  if (!Database)
    return Report(error, true);
  DatabaseHandle = 1;
  database = DatabaseHandle;
  return DbResult::Ok;
}

short TEngine::CloseDb(std::uint32_t& database) {
  CloseTableQuietly();
  Database.reset();
  DatabaseHandle = 0;
  database = 0;
  return DbResult::Ok;
}

std::filesystem::path TEngine::TablePath() const {
  const std::filesystem::path& folder = Database->Folder();
  if (auto existing = Paths::FindNoCase(folder, TableName))
    return *existing;
  return folder / Paths::FoldCase(TableName);
}

short TEngine::GetTable(std::uint32_t& cursor) { return OpenTable(cursor, false, -1, {}); }

short TEngine::CreateTable(std::uint32_t& cursor, short kind, std::string_view languageDriver) {
  return OpenTable(cursor, true, kind, languageDriver);
}

short TEngine::OpenTable(std::uint32_t& cursor, bool create, short kind, std::string_view driver) {
  if (!Database)
    return Report({DbResult::NotOpen, "OpenDB comes before the table."});
  CloseTableQuietly();
  if (TableName.empty() || TableName.find('/') != std::string::npos)
    return Report({DbResult::InvalidRequest, "The table name \"" + TableName + "\" is not a file name."});
  const std::filesystem::path path = TablePath();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const TTableSchema* created = create ? TTableSchema::ForKind(kind) : nullptr;
  if (create) {
    if (!created)
      return Report({DbResult::InvalidRequest, "There is no table kind " + std::to_string(kind) + "."});
    if (exists)
      return Report({DbResult::TableExists, path.string()});
    if (!Database->FolderWritable())
      return Report({DbResult::ReadOnly, Database->Folder().string()});
    // Made exclusively, so that of two users creating the same table one
    // gets TableExists, and a failed creation removes only its own file.
    const int made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (made < 0)
      return Report({errno == EEXIST ? DbResult::TableExists : DbResult::IoError,
                     path.string() + ": " + std::strerror(errno)});
    ::close(made);
  } else if (!exists) {
    return Report({DbResult::NoSuchTable, path.string()});
  }

  const auto mode = create || Database->FolderWritable() ? TDatabase::TAttachMode::Existing
                                                         : TDatabase::TAttachMode::ReadOnly;
  TDbError error;
  State->Table = Database->Attach(path, mode, error);
  if (error) {
    if (create)
      std::filesystem::remove(path, ec);
    return Report(error, true);
  }

  if (create) {
    // An unknown driver (one named by an older database) takes the default:
    // the engine has one collation.
    const std::string collation(NameCollation::IsKnownDriver(driver) ? driver : NameCollation::DefaultDriver);
    if (!(error = Database->BeginWrite(State->Table))) {
      for (const std::string& sql : created->CreateStatements(State->Table.Schema, collation))
        if ((error = Database->Execute(State->Table, sql)))
          break;
      const TDbError ended = Database->EndWrite(State->Table, !error);
      if (!error)
        error = ended;
    }
    if (error) {
      // The file is ours: a table that could not be made is not left behind.
      CloseTableQuietly();
      std::filesystem::remove(path, ec);
      std::filesystem::remove(path.string() + "-journal", ec);
      return Report(error, true);
    }
  }

  if ((error = CheckStructure())) {
    CloseTableQuietly();
    return Report(error, true);
  }
  ReadOnlyTable = !Database->FolderWritable() || ::access(path.c_str(), W_OK) != 0;
  if ((error = Locks.Open(path, !ReadOnlyTable))) {
    CloseTableQuietly();
    return Report(error, true);
  }
  if (!ReadOnlyTable) {
    // Each save reaches the disk before it counts as done, and a crash
    // leaves a journal that puts the file back as it was.
    const std::string schema = "\"" + State->Table.Schema + "\".";
    Database->Execute(State->Table, "PRAGMA " + schema + "journal_mode=DELETE");
    Database->Execute(State->Table, "PRAGMA " + schema + "synchronous=FULL");
  }
  State->Order = &Schema->Orders.front();
  State->Position = TPosition::Before();
  State->BookMark.reset();
  NoteChangesSeen();
  CursorHandle = 1;
  cursor = CursorHandle;
  return DbResult::Ok;
}

TDbError TEngine::CheckStructure() {
  Schema = nullptr;
  const std::string prefix = "\"" + State->Table.Schema + "\".";
  TDbError error;
  std::string kind, layout, collation;
  {
    TStatement about = Database->Prepare(State->Table, "SELECT name, value FROM " + prefix + "about", error);
    if (error) {
      // A database of somebody else's: it has no table "about".
      if (error.Code == DbResult::InvalidRequest)
        error.Code = DbResult::WrongStructure;
      return error;
    }
    int result;
    while ((result = about.Step()) == SQLITE_ROW) {
      const std::string name = about.Text(0);
      if (name == "kind")
        kind = about.Text(1);
      else if (name == "layout")
        layout = about.Text(1);
      else if (name == "collation")
        collation = about.Text(1);
    }
    if (result != SQLITE_DONE)
      return Database->ErrorOf(State->Table, result);
  }
  const TTableSchema* schema = TTableSchema::ForKindName(kind);
  if (!schema)
    return {DbResult::WrongStructure, "The table's kind \"" + kind + "\" is unknown."};
  if (layout != std::to_string(TTableSchema::LayoutVersion))
    return {DbResult::WrongStructure, "The table's layout \"" + layout + "\" is not the one this program reads (" +
                                          std::to_string(TTableSchema::LayoutVersion) + ")."};
  if (!NameCollation::IsKnownDriver(collation))
    return {DbResult::WrongStructure, "The table's collation \"" + collation + "\" is unknown."};

  std::vector<std::string> present;
  {
    TStatement columns =
        Database->Prepare(State->Table, "PRAGMA " + prefix + "table_info(" + schema->KindName + ")", error);
    if (error)
      return error;
    int result;
    while ((result = columns.Step()) == SQLITE_ROW)
      present.push_back(columns.Text(1));
    if (result != SQLITE_DONE)
      return Database->ErrorOf(State->Table, result);
  }
  std::string missing;
  for (const std::string& column : schema->RequiredColumns())
    if (std::find(present.begin(), present.end(), column) == present.end())
      missing += (missing.empty() ? "" : ", ") + column;
  if (!missing.empty())
    return {DbResult::WrongStructure, "Fields missing in \"" + schema->KindName + "\": " + missing};
  Schema = schema;
  return {};
}

void TEngine::CloseTableQuietly() {
  Locks.Close();
  if (Database && State->Table)
    Database->Release(State->Table);
  State->Table = {};
  State->Order = nullptr;
  State->Position = TPosition::Before();
  State->BookMark.reset();
  Schema = nullptr;
  CursorHandle = 0;
  ReadOnlyTable = false;
}

short TEngine::CloseTable(std::uint32_t& cursor) {
  CloseTableQuietly();
  cursor = 0;
  return DbResult::Ok;
}

short TEngine::GetTableKind() const { return Schema ? Schema->Kind : -1; }

short TEngine::NeedTable() {
  if (Schema && Database)
    return DbResult::Ok;
  return Report({DbResult::NotOpen, "GetTable or CreateTable comes first."});
}

// --- Transactions

std::shared_ptr<void> TEngine::HoldForReading() {
  if (!Database || !Schema)
    return nullptr;
  return std::make_shared<TDatabase::TReadScope>(*Database, State->Table);
}

short TEngine::BeginTransaction() {
  if (!Database)
    return Report({DbResult::NotOpen, "OpenDB comes first."});
  return Report(Database->BeginTransaction());
}

short TEngine::CommitTransaction() {
  if (!Database)
    return Report({DbResult::NotOpen, "OpenDB comes first."});
  return Report(Database->CommitTransaction(), true);
}

short TEngine::RollbackTransaction() {
  if (!Database)
    return Report({DbResult::NotOpen, "OpenDB comes first."});
  Database->RollbackTransaction();
  return DbResult::Ok;
}

// --- Locks

short TEngine::LockTable(short) {
  if (const short code = NeedTable())
    return code;
  if (ReadOnlyTable)
    return Report({DbResult::ReadOnly, TablePath().string()}, true);
  return Locks.LockTable();
}

short TEngine::UnLockTable(short) {
  Locks.UnlockTable();
  return DbResult::Ok;
}

short TEngine::LockRecord(short) {
  std::int64_t key = 0;
  if (const short code = NeedRow(key))
    return code;
  if (ReadOnlyTable)
    return Report({DbResult::ReadOnly, TablePath().string()}, true);
  return Locks.LockRow(key);
}

short TEngine::UnLockRecord() {
  Locks.UnlockRows();
  return DbResult::Ok;
}

// --- Dates and times

short TEngine::SetDate(long& value, std::string_view dateText) const {
  const auto date = DateColumns::DateValue(dateText, DatePicture);
  if (!date)
    return DbResult::InvalidDate;
  value = *date;
  return DbResult::Ok;
}

short TEngine::SetTime(long& value, std::string_view timeText) const {
  const auto time = DateColumns::TimeValue(timeText, TimePicture);
  if (!time)
    return DbResult::InvalidDate;
  value = *time;
  return DbResult::Ok;
}

int TEngine::GetYear(std::string_view dateText) const { return DateColumns::Part(dateText, DatePicture, 'Y'); }
int TEngine::GetMonth(std::string_view dateText) const { return DateColumns::Part(dateText, DatePicture, 'M'); }
int TEngine::GetDay(std::string_view dateText) const { return DateColumns::Part(dateText, DatePicture, 'D'); }
int TEngine::GetHour(std::string_view timeText) const { return DateColumns::Part(timeText, TimePicture, 'H'); }
int TEngine::GetMinute(std::string_view timeText) const { return DateColumns::Part(timeText, TimePicture, 'M'); }
int TEngine::GetSecond(std::string_view timeText) const { return DateColumns::Part(timeText, TimePicture, 'S'); }

// --- The rest

short TEngine::GetLanguageDriverList(std::vector<std::string>& entries) {
  entries = NameCollation::DriverList();
  return DbResult::Ok;
}

short TEngine::GetNetDir(std::string& folder) {
  folder.clear();
  return Report({DbResult::NoNetworkFolder, "Set [Path] NetCommon and NetDatabase in the settings file."});
}

short TEngine::WriteLogFile(std::string_view line) {
  std::string reason;
  const auto folder = Paths::ToNative(Folder.empty() ? std::string(".") : Folder, &reason);
  if (!folder)
    return Report({DbResult::IoError, reason}, true);
  return Report(LogFile::Append(std::filesystem::path(*folder) / std::string(LogFile::Name), line), true);
}

short TEngine::RegisterCallBack(short kind, TCallback callback) {
  if (kind != CallbackTableChanged)
    return Report({DbResult::InvalidRequest, "No change notice of kind " + std::to_string(kind) + "."});
  TableChanged = std::move(callback);
  return DbResult::Ok;
}

short TEngine::UnregisterCallBack(short kind) {
  if (kind == CallbackTableChanged)
    TableChanged = nullptr;
  return DbResult::Ok;
}

short TEngine::CheckRefresh() {
  if (!Schema || !Database)
    return DbResult::Ok;
  SyncPosition();
  NoteChangesSeen();
  return DbResult::Ok;
}

void TEngine::NoteChangesSeen() {
  State->SeenDataVersion = Database->DataVersion(State->Table);
  State->SeenLocalChanges = Database->LocalChanges(State->Table);
}

void TEngine::NoteOwnChange() {
  const std::uint64_t seen = Database->LocalChanges(State->Table);
  Database->NoteLocalChange(State->Table);
  if (State->SeenLocalChanges == seen)
    State->SeenLocalChanges = seen + 1;
}

short TEngine::SaveBufferToDiskWhenIdle() {
  // Every save is on the disk already when it returns; what is left for an
  // idle moment is to notice the changes other users made.
  if (!Schema || !Database)
    return DbResult::Ok;
  const bool changed = Database->DataVersion(State->Table) != State->SeenDataVersion ||
                       Database->LocalChanges(State->Table) != State->SeenLocalChanges;
  if (!changed)
    return DbResult::Ok;
  if (TableChanged)
    TableChanged(CallbackTableChanged);
  // Noticed once, whether or not the callback refreshed.
  NoteChangesSeen();
  return DbResult::Ok;
}
