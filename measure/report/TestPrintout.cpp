#include "measure/report/TestPrintout.h"

#include "common/CommandNumbers.h"
#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"
#include "measure/report/SpiroExport.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/framework/DatePicture.h"

#include <algorithm>

using ReportLayout::TBlock;

namespace {

constexpr short KindCount = 6;
constexpr std::array<int, KindCount> TableEntry{0, 1, 2, 3, 4, 6};
constexpr std::array<int, KindCount> GraphEntry{7, 8, 9, 10, 11, 13};
constexpr std::array<TBlock, KindCount> BlockOf{ReportLayout::Fvc, ReportLayout::Vc,     ReportLayout::Mvv,
                                                ReportLayout::Dfc, ReportLayout::Plethy, ReportLayout::Shutter};

// The pens of the line routine.
constexpr int FirstCurvePen = 1;
constexpr int ThirdCurvePen = 2;
constexpr int SecondCurvePen = 5;

int BlockHeight(short kind, bool fvcBesideVolume) {
  switch (kind) {
  case MEASURE_FVC: return fvcBesideVolume ? ReportLayout::VolumeBlockHeight : ReportLayout::FvcBlockHeight;
  case MEASURE_SHUTTER: return ReportLayout::ShutterBlockHeight;
  case MEASURE_PLETHY: return 0;
  default: return ReportLayout::VolumeBlockHeight;
  }
}

}  // namespace

TColor TTestPrintout::PenColour(int pen) {
  switch (pen) {
  case FirstCurvePen: return ResultCells::LightBlue;
  case SecondCurvePen: return ResultCells::LightMagenta;
  case 2:
  case 4: return ResultCells::DarkRed;
  default: return TColor::Black();
  }
}

TTestPrintout::TTestPrintout(TMeasureCore& core, const TMessage& texts, TPrintedCurves* curves)
    : Core(core), Texts(texts), Curves(curves) {}

void TTestPrintout::SendProgress() const {
  if (!NoProgress && Progress)
    Progress();
}

bool TTestPrintout::KindIncluded(short kind) const {
  // The print command names the kinds of the installed instruments; a
  // result of another kind that the window holds (a stored diffusion test
  // on a workstation without the diffusion unit) is printed too, rather
  // than left out without a word.
  switch (kind) {
  case MEASURE_DFC: return (ExtraTests & 1) != 0 || HoldsResult(kind);
  case MEASURE_SHUTTER: return (ExtraTests & 2) != 0 || HoldsResult(kind);
  case MEASURE_PLETHY: return (ExtraTests & 4) != 0 || HoldsResult(kind);
  default: return true;
  }
}

bool TTestPrintout::HoldsResult(short kind) const {
  for (short slot = 0; slot < 4; ++slot)
    if (const float* results = Core.GetAktBuffer(kind, slot); results && results[0] != 0.0f)
      return true;
  return false;
}

bool TTestPrintout::HaveToDraw() const {
  const short kind = Core.GetMeasureMode();
  if (kind < 0 || kind >= KindCount)
    return false;
  const short actual = Core.TrialOrder[0] > 0 ? static_cast<short>(Core.TrialOrder[0] - 1) : short{0};
  const float* first = Core.GetAktBuffer(kind, actual);
  const float* pre = Core.GetAktBuffer(kind, 3);
  return (first != nullptr && first[0] != 0.0f) || (pre != nullptr && pre[0] != 0.0f);
}

void TTestPrintout::ChangeMeasureMode(short mode, short load) {
  if (load >= 0) {
    if (TMeasureClient* client = Core.GetClient())
      if (client->SendToClient(WM_MEASURE_MODE_CHANGED, mode, load) == 0)
        client->SendToClient(WM_MEASURE_MODE_CHANGED, mode, load);
  }
  Core.SetMeasureMode(mode);
}

ResultCells::TResultTable TTestPrintout::CurrentTable() const {
  const short kind = Core.GetMeasureMode();
  const std::vector<short> positions = Positions ? Positions(kind) : std::vector<short>{};
  return SpiroExport::CoreTable(Core, kind, positions);
}

std::string TTestPrintout::CurrentTableRemark() const {
  const auto slot = static_cast<short>(Core.TrialOrder[0] - 1);
  return Core.TrialCutByLink(Core.GetMeasureMode(), slot) ? Core.LinkCutText(slot) : std::string();
}

PrintedTables::TTitleTexts TTestPrintout::TitleTexts() const {
  // The date and time of a slot: of the first kind that has one.
  const auto dateOf = [&](short slot) {
    for (short kind = 0; slot >= 0 && kind < DatedKinds; ++kind) {
      unsigned short year = 0, month = 0, day = 0;
      Core.GetMeasureDate(kind, slot, &year, &month, &day);
      if (year != 0)
        return DatePicture::Recode(CLocale::Format("%04d%02d%02d", year, month, day), "YYYYMMDD",
                                   Core.GetDateFormatStr());
    }
    return std::string();  // an undated slot prints no date, not the date's picture
  };
  const auto timeOf = [&](short slot) {
    for (short kind = 0; slot >= 0 && kind < DatedKinds; ++kind) {
      unsigned short year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
      Core.GetMeasureDate(kind, slot, &year, &month, &day);
      Core.GetMeasureTime(kind, slot, &hour, &minute, &second);
      // A slot with a date has a time, also in the first hour of the day.
      if (year != 0)
        return DatePicture::Recode(CLocale::Format("%02d%02d%02d", hour, minute, second), "HHMMSS",
                                   Core.GetTimeFormatStr());
    }
    return std::string();
  };
  PrintedTables::TTitleTexts title;
  title.BtpsLine = BtpsLine;
  if (Provocation) {
    title.Date1 = dateOf(0);
    title.Time1 = timeOf(0);
    title.Time2 = timeOf(1);
    title.Time3 = timeOf(2);
  } else {
    const short actual = static_cast<short>(Core.TrialOrder[0] - 1);
    title.Date1 = dateOf(actual);
    title.Time1 = timeOf(actual);
    title.Date2 = dateOf(3);
    title.Time2 = timeOf(3);
  }
  return title;
}

int TTestPrintout::CalculateMeasureHeight(TPrintCanvas& canvas, int pageHeight, int startY) {
  BlockPage.fill(1);
  PageCount = 1;
  GraphHeight1 = GraphHeight2 = 0;
  const short mode = Core.GetMeasureMode();
  int h = PrintedTables::TitleHeight;
  for (short kind = 0; kind < KindCount; ++kind) {
    ChangeMeasureMode(kind, 0);
    if (HaveToDraw() && Selected(TableEntry[kind]) && KindIncluded(kind) && !(Provocation && kind == MEASURE_DFC))
      h += PrintedTables::TableHeight(CurrentTable()) +
           (Provocation ? 0 : PrintedTables::RemarkHeight(CurrentTableRemark()));
  }
  h += Provocation ? PrintedTables::ProvocationStepsHeight : PrintedTables::DiagnosisHeight(canvas, Notes);
  TextHeight = h;

  GraphPrinted.fill(false);
  bool any = false;
  for (short kind = 0; kind < KindCount; ++kind) {
    ChangeMeasureMode(kind, 1);
    if (HaveToDraw() && Selected(GraphEntry[kind]) && KindIncluded(kind)) {
      if (!any)
        h += ReportLayout::GraphGap;
      any = true;
      GraphPrinted[BlockOf[kind]] = true;
    }
  }
  FvcBesideVolume = ReportLayout::FvcBesideVolume(GraphPrinted);
  if (any) {
    const ReportLayout::TReportKind kind = ReportLayout::CalculateKindOfReport(
        {GraphPrinted, Selected(SecondPlethyEntry), FvcBesideVolume}, pageHeight, h + startY);
    GraphHeight1 = kind.GraphHeight1;
    GraphHeight2 = kind.GraphHeight2;
    PageCount = kind.PageCount;
    BlockPage = kind.BlockPage;
  }
  h += GraphHeight1 + GraphHeight2;
  ChangeMeasureMode(mode, 0);
  for (std::size_t b = 0; b < GraphPrinted.size(); ++b)
    if (GraphPrinted[b] && BlockPage[b] == 2) {
      h += 41;
      break;
    }
  return h;
}

void TTestPrintout::PrintMeasure(TPrintCanvas& canvas, short page) {
  LegendDue = page == 1 || LegendDue;
  SendProgress();
  if (page == 1)
    PrintText(canvas);
  PrintGraphs(canvas, page);
}

void TTestPrintout::PrintText(TPrintCanvas& canvas) {
  SendProgress();
  PrintedTables::TTitleTexts title = TitleTexts();
  title.Previous = false;
  for (short kind = 0; kind < KindCount && !Provocation; ++kind) {
    ChangeMeasureMode(kind, 0);
    if (HaveToDraw() && Selected(TableEntry[kind]) && KindIncluded(kind) && CurrentTable().PreHasResult)
      title.Previous = true;
  }
  if (Provocation)
    PrintedTables::DrawProvocationTitle(canvas, Texts, title, Steps.SecondStage);
  else
    PrintedTables::DrawPrePostTitle(canvas, Texts, title);
  SendProgress();
  short rows = 0;
  for (short kind = 0; kind < KindCount; ++kind) {
    ChangeMeasureMode(kind, 0);
    if (!HaveToDraw() || !Selected(TableEntry[kind]) || !KindIncluded(kind))
      continue;
    if (!Provocation) {
      PrintedTables::DrawPrePostTable(canvas, CurrentTable(), rows, title.Previous);
      PrintedTables::DrawRemark(canvas, CurrentTableRemark());
    } else if (kind != MEASURE_DFC)
      PrintedTables::DrawProvocationTable(canvas, CurrentTable(), Steps.SecondStage, rows);
  }
  SendProgress();
  if (Provocation)
    PrintedTables::DrawProvocationSteps(canvas, Texts, Steps, rows);
  else
    PrintedTables::WriteDiagnosis(canvas, Texts, Notes, PrintedTables::NotesSplit,
                                  PrintedTables::TableRight(title.Previous || Notes.PreSet));
}

void TTestPrintout::PrintGraphs(TPrintCanvas& canvas, short page) {
  int graphTop = canvas.PrintY;
  if (Curves)
    Curves->SaveScreenState();
  const auto onPage = [&](TBlock b) { return GraphPrinted[b] && BlockPage[b] == page; };
  bool first = true;
  for (short kind = 0; kind < KindCount; ++kind) {
    const TBlock block = BlockOf[kind];
    if (BlockPage[block] != page || !KindIncluded(kind))
      continue;
    ChangeMeasureMode(kind, 1);
    if (!HaveToDraw() || !Selected(GraphEntry[kind]))
      continue;
    if (first) {
      canvas.PrintY += ReportLayout::GraphGap;
      graphTop = canvas.PrintY;
      first = false;
    }
    if (Curves)
      Curves->CalculatePrintZoom(kind, Provocation, Selected(UpperLimitEntry));
    bool plethyUnderShutter = false;
    if (kind == MEASURE_SHUTTER) {
      canvas.PrintY = graphTop + (onPage(ReportLayout::Fvc) ? ReportLayout::FvcBlockHeight : 0);
    } else if (kind == MEASURE_PLETHY) {
      const int a = onPage(ReportLayout::Fvc) ? (onPage(ReportLayout::Shutter) ? 584 : 376)
                                              : (onPage(ReportLayout::Shutter) ? 208 : 0);
      int b = onPage(ReportLayout::Fvc) && FvcBesideVolume ? 180 : 0;
      for (TBlock v : {ReportLayout::Vc, ReportLayout::Mvv, ReportLayout::Dfc})
        b += onPage(v) ? 180 : 0;
      canvas.PrintY = graphTop + std::max(a, b);
      plethyUnderShutter = onPage(ReportLayout::Shutter);
    }
    if (Curves)
      Curves->DrawAxes(canvas, kind, SecondDiagram(kind));
    DrawGraph(canvas, kind, plethyUnderShutter);
    if (kind != MEASURE_FVC || FvcBesideVolume)
      canvas.PrintY += BlockHeight(kind, FvcBesideVolume);
  }
  // The legend once the page's curves are known: a previous test's line
  // only when one was drawn.
  if (LegendAt) {
    Legend(canvas, *LegendAt);
    LegendAt.reset();
  }
  SendProgress();
  canvas.PrintY = graphTop;
  if (Curves)
    Curves->RestoreScreenState();
  canvas.PrintY += page == 1 ? GraphHeight1 : page == 2 ? GraphHeight2 : 0;
}

void TTestPrintout::Legend(TPrintCanvas& canvas, int y) {
  const auto sample = [&](int row, int x, int length, int pen, int dash, int period) {
    const int ly = y + 9 * row + 4;
    if (!DottedLines || dash == 0) {
      canvas.Line(x, ly, x + length, ly, 1, PenColour(pen));
      return;
    }
    for (int dx = 0; dx < length; dx += period)
      canvas.Line(x + dx, ly, x + std::min(dx + dash, length), ly, 1, PenColour(pen));
  };
  const auto label = [&](int row, std::string_view text) {
    canvas.Text(text, TPrintCanvas::Left, y + 9 * row, TPrintCanvas::Right, y + 9 * row + 9, TTextAlign::Right);
  };
  if (!Provocation) {
    label(0, "Act. ");
    sample(0, 681, 20, FirstCurvePen, 0, 0);
    if (PreviousDrawn) {
      label(1, "Pre. ");
      sample(1, 681, 20, ThirdCurvePen, 2, 4);
    }
    return;
  }
  label(0, "Act. ");
  sample(0, 621, 60, FirstCurvePen, 0, 0);
  label(1, "Prov. ");
  sample(1, 621, 60, ThirdCurvePen, 5, 10);
  if (Steps.SecondStage) {
    label(2, Texts.LoadStringA(299).substr(0, 3) + ". ");
    sample(2, 621, 60, SecondCurvePen, 10, 25);
  }
}

bool TTestPrintout::SecondDiagram(short kind) const {
  return kind == MEASURE_FVC ? FvcBesideVolume : kind == MEASURE_PLETHY && Selected(SecondPlethyEntry);
}

void TTestPrintout::DrawGraph(TPrintCanvas& canvas, short kind, bool plethyUnderShutter) {
  if (LegendDue) {
    LegendAt = Provocation ? canvas.PrintY - 32 : canvas.PrintY - 18 - (plethyUnderShutter ? 226 : 0);
    PreviousDrawn = false;
    LegendDue = false;
  }
  const int top = Provocation ? canvas.PrintY - 21 : canvas.PrintY - 22;
  const int bottom = Provocation ? canvas.PrintY : canvas.PrintY - 11;
  const auto title = [&](int id, int left, int right) {
    canvas.Text(Texts.LoadStringA(id), left, top, right, bottom, TTextAlign::Left);
  };
  switch (kind) {
  case MEASURE_FVC:
    title(FvcTitle, 71, 396);
    if (FvcBesideVolume)
      title(VolumeTimeTitle, 376, 741);
    break;
  case MEASURE_VC: title(VcTitle, 376, 741); break;
  case MEASURE_MVV: title(MvvTitle, 376, 741); break;
  case MEASURE_DFC: title(DfcTitle, 376, 741); break;
  case MEASURE_PLETHY:
    title(PlethyTitles[0], 71, 396);
    title(PlethyTitles[1], 376, 741);
    if (Selected(SecondPlethyEntry))
      canvas.Text(Texts.LoadStringA(PlethyTitles[2]), 376, canvas.PrintY + 238, 741, canvas.PrintY + 249,
                  TTextAlign::Left);
    break;
  case MEASURE_SHUTTER: title(ShutterTitle, 71, 396); break;
  default: break;
  }
  if (!Curves)
    return;
  const bool whole = Selected(WholeFvcEntry);
  const bool beside = SecondDiagram(kind);
  if (Provocation) {
    const int pens[3] = {FirstCurvePen, ThirdCurvePen, SecondCurvePen};
    for (short slot = 0; slot < (Steps.SecondStage ? 3 : 2); ++slot) {
      SendProgress();
      Curves->DrawSlot(canvas, kind, slot, pens[slot], DottedLines && slot > 0, whole, beside);
    }
    return;
  }
  SendProgress();
  const short actual = Core.TrialOrder[0] > 0 ? static_cast<short>(Core.TrialOrder[0] - 1) : short{0};
  Curves->DrawSlot(canvas, kind, actual, FirstCurvePen, false, whole, beside);
  SendProgress();
  Curves->DrawSlot(canvas, kind, 3, ThirdCurvePen, DottedLines, whole, beside);
  const float* previous = Core.GetAktBuffer(kind, 3);
  PreviousDrawn = PreviousDrawn || (previous != nullptr && previous[0] != 0.0f);
}
