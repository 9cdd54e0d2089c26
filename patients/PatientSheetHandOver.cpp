// A patient that another program hands over: a new one fills the cleared
// sheet without touching the table, one that is stored already takes only
// the height and weight the other program measured.

#include "patients/PatientAge.h"
#include "patients/PatientSheet.h"
#include "platform/basekit/Convert.h"
#include "platform/dbkit/NameCollation.h"

#include <cmath>
#include <cstdio>

using namespace PatientControl;

namespace {

// The other program gives whole centimetres and kilograms; 0, or a value
// beyond the sheet's own range for it (its up-down's), means it gave none.
std::optional<int> Given(std::int32_t value, int upDownId) {
  if (value <= 0 || value > FindPatientControl(upDownId)->Limit)
    return std::nullopt;
  return value;
}

int Rounded(float value) { return static_cast<int>(std::lround(value)); }

}  // namespace

void TPatientSheet::SetNewPatientData(const TTPatientRecord& patient) {
  const bool showsDetails = Settings.Layout != TPageLayout::Small;
  {
    const TFlagScope filling(Filling, true);
    // An empty name or identifier leaves the placeholder the clearing put there.
    if (!patient.Name.empty())
      WriteEdit(Name, patient.Name);
    if (showsDetails) {
      KeptMotherName = patient.MotherName;
      KeptMaidenName = patient.MaidenName;
      KeptOccupation = patient.Occupation;
      WriteEdit(MotherName, patient.MotherName);
      WriteEdit(MaidenName, patient.MaidenName);
      WriteEdit(Occupation, patient.Occupation);
    }
    // Every layout keeps the address sets, though only the larger ones show the first.
    for (std::size_t set = 0; set < KeptAddresses.size(); ++set)
      KeptAddresses[set] = {patient.Postcode[set], patient.County[set], patient.City[set], patient.Street[set],
                            patient.Phone[set]};
    SetPage(AddressTab, AddressPage, 0);
    SetPage(IdentifierTab, IdPage, 0);
    if (showsDetails) {
      const TPatientAddress& first = KeptAddresses[0];
      WriteEdit(Postcode, first.Postcode);
      WriteEdit(County, first.County);
      WriteEdit(City, first.City);
      WriteEdit(Street, first.Street);
      WriteEdit(Phone, first.Phone);
    }
    KeptIds[0] = patient.Id;
    if (!patient.Id.empty())
      WriteEdit(Identifier, patient.Id);

    const TCalendarDate born{patient.BirthYear, patient.BirthMonth, patient.BirthDay};
    if (PatientAge::IsValidDate(born)) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%04d%02d%02d", born.Year, born.Month, born.Day);
      KeptDates[0] = DatePicture::Recode(digits, "YYYYMMDD", Settings.DatePicture);
      SetPage(DateTab, DatePage, 0);
      WriteEdit(Date, KeptDates[0]);
    }

    if (patient.Sex == 0 || patient.Sex == 1)
      SetSex(patient.Sex);
    // The other program measures in centimetres and kilograms; a value it
    // did not give keeps the lab's default in the lab's unit.
    if (const auto height = Given(patient.HeightCm, HeightUpDown)) {
      HeightUnit = TUnitSystem::Metric;
      SetHeight(*height, true);
    }
    if (const auto weight = Given(patient.WeightKg, WeightUpDown)) {
      WeightUnit = TUnitSystem::Metric;
      SetWeight(*weight, true);
    }
    RecordUnit = HeightUnit;
    CalculateAges();
    const auto populations = static_cast<int>(FindPatientControl(PatientControl::Population)->Texts.size());
    if (patient.Population >= 0 && patient.Population < populations) {
      SetPopulation(patient.Population);
      PopulationFactor = PopulationCorrection(patient.Population);
    }
  }

  // The doctor's name is looked up as the list finds a typed beginning:
  // without regard to case, from the first doctor on, the placeholder last.
  // No name chooses nobody.
  if (!patient.Doctor.empty()) {
    const std::size_t count = TreatingDoctors.Entries.size();
    for (std::size_t i = 1; i < count; ++i)
      if (NameCollation::StartsWith(TreatingDoctors.Entries[i], patient.Doctor)) {
        CmChangeDoctor(static_cast<int>(i));
        break;
      }
  }
  MarkChanged();
}

void TPatientSheet::SetHandedOverMeasures(std::optional<int> heightCm, std::optional<int> weightKg) {
  // Shown in the units the patient's height and weight were entered in.
  if (weightKg && Given(*weightKg, WeightUpDown)) {
    const bool pounds = WeightUnit == TUnitSystem::Imperial;
    SetWeight(pounds ? Rounded(TConvert::kgTOlb(static_cast<float>(*weightKg))) : *weightKg, true);
  }
  if (heightCm && Given(*heightCm, HeightUpDown)) {
    const bool inches = HeightUnit == TUnitSystem::Imperial;
    SetHeight(inches ? Rounded(TConvert::cmTOin(static_cast<float>(*heightCm))) : *heightCm, true);
  }
}
