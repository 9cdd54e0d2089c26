#pragma once

// The names of the work files that hold each test type's results while a
// patient is examined, and of the three stage sets of the provocation test.
// They are made once at start from random capital letters: eight letters
// and ".~IN" for a work file, ".~00" to ".~02" for stage sets 1 to 3.
//
// Every name of a run is different from the others and from any file in the
// folder, so two tests never share a file. Clean-up deletes only names of
// exactly this form, in this case: a file that merely ends in ".~in", or a
// user's "MYREPORT.~in", is not ours. It also deletes the temporary files
// that an atomic write of one of these names leaves when the program is
// killed mid-write (".ABCDEFGH.~IN.x7Yq2Z").
//
// Several programs may run in one working folder. Each holds a run file
// (".halvetra-run-" and its first work file's letters) that lists its
// names, locked while it runs; the kernel drops the lock when the program
// ends, however it ends. Clean-up leaves alone every name that a running
// program's run file lists, and deletes run files that no program holds.

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
  // Gives up the run file.
  ~TWorkFiles();
  TWorkFiles(const TWorkFiles&) = delete;
  TWorkFiles& operator=(const TWorkFiles&) = delete;

  // Deletes the leftovers of earlier runs, then makes all 24 names and
  // holds them in the run file (without one, in a folder that cannot be
  // written, the names are made all the same).
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

  // Eight capital letters, then ".~IN" (work file) or ".~00" to ".~02"
  // (stage file): the program's own names, in their exact case.
  static bool IsWorkFileName(std::string_view name);
  static bool IsStageFileName(std::string_view name);
  static constexpr std::string_view RunFilePrefix = ".halvetra-run-";

private:
  static int SlotOf(int testType);
  std::string NewName(std::string_view extension, std::function<bool(const std::string&)> taken);
  void HoldRunFile();
  void DropRunFile();

  std::filesystem::path Folder;
  TRandomLetter RandomLetter;
  std::array<std::string, TestTypeCount> WorkFiles;
  std::array<std::array<std::string, TestTypeCount>, StageSetCount> StageFiles;
  std::filesystem::path RunFile;
  int RunDescriptor = -1;
};
