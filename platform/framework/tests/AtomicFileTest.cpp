#include "platform/framework/AtomicFile.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(AtomicFile, ReplacesTheContentAndLeavesNoTemporaryFile) {
  TTemporaryFolder folder;
  const auto path = folder.Write("a.ini", "old");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(AtomicFile::Write(path, "new content"));
  EXPECT_EQ(TTemporaryFolder::Read(path), "new content");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // permissions kept
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, FailureLeavesTheOldFile) {
  TTemporaryFolder folder;
  std::string error;
  EXPECT_FALSE(AtomicFile::Write(folder / "missing/a.ini", "x", &error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  // A folder in the way of the name: the rename fails and nothing is left behind.
  std::filesystem::create_directory(folder / "dir");
  folder.Write("dir/keep", "k");
  EXPECT_FALSE(AtomicFile::Write(folder / "dir", "x", &error));
  EXPECT_EQ(TTemporaryFolder::Read(folder / "dir/keep"), "k");
}

}  // namespace
