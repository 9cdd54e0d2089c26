#pragma once

// TApxPreviewWin: the print preview. A modal frame with a tool bar
// (previous, next, one page, two pages, zoom out, zoom in, fit to width,
// the page display, print, close) over pages of our own, in a view that
// scrolls once they are larger than it. The printout's pages are drawn once, in order,
// into pictures when the preview opens; the page views repaint those.

#include "records/window/OwnPrinter.h"

#include <QDialog>
#include <QPicture>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QScrollArea;
class QToolBar;
class TMessage;

class TPreviewPage final : public QWidget {
public:
  explicit TPreviewPage(QWidget* parent) : QWidget(parent) {}
  // The page shown (0: none) and its picture's window.
  void Show(const QPicture* picture, const QRect& window, short number);
  short Number() const { return PageNumber; }
  // The page's place inside the view: the page's proportions, white.
  QRect PageRect() const;

protected:
  void paintEvent(QPaintEvent*) override;

private:
  const QPicture* Picture = nullptr;
  QRect Window;
  short PageNumber = 0;
};

class TApxPreviewWin final : public QDialog {
public:
  static constexpr int PreviousId = 24500, NextId = 24501, OnePageId = 24502, TwoPagesId = 24503,
                       PageDisplayId = 24504, CloseId = 24505, PrintId = 24337, ZoomOutId = 24506,
                       ZoomInId = 24507, FitWidthId = 24508;
  // The zoom steps: 0 the whole page in the view, else the pages' width as a
  // share of the view's width (1: fit to width).
  static constexpr std::array<double, 5> ZoomSteps{0.0, 1.0, 1.5, 2.0, 3.0};

  TApxPreviewWin(const TMessage& texts, QWidget* parent, TOwnPrinter& printer, TPrintManager& manager);

  // The print command of the program (the preview prints through it).
  std::function<void()> PrintCommand;

  void CmPrevious();
  void CmNext();
  void CmOnePage();
  void CmTwoPages();
  void CmZoomIn();
  void CmZoomOut();
  void CmFitWidth();
  std::size_t ZoomStep() const { return Zoom; }
  // The enablers of the tool bar.
  void UpdateCommands();

  short FirstPage() const { return First; }
  short SecondPage() const { return Second; }
  short PageCount() const { return static_cast<short>(Pages.size()); }
  bool TwoPagesShown() const { return Page2 != nullptr; }
  QString PageDisplay() const;
  QAction* Action(int id) const;
  TPreviewPage* View(int which) const { return which == 1 ? Page1 : Page2; }

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void DrawPages();
  void Renumber();
  void LayOut();

  const TMessage& Texts;
  TOwnPrinter& Printer;
  TApxPrintout Printout;
  QScrollArea* Scroller;
  QWidget* Client;
  std::size_t Zoom = 0;  // into ZoomSteps
  QToolBar* Bar;
  QLabel* Display;
  TPreviewPage* Page1;
  TPreviewPage* Page2 = nullptr;
  std::vector<QPicture> Pages;
  QRect Window;
  short First = 1;
  short Second = 1;
};
