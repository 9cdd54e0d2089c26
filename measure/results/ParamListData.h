#pragma once

// TParamListData: where each parameter of each test kind stands in the
// parameter list, read from the ini section "Index of Parameters", and the
// section "Merge Index By Parameter" that names every key with its
// parameter and unit for whoever edits the file.

#include "common/ParameterBlocks.h"

#include <array>
#include <span>
#include <string>

class TParamListData {
public:
  // Fills the positions. A missing key is written with the parameter's
  // natural position. A kind whose positions are not 1 to N once each
  // (two parameters on one line, a line beyond the list) is shown in
  // natural order, so that no parameter hides another; the file is left
  // as the user wrote it.
  void ReadIndexOfParams();
  // Writes "name [unit]" under every key that has no text yet.
  void MergeIndexByParam();

  // The 0-based list line of parameter i of a kind; -1 (append) for a
  // kind or parameter outside the tables or a position never read.
  short GetParamIndex(short kind, short i) const;
  // The 1-based positions of a kind; empty for a kind outside 0 to 5.
  std::span<const short> GetIndexOfParams(short kind) const;

  // The key of parameter i of a kind in both sections: "FVC00" ... "SH04".
  static std::string IndexKey(short kind, short i);

protected:
  std::array<std::array<short, MAX_PARAMETER_COUNT>, TEST_KIND_COUNT> Positions{};
  std::string IniName;
};
