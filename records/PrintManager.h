#pragma once

// TPrintManager: the page model of a printout. It counts the pages of a
// printout and draws any one page of it: the header of TPrintHeader, the
// block the printed window draws, and the note that may follow it. Kinds:
// a test, its calibration page, a trend, an audiogram, or a note alone.
// Pages are drawn in order within a run (the note goes on from where the
// previous page left it).

#include "platform/basekit/PrintHeader.h"
#include "platform/basekit/PrintableWindows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMessage;

class TPrintManager {
public:
  enum class TKind { Calibration, List, Measurement, Trend, Audiogram, NoteOnly };

  // One patient of a printed list.
  struct TListRecord {
    std::string Name, Postcode, City, Region, Street, Phone, Id;
  };
  static constexpr int ListLinesPerPage = 70;

  static constexpr int NoteLineHeight = 14;
  static constexpr int NoteWidth = 640;  // layout units of a note line
  // Texts.
  static constexpr int TestTitle = 54, CalibrationTitle = 127, TrendTitle = 250, AudiogramTitle = 468,
                       SecondText = 472, NoteHeading = 251;

  // The header is the manager's; the window is borrowed for the run.
  TPrintManager(const TMessage& texts, std::unique_ptr<TPrintHeader> header, TKind kind, std::string note = {});

  // The patient list: its records in name order from the start key, and
  // one line for each (names only) or five.
  std::vector<TListRecord> ListRecords;
  bool NamesOnly = false;
  int RecordsPerPage() const { return ListLinesPerPage / (NamesOnly ? 1 : 5); }

  TPrintableTest* Test = nullptr;
  // The first page's title of a test (text 469 for a rhinomanometry test).
  int MeasurementTitle = TestTitle;
  TPrintableTrend* Trend = nullptr;
  TPrintableAudiogram* Audiogram = nullptr;
  // A page step of the running job (the abort dialog's gauge): 0 a step
  // within a page, 100 a page done.
  std::function<void(int)> Progress;

  TPrintHeader& Header() { return *PageHeader; }
  // The note that follows the content; set before the pages are counted.
  void SetNote(std::string note) { Note = std::move(note); }
  TKind Kind() const { return PrintKind; }

  // The pages of the printout on a page of `pageHeight` device units.
  short GetPageCount(TDrawSurface& surface, int pageHeight);
  // Draws page `page` of `pages`.
  void Paint(TDrawSurface& surface, short page, short pages);

  // The note's lines at `perLine` characters: split at line feeds, a longer
  // piece broken at its last blank within the line, or cut at the line's
  // length when it has none.
  static std::vector<std::string> NoteLines(std::string_view note, std::size_t perLine);
  std::size_t CharactersPerLine(TDrawSurface& surface) const;
  int NoteHeight(TDrawSurface& surface) const;

  // Results of the last page count.
  int HeaderHeight = 0;
  int ContentHeight = 0;
  int NoteHeightUnits = 0;

private:
  bool NoteWanted() const;
  void NoteBlock(TPrintCanvas& canvas, short page, int pageHeightUnits);
  void SendProgress(int value) const;
  void ListPage(TPrintCanvas& canvas, short page, short pages, int pageHeightUnits);

  const TMessage& Texts;
  std::unique_ptr<TPrintHeader> PageHeader;
  TKind PrintKind;
  std::string Note;
  std::vector<std::size_t> PagePositions{0};  // the note line each page ended with
  short HeadingPage = -1;
};
