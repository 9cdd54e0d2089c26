#include "shell/app/GreetingDialog.h"

#include "shell/settings/ProjectVersion.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/VersionBlock.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QProgressBar>
#include <QScreen>

TGreetingDialog::TGreetingDialog(const TProjectRCVersion& version) : Gauge(new QProgressBar(this)) {
  setObjectName("20100");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(false);
  setWindowTitle("Halvetra");
  setWindowIcon(ProgramIcon());

  std::string name, number;
  const std::string versionLine =
      version.GetProductName(name) && version.GetProductVersion(number) ? name + " v" + number : std::string();
  QBoxLayout* layout = LayOutVersionBlock(*this, TVersionTexts::Of(version, "Halvetra for Linux", versionLine), 1.6);

  Gauge->setObjectName("5450");
  Gauge->setRange(1, 100);
  Gauge->setValue(1);
  Gauge->setTextVisible(false);
  layout->addWidget(Gauge);
  setMinimumWidth(420);
}

void TGreetingDialog::SetProgress(int value) {
  Gauge->setValue(value);
  QCoreApplication::processEvents();
}

int TGreetingDialog::GetProgress() const { return Gauge->value(); }

void TGreetingDialog::Finish() {
  Finishing = true;
  QDialog::reject();
}

void TGreetingDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen, the left edge on a multiple of 8 pixels.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize area = screen->geometry().size();
    const QSize own = frameGeometry().size();
    move((((area.width() - own.width()) / 2 + 4) / 8) * 8, (area.height() - own.height()) / 2);
  }
}

void TGreetingDialog::closeEvent(QCloseEvent* event) {
  if (Finishing)
    event->accept();
  else
    event->ignore();
}
