#pragma once

// The patient data sheet without its window: what each field holds, how a
// field is checked and tidied when the user leaves it, heights and weights
// in their units, the age and what the identifier says of the birth date,
// the patient block for the tests, and the record on the patient table
// (new, save, cancel, moves, locks) with the flags the rest of the program
// reads. The dialog is a thin window over it: it shows what the sheet
// holds, reports the user's edits, focus changes and clicks, and answers
// the sheet's requests through TPatientSheetView; the database answers
// through TPatientDatabase.

#include "common/PredictedData.h"
#include "patients/BodyMeasures.h"
#include "patients/NewPatientRecord.h"
#include "patients/PatientControls.h"
#include "patients/PatientDatabase.h"
#include "patients/PatientFields.h"
#include "patients/PatientSheetView.h"
#include "platform/framework/DatePicture.h"
#include "platform/framework/EventHandler.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TMessage;

struct TPatientSheetSettings {
  // The screen's scale against 800 x 600 pixels, horizontal and vertical.
  float ScaleX = 1.0f;
  float ScaleY = 1.0f;
  TPageLayout Layout = TPageLayout::Full;
  // What a new patient starts with.
  TUnitSystem DefaultUnit = TUnitSystem::Metric;
  int DefaultHeight = 0;
  int DefaultWeight = 0;
  // The database's date picture: how dates are typed, shown and stored.
  std::string DatePicture = "YYYY.MM.DD.";
  // Whether a seven-character identifier gives the birth date and sex.
  bool TypeOfId = false;
};

// A drop-down list of doctors: the first entry is the none entry (or the
// new-record placeholder while a new patient is entered).
struct TDoctorDropDown {
  std::vector<std::string> Entries;
  int Selection = 0;
  // The name shown when the record's doctor is not among the entries (no
  // longer listed as a treating or home doctor); Selection is then -1.
  std::string Shown;
};

class TPatientSheet : public TEventHandler {
public:
  TPatientSheet(const TMessage& texts, TPatientSheetSettings settings);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // The partners; the sheet borrows them. Without a view nothing is shown,
  // without a client no window is told, and the record commands need the
  // database.
  void SetView(TPatientSheetView* view);
  void SetDatabase(TPatientDatabase* database) { Database = database; }
  void SetClient(TEventHandler* client) { Client = client; }
  void SetClock(std::function<TCalendarDate()> clock) { Clock = std::move(clock); }

  // --- What the window shows ------------------------------------------
  const TPatientSheetSettings& GetSettings() const { return Settings; }
  TPageLayout GetLayout() const { return Settings.Layout; }
  // The text of an edit; empty for a control the layout does not have.
  const std::string& GetText(int controlId) const;
  int GetTabPage(int tabId) const;
  int GetSex() const { return Sex; }
  int GetPopulation() const { return Population; }
  int GetUpDownPosition(int upDownId) const;
  bool IsEnabled(int controlId) const { return !Disabled.contains(controlId); }
  const TDoctorDropDown& GetTreatingDoctors() const { return TreatingDoctors; }
  const std::string& GetPlaceholder() const { return Placeholder; }

  // --- What the user does -----------------------------------------------
  // The user changed the text of an edit.
  void EditChanged(int controlId, std::string text);
  // The focus left an edit: runs its field check.
  void EvKillFocus(int controlId);
  // The user chose another entry of the sex or population list.
  void CmChangeSex(int index);
  void CmChangePopulation(int index);
  // The user clicked an up-down: the requested change of its position.
  void TUpDownHeight(int delta);
  void TUpDownWeight(int delta);
  // A tab control now shows another page (full layout).
  void TChangeAddress(int page);
  void TChangeID(int page);
  void TChangeDate(int page);

  // --- Field checks and text rules --------------------------------------
  void EvKillFocusName();
  void EvKillFocusMotherName();
  void EvKillFocusGirlName();
  void EvKillFocusPost();
  void EvKillFocusState();
  void EvKillFocusCity();
  void EvKillFocusAddress();
  void EvKillFocusPhone();
  void EvKillFocusID();
  void EvKillFocusDate();
  void EvKillFocusJob();
  void EvKillFocusHeight();
  void EvKillFocusWeight();
  bool ChangeDate();
  std::string CorrectingString(std::string_view text) const;
  static std::string FilterOnlyDigits(std::string_view text);
  bool VerifyDate(std::string_view text) const;
  void SetHeight(int value, bool moveUpDown);
  void SetWeight(int value, bool moveUpDown);
  short GetHeight() const;
  short GetWeight() const;
  bool VerifyUnitOfMeasurements() const;

  // --- Age, identifier, field states ------------------------------------
  void CalculateAges();
  void CalculateBornDateAndSex();
  void ChangeAllFieldsState(bool enable);
  void ChangePredictedFieldsState(bool enable);
  void ChangeDiedOrMoveOutFieldsState(bool enable);

  // --- The patient block ---------------------------------------------------
  // The patient as the sheet shows it now, edits not yet saved included.
  void FillPatientData(PREDICTED_DATA& data) const;
  // The two screen factors the sheet was made with: horizontal, vertical.
  void GetFaktors(float& scaleX, float& scaleY) const {
    scaleX = Settings.ScaleX;
    scaleY = Settings.ScaleY;
  }

  // --- The record on the table --------------------------------------------
  // The sheet is set up (its first row shown) and may check its fields;
  // Deactivate when it closes.
  void Activate();
  void Deactivate();
  bool DisplayPatientTable();
  void UpdateDisplay();
  void DispPatientRec(const TPatientFields& record);
  TPatientFields GetPatientRec() const;
  void DispEmptyRec();
  bool ClearDlg();
  void CheckButtons();
  short MoveRec(short where);
  bool SaveRec(bool insert);
  bool DeletePatientRecord();
  void EndNewRec();
  bool Verified();
  bool CanContinue(std::string_view text, bool ask, int flags);
  void SendCloseChildWindow();
  void SendCloseAllTempFiles();
  void SetSex(int index);
  void SetPopulation(int index);
  // The treating-doctor list and key, which the doctor lookup fills.
  void SetTreatingDoctors(TDoctorDropDown doctors);
  void SetTreatingDoctorKey(std::int32_t key) { TreatingDoctorKey = key; }

  // --- Doctors --------------------------------------------------------------
  // The treating doctor is chosen in every layout, the home doctor (with
  // the address beside it) in the full layout; both by key in the record.
  const TDoctorDropDown& GetHomeDoctors() const { return HomeDoctors; }
  // Adds the doctors of the table, in name order, to the lists that mark
  // them, and shows those the shown record names (listed or not). When
  // another user holds the table the lists stay disabled and the user is told.
  void FillDoctorTable(const std::vector<TPatientDatabase::TDoctorRow>& doctors);
  // Shows the doctor of a key; a key without a doctor shows none.
  void DisplayDoctor(std::int32_t key, TPatientDatabase::TDoctorKind kind);
  // The key of the doctor of that name, shown in the list of its kind; 0
  // when there is none.
  std::int32_t GetDoctorID(std::string_view name, TPatientDatabase::TDoctorKind kind);
  void SetDoctor(std::string_view name);
  void SetHomeDoctor(std::string_view name, std::string_view address);
  void ClearDoctor(TPatientDatabase::TDoctorKind kind);
  // The user chose an entry of the treating- or home-doctor list.
  void CmChangeDoctor(int index);
  void CmChangeHomeDoctor(int index);
  // The focus left the treating-doctor list: a record being edited needs one.
  void EvKillFocusDoctor();
  // The treating-doctor list's text as it shows it, for the printouts: at
  // most `size` - 1 bytes, cut at a character boundary.
  std::string GetDoctor(std::size_t size) const;
  // The name of the patient's treating doctor (at most 30 bytes) for the
  // ECG program; empty while none is chosen.
  std::string GetDoctorName() const;

  // --- A patient another program hands over ------------------------------------
  // Fills the sheet, cleared for a new patient, from the block: what the
  // layout shows, the address sets in every layout, the birth date when the
  // block gives all of it, height and weight in cm and kg when given, and
  // the treating doctor whose name the block's doctor begins. The table is
  // not touched; the user completes the patient and saves him.
  void SetNewPatientData(const TTPatientRecord& patient);
  // A stored patient takes the height and weight (cm and kg) the other
  // program gives, shown in the units his record keeps, as changes the user
  // saves.
  void SetHandedOverMeasures(std::optional<int> heightCm, std::optional<int> weightKg);

  // Commands and their enablers.
  void CmPatientNew();
  void CmPatientSave();
  void CmPatientCancel();
  void CmPatientFirst();
  void CmPatientPrev();
  void CmPatientNext();
  void CmPatientLast();
  void CmPatientNewEnable(TCommandEnabler& ce);
  void CmPatientSearchEnable(TCommandEnabler& ce);
  void CmPatientSaveEnable(TCommandEnabler& ce);
  void CmPatientCancelEnable(TCommandEnabler& ce);
  void CmPatientFirstEnable(TCommandEnabler& ce);
  void CmPatientPrevEnable(TCommandEnabler& ce);
  void CmPatientNextEnable(TCommandEnabler& ce);
  void CmPatientLastEnable(TCommandEnabler& ce);
  // An edit's text changed: the first change of a shown row locks it.
  void CmChangeData();

  // --- What the rest of the program reads ---------------------------------
  std::int32_t GetPatientKey() const { return PatientKey; }
  void SetPatientKey(std::int32_t key) { PatientKey = key; }
  float GetPopulationFactor() const { return PopulationFactor; }
  const std::string& GetEcgId() const { return EcgId; }
  std::int32_t GetTreatingDoctorKey() const { return TreatingDoctorKey; }
  std::int32_t GetHomeDoctorKey() const { return HomeDoctorKey; }
  TUnitSystem GetRecordUnit() const { return RecordUnit; }
  bool IsActive() const { return Active; }
  bool IsModified() const { return Modified; }
  bool IsNewRecord() const { return NewRecord; }
  bool IsFilling() const { return Filling; }
  bool IsSwitchingTab() const { return TabSwitching; }
  bool IsReadOnly() const { return ReadOnly; }
  bool IsTableInUse() const { return TableInUse; }
  bool IsTableEmpty() const { return TableEmpty; }
  bool HasRows() const { return TableHasRows; }
  bool IsSaveAllowed() const { return SaveAllowed; }
  // Idle: no edit under way, no new patient, the table not being shown.
  bool IsIdle() const { return !Modified && !NewRecord && !Filling && !TabSwitching; }

private:
  // Sets a flag for the life of a scope and puts its value back after.
  class TFlagScope {
  public:
    TFlagScope(bool& flag, bool value) : Flag(flag), Saved(flag) { Flag = value; }
    ~TFlagScope() { Flag = Saved; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

  private:
    bool& Flag;
    bool Saved;
  };

  // Texts that several parts of the sheet show: the first entry of a
  // doctor list, and the refusal of an empty field that must be filled.
  static constexpr int NoneEntryText = 224;
  static constexpr int RequiredText = 272;

  std::string Load(int number) const;
  bool Has(int controlId) const { return HasControl(Settings.Layout, controlId); }
  // Writes an edit as the sheet's own change; outside filling it counts as
  // a change of the record, as a typed change does.
  void WriteEdit(int controlId, std::string text);
  // Whether a change of this edit's text is a change of the record.
  static bool ChangesRecord(int controlId);
  void SetPage(int tabId, int& page, int value);
  void Focus(int controlId, bool selectAll = false);
  // Shows a field message and puts the focus back, unless a field message
  // is already showing (its own focus changes must not stack messages).
  void Refuse(int controlId, const std::string& text);
  void ShowFieldMessage(const std::string& text);
  bool IsMissing(std::string_view text, std::size_t compared = std::string_view::npos) const;
  bool MayCheck() const { return Active && !Filling; }
  // Why a text cannot be stored in a field (too long, or a control
  // character); nothing when it can.
  std::optional<std::string> FieldRefusal(int controlId, std::string_view text) const;
  void CheckWidth(int controlId, std::string_view text);
  // The first field whose text the table cannot hold whole; 0 when all fit.
  std::optional<std::string> FirstRefusal() const;
  std::string& KeptAddressField(int controlId, int page);
  void KillFocusAddressField(int controlId);
  void KillFocusPlainName(int controlId);
  void KillFocusMeasure(int controlId, TUnitSystem& entryUnit, std::optional<TMeasureEntry> (*read)(std::string_view),
                        std::string (*examples)(TUnitSystem), void (TPatientSheet::*show)(int, bool));
  // Why the height or weight the field shows cannot be stored (unreadable,
  // empty or 0), whether the user typed it or the sheet put it there (a
  // settings default of 0); nothing when it can.
  std::optional<std::string> MeasureRefusal(int controlId) const;
  void ShowMeasure(int controlId, std::string text, int upDownId, int& position, int value, bool moveUpDown);
  void ChangeFieldGroup(TFieldGroup group, bool enable);
  // A save found the patient stored already: the user may open him instead.
  void OfferStoredPatient(const TPatientFields& record);
  // The first change of a shown row takes its lock; false when refused.
  bool BeginChange();
  void MarkChanged();
  void ChangeSelection(int index, int current, void (TPatientSheet::*select)(int));
  bool TableIsEmptyNow();
  void ReplaceFirstTreatingEntry(std::string text);
  // Selects a name in a doctor list (or shows it when the list lacks it).
  void SelectDoctor(TDoctorDropDown& list, int controlId, std::string_view name);
  // A doctor row held by another user disables the doctor lists.
  void ShowDoctorLock(bool heldByOther, std::initializer_list<int> listIds);
  void ShowTableInUse();
  std::string NameForLog() const;

  const TMessage& Texts;
  TPatientSheetSettings Settings;
  std::string Placeholder;
  TPatientSheetView NoView;
  TPatientSheetView* View = &NoView;
  TPatientDatabase* Database = nullptr;
  TEventHandler* Client = nullptr;
  std::function<TCalendarDate()> Clock = DatePicture::Today;

  std::map<int, std::string> EditTexts;
  const std::string NoText;
  std::set<int> Disabled;
  std::array<TPatientAddress, 3> KeptAddresses;
  std::array<std::string, 2> KeptIds;
  std::array<std::string, 3> KeptDates;
  // The fields a smaller layout does not show, kept so a save does not clear them.
  std::string KeptMotherName, KeptMaidenName, KeptOccupation;
  int AddressPage = 0, IdPage = 0, DatePage = 0;
  int Sex = 0;
  int Population = 0;
  float PopulationFactor = 1.0f;
  TDoctorDropDown TreatingDoctors;
  TDoctorDropDown HomeDoctors;
  std::int32_t TreatingDoctorKey = 0;
  std::int32_t HomeDoctorKey = 0;
  TUnitSystem RecordUnit, HeightUnit, WeightUnit;
  int HeightPosition = 0, WeightPosition = 0;
  std::int32_t PatientKey = 1;
  std::string EcgId;

  bool Active = false;
  bool Filling = false;
  bool Modified = false;
  bool NewRecord = false;
  bool ReadOnly = false;
  std::int32_t ReadOnlyPatientKey = 0;  // the held row the sheet has said so of
  bool TableInUse = false;
  bool TableEmpty = false;
  bool TableHasRows = false;
  bool SaveAllowed = false;
  bool TabSwitching = false;
  bool MessageShowing = false;
  bool AfterSave = false;  // showing the row a save has just stored
  // The last text reported as too long for its field.
  std::pair<int, std::string> ReportedTooLong;
  bool CanNew = false, CanSearch = false, CanFirst = false, CanPrev = false, CanNext = false, CanLast = false;
};
