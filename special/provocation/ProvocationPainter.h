#pragma once

// Draws the whole provocation window in the 800 x 600 design scaled to the
// surface: the board picture, the panels, the patient line, the set-up,
// the heads of the step list, and the graph of the three parameters'
// change against the dose with its marker and limit lines. Headless: it
// draws on any TDrawSurface (the window, a picture, a recording).

#include "common/PredictedData.h"

#include <string>

class TDrawSurface;
class TMessage;
class TPicture;
class TProvocationModel;
class TUtil;

struct TProvPaintContext {
  const TProvocationModel& Model;
  const TMessage& Texts;
  const PREDICTED_DATA& Patient;
  const TUtil& Colors;
  float XScale = 1.0f;
  float YScale = 1.0f;
  short ResolutionIndex = 1;
  bool GridEnabled = true;
  const TPicture* Board = nullptr;  // the background picture; none: panels only
  std::string Countdown;            // the countdown box's text while a nebulisation runs
};

namespace ProvocationPainter {

void Paint(TDrawSurface& surface, const TProvPaintContext& context);

// The parts, in the order Paint draws them.
void DrawBoard(TDrawSurface& surface, const TProvPaintContext& context);
void ClearScreen(TDrawSurface& surface, const TProvPaintContext& context);
void WritePatientData(TDrawSurface& surface, const TProvPaintContext& context);
void WriteProvSetup(TDrawSurface& surface, const TProvPaintContext& context);
void DrawSeparatorLine(TDrawSurface& surface, const TProvPaintContext& context);
void WriteProvParam(TDrawSurface& surface, const TProvPaintContext& context);
void DrawKoordinata(TDrawSurface& surface, const TProvPaintContext& context);
void DrawCurve(TDrawSurface& surface, const TProvPaintContext& context);
void DrawMarker(TDrawSurface& surface, const TProvPaintContext& context);
void DrawLimits(TDrawSurface& surface, const TProvPaintContext& context);
void DrawCountdown(TDrawSurface& surface, const TProvPaintContext& context);

// The header row's height in the design: half of the space between the
// panel's top (67) and the step list's top.
int HeaderHeight(const TProvPaintContext& context);

}  // namespace ProvocationPainter
