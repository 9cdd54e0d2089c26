#include "platform/framework/WholeFile.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(WholeFile, ReadsARegularFileAndRefusesWhatIsNotOne) {
  TTemporaryFolder folder;
  folder.Write("log.001", std::string("ab\0cd", 5));
  std::string error;
  EXPECT_EQ(WholeFile::Read(folder / "log.001", 5, error), std::string("ab\0cd", 5));

  const struct {
    std::filesystem::path Path;
    std::size_t Limit;
    const char* Reason;
  } refused[] = {
      {folder.Path(), 100, "it is a folder, not a file"},
      {"/dev/zero", 100, "it is not a regular file"},  // would never end
      {folder / "log.001", 4, "it holds 5 bytes, more than the 4 such a file can hold"},
      {folder / "none.001", 100, "No such file or directory"},
  };
  for (const auto& file : refused) {
    SCOPED_TRACE(file.Path.string());
    error.clear();
    EXPECT_FALSE(WholeFile::Read(file.Path, file.Limit, error));
    EXPECT_EQ(error, file.Reason);
  }
}

}  // namespace
