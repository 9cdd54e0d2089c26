#include "shell/settings/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, OptionsAreFoundAnywhereAndNamesEndAtTheFirstBlank) {
  struct Case {
    const char* line;
    const char* iniPath;
    bool demo;
    const char* handOver;
  };
  const Case cases[] = {
      {"", ".\\Halvetra.ini", false, ""},
      {"-iLab.ini", ".\\Lab.ini", false, ""},
      // A blank right behind "-i" ends the name before it starts.
      {"-i Lab.ini", ".\\", false, ""},
      // Absolute names stand as they are; relative ones are in the working folder.
      {"-i/etc/lab.ini", "/etc/lab.ini", false, ""},
      {"-p/tmp/patient.ini", ".\\Halvetra.ini", false, "/tmp/patient.ini"},
      {"-pin/patient.ini", ".\\Halvetra.ini", false, ".\\in/patient.ini"},
      {"-d", ".\\Halvetra.ini", true, ""},
      // "-d" inside another word switches demonstration mode on too.
      {"-pold-data.ini", ".\\Halvetra.ini", true, ".\\old-data.ini"},
      {"-iLab.ini-d", ".\\Lab.ini-d", true, ""},
      {"-pPatient.ini -d -iOther.ini", ".\\Other.ini", true, ".\\Patient.ini"},
      {"-p", ".\\Halvetra.ini", false, ".\\"},
  };
  for (const Case& c : cases) {
    const TCommandLine line = TCommandLine::Parse(c.line);
    EXPECT_EQ(line.IniPath, c.iniPath) << c.line;
    EXPECT_EQ(line.Demo, c.demo) << c.line;
    EXPECT_EQ(line.HandOverPath, c.handOver) << c.line;
  }
}

TEST(CommandLine, ArgumentsJoinWithBlanks) {
  const char* argv[] = {"halvet32", "-d", "-iLab.ini"};
  EXPECT_EQ(TCommandLine::Join(3, argv), "-d -iLab.ini");
  EXPECT_EQ(TCommandLine::Join(1, argv), "");
}

}  // namespace
