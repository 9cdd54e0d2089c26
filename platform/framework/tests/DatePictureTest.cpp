#include "platform/framework/DatePicture.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

TEST(DatePicture, ReadsThePartsWhereThePictureHasThem) {
  struct Case {
    const char* text;
    const char* picture;
    TCalendarDate expected;
  };
  const Case cases[] = {
      {"1950.03.07.", "YYYY.MM.DD.", {1950, 3, 7}},
      {"07/03/1950", "DD/MM/YYYY", {1950, 3, 7}},
      {"03-07-1950", "MM-DD-YYYY", {1950, 3, 7}},
      {"19500307", "YYYYMMDD", {1950, 3, 7}},
      // No calendar check: the 31st of February reads as it is written.
      {"2001.02.31.", "YYYY.MM.DD.", {2001, 2, 31}},
      // A letter in a digit place, another length or another separator:
      // nothing is read, and every part is -1, as the engine answers.
      {"1950.0x.07.", "YYYY.MM.DD.", {-1, -1, -1}},
      {"1950.3.7.", "YYYY.MM.DD.", {-1, -1, -1}},
      {"1950.03.07", "YYYY.MM.DD.", {-1, -1, -1}},
      {"1950-03-07.", "YYYY.MM.DD.", {-1, -1, -1}},
      {"", "YYYY.MM.DD.", {-1, -1, -1}},
      // A part the picture lacks.
      {"03.07.", "MM.DD.", {-1, 3, 7}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DatePicture::Read(c.text, c.picture), c.expected) << c.text << " in " << c.picture;
}

TEST(DatePicture, RecodesPartByPart) {
  EXPECT_EQ(DatePicture::Recode("19500307", "YYYYMMDD", "YYYY.MM.DD."), "1950.03.07.");
  EXPECT_EQ(DatePicture::Recode("19500307", "YYYYMMDD", "DD/MM/YYYY"), "07/03/1950");
  EXPECT_EQ(DatePicture::Recode("1950.03.07.", "YYYY.MM.DD.", "YYYYMMDD"), "19500307");
  // Fewer places keep the last digits; more places are padded with zeros.
  EXPECT_EQ(DatePicture::Recode("19500307", "YYYYMMDD", "DD.MM.YY"), "07.03.50");
  EXPECT_EQ(DatePicture::Recode("500307", "YYMMDD", "YYYY-MM-DD"), "0050-03-07");
  EXPECT_EQ(DatePicture::Recode("143005", "HHMMSS", "HH:MM:SS"), "14:30:05");
  // Characters are carried, not checked: reading them is the caller's part.
  EXPECT_EQ(DatePicture::Recode("19AB1234", "YYYYMMDD", "YYYY.MM.DD."), "19AB.12.34.");
}

TEST(DatePicture, TodayIsTheLocalCalendarDate) {
  const QDate expected = QDate::currentDate();
  const TCalendarDate today = DatePicture::Today();
  if (QDate::currentDate() != expected)
    GTEST_SKIP() << "midnight passed while the test ran";
  EXPECT_EQ(today, (TCalendarDate{expected.year(), expected.month(), expected.day()}));
}

}  // namespace
