#include "shell/settings/InstituteSettings.h"

#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"

namespace InstituteSettings {

TTInstituteStruct Read(const std::string& iniPath) {
  const TProfile section("Institute", iniPath);
  TTInstituteStruct institute;
  institute.Name = Settings::ReadText(section, "Name", "Name of the Institute", TTInstituteStruct::NameSize);
  institute.Address =
      Settings::ReadText(section, "Address", "Address of the Institute", TTInstituteStruct::AddressSize);
  return institute;
}

std::vector<std::string> Write(const std::string& iniPath, const TTInstituteStruct& institute) {
  TProfile section("Institute", iniPath);
  std::vector<std::string> failures;
  if (!section.WriteString("Name", institute.Name))
    failures.push_back(section.GetLastError());
  if (!section.WriteString("Address", institute.Address))
    failures.push_back(section.GetLastError());
  return failures;
}

}  // namespace InstituteSettings
