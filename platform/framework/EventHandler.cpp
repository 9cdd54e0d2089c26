#include "platform/framework/EventHandler.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class TPostedMessage final : public QEvent {
public:
  TPostedMessage(unsigned msg, TParam1 wParam, TParam2 lParam)
      : QEvent(PostedMessageType), Msg(msg), WParam(wParam), LParam(lParam) {}
  const unsigned Msg;
  const TParam1 WParam;
  const TParam2 LParam;
};

// The Qt object that receives a handler's posted messages. Qt discards the
// events still queued for an object when it is deleted, which is what makes
// a message posted to a destroyed window harmless.
class TMailbox final : public QObject {
public:
  explicit TMailbox(TEventHandler& owner) : Owner(owner) {}

protected:
  void customEvent(QEvent* event) override {
    if (event->type() != PostedMessageType)
      return;
    const auto& posted = static_cast<const TPostedMessage&>(*event);
    Owner.Dispatch(posted.Msg, posted.WParam, posted.LParam);
  }

private:
  TEventHandler& Owner;
};

}  // namespace

const TResponseEntry* TResponseTable::Find(TResponseEntry::TKind kind, unsigned id) const {
  for (const TResponseTable* table = this; table; table = table->Base)
    for (const TResponseEntry& entry : table->Entries)
      if (entry.Kind == kind && entry.Id == id)
        return &entry;
  return nullptr;
}

TEventHandler::TEventHandler()
    : Mailbox(std::make_unique<TMailbox>(*this)), Alive(std::make_shared<TEventHandler*>(this)) {}

TEventHandler::~TEventHandler() { *Alive = nullptr; }

const TResponseTable& TEventHandler::ResponseTable() {
  static const TResponseTable table{};
  return table;
}

TResult TEventHandler::Dispatch(unsigned msg, TParam1 wParam, TParam2 lParam, bool* handled) {
  const bool isCommand = msg == WM_COMMAND;
  const auto kind = isCommand ? TResponseEntry::TKind::Command : TResponseEntry::TKind::Message;
  const unsigned id = isCommand ? CommandId(wParam) : msg;
  const TResponseEntry* entry = GetResponseTable().Find(kind, id);
  if (handled)
    *handled = entry != nullptr;
  if (!entry)
    return DefaultProcessing(msg, wParam, lParam);
  return entry->Invoke(*this, wParam, lParam);
}

bool TEventHandler::DispatchCommand(unsigned id) {
  bool handled = false;
  Dispatch(WM_COMMAND, id, 0, &handled);
  return handled;
}

bool TEventHandler::DispatchEnable(TCommandEnabler& enabler) {
  const TResponseEntry* entry = GetResponseTable().Find(TResponseEntry::TKind::Enabler, enabler.GetId());
  if (!entry)
    return false;
  entry->Invoke(*this, enabler.GetId(), reinterpret_cast<TParam2>(&enabler));
  return true;
}

bool TEventHandler::HandlesCommand(unsigned id) const {
  return GetResponseTable().Find(TResponseEntry::TKind::Command, id) != nullptr;
}

void TEventHandler::Post(unsigned msg, TParam1 wParam, TParam2 lParam) {
  // Qt takes ownership of the event.
  QCoreApplication::postEvent(Mailbox.get(), new TPostedMessage(msg, wParam, lParam));
}

TResult TEventHandler::DefaultProcessing(unsigned, TParam1, TParam2) { return 0; }

TResult SendMessage(TEventHandler* target, unsigned msg, TParam1 wParam, TParam2 lParam) {
  return target ? target->Dispatch(msg, wParam, lParam) : 0;
}

bool PostMessage(TEventHandler* target, unsigned msg, TParam1 wParam, TParam2 lParam) {
  if (!target)
    return false;
  target->Post(msg, wParam, lParam);
  return true;
}
