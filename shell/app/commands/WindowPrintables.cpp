#include "shell/app/commands/WindowPrintables.h"

#include "audiometry/window/AudioMeter.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "shell/app/commands/MeasurePrintRun.h"
#include "trend/TrendWindow.h"

int TTrendPrintable::CalculateTrendHeight(int pageHeight, int headerHeight, int smallHeaderHeight, bool note) {
  return W.CalculateTrendHeight(static_cast<short>(pageHeight), static_cast<short>(headerHeight),
                                static_cast<short>(smallHeaderHeight), note);
}

void TTrendPrintable::PrintTrend(TPrintCanvas& canvas, short page) {
  if (auto* surface = dynamic_cast<TPainterSurface*>(&canvas.Surface))
    W.PrintTrend(surface->GetPainter(), page);
}

short TTrendPrintable::GetPageCount() const { return static_cast<short>(W.GetPageCount()); }

TAudiogramPrintable::~TAudiogramPrintable() { W.SetPenSize(1); }

int TAudiogramPrintable::CalculateAudioHeight(TPrintCanvas&) { return W.CalculateAudioHeight(); }

void TAudiogramPrintable::AudioPrint(TPrintCanvas& canvas) {
  int offset = canvas.PrintY;
  W.AudioPrint(canvas.Surface, canvas.ScaleX, canvas.ScaleY, offset);
  canvas.PrintY = offset;
}

TPrintRun::TPrintRun() = default;
TPrintRun::~TPrintRun() = default;
