#include "records/window/OwnPrinterAbortDlg.h"

#include "platform/basekit/Message.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(const std::string& text) {
  QString shown = QString::fromStdString(text);
  return shown.remove('&');
}

}  // namespace

TOwnPrinterAbortDlg::TOwnPrinterAbortDlg(const TMessage& texts, QWidget* parent, const std::string& title,
                                         const std::string& device, const std::string& output)
    : QDialog(parent), Texts(texts) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Text(texts.LoadStringA(138)));
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  auto* layout = new QVBoxLayout(this);
  const auto line = [&](int id, const std::string& text) {
    auto* label = new QLabel(Text(text), this);
    label->setObjectName(QString::number(id));
    layout->addWidget(label);
    return label;
  };
  line(DocumentId, texts.Format(141, {title}));
  line(DeviceId, texts.Format(142, {device.empty() ? std::string("PDF") : device, output}));
  Page = line(PageId, {});
  LastPage = line(LastPageId, {});
  Page->hide();
  LastPage->hide();
  line(HintId, texts.LoadStringA(140));
  Bar = new QProgressBar(this);
  Bar->setObjectName(QString::number(GaugeId));
  Bar->setRange(1, 100);
  Bar->setValue(1);
  Bar->setTextVisible(false);
  layout->addWidget(Bar);
  Cancel = new QPushButton(Text(texts.LoadStringA(87)), this);
  Cancel->setObjectName("2");
  layout->addWidget(Cancel, 0, Qt::AlignHCenter);
  connect(Cancel, &QPushButton::clicked, this, &TOwnPrinterAbortDlg::reject);
  setMinimumWidth(360);
}

void TOwnPrinterAbortDlg::SetNumber(int id, int page) {
  if (page < 1)
    return;
  QLabel* target = id == PageId ? Page : id == LastPageId ? LastPage : nullptr;
  if (target == nullptr)
    return;
  const std::string text = id == PageId ? Texts.Format(139, {std::to_string(page)})
                                        : "/ " + std::to_string(page);
  target->setText(QString::fromStdString(text));
  target->show();
  target->repaint();
}

void TOwnPrinterAbortDlg::PrintProgress(int value) {
  if (value == 0)
    Bar->setValue(std::min(Bar->maximum(), Bar->value() + GaugeStep));
  else
    Bar->setValue(std::clamp(value, 1, 100));
  QApplication::processEvents();
}

void TOwnPrinterAbortDlg::reject() {
  // The job stops after the page in hand; the dialog stays until then.
  UserAbort = true;
  Cancel->setEnabled(false);
}
