#pragma once

// The trend window and the audiometer as the print manager prints them:
// each draws its own block below the page header the manager prints.

#include "platform/basekit/PrintableWindows.h"

#include <memory>

class TAudioMeter;
class TMeasurePrintRun;
class TTrendWindow;

class TTrendPrintable final : public TPrintableTrend {
public:
  explicit TTrendPrintable(TTrendWindow& window) : W(window) {}
  int CalculateTrendHeight(int pageHeight, int headerHeight, int smallHeaderHeight, bool note) override;
  // The trend paints with the page's painter (a page drawn on any other
  // surface stays empty).
  void PrintTrend(TPrintCanvas& canvas, short page) override;
  short GetPageCount() const override;

private:
  TTrendWindow& W;
};

class TAudiogramPrintable final : public TPrintableAudiogram {
public:
  explicit TAudiogramPrintable(TAudioMeter& window) : W(window) {}
  // The printing pens go back to the screen's width when the run ends.
  ~TAudiogramPrintable() override;
  TAudiogramPrintable(const TAudiogramPrintable&) = delete;
  TAudiogramPrintable& operator=(const TAudiogramPrintable&) = delete;
  int CalculateAudioHeight(TPrintCanvas& canvas) override;
  // From the canvas's print line, which it advances.
  void AudioPrint(TPrintCanvas& canvas) override;

private:
  TAudioMeter& W;
};

// What one print or preview run holds besides its manager.
struct TPrintRun {
  TPrintRun();
  ~TPrintRun();
  TPrintRun(const TPrintRun&) = delete;
  TPrintRun& operator=(const TPrintRun&) = delete;

  std::unique_ptr<TMeasurePrintRun> Measure;
  std::unique_ptr<TTrendPrintable> Trend;
  std::unique_ptr<TAudiogramPrintable> Audiogram;
};
