#pragma once

// The provocation test without its window: the set-up it follows, the
// three compared parameters with their limits, the step list, the queue
// of concentrations, the doses and the rules that decide whether the next
// step may start. The program's provocation driver shares part of this
// state through TProvocationSteps: the end, the baseline and provoked
// flags, the running nebulizer, the test of the next step, the columns'
// codes, whether the last measurement gave a result and whether one is
// open, and the set-up's maximum, accumulated dose, dose step, nebulizer
// word and second agent, which the model keeps there and nowhere else.

#include "common/ProvocationState.h"
#include "common/PushedSettings.h"
#include "special/provocation/ProvocationSetup.h"
#include "special/provocation/ProvocationStep.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A "Param%d" or "Limit%d" value of [Provocation] that could not be read.
struct TParamIssue {
  std::string Key;
  std::string Value;
  friend bool operator==(const TParamIssue&, const TParamIssue&) = default;
};

class TProvocationModel {
public:
  static constexpr short MaxLimit = 99;
  static constexpr int TypeRunSeconds = 120;

  explicit TProvocationModel(std::string iniFile);

  const std::string& IniFile() const { return Ini; }

  // --- Set-up: re-read from the settings file before every paint and check.
  void ReloadSetup();
  const TProvSetupRecord& Setup() const { return SetupRecord; }
  const std::vector<TSetupIssue>& SetupIssues() const { return Issues; }
  // The set-up's maximum as a number; 0 when empty or 0 (no maximum).
  float MaximumDose() const;

  // --- The three parameters and their limits ([Provocation] "Param%d", "Limit%d").
  short ParamCode(std::size_t column) const { return State.Columns.at(column); }
  short Limit(std::size_t column) const { return Limits.at(column); }
  // Reads them; the values that could not be read leave their slot as it was.
  std::vector<TParamIssue> ReadSelectedProvParams();
  void WriteSelectedProvParams() const;
  // The parameter dialog confirmed a column: the next test is decided anew.
  void SetParameter(std::size_t column, short code, short limit);

  // --- Shared with the driver.
  TProvocationSteps& Steps() { return State; }
  const TProvocationSteps& Steps() const { return State; }
  bool Finished() const { return State.End; }
  bool BaselineDone() const { return State.BaselineDone; }
  bool NebulizerRunning() const { return State.NebulizerRunning; }
  short NextCommand() const { return State.TestCommand; }
  float AccumulatedDose() const { return State.FallLimit; }
  void SetAccumulatedDose(float dose) { State.FallLimit = dose; }

  // --- Set by the program.
  TNebulizerSettings Nebulizer;
  bool NebulizerReady = false;
  // Whether the last measurement gave a result (true until the first is
  // opened), and whether a measurement of the test is open: the driver
  // sets both in the shared state.
  bool ResultReady() const { return State.UnsavedCopy; }
  bool MeasureOpen() const { return State.MeasurementLinked; }

  // --- The step list.
  const std::vector<TProvStep>& StepList() const { return StepRecords; }
  std::vector<std::string> Lines() const;
  // Adds the line of a measurement's three values: the baseline first,
  // then each provoked step with its changes; checks the limits.
  void AddDataToProvListBox(const std::array<float, 3>& values);
  bool LimitReached() const { return AnyLimitHit; }
  bool LimitHit(std::size_t column) const { return Hit.at(column); }
  const std::array<float, 3>& Baseline() const { return BaselineValues; }

  // --- The queue.
  short QueueIndex() const { return QueueAt; }
  // Item QueueIndex of a list; "0.00" before the baseline.
  std::string GetCurrentQueueItem(std::string_view list) const;
  bool IsThereEndOfQueue() const;

  // --- Whether the next step may start; sets the next test's command.
  bool CheckProvocationOK();

  // --- Doses.
  // Asks for the step's dose: the accumulated dose to start from, the
  // maximum, the accumulate flag and the unit; nothing when cancelled.
  using TAskDose = std::function<std::optional<float>(float start, float maximum, bool accumulate, short unit)>;
  // The next dose: none before the baseline; a typed dose adds to the
  // accumulated dose at once, a nebulised one starts the nebulizer
  // (`startNebulizer`). False when the user cancelled.
  bool GetNextDose(const TAskDose& ask, const std::function<void()>& startNebulizer);
  float StepDose = 0.0f;
  float CurrentConcentration = 0.0f;
  // The dose the nebulizer gave for `counter` sprayed samples.
  float CountedDose(unsigned short counter) const;
  // The step's dose joins the accumulated dose (or stands alone).
  void AccumulateStepDose();
  // The concentration the nebulised step runs at (for doses in mg).
  void TakeCurrentConcentration();

  // The last line's concentration and dose, the dose in ml when doses are
  // in mg (divided by the concentration unless it is 0); false and
  // unchanged outputs without a line.
  bool GetConcAndDose(double& concentration, double& dose) const;

  // --- What the display keeps.
  short ZoomState = 0;
  short SelectedLine = 0;

private:
  void MirrorSetup();

  std::string Ini;
  TProvSetupRecord SetupRecord;
  std::vector<TSetupIssue> Issues;
  TProvocationSteps State;
  std::array<short, 3> Limits{};
  std::array<float, 3> BaselineValues{};
  std::array<bool, 3> Hit{};
  bool AnyLimitHit = false;
  short QueueAt = -1;
  std::vector<TProvStep> StepRecords;
};
