#pragma once

// What the start-up settings dialog shows and returns: the language of the
// user interface, the database's language driver ("description,name"), the
// private folder, the kind of patient data sheet and the unit system.

#include <cstddef>
#include <string>

struct TStartUpStruct {
  static constexpr std::size_t LanguageSize = 100;
  static constexpr std::size_t LanguageDriverSize = 100;
  static constexpr std::size_t PrivateFolderSize = 300;

  std::string Language;
  std::string LanguageDriver;
  std::string PrivateFolder;
  short PageType = 0;
  short DefaultUnit = 0;  // 0 "m - kg - sec", 1 "foot - pound - sec"
};
