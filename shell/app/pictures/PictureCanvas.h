#pragma once

// The canvas the tool buttons' own pictures are drawn on: a 24 x 24 grid,
// rendered at 24 and 48 pixels so that the picture stays sharp on a dense
// screen, with a few strokes that many of the pictures share. The pictures
// are drawn here in code; no artwork is copied in.

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPointF>

#include <string_view>

namespace Pictures {

using TDraw = void (*)(QPainter&);

// One picture by the name of the bitmap it stands for ("2147", "CM_LEFT_NOSE").
struct TNamedDrawing {
  std::string_view Name;
  TDraw Draw;
};

inline const QColor Ink{40, 55, 85};        // outlines and axes
inline const QColor Trace{30, 110, 200};    // curves
inline const QColor Go{40, 150, 60};        // start, add
inline const QColor Halt{200, 45, 40};      // stop, cancel
inline const QColor Paper{250, 250, 245};   // light fills
inline const QColor Skin{240, 200, 160};    // people
inline const QColor Warm{235, 150, 40};     // flames, accents

QIcon Render(TDraw draw);

QPen Stroke(const QColor& color, qreal width = 1.5);
// Light axes of a small chart: the vertical at x 4, the horizontal at y `base`.
void Axes(QPainter& painter, qreal base = 20);
// `count` dots along the picture's bottom right: which of several
// numbered commands (trial 1 to 3, method 1 to 4) the picture stands for.
void Pips(QPainter& painter, int count);
// A filled triangle pointing right (`right`) or left, centred at `centre`.
void Triangle(QPainter& painter, QPointF centre, qreal size, bool right, const QColor& fill);
// A head and shoulders at `at` (the head's centre), `size` 1 for a full-size person.
void Person(QPainter& painter, QPointF at, qreal size = 1);
// A red diagonal cross over the lower right quarter.
void Cross(QPainter& painter);
// A nebulizer: a bottle with its mouthpiece and a spray.
void Nebulizer(QPainter& painter);
// A flow-volume loop in the box `left`, `top`, `width`, `height`.
void FlowVolumeLoop(QPainter& painter, qreal left, qreal top, qreal width, qreal height);

}  // namespace Pictures
