#pragma once

// TParamChoice: what the parameter choice dialog decides, without the
// dialog. It edits one test kind's slice of the window's 63 display flags:
// one flag per check box, check all, clear all, and OK only while at least
// one parameter is chosen. Cancel puts back the flags it opened with, so an
// empty choice is never kept.

#include "measure/results/ParamsStruct.h"

#include <array>
#include <span>
#include <vector>

class TParamChoice {
public:
  static constexpr int HelpId = 29;
  static constexpr int CheckAllId = 5096;
  static constexpr int ClearAllId = 5097;
  static constexpr int CaptionText = 86;
  static constexpr int CheckAllText = 89;
  static constexpr int ClearAllText = 90;

  // A kind outside 0 to 5 has no check boxes.
  TParamChoice(TParamFlags& flags, short kind);

  short GetKind() const { return Kind; }
  int GetCount() const { return static_cast<int>(Flags.size()); }
  // The id of check box i of the kind (5070 ... for FVC, 5855 ... for SHUTTER).
  int CheckBoxId(int i) const;
  // The language text that names the kind in the caption; 0 for another kind.
  int KindText() const;

  bool GetFlag(int i) const;
  void SetFlag(int i, bool shown);
  void CheckAll();
  void ClearAll();
  bool IsOkEnabled() const;
  // Cancel: the flags the dialog opened with.
  void Restore();

private:
  short Kind;
  std::span<unsigned> Flags;
  std::vector<unsigned> Opened;
};
