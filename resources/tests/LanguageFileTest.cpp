#include "platform/basekit/Message.h"
#include "platform/basekit/TextFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

const std::filesystem::path LanguageFolder = std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang";

// Every language file loads, gives each number once and keeps printf
// directives out of its texts.
TEST(LanguageFiles, EveryFileIsWellFormed) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(LanguageFolder)) {
    if (entry.path().extension() != ".txt")
      continue;
    ++files;
    const std::string language = entry.path().stem().string();
    const TMessage texts(language, LanguageFolder);
    EXPECT_TRUE(texts.IsLoaded()) << language;

    std::ifstream in(entry.path());
    std::set<int> numbers;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
      ++lineNumber;
      if (line.empty() || line[0] == '#' || !std::isdigit(static_cast<unsigned char>(line[0])))
        continue;
      const int number = std::stoi(line.substr(0, line.find('=')));
      EXPECT_TRUE(numbers.insert(number).second) << language << " line " << lineNumber << ": " << number << " twice";
      const std::string text = texts.LoadStringA(number);
      for (const char* directive : {"%s", "%d", "%f", "%i", "%u", "%x", "%c"})
        EXPECT_EQ(text.find(directive), std::string::npos) << language << " text " << number;
    }
  }
  EXPECT_GE(files, 1);
}

TEST(LanguageFiles, TheProgramFindsTheTextsBesideItself) {
  const TMessage texts("English");
  EXPECT_TRUE(texts.IsLoaded()) << texts.GetLoadError();
  EXPECT_EQ(texts.LoadStringA(1), "Halvetra");
}

}  // namespace
