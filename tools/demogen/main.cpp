// Writes the demonstration files into a folder: halvetra-demogen <folder>

#include "platform/framework/AtomicFile.h"
#include "tools/demogen/DemoFiles.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: halvetra-demogen <folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const LungModel::TPatient patient;
  if (const auto problem = LungModel::CheckForced(patient)) {
    std::cerr << "halvetra-demogen: " << *problem << "\n";
    return 1;
  }
  for (const DemoFiles::TFile& file : DemoFiles::Make(patient)) {
    std::string error;
    if (!AtomicFile::Write(folder / file.Name, file.Bytes, &error)) {
      std::cerr << "halvetra-demogen: " << (folder / file.Name).string() << ": " << error << "\n";
      return 1;
    }
  }
  return 0;
}
