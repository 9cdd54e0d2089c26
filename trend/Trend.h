#pragma once

// The trend window: one line per examination of a patient with up to five
// chosen parameters, and their curves over time. A thin view over
// TTrendModel: it keeps no database access, asks the main program (the MDI
// client) for every examination with WM_READ_TREND_DATA, and the main
// program answers by calling AddDataToTrendListBox during that request.

#include "common/CommandNumbers.h"
#include "common/PredictedData.h"
#include "platform/framework/EventHandler.h"
#include "trend/TrendModel.h"
#include "trend/TrendPainter.h"
#include "trend/TrendWindow.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>

class QListWidget;
class TMessage;
class TTrendPokeTarget;
struct TTDdeDialogStruct;

class TTrend : public QWidget, public TTrendWindow {
public:
  TTrend(float xScale, float yScale, const TMessage* messages, std::string iniPath, PREDICTED_DATA patient,
         std::string dateFormat, QWidget* parent = nullptr);
  ~TTrend() override;

  // Where requests and notices go: the MDI client, and the main window
  // (help and the context-help question).
  void SetClient(TEventHandler* client) { Client = client; }
  void SetMainWindow(TEventHandler* mainWindow) { MainWindow = mainWindow; }

  void AddDataToTrendListBox(const char* date, const char* time, const float* values, const float* predicted,
                             char marker, short flags) override;
  // The grid's state as the settings keep it.
  bool GetGridStatus() const override;
  void Repaint() override { RedrawScreenBmp(); }
  bool WriteSelectedTrendParams();
  bool CanClose();

  // The off-screen picture of the page.
  void RedrawScreenBmp();
  void CopyScreen();
  void DeleteScreenBmp();
  const QImage& ScreenBmp() const { return Screen; }

  void GetFaktors(float& x, float& y) const override { x = XScale; y = YScale; }
  // The print-out: the total height (setting the page count and graph
  // page), then each page from 1.
  int CalculateTrendHeight(short pageBottom, short firstTop, short nextTop, bool keepSpace) override;
  void PrintTrend(QPainter& painter, short page) override;
  int GetPageCount() const override { return Plan.PageCount; }
  int GetGraphPage() const override { return Plan.GraphPage; }

  // The export's rows, through the spreadsheet connection.
  bool SendDataToExcel(TTrendPokeTarget& target) const;
  // The export command: the spreadsheet settings are confirmed, then the
  // rows go into the workbook.
  void CmDde();
  // Runs the export's settings dialog; true on OK. Tests answer it.
  std::function<bool(TTDdeDialogStruct& settings)> RunDdeDialog;

  TTrendModel& Model() override { return TrendModel; }
  // The colours of the screen page, from the settings' colour set.
  const TTrendColors& GetColors() const { return Colors; }
  QListWidget* ListBox() const { return List; }

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // Runs the parameter dialog on a header column's slot; true on OK.
  std::function<bool(short& slot)> RunParamDialog;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void CmCommand(unsigned id);
  void CmEnable(TCommandEnabler& enabler);
  void CmHelp();
  void CmDdeEnable(TCommandEnabler& enabler);
  void CmAskHelpContext(TParam1 id, TParam2);
  void EvNormRel() { RunCommand(CM_NORMREL, false); }
  void EvPredicted() { RunCommand(CM_PREDICTED, false); }
  void EvGrid() { RunCommand(CM_GRID, false); }
  bool HelpMode() const;
  void Notify(unsigned message, TParam1 wParam);
  void FillList();
  void ReadColors();
  void RunCommand(unsigned id, bool notify);
  TTrendPageContext Context() const;

  float XScale;
  float YScale;
  const TMessage* Messages;
  std::string IniPath;
  PREDICTED_DATA Patient;
  std::string DateFormat;
  TTrendModel TrendModel;
  TTrendColors Colors;
  QImage Background;
  QImage Screen;
  QListWidget* List = nullptr;
  TEventHandlerPtr Client;
  TEventHandlerPtr MainWindow;
  TTrendPrintPlan Plan;
  bool OverColumn = false;
  bool Filling = false;    // the list is being refilled: no selection changes
  bool Reloading = false;  // the model is asking again for its lines
};
