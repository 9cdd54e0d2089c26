#pragma once

// The engine's log: one line per deletion or save, appended to a file in
// the folder of the tables (so that every workstation of a shared database
// writes to the same log) and on the disk before the call returns.

#include "platform/dbkit/ResultCodes.h"

#include <filesystem>
#include <string_view>

namespace LogFile {

inline constexpr std::string_view Name = "halvetra.log";

// Appends "YYYY-MM-DD HH:MM:SS <workstation> <text>" and a line break; line
// breaks inside the text become blanks, so one event stays one line.
TDbError Append(const std::filesystem::path& file, std::string_view text);

}  // namespace LogFile
