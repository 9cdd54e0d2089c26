#include "patients/PatientUpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TPatientUpDown::TPatientUpDown(int maximum, QWidget* parent)
    : QWidget(parent), Up(new QToolButton(this)), Down(new QToolButton(this)), Maximum(maximum) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* button : {Up, Down}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(button);
  }
  Up->setArrowType(Qt::UpArrow);
  Down->setArrowType(Qt::DownArrow);
  connect(Up, &QToolButton::clicked, this, [this] { Step(1); });
  connect(Down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TPatientUpDown::SetPos(int position) { Position = std::clamp(position, 0, Maximum); }

void TPatientUpDown::Step(int delta) {
  if (OnDelta)
    OnDelta(delta);
}
