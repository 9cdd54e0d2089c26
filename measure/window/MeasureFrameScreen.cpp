// The measurement window's screen: everything is painted into the
// window's own frame image, in the 800 x 600 reference layout scaled by
// the window's factors, by the headless painter. A paint of the widget
// only shows that frame, or the frozen screen copy while one exists. What
// the logic draws while a test runs (a curve segment, the live number, an
// animation step) goes into the frame and the copy at once, and only the
// changed rectangle is updated.

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"

#include "measure/screen/PlethyPainter.h"
#include "measure/screen/ShutterPainter.h"
#include "measure/screen/PressureChart.h"
#include "measure/screen/RhinoScreenTexts.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/ImagePicture.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "platform/basekit/ui/WaitCursor.h"

#include <QPainter>

#include <algorithm>
#include <optional>
#include <random>

namespace {

QRect ToQRect(const TRect& r) { return {r.Left, r.Top, r.Width(), r.Height()}; }

using PressureChart::BalloonPen;
using PressureChart::FleischPen;

}  // namespace

TMeasureFrameScreen::TMeasureFrameScreen(TMeasure& window, std::shared_ptr<const TPictureSource> pictures)
    : W(window), Pictures(std::move(pictures)), Cake([] {
        static std::minstd_rand flicker(std::random_device{}());
        return static_cast<unsigned>(flicker());
      }) {}

TMeasureFrameScreen::~TMeasureFrameScreen() = default;

TMeasurePainter* TMeasureFrameScreen::GetPainter() {
  if (!Painter && W.GetMessages()) {
    Util.ReadColors(W.GetIniFile());
    Painter = std::make_unique<TMeasurePainter>(W, Util, *W.GetMessages(), Pictures);
    Painter->Hooks[TPaintStep::ZeroFrame] = [this](TDrawSurface& surface) {
      Painter->DrawPictures(surface, Zero.Redraw());
    };
    // The diffusion unit's calibration screen: its pressure chart, the
    // lines held so far and their losses.
    Painter->Hooks[TPaintStep::PressureAxes] = [this](TDrawSurface& surface) {
      if (const auto chart = PressureChart::CalibrationChart(W))
        PressureChart::DrawPressureKoordinata(*Painter, surface, chart->Scale);
    };
    Painter->Hooks[TPaintStep::PressureCurves] = [this](TDrawSurface& surface) {
      // The axes are a step of their own.
      if (const auto chart = PressureChart::CalibrationChart(W))
        PressureChart::DrawHeldCurves(*Painter, surface, *chart);
    };
    // Rhinomanometry: the pressure-flow diagram and the four curves.
    Painter->Hooks[TPaintStep::RhinoAxes] = [this](TDrawSurface& surface) {
      RhinoChart::DrawRhinoKoordinata(*Painter, surface, RhinoFrame(), RhinoFactors(W.ZoomLevel));
    };
    Painter->Hooks[TPaintStep::RhinoCurves] = [this](TDrawSurface& surface) {
      RhinoChart::DrawRhinoCurves(*Painter, surface, RhinoFrame(), RhinoFactors(W.ZoomLevel), RhinoCurves());
    };
    Painter->Hooks[TPaintStep::RhinoTable] = [this](TDrawSurface& surface) {
      // The head keeps still while a test runs.
      if (W.StartId != 0)
        return;
      RhinoScreenTexts::TRhinoTableHead head;
      head.ScreenIndex = W.ScreenIndex;
      head.Provoked = W.Rhino.Provoked;
      head.PairStored = {W.Rhino.LoadedAkt, W.Rhino.LoadedPre};
      W.SetRhinoDateTimeStr(head.Date[0], head.Date[1], head.Time[0], head.Time[1]);
      RhinoScreenTexts::WriteRhinoTable(*Painter, surface, *W.GetMessages(), head);
    };
    Painter->Hooks[TPaintStep::RhinoProvText] = [this](TDrawSurface& surface) {
      RhinoScreenTexts::WriteRhinoProvocation(
          *Painter, surface, *W.GetMessages(),
          {W.Rhino.ProvocationMaterial, W.Rhino.ProvocationConcentration, W.Rhino.ProvocationDose});
    };
    Painter->Hooks[TPaintStep::RhinoBigTable] = [this](TDrawSurface& surface) {
      RhinoScreenTexts::DrawRhinoBigTable(*Painter, surface, *W.GetMessages(), W.Rhino.ParamsAkt, W.Rhino.ParamsPre,
                                          W.Rhino.ShownRows(), W.Rhino.Provoked);
    };
    Painter->Hooks[TPaintStep::PressureText] = [this](TDrawSurface& surface) {
      PressureChart::DrawPressureLoss(*Painter, surface, W.GetMessages()->LoadStringA(442), W.FleischPressureLoss,
                                      W.GetMessages()->LoadStringA(443), W.BalloonPressureLoss);
    };
  }
  if (Painter)
    SyncDisplay();
  return Painter.get();
}

void TMeasureFrameScreen::ReadColors() {
  Util.ReadColors(W.GetIniFile());
}

void TMeasureFrameScreen::SyncDisplay() {
  TMeasureDisplay& d = Painter->Display;
  d.XScale = W.GetXScale();
  d.YScale = W.GetYScale();
  d.ScreenIndex = W.ScreenIndex;
  d.ScreenMode = W.ScreenMode;
  d.ResultKind = W.ResultKind;
  d.BigTable = W.TableZoomed;
  d.PrePost = W.PrePostMode;
  d.StageView = W.StageView;
  d.Grid = W.GridOn ? 1 : 0;
  if (const TParamListView* list = W.GetParamListView())
    d.ListGrid = list->TextGrid(W);
  else
    d.ListGrid.reset();
  const auto chart = PressureChart::CalibrationChart(W);
  Painter->PressureCurves = chart && chart->HasCurves();
  if (W.GetMeasureMode() == MEASURE_RHINO) {
    // The provocation block shows once a provocation is entered; the big
    // table's head names both pairs' dates, or what a pair holds.
    Painter->RhinoResults = W.Rhino.Provoked;
    MeasureTexts::TRhinoDates& dates = d.RhinoDates;
    const auto& counts = W.SampleCount[MEASURE_RHINO];
    dates.SideShown = {counts[0] > 0 || counts[1] > 0, counts[2] > 0 || counts[3] > 0};
    dates.ProvocationView = W.Rhino.Provoked;
    W.SetRhinoDateTimeStr(dates.Date[0], dates.Date[1], dates.Time[0], dates.Time[1]);
  }
  Painter->ZeroActive = Zero.IsLoaded();
  Painter->AnyAnimationActive = Cake.IsShown() || Stick.IsLoaded() || Zero.IsLoaded();
}

void TMeasureFrameScreen::EnsureFrame() {
  if (Frame.size() == W.size() && !Frame.isNull())
    return;
  Frame = QImage(W.size(), QImage::Format_RGB32);
  Frame.fill(Qt::black);
  Render(false);
}

template <typename TDraw>
void TMeasureFrameScreen::DrawDirect(TDraw&& draw) {
  EnsureFrame();
  for (QImage* image : {&Frame, Copy ? &*Copy : nullptr}) {
    if (!image)
      continue;
    QPainter painter(image);
    TPainterSurface surface(painter);
    draw(surface);
  }
}

void TMeasureFrameScreen::Render(bool fromFramework) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  QPainter qp(&Frame);
  TPainterSurface surface(qp);
  painter->MeasurePaint(surface, fromFramework);
  if (!fromFramework || !W.IsRunning())
    DrawAnimations(surface);
}

void TMeasureFrameScreen::DrawAnimations(TDrawSurface& surface) {
  const short age = static_cast<short>(W.PredictedData.Age);
  if (Cake.IsShown())
    Painter->DrawPictures(surface, Cake.Draw(age));
  if (Stick.IsLoaded())
    Painter->DrawPictures(surface, Stick.Draw());
}

void TMeasureFrameScreen::SetCurrentFactor() {
  if (TMeasurePainter* painter = GetPainter())
    painter->SetCurrentFactor();
}

void TMeasureFrameScreen::CopyScreen() {
  EnsureFrame();
  Copy = Frame.copy();
}

void TMeasureFrameScreen::DeleteScreenBmp() { Copy.reset(); }

void TMeasureFrameScreen::RedrawScreenBmp() {
  const TWaitCursor wait;
  // A run does not write the table's head (the list below it may change
  // under a test): the head on the screen since the start stays, as the
  // picture saved then would keep it.
  std::optional<QImage> head;
  const QRect table = ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), MeasureLayout::TableBox));
  if (W.IsRunning() && W.ScreenMode == 1 && !Frame.isNull() && Frame.size() == W.size())
    head = Frame.copy(table);
  Copy.reset();
  EnsureFrame();
  Render(false);
  if (head) {
    QPainter painter(&Frame);
    painter.drawImage(table.topLeft(), *head);
  }
  Copy = Frame.copy();
  W.update();
}

void TMeasureFrameScreen::ClearMeasureScreen() {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([painter](TDrawSurface& s) { painter->ClearMeasureScreen(s); });
  W.update();
}

void TMeasureFrameScreen::ClearVolumeScreen() {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([painter](TDrawSurface& s) { painter->ClearVolumeScreen(s); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), MeasureLayout::LowerArea(W.ScreenIndex))));
}

TRhinoFrame TMeasureFrameScreen::RhinoFrame() const { return {W.ScreenMode, 81.0f, W.StartId != 0}; }

RhinoChart::TRhinoCurves TMeasureFrameScreen::RhinoCurves() const { return RhinoChart::CurvesOf(W); }

void TMeasureFrameScreen::DrawCurve(short trial, short index, bool final) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  bool drawn = false;
  if (TMeasureData::MeasureMode == MEASURE_RHINO) {
    DrawDirect([&](TDrawSurface& s) {
      drawn = RhinoChart::DrawRhinoSegment(*painter, s, RhinoFrame(), RhinoFactors(W.ZoomLevel), RhinoCurves(), trial,
                                           static_cast<std::size_t>(index)) ||
              drawn;
    });
    if (drawn)
      W.update();
    return;
  }
  DrawDirect([&](TDrawSurface& s) { drawn = painter->DrawCurve(s, trial, index, final) || drawn; });
  if (drawn)
    W.update(ChangedArea());
}

QRect TMeasureFrameScreen::ChangedArea() const {
  // The segment lies in the curve area or the volume-time area; both are
  // small against the window, and the update merges them.
  const float fx = W.GetXScale(), fy = W.GetYScale();
  const TRect work = TUtil::Scale(fx, fy, MeasureLayout::WorkArea(W.ScreenMode));
  const TRect lower = TUtil::Scale(fx, fy, MeasureLayout::LowerArea(W.ScreenIndex));
  return ToQRect(work).united(ToQRect(lower));
}

void TMeasureFrameScreen::WriteLargeParam(float value) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  bool written = false;
  DrawDirect([&](TDrawSurface& s) { written = painter->WriteLargeParam(s, value, W.TrialIndex) || written; });
  if (written)
    W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), MeasureLayout::LogoBox)));
}

void TMeasureFrameScreen::UpdateTableTitle() {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([painter](TDrawSurface& s) { painter->UpdateTableTitle(s); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), MeasureLayout::TableBox)));
}

bool TMeasureFrameScreen::RefreshMeasureUnit(short) {
  // The BTPS text is the panel's own, painted over the frame at every paint.
  W.update();
  return true;
}

void TMeasureFrameScreen::RebuildToolTipObjects() {
  Tips.clear();
  if (!W.GetMessages())
    return;
  Tips = MeasureTexts::ToolTips(W.ScreenMode, W.TableZoomed, W.PrePostMode, W.StageView, *W.GetMessages());
}

void TMeasureFrameScreen::MeasurePaint() {
  EnsureFrame();
  Render(true);
  W.update();
}

void TMeasureFrameScreen::InvalidateScreen() {
  EnsureFrame();
  Render(true);
  W.update();
}

void TMeasureFrameScreen::DrawMetronome(short state) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  // The plethysmograph's metronome has marks of its own.
  if (W.MeasureMode == MEASURE_PLETHY) {
    if (W.IsRunning()) {
      DrawDirect([&](TDrawSurface& s) { PlethyPainter::DrawRectangle(*painter, s, state); });
      W.update();
    }
    return;
  }
  DrawDirect([&](TDrawSurface& s) { ShutterPainter::DrawCircle(*painter, s, state); });
  const auto [first, second] = ShutterPainter::MetronomeMarks;
  constexpr int across = ShutterPainter::MetronomeCircle;
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(),
                                TRect{first.X, first.Y, second.X + across, second.Y + across})));
}

void TMeasureFrameScreen::ShowSearchProgress(const std::string& text) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([&](TDrawSurface& s) { PlethyPainter::WriteSearchProgress(*painter, s, text); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), PlethyPainter::SearchProgressRect)));
}

void TMeasureFrameScreen::SetStatusText(const std::string& text) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([&](TDrawSurface& s) { PlethyPainter::WriteStatusLine(*painter, s, text); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), PlethyPainter::StatusLineRect)));
}

void TMeasureFrameScreen::DrawShutterPoint(short index) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  const short trial = painter->Core().TrialIndex;
  DrawDirect([&](TDrawSurface& s) { ShutterPainter::DrawAcross(*painter, s, trial, index); });
  W.update();
}

void TMeasureFrameScreen::WriteBreathingRate(int x, int y, const std::string& text) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  // The field ends at the lower area's right frame: the body box writes
  // its rate near it, right of its panels.
  const TRect rect{x, y, std::min(x + 220, MeasureLayout::LowerArea(W.ScreenIndex).Right), y + 14};
  DrawDirect([&](TDrawSurface& s) {
    TUtil::TextRectOut(s, W.GetXScale(), W.GetYScale(), rect, text, painter->Color(TUtil::Background),
                       painter->Color(2), 10, "Courier New", 0, 700, true);
  });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), rect)));
}

void TMeasureFrameScreen::ShowSequenceText(int left, int top, int right, int bottom, const std::string& text) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  const TRect rect{left, top, right, bottom};
  DrawDirect([&](TDrawSurface& s) { painter->WriteSequenceText(s, rect, text); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), rect)));
}

void TMeasureFrameScreen::ClearWorkArea() {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return;
  DrawDirect([painter](TDrawSurface& s) { painter->ClearHurokScreen(s); });
  W.update(ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), MeasureLayout::WorkArea(W.ScreenMode))));
}

void TMeasureFrameScreen::Paint(QPainter& painter, const QRect& dirty) {
  EnsureFrame();
  const QImage& shown = Copy ? *Copy : Frame;
  painter.drawImage(dirty, shown, dirty);
}

std::optional<MeasureTexts::TToolTip> TMeasureFrameScreen::TipAt(const QPoint& at) const {
  for (const MeasureTexts::TToolTip& tip : Tips)
    if (ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), tip.Rect)).contains(at))
      return tip;
  return std::nullopt;
}

QString TMeasureFrameScreen::ToolTipAt(const QPoint& at) const {
  const auto tip = TipAt(at);
  return tip ? QString::fromStdString(tip->Text) : QString();
}

QRect TMeasureFrameScreen::ToolTipRect(const QPoint& at) const {
  const auto tip = TipAt(at);
  return tip ? ToQRect(TUtil::Scale(W.GetXScale(), W.GetYScale(), tip->Rect)) : QRect();
}

// --- Animations ------------------------------------------------------------------

void TMeasureFrameScreen::ShowPictures(const TPictureDraws& draws) {
  TMeasurePainter* painter = GetPainter();
  if (!painter || draws.empty())
    return;
  DrawDirect([&](TDrawSurface& s) { painter->DrawPictures(s, draws); });
  QRect changed;
  for (const TPictureDraw& draw : draws) {
    const auto picture = painter->Picture(draw.Name);
    if (!picture)
      continue;
    const TPoint at = TUtil::Scale(W.GetXScale(), W.GetYScale(), draw.At);
    const TSize size = picture->Size();
    changed |= QRect(at.X, at.Y, static_cast<int>(static_cast<float>(size.Width) * W.GetXScale()) + 1,
                     static_cast<int>(static_cast<float>(size.Height) * W.GetYScale()) + 1);
  }
  W.update(changed);
}

bool TMeasureFrameScreen::PicturesPresent(std::span<const std::string_view> names, bool all) {
  TMeasurePainter* painter = GetPainter();
  if (!painter)
    return false;
  std::size_t present = 0;
  for (const std::string_view name : names)
    present += painter->Picture(name) ? 1 : 0;
  return all ? present == names.size() : present > 0;
}

bool TMeasureFrameScreen::LoadCake(short age, bool anyPredicted) {
  return Cake.Load(age, W.MeasureMode == MEASURE_RHINO, anyPredicted, PicturesPresent(TCakeAnimation::Pictures, true),
                   AnimationSettings::ReadCake(W.GetIniFile()));
}

bool TMeasureFrameScreen::InitCake(short age, float predicted) {
  if (!Cake.Init(age, W.MeasureMode, predicted, AnimationSettings::ReadCake(W.GetIniFile())))
    return false;
  W.GetView().ShowParamList(false);
  ShowPictures(Cake.Draw(age));
  CopyScreen();
  return true;
}

void TMeasureFrameScreen::MoveFlame(short age) { ShowPictures(Cake.MoveFlame(age)); }

void TMeasureFrameScreen::FlameOff(short age, float referenceVolumeL, float volumeL) {
  ShowPictures(Cake.FlameOff(age, referenceVolumeL, volumeL));
}

void TMeasureFrameScreen::CloseCake() {
  const bool wasShown = Cake.IsShown();
  Cake.Close();
  if (wasShown)
    ListBack();
}

bool TMeasureFrameScreen::LoadCalib() {
  const short enable = AnimationSettings::ReadCalibEnable(W.GetIniFile());
  if (!Stick.Load(enable, enable != 0 && PicturesPresent(TStickAnimation::Pictures, false)))
    return false;
  W.GetView().ShowParamList(false);
  ShowPictures(Stick.Init(AnimationSettings::ReadStickPause(W.GetIniFile())));
  CopyScreen();
  return true;
}

void TMeasureFrameScreen::MoveStick() { ShowPictures(Stick.Move()); }

void TMeasureFrameScreen::DestroyCalib() {
  if (Stick.Destroy())
    ListBack();
}

bool TMeasureFrameScreen::LoadZero(TDelayClock& clock) {
  const std::string_view ini = W.GetIniFile();
  const short enable = AnimationSettings::ReadZeroEnable(ini);
  if (!Zero.Load(enable, AnimationSettings::ReadZeroDelay(ini),
                 enable != 0 && PicturesPresent(TZeroAnimation::Pictures, false)))
    return false;
  W.GetView().ShowParamList(false);
  // Each hand is on the screen before the wait that follows it.
  Zero.Play(
      [this](const TPictureDraw& draw) {
        ShowPictures({draw});
        W.repaint();
      },
      clock);
  // The next repaint during zeroing is the one just drawn.
  if (Painter)
    Painter->AnimationPending = true;
  return true;
}

void TMeasureFrameScreen::DestroyZero() {
  if (Zero.Destroy())
    ListBack();
}

void TMeasureFrameScreen::ListBack() {
  UpdateTableTitle();
  W.GetView().ShowParamList(true);
}

std::unique_ptr<TMeasureScreen> MakeMeasureScreen(TMeasure& window) {
  return std::make_unique<TMeasureFrameScreen>(window, std::make_shared<TResourcePictures>());
}

void TMeasureFrameScreen::DrawPressureCurve(short line, short index) {
  TMeasurePainter* painter = GetPainter();
  if (!painter || index < 0)
    return;
  const auto chart = PressureChart::CalibrationChart(W);
  if (!chart)
    return;
  const TMeasureData::TCurve& buffer = line == 0 ? W.PressureA : W.PressureB;
  DrawDirect([&](TDrawSurface& s) {
    if (index <= 1)
      PressureChart::DrawPressureKoordinata(*painter, s, chart->Scale);
    PressureChart::DrawPressureCurve(*painter, s, chart->Scale, buffer, static_cast<std::size_t>(index),
                                     line == 0 ? FleischPen : BalloonPen);
  });
  const TRect area = TUtil::Scale(W.GetXScale(), W.GetYScale(),
                                   TRect{0, PressureChart::OriginY - PressureChart::HeightPx - 20,
                                         PressureChart::OriginX + PressureChart::WidthPx + 40,
                                         PressureChart::OriginY + 20});
  W.update(ToQRect(area));
}
