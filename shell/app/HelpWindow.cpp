#include "shell/app/HelpWindow.h"

#include <QUrl>

#include <system_error>

THelpWindow::THelpWindow(const QString& caption) {
  setObjectName("HelpWindow");
  setWindowTitle(caption);
  setOpenLinks(true);
  resize(640, 720);
}

bool THelpWindow::ShowPage(const std::filesystem::path& page) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(page, ec))
    return false;
  setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
  show();
  raise();
  activateWindow();
  return true;
}
