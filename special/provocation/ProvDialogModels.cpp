#include "special/provocation/ProvDialogModels.h"

#include "platform/framework/Profile.h"
#include "special/provocation/ProvocationCodes.h"
#include "special/provocation/ProvocationModel.h"

#include <algorithm>
#include <cstdlib>

// --- The set-up ---------------------------------------------------------------------

TProvSetupModel::TProvSetupModel(std::string iniFile, bool nebulizerAvailable)
    : Ini(std::move(iniFile)), NebulizerAvailable(nebulizerAvailable) {}

void TProvSetupModel::Load() {
  MaterialItems = ProvocationSetup::ReadList(Ini, ProvocationSetup::MaterialListSection);
  SolutionItems = {""};
  for (std::string& name : ProvocationSetup::ReadList(Ini, ProvocationSetup::SolutionListSection))
    SolutionItems.push_back(std::move(name));
  Queue = {};
  Concentration.clear();
  Maximum = "1.0";
  Issues.clear();
  const TSetupRead current = ProvocationSetup::ReadCurrentMaterial(Ini);
  if (!current.Record.Material.empty()) {
    Material = current.Record.Material;
    LoadSection(Material);
  }
  Issues.insert(Issues.begin(), current.Issues.begin(), current.Issues.end());
  UnitOfDose = TProfile("Nebulizer", Ini).GetInt("UnitOfDose", 0);
}

void TProvSetupModel::LoadSection(const std::string& material) {
  TSetupRead read = ProvocationSetup::ReadForDialog(Ini, material);
  const TProvSetupRecord& r = read.Record;
  Issues = std::move(read.Issues);
  // Without a nebulizer the typed doses are shown (the stored mode stays
  // until OK stores what is shown).
  Mode = NebulizerAvailable ? static_cast<int>(std::min<unsigned short>(r.Mode, 1)) : 0;
  SetType(std::min<unsigned short>(r.Type, 2));
  Queue = ProvocationSetup::SplitQueue(r.Queue);
  Concentration = r.Concentration;
  Head = std::min<unsigned short>(r.Head, 1);
  Maximum = r.Maximum;
  Accum = r.Accum != 0;
  Solution = r.MaterialOfSolution;
  if (std::find(SolutionItems.begin(), SolutionItems.end(), Solution) == SolutionItems.end())
    SolutionItems.push_back(Solution);
}

void TProvSetupModel::SetType(int type) { Type = type; }

void TProvSetupModel::SelectMaterial(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= MaterialItems.size())
    return;
  MaterialChanged = true;
  Material = MaterialItems[static_cast<std::size_t>(index)];
  LoadSection(Material);
}

void TProvSetupModel::EditMaterial(std::string text) {
  Material = std::move(text);
  MaterialChanged = true;
}

void TProvSetupModel::EditSolution(std::string text) {
  Solution = std::move(text);
  SolutionChanged = true;
}

void TProvSetupModel::TakeTyped(std::vector<std::string>& items, const std::string& text) {
  if (!text.empty() && std::find(items.begin(), items.end(), text) == items.end())
    items.push_back(text);
}

void TProvSetupModel::MaterialLeft() {
  if (!MaterialChanged)
    return;
  MaterialChanged = false;
  TakeTyped(MaterialItems, Material);
  LoadSection(Material);
}

void TProvSetupModel::SolutionLeft() {
  if (!SolutionChanged)
    return;
  SolutionChanged = false;
  TakeTyped(SolutionItems, Solution);
}

int TProvSetupModel::MaterialIndex() const {
  const auto found = std::find(MaterialItems.begin(), MaterialItems.end(), Material);
  return found == MaterialItems.end() ? NoChoice : static_cast<int>(found - MaterialItems.begin());
}

int TProvSetupModel::SolutionIndex() const {
  const auto found = std::find(SolutionItems.begin(), SolutionItems.end(), Solution);
  return found == SolutionItems.end() ? NoChoice : static_cast<int>(found - SolutionItems.begin());
}

bool TProvSetupModel::IsOkEnabled() const {
  // The material names the section its set-up is stored in.
  if (!ProvocationSetup::IsSectionName(Material) || Material.size() > TProvSetupRecord::NameSize)
    return false;
  if (Solution.find_first_of("\r\n") != std::string::npos)
    return false;
  if (Type == 0)
    return !Concentration.empty();
  if (Type == 1 || Type == 2) {
    if (Queue[0].empty())
      return false;
    return std::all_of(Queue.begin(), Queue.end(), [](const std::string& box) {
      return box.size() <= TProvSetupRecord::EntrySize && ProvocationSetup::IsNumeric(box);
    });
  }
  return false;
}

TProvSetupRecord TProvSetupModel::Record() const {
  TProvSetupRecord r;
  r.Material = Material;
  r.Mode = Mode == 0 ? 0 : 1;
  r.Type = static_cast<unsigned short>(std::max(Type, 0));
  r.Queue = ProvocationSetup::JoinQueue(Queue);
  r.Concentration = Concentration;
  r.Head = Head == 0 ? 0 : 1;
  r.Maximum = Maximum;
  r.Accum = Accum ? 1 : 0;
  r.MaterialOfSolution = Solution;
  return r;
}

bool TProvSetupModel::Store() const {
  if (!IsOkEnabled())
    return false;
  ProvocationSetup::AddToList(Ini, ProvocationSetup::MaterialListSection, MaterialItems);
  ProvocationSetup::AddToList(Ini, ProvocationSetup::SolutionListSection,
                              std::vector<std::string>(SolutionItems.begin() + 1, SolutionItems.end()));
  ProvocationSetup::WriteCurrentMaterial(Ini, Material);
  return ProvocationSetup::WriteSetup(Ini, Record());
}

// --- The parameter of a column ------------------------------------------------------

TProvParamModel::TProvParamModel(short code, short limit)
    : Selected(ProvocationCodes::ListIndexOfCode(code).value_or(-1)), Limit(std::to_string(limit)) {}

std::vector<std::string> TProvParamModel::Items(int screenWidthPixels) {
  std::vector<std::string> items{""};
  for (int index = 1; index < ProvocationCodes::ListCount; ++index)
    items.push_back(ProvocationCodes::ListItemText(index, screenWidthPixels));
  return items;
}

short TProvParamModel::Code() const { return ProvocationCodes::CodeOfListIndex(Selected); }

short TProvParamModel::LimitValue() const {
  if (Code() == ProvocationCodes::NoParameter)
    return 0;
  return static_cast<short>(std::clamp(std::atol(Limit.c_str()), -32768L, 32767L));
}

bool TProvParamModel::IsOkEnabled() const {
  if (Code() == ProvocationCodes::NoParameter)
    return true;
  const long value = std::atol(Limit.c_str());
  return value != 0 && std::labs(value) <= TProvocationModel::MaxLimit;
}

// --- The dose of the next step ------------------------------------------------------

TProvInputModel::TProvInputModel(float start, float maximum, bool accumulate, unsigned short unit)
    : Start(start), Maximum(maximum), Accumulate(accumulate), Unit(unit) {}

float TProvInputModel::Dose() const { return std::strtof(Text.c_str(), nullptr); }

bool TProvInputModel::IsOkEnabled() const {
  const float v = Dose();
  if (!(v > 0.0f))
    return false;
  if (Maximum == 0.0f)
    return true;
  // In single precision, as the doses are kept: 0.8 + 0.2 is 1.0.
  const float total = Accumulate ? Start + v : v;
  return total <= Maximum;
}
