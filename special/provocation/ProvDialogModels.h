#pragma once

// The decisions of the provocation's three dialogs, without their widgets:
// the set-up (which controls are enabled, when OK may be pressed, what is
// loaded and stored), the parameter of one column with its limit, and the
// dose of the next step. The dialogs only show these and forward edits.

#include "special/provocation/ProvocationSetup.h"

#include <array>
#include <string>
#include <vector>

class TProvSetupModel {
public:
  static constexpr int NoChoice = -1;

  TProvSetupModel(std::string iniFile, bool nebulizerAvailable);

  // Opening: the material last set up, or nothing chosen.
  void Load();
  // A material picked from the list, or typed and left: its section (a
  // name without section gives the defaults). A typed name the list lacks
  // joins it.
  void SelectMaterial(int index);
  void EditMaterial(std::string text);
  void MaterialLeft();
  void EditSolution(std::string text);
  void SolutionLeft();

  void SetMode(int mode) { Mode = mode; }
  void SetType(int type);
  void SetHead(int head) { Head = head; }
  void SetQueueBox(std::size_t k, std::string text) { Queue.at(k) = std::move(text); }
  void SetConcentration(std::string text) { Concentration = std::move(text); }
  void SetMaximum(std::string text) { Maximum = std::move(text); }
  void SetAccum(bool on) { Accum = on; }

  // What the dialog shows.
  const std::vector<std::string>& Materials() const { return MaterialItems; }
  const std::vector<std::string>& Solutions() const { return SolutionItems; }  // the first is "" (none)
  int MaterialIndex() const;
  int SolutionIndex() const;
  const std::string& MaterialText() const { return Material; }
  const std::string& SolutionText() const { return Solution; }
  int GetMode() const { return Mode; }
  int GetType() const { return Type; }
  int GetHead() const { return Head; }
  const std::array<std::string, TProvSetupRecord::QueueEntries>& QueueBoxes() const { return Queue; }
  const std::string& GetConcentration() const { return Concentration; }
  const std::string& GetMaximum() const { return Maximum; }
  bool GetAccum() const { return Accum; }
  bool ModeNebulisedEnabled() const { return NebulizerAvailable; }
  bool QueueEnabled() const { return Type != 0; }
  bool ConcentrationEnabled() const { return Type != 1 && Type != 2; }
  std::string UnitLabel() const { return UnitOfDose == 0 ? "ml" : "mg"; }
  // The values the last load found unusable; the dialog tells the user.
  const std::vector<TSetupIssue>& LoadIssues() const { return Issues; }

  bool IsOkEnabled() const;
  // OK: the lists, the current material and its set-up; false when the
  // file could not be written.
  bool Store() const;
  TProvSetupRecord Record() const;

private:
  void LoadSection(const std::string& material);
  void TakeTyped(std::vector<std::string>& items, const std::string& text);

  std::string Ini;
  bool NebulizerAvailable;
  int UnitOfDose = 0;
  std::vector<std::string> MaterialItems;
  std::vector<std::string> SolutionItems{""};
  std::string Material;
  std::string Solution;
  bool MaterialChanged = false;
  bool SolutionChanged = false;
  int Mode = NoChoice;
  int Type = NoChoice;
  int Head = NoChoice;
  std::array<std::string, TProvSetupRecord::QueueEntries> Queue;
  std::string Concentration;
  std::string Maximum = "1.0";
  bool Accum = false;
  std::vector<TSetupIssue> Issues;
};

// The parameter of one column and its limit in percent.
class TProvParamModel {
public:
  TProvParamModel(short code, short limit);

  // The list: the empty item, then the 50 parameters.
  static std::vector<std::string> Items(int screenWidthPixels);

  int Selection() const { return Selected; }  // -1: none shown
  void Select(int index) { Selected = index; }
  const std::string& LimitText() const { return Limit; }
  void SetLimitText(std::string text) { Limit = std::move(text); }

  // The empty item needs no limit; a parameter needs one other than 0
  // within -99 to 99 (a limit the step check would refuse is refused here).
  bool IsOkEnabled() const;
  short Code() const;
  short LimitValue() const;

private:
  int Selected;
  std::string Limit;
};

// The dose of the next step.
class TProvInputModel {
public:
  // `start` the accumulated dose; `maximum` 0 for none; the edit starts "0.00".
  TProvInputModel(float start, float maximum, bool accumulate, unsigned short unit);

  const std::string& DoseText() const { return Text; }
  void SetDoseText(std::string text) { Text = std::move(text); }
  std::string UnitLabel() const { return Unit == 0 ? "ml" : "mg"; }

  // v > 0 and, with a maximum, v (plus the start when accumulating) not
  // above it.
  bool IsOkEnabled() const;
  // The typed dose alone, not the total.
  float Dose() const;

private:
  float Start;
  float Maximum;
  bool Accumulate;
  unsigned short Unit;
  std::string Text = "0.00";
};
