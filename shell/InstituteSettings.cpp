#include "shell/InstituteSettings.h"

#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

namespace InstituteSettings {

TTInstituteStruct Read(const std::string& iniPath) {
  const TProfile section("Institute", iniPath);
  TTInstituteStruct institute;
  institute.Name =
      std::string(Utf8::Truncate(section.GetString("Name", "Name of the Institute"), TTInstituteStruct::NameSize - 1));
  institute.Address = std::string(
      Utf8::Truncate(section.GetString("Address", "Address of the Institute"), TTInstituteStruct::AddressSize - 1));
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
