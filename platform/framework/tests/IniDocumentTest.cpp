#include "platform/framework/IniDocument.h"

#include <gtest/gtest.h>

namespace {

TEST(IniDocument, LinesThatAreNoIniTextAreFound) {
  struct TCase {
    const char* text;
    std::optional<std::size_t> foreign;
  };
  const TCase cases[] = {
      {"", std::nullopt},
      {"[Patient]\nName=Kiss\n\n; a comment\n# another\n  [Institute]  \nDoctor = Nagy\n", std::nullopt},
      {"[Patient]\r\nName=Kiss\r\nthis is prose\r\n", 3},
      {"%PDF-1.4\n[Patient]\n", 1},
      {"[Patient\nName=Kiss\n", 1},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TIniDocument::Parse(c.text).FirstForeignLine(), c.foreign) << c.text;
}

}  // namespace
