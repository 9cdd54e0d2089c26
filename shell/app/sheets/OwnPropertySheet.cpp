#include "shell/app/sheets/OwnPropertySheet.h"

#include "patients/DialogParts.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TOwnPropertySheet::TOwnPropertySheet(const TMessage& texts, QWidget* parent, int titleText, int helpId)
    : QDialog(parent), Pages(new QTabWidget(this)) {
  setWindowTitle(DialogParts::Caption(texts, titleText));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addWidget(DialogParts::Buttons(*this, texts, helpId, true).Box);
  connect(Pages, &QTabWidget::currentChanged, this, [this](int index) { PageChanged(index); });
}

void TOwnPropertySheet::AddPage(TPropertyPage* page, const QString& title) { Pages->addTab(page, title); }

TPropertyPage* TOwnPropertySheet::Page(int index) const { return static_cast<TPropertyPage*>(Pages->widget(index)); }

QPoint TOwnPropertySheet::CentredOn(QSize screen, QSize sheet) {
  const int x = ((screen.width() - sheet.width()) / 2 + 4) / 8 * 8;
  const int y = (screen.height() - sheet.height()) / 2;
  return {x, y};
}

void TOwnPropertySheet::PageChanged(int index) {
  if (TPropertyPage* left = Current >= 0 && Current != index ? Page(Current) : nullptr; left && left->IsSetUp())
    left->KillActive();
  Current = index;
  if (TPropertyPage* page = index >= 0 ? Page(index) : nullptr)
    page->EnsureSetUp();
}

void TOwnPropertySheet::accept() {
  // The page the user confirms on hands over what it holds, as leaving it would.
  if (TPropertyPage* page = Page(Pages->currentIndex()); page && page->IsSetUp())
    page->KillActive();
  QDialog::accept();
}

void TOwnPropertySheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  PageChanged(Pages->currentIndex());
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize frame = frameGeometry().size();
    move(CentredOn(screen->geometry().size(), frame.isValid() ? frame : size()));
  }
  raise();
}
