#pragma once

// The program's command line. Each option is found by a plain substring
// search anywhere in the line, so "-d" inside a file name switches
// demonstration mode on too.
//
//   -i<name>  the settings file ".\<name>" instead of ".\Halvetra.ini"
//   -d        demonstration configuration
//   -p<name>  the patient hand-over file ".\<name>"
//
// A name runs from right behind its option to the first blank, so "-i name"
// gives an empty name. A relative name is one of the working folder (it goes
// behind ".\"); an absolute one ("/tmp/patient.ini") stands as it is.

#include <string>
#include <string_view>

struct TCommandLine {
  std::string IniPath;       // as the system writes paths: ".\Halvetra.ini"
  bool Demo = false;
  std::string HandOverPath;  // ".\<name>", empty without "-p"

  static TCommandLine Parse(std::string_view commandLine);
  // The arguments of main() joined with blanks, as one command line.
  static std::string Join(int argc, const char* const* argv);
};
