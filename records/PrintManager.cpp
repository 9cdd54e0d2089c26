#include "records/PrintManager.h"

#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"

#include <algorithm>

namespace {

// A text of the store without its menu accelerator mark.
std::string Plain(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

// Never cut inside a UTF-8 character.
std::size_t CharacterBoundary(std::string_view text, std::size_t at) {
  while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
    --at;
  return at;
}

std::string CLocaleFormatPage(int page) { return CLocale::Format("- %d -", page); }

}  // namespace

TPrintManager::TPrintManager(const TMessage& texts, std::unique_ptr<TPrintHeader> header, TKind kind,
                             std::string note)
    : Texts(texts), PageHeader(std::move(header)), PrintKind(kind), Note(std::move(note)) {}

std::vector<std::string> TPrintManager::NoteLines(std::string_view note, std::size_t perLine) {
  std::vector<std::string> lines;
  perLine = std::max<std::size_t>(perLine, 1);
  std::size_t start = 0;
  while (start < note.size()) {
    const std::size_t feed = note.find('\n', start);
    std::string_view piece = note.substr(start, feed == std::string_view::npos ? std::string_view::npos : feed - start);
    if (!piece.empty() && piece.back() == '\r')
      piece.remove_suffix(1);
    do {
      if (piece.size() <= perLine) {
        lines.emplace_back(piece);
        break;
      }
      const std::size_t blank = piece.rfind(' ', perLine);
      if (blank != std::string_view::npos && blank > 0) {
        lines.emplace_back(piece.substr(0, blank));
        piece.remove_prefix(blank + 1);
      } else {
        // No blank within the line: the word is cut at the line's end.
        const std::size_t cut = std::max<std::size_t>(CharacterBoundary(piece, perLine), 1);
        lines.emplace_back(piece.substr(0, cut));
        piece.remove_prefix(cut);
      }
    } while (!piece.empty());
    if (feed == std::string_view::npos)
      break;
    start = feed + 1;
  }
  return lines;
}

std::size_t TPrintManager::CharactersPerLine(TDrawSurface& surface) const {
  float fx = 1.0f, fy = 1.0f;
  PageHeader->GetFaktors(fx, fy);
  TPrintCanvas canvas(surface, fx, fy, PageHeader->Face);
  const int width = std::max(1, surface.MeasureText("x", canvas.Font()).Width);
  return static_cast<std::size_t>(fx * static_cast<float>(NoteWidth) / static_cast<float>(width));
}

bool TPrintManager::NoteWanted() const {
  if (Note.empty())
    return false;
  switch (PrintKind) {
  case TKind::List: return false;
  case TKind::NoteOnly: return true;
  case TKind::Measurement: return Test != nullptr && Test->NoteWanted();
  case TKind::Calibration: return false;
  default: return PageHeader->NoteFlag != 0;
  }
}

int TPrintManager::NoteHeight(TDrawSurface& surface) const {
  if (!NoteWanted())
    return 0;
  const int lines = static_cast<int>(NoteLines(Note, CharactersPerLine(surface)).size());
  return lines * NoteLineHeight + (PrintKind == TKind::NoteOnly ? 0 : 40);
}

short TPrintManager::GetPageCount(TDrawSurface& surface, int pageHeight) {
  float fx = 1.0f, fy = 1.0f;
  PageHeader->GetFaktors(fx, fy);
  const int units = static_cast<int>(static_cast<float>(pageHeight) / fy);
  const auto pagesOf = [&](int height, float rest = 0.0f) {
    return static_cast<int>((static_cast<float>(height) * fy + rest) / static_cast<float>(pageHeight)) + 1;
  };
  const int small = PageHeader->CalculateSmallHeaderHeight() + 20;
  HeaderHeight = PageHeader->CalculateHeaderHeight();
  NoteHeightUnits = NoteHeight(surface);
  ContentHeight = 0;
  int pages = 1;
  TPrintCanvas canvas(surface, fx, fy, PageHeader->Face);
  switch (PrintKind) {
  case TKind::Calibration: pages = 1; break;
  case TKind::List: {
    // The pages the records fill.
    const int perPage = RecordsPerPage();
    pages = std::max<int>(1, (static_cast<int>(ListRecords.size()) + perPage - 1) / perPage);
    break;
  }
  case TKind::Measurement: {
    if (Test == nullptr)
      break;
    ContentHeight = Test->CalculateMeasureHeight(canvas, units, HeaderHeight);
    const int total = HeaderHeight + ContentHeight + NoteHeightUnits;
    float rest = 0.0f;
    if (Test->GetGraphHeight2() != 0)
      rest = static_cast<float>(pageHeight) -
             static_cast<float>(HeaderHeight + Test->GetTextHeight() + Test->GetGraphHeight1()) * fy;
    pages = pagesOf(total, rest);
    const int extra = pages - Test->GetPageCount();
    if (extra > 0)
      pages = pagesOf(extra * small + total);
    break;
  }
  case TKind::Trend:
    if (Trend != nullptr) {
      ContentHeight = Trend->CalculateTrendHeight(units, HeaderHeight, small, NoteWanted());
      pages = pagesOf(ContentHeight + NoteHeightUnits);
    }
    break;
  case TKind::Audiogram:
    if (Audiogram != nullptr) {
      ContentHeight = Audiogram->CalculateAudioHeight(canvas);
      pages = pagesOf(HeaderHeight + ContentHeight + NoteHeightUnits);
      if (pages >= 2)
        pages = pagesOf((pages - 1) * small + HeaderHeight + ContentHeight + NoteHeightUnits);
    }
    break;
  case TKind::NoteOnly:
    pages = pagesOf(HeaderHeight + NoteHeightUnits);
    if (pages >= 2)
      pages = pagesOf((pages - 1) * small + HeaderHeight + NoteHeightUnits);
    break;
  }
  pages = std::clamp(pages, 1, 32767);
  PagePositions.assign(static_cast<std::size_t>(pages) + 1, 0);
  HeadingPage = -1;
  return static_cast<short>(pages);
}

void TPrintManager::SendProgress(int value) const {
  if (Progress && !PageHeader->NoProgress)
    Progress(value);
}

void TPrintManager::Paint(TDrawSurface& surface, short page, short pages) {
  float fx = 1.0f, fy = 1.0f;
  PageHeader->GetFaktors(fx, fy);
  TPrintCanvas canvas(surface, fx, fy, PageHeader->Face);
  const int units = static_cast<int>(static_cast<float>(surface.Size().Height) / fy);
  const std::string second = Texts.LoadStringA(SecondText);
  const auto header = [&](int title) {
    if (page == 1)
      PageHeader->HeaderPrint(surface, Plain(Texts.LoadStringA(title)), second, pages, 1);
    else
      PageHeader->SmallHeaderPrint(surface, second, pages, page);
    canvas.PrintY = PageHeader->PrintY;
  };
  switch (PrintKind) {
  case TKind::List:
    ListPage(canvas, page, pages, units);
    return;
  case TKind::Calibration:
    PageHeader->CalibHeaderPrint(surface, Plain(Texts.LoadStringA(CalibrationTitle)), second, pages, page);
    canvas.PrintY = PageHeader->PrintY;
    if (Test)
      Test->PrintCalibration(canvas);
    return;
  case TKind::Measurement:
    header(MeasurementTitle);
    if (Test) {
      Test->PrintMeasure(canvas, page);
      if (page >= Test->GetPageCount()) {
        if (page > Test->GetPageCount())
          canvas.PrintY += 20;
        NoteBlock(canvas, page, units);
      }
    }
    break;
  case TKind::Trend:
    header(TrendTitle);
    if (Trend) {
      Trend->PrintTrend(canvas, page);
      if (page >= Trend->GetPageCount())
        NoteBlock(canvas, page, units);
    }
    break;
  case TKind::Audiogram:
    header(AudiogramTitle);
    if (page == 1 && Audiogram)
      Audiogram->AudioPrint(canvas);
    else
      canvas.PrintY += 20;
    NoteBlock(canvas, page, units);
    break;
  case TKind::NoteOnly:
    header(TestTitle);
    if (page > 1)
      canvas.PrintY += 20;
    NoteBlock(canvas, page, units);
    break;
  }
  SendProgress(100);
}

void TPrintManager::NoteBlock(TPrintCanvas& canvas, short page, int pageHeightUnits) {
  if (!NoteWanted() || page < 1)
    return;
  // Positions grow with the pages a run draws.
  if (PagePositions.size() < static_cast<std::size_t>(page) + 1)
    PagePositions.resize(static_cast<std::size_t>(page) + 1, PagePositions.back());
  const std::size_t start = PagePositions[static_cast<std::size_t>(page) - 1];
  PagePositions[static_cast<std::size_t>(page)] = start;
  int y = canvas.PrintY;
  if (PrintKind != TKind::NoteOnly && (HeadingPage == -1 || HeadingPage == page)) {
    if (y + 60 - pageHeightUnits > 0)
      return;  // not even the heading fits: the note starts on the next page
    y += 20;
    PageHeader->SetPenSize(2);
    PageHeader->DrawLine(canvas.Surface, TPrintHeader::Left, y, 690, false);
    PageHeader->SetPenSize(1);
    PageHeader->WritePrintText(canvas.Surface, Plain(Texts.LoadStringA(NoteHeading)), TPrintHeader::Left, y - 10,
                               740, y + 10, 1, 9);
    y += 20;
    HeadingPage = page;
  }
  const std::vector<std::string> lines = NoteLines(Note, CharactersPerLine(canvas.Surface));
  SendProgress(0);
  std::size_t at = start;
  for (; at < lines.size(); ++at) {
    if (y + NoteLineHeight - pageHeightUnits > 0)
      break;
    PageHeader->WritePrintText(canvas.Surface, lines[at], TPrintHeader::Left, y, 740, y + NoteLineHeight, 0, 9);
    y += NoteLineHeight;
    if ((at - start + 1) % 10 == 0)
      SendProgress(0);
  }
  PagePositions[static_cast<std::size_t>(page)] = at;
  canvas.PrintY = y;
}

void TPrintManager::ListPage(TPrintCanvas& canvas, short page, short pages, int pageHeightUnits) {
  const int perPage = RecordsPerPage();
  const std::size_t first = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(perPage);
  if (Progress && !PageHeader->NoProgress && pages > 0)
    Progress(std::max(1, 100 * page / pages));
  const auto line = [&](int row, const std::string& text, int weight) {
    const TTextStyle style{TUtil::LayoutFont("Courier New", 9, canvas.ScaleY, weight), TColor::Black(),
                           TColor::White(), true, TTextAlign::Left};
    canvas.Surface.TextAt({canvas.ScaleXOf(50), canvas.ScaleYOf(row * NoteLineHeight)}, text, style);
  };
  int row = 0;
  std::size_t printed = 0;
  for (std::size_t i = first; i < ListRecords.size() && printed < static_cast<std::size_t>(perPage); ++i, ++printed) {
    const TListRecord& r = ListRecords[i];
    line(row++, r.Name, 700);
    if (NamesOnly)
      continue;
    line(row++, r.City.empty() ? r.Postcode + " " + r.Region : r.Postcode + " " + r.City + " " + r.Region, 400);
    line(row++, r.Street + " " + r.Phone, 400);
    line(row++, r.Id, 400);
    ++row;  // a blank line between patients
  }
  if (printed > 0)
    TUtil::TextRectOut(canvas.Surface, canvas.ScaleX, canvas.ScaleY,
                       {51, pageHeightUnits - 28, 740, pageHeightUnits - 4}, CLocaleFormatPage(page), TColor::White(),
                       TColor::Black(), 11, "Courier New", 1, 700, true);
}
