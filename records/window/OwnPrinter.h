#pragma once

// TApxPrintout and TOwnPrinter: a printout's pages on a printer or a PDF.
//
// The printout maps each page anisotropically: the page's logical window
// is 800 layout units times the header's horizontal factor wide and as high
// as the page's proportions make it, on the whole printable area. Every
// page preparation starts again from the device's unscaled page; no window
// is resized.
//
// The printer prints every page of a run in order, one page at a time. A
// print to a file goes into a temporary file beside it, renamed over the
// name only when every page was made, so a failed run leaves no file.

#include "records/PrintManager.h"

#include <QPrinter>
#include <QRect>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QPainter;
class QWidget;
class TMessage;

class TApxPrintout {
public:
  TApxPrintout(TPrintManager& manager, std::string title) : Manager(manager), Title(std::move(title)) {}

  // The logical window of a page of `page` device pixels.
  QRect PageWindow(const QRect& page) const;
  // Maps the painter and counts the pages of the printout on it.
  short BeginPrinting(QPainter& painter, const QRect& page);
  void PrintPage(QPainter& painter, const QRect& page, short number, short pages);
  // Draws a page where nobody sees it, so that the pages after it go on
  // where it ends (a page range that starts later).
  void LayOutPage(const QRect& page, short number, short pages);
  const std::string& GetTitle() const { return Title; }
  TPrintManager& GetManager() { return Manager; }

private:
  void Prepare(QPainter& painter, const QRect& page) const;

  TPrintManager& Manager;
  std::string Title;
};

class TOwnPrinter {
public:
  // The job's errors, by the codes a print job ends with.
  enum class TError { None = 0, General = -1, AppAbort = -2, UserAbort = -3, OutOfDisk = -4, OutOfMemory = -5 };

  // Texts of the error box: 193 names the document and the reason.
  static constexpr int ErrorFormatText = 193, ErrorCaptionText = 199;

  explicit TOwnPrinter(const TMessage& texts);

  QPrinter& Printer() { return Device; }
  // The printer's setup dialog; false when cancelled.
  bool Setup(QWidget* parent);
  // Prints the printout: with `prompt` the print dialog first (range,
  // copies). False, with the error shown, when nothing or not all was printed.
  bool Print(QWidget* parent, TApxPrintout& printout, bool prompt);
  // The printout into a PDF file, without a dialog.
  bool PrintToFile(TApxPrintout& printout, const std::filesystem::path& file);

  // Called after every page with its number and the run's last page; true
  // goes on (the abort dialog answers false once the user cancelled).
  std::function<bool(short page, short last)> PageDone;

  TError LastError() const { return Error; }
  // The message of an error (none for None).
  void ReportError(TError error, const std::string& title) const;
  // The reason's text of an error; 0 for None.
  static int ErrorText(TError error);

  // The abort dialog of the running job (null between jobs): it shows the
  // pages and takes the progress steps of the printout.
  class TOwnPrinterAbortDlg* AbortDialog() const { return Abort; }
  // Whether Print shows the abort dialog (tests print without).
  bool ShowAbortDialog = true;

private:
  bool Run(TApxPrintout& printout);

  const TMessage& Texts;
  class TOwnPrinterAbortDlg* Abort = nullptr;
  QPrinter Device{QPrinter::HighResolution};
  TError Error = TError::None;
};
