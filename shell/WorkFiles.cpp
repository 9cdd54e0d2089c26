#include "shell/WorkFiles.h"

#include "platform/framework/Paths.h"

#include <algorithm>
#include <random>
#include <set>
#include <stdexcept>
#include <system_error>

namespace {

constexpr std::size_t LetterCount = 8;

// ASCII letters only, whatever the locale says of other bytes.
bool IsLetterStem(std::string_view stem) {
  return stem.size() == LetterCount && std::all_of(stem.begin(), stem.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
         });
}

// Names of the entries of the folder, case folded, so a new name never
// meets an existing file of any spelling.
std::set<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.insert(Paths::FoldCase(it->path().filename().string()));
  return names;
}

void DeleteMatching(const std::filesystem::path& folder, bool (*ours)(std::string_view)) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statusError;
    if (it->is_directory(statusError) || !ours(it->path().filename().string()))
      continue;
    std::error_code removeError;
    std::filesystem::remove(it->path(), removeError);
  }
}

}  // namespace

TWorkFiles::TWorkFiles(std::filesystem::path folder, TRandomLetter randomLetter)
    : Folder(std::move(folder)), RandomLetter(std::move(randomLetter)) {
  if (!RandomLetter)
    RandomLetter = [device = std::make_shared<std::random_device>()] {
      return static_cast<char>('A' + std::uniform_int_distribution<int>(0, 25)(*device));
    };
}

bool TWorkFiles::IsWorkFileName(std::string_view name) {
  return name.size() == LetterCount + 4 && IsLetterStem(name.substr(0, LetterCount)) &&
         Paths::EqualNoCase(name.substr(LetterCount), ".~in");
}

bool TWorkFiles::IsStageFileName(std::string_view name) {
  if (name.size() != LetterCount + 4 || !IsLetterStem(name.substr(0, LetterCount)))
    return false;
  const std::string_view extension = name.substr(LetterCount);
  return extension == ".~00" || extension == ".~01" || extension == ".~02";
}

void TWorkFiles::DeleteTempFiles(bool mayDeleteStageFiles) const {
  DeleteMatching(Folder, &IsWorkFileName);
  if (mayDeleteStageFiles)
    DeleteMatching(Folder, &IsStageFileName);
}

void TWorkFiles::RemoveWorkFiles() const {
  for (const std::string& name : WorkFiles) {
    if (name.empty())
      continue;
    std::error_code ec;
    std::filesystem::remove(Folder / name, ec);
  }
}

std::string TWorkFiles::NewName(std::string_view extension, std::function<bool(const std::string&)> taken) {
  // With a real random source a clash is one in 26^8; the bound only keeps
  // a broken source from hanging the start.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string name;
    for (std::size_t i = 0; i < LetterCount; ++i)
      name += RandomLetter();
    name += extension;
    if (!taken(name))
      return name;
  }
  throw std::runtime_error("the random source gives no new work-file names");
}

void TWorkFiles::MakeTempFileNames(bool mayDeleteStageFiles) {
  DeleteTempFiles(mayDeleteStageFiles);
  WorkFiles = {};
  StageFiles = {};
  const std::set<std::string> existing = NamesIn(Folder);
  std::set<std::string> stems;  // the stem alone, so a work file and a stage file never share letters either
  const auto taken = [&](const std::string& name) {
    const std::string folded = Paths::FoldCase(name);
    if (existing.contains(folded) || !stems.insert(folded.substr(0, LetterCount)).second)
      return true;
    return false;
  };
  for (std::string& name : WorkFiles)
    name = NewName(".~IN", taken);
  static constexpr std::array<std::string_view, StageSetCount> StageExtensions{".~00", ".~01", ".~02"};
  for (int set = 0; set < StageSetCount; ++set)
    for (std::string& name : StageFiles[set])
      name = NewName(StageExtensions[set], taken);
}

int TWorkFiles::SlotOf(int testType) {
  // Stored order: FVC, VC, MVV, DFC, SHUTTER, PLETHY.
  switch (testType) {
  case 4:
    return 5;
  case 5:
    return 4;
  default:
    return testType;
  }
}

const std::string& TWorkFiles::WorkFile(int testType) const {
  return WorkFiles.at(static_cast<std::size_t>(SlotOf(testType)));
}

const std::string& TWorkFiles::StageFile(int stageSet, int testType) const {
  return StageFiles.at(static_cast<std::size_t>(stageSet)).at(static_cast<std::size_t>(SlotOf(testType)));
}
