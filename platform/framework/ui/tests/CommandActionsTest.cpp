#include "platform/framework/ui/CommandActions.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

constexpr unsigned CM_ENABLED = 4001;
constexpr unsigned CM_DISABLED = 4002;
constexpr unsigned CM_TOGGLE = 4003;
constexpr unsigned CM_NOBODY = 4004;

class TTarget : public TEventHandler {
public:
  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void CmEnabled() { ++Runs; }
  void CmDisabled() { ++Runs; }
  void CmDisabledEnable(TCommandEnabler& ce) { ce.Enable(false); }
  void CmToggle() { On = !On; }
  void CmToggleEnable(TCommandEnabler& ce) {
    ce.SetCheck(On ? TCommandEnabler::Checked : TCommandEnabler::Unchecked);
    if (On)
      ce.SetText("Toggle – on");
  }

  int Runs = 0;
  bool On = false;
};

const TResponseTable& TTarget::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TTarget::CmEnabled>(CM_ENABLED),
      Response::Command<&TTarget::CmDisabled>(CM_DISABLED),
      Response::Enabler<&TTarget::CmDisabledEnable>(CM_DISABLED),
      Response::Command<&TTarget::CmToggle>(CM_TOGGLE),
      Response::Enabler<&TTarget::CmToggleEnable>(CM_TOGGLE),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TEST(CommandActions, MenuItemsShowWhatTheEnablersAnswer) {
  TTarget target;
  TCommandActions actions(TCommandChain([&] { return std::vector<TEventHandler*>{&target}; }), nullptr);
  QMenu menu;
  QAction* enabled = menu.addAction("Enabled");
  QAction* disabled = menu.addAction("Disabled");
  QAction* toggle = menu.addAction("Toggle");
  QAction* nobody = menu.addAction("Nobody");
  toggle->setCheckable(true);
  actions.Bind(enabled, CM_ENABLED);
  actions.Bind(disabled, CM_DISABLED);
  actions.Bind(toggle, CM_TOGGLE);
  actions.Bind(nobody, CM_NOBODY);
  actions.Watch(&menu);

  EXPECT_TRUE(enabled->isEnabled());
  EXPECT_FALSE(disabled->isEnabled());
  EXPECT_FALSE(nobody->isEnabled());
  EXPECT_FALSE(toggle->isChecked());

  toggle->trigger();  // routes the command, and the enabler is asked again when idle
  EXPECT_TRUE(target.On);
  target.On = false;  // the window changes its state behind the menu's back
  emit menu.aboutToShow();
  EXPECT_FALSE(toggle->isChecked());
  target.On = true;
  QCoreApplication::processEvents();  // nothing scheduled: no idle update
  actions.ScheduleUpdate();
  QCoreApplication::processEvents();
  EXPECT_TRUE(toggle->isChecked());
  EXPECT_EQ(toggle->text(), QString::fromUtf8("Toggle – on"));  // the enabler's caption
  EXPECT_EQ(enabled->text(), "Enabled");                          // untouched without one

  enabled->trigger();
  EXPECT_EQ(target.Runs, 1);
  EXPECT_EQ(TCommandActions::CommandOf(enabled), CM_ENABLED);
}

}  // namespace
