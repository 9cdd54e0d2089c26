#include "platform/basekit/CsvWorkbook.h"

#include "platform/framework/Utf8.h"

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<TCsvWorkbook> TCsvWorkbook::Parse(std::string_view text, std::string* error) {
  auto fail = [error](std::string reason) -> std::optional<TCsvWorkbook> {
    if (error)
      *error = std::move(reason);
    return std::nullopt;
  };
  TCsvWorkbook book;
  if (text.starts_with(Bom)) {
    book.ByteOrderMark = true;
    text.remove_prefix(Bom.size());
  }
  if (!Utf8::IsValid(text))
    return fail("the text is not UTF-8");

  std::vector<std::string> record;
  std::string field;
  std::size_t line = 1;
  std::size_t i = 0;
  auto endRecord = [&] {
    record.push_back(std::move(field));
    field.clear();
    book.Cells.push_back(std::move(record));
    record.clear();
  };
  while (i < text.size()) {
    if (field.empty() && text[i] == '"') {
      const std::size_t opened = line;
      ++i;
      for (;;) {
        if (i >= text.size())
          return fail("a quote opened on line " + std::to_string(opened) + " is never closed");
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n')
          ++line;
        field += text[i++];
      }
      // Anything between the closing quote and the next separator is kept
      // as it stands, as spreadsheets read it.
      while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
        field += text[i++];
      continue;
    }
    const char c = text[i];
    if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
      ++i;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      endRecord();
      ++line;
      i += 2;
    } else if (c == '\n') {
      endRecord();
      ++line;
      ++i;
    } else {
      field += c;
      ++i;
    }
  }
  if (!field.empty() || !record.empty())
    endRecord();
  return book;
}

std::string TCsvWorkbook::ToText() const {
  std::string out = ByteOrderMark ? std::string(Bom) : std::string();
  for (const auto& row : Cells) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0)
        out += ',';
      const std::string& cell = row[c];
      if (!NeedsQuotes(cell)) {
        out += cell;
        continue;
      }
      out += '"';
      for (const char ch : cell) {
        if (ch == '"')
          out += '"';
        out += ch;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

const std::string& TCsvWorkbook::Get(std::size_t row, std::size_t column) const {
  static const std::string empty;
  if (row == 0 || column == 0 || row > Cells.size() || column > Cells[row - 1].size())
    return empty;
  return Cells[row - 1][column - 1];
}

void TCsvWorkbook::Set(std::size_t row, std::size_t column, std::string text) {
  if (row == 0 || column == 0)
    return;
  if (Cells.size() < row)
    Cells.resize(row);
  auto& cells = Cells[row - 1];
  if (cells.size() < column)
    cells.resize(column);
  cells[column - 1] = std::move(text);
}
