#pragma once

// The measurement window's screen over its frame image (see
// MeasureFrameScreen.cpp). Beside the screen requests of the logic it runs
// the picture animations and answers the tool tips of the result table.

#include "measure/screen/RhinoChart.h"
#include "measure/screen/MeasureAnimations.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/window/MeasureScreen.h"
#include "measure/screen/MeasureTexts.h"
#include "platform/basekit/Util.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <string_view>

class TDelayClock;

class TMeasureFrameScreen final : public TMeasureScreen {
public:
  TMeasureFrameScreen(TMeasure& window, std::shared_ptr<const TPictureSource> pictures);
  ~TMeasureFrameScreen() override;

  void SetCurrentFactor() override;
  void CopyScreen() override;
  void DeleteScreenBmp() override;
  void RedrawScreenBmp() override;
  void ClearMeasureScreen() override;
  void ClearVolumeScreen() override;
  void DrawPressureCurve(short line, short index) override;
  void DrawCurve(short trial, short index, bool final) override;
  void WriteLargeParam(float value) override;
  void UpdateTableTitle() override;
  bool RefreshMeasureUnit(short unitSystem) override;
  void RebuildToolTipObjects() override;
  void MeasurePaint() override;
  void InvalidateScreen() override;
  void DrawMetronome(short state) override;
  void DrawShutterPoint(short index) override;
  void WriteBreathingRate(int x, int y, const std::string& text) override;
  void ShowSequenceText(int left, int top, int right, int bottom, const std::string& text) override;
  void ClearWorkArea() override;
  void ShowSearchProgress(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void Paint(QPainter& painter, const QRect& dirty) override;
  QString ToolTipAt(const QPoint& at) const override;
  QRect ToolTipRect(const QPoint& at) const override;

  // The painter of the window (null for a window without texts); the
  // printouts paint the same diagrams through one of their own.
  TMeasurePainter* GetPainter();
  // The colours again from the ini file ("Colors").
  void ReadColors();
  const TUtil& GetUtil() const { return Util; }
  bool HasScreenCopy() const override { return Copy.has_value(); }
  const QImage& GetFrame() const { return Frame; }

  // --- Animations over the parameter list ---------------------------------
  bool LoadCake(short age, bool anyPredicted) override;
  // Shows the cake for a test; true when it is shown (the list is hidden).
  bool InitCake(short age, float predicted) override;
  void MoveFlame(short age) override;
  void FlameOff(short age, float referenceVolumeL, float volumeL) override;
  void CloseCake() override;
  const TCakeAnimation& GetCake() const { return Cake; }
  bool LoadCalib();
  void MoveStick();
  void DestroyCalib();
  const TStickAnimation& GetStick() const { return Stick; }
  // Plays the zero hand frame by frame, waiting on `clock` between frames.
  bool LoadZero(TDelayClock& clock);
  void DestroyZero();
  const TZeroAnimation& GetZero() const { return Zero; }

private:
  void SyncDisplay();
  // Rhinomanometry's diagram in the window's layout and its four curves.
  TRhinoFrame RhinoFrame() const;
  RhinoChart::TRhinoCurves RhinoCurves() const;
  void EnsureFrame();
  void Render(bool fromFramework);
  void DrawAnimations(TDrawSurface& surface);
  template <typename TDraw>
  void DrawDirect(TDraw&& draw);
  QRect ChangedArea() const;
  void ShowPictures(const TPictureDraws& draws);
  // After an animation: the table's header and the list come back.
  void ListBack();
  bool PicturesPresent(std::span<const std::string_view> names, bool all);
  std::optional<MeasureTexts::TToolTip> TipAt(const QPoint& at) const;

  TMeasure& W;
  std::shared_ptr<const TPictureSource> Pictures;
  TUtil Util;
  std::unique_ptr<TMeasurePainter> Painter;
  QImage Frame;
  std::optional<QImage> Copy;
  std::vector<MeasureTexts::TToolTip> Tips;
  TCakeAnimation Cake;
  TStickAnimation Stick;
  TZeroAnimation Zero;
};
