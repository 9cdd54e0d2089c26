#pragma once

// The choice of the parameters the measurement window shows, one flag per
// parameter of every test kind (63, in kind order; nonzero: shown), kept in
// the ini section "Params Struct" under the parameter's name, with a
// suffix where the name recurs in an earlier kind ("TLC (PL)", "Raw (SH)").

#include "common/ParameterBlocks.h"

#include <array>
#include <string>
#include <string_view>

using TParamFlags = std::array<unsigned, ALL_PARAMETER_COUNT>;

// The key of parameter i of a kind; empty outside the tables.
std::string ParamsStructKey(short kind, short i);

// Reads every flag, default 1 (shown), as the system stores it: a 16-bit
// number, sign-extended.
void ReadParmsStruct(std::string_view iniName, TParamFlags& flags);
// Writes every flag; false when the file could not take them.
bool WriteParmsStruct(std::string_view iniName, const TParamFlags& flags);
