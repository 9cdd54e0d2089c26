// The print preview offscreen: paging, one and two pages, the page
// display, printing from it, a landscape page, and its pictures.

#include "platform/basekit/Message.h"
#include "records/window/ApxPreviewWin.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"

#include <QAction>
#include <QElapsedTimer>
#include <QApplication>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>

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

// The preview used to show only a small whole page: it zooms in steps
// and fits the page to the view's width, scrolling what no longer fits.
TEST_F(PreviewTest, ZoomsInStepsAndFitsTheWidth) {
  auto manager = NoteManager(100);
  TApxPreviewWin preview(Texts, nullptr, Printer, *manager);
  preview.resize(900, 760);
  preview.show();
  QApplication::processEvents();
  const auto* scroller = preview.findChild<QScrollArea*>();
  ASSERT_NE(scroller, nullptr);
  const QSize whole = preview.View(1)->PageRect().size();
  EXPECT_LE(whole.height(), scroller->viewport()->height()) << "the whole page in the view";
  EXPECT_FALSE(preview.Action(TApxPreviewWin::ZoomOutId)->isEnabled());

  preview.Action(TApxPreviewWin::FitWidthId)->trigger();
  QApplication::processEvents();
  const QRect fitted = preview.View(1)->PageRect();
  // The page fills the view's width but its margins, as high as a page of
  // its proportions is, so the view scrolls down and not across.
  EXPECT_NEAR(fitted.width(), scroller->viewport()->width() - 2 * 15, 2);
  const QRect window = preview.View(1)->geometry();
  EXPECT_GT(fitted.height(), scroller->viewport()->height());
  EXPECT_GT(fitted.width(), whole.width());
  EXPECT_TRUE(scroller->verticalScrollBar()->isVisible());
  EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
  SavePicture(preview, "print-preview-fit-width.png");

  preview.Action(TApxPreviewWin::ZoomInId)->trigger();
  QApplication::processEvents();
  EXPECT_NEAR(preview.View(1)->PageRect().width(), fitted.width() * 1.5, 2) << "the next step: 1.5 times";
  EXPECT_TRUE(scroller->horizontalScrollBar()->isVisible());
  EXPECT_EQ(window.left(), preview.View(1)->geometry().left());
  while (preview.Action(TApxPreviewWin::ZoomInId)->isEnabled())
    preview.Action(TApxPreviewWin::ZoomInId)->trigger();
  EXPECT_EQ(preview.ZoomStep(), TApxPreviewWin::ZoomSteps.size() - 1);
  while (preview.Action(TApxPreviewWin::ZoomOutId)->isEnabled())
    preview.Action(TApxPreviewWin::ZoomOutId)->trigger();
  QApplication::processEvents();
  EXPECT_EQ(preview.ZoomStep(), 0u);
  EXPECT_LE(preview.View(1)->PageRect().height(), scroller->viewport()->height()) << "the whole page again";
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
