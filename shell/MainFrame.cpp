#include "shell/MainFrame.h"

#include "common/CommandNumbers.h"

#include <QCloseEvent>
#include <QIcon>

TMainFrame::TMainFrame(const QString& caption, QWidget* client, TCanClose canClose) : CanClose(std::move(canClose)) {
  setObjectName("MainFrame");
  setWindowTitle(caption);
  QIcon icon;
  icon.addFile(":/icons/1001-32.png");
  icon.addFile(":/icons/1001-64.png");
  setWindowIcon(icon);
  setCentralWidget(client);
}

const TResponseTable& TMainFrame::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TMainFrame::CmExit>(CM_EXIT),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TMainFrame::CmExit() { close(); }

void TMainFrame::closeEvent(QCloseEvent* event) {
  if (CanClose && !CanClose())
    event->ignore();
  else
    QMainWindow::closeEvent(event);
}
