#include "shell/app/HelpWindow.h"

#include <QApplication>
#include <QEvent>
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
  // A window that is not the modal dialog's own would open behind it and
  // take no input while the dialog is up.
  StayAbove(QApplication::activeModalWidget());
  setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
  show();
  raise();
  activateWindow();
  return true;
}

void THelpWindow::StayAbove(QWidget* dialog) {
  if (dialog == this)
    dialog = nullptr;
  if (parentWidget() == dialog)
    return;
  if (parentWidget())
    parentWidget()->removeEventFilter(this);
  const QRect place = geometry();
  setParent(dialog, Qt::Window);
  setGeometry(place);
  if (dialog)
    dialog->installEventFilter(this);
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event) {
  // The dialog goes (a dialog hides before it is destroyed): the help stays
  // up as a window of its own, and the program keeps owning it.
  if (watched == parentWidget() && event->type() == QEvent::Hide) {
    const bool shown = isVisible();
    StayAbove(nullptr);
    if (shown)
      show();
  }
  return QTextBrowser::eventFilter(watched, event);
}
