// The doctors of the patient sheet: the treating-doctor list (every layout)
// and the home-doctor list with the doctor's address (full layout), filled
// from the doctor table and kept in the record by key.

#include "patients/PatientSheet.h"
#include "patients/PatientText.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Utf8.h"

using namespace PatientControl;

namespace {

constexpr int DoctorsInUseText = 6212;
constexpr std::string_view DoctorTable = "Doctor.db";
constexpr std::size_t DoctorNameWidth = 30;

std::string DoctorName(std::string_view name) { return std::string(Utf8::Truncate(name, DoctorNameWidth)); }

// The entry the list shows: the selected one, or the name it shows outside its entries.
const std::string& ShownEntry(const TDoctorDropDown& list) {
  const auto index = static_cast<std::size_t>(list.Selection);
  return list.Selection >= 0 && index < list.Entries.size() ? list.Entries[index] : list.Shown;
}

}  // namespace

void TPatientSheet::SelectDoctor(TDoctorDropDown& list, int controlId, std::string_view name) {
  list.Selection = -1;
  list.Shown = std::string(name);
  for (std::size_t i = 0; i < list.Entries.size(); ++i)
    if (Paths::EqualNoCase(list.Entries[i], name)) {
      list.Selection = static_cast<int>(i);
      list.Shown.clear();
      break;
    }
  View->ControlChanged(controlId);
}

void TPatientSheet::SetDoctor(std::string_view name) { SelectDoctor(TreatingDoctors, TreatingDoctor, name); }

void TPatientSheet::SetHomeDoctor(std::string_view name, std::string_view address) {
  if (!Has(HomeDoctor))
    return;
  SelectDoctor(HomeDoctors, HomeDoctor, name);
  WriteEdit(HomeDoctorAddress, std::string(address));
}

void TPatientSheet::ClearDoctor(TPatientDatabase::TDoctorKind kind) {
  if (kind == TPatientDatabase::HomeDoctor) {
    HomeDoctorKey = 0;
    SetHomeDoctor(Load(NoneEntryText), "");
    return;
  }
  // With a single doctor in the list that doctor stays shown.
  if (TreatingDoctors.Entries.size() < 3)
    return;
  TreatingDoctorKey = 0;
  SetDoctor(Load(NoneEntryText));
}

void TPatientSheet::ShowDoctorLock(bool heldByOther, std::initializer_list<int> listIds) {
  // Fields that are off for another reason (a read-only row, an open test)
  // stay off.
  if (!IsEnabled(Name))
    return;
  bool turnedOff = false;
  for (const int id : listIds) {
    if (!Has(id) || IsEnabled(id) == !heldByOther)
      continue;
    if (heldByOther)
      Disabled.insert(id);
    else
      Disabled.erase(id);
    turnedOff = turnedOff || heldByOther;
    View->ControlChanged(id);
  }
  // Told once when the lists go off, not again for every doctor shown
  // meanwhile, and not as the answer to a save that succeeded.
  if (turnedOff && Database && !AfterSave)
    Database->WinMsg(Texts.Format(DoctorsInUseText, {std::string(DoctorTable)}), PatientDb::Information);
}

void TPatientSheet::FillDoctorTable(const std::vector<TPatientDatabase::TDoctorRow>& doctors) {
  bool heldByOther = false;
  for (const TPatientDatabase::TDoctorRow& doctor : doctors) {
    heldByOther = heldByOther || doctor.HeldByOther;
    if (doctor.Treating) {
      TreatingDoctors.Entries.push_back(doctor.Name);
      View->ControlChanged(TreatingDoctor);
      if (doctor.Key == TreatingDoctorKey)
        SetDoctor(doctor.Name);
    }
    if (doctor.Home && Has(HomeDoctor)) {
      HomeDoctors.Entries.push_back(doctor.Name);
      View->ControlChanged(HomeDoctor);
      if (doctor.Key == HomeDoctorKey)
        SetHomeDoctor(doctor.Name, doctor.Address);
    }
  }
  ShowDoctorLock(heldByOther, {TreatingDoctor, HomeDoctor});
  // The patient shown was shown before the doctors could be looked up; a
  // doctor no longer in the lists is named all the same.
  if (!TableEmpty) {
    DisplayDoctor(TreatingDoctorKey, TPatientDatabase::TreatingDoctor);
    DisplayDoctor(HomeDoctorKey, TPatientDatabase::HomeDoctor);
  }
}

void TPatientSheet::DisplayDoctor(std::int32_t key, TPatientDatabase::TDoctorKind kind) {
  const bool home = kind == TPatientDatabase::HomeDoctor;
  if ((home && !Has(HomeDoctor)) || !Database)
    return;
  const auto doctor = Database->FindDoctor(key);
  if (!doctor) {
    ClearDoctor(kind);
    return;
  }
  if (home)
    SetHomeDoctor(doctor->Name, doctor->Address);
  else
    SetDoctor(doctor->Name);
  ShowDoctorLock(doctor->HeldByOther, {home ? HomeDoctor : TreatingDoctor});
}

std::int32_t TPatientSheet::GetDoctorID(std::string_view name, TPatientDatabase::TDoctorKind kind) {
  const bool home = kind == TPatientDatabase::HomeDoctor;
  if (!Database || (home && !Has(HomeDoctor)))
    return 0;
  const auto doctor = Database->FindDoctorByName(name);
  if (!doctor)
    return 0;
  if (home)
    SetHomeDoctor(doctor->Name, doctor->Address);
  else
    SetDoctor(doctor->Name);
  ShowDoctorLock(doctor->HeldByOther, {home ? HomeDoctor : TreatingDoctor});
  return doctor->Key;
}

void TPatientSheet::CmChangeDoctor(int index) {
  const auto position = static_cast<std::size_t>(index);
  if (index < 0 || position >= TreatingDoctors.Entries.size())
    return;
  const std::string chosen = DoctorName(TreatingDoctors.Entries[position]);
  const bool none = chosen == DoctorName(Load(NoneEntryText)) || chosen == DoctorName(Placeholder);
  // Choosing the entry the sheet shows already changes nothing.
  if (chosen == DoctorName(ShownEntry(TreatingDoctors)) && (!none || TreatingDoctorKey == 0)) {
    View->ControlChanged(TreatingDoctor);
    return;
  }
  if (!BeginChange())
    return;
  TreatingDoctorKey = none ? 0 : GetDoctorID(chosen, TPatientDatabase::TreatingDoctor);
  // No doctor (or one that is gone from the table meanwhile) shows none.
  if (TreatingDoctorKey == 0) {
    TreatingDoctors.Selection = 0;
    TreatingDoctors.Shown.clear();
  }
  // The list shows what the sheet holds, also when the doctor is gone.
  View->ControlChanged(TreatingDoctor);
  MarkChanged();
}

void TPatientSheet::CmChangeHomeDoctor(int index) {
  const auto position = static_cast<std::size_t>(index);
  if (!Has(HomeDoctor) || index < 0 || position >= HomeDoctors.Entries.size())
    return;
  const std::string chosen = DoctorName(HomeDoctors.Entries[position]);
  if (chosen == DoctorName(ShownEntry(HomeDoctors)) || !BeginChange()) {
    View->ControlChanged(HomeDoctor);
    return;
  }
  if (index == 0)
    ClearDoctor(TPatientDatabase::HomeDoctor);
  else
    HomeDoctorKey = GetDoctorID(chosen, TPatientDatabase::HomeDoctor);
  View->ControlChanged(HomeDoctor);
  MarkChanged();
}

void TPatientSheet::EvKillFocusDoctor() {
  if (!Has(TreatingDoctor) || !MayCheck() || MessageShowing || !Modified || TreatingDoctorKey != 0)
    return;
  Refuse(TreatingDoctor, Load(RequiredText));
}

std::string TPatientSheet::GetDoctor(std::size_t size) const {
  if (size == 0)
    return {};
  return std::string(Utf8::Truncate(ShownEntry(TreatingDoctors), size - 1));
}

std::string TPatientSheet::GetDoctorName() const {
  // The none entry and the new-record placeholder name nobody.
  return TreatingDoctorKey == 0 ? std::string() : DoctorName(ShownEntry(TreatingDoctors));
}
