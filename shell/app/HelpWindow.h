#pragma once

// The window that shows the help pages.

#include <QTextBrowser>

#include <filesystem>

class THelpWindow final : public QTextBrowser {
public:
  explicit THelpWindow(const QString& caption);

  // Shows the page and brings the window up; false when the page is missing.
  // Asked from a modal dialog, the window stands above that dialog (a
  // window of its own that the dialog does not block) until it closes.
  bool ShowPage(const std::filesystem::path& page);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void StayAbove(QWidget* dialog);
};
