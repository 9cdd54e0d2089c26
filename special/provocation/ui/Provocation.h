#pragma once

// The bronchial provocation window: the set-up panel, the three compared
// parameters over the step list, and the graph of their change against
// the dose. A thin view over TProvocationModel: the program's provocation
// driver adds the steps and asks for doses through TProvocationWindow; the
// window runs the set-up, parameter and dose dialogs, the nebulizer over
// the open measurement window's link, the spreadsheet export, and draws
// with ProvocationPainter.

#include "common/PredictedData.h"
#include "platform/basekit/Util.h"
#include "special/ProvocationWindow.h"
#include "special/provocation/NebulizerRun.h"
#include "special/provocation/ProvocationModel.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QListWidget;
class TMeasureWindow;
class TImagePicture;
class TMessage;
struct TTDdeDialogStruct;

class TProvocation final : public QWidget, public TProvocationWindow {
public:
  static constexpr int HelpId = 2134;
  static constexpr int ListId = 5930;
  static constexpr TParam1 ChildIndex = 4;

  TProvocation(float xScale, float yScale, TMessage* texts, std::string iniPath, PREDICTED_DATA patient,
               QWidget* parent = nullptr);
  ~TProvocation() override;

  // Where requests and notices go: the MDI client, and the main window
  // (help and the context-help question).
  void SetClient(TEventHandler* client) { Client = client; }
  void SetMainWindow(TEventHandler* mainWindow) { MainWindow = mainWindow; }

  // --- TProvocationWindow.
  bool GetGridStatus() const override;
  bool IsNebulizerRunning() const override { return Model.NebulizerRunning(); }
  bool IsEnd() const override { return Model.Finished(); }
  bool HasProvokedRow() const override { return Model.Steps().ProvokedRow; }
  int GetNumberOfListBoxItem() const override { return static_cast<int>(Model.StepList().size()); }
  bool CheckProvocationOK() override { return Model.CheckProvocationOK(); }
  void ApplyNebulizerSettings(const TNebulizerSettings& settings) override;
  void SetNebulizerReady(bool ready) override { Model.NebulizerReady = ready; }
  void Repaint() override { update(); }
  TProvocationSteps& Steps() override { return Model.Steps(); }
  void AddDataToProvListBox(const std::array<float, 3>& values) override;
  bool IsThereEndOfQueue() const override { return Model.IsThereEndOfQueue(); }
  bool GetNextDose() override;
  void StartNebulizer() override;
  void GetConcAndDose(double& concentration, double& dose) override { Model.GetConcAndDose(concentration, dose); }
  std::string GetAgent() const override { return Model.Setup().Material; }
  std::string LimitCrossedText() const override;

  // Closing: the program stores the stages (once per window).
  bool CanClose();

  TProvocationModel& GetModel() { return Model; }
  const TProvocationModel& GetModel() const { return Model; }
  QListWidget* ListBox() const { return List; }
  const std::string& CountdownText() const { return Countdown; }
  bool IsHandCursor() const { return HandCursor; }

  // The dialogs, which tests answer in their place.
  std::function<bool()> RunSetupDialog;
  std::function<bool(short& code, short& limit)> RunParamDialog;
  std::function<std::optional<float>(float start, float maximum, bool accumulate, short unit)> RunDoseDialog;
  std::function<bool(TTDdeDialogStruct& settings)> RunDdeDialog;
  // Where the spreadsheet workbook lives (the working folder when empty).
  std::string WorkbookFolder;
  // The nebulizer's link over the open measurement window; tests put their
  // own in its place.
  std::function<std::unique_ptr<TNebulizerLink>(TMeasureWindow& measure)> MakeLink;

  // Paints the whole window on any painter (the screen, a picture).
  void PaintOn(QPainter& painter);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // The handlers, as the response table and tests call them.
  void CmZoom();
  void CmGridCommand();
  TResult CmGrid(TParam1, TParam2);
  TResult CmReady(TParam1 hundredths, TParam2 mouthPressure);
  void CmStop();
  void CmStopEnable(TCommandEnabler& enabler);
  void CmCancelProv();
  void CmCancelProvEnable(TCommandEnabler& enabler);
  void ButtonEnable(TCommandEnabler& enabler);
  void CmDde();
  TResult EvCommNotify(TParam1 device, TParam2);
  void CmHelp();
  void CmAskHelpContext(TParam1 id, TParam2);
  bool GetHelpContext() const;

  // The mouse in window pixels: the set-up area and the parameter heads.
  void MouseMovedTo(QPointF at);
  void MousePressedAt(QPointF at);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void FillList();
  void ReportIssues();
  void StepToClient();

  float XScale;
  float YScale;
  TMessage* Texts;
  std::string IniPath;
  PREDICTED_DATA Patient;
  short ResolutionIndex;
  TProvocationModel Model;
  TNebulizerRun Run;
  std::unique_ptr<TNebulizerLink> Link;
  TUtil Colors;
  std::unique_ptr<TImagePicture> Board;
  QListWidget* List = nullptr;
  TEventHandlerPtr Client;
  TEventHandlerPtr MainWindow;
  bool GridEnabled = true;
  bool HandCursor = false;
  bool Closed = false;
  std::string Countdown;
  std::vector<std::string> Reported;  // the set-up's unusable values already named
  std::vector<TParamIssue> ParamIssues;
};
