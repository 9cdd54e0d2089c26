#pragma once

// Makes a working folder ready for a lab that starts from nothing: the
// settings name the database's language driver, the database folders are
// there with every table, and a new doctors table holds one example doctor
// (a patient cannot be saved without a treating doctor). What is there
// already is kept: an existing driver, table or doctor is never replaced.

#include "shell/settings/AppSettings.h"

#include <string>
#include <vector>

class TMessage;

namespace WorkFolderSetup {

// The example doctor of a new doctors table.
inline constexpr std::string_view ExampleDoctorName = "Dr. Example";
inline constexpr std::string_view ExampleDoctorCode = "EX";

struct TReport {
  std::vector<std::string> Done;      // what was made, in words
  std::vector<std::string> Failures;  // what could not be made, and why
};

// Prepares the working folder of the settings file the command line names.
TReport Prepare(const TCommandLine& commandLine, TMessage& messages);

}  // namespace WorkFolderSetup
