#pragma once

// The one routine that centres the system's dialogs over the main window,
// run when a dialog is first shown. The dialog is centred in a rectangle of
// the main window's size placed at the screen's origin; the main window is
// shown maximized, so the dialog stands centred over it. A dialog larger
// than the main window gets a negative position.

#include <QSize>

class QWidget;

struct TCentredGeometry {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// Left and top are (main − dialog) / 2, right and bottom (main + dialog) / 2,
// each rounded toward zero; the size is right − left by bottom − top, so a
// dialog that is larger than the main window by an odd amount loses a pixel.
TCentredGeometry CentreInMainWindow(QSize dialog, QSize mainWindow);

// Centres `dialog` now. The main window is the top-level window of the
// dialog's parent; without a parent, the application's main window; without
// one, the primary screen.
void CenterDialogOverMainWindow(QWidget& dialog);

// Centres `dialog` each time it is shown from hidden, when its size is
// known; the usual way to give a dialog this behaviour.
void CenterOnShow(QWidget& dialog);
