#pragma once

// A temporary folder that is the working folder while the object lives:
// the program reads ".\Halvetra.ini" and makes its folders and work files
// where it runs.

#include "testing/TemporaryFolder.h"

#include <filesystem>

class TWorkingFolder : public TTemporaryFolder {
public:
  TWorkingFolder() : Previous(std::filesystem::current_path()) { std::filesystem::current_path(Path()); }
  ~TWorkingFolder() { std::filesystem::current_path(Previous); }

private:
  std::filesystem::path Previous;
};
