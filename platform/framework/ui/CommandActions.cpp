#include "platform/framework/ui/CommandActions.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace {
constexpr const char* CommandProperty = "halvetraCommand";
constexpr const char* OwnCheckProperty = "halvetraOwnCheck";

bool IsInput(QEvent::Type type) {
  switch (type) {
  case QEvent::KeyRelease:
  case QEvent::MouseButtonRelease:
  case QEvent::Wheel:
  case QEvent::FocusIn:
  case QEvent::WindowActivate:
    return true;
  default:
    return false;
  }
}
}  // namespace

TCommandActions::TCommandActions(TCommandChain chain, QObject* parent)
    : QObject(parent), CommandChain(std::move(chain)), IdleTimer(new QTimer(this)) {
  IdleTimer->setSingleShot(true);
  IdleTimer->setInterval(0);
  connect(IdleTimer, &QTimer::timeout, this, &TCommandActions::UpdateAll);
  if (QCoreApplication::instance())
    QCoreApplication::instance()->installEventFilter(this);
}

unsigned TCommandActions::CommandOf(const QAction* action) {
  return action ? action->property(CommandProperty).toUInt() : 0;
}

void TCommandActions::Bind(QAction* action, unsigned id) {
  action->setProperty(CommandProperty, id);
  Actions.emplace_back(action);
  connect(action, &QAction::triggered, this, [this, id] {
    CommandChain.Route(id);
    ScheduleUpdate();
  });
  Update(action);
}

void TCommandActions::BindOwned(QAction* action, unsigned id, std::function<void(bool)> trigger) {
  action->setProperty(CommandProperty, id);
  action->setProperty(OwnCheckProperty, true);
  Actions.emplace_back(action);
  connect(action, &QAction::triggered, this, [this, trigger = std::move(trigger)](bool checked) {
    trigger(checked);
    ScheduleUpdate();
  });
  Update(action);
}

void TCommandActions::Watch(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    for (QAction* action : menu->actions())
      if (CommandOf(action) != 0)
        Update(action);
  });
}

void TCommandActions::UpdateAll() {
  std::erase_if(Actions, [](const QPointer<QAction>& action) { return action.isNull(); });
  for (const QPointer<QAction>& action : Actions)
    Update(action);
}

void TCommandActions::ScheduleUpdate() {
  if (!IdleTimer->isActive())
    IdleTimer->start();
}

void TCommandActions::Update(QAction* action) const {
  TCommandEnabler enabler(CommandOf(action));
  CommandChain.Enable(enabler);
  action->setEnabled(enabler.GetEnabled());
  if (action->isCheckable() && (enabler.IsCheckGiven() || !action->property(OwnCheckProperty).toBool()))
    action->setChecked(enabler.GetCheck() == TCommandEnabler::Checked);
  if (enabler.GetText())
    action->setText(QString::fromStdString(*enabler.GetText()));
}

bool TCommandActions::eventFilter(QObject* watched, QEvent* event) {
  if (IsInput(event->type()))
    ScheduleUpdate();
  return QObject::eventFilter(watched, event);
}
