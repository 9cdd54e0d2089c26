#include "shell/settings/InstituteSettings.h"

#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"

namespace InstituteSettings {

namespace {

constexpr const char* DefaultName = "Name of the Institute";
constexpr const char* DefaultAddress = "Address of the Institute";

}  // namespace

TTInstituteStruct Read(const std::string& iniPath) {
  const TProfile section("Institute", iniPath);
  TTInstituteStruct institute;
  institute.Name = Settings::ReadText(section, "Name", DefaultName, TTInstituteStruct::NameSize);
  institute.Address = Settings::ReadText(section, "Address", DefaultAddress, TTInstituteStruct::AddressSize);
  return institute;
}

TTInstituteStruct Printed(const TTInstituteStruct& institute) {
  TTInstituteStruct printed = institute;
  if (printed.Name == DefaultName)
    printed.Name.clear();
  if (printed.Address == DefaultAddress)
    printed.Address.clear();
  return printed;
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
