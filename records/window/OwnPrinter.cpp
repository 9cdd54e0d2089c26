#include "records/window/OwnPrinter.h"

#include "platform/basekit/Message.h"
#include "records/window/OwnPrinterAbortDlg.h"
#include "platform/basekit/ui/PainterSurface.h"

#include <QPageSetupDialog>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QWidget>

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
  case TError::OutOfMemory: return 194;
  case TError::OutOfDisk: return 195;
  case TError::AppAbort: return 196;
  case TError::UserAbort: return 197;
  case TError::General: break;
  }
  return 198;
}

void TOwnPrinter::ReportError(TError error, const std::string& title) const {
  if (error == TError::None)
    return;
  Texts.MessageBoxText(Texts.Format(ErrorFormatText, {title, Texts.LoadStringA(ErrorText(error))}), ErrorCaptionText,
                       TMessageIcon::Stop);
}

bool TOwnPrinter::Run(TApxPrintout& printout) {
  QPainter painter;
  if (!painter.begin(&Device)) {
    Error = TError::General;
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
  if (Abort)
    Abort->SetNumber(TOwnPrinterAbortDlg::LastPageId, last);
  for (short p = first; p <= last; ++p) {
    if (p > first && !Device.newPage()) {
      Error = TError::OutOfDisk;
      break;
    }
    if (Abort)
      Abort->SetNumber(TOwnPrinterAbortDlg::PageId, p);
    printout.PrintPage(painter, page, p, pages);
    // A cancel stops the job after the page in hand.
    const bool goOn = PageDone ? PageDone(p, last) : true;
    if (!goOn || (Abort && Abort->Cancelled())) {
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
  std::unique_ptr<TOwnPrinterAbortDlg> abort;
  if (ShowAbortDialog) {
    abort = std::make_unique<TOwnPrinterAbortDlg>(Texts, parent, printout.GetTitle(), Device.printerName().toStdString(),
                                                  Device.outputFileName().toStdString());
    abort->show();
    Abort = abort.get();
    printout.GetManager().Progress = [this](int value) {
      if (Abort)
        Abort->PrintProgress(value);
    };
  }
  // A real print sends its progress steps; a preview never does.
  const bool quiet = printout.GetManager().Header().NoProgress;
  printout.GetManager().Header().NoProgress = !ShowAbortDialog;
  if (parent)
    parent->setEnabled(false);
  const QString target = Device.outputFileName();
  bool printed = false;
  if (!target.isEmpty()) {
    printed = PrintToFile(printout, target.toStdString());
  } else {
    printed = Run(printout);
    ReportError(Error, printout.GetTitle());
  }
  if (parent)
    parent->setEnabled(true);
  printout.GetManager().Header().NoProgress = quiet;
  printout.GetManager().Progress = nullptr;
  Abort = nullptr;
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
      Error = TError::General;
      printed = false;
    }
  }
  if (!printed) {
    std::filesystem::remove(partial, ignored);
    ReportError(Error, printout.GetTitle());
  }
  return printed;
}
