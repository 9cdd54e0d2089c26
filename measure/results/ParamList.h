#pragma once

// TParamList: the text table of the measurement window. It lists the
// evaluated parameters of a test with predicted value, per cent of
// predicted, grade and further trials, or a pre/post comparison, or the
// rhinomanometry flows and resistances. It also carries the predicted-value
// engine. While the pointer is over the table's zoom area a click asks the
// measurement window to zoom the table.

#include "common/PredictedData.h"
#include "common/RhinoParams.h"
#include "measure/results/CalibList.h"
#include "measure/results/ParamListData.h"
#include "platform/framework/EventHandler.h"
#include "predicted/Predicted.h"

#include <span>
#include <string>
#include <string_view>

class TParamList : public TParamListData, public TCalibList, public TPredicted {
public:
  // The cursor shown over the zoom area (a resource number of the system).
  static constexpr int ZoomCursor = 30002;

  enum class TCursorChange { None, Zoom, Arrow };

  // `window` is the measurement window: it answers whether a test runs and
  // receives the zoom command. It may be null (no test, no zoom).
  TParamList(std::string_view iniName, short language, TEventHandler* window, short testKind, float factor);
  // Stores the chosen equation set unless it is the unstored 7.
  ~TParamList() override;

  // Who answers whether context-help mode is on: the client first, then the main window.
  void SetHelpTargets(TEventHandler* client, TEventHandler* mainWindow);

  void FillPredictedRSD(float* predicted, float* rsd, unsigned short kind, const PREDICTED_DATA& patient) const;

  // `actual` holds the trials one after another, `count` values each;
  // `trials` the 1-based trials of the three value columns (0: empty).
  // Values that the spans do not hold read as 0; a parameter whose flag in
  // `selected` (the kind's part of the window's shown flags) is 0 or
  // missing gets no line.
  void FillParamList(std::span<const float> actual, std::span<const float> reference, std::span<const float> rsd,
                     std::span<const std::string_view> names, unsigned short count, std::span<const short, 3> trials,
                     unsigned short kind, std::span<const unsigned> selected, bool showVext, float vext);
  // The pre result stands in trial slot 4 of `actual`.
  void FillPrePostParamList(std::span<const float> actual, std::span<const float> reference,
                            std::span<const float> preReference, std::span<const std::string_view> names,
                            unsigned short count, std::span<const short, 3> trials, unsigned short kind,
                            std::span<const unsigned> selected);
  // `selected` holds one flag per pressure step.
  void FillRhinoParamList(const RHINO_PARAMS& first, const RHINO_PARAMS& second, std::span<const unsigned> selected);

  // Replaces the line at `index` with the text; -1 appends.
  void PutString(const std::string& text, short index);
  // Removes the lines that no parameter filled.
  void DeleteNullString();
  // True while context-help mode is on.
  bool GetHelpContext() const;

  // In the list's own coordinates. The view shows the cursor the answer names.
  TCursorChange EvMouseMove(int x, int y);
  // True when the click was taken (the zoom command was posted).
  bool EvLButtonDown(int x, int y);

  bool IsHovering() const { return Hover; }
  short GetLock() const { return Lock; }
  // Set while the list shows a calibration result: hovering and clicking are ignored.
  void SetLock(short lock) { Lock = lock; }
  short GetTestKind() const { return TestKind; }

private:
  bool InZoomArea(int x, int y) const;
  // True while the list must not react to the pointer.
  bool Busy() const;
  // A blank line for every parameter, before the parameters take their places.
  void BeginFill(unsigned short count);
  void EndFill();

  bool Hover = false;
  short Lock = 0;
  short TestKind = 0;
  TEventHandlerPtr Window;
  TEventHandlerPtr HelpClient;
  TEventHandlerPtr HelpMainWindow;
};
