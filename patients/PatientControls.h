#pragma once

// The controls of the patient data sheet: their ids, which of the three
// layouts has them, their text limits and texts, and the groups of fields
// that are enabled and disabled together. The dialog builds itself from
// this table; the headless sheet uses it to know what the layout shows.

#include <span>
#include <vector>

enum class TPageLayout { Small, Medium, Full };

// The dialog resources of the three layouts.
namespace PatientDialog {
inline constexpr int Full = 20111;
inline constexpr int Medium = 20112;
inline constexpr int Small = 20113;
}  // namespace PatientDialog

// Any resource other than the medium and small ones gives the full layout.
TPageLayout LayoutFromResource(int resourceId);

namespace PatientControl {
inline constexpr int Name = 5000;
inline constexpr int MotherName = 5001;
inline constexpr int MaidenName = 5002;
inline constexpr int Postcode = 5003;
inline constexpr int County = 5004;
inline constexpr int City = 5005;
inline constexpr int Street = 5006;
inline constexpr int Phone = 5007;
inline constexpr int AddressTab = 5008;
inline constexpr int Identifier = 5009;
inline constexpr int IdentifierTab = 5010;
inline constexpr int Date = 5011;
inline constexpr int DateTab = 5012;
inline constexpr int Occupation = 5013;
inline constexpr int Sex = 5014;
inline constexpr int Height = 5015;
inline constexpr int HeightUpDown = 5016;
inline constexpr int Age = 5017;
inline constexpr int Weight = 5018;
inline constexpr int WeightUpDown = 5019;
inline constexpr int Population = 5020;
inline constexpr int HomeDoctor = 5021;
inline constexpr int HomeDoctorAddress = 5022;
inline constexpr int TreatingDoctor = 5023;
inline constexpr int NameLabel = 5024;
inline constexpr int MotherNameLabel = 5025;
inline constexpr int MaidenNameLabel = 5026;
inline constexpr int PostcodeLabel = 5027;
inline constexpr int CountyLabel = 5028;
inline constexpr int CityLabel = 5029;
inline constexpr int StreetLabel = 5030;
inline constexpr int PhoneLabel = 5031;
inline constexpr int OccupationLabel = 5032;
inline constexpr int SexLabel = 5033;
inline constexpr int HeightLabel = 5034;
inline constexpr int WeightLabel = 5035;
inline constexpr int AgeLabel = 5036;
inline constexpr int PopulationLabel = 5037;
inline constexpr int HomeDoctorLabel = 5038;
inline constexpr int HomeDoctorAddressLabel = 5039;
inline constexpr int TreatingDoctorLabel = 5040;
inline constexpr int IdentifierLabel = 5041;
inline constexpr int BirthDateLabel = 5042;
}  // namespace PatientControl

enum class TControlKind { Edit, Label, ComboBox, TabControl, UpDown };

// The field groups that the sheet switches on and off together: every
// field; the identity and what the predicted values depend on; everything
// but the dates (for a patient who died or moved away).
enum class TFieldGroup { All, Predicted, DiedOrMoveOut };

struct TPatientControl {
  int Id;
  TControlKind Kind;
  // Edits: characters the edit takes, with the terminating zero (so a
  // field holds Limit - 1). Up-downs: the upper end of their range.
  int Limit;
  // Labels: their one text; tab controls: their pages; combo boxes: their
  // fixed entries (none for the doctor lists, which the table fills).
  std::span<const int> Texts;
  bool InSmall, InMedium, InFull;
  bool InPredicted, InDiedOrMoveOut;

  bool In(TPageLayout layout) const;
  bool In(TFieldGroup group) const;
};

// Every control, in the order the sheet creates them.
std::span<const TPatientControl> PatientControls();
const TPatientControl* FindPatientControl(int id);
bool HasControl(TPageLayout layout, int id);

// The controls of a group that the layout has.
std::vector<int> FieldGroup(TFieldGroup group, TPageLayout layout);
