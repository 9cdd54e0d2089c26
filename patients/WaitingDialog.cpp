#include "patients/WaitingDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr short GaugeMaximum = 100;

}  // namespace

TWaitingDialog::TWaitingDialog(const std::string& caption, const std::string& line1, const std::string& line2,
                               QWidget* parent)
    : QDialog(parent),
      Line1(new QLabel(QString::fromStdString(line1), this)),
      Line2(new QLabel(QString::fromStdString(line2), this)),
      Gauge(new QProgressBar(this)) {
  setObjectName("20117");
  setWindowTitle(QString::fromStdString(caption));
  setModal(false);
  Line1->setObjectName(QString::number(Line1Id));
  Line2->setObjectName(QString::number(Line2Id));
  Gauge->setObjectName(QString::number(GaugeId));
  Gauge->setRange(0, GaugeMaximum);
  Gauge->setTextVisible(false);
  Gauge->setValue(0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Line1);
  layout->addWidget(Line2);
  layout->addWidget(Gauge);
  setMinimumWidth(360);
}

bool TWaitingDialog::Execute() {
  if (Closing)
    return false;
  show();
  Shown = isVisible();
  return Shown;
}

void TWaitingDialog::ModifyText(short line, const std::string& text) {
  if (!Shown)
    return;
  if (line == 1)
    Line1->setText(QString::fromStdString(text));
  else if (line == 2)
    Line2->setText(QString::fromStdString(text));
}

void TWaitingDialog::BringToTopAndPaint(bool processEvents) {
  raise();
  if (processEvents)
    QCoreApplication::processEvents();
}

void TWaitingDialog::ShowValue() { Gauge->setValue(std::clamp<int>(Value, 0, GaugeMaximum)); }

void TWaitingDialog::UpdateGauge(short value) {
  if (!Shown)
    return;
  Value = value;
  ShowValue();
  BringToTopAndPaint(true);
}

void TWaitingDialog::SetStep(short step) {
  if (!Shown)
    return;
  Step = step;
  BringToTopAndPaint(false);
}

void TWaitingDialog::DoOneStep() {
  if (!Shown)
    return;
  Value = static_cast<short>(Value + Step);
  if (Value > GaugeMaximum)
    Value = static_cast<short>(Value - GaugeMaximum);
  ShowValue();
  BringToTopAndPaint(true);
}

void TWaitingDialog::ResetGauge() {
  if (!Shown)
    return;
  Value = 0;
  ShowValue();
  BringToTopAndPaint(true);
}

void TWaitingDialog::Destroy(int code) {
  if (code == 1 || code == 2 || !Shown)
    return;
  Closing = true;
  Shown = false;
  QDialog::done(code);
}

void TWaitingDialog::done(int code) {
  // Enter and Esc arrive here as the dialog's accept and reject.
  if (Closing)
    QDialog::done(code);
}

void TWaitingDialog::closeEvent(QCloseEvent* event) {
  if (Closing)
    event->accept();
  else
    event->ignore();
}

