#include "records/PrintManager.h"

#include "platform/basekit/Message.h"
#include "testing/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// A test block of a given height on one page.
class TFakeTest final : public TPrintableTest {
public:
  explicit TFakeTest(int height) : Height(height) {}
  int CalculateMeasureHeight(TPrintCanvas&, int, int) override { return Height; }
  void PrintMeasure(TPrintCanvas& canvas, short page) override {
    Pages.push_back(page);
    if (page == 1)
      canvas.PrintY += Height;
  }
  short GetPageCount() const override { return 1; }
  int GetTextHeight() const override { return Height; }
  int GetGraphHeight1() const override { return 0; }
  int GetGraphHeight2() const override { return 0; }
  bool NoteWanted() const override { return true; }
  void PrintCalibration(TPrintCanvas&) override {}

  int Height;
  std::vector<short> Pages;
};

class PrintManagerTest : public ::testing::Test {
protected:
  std::unique_ptr<TPrintHeader> Header() const {
    return std::make_unique<TPrintHeader>(&Texts, 1.0f, 1.0f, "", PREDICTED_DATA{});
  }

  static bool Has(const TRecordingSurface& surface, const std::string& text) {
    const auto texts = surface.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
};

TEST(PrintManagerNote, LinesBreakAtBlanksOrAreCutAtTheirLength) {
  struct Case {
    const char* note;
    std::size_t perLine;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"short", 10, {"short"}},
      {"one two three", 8, {"one two", "three"}},
      {"abcdefghijkl mn", 5, {"abcde", "fghij", "kl mn"}},  // no blank within 5: cut at 5
      {"a\r\nb\n\nc", 5, {"a", "b", "", "c"}},
      {"word  next", 5, {"word ", "next"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TPrintManager::NoteLines(c.note, c.perLine), c.lines) << c.note;
}

TEST_F(PrintManagerTest, NoteAloneRunsOnAcrossPages) {
  std::string note;
  for (int i = 0; i < 100; ++i)
    note += "line " + std::to_string(i) + "\n";
  note.pop_back();
  TPrintManager manager(Texts, Header(), TPrintManager::TKind::NoteOnly, note);
  TRecordingSurface page1({800, 1000});
  // 9 points at 96 per inch are 12 pixels, a character 7 wide: 640 / 7 = 91 a line.
  EXPECT_EQ(manager.CharactersPerLine(page1), 91u);
  // (128 + 100 x 14) / 1000 + 1 = 2; again with the small header: (64 + 1528) / 1000 + 1 = 2.
  const short pages = manager.GetPageCount(page1, 1000);
  ASSERT_EQ(pages, 2);
  manager.Paint(page1, 1, pages);
  // From 128 every 14 units while the line ends by 1000: 62 lines.
  EXPECT_TRUE(Has(page1, "line 61"));
  EXPECT_FALSE(Has(page1, "line 62"));
  EXPECT_FALSE(Has(page1, "Note")) << "a note alone has no heading";
  TRecordingSurface page2({800, 1000});
  manager.Paint(page2, 2, pages);
  EXPECT_TRUE(Has(page2, "line 62"));
  EXPECT_TRUE(Has(page2, "line 99"));
  EXPECT_TRUE(Has(page2, "2/2"));
}

TEST_F(PrintManagerTest, NoteHeadingThatDoesNotFitStartsTheNoteOnTheNextPage) {
  TFakeTest test(850);
  TPrintManager manager(Texts, Header(), TPrintManager::TKind::Measurement, "first\nsecond\nthird");
  manager.Test = &test;
  TRecordingSurface page1({800, 1000});
  // 128 + 850 + 3 x 14 + 40 = 1060: two pages, and with the small header still two.
  const short pages = manager.GetPageCount(page1, 1000);
  ASSERT_EQ(pages, 2);
  manager.Paint(page1, 1, pages);
  EXPECT_FALSE(Has(page1, "Note"));
  EXPECT_FALSE(Has(page1, "first"));
  TRecordingSurface page2({800, 1000});
  manager.Paint(page2, 2, pages);
  EXPECT_TRUE(Has(page2, "Note"));
  EXPECT_TRUE(Has(page2, "third"));
  EXPECT_EQ(test.Pages, (std::vector<short>{1, 2}));
}

TEST_F(PrintManagerTest, ProgressAfterEveryPageOnlyWhilePrinting) {
  TFakeTest test(100);
  TPrintManager manager(Texts, Header(), TPrintManager::TKind::Measurement);
  manager.Test = &test;
  std::vector<int> steps;
  manager.Progress = [&](int value) { steps.push_back(value); };
  TRecordingSurface page({800, 1000});
  ASSERT_EQ(manager.GetPageCount(page, 1000), 1);
  manager.Paint(page, 1, 1);
  EXPECT_TRUE(steps.empty()) << "a preview sends none";
  manager.Header().NoProgress = false;
  manager.Paint(page, 1, 1);
  EXPECT_EQ(steps, (std::vector<int>{100}));
}

}  // namespace
