#pragma once

// The names of the work files that hold each test type's results while a
// patient is examined, and of the three stage sets of the provocation test.
// They are made once at start from random capital letters: eight letters
// and ".~IN" for a work file, ".~00" to ".~02" for stage sets 1 to 3.
//
// Every name of a run is different from the others and from any file in the
// folder, so two tests never share a file. Clean-up deletes only names of
// exactly this form: a file that merely ends in ".~in" is not ours.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TWorkFiles {
public:
  static constexpr int TestTypeCount = 6;  // FVC, VC, MVV, DFC, PLETHY, SHUTTER
  static constexpr int StageSetCount = 3;
  static constexpr std::size_t NameSize = 15;  // with the terminating zero

  // Draws one letter 'A' to 'Z'; the default draws uniformly from the
  // system's random device.
  using TRandomLetter = std::function<char()>;

  explicit TWorkFiles(std::filesystem::path folder = ".", TRandomLetter randomLetter = {});

  // Deletes the leftovers of earlier runs, then makes all 24 names.
  // `mayDeleteStageFiles`: see DeleteTempFiles.
  void MakeTempFileNames(bool mayDeleteStageFiles);

  // Deletes our work files; our stage files too when `mayDeleteStageFiles`
  // (the client exists and no provocation window is open).
  void DeleteTempFiles(bool mayDeleteStageFiles) const;

  // Deletes the six work files of this run (at program end).
  void RemoveWorkFiles() const;

  // The names by test type (0 FVC, 1 VC, 2 MVV, 3 DFC, 4 PLETHY, 5 SHUTTER);
  // empty before MakeTempFileNames.
  const std::string& WorkFile(int testType) const;
  const std::string& StageFile(int stageSet, int testType) const;  // stage set 0 to 2

  // Names as they are stored: FVC, VC, MVV, DFC, SHUTTER, PLETHY.
  const std::array<std::string, TestTypeCount>& WorkFileSlots() const { return WorkFiles; }

  // Eight letters, then ".~in" (work file) or ".~00" to ".~02" (stage
  // file); letters and extension without regard to case.
  static bool IsWorkFileName(std::string_view name);
  static bool IsStageFileName(std::string_view name);

private:
  static int SlotOf(int testType);
  std::string NewName(std::string_view extension, std::function<bool(const std::string&)> taken);

  std::filesystem::path Folder;
  TRandomLetter RandomLetter;
  std::array<std::string, TestTypeCount> WorkFiles;
  std::array<std::array<std::string, TestTypeCount>, StageSetCount> StageFiles;
};
