#include "platform/basekit/DdeExport.h"

namespace DdeExport {

bool CmDde(const TMessage* messages, std::string_view iniFile, const TDialog& dialog, const TSend& send,
           std::filesystem::path folder) {
  TDDE dde(messages, iniFile, std::move(folder));
  TTDdeDialogStruct record = TTDdeDialogStruct::From(dde.Settings);
  if (!dialog || !dialog(record))
    return false;
  // The dialog refuses what does not convert; a caller's own dialog may not.
  const std::optional<TDdeSettings> settings = record.ToSettings();
  if (!settings)
    return false;
  dde.Settings = *settings;
  dde.WriteDDEconstans();
  if (!dde.InitializeDDE())
    return false;
  bool sent = false;
  if (dde.ConnectDDE())
    sent = send(dde);
  const bool written = dde.DisconnectDDE();
  dde.UninitializeDDE();
  return sent && written;
}

}  // namespace DdeExport
