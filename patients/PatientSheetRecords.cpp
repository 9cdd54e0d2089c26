// The patient sheet as a browser and editor of the patient table: showing
// a row, moving, a new patient, the lock on the first change, saving,
// cancelling and deleting, and the tabs that show one page of a field set.

#include "common/CommandNumbers.h"
#include "patients/PatientSheet.h"
#include "patients/PatientText.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

using namespace PatientControl;

namespace {

constexpr int RowLockedText = 111;
constexpr int TableInUseText = 249;
constexpr int DiscardChangesText = 323;
constexpr int DuplicatePatientText = 6211;
constexpr std::string_view PatientTable = "Names.db";

}  // namespace

void TPatientSheet::Activate() {
  Active = true;
  Modified = false;
  SaveAllowed = false;
  Filling = false;
}

void TPatientSheet::Deactivate() {
  Active = false;
  Filling = true;
}

void TPatientSheet::SendCloseChildWindow() {
  if (Client)
    SendMessage(Client, WM_CLOSE_CHILD_WINDOWS, 0, 0);
}

void TPatientSheet::SendCloseAllTempFiles() {
  if (Client)
    SendMessage(Client, WM_CLOSE_ALL_TEMP_FILES, 0, 0);
}

void TPatientSheet::ShowTableInUse() {
  Database->WinMsg(Texts.Format(TableInUseText, {std::string(PatientTable)}), PatientDb::Information);
}

std::string TPatientSheet::NameForLog() const { return std::string(Utf8::Truncate(GetText(Name), 99)); }

// --- Showing the current row -----------------------------------------------------

bool TPatientSheet::TableIsEmptyNow() {
  // With the cursor at both ends, a step back that finds the beginning and
  // a step forward that finds the end show that there is no row at all; on
  // a table of one row the two steps leave the cursor where it was.
  if (!Database->AtBOF() || !Database->AtEOF())
    return false;
  return Database->GetPrevRec() == PatientDb::AtBeginning && Database->GetNextRec() == PatientDb::AtEnd;
}

bool TPatientSheet::DisplayPatientTable() {
  const TFlagScope filling(Filling, true);
  // Asked of the table each time, so that the last row deleted here or
  // the first row added elsewhere shows at once.
  TableEmpty = TableIsEmptyNow();
  if (TableEmpty) {
    DispEmptyRec();
    Focus(Name, true);
    return true;
  }
  TPatientFields record;
  const short result = Database->GetData(record, TPatientDatabase::ReadLock);
  if (result == PatientDb::RowLocked || result == PatientDb::InUse) {
    record = {};
    Database->GetData(record, TPatientDatabase::NoLock);
    if (result == PatientDb::RowLocked) {
      // Said once for the row: the sheet redraws it on open, on a hand-over
      // and on a refused change, and the row is no less held each time.
      const bool told = ReadOnly && ReadOnlyPatientKey == record.PatientKey;
      ReadOnly = true;
      ReadOnlyPatientKey = record.PatientKey;
      if (!told)
        Database->WinMsg(Texts.Format(RowLockedText, {std::string(PatientTable)}), PatientDb::Information);
    } else {
      TableInUse = true;
      ShowTableInUse();
    }
    ChangeAllFieldsState(false);
  } else if (ReadOnly || TableInUse) {
    ChangeAllFieldsState(true);
    ReadOnly = TableInUse = false;
  }
  DispPatientRec(record);
  Focus(Name);
  return true;
}

void TPatientSheet::UpdateDisplay() {
  DisplayPatientTable();
  DisplayDoctor(TreatingDoctorKey, TPatientDatabase::TreatingDoctor);
  DisplayDoctor(HomeDoctorKey, TPatientDatabase::HomeDoctor);
  CheckButtons();
}

void TPatientSheet::CheckButtons() {
  CanNext = CanLast = !Database->AtEOF();
  CanFirst = CanPrev = !Database->AtBOF();
  if (TableIsEmptyNow()) {
    TableEmpty = true;
    NewRecord = true;
    CanNew = CanSearch = TableHasRows = false;
  } else {
    TableEmpty = false;
    CanNew = CanSearch = TableHasRows = true;
  }
  Modified = false;
  SaveAllowed = false;
  Focus(Name);
}

short TPatientSheet::MoveRec(short where) {
  View->SetHourGlass(true);
  switch (where) {
    case 0:
      Database->GoTop();
      break;
    case 2:
      Database->GoBottom();
      break;
    case 1:
      if (!Database->AtEOF())
        Database->GetNextRec();
      break;
    case -1:
      if (!Database->AtBOF())
        Database->GetPrevRec();
      break;
    default:
      View->SetHourGlass(false);
      return PatientDb::BadDirection;
  }
  UpdateDisplay();
  SendCloseAllTempFiles();
  View->SetHourGlass(false);
  return PatientDb::Ok;
}

void TPatientSheet::CmPatientFirst() {
  SendCloseChildWindow();
  MoveRec(0);
}

void TPatientSheet::CmPatientPrev() {
  SendCloseChildWindow();
  MoveRec(-1);
}

void TPatientSheet::CmPatientNext() {
  SendCloseChildWindow();
  MoveRec(1);
}

void TPatientSheet::CmPatientLast() {
  SendCloseChildWindow();
  MoveRec(2);
}

// --- A new patient -----------------------------------------------------------------

void TPatientSheet::CmPatientNew() {
  SendCloseChildWindow();
  bool cleared = false;
  {
    const TFlagScope filling(Filling, true);
    cleared = ClearDlg();
  }
  if (cleared) {
    NewRecord = true;
    Modified = true;
  }
}

bool TPatientSheet::ClearDlg() {
  TPatientFields record;
  // A new patient starts in the lab's own units and with its default
  // height and weight, as on an empty table.
  record.Unit = static_cast<std::int32_t>(Settings.DefaultUnit);
  record.Height = Settings.DefaultHeight;
  record.Weight = Settings.DefaultWeight;
  // With a single treating doctor the new patient keeps that doctor.
  if (TreatingDoctors.Entries.size() <= 2)
    record.TreatingDoctorKey = TreatingDoctorKey;
  DispPatientRec(record);
  DisplayDoctor(record.TreatingDoctorKey, TPatientDatabase::TreatingDoctor);
  DisplayDoctor(record.HomeDoctorKey, TPatientDatabase::HomeDoctor);
  CheckButtons();
  WriteEdit(Name, Placeholder);
  WriteEdit(Identifier, Placeholder);
  WriteEdit(Date, Placeholder);
  ReplaceFirstTreatingEntry(Placeholder);
  TreatingDoctors.Selection = TreatingDoctors.Entries.size() == 2 ? 1 : 0;
  // The only doctor, shown as chosen, is the new patient's doctor, whatever
  // doctor the patient shown before had.
  if (TreatingDoctors.Selection == 1)
    if (const std::int32_t only = GetDoctorID(TreatingDoctors.Entries[1], TPatientDatabase::TreatingDoctor))
      TreatingDoctorKey = only;
  Focus(Name, true);
  return true;
}

// --- Changes --------------------------------------------------------------------------

bool TPatientSheet::BeginChange() {
  if (NewRecord || Modified || Filling || TabSwitching || !Database)
    return true;
  // The first change of a shown row takes the row, so that no other
  // workstation changes it meanwhile.
  const short result = Database->LockRecord();
  if (result == PatientDb::Ok)
    return true;
  if (result == PatientDb::InUse)
    ShowTableInUse();
  const TFlagScope filling(Filling, true);
  UpdateDisplay();
  return false;
}

void TPatientSheet::MarkChanged() {
  Modified = true;
  SaveAllowed = Verified();
}

void TPatientSheet::CmChangeData() {
  if (BeginChange())
    MarkChanged();
}

void TPatientSheet::ChangeSelection(int index, int current, void (TPatientSheet::*select)(int)) {
  if (index == current || !BeginChange())
    return;
  (this->*select)(index);
  MarkChanged();
}

void TPatientSheet::CmChangeSex(int index) { ChangeSelection(index, Sex, &TPatientSheet::SetSex); }
void TPatientSheet::CmChangePopulation(int index) {
  ChangeSelection(index, Population, &TPatientSheet::SetPopulation);
}

bool TPatientSheet::Verified() {
  if (!Active)
    return true;
  const std::string name = CorrectingString(Utf8::Truncate(GetText(Name), 299));
  if (IsMissing(name))
    return false;
  const bool full = Settings.Layout == TPageLayout::Full;
  const std::string firstId = CorrectingString(full && IdPage != 0 ? KeptIds[0] : GetText(Identifier));
  if (IsMissing(firstId, TPatientFields::IdWidth))
    return false;
  // The birth date must be a date in every layout; the other two dates may
  // be empty.
  for (std::size_t page = 0; page < KeptDates.size(); ++page) {
    const std::string& date = DatePage == static_cast<int>(page) ? GetText(Date) : KeptDates[page];
    if (page == 0 ? date == Placeholder || !VerifyDate(date) : !date.empty() && !VerifyDate(date))
      return false;
  }
  if (!VerifyUnitOfMeasurements())
    return false;
  RecordUnit = HeightUnit;
  if (TreatingDoctorKey == 0)
    return false;
  return !FirstRefusal();
}

// --- Save, cancel, delete ---------------------------------------------------------

void TPatientSheet::CmPatientSave() {
  // The command may come while its enabler says no: a patient is never
  // stored without a treating doctor.
  if (TreatingDoctorKey == 0) {
    Refuse(TreatingDoctor, Load(RequiredText));
    return;
  }
  // The row edited stays locked until its save commits: a refused save
  // leaves the edit open, and no other workstation may change the row
  // under it.
  if (!SaveRec(NewRecord))
    return;
  Database->UnLockRecord();
  TableEmpty = false;
  const TFlagScope saved(AfterSave, true);
  EndNewRec();
  Database->WriteLogFile("PATEVENT: CmPatientSave(), Name: " + NameForLog() + ", ID: " + std::to_string(PatientKey));
}

bool TPatientSheet::SaveRec(bool insert) {
  // Nothing is written that the table cannot hold whole.
  if (const auto refusal = FirstRefusal()) {
    ShowFieldMessage(*refusal);
    return false;
  }
  for (const int id : {Height, Weight})
    if (const auto refusal = MeasureRefusal(id)) {
      Refuse(id, *refusal);
      return false;
    }
  TPatientFields record = GetPatientRec();
  record.PatientKey = insert ? 0 : PatientKey;
  if (insert)
    record.EcgId.clear();
  const short result = Database->AddPatientRecord(record, insert);
  if (result == PatientDb::InUse)
    ShowTableInUse();
  if (result == PatientDb::Duplicate)
    OfferStoredPatient(record);
  if (result != PatientDb::Ok)
    return false;
  SendCloseAllTempFiles();
  if (insert)
    ReplaceFirstTreatingEntry(Load(NoneEntryText));
  return true;
}

void TPatientSheet::OfferStoredPatient(const TPatientFields& record) {
  // Nothing was stored: the table holds a patient of this name and
  // identifier already, perhaps saved a moment ago at another workstation.
  const std::string text = Texts.Format(DuplicatePatientText, {record.Name, record.Ids[0]});
  if (Database->WinMsg(text, PatientDb::Exclamation | PatientDb::YesNo) != IDYES)
    return;
  if (Database->FindPatient(record.Name, record.Ids[0]) != PatientDb::Ok)
    return;
  // The edit is dropped for the stored patient.
  const TFlagScope filling(Filling, true);
  if (NewRecord)
    ReplaceFirstTreatingEntry(Load(NoneEntryText));
  Database->UnLockRecord();
  NewRecord = false;
  UpdateDisplay();
  SendCloseAllTempFiles();
}

void TPatientSheet::EndNewRec() {
  NewRecord = false;
  UpdateDisplay();
  Focus(Name);
}

bool TPatientSheet::CanContinue(std::string_view text, bool ask, int flags) {
  if (!ask)
    return true;
  return Database->WinMsg(text, PatientDb::Question | PatientDb::YesNo | flags) != IDNO;
}

void TPatientSheet::CmPatientCancel() {
  const TFlagScope filling(Filling, true);
  if (!CanContinue(Load(DiscardChangesText), Modified, PatientDb::SecondButtonDefault))
    return;
  if (NewRecord)
    ReplaceFirstTreatingEntry(Load(NoneEntryText));
  Database->UnLockRecord();
  EndNewRec();
}

bool TPatientSheet::DeletePatientRecord() {
  Database->WriteLogFile("PATIENT: DeletePatientRecord(), Name: " + NameForLog() +
                         ", ID: " + std::to_string(PatientKey));
  const bool deleted = Database->DeleteRec() == PatientDb::Ok;
  // A row that could not be deleted stays on the sheet; after a delete the
  // next row is shown, or the previous one when the last row went.
  if (deleted) {
    if (Database->AtEOF())
      Database->GetPrevRec();
    else
      Database->GetNextRec();
  }
  UpdateDisplay();
  return deleted;
}

// --- Enablers ------------------------------------------------------------------------

void TPatientSheet::CmPatientNewEnable(TCommandEnabler& ce) { ce.Enable(CanNew && !Modified && !TableInUse); }
void TPatientSheet::CmPatientSearchEnable(TCommandEnabler& ce) { ce.Enable(CanSearch && !Modified && !TableInUse); }
void TPatientSheet::CmPatientSaveEnable(TCommandEnabler& ce) {
  ce.Enable(Modified && SaveAllowed && !ReadOnly && !TableInUse);
}
void TPatientSheet::CmPatientCancelEnable(TCommandEnabler& ce) {
  ce.Enable(Modified && !ReadOnly && !TableEmpty && !TableInUse);
}
void TPatientSheet::CmPatientFirstEnable(TCommandEnabler& ce) { ce.Enable(CanFirst && !Modified); }
void TPatientSheet::CmPatientPrevEnable(TCommandEnabler& ce) { ce.Enable(CanPrev && !Modified); }
void TPatientSheet::CmPatientNextEnable(TCommandEnabler& ce) { ce.Enable(CanNext && !Modified); }
void TPatientSheet::CmPatientLastEnable(TCommandEnabler& ce) { ce.Enable(CanLast && !Modified); }

// --- Tabs ------------------------------------------------------------------------------
// A tab switch takes the shown page over into its kept copy and shows the
// kept copy of the new page; it does not by itself make the record changed.

void TPatientSheet::TChangeAddress(int page) {
  if (!Has(AddressTab))
    return;
  const bool wasModified = Modified;
  {
    const TFlagScope switching(TabSwitching, true);
    for (const int id : {Postcode, County, City, Street, Phone})
      EvKillFocus(id);
    SetPage(AddressTab, AddressPage, page);
    const TPatientAddress& shown = KeptAddresses[static_cast<std::size_t>(page)];
    WriteEdit(Postcode, shown.Postcode);
    WriteEdit(County, shown.County);
    WriteEdit(City, shown.City);
    WriteEdit(Street, shown.Street);
    WriteEdit(Phone, shown.Phone);
    if (!MessageShowing)
      Focus(Postcode);
  }
  if (!wasModified)
    Modified = SaveAllowed = false;
}

void TPatientSheet::TChangeID(int page) {
  if (!Has(IdentifierTab))
    return;
  const bool wasModified = Modified;
  {
    const TFlagScope switching(TabSwitching, true);
    EvKillFocusID();
    // The first identifier may be left only when its check took it over.
    const bool firstTaken = !KeptIds[0].empty() && CorrectingString(GetText(Identifier)) == KeptIds[0];
    if (IdPage != 0 || firstTaken) {
      SetPage(IdentifierTab, IdPage, page);
      WriteEdit(Identifier, KeptIds[static_cast<std::size_t>(page)]);
      Focus(Identifier);
    } else {
      SetPage(IdentifierTab, IdPage, 0);
    }
  }
  if (!wasModified)
    Modified = SaveAllowed = false;
}

void TPatientSheet::TChangeDate(int page) {
  if (!Has(DateTab))
    return;
  const bool wasModified = Modified;
  {
    const TFlagScope switching(TabSwitching, true);
    if (ChangeDate()) {
      SetPage(DateTab, DatePage, page);
      WriteEdit(Date, KeptDates[static_cast<std::size_t>(page)]);
      if (!MessageShowing)
        Focus(Date);
    } else {
      SetPage(DateTab, DatePage, DatePage);
    }
  }
  if (!wasModified)
    Modified = SaveAllowed = false;
}
