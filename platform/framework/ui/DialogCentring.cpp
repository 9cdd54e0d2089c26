#include "platform/framework/ui/DialogCentring.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

namespace {

const QWidget* MainWindowOf(const QWidget& dialog) {
  if (const QWidget* parent = dialog.parentWidget())
    return parent->window();
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<QMainWindow*>(widget) && widget->isVisible())
      return widget;
  return nullptr;
}

// The dialog's size with its frame. Before the window system has framed it,
// a dialog's frame is taken to be as wide as the main window's.
QSize FrameSize(const QWidget& dialog, const QWidget* mainWindow) {
  const QSize frame = dialog.frameGeometry().size();
  if (frame != dialog.size() || !mainWindow)
    return frame;
  return frame + (mainWindow->frameGeometry().size() - mainWindow->size());
}

class TCentreOnShow final : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show)
      if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow())
        CenterDialogOverMainWindow(*widget);
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

TCentredGeometry CentreInMainWindow(QSize dialog, QSize mainWindow) {
  const int dw = dialog.width(), dh = dialog.height();
  const int mw = mainWindow.width(), mh = mainWindow.height();
  // Each edge is half the difference (or sum) of the sizes, rounded toward
  // zero: an odd difference puts the extra pixel right and below.
  const int left = (mw - dw) / 2, top = (mh - dh) / 2;
  const int right = (mw + dw) / 2, bottom = (mh + dh) / 2;
  return {left, top, right - left, bottom - top};
}

void CenterDialogOverMainWindow(QWidget& dialog) {
  const QWidget* mainWindow = MainWindowOf(dialog);
  const QSize frame = FrameSize(dialog, mainWindow);
  QSize mainSize = frame;
  if (mainWindow)
    mainSize = mainWindow->frameGeometry().size();
  else if (const QScreen* screen = QGuiApplication::primaryScreen())
    mainSize = screen->geometry().size();
  const TCentredGeometry g = CentreInMainWindow(frame, mainSize);
  dialog.move(g.Left, g.Top);
  // The frame keeps its margins; only a lost pixel of rounding changes the size.
  if (g.Width != frame.width() || g.Height != frame.height())
    dialog.resize(dialog.width() + g.Width - frame.width(), dialog.height() + g.Height - frame.height());
}

void CenterOnShow(QWidget& dialog) { dialog.installEventFilter(new TCentreOnShow(&dialog)); }
