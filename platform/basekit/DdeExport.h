#pragma once

// The spreadsheet export command that every exporting window shares: the
// user confirms the workbook settings, they are stored, the workbook is
// read, the window pokes its cells, and the workbook is written back. A
// cancelled dialog stores and sends nothing; a workbook that cannot be
// read gets no pokes; a failed poke ends the window's export (the cells
// poked before it are written).

#include "platform/basekit/Dde.h"

#include <filesystem>
#include <functional>
#include <string_view>

namespace DdeExport {

// Edits the settings; true on OK.
using TDialog = std::function<bool(TTDdeDialogStruct& settings)>;
// Pokes the window's cells; false when a poke failed.
using TSend = std::function<bool(TDDE& dde)>;

// True when the window's cells reached the workbook on disk.
bool CmDde(const TMessage* messages, std::string_view iniFile, const TDialog& dialog, const TSend& send,
           std::filesystem::path folder = {});

}  // namespace DdeExport
