#include "testing/PdfPage.h"

#include <QPageLayout>

namespace {

QPrinter& ToFile(QPrinter& printer, const std::filesystem::path& pdf) {
  std::filesystem::create_directories(pdf.parent_path());
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  printer.setFullPage(true);
  return printer;
}

QPainter& Mapped(QPainter& painter, int unitsAcross) {
  const QRect page = painter.viewport();
  painter.setWindow(0, 0, unitsAcross, unitsAcross * page.height() / page.width());
  return painter;
}

}  // namespace

TPdfPage::TPdfPage(const std::filesystem::path& pdf, int unitsAcross)
    : Points(ToFile(Printer, pdf).pageLayout().fullRect(QPageLayout::Point).width() / unitsAcross),
      Painter(&Printer),
      PageSurface(Mapped(Painter, unitsAcross)) {}
