#include "platform/framework/Paths.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, BackslashesBecomeSlashesAndDrivesAreRefused) {
  EXPECT_EQ(Paths::ToNative(".\\Halvetra.ini"), "./Halvetra.ini");
  EXPECT_EQ(Paths::ToNative(".\\Database\\Data"), "./Database/Data");
  EXPECT_EQ(Paths::ToNative("/srv/lab/names.db"), "/srv/lab/names.db");
  std::string error;
  EXPECT_FALSE(Paths::ToNative("c:\\halvetra", &error));
  EXPECT_NE(error.find("c:\\halvetra"), std::string::npos);
  EXPECT_FALSE(Paths::ToNative("D:/data"));
}

TEST(Paths, PatternsMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  for (const Case c : {Case{"ABCDEFGH.~IN", "*.~in", true}, Case{"abcdefgh.~in", "*.~IN", true},
                       Case{"ABCDEFGH.~00", "*.~in", false}, Case{"ABCDEFGH.~01", "*.~0?", true},
                       Case{"Names.DB", "names.db", true}, Case{"x.~in.bak", "*.~in", false},
                       Case{"", "*", true}, Case{"a", "", false}, Case{"aXbXc", "a*b*c", true}})
    EXPECT_EQ(Paths::MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(Paths, NamesEqualWithoutRegardToCaseFoldToOneSpelling) {
  EXPECT_TRUE(Paths::EqualNoCase("Names.DB", "names.db"));
  EXPECT_FALSE(Paths::EqualNoCase("names.db", "names.d"));
  EXPECT_FALSE(Paths::EqualNoCase("Ödön", "ödön"));  // ASCII only, as file names compared
  EXPECT_EQ(Paths::FoldCase("ABCdef12.~IN"), "abcdef12.~in");
  EXPECT_EQ(Paths::FoldCase("Names.DB"), Paths::FoldCase("nAMES.db"));
  EXPECT_EQ(Paths::FoldCase("Ödön"), "Ödön");
}

TEST(Paths, FindNoCaseFindsAnotherSpelling) {
  TTemporaryFolder folder;
  folder.Write("Names.DB", "");
  EXPECT_EQ(Paths::FindNoCase(folder.Path(), "names.db"), folder / "Names.DB");
  EXPECT_FALSE(Paths::FindNoCase(folder.Path(), "meet.db"));
  EXPECT_FALSE(Paths::FindNoCase(folder / "missing", "names.db"));
}

}  // namespace
