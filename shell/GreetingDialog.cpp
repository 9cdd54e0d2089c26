#include "shell/GreetingDialog.h"

#include "shell/ProjectVersion.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel* Text(QWidget* parent, int id, const QString& text = {}) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::number(id));
  return label;
}

}  // namespace

TGreetingDialog::TGreetingDialog(const TProjectRCVersion& version) : Gauge(new QProgressBar(this)) {
  setObjectName("20100");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(false);
  setWindowTitle("Halvetra");
  setWindowIcon(QIcon(":/icons/1001-64.png"));

  auto* icon = Text(this, 1001);
  icon->setPixmap(QPixmap(":/icons/1001-64.png"));
  icon->setAlignment(Qt::AlignTop);

  QLabel* title = Text(this, 22004, "Halvetra for Linux");
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
  titleFont.setBold(true);
  title->setFont(titleFont);

  QLabel* versionLine = Text(this, 22001);
  QLabel* legal = Text(this, 22002);
  QLabel* special = Text(this, 22003);
  std::string name, number, text;
  if (version.GetProductName(name) && version.GetProductVersion(number))
    versionLine->setText(QString::fromStdString(name + " v" + number));
  if (version.GetLegalNotice(text))
    legal->setText(QString::fromStdString(text));
  if (version.GetSpecialBuild(text))
    special->setText(QString::fromStdString(text));

  Gauge->setObjectName("5450");
  Gauge->setRange(1, 100);
  Gauge->setValue(1);
  Gauge->setTextVisible(false);

  auto* texts = new QVBoxLayout;
  for (QLabel* label : {title, versionLine, legal, special})
    texts->addWidget(label);
  texts->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
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
