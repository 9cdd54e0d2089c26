#include "patients/SheetEngines.h"

#include "platform/dbkit/Engine.h"
#include "platform/framework/Paths.h"

#include <filesystem>
#include <system_error>

namespace SheetEngines {

std::string ExpandFolder(std::string_view folder) {
  const auto native = Paths::ToNative(folder);
  if (!native)
    return std::string(folder);
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(native->empty() ? "." : *native, ec);
  return ec ? *native : full.lexically_normal().string();
}

void Prepare(TEngine& engine, TMessage* texts, std::string_view folder, std::string_view table) {
  engine.SetMessages(texts);
  engine.SetFolder(ExpandFolder(folder));
  engine.SetTableName(table);
}

}  // namespace SheetEngines
