#include "patients/DoctorList.h"

#include "patients/DatabaseFolders.h"
#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"

#include <algorithm>

namespace {

constexpr const char* TableFile = "doctor.db";
constexpr const char* NameOrder = "Field2";

constexpr int WarningCaption = 145;
constexpr int QuestionCaption = 2;
constexpr int TableHeldText = 249;
constexpr int ConfirmDeleteText = 265;
constexpr int TooManyText = 266;
constexpr int NameTakenText = 6104;

// Message-box flags of the engine's boxes.
constexpr int Question = 32;
constexpr int Information = 64;
constexpr int YesNo = 4;
constexpr int SecondButtonDefault = 256;

}  // namespace

TDoctorList::TDoctorList(TMessage& texts, const TDoctorTableSettings& settings, TDoctorListView& view)
    : Texts(texts), Settings(settings), View(view) {
  Table.SetFolder(Settings.Folder);
  Table.SetTableName(TableFile);
  Table.SetMessages(&Texts);
  Started = Table.DbInit(Settings.PrivateFolder, Settings.SettingsFile) == DbResult::Ok;
  Closing = !Started;
}

TDoctorList::~TDoctorList() {
  CloseDoctorDatabase();
  if (Started)
    Table.DbExit();
}

bool TDoctorList::OpenDoctorDatabase() {
  if (!Started)
    return false;
  Closing = true;
  if (Table.OpenDB(Database) != DbResult::Ok)
    return false;
  const short opened = DatabaseFolders::HoldsTable(Settings.Folder, TableFile)
                           ? Table.GetTable(Cursor)
                           : Table.CreateTable(Cursor, TableKind::Doctor, Settings.LanguageDriver);
  if (opened != DbResult::Ok)
    return false;
  const short locked = Table.LockTable(dbiWRITELOCK);
  if (locked == DbResult::TableLocked || locked == DbResult::TableInUse) {
    Table.WinMsg(Texts.Format(TableHeldText, {"Doctor.db"}), Information);
    return false;
  }
  if (locked != DbResult::Ok || Table.SetIndex(NameOrder) != DbResult::Ok)
    return false;
  Closing = false;
  DisplayDoctorTable("");
  return true;
}

void TDoctorList::CloseDoctorDatabase() {
  if (Cursor != 0) {
    Table.UnLockTable(dbiWRITELOCK);
    Table.CloseTable(Cursor);
    Cursor = 0;
  }
  if (Database != 0) {
    Table.CloseDb(Database);
    Database = 0;
  }
}

void TDoctorList::DisplayDoctorTable(const std::string& nameToSelect) {
  Names.clear();
  Selection = -1;
  Shown = {};
  long count = 0;
  if (Table.GetNumberOfRecords(count) != DbResult::Ok || count == 0)
    return;
  View.ProgressBegin();
  short result = Table.GoTop(1);
  while (result == DbResult::Ok) {
    DoctorRecordType record;
    if (Table.GetData(record, dbiREADLOCK) != DbResult::Ok)
      break;
    Names.push_back(FieldText(record.Name));
    View.ProgressStep();
    result = Table.GetNextRec();
  }
  View.ProgressEnd();
  if (Names.empty())
    return;
  const auto found = std::find(Names.begin(), Names.end(), nameToSelect);
  ChangeDoctorName(found == Names.end() ? 0 : static_cast<int>(found - Names.begin()));
}

void TDoctorList::ChangeDoctorName(int index) {
  if (index < 0 || index >= static_cast<int>(Names.size()))
    return;
  DoctorRecordType record;
  if (Table.GoToRecord(index + 1) != DbResult::Ok || Table.GetData(record, dbiREADLOCK) != DbResult::Ok)
    return;
  Selection = index;
  Shown = TDoctorEntry::FromRecord(record);
}

std::string TDoctorList::Counter() const {
  if (Names.empty())
    return "0/0";
  return std::to_string(Selection + 1) + "/" + std::to_string(Names.size());
}

short TDoctorList::AddRecordToDatabase(const TDoctorEntry& entry, bool insert) {
  DoctorRecordType record = entry.ToRecord();
  return Table.AddDoctorRecord(record, insert ? 1 : 0);
}

void TDoctorList::Edit(TDoctorEntry entry, bool insert) {
  const TDoctorEntry before = entry;
  while (View.EditDoctor(entry)) {
    if (!insert && entry == before)
      return;
    // The row to rewrite is the chosen one, wherever the cursor went since.
    if (!insert && Table.GoToRecord(Selection + 1) != DbResult::Ok) {
      WriteFailed = true;
      return;
    }
    const short result = AddRecordToDatabase(entry, insert);
    if (result == DbResult::DuplicateKey) {
      Texts.MessageBoxText(Texts.Format(NameTakenText, {entry.Name}), 0, TMessageIcon::Warning);
      continue;
    }
    if (result != DbResult::Ok) {
      // The engine has told the user why.
      WriteFailed = true;
      return;
    }
    if (!insert && entry.Name == before.Name)
      Shown = entry;
    else
      DisplayDoctorTable(entry.Name);
    return;
  }
}

void TDoctorList::AddNewDoctor() {
  if (static_cast<int>(Names.size()) >= MaxDoctors) {
    Texts.MessageBoxText(Texts.Format(TooManyText, {std::to_string(MaxDoctors)}), WarningCaption,
                         TMessageIcon::Warning);
    return;
  }
  Edit({}, true);
}

void TDoctorList::ModifyDoctor() {
  if (Selection < 0)
    return;
  TDoctorEntry entry = Shown;
  entry.Name = Names[static_cast<std::size_t>(Selection)];
  Edit(entry, false);
}

void TDoctorList::DeleteDoctor() {
  if (Selection < 0)
    return;
  if (Table.WinMsg(Texts.LoadStringA(ConfirmDeleteText), Question | YesNo | SecondButtonDefault, QuestionCaption) !=
      IDYES)
    return;
  if (Table.GoToRecord(Selection + 1) != DbResult::Ok || Table.DeleteRec() != DbResult::Ok) {
    WriteFailed = true;
    return;
  }
  Names.erase(Names.begin() + Selection);
  Selection = -1;
  Shown = {};
  Table.GoTop(1);
  ChangeDoctorName(0);
}
