#include "special/provocation/ProvocationSheet.h"

#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "special/provocation/ProvocationCodes.h"
#include "special/provocation/ProvocationModel.h"
#include "special/provocation/ProvocationTexts.h"

#include <algorithm>
#include <cstdio>

namespace ProvocationSheet {

namespace {

std::string Print(const char* format, int a) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), format, a);
  return text.data();
}

TRow PatientRow(const PREDICTED_DATA& patient) {
  TRow row;
  row[0] = patient.GetName();
  row[1] = Print("%d", patient.Age);
  if (patient.Unit == 0) {
    row[2] = Print("%d cm", patient.Height);
    row[3] = Print("%d kg", patient.Weight);
  } else {
    std::array<char, 32> height{};
    std::snprintf(height.data(), height.size(), "%d ft %d in", patient.Height / 12, patient.Height % 12);
    row[2] = height.data();
    row[3] = Print("%d lb", patient.Weight);
  }
  return row;
}

}  // namespace

std::string GetProvParam(short code) {
  const auto parameter = ProvocationCodes::Parameter(code);
  return parameter ? std::string(parameter->Name) : std::string();
}

std::vector<TRow> Rows(const TProvocationModel& model, const TMessage& texts, const PREDICTED_DATA& patient) {
  using namespace ProvocationTexts;
  const TProvSetupRecord& setup = model.Setup();
  const bool mg = model.Nebulizer.UnitOfDose != 0;
  std::vector<TRow> rows(HeaderRows);
  rows[0] = PatientRow(patient);
  rows[2] = {texts.LoadStringA(MaterialLabel), texts.LoadStringA(MaximumLabel), texts.LoadStringA(AccumLabel),
             texts.LoadStringA(ModeLabel),     texts.LoadStringA(TypeLabel),    texts.LoadStringA(ConcentrationLabel),
             texts.LoadStringA(HeadLabel),     texts.LoadStringA(SolutionLabel)};
  rows[3] = {setup.Material,
             setup.Maximum + ' ' + (mg ? "mg" : "ml"),
             texts.LoadStringA(AccumText(setup.Accum)),
             texts.LoadStringA(ModeText(setup.Mode)),
             texts.LoadStringA(TypeText(setup.Type)),
             setup.Concentration,
             texts.LoadStringA(HeadText(setup.Head)),
             setup.MaterialOfSolution};
  for (std::size_t k = 0; k < 3; ++k)
    rows[4][2 + 2 * k] = GetProvParam(model.ParamCode(k));
  rows[5] = {"[mg/ml]", mg ? "[mg]" : "[ml]", "AKT.", "%", "AKT.", "%", "AKT.", "%"};
  for (const TProvStep& step : model.StepList())
    rows.push_back(ProvocationStep::Cells(step));
  if (texts.GetLanguageName() == "Magyar")
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (r != HeaderRows - 1)
        for (std::string& cell : rows[r])
          std::replace(cell.begin(), cell.end(), '.', ',');
  return rows;
}

bool SendDataToExcel(const std::vector<TRow>& rows, TDDE& dde) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      if (!dde.PokeDDE(dde.CellAddress(static_cast<unsigned>(r), static_cast<unsigned>(c)), rows[r][c]))
        return false;
  return true;
}

}  // namespace ProvocationSheet
