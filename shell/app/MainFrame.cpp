#include "shell/app/MainFrame.h"

#include "common/CommandNumbers.h"
#include "shell/app/CommandIcons.h"

#include <QCloseEvent>

TMainFrame::TMainFrame(const QString& caption, QWidget* client, TCanClose canClose, TEventHandler* application)
    : CanClose(std::move(canClose)), Application(application) {
  setObjectName("MainFrame");
  setWindowTitle(caption);
  setWindowIcon(ProgramIcon());
  setCentralWidget(client);
}

const TResponseTable& TMainFrame::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TMainFrame::CmExit>(CM_EXIT),
      Response::Message<&TMainFrame::EvShowHelp>(WM_SHOW_HELP),
      Response::Message<&TMainFrame::EvGetHelpMode>(WM_GET_HELP_MODE),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TMainFrame::CmExit() { close(); }

TResult TMainFrame::EvShowHelp(TParam1 id, TParam2) { return SendMessage(Application, WM_SHOW_HELP, id, 0); }
TResult TMainFrame::EvGetHelpMode() { return Application ? SendMessage(Application, WM_GET_HELP_MODE) : 0; }

void TMainFrame::closeEvent(QCloseEvent* event) {
  if (CanClose && !CanClose())
    event->ignore();
  else
    QMainWindow::closeEvent(event);
}
