#pragma once

// The lung-function parameters a provocation can follow, named by a code:
// test kind x 100 + parameter index (FVC 0-18, VC 100-104, MVV 200-201,
// plethysmography 400-418, shutter 500-504; -1 none). The diffusion test
// (300-399) is never offered. The parameter dialog lists them after an
// empty first item; the settings file names them "FVC%02d", "VC%02d",
// "MVV%02d", "PL%02d" and "SH%02d".

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ProvocationCodes {

inline constexpr short NoParameter = -1;
// The empty item and the 50 parameters.
inline constexpr int ListCount = 51;

struct TParameterName {
  std::string_view Name;  // "*" stands before what is written as a subscript
  std::string_view Unit;
};

struct TBand {
  short FirstCode;      // the band's code of index 0
  std::string_view IniPrefix;
  unsigned Command;     // the measure command of the test kind
  std::span<const TParameterName> Names;
};

// The five bands in list order.
std::span<const TBand> Bands();

// The band and parameter of a code; nothing for -1, the diffusion test,
// codes beyond a band's parameters and codes of 600 and above.
const TBand* BandOf(short code);
std::optional<TParameterName> Parameter(short code);

// The code of a list item (item 0 and items out of range: -1) and the item
// of a code (-1: item 0; a code that names no parameter: nothing).
short CodeOfListIndex(int index);
std::optional<int> ListIndexOfCode(short code);

// The measure command (2147 FVC ... 2152 shutter) of a code; 0 for none.
unsigned CommandOfCode(short code);

// "FVC03", "VC03", "MVV01", "PL17", "SH04"; empty for a code that names no
// parameter.
std::string IniText(short code);
// The code a "Param%d" value names: -1 for an empty value; nothing for a
// text of no known prefix (the caller keeps what it had). An index beyond
// its band's parameters names no parameter (-1).
std::optional<short> CodeOfIniText(std::string_view text);

// The parameter's name as plain text ("FEV1,0"); empty for a code that
// names no parameter.
std::string DisplayName(short code);

// The dialog's item: the name, blanks up to a column of 26 characters at
// 800 pixels (scaled by the screen's width), then the unit.
std::string ListItemText(int index, int screenWidthPixels);

}  // namespace ProvocationCodes
