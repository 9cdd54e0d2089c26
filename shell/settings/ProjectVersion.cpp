#include "shell/settings/ProjectVersion.h"

#include "shell/BuildVersion.h"

TProjectRCVersion::TProjectRCVersion()
    : Block{BuildVersion::ProductName, BuildVersion::ProductVersion, BuildVersion::LegalCopyright,
            BuildVersion::SpecialBuild} {}

bool TProjectRCVersion::Get(const std::optional<std::string>& value, std::string& text) {
  if (!value || value->empty())
    return false;
  text = *value;
  return true;
}
