// The checks that run when the focus leaves a field of the patient sheet,
// and the height and weight in their units.

#include "patients/PatientAge.h"
#include "patients/PatientSheet.h"
#include "patients/PatientText.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

#include <algorithm>

using namespace PatientControl;

namespace {

constexpr int ErrorCaptionText = 0;
constexpr int UnreadableMeasureText = 239;
constexpr int UnreadableDateText = 270;
constexpr int DatePictureText = 271;
constexpr int TooLongText = 6214;
constexpr int ControlCharacterText = 6213;

// The label that names a field in a message, by the page its tab shows.
int LabelText(int controlId, int page) {
  switch (controlId) {
    case Identifier:
      return page == 0 ? 218 : 229;
    case Date:
      return page == 0 ? 217 : page == 1 ? 230 : 231;
    case Occupation:
      return 208;
    default:
      return 200 + (controlId - Name);  // name, mother's name ... telephone
  }
}

std::size_t Width(int controlId) { return static_cast<std::size_t>(FindPatientControl(controlId)->Limit - 1); }

}  // namespace

std::string TPatientSheet::CorrectingString(std::string_view text) const {
  return PatientText::CorrectingString(text, Placeholder);
}

std::string TPatientSheet::FilterOnlyDigits(std::string_view text) { return PatientText::FilterOnlyDigits(text); }

bool TPatientSheet::VerifyDate(std::string_view text) const { return PatientAge::VerifyDate(text, Settings.DatePicture); }

void TPatientSheet::ShowFieldMessage(const std::string& text) {
  if (MessageShowing)
    return;
  const TFlagScope showing(MessageShowing, true);
  Texts.MessageBoxText(text, ErrorCaptionText, TMessageIcon::Stop);
}

void TPatientSheet::Refuse(int controlId, const std::string& text) {
  if (MessageShowing)
    return;
  const TFlagScope showing(MessageShowing, true);
  Texts.MessageBoxText(text, ErrorCaptionText, TMessageIcon::Stop);
  Focus(controlId);
}

bool TPatientSheet::IsMissing(std::string_view text, std::size_t compared) const {
  return text.empty() || text.substr(0, compared) == std::string_view(Placeholder).substr(0, compared);
}

// --- Field widths and characters ------------------------------------------------
// The table keeps each text in a field of fixed bytes of UTF-8, so a letter
// outside the English alphabet takes two or more of them. A text that does
// not fit is never cut (that would lose part of a name), and a control
// character is never stored; the user is told, and the record cannot be
// saved until the text can be.

std::optional<std::string> TPatientSheet::FieldRefusal(int controlId, std::string_view text) const {
  const int page = controlId == Identifier ? IdPage : controlId == Date ? DatePage : 0;
  const std::string label = Load(LabelText(controlId, page));
  if (PatientText::HasControlCharacter(text))
    return Texts.Format(ControlCharacterText, {label});
  if (text.size() > Width(controlId))
    return Texts.Format(TooLongText, {label, std::to_string(Width(controlId)),
                                      std::to_string(PatientText::CharactersThatFit(text, Width(controlId)))});
  return std::nullopt;
}

void TPatientSheet::CheckWidth(int controlId, std::string_view text) {
  // One report per text: a tab switch checks the fields its page shows
  // again right after the focus left them.
  const std::pair<int, std::string> report{controlId, std::string(text)};
  const std::optional<std::string> refusal = FieldRefusal(controlId, text);
  if (!refusal) {
    if (ReportedTooLong.first == controlId)
      ReportedTooLong = {};
  } else if (ReportedTooLong != report && !MessageShowing) {
    ReportedTooLong = report;
    Refuse(controlId, *refusal);
  }
}

std::optional<std::string> TPatientSheet::FirstRefusal() const {
  for (const int id : {Name, MotherName, MaidenName, Postcode, County, City, Street, Phone, Identifier, Date, Occupation})
    if (auto refusal = FieldRefusal(id, GetText(id)))
      return refusal;
  // The pages the tabs do not show, and the fields the layout does not show.
  for (const TPatientAddress& address : KeptAddresses)
    for (const auto& [text, id] : {std::pair{&address.Postcode, Postcode}, std::pair{&address.County, County},
                                   std::pair{&address.City, City}, std::pair{&address.Street, Street},
                                   std::pair{&address.Phone, Phone}})
      if (auto refusal = FieldRefusal(id, *text))
        return refusal;
  for (const std::string& id : KeptIds)
    if (auto refusal = FieldRefusal(Identifier, id))
      return refusal;
  for (const std::string& date : KeptDates)
    if (auto refusal = FieldRefusal(Date, date))
      return refusal;
  for (const auto& [text, id] : {std::pair{&KeptMotherName, MotherName}, std::pair{&KeptMaidenName, MaidenName},
                                 std::pair{&KeptOccupation, Occupation}})
    if (auto refusal = FieldRefusal(id, *text))
      return refusal;
  return std::nullopt;
}

// --- Names -------------------------------------------------------------------------

void TPatientSheet::EvKillFocus(int controlId) {
  switch (controlId) {
    case Name:
      return EvKillFocusName();
    case MotherName:
      return EvKillFocusMotherName();
    case MaidenName:
      return EvKillFocusGirlName();
    case Postcode:
      return EvKillFocusPost();
    case County:
      return EvKillFocusState();
    case City:
      return EvKillFocusCity();
    case Street:
      return EvKillFocusAddress();
    case Phone:
      return EvKillFocusPhone();
    case Identifier:
      return EvKillFocusID();
    case Date:
      return EvKillFocusDate();
    case Occupation:
      return EvKillFocusJob();
    case Height:
      return EvKillFocusHeight();
    case Weight:
      return EvKillFocusWeight();
    default:
      return;
  }
}

void TPatientSheet::EvKillFocusName() {
  if (!MayCheck() || MessageShowing || !Modified)
    return;
  const std::string text = CorrectingString(GetText(Name));
  if (IsMissing(text)) {
    Refuse(Name, Load(RequiredText));
    return;
  }
  WriteEdit(Name, text);
  CheckWidth(Name, text);
}

void TPatientSheet::KillFocusPlainName(int controlId) {
  if (!MayCheck() || !Modified)
    return;
  const std::string text = CorrectingString(GetText(controlId));
  WriteEdit(controlId, text);
  CheckWidth(controlId, text);
}

void TPatientSheet::EvKillFocusMotherName() { KillFocusPlainName(MotherName); }
void TPatientSheet::EvKillFocusGirlName() { KillFocusPlainName(MaidenName); }

void TPatientSheet::EvKillFocusJob() {
  if (!MayCheck())
    return;
  const std::string text = CorrectingString(GetText(Occupation));
  WriteEdit(Occupation, text);
  CheckWidth(Occupation, text);
}

// --- Addresses ---------------------------------------------------------------------

std::string& TPatientSheet::KeptAddressField(int controlId, int page) {
  TPatientAddress& address = KeptAddresses[static_cast<std::size_t>(page)];
  switch (controlId) {
    case Postcode:
      return address.Postcode;
    case County:
      return address.County;
    case City:
      return address.City;
    case Street:
      return address.Street;
    default:
      return address.Phone;
  }
}

void TPatientSheet::KillFocusAddressField(int controlId) {
  if (!MayCheck() || !Has(controlId))
    return;
  const std::string text = CorrectingString(GetText(controlId));
  std::string& kept = KeptAddressField(controlId, AddressPage);
  if (text != kept) {
    kept = text;
    WriteEdit(controlId, text);
  }
  CheckWidth(controlId, text);
}

void TPatientSheet::EvKillFocusPost() { KillFocusAddressField(Postcode); }
void TPatientSheet::EvKillFocusState() { KillFocusAddressField(County); }
void TPatientSheet::EvKillFocusCity() { KillFocusAddressField(City); }
void TPatientSheet::EvKillFocusAddress() { KillFocusAddressField(Street); }
void TPatientSheet::EvKillFocusPhone() { KillFocusAddressField(Phone); }

// --- Identifier ----------------------------------------------------------------------

void TPatientSheet::EvKillFocusID() {
  if (!MayCheck() || MessageShowing)
    return;
  const std::string text = CorrectingString(GetText(Identifier));
  if (IdPage == 0 && Modified && IsMissing(text, TPatientFields::IdWidth)) {
    Refuse(Identifier, Load(RequiredText));
    return;
  }
  std::string& kept = KeptIds[static_cast<std::size_t>(IdPage)];
  if (text != kept) {
    kept = text;
    WriteEdit(Identifier, text);
    if (IdPage == 0 && Settings.TypeOfId)
      CalculateBornDateAndSex();
  }
  CheckWidth(Identifier, text);
  // A new patient needs the first identifier: typing only the second one
  // brings the first back.
  if (Settings.Layout == TPageLayout::Full && NewRecord && IdPage == 1 && !MessageShowing && KeptIds[0].empty()) {
    SetPage(IdentifierTab, IdPage, 0);
    WriteEdit(Identifier, KeptIds[0]);
    Focus(Identifier);
  }
}

// --- Dates -----------------------------------------------------------------------------

void TPatientSheet::EvKillFocusDate() {
  if (!MayCheck() || MessageShowing)
    return;
  if (!ChangeDate()) {
    const TFlagScope showing(MessageShowing, true);
    Focus(Date);
    return;
  }
  if (DatePage == 0)
    CalculateAges();
}

bool TPatientSheet::ChangeDate() {
  const std::string text = GetText(Date);
  if (!MessageShowing && Modified && !Filling && DatePage == 0 && IsMissing(text)) {
    ShowFieldMessage(Load(RequiredText));
    return false;
  }
  std::string& kept = KeptDates[static_cast<std::size_t>(DatePage)];
  if (text.empty()) {
    // The second and third dates may be cleared; the cleared date is kept
    // so that switching pages does not bring the old one back.
    kept.clear();
    return true;
  }
  if (VerifyDate(text)) {
    if (text != kept) {
      kept = text;
      WriteEdit(Date, text);
    }
    return true;
  }
  ShowFieldMessage(Texts.Format(UnreadableDateText, {text}) + "\n" +
                   Texts.Format(DatePictureText, {Settings.DatePicture}));
  return false;
}

// --- Height and weight ----------------------------------------------------------------

namespace {

// A height or weight of 0 is no measure of a patient: the predicted values
// would all be 0, so it is refused like an unreadable entry. An empty field
// stays allowed.
bool AcceptableMeasure(const std::optional<TMeasureEntry>& entry, std::string_view text) {
  return entry && (entry->Value >= 1 || text.empty());
}

}  // namespace

void TPatientSheet::KillFocusMeasure(int controlId, TUnitSystem& entryUnit,
                                     std::optional<TMeasureEntry> (*read)(std::string_view),
                                     std::string (*examples)(TUnitSystem), void (TPatientSheet::*show)(int, bool)) {
  if (!MayCheck())
    return;
  const std::string text = CorrectingString(Utf8::Truncate(GetText(controlId), Width(controlId)));
  const std::optional<TMeasureEntry> entry = read(text);
  if (!AcceptableMeasure(entry, text)) {
    Refuse(controlId, Load(UnreadableMeasureText) + examples(RecordUnit));
    return;
  }
  if (entry->Unit)
    entryUnit = *entry->Unit;
  (this->*show)(entry->Value, true);
}

std::optional<std::string> TPatientSheet::MeasureRefusal(int controlId) const {
  if (!MayCheck() || !Has(controlId))
    return std::nullopt;
  const bool height = controlId == Height;
  const std::string text = CorrectingString(Utf8::Truncate(GetText(controlId), Width(controlId)));
  const auto entry = height ? BodyMeasures::ReadHeightEntry(text) : BodyMeasures::ReadWeightEntry(text);
  // Leaving the field empty may wait for the value; storing it may not: an
  // empty field is stored as 0, which no patient measures.
  if (!text.empty() && AcceptableMeasure(entry, text))
    return std::nullopt;
  return Load(UnreadableMeasureText) +
         (height ? BodyMeasures::HeightExamples(RecordUnit) : BodyMeasures::WeightExamples(RecordUnit));
}

void TPatientSheet::EvKillFocusHeight() {
  KillFocusMeasure(Height, HeightUnit, BodyMeasures::ReadHeightEntry, BodyMeasures::HeightExamples,
                   &TPatientSheet::SetHeight);
}

void TPatientSheet::EvKillFocusWeight() {
  KillFocusMeasure(Weight, WeightUnit, BodyMeasures::ReadWeightEntry, BodyMeasures::WeightExamples,
                   &TPatientSheet::SetWeight);
}

// The up-down follows the value even when the text already showed it (as
// when the user typed it so), or its next step would start from a stale value.
void TPatientSheet::ShowMeasure(int controlId, std::string text, int upDownId, int& position, int value,
                                bool moveUpDown) {
  WriteEdit(controlId, std::move(text));
  if (moveUpDown) {
    position = std::clamp(value, 0, FindPatientControl(upDownId)->Limit);
    View->ControlChanged(upDownId);
  }
}

void TPatientSheet::SetHeight(int value, bool moveUpDown) {
  ShowMeasure(Height, BodyMeasures::HeightText(value, HeightUnit), HeightUpDown, HeightPosition, value, moveUpDown);
}

void TPatientSheet::SetWeight(int value, bool moveUpDown) {
  ShowMeasure(Weight, BodyMeasures::WeightText(value, WeightUnit), WeightUpDown, WeightPosition, value, moveUpDown);
}

// The arrows move to the new position themselves (as they are allowed to).
void TPatientSheet::TUpDownHeight(int delta) {
  HeightPosition = std::clamp(HeightPosition + delta, 0, FindPatientControl(HeightUpDown)->Limit);
  View->ControlChanged(HeightUpDown);
  SetHeight(HeightPosition, false);
}

void TPatientSheet::TUpDownWeight(int delta) {
  WeightPosition = std::clamp(WeightPosition + delta, 0, FindPatientControl(WeightUpDown)->Limit);
  View->ControlChanged(WeightUpDown);
  SetWeight(WeightPosition, false);
}

short TPatientSheet::GetHeight() const {
  if (!MayCheck())
    return 0;
  const std::string text = CorrectingString(Utf8::Truncate(GetText(Height), Width(Height)));
  return static_cast<short>(BodyMeasures::HeightValue(text, HeightUnit));
}

short TPatientSheet::GetWeight() const {
  if (!MayCheck())
    return 0;
  const std::string text = CorrectingString(Utf8::Truncate(GetText(Weight), Width(Weight)));
  return static_cast<short>(BodyMeasures::WeightValue(text));
}

bool TPatientSheet::VerifyUnitOfMeasurements() const {
  return MayCheck() && BodyMeasures::UnitsAgree(GetText(Height), GetText(Weight));
}
