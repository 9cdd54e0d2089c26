#include "platform/framework/ProfileBatch.h"

#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace {

using TWrites = std::vector<std::pair<std::string, std::string>>;

class ProfileBatchTest : public ::testing::Test {
protected:
  // The file that `start` (none when null) becomes after the writes, made
  // one key at a time with TProfile or in one batch.
  std::string OneByOne(const char* start, const std::string& section, const TWrites& writes) {
    Reset(start);
    for (const auto& [key, value] : writes)
      EXPECT_TRUE(TProfile(section, ini).WriteString(key, value));
    return TTemporaryFolder::Read(ini);
  }
  std::string Batched(const char* start, const std::string& section, const TWrites& writes) {
    Reset(start);
    TProfileBatch batch(section, ini);
    for (const auto& [key, value] : writes)
      batch.WriteString(key, value);
    EXPECT_TRUE(batch.Commit()) << batch.GetLastError();
    return TTemporaryFolder::Read(ini);
  }
  void Reset(const char* start) {
    std::filesystem::remove(ini);
    if (start)
      folder.Write("Halvetra.ini", start);
  }

  TTemporaryFolder folder;
  std::string ini = (folder / "Halvetra.ini").string();
};

TEST_F(ProfileBatchTest, TheFileIsByteForByteWhatOneWriteAtATimeLeaves) {
  // New keys, a key written twice, a key of the file in another spelling,
  // a value with a line break, into files of every shape.
  const TWrites writes{{"FVC00", "1"}, {"fvc01", "2"}, {"Note", "two\nlines"}, {"FVC00", "3"}, {"Last", ""}};
  const char* starts[] = {
      nullptr,
      "",
      "; settings\n[Other]\na=1\n\n[Index of Parameters]\nFVC01=9\n\n[After]\nb=2\n",
      "\xEF\xBB\xBF[Index of Parameters]\r\nFVC01=9\r\n\r\n\r\n[After]\r\nb=2\r\n",
      "[Other]\na=1",
      "[INDEX OF PARAMETERS]\n  fvc00 = 7  \n;comment\n",
      "[Index of Parameters]",
  };
  for (const char* start : starts) {
    const std::string shown = start ? start : "(no file)";
    EXPECT_EQ(Batched(start, "Index of Parameters", writes), OneByOne(start, "Index of Parameters", writes)) << shown;
  }
  // And as written out by hand, for the file with neighbours.
  EXPECT_EQ(Batched(starts[2], "Index of Parameters", writes),
            "; settings\n[Other]\na=1\n\n[Index of Parameters]\nFVC01=2\nFVC00=3\nNote=two lines\nLast=\n\n"
            "[After]\nb=2\n");
}

TEST_F(ProfileBatchTest, ReadsSeeTheFileAndTheWritesSoFarAsTProfileReadsThem) {
  folder.Write("Halvetra.ini", "[S]\na=12abc\nb=abc\nc=  -7\nname=\" spaced \"\n");
  TProfileBatch batch("s", ini);
  EXPECT_EQ(batch.GetInt("A", -1), 12);
  EXPECT_EQ(batch.GetInt("b", -1), -1);
  EXPECT_EQ(batch.GetInt("c", -1), -7);
  EXPECT_EQ(batch.GetInt("missing", -1), -1);
  EXPECT_EQ(batch.GetString("name"), " spaced ");
  EXPECT_EQ(batch.GetString("missing", "default"), "default");
  batch.WriteInt("missing", 4);
  EXPECT_EQ(batch.GetInt("missing", -1), 4);
  EXPECT_EQ(TProfile("S", ini).GetInt("missing", -1), -1) << "nothing reaches the file before Commit";
  ASSERT_TRUE(batch.Commit());
  EXPECT_EQ(TProfile("S", ini).GetInt("missing", -1), 4);
}

TEST_F(ProfileBatchTest, ABatchWithoutWritesLeavesNoFile) {
  TProfileBatch batch("S", ini);
  EXPECT_EQ(batch.GetInt("a", 3), 3);
  EXPECT_TRUE(batch.Commit());
  EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(ProfileBatchTest, AFileThatCannotBeWrittenOrNamedGivesAnErrorAndStaysAsItWas) {
  folder.Write("plain file", "");
  std::vector<std::string> paths{(folder / "plain file/Halvetra.ini").string(), "c:\\halvetra\\Halvetra.ini"};
  if (const auto unwritable = UnwritableFolder(folder))
    paths.push_back((*unwritable / "Halvetra.ini").string());
  for (const std::string& path : paths) {
    const bool existed = std::filesystem::exists(path);
    const std::string before = existed ? TTemporaryFolder::Read(path) : std::string();
    TProfileBatch batch("S", path);
    batch.WriteInt("a", 2);
    EXPECT_FALSE(batch.Commit()) << path;
    EXPECT_FALSE(batch.GetLastError().empty()) << path;
    EXPECT_EQ(std::filesystem::exists(path), existed) << path;
    if (existed) {
      EXPECT_EQ(TTemporaryFolder::Read(path), before) << path;
    }
  }
}

}  // namespace
