#include "platform/framework/PictureText.h"

#include <gtest/gtest.h>

namespace {

using Parts = std::map<char, int>;

TEST(PictureText, ReadsEachPartWhereThePictureHasIt) {
  struct Case {
    const char* text;
    const char* picture;
    Parts expected;
  };
  const Case cases[] = {
      {"1950.03.07.", "YYYY.MM.DD.", {{'Y', 1950}, {'M', 3}, {'D', 7}}},
      {"07/03/1950", "DD/MM/YYYY", {{'Y', 1950}, {'M', 3}, {'D', 7}}},
      {"19500307", "YYYYMMDD", {{'Y', 1950}, {'M', 3}, {'D', 7}}},
      {"2001.02.31.", "YYYY.MM.DD.", {{'Y', 2001}, {'M', 2}, {'D', 31}}},  // no calendar check
      {"23:59:07", "HH:MM:SS", {{'H', 23}, {'M', 59}, {'S', 7}}},
      {"99:99:99", "HH:MM:SS", {{'H', 99}, {'M', 99}, {'S', 99}}},  // no clock check either
  };
  for (const Case& c : cases) {
    const auto parts = PictureText::Read(c.text, c.picture);
    ASSERT_TRUE(parts) << c.text;
    EXPECT_EQ(*parts, c.expected) << c.text << " in " << c.picture;
  }
}

TEST(PictureText, RefusesATextThatDoesNotFollowThePicture) {
  for (const char* text : {"1950.3.7.", "1950.03.07", "1950-03-07.", "1950.0x.07.", " 950.03.07.", "", "1950.03.07.."})
    EXPECT_FALSE(PictureText::Read(text, "YYYY.MM.DD.")) << '"' << text << '"';
}

TEST(PictureText, WritesPartsRightAlignedWithLeadingZeros) {
  EXPECT_EQ(PictureText::Write({{'Y', 1950}, {'M', 3}, {'D', 7}}, "YYYY.MM.DD."), "1950.03.07.");
  EXPECT_EQ(PictureText::Write({{'Y', 1950}, {'M', 3}, {'D', 7}}, "DD/MM/YYYY"), "07/03/1950");
  EXPECT_EQ(PictureText::Write({{'H', 9}, {'M', 5}, {'S', 0}}, "HH:MM:SS"), "09:05:00");
  // Too many digits keep the last ones; a missing part is zeros.
  EXPECT_EQ(PictureText::Write({{'Y', 1950}, {'M', 3}}, "DD.MM.YY"), "00.03.50");
}

}  // namespace
