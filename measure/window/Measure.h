#pragma once

// TMeasure: the measurement window. A widget over TMeasureCore: the core
// keeps the trials, the run, the evaluation and every decision; the
// widget places the small controls, the parameter list and the BTPS panel,
// forwards the mouse, the keyboard and the paint event, and lends its
// screen (TMeasureScreen) to the core's drawing requests.

#include "measure/window/Btps.h"
#include "measure/window/BtpsEdit.h"
#include "measure/core/HotAreas.h"
#include "measure/core/MeasureCore.h"
#include "measure/window/MeasureScreen.h"
#include "measure/window/ParamListView.h"
#include "measure/window/SmallControls.h"
#include "platform/basekit/DelayClock.h"

#include <QCheckBox>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <string_view>


// Hands the core's messages to the client that holds the window. A base of
// TMeasure, built before the core that keeps a pointer to it.
class TMeasureClientLink : public TMeasureClient {
public:
  explicit TMeasureClientLink(TEventHandler* client) : ClientHandler(client) {}
  TResult SendToClient(unsigned msg, TParam1 wParam, TParam2 lParam) override;
  TResult SendToMainWindow(unsigned msg, TParam1 wParam, TParam2 lParam) override;

protected:
  TEventHandlerPtr ClientHandler;
  TEventHandlerPtr MainWindowHandler;
};

class TMeasureFrameScreen;

class TMeasure final : public QWidget, private TMeasureClientLink, public TMeasureCore {
public:
  static constexpr int WindowId = 1501;
  using TMeasureWindow::DesignWidth;
  using TMeasureWindow::DesignHeight;

  // `client` receives the window's messages (the MDI client); `parent` is
  // the widget it lives in. A null `text` leaves the window inert.
  TMeasure(float xScale, float yScale, short measureType, TMessage* text, std::string_view iniFile,
           short languageWord, const PREDICTED_DATA& patient, QWidget* parent, float paramListFactor,
           bool stageView, TEventHandler* client);
  ~TMeasure() override;

  // After construction, once: the equation-set list, the list's place, the
  // pending note, the BTPS panel's values and the measure-log settings.
  void SetupWindow();
  // The program's main window, asked what the client leaves unanswered.
  void SetMainWindow(TEventHandler* mainWindow);
  // Tells the client the window closes; always true.
  bool CanClose();

  float GetXScale() const { return XScale; }
  float GetYScale() const { return YScale; }
  TMeasureScreen& GetScreen() const { return *Screen; }
  TParamListView* GetParamListView() const { return ListView; }
  TBTPS* GetBtps() const { return Btps.get(); }
  TNoteEdit* GetNoteEdit() const { return NoteEdit; }
  WingDingButton* GetNoteButton() const { return NoteButton; }
  TPredictedList* GetPredictedList() const { return PredictedList; }
  // The read-only pre/post note window while it is open.
  QWidget* GetNoteWindow() const { return NoteWindow; }

  // Chooses the equation set as a stored test names it; `verify` checks
  // the patient against its limits.
  void SetPredictedAlgorithm(int algorithm, bool verify);

  // A rectangle of the 800 x 600 design in the window's pixels.
  QRect Scaled(int left, int top, int width, int height) const;

  // The frame takes the window's whole size.
  QSize sizeHint() const override { return size(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  // Rhinomanometry: the pressures the tables show, from TRhinoParam; OK
  // stores them, Cancel reads the stored ones back.
  void ChooseRhinoRows();
  void mouseMoveEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

  bool CalculatedBTPS(short kind) override;
  std::string BtpsRecordBytes() const override;
  void BtpsConditions(float& temperatureC, float& pressureHpa) const override;
  void ShowBtpsReading(const plethysmography::SensorReading& reading, bool written) override;
  void ShowNote(const std::string& note) override;
  void LetWaitingEventsThrough() override;
  void ShowZeroAnimation() override;
  void RemoveZeroAnimation() override;
  void ShowCalibAnimation() override;
  void MoveCalibAnimation() override;
  void RemoveCalibAnimation() override;

public:
  // The waits between the zero hand's frames; a test passes one that does not sleep.
  void SetZeroDelayClock(std::shared_ptr<TDelayClock> clock);

private:
  TMeasureFrameScreen* FrameScreen() const;
  std::shared_ptr<TDelayClock> ZeroDelays;

private:
  class TView;
  friend class TView;

  void CreateControls();
  void DestroyObjects();
  THotState HotState() const;

  float XScale;
  float YScale;
  short LanguageWord;
  bool Inert;
  THotArea Hot = THotArea::None;
  std::unique_ptr<TMeasureScreen> Screen;
  std::unique_ptr<TView> ViewPort;
  std::unique_ptr<TBTPS> Btps;
  QPointer<TParamListView> ListView;
  QPointer<TNoteEdit> NoteEdit;
  QPointer<WingDingButton> NoteButton;
  QPointer<TPredictedList> PredictedList;
  QPointer<QWidget> NoteWindow;
  bool Destroyed = false;
};
