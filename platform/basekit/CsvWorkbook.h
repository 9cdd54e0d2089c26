#pragma once

// A sheet of cells kept as comma-separated values (RFC 4180, UTF-8), the
// file the spreadsheet export writes into. Cells are addressed from row 1
// and column 1; a cell never set is empty, and rows keep the length they
// were read with, so writing back changes only the cells that were set.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TCsvWorkbook {
public:
  // Reads the text of a file. Records end with CRLF or LF; a quoted field
  // may hold commas, doubled quotes and line breaks. Nothing, with the
  // reason in `error`, when the text is not UTF-8 or a quote is left open.
  static std::optional<TCsvWorkbook> Parse(std::string_view text, std::string* error = nullptr);

  // The text to store: CRLF after every record; a field is quoted when it
  // holds a comma, a quote or a line break.
  std::string ToText() const;

  const std::string& Get(std::size_t row, std::size_t column) const;
  // Row and column from 1; the sheet grows to hold the cell.
  void Set(std::size_t row, std::size_t column, std::string text);

  std::size_t RowCount() const { return Cells.size(); }

private:
  std::vector<std::vector<std::string>> Cells;
  bool ByteOrderMark = false;
};
