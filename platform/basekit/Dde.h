#pragma once

// The spreadsheet export. The windows poke their results cell by cell, as
// they did into a running spreadsheet; here the cells go into a workbook
// "<Workbook>.csv" in the working folder, which any spreadsheet opens.
// Connecting reads the workbook, pokes change cells in memory and
// disconnecting writes it back in one piece, so the cells of an earlier
// export that this one does not touch stay as they were.
//
// Settings, section [DDE] of the settings file: RowLetter and ColumnLetter
// (A to Z) and FirstRow and FirstColumn (1 to 65535) make the cell
// addresses "R1C1"; Workbook names the file (at most 20 characters, no
// folder). A value out of range takes its default.

#include "platform/basekit/CsvWorkbook.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class TMessage;

struct TDdeSettings {
  static constexpr std::size_t WorkbookSize = 20;

  char RowLetter = 'R';
  char ColumnLetter = 'C';
  std::uint16_t FirstRow = 1;
  std::uint16_t FirstColumn = 1;
  std::string Workbook = "Halvetra";

  static bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
  // A name of 1 to 20 bytes that makes one file in the working folder.
  static bool IsWorkbookName(std::string_view name);
  friend bool operator==(const TDdeSettings&, const TDdeSettings&) = default;
};

// The settings as the settings dialog edits them, one text per field.
// The texts hold the whole range (a first row of 65535 has five digits).
struct TTDdeDialogStruct {
  std::string RowLetter;
  std::string ColumnLetter;
  std::string FirstRow;
  std::string FirstColumn;
  std::string Workbook;

  static TTDdeDialogStruct From(const TDdeSettings& settings);
  // The settings the texts give (letters in either case); nothing when a
  // field is out of range.
  std::optional<TDdeSettings> ToSettings() const;
};

class TDDE {
public:
  static constexpr std::string_view Section = "DDE";

  // Loads the settings from `iniFile`; the workbook lives in `folder`
  // (the working folder when none is given). Messages go through `messages`.
  TDDE(const TMessage* messages, std::string_view iniFile, std::filesystem::path folder = {});

  TDdeSettings Settings;

  // Stores the settings; false when the file cannot be written.
  bool WriteDDEconstans();

  // Nothing to start here: always true.
  bool InitializeDDE() { return true; }
  // Reads the workbook (a missing one starts empty). False, with a message
  // naming the file, when it cannot be read or written, or is no workbook.
  // While a spreadsheet holds it open (its lock file lies beside it) the
  // user is asked to close it and retry, or to cancel (false).
  bool ConnectDDE();
  // Sets the cell that `item` ("R5C2" with the settings' letters) names,
  // to the text as SpreadsheetText guards it. False when not connected,
  // when the address is not one of ours or lies beyond a spreadsheet's
  // size, or when the text is not UTF-8.
  bool PokeDDE(std::string_view item, std::string_view text);
  // A text that a spreadsheet would evaluate as a formula (it begins with
  // =, +, -, @, a tab or a carriage return and is not a number) with a
  // leading apostrophe, so the cell shows it as text; everything else as
  // it is.
  static std::string SpreadsheetText(std::string_view text);
  // Writes the workbook back when a cell was poked. False, with a message,
  // when it cannot be written; the file then stays as it was.
  bool DisconnectDDE();
  void UninitializeDDE() {}

  // "%c%d%c%d" of the letters, first row + rowOffset, first column + columnOffset.
  std::string CellAddress(unsigned rowOffset, unsigned columnOffset) const;
  std::filesystem::path WorkbookPath() const;
  bool IsConnected() const { return Book.has_value(); }

  // The largest sheet a spreadsheet holds.
  static constexpr std::size_t MaxRow = 1'048'576;
  static constexpr std::size_t MaxColumn = 16'384;

private:
  std::optional<std::pair<std::size_t, std::size_t>> ParseAddress(std::string_view item) const;
  void Report(int textNumber, const std::string& reason) const;

  const TMessage* Messages;
  std::string IniFile;
  std::filesystem::path Folder;
  std::optional<TCsvWorkbook> Book;
  bool Changed = false;
};
