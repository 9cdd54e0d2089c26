#pragma once

// The main window: the MDI frame around the client, with the main menu and
// the tool bars. It closes on CM_EXIT, and only when the application agrees.
// The help that dialogs ask of the main window, and whether context help
// is on, go on to the application.

#include "platform/framework/EventHandler.h"

#include <QMainWindow>

#include <functional>

class TMainFrame final : public QMainWindow, public TEventHandler {
public:
  using TCanClose = std::function<bool()>;

  TMainFrame(const QString& caption, QWidget* client, TCanClose canClose, TEventHandler* application = nullptr);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void CmExit();
  TResult EvShowHelp(TParam1 id, TParam2);
  TResult EvGetHelpMode();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  TCanClose CanClose;
  TEventHandler* Application;
};
