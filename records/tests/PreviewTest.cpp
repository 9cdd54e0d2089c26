// The print preview offscreen: paging, one and two pages, the page
// display, printing from it, a landscape page, and its pictures.

#include "platform/basekit/Message.h"
#include "records/window/ApxPreviewWin.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"

#include <QAction>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace {

class PreviewTest : public ::testing::Test {
protected:
  PreviewTest() { Texts.SetSink(&Sink); }
  ~PreviewTest() override { Sink.ExpectAllTaken(); }

  std::unique_ptr<TPrintManager> NoteManager(int lines) {
    std::string note;
    for (int i = 0; i < lines; ++i)
      note += "Preview line " + std::to_string(i) + "\n";
    auto header = std::make_unique<TPrintHeader>(&Texts, 1.25f, 1.25f, "", PREDICTED_DATA{});
    return std::make_unique<TPrintManager>(Texts, std::move(header), TPrintManager::TKind::NoteOnly, note);
  }

  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
  TOwnPrinter Printer{Texts};
};

TEST_F(PreviewTest, PagesOneAndTwoAndPrintFromThePreview) {
  auto manager = NoteManager(100);
  QElapsedTimer timer;
  timer.start();
  TApxPreviewWin preview(Texts, nullptr, Printer, *manager);
  preview.show();
  std::cout << "[ figure ] preview with its pages drawn: " << timer.elapsed() << " ms\n";
  ASSERT_EQ(preview.PageCount(), 2);
  EXPECT_EQ(preview.PageDisplay().toStdString(), "Page 1");
  EXPECT_FALSE(preview.Action(TApxPreviewWin::PreviousId)->isEnabled());
  EXPECT_TRUE(preview.Action(TApxPreviewWin::NextId)->isEnabled());

  // The first page is drawn: dark pixels on the page view.
  const QImage page = preview.View(1)->grab().toImage();
  int dark = 0;
  for (int y = 0; y < page.height(); y += 2)
    for (int x = 0; x < page.width(); x += 2)
      dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
  EXPECT_GT(dark, 100);
  SavePicture(preview, "print-preview-page1.png");

  preview.Action(TApxPreviewWin::NextId)->trigger();
  EXPECT_EQ(preview.FirstPage(), 2);
  EXPECT_EQ(preview.PageDisplay().toStdString(), "Page 2");
  EXPECT_FALSE(preview.Action(TApxPreviewWin::NextId)->isEnabled());

  preview.Action(TApxPreviewWin::TwoPagesId)->trigger();
  EXPECT_TRUE(preview.TwoPagesShown());
  EXPECT_EQ(preview.FirstPage(), 1);
  EXPECT_EQ(preview.SecondPage(), 2);
  EXPECT_EQ(preview.PageDisplay().toStdString(), "Pages 1 and 2");
  EXPECT_EQ(preview.View(2)->Number(), 2);
  EXPECT_NE(preview.View(1)->grab().toImage(), preview.View(2)->grab().toImage()) << "two different pages";
  SavePicture(preview, "print-preview-two-pages.png");

  preview.Action(TApxPreviewWin::OnePageId)->trigger();
  EXPECT_FALSE(preview.TwoPagesShown());
  EXPECT_EQ(preview.SecondPage(), preview.FirstPage());

  int printed = 0;
  preview.PrintCommand = [&] { ++printed; };
  preview.Action(TApxPreviewWin::PrintId)->trigger();
  EXPECT_EQ(printed, 1);
}

TEST_F(PreviewTest, OnePagePrintoutAndALandscapePage) {
  auto manager = NoteManager(3);
  {
    TApxPreviewWin preview(Texts, nullptr, Printer, *manager);
    ASSERT_EQ(preview.PageCount(), 1);
    EXPECT_FALSE(preview.Action(TApxPreviewWin::PreviousId)->isEnabled());
    EXPECT_FALSE(preview.Action(TApxPreviewWin::NextId)->isEnabled());
    preview.Action(TApxPreviewWin::TwoPagesId)->trigger();
    // No second page: the second view stays empty instead of a page 0.
    EXPECT_EQ(preview.View(2)->Number(), 0);
    EXPECT_EQ(preview.PageDisplay().toStdString(), "Page 1");
  }
  Printer.Printer().setPageOrientation(QPageLayout::Landscape);
  TApxPreviewWin landscape(Texts, nullptr, Printer, *manager);
  EXPECT_FALSE(landscape.Action(TApxPreviewWin::TwoPagesId)->isEnabled());
  landscape.Action(TApxPreviewWin::TwoPagesId)->trigger();
  EXPECT_FALSE(landscape.TwoPagesShown());
}

}  // namespace
