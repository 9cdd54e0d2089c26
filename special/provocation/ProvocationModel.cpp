#include "special/provocation/ProvocationModel.h"

#include "platform/framework/Profile.h"
#include "special/provocation/ProvocationCodes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace {

// atof's number: what cannot be read is 0.
float Number(std::string_view text) { return std::strtof(std::string(text).c_str(), nullptr); }

std::string Key(const char* name, std::size_t column) {
  std::array<char, 16> key{};
  std::snprintf(key.data(), key.size(), "%s%zu", name, column + 1);
  return key.data();
}

// A whole number with optional blanks around it and an optional sign.
std::optional<int> WholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

}  // namespace

TProvocationModel::TProvocationModel(std::string iniFile) : Ini(std::move(iniFile)) {
  State.Columns = {0, 0, 0};
  State.TestCommand = -1;
  State.UnsavedCopy = true;
  MirrorSetup();
}

void TProvocationModel::ReloadSetup() {
  TSetupRead read = ProvocationSetup::ReadForWindow(Ini);
  SetupRecord = std::move(read.Record);
  Issues = std::move(read.Issues);
  MirrorSetup();
}

void TProvocationModel::MirrorSetup() {
  State.FallValue = SetupRecord.Maximum;
  State.DoseStep = static_cast<short>(SetupRecord.Type);
  State.NebulizerWord = static_cast<short>(SetupRecord.Mode);
  State.ThirdAgent = SetupRecord.MaterialOfSolution;
}

float TProvocationModel::MaximumDose() const { return Number(SetupRecord.Maximum); }

// --- Parameters ---------------------------------------------------------------------

std::vector<TParamIssue> TProvocationModel::ReadSelectedProvParams() {
  std::vector<TParamIssue> issues;
  const TProfile profile(ProvocationSetup::ProvocationSection, Ini);
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string param = profile.GetString(Key("Param", i), "");
    if (const auto code = ProvocationCodes::CodeOfIniText(param)) {
      State.Columns[i] = *code;
      if (*code == ProvocationCodes::NoParameter && !param.empty())
        issues.push_back({Key("Param", i), param});
    } else {
      issues.push_back({Key("Param", i), param});
    }
    const std::string limit = profile.GetString(Key("Limit", i), "");
    if (limit.empty())
      continue;
    if (const auto value = WholeNumber(limit); value && *value >= -32768 && *value <= 32767)
      Limits[i] = static_cast<short>(*value);
    else
      issues.push_back({Key("Limit", i), limit});
  }
  return issues;
}

void TProvocationModel::WriteSelectedProvParams() const {
  TProfile profile(ProvocationSetup::ProvocationSection, Ini);
  for (std::size_t i = 0; i < 3; ++i) {
    profile.WriteString(Key("Param", i), ProvocationCodes::IniText(State.Columns[i]));
    // Only a slot without a parameter has no limit to keep.
    const bool none = State.Columns[i] == ProvocationCodes::NoParameter;
    profile.WriteString(Key("Limit", i), none ? std::string() : std::to_string(Limits[i]));
  }
}

void TProvocationModel::SetParameter(std::size_t column, short code, short limit) {
  State.Columns.at(column) = code;
  Limits.at(column) = code == ProvocationCodes::NoParameter ? short{0} : limit;
  State.TestCommand = -1;
  WriteSelectedProvParams();
}

// --- Step list ----------------------------------------------------------------------

std::vector<std::string> TProvocationModel::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(StepRecords.size());
  for (const TProvStep& step : StepRecords)
    lines.push_back(ProvocationStep::Line(step));
  return lines;
}

void TProvocationModel::AddDataToProvListBox(const std::array<float, 3>& values) {
  TProvStep step;
  if (SetupRecord.Type != 0)
    step.Concentration = GetCurrentQueueItem(SetupRecord.Queue);
  else if (State.BaselineDone)
    step.Concentration = SetupRecord.Concentration;
  step.Dose = AccumulatedDose();
  if (!State.BaselineDone) {
    BaselineValues = values;
    State.BaselineDone = true;
  } else {
    State.ProvokedRow = true;
  }
  step.Values = values;
  for (std::size_t i = 0; i < 3; ++i) {
    step.Changes[i] = ProvocationStep::PercentChange(values[i], BaselineValues[i]);
    const float change = step.Changes[i];
    const short limit = Limits[i];
    if ((limit < 0 && change <= static_cast<float>(limit)) || (limit > 0 && change >= static_cast<float>(limit))) {
      Hit[i] = true;
      AnyLimitHit = true;
    }
  }
  StepRecords.push_back(std::move(step));
  if (SetupRecord.Type != 0)
    ++QueueAt;
}

// --- Queue --------------------------------------------------------------------------

std::string TProvocationModel::GetCurrentQueueItem(std::string_view list) const {
  if (!State.BaselineDone)
    return "0.00";
  if (QueueAt < 0)
    return {};
  return ProvocationSetup::QueueItem(list, static_cast<std::size_t>(QueueAt));
}

bool TProvocationModel::IsThereEndOfQueue() const { return GetCurrentQueueItem(SetupRecord.Queue).empty(); }

// --- The next step ------------------------------------------------------------------

bool TProvocationModel::CheckProvocationOK() {
  bool ok = !SetupRecord.Material.empty() && Issues.empty();
  short next = State.TestCommand;
  for (short code : State.Columns) {
    if (code == ProvocationCodes::NoParameter)
      continue;
    if (const unsigned command = ProvocationCodes::CommandOfCode(code))
      next = next == -1 ? static_cast<short>(command) : std::min(next, static_cast<short>(command));
  }
  State.TestCommand = next;
  ok = ok && next != -1;
  for (std::size_t i = 0; i < 3; ++i)
    if (State.Columns[i] != ProvocationCodes::NoParameter && (Limits[i] < -MaxLimit || Limits[i] > MaxLimit))
      ok = false;
  if (SetupRecord.Mode != 0 && !NebulizerReady)
    ok = false;
  if (!ResultReady())
    ok = false;
  if (SetupRecord.Type != 0 && SetupRecord.MaterialOfSolution.empty() && IsThereEndOfQueue())
    ok = false;
  // A maximum of 0 is no maximum.
  if (const float maximum = MaximumDose(); maximum != 0.0f && maximum < AccumulatedDose())
    ok = false;
  return ok && !State.End && !State.NebulizerRunning;
}

// --- Doses --------------------------------------------------------------------------

bool TProvocationModel::GetNextDose(const TAskDose& ask, const std::function<void()>& startNebulizer) {
  if (!State.BaselineDone)
    return true;
  const auto entered = ask(AccumulatedDose(), MaximumDose(), SetupRecord.Accum != 0, Nebulizer.UnitOfDose);
  if (!entered)
    return false;
  StepDose = *entered;
  if (SetupRecord.Mode == 0)
    AccumulateStepDose();
  else if (startNebulizer)
    startNebulizer();
  return true;
}

float TProvocationModel::CountedDose(unsigned short counter) const {
  const float output = SetupRecord.Head == 0 ? Nebulizer.HeadPurple : Nebulizer.HeadGreen;
  float dose = static_cast<float>(counter) * output / 6000.0f;
  if (Nebulizer.UnitOfDose != 0)
    dose *= CurrentConcentration;
  return dose;
}

void TProvocationModel::AccumulateStepDose() {
  SetAccumulatedDose(SetupRecord.Accum != 0 ? AccumulatedDose() + StepDose : StepDose);
}

void TProvocationModel::TakeCurrentConcentration() {
  if (Nebulizer.UnitOfDose == 0)
    return;
  CurrentConcentration =
      Number(SetupRecord.Type == 0 ? SetupRecord.Concentration : GetCurrentQueueItem(SetupRecord.Queue));
}

bool TProvocationModel::GetConcAndDose(double& concentration, double& dose) const {
  if (StepRecords.empty())
    return false;
  const TProvStep& last = StepRecords.back();
  concentration = Number(last.Concentration);
  dose = ProvocationStep::ShownDose(last);
  if (Nebulizer.UnitOfDose != 0 && concentration != 0.0)
    dose /= concentration;
  return true;
}
