#pragma once

// The institute of the printouts' heads, kept in the settings file's
// [Institute] section.

#include "patients/InstituteStruct.h"

#include <string>
#include <vector>

namespace InstituteSettings {

// [Institute] Name and Address, each bounded to its field.
TTInstituteStruct Read(const std::string& iniPath);
// Writes both; the answer lists the writes that did not succeed.
std::vector<std::string> Write(const std::string& iniPath, const TTInstituteStruct& institute);
// What a printout's head shows: a line still holding its default text
// ("Name of the Institute") was never set and prints empty.
TTInstituteStruct Printed(const TTInstituteStruct& institute);

}  // namespace InstituteSettings
