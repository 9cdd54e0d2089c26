#include "platform/framework/Profile.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

namespace {

class ProfileTest : public ::testing::Test {
protected:
  TTemporaryFolder folder;
  std::string ini = (folder / "Halvetra.ini").string();
};

TEST_F(ProfileTest, MissingFileOrSectionGivesTheDefaults) {
  const TProfile missing("StartUp", ini);
  EXPECT_EQ(missing.GetInt("PageType", 2), 2);
  EXPECT_EQ(missing.GetString("Language", "English"), "English");
  EXPECT_DOUBLE_EQ(missing.GetFloat("Factor", 1.5), 1.5);
  EXPECT_TRUE(missing.GetLastError().empty());

  folder.Write("Halvetra.ini", "[Other]\nPageType=1\n");
  EXPECT_EQ(TProfile("StartUp", ini).GetInt("PageType", 2), 2);
}

TEST_F(ProfileTest, SectionAndKeyNamesIgnoreCase) {
  TProfile written("Pbox", ini);
  ASSERT_TRUE(written.WriteInt("Volume", 42));
  EXPECT_EQ(TProfile("PBOX", ini).GetInt("VOLUME", 0), 42);
  EXPECT_EQ(TProfile("pbox", ini).GetInt("volume", 0), 42);
  // Writing with another spelling changes the same key.
  ASSERT_TRUE(TProfile("PBOX", ini).WriteInt("VOLUME", 43));
  EXPECT_EQ(TTemporaryFolder::Read(ini), "[Pbox]\nVolume=43\n");
}

TEST_F(ProfileTest, IntegersReadLikeTheWindowsProfileFunctions) {
  folder.Write("Halvetra.ini", "[S]\na=12abc\nb=abc\nc=  -7\nd=\ne=+5\nf=99999999999\n");
  const TProfile profile("S", ini);
  struct Case {
    const char* key;
    int expected;
  };
  for (const Case c : {Case{"a", 12}, Case{"b", -1}, Case{"c", -7}, Case{"d", -1}, Case{"e", 5},
                       Case{"f", 2147483647}, Case{"missing", -1}})
    EXPECT_EQ(profile.GetInt(c.key, -1), c.expected) << c.key;
}

TEST_F(ProfileTest, StringsAreReadWithACapacityAndTrimmed) {
  folder.Write("Halvetra.ini", "[S]\nname =  Kovács Éva  \nquoted=\" spaced \"\n");
  const TProfile profile("S", ini);
  char buffer[5];
  EXPECT_TRUE(profile.GetString("name", buffer, sizeof buffer, ""));
  // 4 bytes would cut "á" (2 bytes) in half: the cut moves before it.
  EXPECT_STREQ(buffer, "Kov");
  EXPECT_EQ(profile.GetString("name"), "Kovács Éva");
  EXPECT_EQ(profile.GetString("quoted"), " spaced ");
  EXPECT_FALSE(profile.GetString("missing", buffer, sizeof buffer, "default too long"));
  EXPECT_STREQ(buffer, "defa");
}

TEST_F(ProfileTest, FloatsUseTheCLocaleWhateverTheUsersLocale) {
  // A decimal comma in the C library (when such a locale is installed) and
  // in the C++ streams must change nothing.
  for (const char* name : {"de_DE.UTF-8", "hu_HU.UTF-8", "fr_FR.UTF-8"})
    if (std::setlocale(LC_ALL, name))
      break;
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));

  TProfile profile("Calibration", ini);
  ASSERT_TRUE(profile.WriteFloat("Factor", 1.0625));
  ASSERT_TRUE(profile.WriteFloat("Tiny", -0.000125));
  EXPECT_DOUBLE_EQ(profile.GetFloat("Factor", 0.0), 1.0625);
  EXPECT_DOUBLE_EQ(profile.GetFloat("Tiny", 0.0), -0.000125);
  EXPECT_NE(TTemporaryFolder::Read(ini).find("Factor=1.0625"), std::string::npos);

  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");
}

TEST_F(ProfileTest, WritesKeepOtherSectionsKeysCommentsAndOrder) {
  const std::string original =
      "; Halvetra settings\r\n[StartUp]\r\nPageType=1\r\n; the language\r\nLanguage=English\r\n\r\n[Path]\r\n"
      "Program=.\r\n";
  folder.Write("Halvetra.ini", original);
  ASSERT_TRUE(TProfile("StartUp", ini).WriteString("Language", "Magyar"));
  ASSERT_TRUE(TProfile("StartUp", ini).WriteInt("DefaultUnit", 1));
  ASSERT_TRUE(TProfile("New Section", ini).WriteInt("Key", 5));
  EXPECT_EQ(TTemporaryFolder::Read(ini),
            "; Halvetra settings\r\n[StartUp]\r\nPageType=1\r\n; the language\r\nLanguage=Magyar\r\n"
            "DefaultUnit=1\r\n\r\n[Path]\r\nProgram=.\r\n\r\n[New Section]\r\nKey=5\r\n");
}

TEST_F(ProfileTest, NamesWithBlanksAndPunctuationRoundTrip) {
  const std::string section = "Hardware Diffusion Test";
  for (const char* key : {"FEV*0,5/IVC", "FEF*25-75%", "MEF*75%", "A key/with, blanks"}) {
    ASSERT_TRUE(TProfile(section, ini).WriteString(key, std::string("value of ") + key));
    EXPECT_EQ(TProfile(section, ini).GetString(key), std::string("value of ") + key);
  }
  ASSERT_TRUE(TProfile("Index of Parameters", ini).WriteInt("FEV*1,0/FVC", 6));
  EXPECT_EQ(TProfile("index of parameters", ini).GetInt("fev*1,0/fvc", 0), 6);
}

TEST_F(ProfileTest, SystemPathsWithBackslashesAreUnderstood) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  const bool written = TProfile("StartUp", ".\\Halvetra.ini").WriteInt("PageType", 3);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(written);
  EXPECT_EQ(TProfile("StartUp", ini).GetInt("PageType", 0), 3);

  TProfile drive("StartUp", "c:\\halvetra\\Halvetra.ini");
  EXPECT_EQ(drive.GetInt("PageType", 9), 9);
  EXPECT_FALSE(drive.WriteInt("PageType", 1));
  EXPECT_NE(drive.GetLastError().find("Windows drive"), std::string::npos);
}

TEST_F(ProfileTest, UnwritableFolderGivesAnErrorAndKeepsTheFile) {
  const auto unwritable = UnwritableFolder(folder);
  ASSERT_TRUE(unwritable) << "this machine offers no folder that cannot be written";
  const std::filesystem::path path = *unwritable / "Halvetra.ini";
  const bool existed = std::filesystem::exists(path);
  const std::string before = TTemporaryFolder::Read(path);
  TProfile profile("S", path.string());
  EXPECT_FALSE(profile.WriteInt("a", 2));
  EXPECT_FALSE(profile.GetLastError().empty());
  EXPECT_EQ(std::filesystem::exists(path), existed);
  EXPECT_EQ(TTemporaryFolder::Read(path), before);
}

TEST_F(ProfileTest, MissingFolderOrAFileInThePathGivesAnError) {
  folder.Write("plain file", "");
  for (const char* path : {"no such folder/Halvetra.ini", "plain file/Halvetra.ini"}) {
    TProfile profile("S", (folder / path).string());
    EXPECT_EQ(profile.GetInt("a", 4), 4);
    EXPECT_FALSE(profile.WriteInt("a", 2));
    EXPECT_NE(profile.GetLastError().find(path), std::string::npos) << profile.GetLastError();
  }
}

TEST_F(ProfileTest, RemovedKeyGivesTheDefaultAgain) {
  TProfile profile("S", ini);
  ASSERT_TRUE(profile.WriteInt("a", 1));
  ASSERT_TRUE(profile.RemoveKey("A"));
  EXPECT_EQ(profile.GetInt("a", 7), 7);
}

}  // namespace
