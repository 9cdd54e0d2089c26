#pragma once

// The institute's name and address, printed at the head of every printout.
// The program keeps one, read from the settings file's [Institute]
// section; the institute dialog edits it.

#include <cstddef>
#include <string>

struct TTInstituteStruct {
  // Bytes of each text, the terminating zero included.
  static constexpr std::size_t NameSize = 61;
  static constexpr std::size_t AddressSize = 61;

  std::string Name;
  std::string Address;

  friend bool operator==(const TTInstituteStruct&, const TTInstituteStruct&) = default;
};
