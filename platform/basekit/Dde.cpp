#include "platform/basekit/Dde.h"

#include "platform/basekit/Message.h"
#include "platform/framework/AtomicFile.h"
#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/WindowMessages.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace {

constexpr int CannotRead = 7000;
constexpr int CannotWrite = 7001;
constexpr int NotAWorkbook = 7002;
constexpr int OpenElsewhere = 7003;

char ReadLetter(const TProfile& profile, std::string_view key, char fallback) {
  const std::string value = profile.GetString(key);
  if (value.size() != 1)
    return fallback;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
  return TDdeSettings::IsLetter(letter) ? letter : fallback;
}

std::uint16_t ReadFirst(const TProfile& profile, std::string_view key, std::uint16_t fallback) {
  const int value = profile.GetInt(key, -1);
  return value >= 1 && value <= 65535 ? static_cast<std::uint16_t>(value) : fallback;
}

std::optional<std::size_t> ReadNumber(std::string_view& text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data())
    return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

bool IsReadOnly(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) &&
         (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

// A number as a spreadsheet reads one: sign, digits, one decimal point
// or comma, an exponent.
bool IsNumber(std::string_view text) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
      ++at;
    return at > start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-'))
    ++at;
  if (!digits())
    return false;
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
    ++at;
    if (!digits())
      return false;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
      ++at;
    if (!digits())
      return false;
  }
  return at == text.size();
}

// The lock file a spreadsheet keeps beside a workbook it has open.
std::optional<std::filesystem::path> LockFileOf(const std::filesystem::path& workbook) {
  const std::string name = workbook.filename().string();
  for (const std::string& lock : {".~lock." + name + "#", "~$" + name}) {
    std::error_code error;
    if (std::filesystem::exists(workbook.parent_path() / lock, error))
      return workbook.parent_path() / lock;
  }
  return std::nullopt;
}

}  // namespace

std::string TDDE::SpreadsheetText(std::string_view text) {
  // A spreadsheet evaluates a cell that begins with one of these as a
  // formula: a patient named "=HYPERLINK(...)" would become a link. Such
  // text gets a leading apostrophe, the spreadsheets' own mark of a cell
  // meant as text; numbers ("-1.25") and a lone dash stay as they are.
  constexpr std::string_view FormulaStart = "=+-@\t\r";
  if (text.empty() || FormulaStart.find(text.front()) == std::string_view::npos || IsNumber(text) ||
      text.find_first_not_of('-') == std::string_view::npos)
    return std::string(text);
  return "'" + std::string(text);
}

bool TDdeSettings::IsWorkbookName(std::string_view name) {
  return !name.empty() && name.size() <= WorkbookSize && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string_view::npos && name.find('\0') == std::string_view::npos &&
         Utf8::IsValid(name);
}

TTDdeDialogStruct TTDdeDialogStruct::From(const TDdeSettings& settings) {
  return {std::string(1, settings.RowLetter), std::string(1, settings.ColumnLetter), std::to_string(settings.FirstRow),
          std::to_string(settings.FirstColumn), settings.Workbook};
}

std::optional<TDdeSettings> TTDdeDialogStruct::ToSettings() const {
  auto letter = [](const std::string& text) -> std::optional<char> {
    if (text.size() != 1)
      return std::nullopt;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return TDdeSettings::IsLetter(c) ? std::optional<char>(c) : std::nullopt;
  };
  auto first = [](const std::string& text) -> std::optional<std::uint16_t> {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
      return std::nullopt;
    return static_cast<std::uint16_t>(value);
  };
  const auto row = letter(RowLetter);
  const auto column = letter(ColumnLetter);
  const auto firstRow = first(FirstRow);
  const auto firstColumn = first(FirstColumn);
  if (!row || !column || !firstRow || !firstColumn || !TDdeSettings::IsWorkbookName(Workbook))
    return std::nullopt;
  return TDdeSettings{*row, *column, *firstRow, *firstColumn, Workbook};
}

TDDE::TDDE(const TMessage* messages, std::string_view iniFile, std::filesystem::path folder)
    : Messages(messages), IniFile(iniFile), Folder(folder.empty() ? std::filesystem::current_path() : folder) {
  const TProfile profile(Section, IniFile);
  const TDdeSettings defaults;
  Settings.RowLetter = ReadLetter(profile, "RowLetter", defaults.RowLetter);
  Settings.ColumnLetter = ReadLetter(profile, "ColumnLetter", defaults.ColumnLetter);
  Settings.FirstRow = ReadFirst(profile, "FirstRow", defaults.FirstRow);
  Settings.FirstColumn = ReadFirst(profile, "FirstColumn", defaults.FirstColumn);
  const std::string workbook = profile.GetString("Workbook", defaults.Workbook);
  Settings.Workbook = TDdeSettings::IsWorkbookName(workbook) ? workbook : defaults.Workbook;
}

bool TDDE::WriteDDEconstans() {
  TProfile profile(Section, IniFile);
  return profile.WriteString("RowLetter", std::string(1, Settings.RowLetter)) &&
         profile.WriteString("ColumnLetter", std::string(1, Settings.ColumnLetter)) &&
         profile.WriteInt("FirstRow", Settings.FirstRow) && profile.WriteInt("FirstColumn", Settings.FirstColumn) &&
         profile.WriteString("Workbook", Settings.Workbook);
}

std::filesystem::path TDDE::WorkbookPath() const { return Folder / (Settings.Workbook + ".csv"); }

std::string TDDE::CellAddress(unsigned rowOffset, unsigned columnOffset) const {
  return Settings.RowLetter + std::to_string(Settings.FirstRow + rowOffset) + Settings.ColumnLetter +
         std::to_string(Settings.FirstColumn + columnOffset);
}

void TDDE::Report(int textNumber, const std::string& reason) const {
  if (Messages)
    Messages->MessageBoxText(Messages->Format(textNumber, {WorkbookPath().string(), reason}), 0, TMessageIcon::Stop);
}

bool TDDE::ConnectDDE() {
  Book.reset();
  Changed = false;
  if (!TDdeSettings::IsWorkbookName(Settings.Workbook)) {
    Report(NotAWorkbook, "the name is not a file name of at most 20 characters");
    return false;
  }
  const std::filesystem::path path = WorkbookPath();
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    if (error) {
      Report(CannotRead, error.message());
      return false;
    }
    Book.emplace();
    return true;
  }
  // A workbook open in a spreadsheet would be replaced under it, and the
  // spreadsheet's next save would undo the export: the user closes it
  // there and retries, or cancels.
  while (const auto lock = LockFileOf(path)) {
    const int answer = Messages ? Messages->MessageBoxText(Messages->Format(OpenElsewhere, {path.string(),
                                                                                         lock->filename().string()}),
                                                           0, TMessageIcon::Warning, TMessageButtons::RetryCancel)
                                : IDCANCEL;
    if (answer != IDRETRY)
      return false;
  }
  // A workbook that cannot be written back is refused before any cell is
  // poked, so the export never half happens.
  if (IsReadOnly(path)) {
    Report(CannotWrite, "the file is read-only");
    return false;
  }
  if (!std::filesystem::is_regular_file(path, error)) {
    Report(CannotRead, "it is not a file");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Report(CannotRead, std::strerror(errno));
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    Report(CannotRead, "reading it failed");
    return false;
  }
  std::string reason;
  auto book = TCsvWorkbook::Parse(content.str(), &reason);
  if (!book) {
    Report(NotAWorkbook, reason);
    return false;
  }
  Book = std::move(book);
  return true;
}

std::optional<std::pair<std::size_t, std::size_t>> TDDE::ParseAddress(std::string_view item) const {
  if (item.empty() || item.front() != Settings.RowLetter)
    return std::nullopt;
  item.remove_prefix(1);
  const auto row = ReadNumber(item);
  if (!row || item.empty() || item.front() != Settings.ColumnLetter)
    return std::nullopt;
  item.remove_prefix(1);
  const auto column = ReadNumber(item);
  if (!column || !item.empty() || *row < 1 || *row > MaxRow || *column < 1 || *column > MaxColumn)
    return std::nullopt;
  return std::pair{*row, *column};
}

bool TDDE::PokeDDE(std::string_view item, std::string_view text) {
  if (!Book || !Utf8::IsValid(text))
    return false;
  const auto cell = ParseAddress(item);
  if (!cell)
    return false;
  Book->Set(cell->first, cell->second, SpreadsheetText(text));
  Changed = true;
  return true;
}

bool TDDE::DisconnectDDE() {
  if (!Book)
    return true;
  bool written = true;
  if (Changed) {
    std::string reason;
    written = AtomicFile::Write(WorkbookPath(), Book->ToText(), &reason);
    if (!written)
      Report(CannotWrite, reason);
  }
  Book.reset();
  Changed = false;
  return written;
}
