#include "shell/app/MdiChild.h"

#include "common/CommandNumbers.h"
#include "shell/app/MdiClient.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>

THalvetraMDIChild::THalvetraMDIChild(THalvetraMDIClient& client, const QString& caption, QWidget* component,
                                     bool shrinkToClient)
    : Client(client) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(caption);
  Held = component;
  auto* scroller = new QScrollArea;
  scroller->setObjectName("ComponentScroller");
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  scroller->setWidget(component);
  setWidget(scroller);
  if (shrinkToClient && component)
    resize(WholeSize());
  // The client passes on WM_MDIACTIVATE once this frame is the active one.
}

QSize THalvetraMDIChild::WholeSize() {
  const auto* scroller = qobject_cast<const QScrollArea*>(widget());
  if (!Held || !scroller)
    return sizeHint();
  // The test windows fix their size (or resize to it) from the screen's
  // scale; a window that did neither gives its hint.
  const QSize component =
      (Held->testAttribute(Qt::WA_Resized) ? Held->size() : Held->sizeHint()).expandedTo(Held->minimumSize());
  return component + Chrome();
}

QSize THalvetraMDIChild::Chrome() {
  const auto* scroller = qobject_cast<const QScrollArea*>(widget());
  if (!scroller)
    return QSize(0, 0);
  if (!isVisible()) {
    // A first guess: the title bar and borders are what the frame's hint
    // adds to its scroll area's.
    return (sizeHint() - scroller->sizeHint()).expandedTo(QSize(0, 0));
  }
  // Shown, the frame measures it: its size less the view of its scroll
  // area, the room of the scroll bars it shows included.
  if (layout())
    layout()->activate();
  QSize view = scroller->viewport()->size();
  if (scroller->verticalScrollBar()->isVisible())
    view.rwidth() += scroller->verticalScrollBar()->width();
  if (scroller->horizontalScrollBar()->isVisible())
    view.rheight() += scroller->horizontalScrollBar()->height();
  return size() - view;
}

THalvetraMDIChild::~THalvetraMDIChild() { SendMessage(&Client, WM_MDIDESTROY, reinterpret_cast<TParam1>(this), 0); }

const TResponseTable& THalvetraMDIChild::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Message<&THalvetraMDIChild::EvMDIActivate>(WM_MDIACTIVATE),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void THalvetraMDIChild::EvMDIActivate(TParam1 activated, TParam2) {
  SendMessage(&Client, WM_CHILD_ACTIVATED, activated, 0);
}

void THalvetraMDIChild::SetMenu(QMenuBar* bar) {
  bar->setParent(this);
  layout()->setMenuBar(bar);
  bar->show();
}

void THalvetraMDIChild::SetUserClosable(bool closable) {
  UserClosable = closable;
  setWindowFlag(Qt::WindowCloseButtonHint, closable);
  setWindowFlag(Qt::WindowSystemMenuHint, closable);
}

bool THalvetraMDIChild::CloseByProgram() {
  ClosingByProgram = true;
  const bool closed = close();
  ClosingByProgram = false;
  return closed;
}

void THalvetraMDIChild::closeEvent(QCloseEvent* event) {
  if (!UserClosable && !ClosingByProgram) {
    event->ignore();
    return;
  }
  // The component decides next (a changed note, for one); it is a child of
  // the frame's scroll area, so the frame asks it.
  if (Held && Held->isVisible() && !Held->close()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}
