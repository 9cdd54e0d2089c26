#include "shell/settings/CommandLine.h"

namespace {

constexpr std::string_view WorkingFolder = ".\\";

// A name relative to the working folder goes behind ".\"; an absolute one
// stands as it is.
std::string InWorkingFolder(const std::string& name) {
  return name.starts_with('/') ? name : std::string(WorkingFolder) + name;
}

// The text right behind the option up to the first blank; nothing when the
// option is not on the line.
bool FindName(std::string_view line, std::string_view option, std::string& name) {
  const auto at = line.find(option);
  if (at == std::string_view::npos)
    return false;
  const std::string_view rest = line.substr(at + option.size());
  name = std::string(rest.substr(0, rest.find(' ')));
  return true;
}

}  // namespace

TCommandLine TCommandLine::Parse(std::string_view line) {
  TCommandLine result;
  std::string name;
  result.IniPath = InWorkingFolder(FindName(line, "-i", name) ? name : "Halvetra.ini");
  result.Demo = line.find("-d") != std::string_view::npos;
  if (FindName(line, "-p", name))
    result.HandOverPath = InWorkingFolder(name);
  return result;
}

std::string TCommandLine::Join(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1)
      line += ' ';
    line += argv[i];
  }
  return line;
}
