#include "patients/PatientControls.h"

#include <algorithm>
#include <array>

namespace {

using namespace PatientControl;
using K = TControlKind;

constexpr std::array<int, 1> Text(int number) { return {number}; }

constexpr auto NameText = Text(200), MotherText = Text(201), MaidenText = Text(202), PostcodeText = Text(203),
               CountyText = Text(204), CityText = Text(205), StreetText = Text(206), PhoneText = Text(207),
               OccupationText = Text(208), SexText = Text(209), HeightText = Text(210), WeightText = Text(211),
               AgeText = Text(212), PopulationText = Text(213), HomeDoctorText = Text(214),
               HomeAddressText = Text(215), TreatingText = Text(216), BirthDateText = Text(217),
               IdentifierText = Text(218);
constexpr std::array<int, 3> AddressPages{225, 226, 227};
constexpr std::array<int, 2> IdentifierPages{218, 229};
constexpr std::array<int, 3> DatePages{217, 230, 231};
constexpr std::array<int, 2> SexEntries{70, 69};  // index 0 female, 1 male
constexpr std::array<int, 5> PopulationEntries{219, 220, 221, 222, 223};

// Layouts: small, medium, full. Groups: predicted, died or moved out
// (every control belongs to the group of all fields).
constexpr bool Y = true, N = false;

const TPatientControl Controls[] = {
    {Name, K::Edit, 31, {}, Y, Y, Y, Y, Y},
    {NameLabel, K::Label, 0, NameText, Y, Y, Y, Y, Y},
    {MotherName, K::Edit, 31, {}, N, Y, Y, N, Y},
    {MotherNameLabel, K::Label, 0, MotherText, N, Y, Y, N, Y},
    {MaidenName, K::Edit, 31, {}, N, Y, Y, N, Y},
    {MaidenNameLabel, K::Label, 0, MaidenText, N, Y, Y, N, Y},
    {AddressTab, K::TabControl, 0, AddressPages, N, N, Y, N, Y},
    {Postcode, K::Edit, 11, {}, N, Y, Y, N, Y},
    {PostcodeLabel, K::Label, 0, PostcodeText, N, Y, Y, N, Y},
    {County, K::Edit, 26, {}, N, Y, Y, N, Y},
    {CountyLabel, K::Label, 0, CountyText, N, Y, Y, N, Y},
    {City, K::Edit, 21, {}, N, Y, Y, N, Y},
    {CityLabel, K::Label, 0, CityText, N, Y, Y, N, Y},
    {Street, K::Edit, 41, {}, N, Y, Y, N, Y},
    {StreetLabel, K::Label, 0, StreetText, N, Y, Y, N, Y},
    {Phone, K::Edit, 16, {}, N, Y, Y, N, Y},
    {PhoneLabel, K::Label, 0, PhoneText, N, Y, Y, N, Y},
    {IdentifierTab, K::TabControl, 0, IdentifierPages, N, N, Y, Y, Y},
    {Identifier, K::Edit, 17, {}, Y, Y, Y, Y, Y},
    {IdentifierLabel, K::Label, 0, IdentifierText, Y, Y, N, Y, Y},
    {BirthDateLabel, K::Label, 0, BirthDateText, Y, Y, N, Y, N},
    {Date, K::Edit, 21, {}, Y, Y, Y, Y, N},
    {DateTab, K::TabControl, 0, DatePages, N, N, Y, Y, N},
    {Occupation, K::Edit, 21, {}, N, Y, Y, N, Y},
    {OccupationLabel, K::Label, 0, OccupationText, N, Y, Y, N, Y},
    {Sex, K::ComboBox, 0, SexEntries, Y, Y, Y, Y, Y},
    {SexLabel, K::Label, 0, SexText, Y, Y, Y, Y, Y},
    {Height, K::Edit, 13, {}, Y, Y, Y, Y, Y},
    {HeightLabel, K::Label, 0, HeightText, Y, Y, Y, Y, Y},
    {HeightUpDown, K::UpDown, 300, {}, Y, Y, Y, Y, Y},
    {Weight, K::Edit, 8, {}, Y, Y, Y, Y, Y},
    {WeightLabel, K::Label, 0, WeightText, Y, Y, Y, Y, Y},
    {WeightUpDown, K::UpDown, 200, {}, Y, Y, Y, Y, Y},
    {Age, K::Edit, 10, {}, Y, Y, Y, Y, Y},
    {AgeLabel, K::Label, 0, AgeText, Y, Y, Y, Y, Y},
    {Population, K::ComboBox, 0, PopulationEntries, N, N, Y, Y, Y},
    {PopulationLabel, K::Label, 0, PopulationText, N, N, Y, Y, Y},
    {HomeDoctor, K::ComboBox, 0, {}, N, N, Y, N, Y},
    {HomeDoctorLabel, K::Label, 0, HomeDoctorText, N, N, Y, N, Y},
    {HomeDoctorAddress, K::Edit, 41, {}, N, N, Y, N, Y},
    {HomeDoctorAddressLabel, K::Label, 0, HomeAddressText, N, N, Y, N, Y},
    {TreatingDoctor, K::ComboBox, 0, {}, Y, Y, Y, Y, Y},
    {TreatingDoctorLabel, K::Label, 0, TreatingText, Y, Y, Y, Y, Y},
};

}  // namespace

TPageLayout LayoutFromResource(int resourceId) {
  switch (resourceId) {
    case PatientDialog::Medium:
      return TPageLayout::Medium;
    case PatientDialog::Small:
      return TPageLayout::Small;
    default:
      return TPageLayout::Full;
  }
}

bool TPatientControl::In(TPageLayout layout) const {
  switch (layout) {
    case TPageLayout::Small:
      return InSmall;
    case TPageLayout::Medium:
      return InMedium;
    case TPageLayout::Full:
      return InFull;
  }
  return false;
}

bool TPatientControl::In(TFieldGroup group) const {
  switch (group) {
    case TFieldGroup::All:
      return true;
    case TFieldGroup::Predicted:
      return InPredicted;
    case TFieldGroup::DiedOrMoveOut:
      return InDiedOrMoveOut;
  }
  return false;
}

std::span<const TPatientControl> PatientControls() { return Controls; }

const TPatientControl* FindPatientControl(int id) {
  const auto found = std::find_if(std::begin(Controls), std::end(Controls),
                                  [id](const TPatientControl& control) { return control.Id == id; });
  return found == std::end(Controls) ? nullptr : &*found;
}

bool HasControl(TPageLayout layout, int id) {
  const TPatientControl* control = FindPatientControl(id);
  return control && control->In(layout);
}

std::vector<int> FieldGroup(TFieldGroup group, TPageLayout layout) {
  std::vector<int> ids;
  for (const TPatientControl& control : Controls)
    if (control.In(layout) && control.In(group))
      ids.push_back(control.Id);
  return ids;
}
