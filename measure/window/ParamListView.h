#pragma once

// TParamListView: the list box that shows a TParamList. It shows the lines
// in the list's bold fixed-pitch font, forwards the pointer to the list and
// shows the zoom cursor while the list hovers over its zoom area.

#include "measure/screen/MeasureTexts.h"

#include <QListWidget>

#include <optional>

class TParamList;

class TParamListView final : public QListWidget {
public:
  TParamListView(TParamList& list, QWidget* parent);
  ~TParamListView() override;

  // Takes the list's lines and font.
  void Refresh();
  // Where the lines' characters stand in the coordinates of `ancestor`
  // (the window whose frame the headings are painted in).
  MeasureTexts::TListGrid TextGrid(const QWidget& ancestor) const;

  // The cursor the system knows by its resource number 30002: a magnifier.
  static QCursor ZoomCursor();

protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  TParamList& List;
};
