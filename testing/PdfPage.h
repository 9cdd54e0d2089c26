#pragma once

// A printer page written as a PDF file, mapped as the program maps a
// printed page: `unitsAcross` layout units across the paper, as many down
// as the paper's height allows. What is drawn on its surface stands in the
// file once the page goes out of scope.

#include "platform/basekit/ui/PainterSurface.h"

#include <QPainter>
#include <QPrinter>

#include <filesystem>

class TPdfPage {
public:
  explicit TPdfPage(const std::filesystem::path& pdf, int unitsAcross = 800);
  TPdfPage(const TPdfPage&) = delete;
  TPdfPage& operator=(const TPdfPage&) = delete;

  TDrawSurface& Surface() { return PageSurface; }
  // PDF points per layout unit across.
  double PointsPerUnit() const { return Points; }

private:
  // In this order: the printer set to its file, the painter begun on it
  // and mapped, then the surface over the mapped painter.
  QPrinter Printer{QPrinter::HighResolution};
  double Points = 0.0;
  QPainter Painter;
  TPainterSurface PageSurface;
};
