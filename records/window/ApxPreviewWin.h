#pragma once

// TApxPreviewWin: the print preview. A modal frame with a tool bar
// (previous, next, one page, two pages, the page display, print, close)
// over pages of our own. The printout's pages are drawn once, in order,
// into pictures when the preview opens; the page views repaint those.

#include "records/window/OwnPrinter.h"

#include <QDialog>
#include <QPicture>

#include <functional>
#include <vector>

class QAction;
class QLabel;
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
                       PageDisplayId = 24504, CloseId = 24505, PrintId = 24337;

  TApxPreviewWin(const TMessage& texts, QWidget* parent, TOwnPrinter& printer, TPrintManager& manager);

  // The print command of the program (the preview prints through it).
  std::function<void()> PrintCommand;

  void CmPrevious();
  void CmNext();
  void CmOnePage();
  void CmTwoPages();
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

private:
  void DrawPages();
  void Renumber();
  void LayOut();

  const TMessage& Texts;
  TOwnPrinter& Printer;
  TApxPrintout Printout;
  QWidget* Client;
  QToolBar* Bar;
  QLabel* Display;
  TPreviewPage* Page1;
  TPreviewPage* Page2 = nullptr;
  std::vector<QPicture> Pages;
  QRect Window;
  short First = 1;
  short Second = 1;
};
