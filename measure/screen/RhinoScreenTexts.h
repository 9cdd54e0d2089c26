#pragma once

// The texts of the rhinomanometry screen: the head above the parameter
// list (the column names of both results, and over each pair either its
// stored date and time or what the pair holds), and the provocation block
// in the volume strip's place after a provocation; and the big table.

#include "common/RhinoParams.h"

#include <array>
#include <span>
#include <string>

class TDrawSurface;
class TMeasurePainter;
class TMessage;

namespace RhinoScreenTexts {

struct TRhinoTableHead {
  short ScreenIndex = 0;
  bool Provoked = false;
  std::array<bool, 2> PairStored{};  // the pair was loaded from storage
  std::array<std::string, 2> Date;
  std::array<std::string, 2> Time;
};

// The head's row for a screen-size index 0 to 5 (any other as 5).
int TableRow(short screenIndex);

void WriteRhinoTable(const TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                     const TRhinoTableHead& head);

struct TRhinoProvocationBlock {
  std::string Material;
  float ConcentrationMgPerMl = 0.0f;
  float DoseMl = 0.0f;
};

void WriteRhinoProvocation(const TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                           const TRhinoProvocationBlock& block);

// The big table in the diagram's place: a flow row and a resistance row
// for each chosen pressure, both results side by side and their change in
// per cent, on the window's rhinomanometry column set.
void DrawRhinoBigTable(TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                       const RHINO_PARAMS& first, const RHINO_PARAMS& second, std::span<const unsigned> rowFlags,
                       bool provoked);

}  // namespace RhinoScreenTexts
