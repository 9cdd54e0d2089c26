#include "testing/PdfPage.h"

#include <QPageLayout>

TPdfPage::TPdfPage(const std::filesystem::path& pdf, int unitsAcross) {
  std::filesystem::create_directories(pdf.parent_path());
  Printer.setOutputFormat(QPrinter::PdfFormat);
  Printer.setOutputFileName(QString::fromStdString(pdf.string()));
  Printer.setFullPage(true);
  Painter.begin(&Printer);
  const QRect page = Painter.viewport();
  Painter.setWindow(0, 0, unitsAcross, unitsAcross * page.height() / page.width());
  Points = Printer.pageLayout().fullRect(QPageLayout::Point).width() / unitsAcross;
}
