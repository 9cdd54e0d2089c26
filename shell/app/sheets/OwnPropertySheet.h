#pragma once

// The instrument configuration sheets: a modal dialog of tabbed pages with
// OK, Cancel and Help. A page is set up the first time it is shown, and is
// told when the user leaves it (also when OK closes the sheet on it).

#include <QDialog>

#include <vector>

class QTabWidget;
class TMessage;

class TPropertyPage : public QWidget {
public:
  using QWidget::QWidget;
  // The first time the page is shown.
  virtual void SetupWindow() {}
  // The user leaves the page.
  virtual void KillActive() {}
  bool IsSetUp() const { return SetUp; }
  void EnsureSetUp() {
    if (!SetUp) {
      SetUp = true;
      SetupWindow();
    }
  }

private:
  bool SetUp = false;
};

class TOwnPropertySheet : public QDialog {
public:
  // `helpId` is the command that opens the sheet.
  TOwnPropertySheet(const TMessage& texts, QWidget* parent, int titleText, int helpId);

  // The sheet owns the page.
  void AddPage(TPropertyPage* page, const QString& title);
  QTabWidget* Tabs() const { return Pages; }
  TPropertyPage* Page(int index) const;
  // The horizontal and vertical position on a screen of that size: the
  // left edge on a multiple of 8 pixels.
  static QPoint CentredOn(QSize screen, QSize sheet);

  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void PageChanged(int index);

  QTabWidget* Pages;
  int Current = -1;
};
