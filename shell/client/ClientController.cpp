#include "shell/client/ClientController.h"

#include "platform/framework/CommandEnabler.h"

#include "common/CommandNumbers.h"
#include "patients/PatientDatabase.h"
#include "patients/PatientSheet.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/CommandEnabler.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Utf8.h"
#include "shell/settings/AppSettings.h"
#include "shell/client/ClientWindows.h"
#include "shell/settings/HandOverFile.h"
#include "shell/settings/WorkFiles.h"

#include <utility>

namespace {

constexpr int TableInUseText = 249;
constexpr int StoreNoteText = 282;
constexpr int NotePatientGoneText = 6200;
constexpr int HandOverKeptText = 6201;
constexpr int UnsavedHandOverText = 6210;
constexpr std::string_view PatientTable = "Names.db";

// A made-up patient, so a test window can be opened before a patient is
// chosen; no real person's data.
PREDICTED_DATA SamplePatient() {
  PREDICTED_DATA patient;
  patient.SetName("Sample Patient");
  patient.SetId("S000001");
  patient.Age = 44;
  patient.Height = 175;
  patient.Weight = 75;
  patient.Sex = 1;
  patient.BirthYear = 1980;
  patient.BirthMonth = 6;
  patient.BirthDay = 15;
  patient.Unit = 0;
  return patient;
}

}  // namespace

TClientController::TClientController(TMessage& texts, TClientWindows& windows, const TWorkFiles& workFiles)
    : Texts(texts), Windows(windows), WorkFiles(workFiles), PatientData(SamplePatient()) {}

const TResponseTable& TClientController::ResponseTable() {
  using C = TClientController;
  static constexpr TResponseEntry entries[] = {
      Response::Message<&C::EvCloseChildWindows>(WM_CLOSE_CHILD_WINDOWS),
      Response::Message<&C::EvCloseAllTempFiles>(WM_CLOSE_ALL_TEMP_FILES),
      Response::Command<&C::CmNoteClosed>(CM_NOTE_CLOSED),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

// --- Window slots ------------------------------------------------------------------

void TClientController::SlotOpened(TClientSlot slot) { Open[static_cast<std::size_t>(slot)] = true; }

void TClientController::SlotClosed(TClientSlot slot) {
  Open[static_cast<std::size_t>(slot)] = false;
  if (slot != TClientSlot::Patient)
    return;
  Sheet = nullptr;
  Names = nullptr;
  // Without a patient no test window stays; nor do the work files of his
  // tests, unless the measurement stayed open because its results could
  // not be saved: its work files stay with it.
  CloseTestWindows();
  if (!IsOpen(TClientSlot::Measure))
    DeleteTempFiles();
}

void TClientController::SheetOpened(TPatientSheet& sheet, TEngine& names) {
  Sheet = &sheet;
  Names = &names;
  sheet.SetClient(this);
  SlotOpened(TClientSlot::Patient);
}

void TClientController::CloseTestWindows() {
  for (const TClientSlot slot : TestSlots)
    if (IsOpen(slot) && Windows.CloseFrame(slot))
      Open[static_cast<std::size_t>(slot)] = false;
}

void TClientController::DeleteTempFiles() const { WorkFiles.DeleteTempFiles(!IsOpen(TClientSlot::Provocation)); }

// --- The patient sheet ----------------------------------------------------------------

void TClientController::CmOpenPatient(const std::string& handOverPath) {
  if (IsOpen(TClientSlot::Patient))
    Windows.ActivateFrame(TClientSlot::Patient);
  else if (!Windows.OpenPatientFrame())
    return;
  if (Sheet && !handOverPath.empty())
    ApplyHandOverFile(handOverPath);
}

void TClientController::ApplyHandOverFile(const std::string& path) {
  if (!HandOver::Exists(path))
    return;
  EvCloseChildWindows();
  // A file that cannot be used has been named to the user and is kept.
  const auto patient = HandOver::ReadAndReport(path, Texts);
  if (!patient)
    return;
  const TTPatientRecord& record = patient->Record;
  const short found = Names->Search(SearchEqual, 1, record.Name, 2, record.Id);
  if (found == DbResult::Ok) {
    // A stored patient keeps his record and takes what was measured.
    Sheet->UpdateDisplay();
    Sheet->SetHandedOverMeasures(patient->HeightCm, patient->WeightKg);
  } else if (found == DbResult::NotFound) {
    Sheet->DispatchCommand(CM_PATIENT_NEW);
    Sheet->SetNewPatientData(record);
  } else {
    // The engine has said why; the file stays for the next start.
    return;
  }
  // The file goes once its patient is stored: at once when the sheet has
  // nothing to save (the stored values are the file's), else when the
  // user's save commits. A sheet that another program holds read-only took
  // nothing, so the file stays. Until then a crash or a closed program
  // loses nothing; the next start hands him over again.
  PendingHandOver = path;
  if (!Sheet->IsModified() && !Sheet->IsReadOnly())
    RemoveHandOverFile();
}

void TClientController::RemoveHandOverFile() {
  const std::string path = std::exchange(PendingHandOver, {});
  std::string error;
  if (!HandOver::Remove(path, &error))
    Texts.MessageBoxText(Texts.Format(HandOverKeptText, {Paths::Shown(path), error}), 0, TMessageIcon::Warning);
}

bool TClientController::MayLeaveHandOver() {
  if (PendingHandOver.empty() || !Sheet || !Sheet->IsModified())
    return true;
  const int answer = Texts.MessageBoxText(Texts.Format(UnsavedHandOverText, {Paths::Shown(PendingHandOver)}), 2,
                                          TMessageIcon::Question, TMessageButtons::YesNoCancel);
  if (answer == IDNO)
    return true;
  if (answer != IDYES)
    return false;
  // Yes is the Save button: a patient that Save would refuse (no name yet,
  // a field out of range) is not stored, and the program stays for the
  // user to mend him. A save that is refused has said why.
  TCommandEnabler save(CM_PATIENT_SAVE);
  Sheet->CmPatientSaveEnable(save);
  if (!save.GetEnabled())
    return false;
  Sheet->DispatchCommand(CM_PATIENT_SAVE);
  return !Sheet->IsModified();
}

TResult TClientController::EvCloseChildWindows() {
  CloseTestWindows();
  DeleteTempFiles();
  Windows.RaiseClient();
  return 1;
}

void TClientController::ClearMeetRecordKey() {
  MeetRecordKey.clear();
  Windows.ForgetExamination();
}

void TClientController::EvCloseAllTempFiles() {
  // The sheet tells of a committed save while its edit is still open (a
  // move tells after the edit ended): the handed-over patient is stored.
  if (!PendingHandOver.empty() && Sheet && Sheet->IsModified())
    RemoveHandOverFile();
  DeleteTempFiles();
  ClearNotes();
  ClearMeetRecordKey();
}

// --- The patient's note ----------------------------------------------------------------

void TClientController::CmPatientNote() {
  if (!Sheet)
    return;
  if (IsOpen(TClientSlot::Note)) {
    Windows.ActivateFrame(TClientSlot::Note);
    return;
  }
  std::string note;
  // Read with a lock test: a patient another user is changing gets no note
  // window now. Other failures the engine has shown.
  if (const short result = Names->GetBlob(note, dbiWRITELOCK); result != DbResult::Ok) {
    if (PatientDb::HeldByOther(result))
      Names->WinMsg(Texts.Format(TableInUseText, {std::string(PatientTable)}), PatientDb::Information);
    return;
  }
  if (!Windows.OpenNoteFrame(note))
    return;
  NotePatientKey = Sheet->GetPatientKey();
  SlotOpened(TClientSlot::Note);
  Windows.ActivateFrame(TClientSlot::Note);
}

void TClientController::CmNoteClosed() {
  if (!IsOpen(TClientSlot::Note))
    return;
  const std::optional<std::string> text = Windows.ChangedNote();
  if (!text)
    return;
  if (Texts.MessageBox(StoreNoteText, 2, TMessageIcon::Question, TMessageButtons::YesNo) != IDYES)
    return;
  if (!StoreNote(*text))
    Windows.KeepNoteOpen();
}

bool TClientController::StoreNote(const std::string& note) {
  // The memo goes to the row under the sheet's cursor: that must still be
  // the patient the note was opened for.
  PatientRecordType shown;
  if (!Sheet || Names->GetData(shown, dbiNOLOCK) != DbResult::Ok || shown.Key != NotePatientKey) {
    Texts.MessageBox(NotePatientGoneText, 0, TMessageIcon::Stop);
    return false;
  }
  const short result = Names->SaveBlob(note);
  if (PatientDb::HeldByOther(result))
    Names->WinMsg(Texts.Format(TableInUseText, {std::string(PatientTable)}), PatientDb::Information);
  return result == DbResult::Ok;
}

bool TClientController::CanClose() {
  if (IsOpen(TClientSlot::Note)) {
    if (!Windows.CloseFrame(TClientSlot::Note))
      return false;
    Open[static_cast<std::size_t>(TClientSlot::Note)] = false;
  }
  return MayLeaveHandOver();
}

// --- What the tests are handed ----------------------------------------------------------

void TClientController::SetNote(int index, std::string_view note) {
  Notes.at(static_cast<std::size_t>(index)) = std::string(Utf8::Truncate(note, NoteSize - 1));
}

void TClientController::ClearNotes() {
  for (std::string& note : Notes)
    note.clear();
}

TClientView TClientController::View(const TAppSettings& settings, bool withTableFiles) const {
  TClientView view;
  view.SheetOpen = IsOpen(TClientSlot::Patient);
  if (Sheet && view.SheetOpen) {
    view.SheetChanged = Sheet->IsModified();
    view.SheetNewRecord = Sheet->IsNewRecord();
    view.SheetTableDisplay = Sheet->IsFilling() || Sheet->IsSwitchingTab();
    view.SheetShowsRecord = Sheet->HasRows();
  }
  view.MeasurementOpen = IsOpen(TClientSlot::Measure);
  view.AudiometerOpen = IsOpen(TClientSlot::Audiometer);
  view.TrendOpen = IsOpen(TClientSlot::Trend);
  view.ProvocationOpen = IsOpen(TClientSlot::Provocation);
  view.LanguageDriverSet = !settings.LanguageDriver.empty();
  if (withTableFiles) {
    view.DoctorTablePresent = ClientEnablers::DoctorTablePresent(settings.CommonDir);
    view.DatabasePresent = view.DoctorTablePresent && ClientEnablers::DataTablesPresent(settings.DatabaseDir);
  }
  return view;
}
