#include "shell/app/ComponentBar.h"

#include "shell/app/CommandIcons.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ui/CommandActions.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QSlider>

TComponentBar::TComponentBar(const TBarLayout& layout, TEventHandler* owner, const TContext& context, QWidget* parent)
    : QToolBar(parent), BarLayout(layout), Owner(owner), Context(context) {
  setObjectName(QString("bar%1").arg(layout.CaptionText));
  if (Context.Texts)
    setWindowTitle(QString::fromStdString(Context.Texts->LoadStringA(layout.CaptionText)).remove('&'));
  setIconSize(QSize(24, 24));
  setFloatable(false);
  Build();
}

bool TComponentBar::SendsToOwner(unsigned id) {
  switch (id) {
  case CM_PREPOST:
  case CM_CAKE:
  case CM_GRID:
  case CM_MICROPHONE:
  case CM_NORMREL:
  case CM_PREDICTED:
  case CM_TABLE1:
  case CM_TABLE2:
  case CM_TABLE3:
  case CM_ALGORITHM1:
  case CM_ALGORITHM2:
  case CM_ALGORITHM3:
  case CM_SIGNAL_MODE1:
  case CM_SIGNAL_MODE2:
  case CM_SIGNAL_MODE3:
    return true;
  default:
    return false;
  }
}

QAction* TComponentBar::Button(unsigned id) const {
  const auto it = Buttons.find(id);
  return it == Buttons.end() ? nullptr : it->second;
}

void TComponentBar::SetButtonDown(unsigned id, bool down) {
  if (QAction* action = Button(id))
    action->setChecked(down);
}

bool TComponentBar::IsButtonDown(unsigned id) const {
  const QAction* action = Button(id);
  return action && action->isChecked();
}

void TComponentBar::Rebuild(const TBarLayout& layout) {
  BarLayout = layout;
  clear();
  Buttons.clear();
  VolumeSlider = nullptr;
  Build();
}

void TComponentBar::Build() {
  // Each run of exclusive buttons is a group of its own.
  QActionGroup* exclusive = nullptr;
  for (const TBarGadget& g : BarLayout.Gadgets) {
    if (g.Kind != TBarGadget::TKind::Button || g.Type != TBarGadget::Exclusive)
      exclusive = nullptr;
    switch (g.Kind) {
    case TBarGadget::TKind::Separator:
    case TBarGadget::TKind::Spacer: {
      auto* gap = new QWidget(this);
      gap->setFixedWidth(g.Size);
      addWidget(gap);
      break;
    }
    case TBarGadget::TKind::Text: {
      const std::string text =
          g.TextNumber >= 0 && Context.Texts ? Context.Texts->LoadStringA(g.TextNumber) : g.Text;
      auto* label = new QLabel(QString::fromStdString(text), this);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setMinimumWidth(label->fontMetrics().averageCharWidth() * g.Size + 6);
      addWidget(label);
      break;
    }
    case TBarGadget::TKind::Slider: {
      VolumeSlider = new QSlider(Qt::Horizontal, this);
      VolumeSlider->setObjectName(QString::number(g.Id));
      VolumeSlider->setRange(0, 100);
      VolumeSlider->setTickInterval(10);
      VolumeSlider->setTickPosition(QSlider::TicksBelow);
      VolumeSlider->setFixedSize(145, 30);
      VolumeSlider->setValue(g.Position);
      // Every move tells the window, which reads the position itself.
      connect(VolumeSlider, &QSlider::valueChanged, this, [this, id = g.Id] {
        if (TEventHandler* owner = Owner.Get())
          SendMessage(owner, WM_COMMAND, id, 0);
      });
      addWidget(VolumeSlider);
      break;
    }
    case TBarGadget::TKind::Button: {
      const std::optional<std::string> tip = Context.Tip ? Context.Tip(g.Id) : std::nullopt;
      const QString name = tip ? QString::fromStdString(*tip).remove('&') : QString();
      QAction* action = addAction(CommandIcon(g.Id, g.Bitmap, name), name.isEmpty() ? QString::number(g.Id) : name);
      action->setObjectName(QString::number(g.Id));
      if (g.Type != TBarGadget::Command) {
        action->setCheckable(true);
        action->setChecked(g.Down);
      }
      if (g.Type == TBarGadget::Exclusive) {
        if (!exclusive)
          exclusive = new QActionGroup(this);
        exclusive->addAction(action);
      }
      if (tip)
        action->setToolTip(name);
      const unsigned id = g.Id;
      const int type = g.Type;
      if (Context.Actions && (SendsToOwner(id) || type == TBarGadget::Toggle))
        Context.Actions->BindOwned(action, id, [this, id, type](bool checked) { Press(id, type, checked); });
      else if (Context.Actions)
        Context.Actions->Bind(action, id);
      if (g.CreatedEnabled)
        action->setEnabled(true);
      Buttons[id] = action;
      break;
    }
    }
  }
}

void TComponentBar::Press(unsigned id, int type, bool checked) {
  TEventHandler* owner = Owner.Get();
  if (type == TBarGadget::Toggle && Context.HelpMode && Context.HelpMode()) {
    SetButtonDown(id, !checked);  // no press in context-help mode
    if (owner)
      SendMessage(owner, WM_ASK_HELP_CONTEXT, id, 0);
    return;
  }
  if (!owner || !SendsToOwner(id))
    return;
  const bool toggles = type == TBarGadget::Toggle;
  if (!toggles || checked)
    SendMessage(owner, id, 0, 0);
}
