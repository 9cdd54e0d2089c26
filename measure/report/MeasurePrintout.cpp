#include "measure/report/MeasurePrintout.h"

#include "measure/results/BtpsData.h"
#include "measure/core/MeasureCore.h"
#include "measure/results/ParamList.h"
#include "measure/report/SpiroExport.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/TextFormat.h"
#include "platform/framework/BinaryStream.h"
#include "platform/framework/Profile.h"

#include <array>
#include <charconv>

namespace {

constexpr TColor Black{0, 0, 0};
constexpr TColor White{255, 255, 255};
constexpr int BtpsImperialText = 62, BtpsMetricText = 63;
// The BTPS section's defaults when a printout reads it.
constexpr short DefaultBtps = 1, DefaultTemperature = 25, DefaultHumidity = 50, DefaultPressure = 1070;

}  // namespace

TUtil TMeasurePrintout::PrintColours() {
  TUtil util;
  for (std::size_t i = 0; i < TUtil::ColorCount; ++i)
    util.SetColor(i, Black);
  util.SetColor(TUtil::Background, White);
  util.SetColor(TUtil::Panel, White);
  util.SetColor(TUtil::Grid, TColor{192, 192, 192});
  util.SetColor(TUtil::NormalRange, TColor{223, 223, 223});
  util.SetColor(TUtil::Trial1, ResultCells::LightBlue);
  util.SetColor(TUtil::Trial2, ResultCells::DarkRed);
  util.SetColor(TUtil::Trial3, ResultCells::LightMagenta);
  util.SetColor(TUtil::FourthCurve, ResultCells::DarkRed);
  util.SetColor(TUtil::PreTest, ResultCells::DarkRed);
  return util;
}

TMeasurePrintout::TMeasurePrintout(TMeasureCore& core, const TMessage& texts)
    : Core(core), PrintUtil(PrintColours()), Painter(core, PrintUtil, texts, nullptr), Curves(Painter),
      Printout(core, texts, &Curves), RhinoReport(core, texts, Painter) {}

void TMeasurePrintout::TakeWindowState(std::string_view noteEdit, bool provocation,
                                       const PrintedTables::TProvocationSteps& steps) {
  PrintedTables::TNotes& notes = Printout.Notes;
  notes.Current = std::string(noteEdit.substr(0, TMeasureCore::NoteLength));
  notes.Actual = Core.GetNoteText(1);
  notes.ActualSet = Core.IsNoteSet(1);
  notes.Pre = Core.GetNoteText(2);
  notes.PreSet = Core.IsNoteSet(2);
  if (const TParamList* list = Core.GetParamList())
    Printout.Positions = [list](short kind) { return SpiroExport::DisplayPositions(*list, kind); };
  Printout.Provocation = provocation;
  Printout.Steps = steps;
  Painter.Display.ProvocationPrint = provocation;
  // The conditions the window corrected its results with: its BTPS panel,
  // as the user left it (or a replayed log set it); the settings file's
  // only for a window without one.
  if (TMessage* texts = Core.GetMessages()) {
    const std::string shown = Core.ShownBtpsRecord();
    if (shown.size() >= 17 && shown != std::string(shown.size(), '\0')) {
      TBinaryReader reader(shown);
      Printout.BtpsLine = BtpsLine(*texts, ReadBtpsRecord(reader), Core.UnitSystem, TMeasureData::MeasureMode);
    } else {
      Printout.BtpsLine = BtpsLine(*texts, Core.GetIniFile(), Core.UnitSystem, TMeasureData::MeasureMode);
    }
  }
  Printout.DottedLines = TProfile("Print Struct", Core.GetIniFile()).GetInt("EnableDottedLine", 1) != 0;
  RhinoReport.Notes = notes;
  RhinoReport.BtpsLine = Printout.BtpsLine;
  RhinoReport.DottedLines = Printout.DottedLines;
}

std::string_view TMeasurePrintout::AlgorithmName(short algorithm) {
  static constexpr std::array<std::string_view, 6> names = {
      "ECCS", "Knudson", "Cotton & Dust", "Crapo-Hsu", "\xC3\x96sterreichisch", "Finnish"};
  return algorithm >= 0 && algorithm < static_cast<short>(names.size()) ? names[static_cast<std::size_t>(algorithm)]
                                                                         : std::string_view();
}

std::string TMeasurePrintout::BtpsLine(TMessage& texts, std::string_view iniFile, short unit, short measureMode) {
  TBTPS_DATA data(&texts, iniFile, unit);
  data.ReadBTPSConstans(DefaultBtps, DefaultTemperature, DefaultHumidity, DefaultPressure);
  return BtpsLine(texts, data.GetRecord(), unit, measureMode);
}

std::string TMeasurePrintout::BtpsLine(TMessage& texts, const BTPS_RECORD& record, short unit, short measureMode) {
  if (measureMode != MEASURE_CALIBRATION && record.Btps == 0)
    return {};
  // Whole numbers, as the BTPS panel shows them.
  const auto whole = [](std::string_view field) {
    while (!field.empty() && field.front() == ' ')
      field.remove_prefix(1);
    float value = 0.0f;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return CLocale::Format("%d", static_cast<int>(value));
  };
  const std::array<std::string, 3> values = {whole(FieldText(record.Temperature)), whole(FieldText(record.Humidity)),
                                             whole(FieldText(record.Pressure))};
  return TextFormat::Fill(texts.LoadStringA(unit != 0 ? BtpsImperialText : BtpsMetricText), values).value_or("");
}
