#include "shell/settings/WorkFiles.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;

namespace {

bool IsOfForm(const std::string& name, std::string_view extension) {
  return name.size() == 8 + extension.size() &&
         std::all_of(name.begin(), name.begin() + 8, [](char c) { return c >= 'A' && c <= 'Z'; }) &&
         name.ends_with(extension);
}

TEST(WorkFiles, NamesAreEightCapitalsWithTheirExtensionAndAllDiffer) {
  TTemporaryFolder folder;
  TWorkFiles files(folder.Path());
  files.MakeTempFileNames(false);
  const std::array<std::string_view, 3> stageExtension{".~00", ".~01", ".~02"};
  std::set<std::string> stems;
  for (int type = 0; type < TWorkFiles::TestTypeCount; ++type) {
    EXPECT_TRUE(IsOfForm(files.WorkFile(type), ".~IN")) << files.WorkFile(type);
    EXPECT_LT(files.WorkFile(type).size(), TWorkFiles::NameSize);
    stems.insert(files.WorkFile(type).substr(0, 8));
    for (int set = 0; set < TWorkFiles::StageSetCount; ++set) {
      EXPECT_TRUE(IsOfForm(files.StageFile(set, type), stageExtension[set])) << files.StageFile(set, type);
      stems.insert(files.StageFile(set, type).substr(0, 8));
    }
  }
  EXPECT_EQ(stems.size(), 24u);
}

TEST(WorkFiles, PlethysmographAndShutterSwapPlacesInTheStoredOrder) {
  TTemporaryFolder folder;
  TWorkFiles files(folder.Path());
  files.MakeTempFileNames(false);
  const auto& stored = files.WorkFileSlots();  // FVC, VC, MVV, DFC, SHUTTER, PLETHY
  EXPECT_EQ(files.WorkFile(0), stored[0]);
  EXPECT_EQ(files.WorkFile(3), stored[3]);
  EXPECT_EQ(files.WorkFile(4), stored[5]);
  EXPECT_EQ(files.WorkFile(5), stored[4]);
}

// A source that repeats itself still gives 24 different names, none of
// them the name of a file that is already there.
TEST(WorkFiles, ARepeatingRandomSourceStillGivesNewNames) {
  TTemporaryFolder folder;
  folder.Write("CCCCCCCC.~00", "an earlier run's stage file");
  int draws = 0;
  // Each letter comes sixteen times in a row: every name is drawn twice.
  TWorkFiles files(folder.Path(), [&] { return static_cast<char>('A' + (draws++ / 16) % 26); });
  files.MakeTempFileNames(false);
  std::set<std::string> names;
  for (int type = 0; type < TWorkFiles::TestTypeCount; ++type) {
    names.insert(files.WorkFile(type));
    for (int set = 0; set < TWorkFiles::StageSetCount; ++set)
      names.insert(files.StageFile(set, type));
  }
  EXPECT_EQ(names.size(), 24u);
  EXPECT_EQ(files.WorkFile(0), "AAAAAAAA.~IN");
  EXPECT_EQ(files.WorkFile(1), "BBBBBBBB.~IN");
  EXPECT_FALSE(names.contains("CCCCCCCC.~00"));

  TWorkFiles stuck(folder.Path(), [] { return 'A'; });
  EXPECT_THROW(stuck.MakeTempFileNames(false), std::runtime_error);
}

TEST(WorkFiles, OnlyFilesOfOurFormAreDeleted) {
  struct Case {
    const char* name;
    bool deletedAlways;
    bool deletedWithStageFiles;
  };
  const Case cases[] = {
      {"ABCDEFGH.~IN", true, true},
      {"abcdefgh.~in", false, false},  // a user's file: the program writes capitals only
      {"MYREPORT.~in", false, false},
      {"ABCDEFGH.~In", false, false},
      {"AbCDEFGH.~IN", false, false},
      {".ABCDEFGH.~IN.x7Yq2Z", true, true},  // an atomic write's temporary file, its program killed
      {".ABCDEFGH.~01.Ab3dE9", false, true},
      {".MYREPORT.~in.x7Yq2Z", false, false},
      {".ABCDEFGH.~IN.x7Yq2", false, false},
      {".ABCDEFGH.~IN", false, false},
      {"ABCDEFGH.~00", false, true},
      {"ABCDEFGH.~02", false, true},
      {"ABCDEFGH.~03", false, false},
      {"ABCDEFGH.~0X", false, false},
      {"NOTES.~IN", false, false},
      {"ABCDEFG1.~IN", false, false},
      {"ABCDEFGHI.~IN", false, false},
      {"ABCDEFGH.~IN.bak", false, false},
      {"report.txt", false, false},
  };
  for (const bool withStageFiles : {false, true}) {
    TTemporaryFolder folder;
    for (const Case& c : cases)
      folder.Write(c.name, "content");
    fs::create_directory(folder / "QWERTYUI.~IN");  // a folder of that name is not ours either
    TWorkFiles(folder.Path()).DeleteTempFiles(withStageFiles);
    for (const Case& c : cases)
      EXPECT_EQ(fs::exists(folder / c.name), !(withStageFiles ? c.deletedWithStageFiles : c.deletedAlways))
          << c.name << (withStageFiles ? " with stage files" : "");
    EXPECT_TRUE(fs::is_directory(folder / "QWERTYUI.~IN"));
  }
}

TEST(WorkFiles, MakingTheNamesClearsLeftoversAndTheEndRemovesThisRunsWorkFiles) {
  TTemporaryFolder folder;
  folder.Write("OLDOLDOL.~IN", "an earlier run");
  folder.Write("OLDOLDOL.~01", "an earlier provocation stage");
  TWorkFiles files(folder.Path());
  files.MakeTempFileNames(false);
  EXPECT_FALSE(fs::exists(folder / "OLDOLDOL.~IN"));
  EXPECT_TRUE(fs::exists(folder / "OLDOLDOL.~01"));  // stage files go only once the client exists

  for (int type = 0; type < TWorkFiles::TestTypeCount; ++type)
    folder.Write(files.WorkFile(type), "results");
  folder.Write(files.StageFile(0, 0), "stage results");
  folder.Write("Keep.txt", "not ours");
  files.RemoveWorkFiles();
  for (int type = 0; type < TWorkFiles::TestTypeCount; ++type)
    EXPECT_FALSE(fs::exists(folder / files.WorkFile(type)));
  EXPECT_TRUE(fs::exists(folder / files.StageFile(0, 0)));
  EXPECT_TRUE(fs::exists(folder / "Keep.txt"));
}

TEST(WorkFiles, AStartLeavesTheFilesOfAProgramRunningInTheSameFolder) {
  TTemporaryFolder folder;
  TChild running([&](TChild& self) {
    TWorkFiles files(folder.Path());
    files.MakeTempFileNames(false);
    folder.Write(files.WorkFile(0), "FVC results");
    folder.Write(files.StageFile(1, 2), "MVV stage results");
    folder.Write("." + files.WorkFile(0) + ".Ab12Cd", "an atomic write under way");
    self.Tell('R');
    self.AwaitParent();  // never answered: the parent kills this program
    return 0;
  });
  ASSERT_EQ(running.AwaitChild(), 'R');
  folder.Write("OLDOLDOL.~IN", "a program that ended");
  const auto workFiles = [&] {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      if (TWorkFiles::IsWorkFileName(entry.path().filename().string()) ||
          TWorkFiles::IsStageFileName(entry.path().filename().string()))
        names.insert(entry.path().filename().string());
    return names;
  };
  const std::set<std::string> theirs = [&] {
    auto names = workFiles();
    names.erase("OLDOLDOL.~IN");
    return names;
  }();
  ASSERT_EQ(theirs.size(), 2u);

  folder.Write(".OLDOLDOL.~IN.x7Yq2Z", "a write its program never finished");
  TWorkFiles files(folder.Path());
  files.MakeTempFileNames(false);
  files.DeleteTempFiles(true);
  EXPECT_EQ(workFiles(), theirs);
  EXPECT_FALSE(fs::exists(folder / ".OLDOLDOL.~IN.x7Yq2Z"));
  const auto theirWrite = std::find_if(theirs.begin(), theirs.end(), [&](const std::string& name) {
    return fs::exists(folder / ("." + name + ".Ab12Cd"));
  });
  EXPECT_NE(theirWrite, theirs.end());  // the running program's write is left alone
  for (int type = 0; type < TWorkFiles::TestTypeCount; ++type)
    EXPECT_FALSE(theirs.contains(files.WorkFile(type)));

  // Once it has ended (a crash included) its files are leftovers.
  running.Kill();
  running.Wait();
  files.DeleteTempFiles(true);
  EXPECT_TRUE(workFiles().empty());
  std::set<std::string> runFiles;
  for (const auto& entry : fs::directory_iterator(folder.Path()))
    if (entry.path().filename().string().starts_with(TWorkFiles::RunFilePrefix))
      runFiles.insert(entry.path().filename().string());
  EXPECT_EQ(runFiles, std::set<std::string>{std::string(TWorkFiles::RunFilePrefix) + files.WorkFile(0).substr(0, 8)});
}

}  // namespace
