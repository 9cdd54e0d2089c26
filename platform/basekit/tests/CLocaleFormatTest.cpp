#include "platform/basekit/CLocaleFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(CLocaleFormat, FormatsShortAndLongTexts) {
  EXPECT_EQ(CLocale::Format("%-11s %5.2f|%3.0f", "FVC", 4.256, 99.5), "FVC          4.26|100");
  const std::string longText(300, 'x');
  EXPECT_EQ(CLocale::Format("<%s>", longText.c_str()), "<" + longText + ">");
}

TEST(CLocaleFormat, KeepsTheDecimalPointUnderACommaLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
    GTEST_SKIP() << "no German locale on this machine";
  const std::string text = CLocale::Format("%.2f", 1.5);
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(text, "1.50");
}

}  // namespace
