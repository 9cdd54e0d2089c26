#include "special/rhinomanometry/RhinoProvocationSheet.h"

#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

bool BeginsWith(std::string_view entry, std::string_view text) {
  if (text.size() > entry.size())
    return false;
  return std::equal(text.begin(), text.end(), entry.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

float LeadingNumber(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  float value = 0.0f;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string Key(std::size_t number) { return "Material" + std::to_string(number); }

}  // namespace

TRhinoProvocationSheet::TRhinoProvocationSheet(std::string_view iniFile) : IniFile(iniFile) {
  const TProfile profile(RhinoMaterialSection, IniFile);
  for (std::size_t number = 1;; ++number) {
    std::string material = profile.GetString(Key(number));
    if (material.empty())
      break;
    List.push_back(std::string(Utf8::Truncate(material, 100)));
  }
  StoredCount = List.size();
  const std::string selected = profile.GetString("SelectedMaterial");
  Selection = selected.empty() ? (List.empty() ? -1 : 0) : Find(selected);
}

int TRhinoProvocationSheet::Find(std::string_view text) const {
  const auto found = std::find_if(List.begin(), List.end(), [&](const std::string& e) { return BeginsWith(e, text); });
  return found == List.end() ? -1 : static_cast<int>(found - List.begin());
}

int TRhinoProvocationSheet::Typed(std::string_view text) {
  text = Utf8::Truncate(text, 100);
  if (text.empty())
    return -1;
  if (const int found = Find(text); found >= 0)
    return found;
  List.emplace_back(text);
  return static_cast<int>(List.size() - 1);
}

TRhinoProvocationEntry TRhinoProvocationSheet::Confirm(std::string_view material, std::string_view concentration,
                                                       std::string_view dose, bool& stored) {
  TProfile profile(RhinoMaterialSection, IniFile);
  stored = profile.WriteString("SelectedMaterial", material);
  for (; StoredCount < List.size(); ++StoredCount)
    stored = profile.WriteString(Key(StoredCount + 1), List[StoredCount]) && stored;
  return {std::string(Utf8::Truncate(material, 49)), std::string(Utf8::Truncate(concentration, 5)),
          std::string(Utf8::Truncate(dose, 5))};
}

void TakeProvocation(TRhinoState& state, const TRhinoProvocationEntry& entry) {
  state.ProvocationMaterial = entry.Material;
  if (!entry.Concentration.empty())
    state.ProvocationConcentration = LeadingNumber(entry.Concentration);
  if (!entry.Dose.empty())
    state.ProvocationDose = LeadingNumber(entry.Dose);
}
