#pragma once

// The message layer: numbered commands and private messages dispatched
// through ordered, static response tables, on top of Qt's event loop.
//
// A class that receives messages derives from TEventHandler and gives its
// table in a static ResponseTable() that names its base's table:
//
//   const TResponseTable& TFoo::ResponseTable() {
//     static constexpr TResponseEntry entries[] = {
//         Response::Command<&TFoo::CmStart>(CM_START),
//         Response::Enabler<&TFoo::CmStartEnable>(CM_START),
//         Response::Message<&TFoo::EvGetIsStart>(WM_GET_IS_START),
//     };
//     static const TResponseTable table{entries, &TBase::ResponseTable()};
//     return table;
//   }
//   const TResponseTable& TFoo::GetResponseTable() const { return ResponseTable(); }
//
// Lookups search the class's entries in order, then its base's: the first
// match wins.

#include "platform/framework/CommandEnabler.h"
#include "platform/framework/WindowMessages.h"

#include <functional>
#include <memory>
#include <span>
#include <type_traits>

class QObject;
class TEventHandler;

struct TResponseEntry {
  enum class TKind : unsigned char { Command, Enabler, Message };
  using TInvoke = TResult (*)(TEventHandler&, TParam1, TParam2);

  TKind Kind;
  unsigned Id;
  TInvoke Invoke;
};

struct TResponseTable {
  std::span<const TResponseEntry> Entries;
  const TResponseTable* Base = nullptr;

  // The first entry of this kind and id, here or in a base table.
  const TResponseEntry* Find(TResponseEntry::TKind kind, unsigned id) const;
};

class TEventHandler {
public:
  TEventHandler();
  virtual ~TEventHandler();
  TEventHandler(const TEventHandler&) = delete;
  TEventHandler& operator=(const TEventHandler&) = delete;

  static const TResponseTable& ResponseTable();
  virtual const TResponseTable& GetResponseTable() const { return ResponseTable(); }

  // Delivers one message through the response table. WM_COMMAND is matched
  // against the command entries by the id in the low word of wParam.
  // `handled` tells whether an entry took it; the answer is the handler's.
  TResult Dispatch(unsigned msg, TParam1 wParam, TParam2 lParam, bool* handled = nullptr);

  // Runs the command's handler when this table has one.
  bool DispatchCommand(unsigned id);
  // Asks this table's enabler of the command; false when it has none.
  bool DispatchEnable(TCommandEnabler& enabler);
  bool HandlesCommand(unsigned id) const;

  // Queues a message for this handler; it is dispatched once the current
  // handler has returned to the event loop. Pending messages are dropped
  // when the handler is destroyed.
  void Post(unsigned msg, TParam1 wParam, TParam2 lParam);

protected:
  // What an unhandled message answers.
  virtual TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2 lParam);

private:
  friend class TEventHandlerPtr;

  std::unique_ptr<QObject> Mailbox;
  // Points at this handler while it lives; cleared by the destructor, so
  // that every TEventHandlerPtr to it reads null afterwards.
  std::shared_ptr<TEventHandler*> Alive;
};

// A pointer to a handler that becomes null when the handler is destroyed.
// The system keeps the window to notify in statics (the instrument link's
// `pThis`); a window that closes while one still names it must not leave a
// dangling pointer behind.
class TEventHandlerPtr {
public:
  TEventHandlerPtr() = default;
  TEventHandlerPtr(std::nullptr_t) {}
  TEventHandlerPtr(TEventHandler* handler) : Cell(handler ? handler->Alive : nullptr) {}

  TEventHandler* Get() const { return Cell ? *Cell : nullptr; }
  operator TEventHandler*() const { return Get(); }
  TEventHandler* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }

private:
  std::shared_ptr<TEventHandler*> Cell;
};

// Dispatches at once and returns the handler's answer; 0 for no target.
TResult SendMessage(TEventHandler* target, unsigned msg, TParam1 wParam = 0, TParam2 lParam = 0);
// Queues the message; false for no target.
bool PostMessage(TEventHandler* target, unsigned msg, TParam1 wParam = 0, TParam2 lParam = 0);

namespace Response {

namespace Detail {

template <class> struct MemberOf;
template <class R, class C, class... A> struct MemberOf<R (C::*)(A...)> { using Type = C; };
template <class R, class C, class... A> struct MemberOf<R (C::*)(A...) const> { using Type = C; };
template <class R, class C, class... A> struct MemberOf<R (C::*)(A...) noexcept> { using Type = C; };
template <class R, class C, class... A> struct MemberOf<R (C::*)(A...) const noexcept> { using Type = C; };

template <auto Handler>
using Owner = typename MemberOf<decltype(Handler)>::Type;

template <auto Handler>
Owner<Handler>& Self(TEventHandler& handler) {
  static_assert(std::is_base_of_v<TEventHandler, Owner<Handler>>,
                "a response table names members of a TEventHandler");
  return static_cast<Owner<Handler>&>(handler);
}

}  // namespace Detail

// A command handler: void Cm...() or void Cm...(unsigned id).
template <auto Handler>
constexpr TResponseEntry Command(unsigned id) {
  return {TResponseEntry::TKind::Command, id, [](TEventHandler& h, TParam1 p1, TParam2) -> TResult {
            auto& self = Detail::Self<Handler>(h);
            if constexpr (std::is_invocable_v<decltype(Handler), decltype(self), unsigned>)
              std::invoke(Handler, self, CommandId(p1));
            else
              std::invoke(Handler, self);
            return 0;
          }};
}

// A command enabler: void Cm...Enable(TCommandEnabler&).
template <auto Handler>
constexpr TResponseEntry Enabler(unsigned id) {
  return {TResponseEntry::TKind::Enabler, id, [](TEventHandler& h, TParam1, TParam2 p2) -> TResult {
            std::invoke(Handler, Detail::Self<Handler>(h), *reinterpret_cast<TCommandEnabler*>(p2));
            return 0;
          }};
}

// A message handler: TResult Ev...(TParam1, TParam2), void Ev...(TParam1, TParam2),
// TResult Ev...() or void Ev...().
template <auto Handler>
constexpr TResponseEntry Message(unsigned msg) {
  return {TResponseEntry::TKind::Message, msg, [](TEventHandler& h, TParam1 p1, TParam2 p2) -> TResult {
            auto& self = Detail::Self<Handler>(h);
            using F = decltype(Handler);
            if constexpr (std::is_invocable_v<F, decltype(self), TParam1, TParam2>) {
              if constexpr (std::is_void_v<std::invoke_result_t<F, decltype(self), TParam1, TParam2>>) {
                std::invoke(Handler, self, p1, p2);
                return 0;
              } else {
                return static_cast<TResult>(std::invoke(Handler, self, p1, p2));
              }
            } else if constexpr (std::is_void_v<std::invoke_result_t<F, decltype(self)>>) {
              std::invoke(Handler, self);
              return 0;
            } else {
              return static_cast<TResult>(std::invoke(Handler, self));
            }
          }};
}

}  // namespace Response
