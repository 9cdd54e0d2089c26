#include "platform/basekit/TextFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TextFormat, FillsExactlyTheExpectedPlaceholders) {
  const std::vector<std::string> two{"FVC", "4.17"};
  struct Case {
    const char* text;
    std::vector<std::string> args;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"%1 is %2 L", two, "FVC is 4.17 L"},
      {"%2 L for %1", two, "4.17 L for FVC"},          // order is the translator's
      {"%1 %1 and %2", two, "FVC FVC and 4.17"},       // repeats are fine
      {"100 % of %1", {"FVC"}, "100 % of FVC"},        // a plain percent sign stays
      {"%% done", {}, "% done"},
      {"%1 only", two, std::nullopt},                  // %2 unused
      {"%1 and %3", two, std::nullopt},                // %3 has no argument
      {"%s is %d", two, std::nullopt},                 // printf directives are refused
      {"%.1f L", {"x"}, std::nullopt},
      {"no placeholders", {}, "no placeholders"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextFormat::Fill(c.text, c.args), c.expected) << c.text;
}

}  // namespace
