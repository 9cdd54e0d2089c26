#pragma once

// The main window: the MDI frame around the client, with the main menu and
// the tool bars. It closes on CM_EXIT, and only when the application agrees.

#include "platform/framework/EventHandler.h"

#include <QMainWindow>

#include <functional>

class TMainFrame final : public QMainWindow, public TEventHandler {
public:
  using TCanClose = std::function<bool()>;

  TMainFrame(const QString& caption, QWidget* client, TCanClose canClose);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void CmExit();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  TCanClose CanClose;
};
