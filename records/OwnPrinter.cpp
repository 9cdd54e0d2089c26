#include "records/OwnPrinter.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"

#include <QPageSetupDialog>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>

#include <cmath>
#include <system_error>

QRect TApxPrintout::PageWindow(const QRect& page) const {
  float fx = 1.0f, fy = 1.0f;
  Manager.Header().GetFaktors(fx, fy);
  const int width = static_cast<int>(std::lround(800.0 * static_cast<double>(fx)));
  const int height = page.width() > 0 ? static_cast<int>(std::lround(static_cast<double>(width) * page.height() / page.width())) : 0;
  return {0, 0, width, height};
}

void TApxPrintout::Prepare(QPainter& painter, const QRect& page) const {
  painter.resetTransform();
  painter.setViewport(page);
  painter.setWindow(PageWindow(page));
}

short TApxPrintout::BeginPrinting(QPainter& painter, const QRect& page) {
  Prepare(painter, page);
  TPainterSurface surface(painter);
  return Manager.GetPageCount(surface, PageWindow(page).height());
}

void TApxPrintout::PrintPage(QPainter& painter, const QRect& page, short number, short pages) {
  Prepare(painter, page);
  TPainterSurface surface(painter);
  Manager.Paint(surface, number, pages);
}

void TApxPrintout::LayOutPage(const QRect& page, short number, short pages) {
  const QRect window = PageWindow(page);
  QImage scratch(window.size(), QImage::Format_RGB32);
  QPainter painter(&scratch);
  PrintPage(painter, window, number, pages);
}

TOwnPrinter::TOwnPrinter(const TMessage& texts) : Texts(texts) {}

bool TOwnPrinter::Setup(QWidget* parent) {
  QPageSetupDialog dialog(&Device, parent);
  return dialog.exec() == QDialog::Accepted;
}

int TOwnPrinter::ErrorText(TError error) {
  switch (error) {
  case TError::None: return 0;
  case TError::UserAbort: return UserAbortText;
  case TError::OutOfDisk: return OutOfDiskText;
  case TError::OutOfMemory: return OutOfMemoryText;
  case TError::NoFile: return FileErrorText;
  case TError::General: break;
  }
  return GeneralErrorText;
}

void TOwnPrinter::ReportError(TError error) const {
  if (error == TError::None)
    return;
  Texts.MessageBox(ErrorText(error), 0, error == TError::UserAbort ? TMessageIcon::Information : TMessageIcon::Stop);
}

bool TOwnPrinter::Run(TApxPrintout& printout) {
  QPainter painter;
  if (!painter.begin(&Device)) {
    Error = Device.outputFileName().isEmpty() ? TError::General : TError::NoFile;
    return false;
  }
  const QRect page = Device.pageLayout().paintRectPixels(Device.resolution());
  const short pages = printout.BeginPrinting(painter, page);
  short first = 1, last = pages;
  if (Device.printRange() == QPrinter::PageRange && Device.fromPage() > 0) {
    first = static_cast<short>(std::min<int>(Device.fromPage(), pages));
    last = static_cast<short>(std::clamp<int>(Device.toPage(), first, pages));
  }
  // The note of a page goes on from the page before: earlier pages of a
  // range are laid out without being printed.
  for (short p = 1; p < first; ++p)
    printout.LayOutPage(page, p, pages);
  for (short p = first; p <= last; ++p) {
    if (p > first && !Device.newPage()) {
      Error = TError::OutOfDisk;
      break;
    }
    printout.PrintPage(painter, page, p, pages);
    if (PageDone && !PageDone(p, last)) {
      Error = TError::UserAbort;
      break;
    }
  }
  if (!painter.end() && Error == TError::None)
    Error = TError::OutOfDisk;
  return Error == TError::None;
}

bool TOwnPrinter::Print(QWidget* parent, TApxPrintout& printout, bool prompt) {
  Error = TError::None;
  if (prompt) {
    QPrintDialog dialog(&Device, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
      return false;
  }
  const QString target = Device.outputFileName();
  if (!target.isEmpty())
    return PrintToFile(printout, target.toStdString());
  const bool printed = Run(printout);
  ReportError(Error);
  return printed;
}

bool TOwnPrinter::PrintToFile(TApxPrintout& printout, const std::filesystem::path& file) {
  Error = TError::None;
  std::filesystem::path partial = file;
  partial += ".part";
  Device.setOutputFormat(QPrinter::PdfFormat);
  Device.setOutputFileName(QString::fromStdString(partial.string()));
  Device.setDocName(QString::fromStdString(printout.GetTitle()));
  bool printed = Run(printout);
  Device.setOutputFileName({});
  std::error_code ignored;
  if (printed) {
    std::error_code renamed;
    std::filesystem::rename(partial, file, renamed);
    if (renamed) {
      Error = TError::NoFile;
      printed = false;
    }
  }
  if (!printed) {
    std::filesystem::remove(partial, ignored);
    ReportError(Error);
  }
  return printed;
}
