#include "platform/framework/CommandChain.h"
#include "platform/framework/EventHandler.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr unsigned CM_FIRST = 3001;
constexpr unsigned CM_SECOND = 3002;
constexpr unsigned CM_BASE_ONLY = 3003;
constexpr unsigned WM_ASK = 3100;
constexpr unsigned WM_CHAIN = 3101;

// Records what reached it, in order.
class TBase : public TEventHandler {
public:
  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void CmFirst() { Log.push_back("base first"); }
  void CmBaseOnly() { Log.push_back("base only"); }
  TResult EvAsk(TParam1 w, TParam2 l) { return static_cast<TResult>(w) * 100 + l; }
  void CmFirstEnable(TCommandEnabler& ce) { ce.Enable(false); }

  std::vector<std::string> Log;
};

const TResponseTable& TBase::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TBase::CmFirst>(CM_FIRST),
      Response::Command<&TBase::CmBaseOnly>(CM_BASE_ONLY),
      Response::Message<&TBase::EvAsk>(WM_ASK),
      Response::Enabler<&TBase::CmFirstEnable>(CM_FIRST),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

class TDerived : public TBase {
public:
  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void CmFirstA() { Log.push_back("derived first A"); }
  void CmFirstB() { Log.push_back("derived first B"); }
  void CmWithId(unsigned id) { Log.push_back("with id " + std::to_string(id)); }
  void CmFirstEnable(TCommandEnabler& ce) { ce.SetCheck(TCommandEnabler::Checked); }
  // Posts a message to itself, then goes on working; the posted message
  // must arrive after this handler has returned.
  void EvChain() {
    PostMessage(this, WM_ASK, 1, 2);
    Post(WM_CHAIN + 1, 0, 0);
    Log.push_back("chain handler ends");
  }
  void EvPosted() { Log.push_back("posted arrived"); }
  // A question without parameters still answers.
  TResult EvLogSize() { return static_cast<TResult>(Log.size()); }

  int Destroyed = 0;
};

const TResponseTable& TDerived::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TDerived::CmFirstA>(CM_FIRST),
      Response::Command<&TDerived::CmFirstB>(CM_FIRST),  // never reached: the first match wins
      Response::Command<&TDerived::CmWithId>(CM_SECOND),
      Response::Enabler<&TDerived::CmFirstEnable>(CM_FIRST),
      Response::Message<&TDerived::EvChain>(WM_CHAIN),
      Response::Message<&TDerived::EvPosted>(WM_CHAIN + 1),
      Response::Message<&TDerived::EvLogSize>(WM_CHAIN + 2),
  };
  static const TResponseTable table{entries, &TBase::ResponseTable()};
  return table;
}

void ProcessPosted() { QCoreApplication::sendPostedEvents(); }

TEST(EventHandler, SendAnswersSynchronouslyWithTheHandlersResult) {
  TDerived window;
  EXPECT_EQ(SendMessage(&window, WM_ASK, 7, 5), 705);
  EXPECT_EQ(SendMessage(nullptr, WM_ASK, 7, 5), 0);
  window.Log = {"one", "two"};
  EXPECT_EQ(SendMessage(&window, WM_CHAIN + 2), 2);
  bool handled = true;
  EXPECT_EQ(window.Dispatch(9999, 0, 0, &handled), 0);
  EXPECT_FALSE(handled);
}

TEST(EventHandler, FirstMatchingEntryWinsAndDerivedTableComesBeforeBase) {
  TDerived window;
  SendMessage(&window, WM_COMMAND, CM_FIRST);
  SendMessage(&window, WM_COMMAND, CM_BASE_ONLY);
  EXPECT_EQ(window.Log, (std::vector<std::string>{"derived first A", "base only"}));
}

TEST(EventHandler, CommandIdTravelsInTheLowWordOfWParam) {
  TDerived window;
  SendMessage(&window, WM_COMMAND, (1u << 16) | CM_SECOND);
  EXPECT_EQ(window.Log, std::vector<std::string>{"with id 3002"});
  // A private message with the same number as a command is another entry.
  bool handled = true;
  window.Dispatch(CM_SECOND, 0, 0, &handled);
  EXPECT_FALSE(handled);
}

TEST(EventHandler, PostedMessageArrivesAfterTheRunningHandler) {
  TDerived window;
  SendMessage(&window, WM_CHAIN);
  EXPECT_EQ(window.Log, std::vector<std::string>{"chain handler ends"});
  ProcessPosted();
  EXPECT_EQ(window.Log, (std::vector<std::string>{"chain handler ends", "posted arrived"}));
}

TEST(EventHandler, MessagePostedToADestroyedWindowIsDropped) {
  auto window = std::make_unique<TDerived>();
  PostMessage(window.get(), WM_CHAIN);
  window.reset();
  ProcessPosted();  // must not touch the destroyed window
  SUCCEED();
  EXPECT_FALSE(PostMessage(nullptr, WM_CHAIN));
}

TEST(EventHandler, WeakPointerReadsNullOnceItsHandlerIsGone) {
  auto window = std::make_unique<TDerived>();
  TEventHandlerPtr first = window.get();
  const TEventHandlerPtr copy = first;
  EXPECT_EQ(first.Get(), window.get());
  EXPECT_EQ(SendMessage(copy, WM_ASK, 3, 4), 304);

  window.reset();
  EXPECT_EQ(first.Get(), nullptr);
  EXPECT_EQ(copy.Get(), nullptr);
  EXPECT_FALSE(PostMessage(copy, WM_ASK));  // nothing to reach, nothing dangling
  EXPECT_EQ(SendMessage(first, WM_ASK, 3, 4), 0);

  first = nullptr;
  EXPECT_FALSE(first);
}

TEST(EventHandler, EnablerOfTheDerivedTableAnswers) {
  TDerived derived;
  TBase base;
  TCommandEnabler onDerived(CM_FIRST);
  ASSERT_TRUE(derived.DispatchEnable(onDerived));
  EXPECT_TRUE(onDerived.GetEnabled());
  EXPECT_EQ(onDerived.GetCheck(), TCommandEnabler::Checked);
  TCommandEnabler onBase(CM_FIRST);
  ASSERT_TRUE(base.DispatchEnable(onBase));
  EXPECT_FALSE(onBase.GetEnabled());
}

TEST(CommandChain, CommandReachesTheFirstTargetThatHandlesItAndNobodyElse) {
  TEventHandler empty;
  TDerived child;
  TBase client;
  const TCommandChain chain([&] { return std::vector<TEventHandler*>{&empty, nullptr, &client, &child}; });

  EXPECT_TRUE(chain.Route(CM_FIRST));
  EXPECT_EQ(client.Log, std::vector<std::string>{"base first"});
  EXPECT_TRUE(child.Log.empty());

  EXPECT_TRUE(chain.Route(CM_SECOND));
  EXPECT_EQ(child.Log, std::vector<std::string>{"with id 3002"});
  EXPECT_FALSE(chain.Route(9999));
}

TEST(CommandChain, FilterSeesEveryCommandFirstAndMayKeepItFromTheChain) {
  TBase client;
  std::vector<unsigned> filtered;
  bool consume = true;
  const TCommandChain chain([&] { return std::vector<TEventHandler*>{&client}; },
                            [&](unsigned id) {
                              filtered.push_back(id);
                              return consume;
                            });

  EXPECT_TRUE(chain.Route(CM_FIRST));  // taken by the filter, even though nobody else runs
  EXPECT_TRUE(client.Log.empty());
  consume = false;
  EXPECT_TRUE(chain.Route(CM_FIRST));
  EXPECT_EQ(client.Log, std::vector<std::string>{"base first"});
  EXPECT_FALSE(chain.Route(9999));
  EXPECT_EQ(filtered, (std::vector<unsigned>{CM_FIRST, CM_FIRST, 9999}));
}

TEST(CommandChain, EnablerDecidesElseAHandlerEnables) {
  TDerived child;
  TBase client;
  const TCommandChain chain([&] { return std::vector<TEventHandler*>{&child, &client}; });
  struct Case {
    unsigned id;
    bool enabled;
    int check;
  };
  for (const Case c : {Case{CM_FIRST, true, TCommandEnabler::Checked},  // child's enabler first
                       Case{CM_BASE_ONLY, true, TCommandEnabler::Unchecked},  // handler, no enabler
                       Case{9999, false, TCommandEnabler::Unchecked}}) {  // nobody handles it
    TCommandEnabler enabler(c.id);
    chain.Enable(enabler);
    EXPECT_EQ(enabler.GetEnabled(), c.enabled) << c.id;
    EXPECT_EQ(enabler.GetCheck(), c.check) << c.id;
  }
}

}  // namespace
