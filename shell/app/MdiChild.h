#pragma once

// The MDI child frame that holds every component window (patient sheet,
// measurement, note, audiometer, trend, provocation). Each time it becomes
// the active child it tells the client with WM_CHILD_ACTIVATED, so the
// client can swap the tool bars and menus.

#include "platform/framework/EventHandler.h"

#include <QMdiSubWindow>

class THalvetraMDIClient;

class THalvetraMDIChild final : public QMdiSubWindow, public TEventHandler {
public:
  // The component window becomes the frame's client; with `shrinkToClient`
  // the frame takes the size that shows the component whole. A frame smaller than its
  // component's layout needs shows scroll bars inside it, so a frame never
  // has to outgrow the client area.
  THalvetraMDIChild(THalvetraMDIClient& client, const QString& caption, QWidget* component, bool shrinkToClient);
  // Tells the client with WM_MDIDESTROY (wParam: this frame) while it still holds its component.
  ~THalvetraMDIChild() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // wParam: the frame being activated; lParam: the one losing activation.
  // Sends WM_CHILD_ACTIVATED to the client with wParam the activated frame
  // (a THalvetraMDIChild*).
  void EvMDIActivate(TParam1 activated, TParam2 deactivated);

  // The frame's own menu, above its component window; the frame owns it.
  void SetMenu(class QMenuBar* bar);

  // A frame the user may not close (no close button, and a close the user
  // asks for is refused); the program still closes it.
  void SetUserClosable(bool closable);
  bool CloseByProgram();
  // The component window the frame holds (inside the frame's scroll area).
  QWidget* Component() const { return Held; }
  // The frame's size that shows its component whole, without scroll bars.
  QSize WholeSize();
  // What the frame adds around its component (title bar and borders);
  // measured once the frame is shown, estimated before.
  QSize Chrome();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  THalvetraMDIClient& Client;
  QWidget* Held = nullptr;
  bool UserClosable = true;
  bool ClosingByProgram = false;
};
