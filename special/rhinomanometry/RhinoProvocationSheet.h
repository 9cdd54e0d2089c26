#pragma once

// What the rhinomanometric provocation dialog decides, without its window:
// the list of known materials from the ini file, the choice of the last
// one, the materials the user types, and what OK stores and hands over.

#include "special/rhinomanometry/RhinoState.h"

#include <string>
#include <string_view>
#include <vector>

// What the dialog hands over on OK, cut as its fields hold them.
struct TRhinoProvocationEntry {
  std::string Material;       // at most 49 bytes
  std::string Concentration;  // at most 5
  std::string Dose;           // at most 5
};

class TRhinoProvocationSheet {
public:
  // Reads section "Material of Rhinomanometer Provocation" of the ini file.
  explicit TRhinoProvocationSheet(std::string_view iniFile);

  const std::vector<std::string>& Materials() const { return List; }
  // The entry shown first: the first that begins with "SelectedMaterial"
  // (without regard to case), or the first one when that key is empty;
  // -1 for an empty list or no match.
  int Selected() const { return Selection; }
  // The index of the first entry that begins with `text` (without regard to
  // case), -1 when none does.
  int Find(std::string_view text) const;

  // A text typed into the material box, when it loses the focus: added
  // (cut to 100 bytes) unless it is empty or an entry already begins with
  // it. Answers the index of the entry that matches it.
  int Typed(std::string_view text);

  // OK is offered only while the list holds a material.
  bool CanConfirm() const { return !List.empty(); }
  // OK: stores the choice and the new materials in the ini file and answers
  // what the window takes over. False in `stored` when the ini file could
  // not be written.
  TRhinoProvocationEntry Confirm(std::string_view material, std::string_view concentration, std::string_view dose,
                                 bool& stored);

private:
  std::string IniFile;
  std::vector<std::string> List;
  std::size_t StoredCount = 0;  // the entries read from, or written to, Material1 ...
  int Selection = -1;
};

inline constexpr std::string_view RhinoMaterialSection = "Material of Rhinomanometer Provocation";

// Takes the entered provocation into the window's state: the material
// always, the concentration and the dose when their texts are not empty
// (their leading number, 0 when there is none).
void TakeProvocation(TRhinoState& state, const TRhinoProvocationEntry& entry);
