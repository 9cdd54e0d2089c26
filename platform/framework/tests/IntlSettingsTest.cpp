#include "platform/framework/IntlSettings.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(IntlSettings, DefaultsWithoutWinIni) {
  TTemporaryFolder folder;
  const TIntlSettings settings = TIntlSettings::Read((folder / "win.ini").string());
  EXPECT_EQ(settings.DatePicture, "YYYY.MM.DD.");
  EXPECT_EQ(settings.DateSeparator, '.');
  EXPECT_EQ(settings.TimePicture, "HH:MM:SS");
}

TEST(IntlSettings, PicturesFromWinIni) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("win.ini", "[intl]\nsShortDate=d/M/yy\nsDate=/\n");
  const TIntlSettings settings = TIntlSettings::Read(ini.string());
  EXPECT_EQ(settings.DatePicture, "DD/MM/YYYY");
  EXPECT_EQ(settings.DateSeparator, '/');
  EXPECT_EQ(settings.TimePicture, "HH:MM:SS");
}

TEST(IntlSettings, VerifyDateFormatGivesAReadablePicture) {
  struct Case {
    const char* format;
    const char* picture;
  };
  for (const Case c : {Case{"yyyy.MM.dd.", "YYYY.MM.DD."}, Case{"YYYY.MM.DD.", "YYYY.MM.DD."},
                       Case{"dd.MM.yyyy", "DD.MM.YYYY"}, Case{"M/d/yy", "MM/DD/YYYY"},
                       Case{"yyyy-MM-dd", "YYYY-MM-DD"},
                       // Something that is not a date format at all: the default.
                       Case{"dd.MM", "YYYY.MM.DD."}, Case{"", "YYYY.MM.DD."}})
    EXPECT_EQ(TIntlSettings::VerifyDateFormat(c.format), c.picture) << c.format;
}

}  // namespace
