#pragma once

// The trend's rows for the spreadsheet export: thirteen cells per row, the
// patient, the reference, the parameter heads and one row per line.

#include "common/PredictedData.h"
#include "trend/TrendLine.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TTrendModel;

// Where the cells go: the spreadsheet export's connection. It names a cell
// by its offsets from the export's first row and column ("R5C2") and sets
// one cell; a false poke ends the export.
class TTrendPokeTarget {
public:
  virtual ~TTrendPokeTarget() = default;
  virtual std::string CellAddress(unsigned rowOffset, unsigned columnOffset) const = 0;
  virtual bool PokeDDE(std::string_view item, std::string_view text) = 0;
};

// The spreadsheet export's connection seen as a poke target: any class with
// the connection's CellAddress and PokeDDE.
template <class TConnection>
class TConnectionPokes : public TTrendPokeTarget {
public:
  explicit TConnectionPokes(TConnection& connection) : Connection(connection) {}
  std::string CellAddress(unsigned rowOffset, unsigned columnOffset) const override {
    return Connection.CellAddress(rowOffset, columnOffset);
  }
  bool PokeDDE(std::string_view item, std::string_view text) override { return Connection.PokeDDE(item, text); }

private:
  TConnection& Connection;
};

namespace TrendExport {

inline constexpr int Columns = 13;
using TRow = std::array<std::string, Columns>;

// Every row of the export, in order. With `decimalComma` (the "Magyar"
// texts) every "." of every cell but the first column's becomes ",".
std::vector<TRow> Rows(const TTrendModel& model, const PREDICTED_DATA& patient, bool decimalComma);

// Pokes the rows cell by cell; false at the first failed poke, which ends it.
bool SendDataToExcel(const std::vector<TRow>& rows, TTrendPokeTarget& target);

}  // namespace TrendExport
