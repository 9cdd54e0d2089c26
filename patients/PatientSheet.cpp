#include "patients/PatientSheet.h"

#include "common/CommandNumbers.h"
#include "patients/PatientAge.h"
#include "patients/PatientText.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

#include <algorithm>

using namespace PatientControl;

namespace {

constexpr int PlaceholderText = 394;

TUnitSystem UnitOf(std::int32_t value) { return value != 0 ? TUnitSystem::Imperial : TUnitSystem::Metric; }

int UpDownRange(int upDownId) { return FindPatientControl(upDownId)->Limit; }

}  // namespace

TPatientSheet::TPatientSheet(const TMessage& texts, TPatientSheetSettings settings)
    : Texts(texts),
      Settings(std::move(settings)),
      Placeholder(texts.LoadStringA(PlaceholderText)),
      RecordUnit(Settings.DefaultUnit),
      HeightUnit(Settings.DefaultUnit),
      WeightUnit(Settings.DefaultUnit) {
  // What the fields hold before the first row is shown: the defaults of a
  // new patient and the none entry of the doctor list.
  EditTexts[Height] = BodyMeasures::InitialHeightText(Settings.DefaultHeight, Settings.DefaultUnit);
  EditTexts[Weight] = BodyMeasures::WeightText(Settings.DefaultWeight, Settings.DefaultUnit);
  HeightPosition = std::clamp(Settings.DefaultHeight, 0, UpDownRange(HeightUpDown));
  WeightPosition = std::clamp(Settings.DefaultWeight, 0, UpDownRange(WeightUpDown));
  TreatingDoctors.Entries = {Load(NoneEntryText)};
  HomeDoctors.Entries = {Load(NoneEntryText)};
}

const TResponseTable& TPatientSheet::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TPatientSheet::CmPatientNew>(CM_PATIENT_NEW),
      Response::Command<&TPatientSheet::CmPatientSave>(CM_PATIENT_SAVE),
      Response::Command<&TPatientSheet::CmPatientCancel>(CM_PATIENT_CANCEL),
      Response::Command<&TPatientSheet::CmPatientFirst>(CM_PATIENT_FIRST),
      Response::Command<&TPatientSheet::CmPatientPrev>(CM_PATIENT_PREV),
      Response::Command<&TPatientSheet::CmPatientNext>(CM_PATIENT_NEXT),
      Response::Command<&TPatientSheet::CmPatientLast>(CM_PATIENT_LAST),
      Response::Enabler<&TPatientSheet::CmPatientNewEnable>(CM_PATIENT_NEW),
      Response::Enabler<&TPatientSheet::CmPatientSearchEnable>(CM_PATIENT_SEARCH),
      Response::Enabler<&TPatientSheet::CmPatientSaveEnable>(CM_PATIENT_SAVE),
      Response::Enabler<&TPatientSheet::CmPatientCancelEnable>(CM_PATIENT_CANCEL),
      Response::Enabler<&TPatientSheet::CmPatientFirstEnable>(CM_PATIENT_FIRST),
      Response::Enabler<&TPatientSheet::CmPatientPrevEnable>(CM_PATIENT_PREV),
      Response::Enabler<&TPatientSheet::CmPatientNextEnable>(CM_PATIENT_NEXT),
      Response::Enabler<&TPatientSheet::CmPatientLastEnable>(CM_PATIENT_LAST),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TPatientSheet::SetView(TPatientSheetView* view) { View = view ? view : &NoView; }

std::string TPatientSheet::Load(int number) const { return Texts.LoadStringA(number); }

const std::string& TPatientSheet::GetText(int controlId) const {
  const auto found = EditTexts.find(controlId);
  return found == EditTexts.end() || !Has(controlId) ? NoText : found->second;
}

int TPatientSheet::GetTabPage(int tabId) const {
  switch (tabId) {
    case AddressTab:
      return AddressPage;
    case IdentifierTab:
      return IdPage;
    case DateTab:
      return DatePage;
    default:
      return 0;
  }
}

int TPatientSheet::GetUpDownPosition(int upDownId) const {
  return upDownId == HeightUpDown ? HeightPosition : upDownId == WeightUpDown ? WeightPosition : 0;
}

void TPatientSheet::WriteEdit(int controlId, std::string text) {
  if (!Has(controlId))
    return;
  std::string& current = EditTexts[controlId];
  if (current == text)
    return;
  current = std::move(text);
  View->ControlChanged(controlId);
  if (!Filling && ChangesRecord(controlId))
    CmChangeData();
}

void TPatientSheet::EditChanged(int controlId, std::string text) {
  if (!Has(controlId))
    return;
  EditTexts[controlId] = std::move(text);
  if (!Filling && ChangesRecord(controlId))
    CmChangeData();
}

bool TPatientSheet::ChangesRecord(int controlId) {
  // The age and the home doctor's address are the sheet's own results.
  const TPatientControl* control = FindPatientControl(controlId);
  return control && control->Kind == TControlKind::Edit && controlId != Age && controlId != HomeDoctorAddress;
}

void TPatientSheet::SetPage(int tabId, int& page, int value) {
  page = value;
  if (Has(tabId))
    View->ControlChanged(tabId);
}

void TPatientSheet::Focus(int controlId, bool selectAll) {
  if (Has(controlId))
    View->FocusControl(controlId, selectAll);
}

void TPatientSheet::SetSex(int index) {
  Sex = index;
  View->ControlChanged(PatientControl::Sex);
}

void TPatientSheet::SetPopulation(int index) {
  Population = index;
  View->ControlChanged(PatientControl::Population);
}

void TPatientSheet::SetTreatingDoctors(TDoctorDropDown doctors) {
  TreatingDoctors = std::move(doctors);
  View->ControlChanged(TreatingDoctor);
}

void TPatientSheet::ReplaceFirstTreatingEntry(std::string text) {
  if (TreatingDoctors.Entries.empty())
    TreatingDoctors.Entries.push_back(std::move(text));
  else
    TreatingDoctors.Entries.front() = std::move(text);
  View->ControlChanged(TreatingDoctor);
}

// --- Age, identifier, field states -----------------------------------------

void TPatientSheet::CalculateAges() {
  const TCalendarDate birth = DatePicture::Read(KeptDates[0], Settings.DatePicture);
  // Without a readable birth date there is no age to show (rather than the
  // years since year 0).
  if (!PatientAge::IsValidDate(birth)) {
    WriteEdit(Age, "");
    return;
  }
  WriteEdit(Age, std::to_string(PatientAge::AgeInYears(birth, Clock())));
}

void TPatientSheet::CalculateBornDateAndSex() {
  const auto facts = PatientAge::FactsFromIdentifier(KeptIds[0], Settings.DatePicture);
  if (!facts)
    return;
  SetSex(facts->Sex);
  // The birth date is never shown under another date's page.
  if (DatePage != 0)
    SetPage(DateTab, DatePage, 0);
  KeptDates[0] = facts->BirthDate;
  WriteEdit(Date, facts->BirthDate);
  CalculateAges();
}

void TPatientSheet::ChangeFieldGroup(TFieldGroup group, bool enable) {
  for (const int id : FieldGroup(group, Settings.Layout)) {
    if (enable == IsEnabled(id))
      continue;
    if (enable)
      Disabled.erase(id);
    else
      Disabled.insert(id);
    View->ControlChanged(id);
  }
}

void TPatientSheet::ChangeAllFieldsState(bool enable) { ChangeFieldGroup(TFieldGroup::All, enable); }
void TPatientSheet::ChangePredictedFieldsState(bool enable) { ChangeFieldGroup(TFieldGroup::Predicted, enable); }
void TPatientSheet::ChangeDiedOrMoveOutFieldsState(bool enable) {
  ChangeFieldGroup(TFieldGroup::DiedOrMoveOut, enable);
}

// --- The patient block -----------------------------------------------------------

void TPatientSheet::FillPatientData(PREDICTED_DATA& data) const {
  data.SetName(CorrectingString(Utf8::Truncate(GetText(Name), TPatientFields::NameWidth)));
  // The block always carries the first identifier, whatever page is shown.
  const std::string& id = Settings.Layout == TPageLayout::Full && IdPage != 0 ? KeptIds[0] : GetText(Identifier);
  data.SetId(CorrectingString(Utf8::Truncate(id, TPatientFields::IdWidth)));
  const TCalendarDate birth = DatePicture::Read(KeptDates[0], Settings.DatePicture);
  data.BirthYear = birth.Year;
  data.BirthMonth = birth.Month;
  data.BirthDay = birth.Day;
  const std::string age = CorrectingString(Utf8::Truncate(GetText(Age), 99));
  data.Age = static_cast<std::int16_t>(PatientText::LeadingInteger(age).value_or(0));
  data.Height = GetHeight();
  data.Weight = GetWeight();
  data.Sex = static_cast<std::int16_t>(Sex);
  data.Reserved = 0;
  data.Unit = static_cast<std::int32_t>(RecordUnit);
}

// --- Showing and reading a record ----------------------------------------------

void TPatientSheet::DispPatientRec(const TPatientFields& record) {
  const bool showsDetails = Settings.Layout != TPageLayout::Small;
  WriteEdit(Name, record.Name);
  KeptMotherName = record.MotherName;
  KeptMaidenName = record.MaidenName;
  KeptOccupation = record.Occupation;
  if (showsDetails) {
    WriteEdit(MotherName, record.MotherName);
    WriteEdit(MaidenName, record.MaidenName);
  }
  KeptAddresses = record.Addresses;
  KeptIds = record.Ids;
  KeptDates = record.Dates;
  SetPage(AddressTab, AddressPage, 0);
  SetPage(IdentifierTab, IdPage, 0);
  SetPage(DateTab, DatePage, 0);
  const TPatientAddress& first = record.Addresses[0];
  WriteEdit(Postcode, first.Postcode);
  WriteEdit(County, first.County);
  WriteEdit(City, first.City);
  WriteEdit(Street, first.Street);
  WriteEdit(Phone, first.Phone);
  WriteEdit(Identifier, record.Ids[0]);
  WriteEdit(Date, record.Dates[0]);
  if (showsDetails)
    WriteEdit(Occupation, record.Occupation);

  SetSex(record.Sex);
  RecordUnit = HeightUnit = WeightUnit = UnitOf(record.Unit);
  SetHeight(record.Height, true);
  SetWeight(record.Weight, true);
  CalculateAges();

  // Kept in every layout: the layouts without the population list or the
  // home doctor must not clear them when they save.
  SetPopulation(record.Population);
  HomeDoctorKey = record.HomeDoctorKey;
  PopulationFactor = PopulationCorrection(record.Population);
  TreatingDoctorKey = record.TreatingDoctorKey;
  PatientKey = record.PatientKey;
  EcgId = record.EcgId;
}

TPatientFields TPatientSheet::GetPatientRec() const {
  TPatientFields record;
  const bool showsDetails = Settings.Layout != TPageLayout::Small;
  const auto text = [&](int id, std::size_t width) { return std::string(Utf8::Truncate(GetText(id), width)); };
  record.Name = text(Name, TPatientFields::NameWidth);
  record.MotherName = showsDetails ? text(MotherName, TPatientFields::NameWidth) : KeptMotherName;
  record.MaidenName = showsDetails ? text(MaidenName, TPatientFields::NameWidth) : KeptMaidenName;
  record.Occupation = showsDetails ? text(Occupation, TPatientFields::OccupationWidth) : KeptOccupation;

  // The page a tab shows comes from its edit, the other pages from the kept copies.
  record.Addresses = KeptAddresses;
  if (Has(Postcode))
    record.Addresses[AddressPage] = {GetText(Postcode), GetText(County), GetText(City), GetText(Street), GetText(Phone)};
  for (TPatientAddress& address : record.Addresses) {
    address.Postcode = Utf8::Truncate(address.Postcode, TPatientFields::PostcodeWidth);
    address.County = Utf8::Truncate(address.County, TPatientFields::CountyWidth);
    address.City = Utf8::Truncate(address.City, TPatientFields::CityWidth);
    address.Street = Utf8::Truncate(address.Street, TPatientFields::StreetWidth);
    address.Phone = Utf8::Truncate(address.Phone, TPatientFields::PhoneWidth);
  }
  record.Ids = KeptIds;
  record.Ids[IdPage] = GetText(Identifier);
  for (std::string& id : record.Ids)
    id = Utf8::Truncate(id, TPatientFields::IdWidth);
  record.Dates = KeptDates;
  record.Dates[DatePage] = GetText(Date);
  for (std::string& date : record.Dates)
    date = Utf8::Truncate(date, TPatientFields::DateWidth);

  record.Sex = Sex;
  record.Unit = static_cast<std::int32_t>(RecordUnit);
  record.Height = GetHeight();
  record.Weight = GetWeight();
  record.Population = Population;
  record.HomeDoctorKey = HomeDoctorKey;
  record.TreatingDoctorKey = TreatingDoctorKey;
  record.EcgId = Utf8::Truncate(EcgId, TPatientFields::EcgIdWidth);
  return record;
}

void TPatientSheet::DispEmptyRec() {
  WriteEdit(Name, Placeholder);
  WriteEdit(Identifier, Placeholder);
  WriteEdit(Date, Placeholder);
  for (const int id : {MotherName, MaidenName, Postcode, County, City, Street, Phone, Occupation})
    WriteEdit(id, "");
  KeptAddresses = {};
  KeptIds = {};
  KeptDates = {};
  KeptMotherName.clear();
  KeptMaidenName.clear();
  KeptOccupation.clear();
  EcgId.clear();
  SetPage(AddressTab, AddressPage, 0);
  SetPage(IdentifierTab, IdPage, 0);
  SetPage(DateTab, DatePage, 0);
  SetSex(0);
  RecordUnit = HeightUnit = WeightUnit = Settings.DefaultUnit;
  SetHeight(Settings.DefaultHeight, true);
  SetWeight(Settings.DefaultWeight, true);
  WriteEdit(Age, "");
  SetPopulation(0);
  PopulationFactor = 1.0f;
  HomeDoctorKey = 0;
  TreatingDoctorKey = 0;
  ReplaceFirstTreatingEntry(Placeholder);
  TreatingDoctors.Selection = 0;
}
