// The spreadsheet export of the shown test: the program's shared export
// command with this window's cells.

#include "measure/core/MeasureCore.h"

#include "measure/report/MeasurePrintout.h"
#include "measure/results/ParamList.h"
#include "measure/report/RhinoSheet.h"
#include "measure/report/SpiroExport.h"
#include "platform/basekit/DdeExport.h"

void TMeasureCore::CmDde() {
  if (GetHelpContext() || Messages == nullptr)
    return;
  const short kind = GetMeasureMode();
  if (kind == MEASURE_RHINO) {
    DdeExport::CmDde(Messages, GetIniFile(), RunDdeDialog, [this](TDDE& dde) {
      return RhinoSheet::SendRhinoDataToExcel(SpiroExport::PokeInto(dde),
                                              rhinomanometry::RhinoSheetCells(RhinoSheet::CoreSheetInput(*this, *Messages)));
    }, DdeFolder);
    return;
  }
  if (kind < MEASURE_FVC || kind > MEASURE_SHUTTER)
    return;
  DdeExport::CmDde(Messages, GetIniFile(), RunDdeDialog, [this, kind](TDDE& dde) {
    std::vector<short> positions;
    if (const TParamList* list = GetParamList())
      positions = SpiroExport::DisplayPositions(*list, kind);
    SpiroExport::TExportBlock block;
    block.Patient = PredictedData;
    block.EquationName = std::string(TMeasurePrintout::AlgorithmName(GetPredictedAlgorithm()));
    block.Dates = SpiroExport::CoreDates(*this);
    block.ProvocationView = StageView;
    block.Provocation = ProvocationStep;
    block.Provocation.DoseUnit = DoseUnit;
    return SpiroExport::SendDataToExcel(SpiroExport::PokeInto(dde), *Messages, SpiroExport::CoreTable(*this, kind, positions),
                                        block);
  }, DdeFolder);
}
