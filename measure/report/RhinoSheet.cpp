#include "measure/report/RhinoSheet.h"

#include "measure/core/MeasureCore.h"
#include "platform/basekit/Message.h"

namespace RhinoSheet {

namespace {

constexpr int RightNostrilName = 313;
constexpr int LeftNostrilName = 312;
constexpr int MaterialLabel = 349;
constexpr int ConcentrationLabel = 342;
constexpr int DoseLabel = 298;

bool PokeAll(const SpiroExport::TPoke& poke, const std::vector<rhinomanometry::SheetCell>& cells) {
  for (const rhinomanometry::SheetCell& cell : cells)
    if (!poke(static_cast<unsigned>(cell.row), static_cast<unsigned>(cell.column), cell.text))
      return false;
  return true;
}

}  // namespace

rhinomanometry::SheetInput CoreSheetInput(const TMeasureCore& core, const TMessage& texts) {
  rhinomanometry::SheetInput in;
  const PREDICTED_DATA& patient = core.PredictedData;
  in.patientName = patient.GetName();
  in.age = patient.Age;
  in.height = patient.Height;
  in.weight = patient.Weight;
  in.imperial = patient.Unit != 0;
  in.algorithmName = core.GetRhinoAlgorithmName(1);
  core.SetRhinoDateTimeStr(in.firstDate, in.secondDate, in.firstTime, in.secondTime);
  in.rightName = texts.LoadStringA(RightNostrilName);
  in.leftName = texts.LoadStringA(LeftNostrilName);
  const TRhinoState& rhino = core.Rhino;
  in.first = rhino.ParamsAkt;
  in.second = rhino.ParamsPre;
  in.rowFlags = rhino.ShownRows();
  in.provoked = rhino.Provoked;
  in.materialLabel = texts.LoadStringA(MaterialLabel);
  in.concentrationLabel = texts.LoadStringA(ConcentrationLabel);
  in.doseLabel = texts.LoadStringA(DoseLabel);
  in.material = rhino.ProvocationMaterial;
  in.concentrationMgPerMl = rhino.ProvocationConcentration;
  in.doseMl = rhino.ProvocationDose;
  in.decimalComma = texts.GetLanguageName() == "Magyar";
  return in;
}

bool SendRhinoDataToExcel(const SpiroExport::TPoke& poke, const rhinomanometry::SheetCells& cells) {
  if (!PokeAll(poke, cells.header))
    return false;
  bool all = true;
  for (const std::vector<rhinomanometry::SheetCell>& line : cells.lines)
    all = PokeAll(poke, line) && all;
  return PokeAll(poke, cells.provocation) && all;
}

}  // namespace RhinoSheet
