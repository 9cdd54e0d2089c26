#include "shell/settings/WorkFiles.h"

#include "platform/framework/Paths.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t LetterCount = 8;

// The program's own letters: ASCII capitals, whatever the locale says of
// other bytes. A user's "myreport.~in" is not ours.
bool IsLetterStem(std::string_view stem) {
  return stem.size() == LetterCount && std::all_of(stem.begin(), stem.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The temporary file of an atomic write of `name`: "." name "." and the six
// letters or digits that mkstemp chose. A killed program leaves it behind.
constexpr std::size_t TempSuffix = 7;  // ".XXXXXX"
std::string_view AtomicWriteTarget(std::string_view name) {
  if (name.size() <= 1 + TempSuffix || name.front() != '.' || name[name.size() - TempSuffix] != '.')
    return {};
  const std::string_view suffix = name.substr(name.size() - TempSuffix + 1);
  if (!std::all_of(suffix.begin(), suffix.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
      }))
    return {};
  return name.substr(1, name.size() - 1 - TempSuffix);
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

// A whole-file lock of an open file description: two holders conflict
// even inside one process, and the kernel drops it when its holder ends.
struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return lock;
}

// Whether a running program holds the run file.
bool IsHeld(const std::filesystem::path& runFile) {
  const int descriptor = ::open(runFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0)
    return false;
  struct flock lock = WholeFile(F_WRLCK);
  const bool held = ::fcntl(descriptor, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  ::close(descriptor);
  return held;
}

// The names (case folded) that running programs other than `own` hold;
// the run files of programs that ended are deleted on the way.
std::set<std::string> HeldByOthers(const std::filesystem::path& folder, const std::filesystem::path& own) {
  std::set<std::string> held;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(TWorkFiles::RunFilePrefix) || it->path() == own)
      continue;
    if (!IsHeld(it->path())) {
      std::error_code removeError;
      std::filesystem::remove(it->path(), removeError);
      continue;
    }
    std::ifstream in(it->path());
    for (std::string line; std::getline(in, line);)
      held.insert(Paths::FoldCase(line));
  }
  return held;
}

void DeleteMatching(const std::filesystem::path& folder, bool (*ours)(std::string_view),
                    const std::set<std::string>& held) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statusError;
    const std::string name = it->path().filename().string();
    const std::string_view target = ours(name) ? std::string_view(name) : AtomicWriteTarget(name);
    if (it->is_directory(statusError) || target.empty() || !ours(target) || held.contains(Paths::FoldCase(target)))
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
         name.substr(LetterCount) == ".~IN";
}

bool TWorkFiles::IsStageFileName(std::string_view name) {
  if (name.size() != LetterCount + 4 || !IsLetterStem(name.substr(0, LetterCount)))
    return false;
  const std::string_view extension = name.substr(LetterCount);
  return extension == ".~00" || extension == ".~01" || extension == ".~02";
}

TWorkFiles::~TWorkFiles() { DropRunFile(); }

void TWorkFiles::DeleteTempFiles(bool mayDeleteStageFiles) const {
  const std::set<std::string> held = HeldByOthers(Folder, RunFile);
  DeleteMatching(Folder, &IsWorkFileName, held);
  if (mayDeleteStageFiles)
    DeleteMatching(Folder, &IsStageFileName, held);
}

void TWorkFiles::HoldRunFile() {
  DropRunFile();
  std::ostringstream names;
  for (const std::string& name : WorkFiles)
    names << name << '\n';
  for (const auto& set : StageFiles)
    for (const std::string& name : set)
      names << name << '\n';
  // Written and locked under a name no clean-up reads, then renamed: a
  // run file is never seen unlocked while its program runs.
  const std::string stem = WorkFiles[0].substr(0, LetterCount);
  const std::filesystem::path making = Folder / (".halvetra-making-" + stem);
  const int descriptor = ::open(making.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0)
    return;
  struct flock lock = WholeFile(F_WRLCK);
  const std::string text = names.str();
  std::error_code ec;
  if (::fcntl(descriptor, F_OFD_SETLK, &lock) != 0 ||
      ::write(descriptor, text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
      (std::filesystem::rename(making, Folder / (std::string(RunFilePrefix) + stem), ec), ec)) {
    ::close(descriptor);
    std::filesystem::remove(making, ec);
    return;
  }
  RunDescriptor = descriptor;
  RunFile = Folder / (std::string(RunFilePrefix) + stem);
}

void TWorkFiles::DropRunFile() {
  if (RunDescriptor < 0)
    return;
  std::error_code ec;
  std::filesystem::remove(RunFile, ec);
  ::close(RunDescriptor);
  RunDescriptor = -1;
  RunFile.clear();
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
  std::set<std::string> existing = NamesIn(Folder);
  existing.merge(HeldByOthers(Folder, RunFile));  // names another program may still write
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
  HoldRunFile();
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
