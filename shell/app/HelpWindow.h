#pragma once

// The window that shows the help pages.

#include <QTextBrowser>

#include <filesystem>

class THelpWindow final : public QTextBrowser {
public:
  explicit THelpWindow(const QString& caption);

  // Shows the page and brings the window up; false when the page is missing.
  bool ShowPage(const std::filesystem::path& page);
};
