#include "shell/client/HelpContext.h"
#include "testing/TemporaryFolder.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpContext, TestButtonsShowTheHelpOfTheOpenTest) {
  struct Case {
    unsigned id;
    std::optional<int> measureType;
    int context;
  };
  const Case cases[] = {
      {CM_START, 0, 2147},   {CM_STOP, 1, 2148},    {CM_ZOOM, 2, 2149},  {CM_TABLE1, 3, 2150},
      {CM_START3, 4, 2151},  {CM_TABLE3, 6, 2139},  {CM_START, 5, 0},    // shutter has no topic
      {CM_STOP, std::nullopt, 0},                                        // no measurement window
      {CM_PREPOST, 0, 31},   {CM_PREPOST, 1, 32},   {CM_PREPOST, 2, 33}, {CM_PREPOST, 3, 97},
      {CM_PREPOST, 4, 91},   {CM_PREPOST, 6, 0},    {CM_PREPOST, std::nullopt, 0},
      {CM_ABOUT, 0, 0},      {CM_HELP_MODE, std::nullopt, 0},            {CM_HELP_INDEX, 0, 0},
      {CM_HELP_ON_HELP, 0, 0}, {CM_FILEPRINTERSETUP, 0, 0},
      {CM_OPEN_PATIENT, 0, 2107}, {20114, std::nullopt, 20114},          // every other id is its own context
  };
  for (const Case& c : cases)
    EXPECT_EQ(Help::ContextFor(c.id, c.measureType), c.context) << c.id;
}

TEST(HelpContext, PagesFallBackToTheContents) {
  TTemporaryFolder folder;
  const Help::TPages pages(folder.Path());
  EXPECT_FALSE(pages.Exists());
  folder.Write("index.html", "<h1>Contents</h1>");
  folder.Write("2107.html", "<h1>Opening a patient</h1>");
  EXPECT_TRUE(pages.Exists());
  EXPECT_EQ(pages.ForContext(2107), folder / "2107.html");
  EXPECT_EQ(pages.ForContext(0), folder / "index.html");
  EXPECT_EQ(pages.ForContext(2148), folder / "index.html");
}

}  // namespace
