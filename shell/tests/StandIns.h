#pragma once

// Stand-ins of the component windows that other parts of the system build:
// small widgets that implement the windows' contracts and record what the
// program asks of them, and a recorder of the storage calls. Each window
// tells the program as it closes, as the real ones do, and records every
// message and command the program or a bar sends it.

#include "audiometry/AudioMeterWindow.h"
#include "common/CommandNumbers.h"
#include "measure/core/MeasureWindow.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "records/ExaminationStore.h"
#include "shell/client/ComponentFactories.h"
#include "special/ProvocationWindow.h"
#include "trend/TrendWindow.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// What a stand-in heard: messages (by number and wParam) and the program's
// calls by name.
struct TStandInLog {
  std::vector<std::pair<unsigned, TParam1>> Messages;
  std::vector<std::string> Calls;

  int CountOf(unsigned msg) const {
    int n = 0;
    for (const auto& m : Messages)
      n += m.first == msg;
    return n;
  }
  int CountCommand(unsigned id) const {
    int n = 0;
    for (const auto& m : Messages)
      n += m.first == WM_COMMAND && m.second == id;
    return n;
  }
};

template <class TContract>
class TStandIn : public QWidget, public TContract {
public:
  TStandIn(QWidget* parent, TEventHandler* client, unsigned closedCommand)
      : QWidget(parent), Client(client), ClosedCommand(closedCommand) {
    setMinimumSize(320, 200);
  }

  TStandInLog Log;
  bool Busy = false;

  // The window's own commands are enabled, as a window's enablers would.
  static const TResponseTable& ResponseTable() {
    using S = TStandIn;
    static constexpr TResponseEntry entries[] = {
        Response::Enabler<&S::EnableOwn>(CM_PREPOST),     Response::Enabler<&S::EnableOwn>(CM_CAKE),
        Response::Enabler<&S::EnableOwn>(CM_GRID),        Response::Enabler<&S::EnableOwn>(CM_TABLE1),
        Response::Enabler<&S::EnableOwn>(CM_TABLE2),      Response::Enabler<&S::EnableOwn>(CM_TABLE3),
        Response::Enabler<&S::EnableOwn>(CM_MICROPHONE),  Response::Enabler<&S::EnableOwn>(CM_ALGORITHM1),
        Response::Enabler<&S::EnableOwn>(CM_ALGORITHM2),  Response::Enabler<&S::EnableOwn>(CM_ALGORITHM3),
        Response::Enabler<&S::EnableOwn>(CM_ALGORITHM4),  Response::Enabler<&S::EnableOwn>(CM_SIGNAL_MODE1),
        Response::Enabler<&S::EnableOwn>(CM_SIGNAL_MODE2), Response::Enabler<&S::EnableOwn>(CM_SIGNAL_MODE3),
        Response::Enabler<&S::EnableOwn>(CM_NORMREL),     Response::Enabler<&S::EnableOwn>(CM_PREDICTED),
        Response::Enabler<&S::EnableOwn>(CM_ZOOM),
    };
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }
  void EnableOwn(TCommandEnabler& ce) { ce.Enable(true); }

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    Log.Messages.emplace_back(msg, wParam);
    return msg == WM_GET_IS_START ? Busy : 0;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawText(rect(), Qt::AlignCenter, objectName());
  }
  void closeEvent(QCloseEvent* event) override {
    if (Client && ClosedCommand)
      SendMessage(Client, WM_COMMAND, ClosedCommand, 0);
    if (std::exchange(StayOpen, false))
      event->ignore();
    else
      event->accept();
  }

  TEventHandler* Client;
  unsigned ClosedCommand;
  bool StayOpen = false;
};

class TStandInMeasure final : public TStandIn<TMeasureWindow> {
public:
  TStandInMeasure(const TMeasureWindowArgs& args, QWidget* parent, TEventHandler* client)
      : TStandIn(parent, client, CM_MEASURE_CLOSED), Args(args), Interrupt(static_cast<unsigned short>(args.MeasureType), nullptr),
        Mode(args.MeasureType) {
    setObjectName("StandInMeasure");
  }

  TMeasureInterrupt& Link() override { return Interrupt; }
  short GetMeasureType() const override { return Args.MeasureType; }
  short GetMeasureMode() const override { return Mode; }
  void SetMeasureMode(short mode) override { Mode = mode; Log.Calls.push_back("SetMeasureMode " + std::to_string(mode)); }
  bool IsStageView() const override { return Args.StageView; }
  short GetInstrumentKind() const override { return Kind; }
  void SetInstrumentKind(short kind) override { Kind = kind; }
  bool GetCakeStatus() const override { return Cake; }
  bool GetGridStatus() const override { return Grid; }
  short GetTrialSelection() const override { return Trial; }
  void ClearTrialSelection() override { Trial = 0; Log.Calls.push_back("ClearTrialSelection"); }
  bool HasUnsavedResults() const override { return Unsaved; }
  void SetUnsavedResults(bool unsaved) override { Unsaved = unsaved; }
  void KeepOpen() override { StayOpen = true; }
  void SetNote(short index, std::string_view note) override {
    Log.Calls.push_back("SetNote " + std::to_string(index) + " " + std::string(note));
  }
  void SetMeasurementOfParameters() override { Log.Calls.push_back("SetMeasurementOfParameters"); }
  void ChangeButtonColor() override { Log.Calls.push_back("ChangeButtonColor"); }
  void SetZeroPending() override { Log.Calls.push_back("SetZeroPending"); }
  void RestorePrePost() override { Log.Calls.push_back("RestorePrePost"); }
  void SetProvocationMode(bool on) override { ProvocationMode = on; }
  void SetBRate(short rate) override { Log.Calls.push_back("SetBRate " + std::to_string(rate)); }
  void ApplySettings(const TMeasureSettings& settings) override {
    Settings = settings;
    Log.Calls.push_back("ApplySettings");
  }
  void SetDisplayFormats(const TDisplayFormats& formats) override { Formats = formats; }
  void Repaint() override { update(); }
  TProvocationResults& ProvocationResults() override { return Results; }
  float GetAktValue(short type, short trial, short index) const override {
    const auto found = Akt.find({type, trial, index});
    return found != Akt.end() ? found->second : 0.0f;
  }
  void ClearAllTrials() override {
    Akt.clear();
    Log.Calls.push_back("ClearAllTrials");
  }
  void SetChanged(short type) override { Log.Calls.push_back("SetChanged " + std::to_string(type)); }

  TMeasureWindowArgs Args;
  TProvocationResults Results;
  // The actual values by test type, trial and parameter index.
  std::map<std::tuple<short, short, short>, float> Akt;
  TMeasureInterrupt Interrupt;
  short Mode;
  short Kind = 0;
  bool Cake = true;
  bool Grid = true;
  short Trial = 0;
  bool Unsaved = false;
  bool ProvocationMode = false;
  TMeasureSettings Settings;
  TDisplayFormats Formats;
};

class TStandInProvocation final : public TStandIn<TProvocationWindow> {
public:
  TStandInProvocation(QWidget* parent, TEventHandler* client) : TStandIn(parent, client, CM_PROVOCATION_CLOSED) {
    setObjectName("StandInProvocation");
  }
  bool GetGridStatus() const override { return true; }
  bool IsNebulizerRunning() const override { return State.NebulizerRunning; }
  bool IsEnd() const override { return State.End; }
  bool HasProvokedRow() const override { return State.ProvokedRow; }
  int GetNumberOfListBoxItem() const override { return static_cast<int>(Rows.size()); }
  bool CheckProvocationOK() override { return false; }
  void ApplyNebulizerSettings(const TNebulizerSettings& settings) override { Nebulizer = settings; }
  void SetNebulizerReady(bool ready) override {
    NebulizerReady = ready;
    Log.Calls.push_back(std::string("SetNebulizerReady ") + (ready ? "1" : "0"));
  }
  void Repaint() override { update(); }
  TProvocationSteps& Steps() override { return State; }
  // The first row is the baseline, every later one a provoked step.
  void AddDataToProvListBox(const std::array<float, 3>& values) override {
    (Rows.empty() ? State.BaselineDone : State.ProvokedRow) = true;
    Rows.push_back(values);
  }
  bool IsThereEndOfQueue() const override { return QueueUsedUp; }
  std::string LimitCrossedText() const override { return Crossed; }
  bool GetNextDose() override {
    Log.Calls.push_back("GetNextDose");
    State.NebulizerRunning = NextDoseStartsNebulizer;
    return NextDoseTaken;
  }
  void StartNebulizer() override {
    Log.Calls.push_back("StartNebulizer");
    State.NebulizerRunning = true;
  }

  TNebulizerSettings Nebulizer;
  bool NebulizerReady = false;
  TProvocationSteps State;
  std::vector<std::array<float, 3>> Rows;
  bool QueueUsedUp = false;
  std::string Crossed;  // the crossed-limit warning
  bool NextDoseTaken = true;
  bool NextDoseStartsNebulizer = false;
};

class TStandInAudioMeter final : public TStandIn<TAudioMeterWindow> {
public:
  TStandInAudioMeter(QWidget* parent, TEventHandler* client) : TStandIn(parent, client, CM_AUDIOMETER_CLOSED) {
    setObjectName("StandInAudioMeter");
  }
  int GetAlgorithm() const override { return 1; }
  int GetSignalMode() const override { return 2; }
  int GetMicrophoneVolume() const override { return 40; }
  bool HasUnsavedAudiogram() const override { return Unsaved; }
  void KeepOpen() override { StayOpen = true; }
  bool IsLinkUsable() const override { return true; }
  void ApplyLinkSettings(const TAudioLinkSettings& settings, bool demo, bool) override {
    Link = settings;
    Demo = demo;
  }
  void SetDisplayFormats(const TDisplayFormats&) override {}
  void ReadAutomaticSequence() override { Log.Calls.push_back("ReadAutomaticSequence"); }
  void Repaint() override { update(); }

  bool Unsaved = false;
  TAudioLinkSettings Link;
  bool Demo = false;
};

class TStandInTrend final : public TStandIn<TTrendWindow> {
public:
  TStandInTrend(QWidget* parent, TEventHandler* client) : TStandIn(parent, client, CM_TREND_CLOSED) {
    setObjectName("StandInTrend");
  }
  bool GetGridStatus() const override { return false; }
  void Repaint() override { update(); }
  void AddDataToTrendListBox(const char* date, const char* time, const float*, const float*, char, short) override {
    Log.Calls.push_back(std::string("AddDataToTrendListBox ") + date + "@" + time);
  }
  TTrendModel& Model() override { return TrendModel; }
  void GetFaktors(float& x, float& y) const override { x = y = 1.0f; }
  int CalculateTrendHeight(short, short, short, bool) override { return 0; }
  void PrintTrend(QPainter&, short) override { Log.Calls.push_back("PrintTrend"); }
  int GetPageCount() const override { return 0; }
  int GetGraphPage() const override { return 0; }

  TTrendModel TrendModel;
};

// Records the storage calls; a call fails when told to.
class TStoreRecorder final : public TExaminationStore {
public:
  bool WriteMeasureFile(TMeasureWindow&, short type) override { return Record("write " + std::to_string(type), FailWrite); }
  bool ReadMeasureFile(TMeasureWindow&, short type, bool) override { return Record("read " + std::to_string(type), false); }
  bool ReadStageSets(TMeasureWindow&, short type) override { return Record("stages " + std::to_string(type), false); }
  bool SaveMeasurement(TMeasureWindow&) override { return Record("save", FailSave); }
  bool SaveAudiogram(TAudioMeterWindow&) override { return Record("save audiogram", FailSave); }
  // Brings the stage files back, then says which of the work files hold
  // what ("stage 8: 0 1" names the types whose work file is there).
  bool SaveProvocationStage(TMeasureWindow&, short stageFlag, const TStageTime& filed,
                            const std::function<void()>& prepare) override {
    prepare();
    std::string call = "stage " + std::to_string(stageFlag) + ":";
    for (short type = 0; type < 6; ++type)
      if (WorkFileThere && WorkFileThere(type))
        call += " " + std::to_string(type);
    StageTimes.push_back(filed);
    return Record(std::move(call), FailSave);
  }

  std::vector<std::string> Calls;
  std::vector<TStageTime> StageTimes;
  std::function<bool(short type)> WorkFileThere;
  bool FailWrite = false;
  bool FailSave = false;

private:
  bool Record(std::string call, bool fail) {
    Calls.push_back(std::move(call));
    return !fail;
  }
};

// Factories that make the stand-ins and keep the last of each.
struct TStandInWindows {
  QPointer<TStandInMeasure> Measure;
  QPointer<TStandInProvocation> Provocation;
  QPointer<TStandInAudioMeter> AudioMeter;
  QPointer<TStandInTrend> Trend;
  std::vector<TMeasureWindowArgs> MeasureArgs;

  // `client` is where the windows report their closing.
  TComponentFactories Factories(std::function<TEventHandler*()> client) {
    TComponentFactories f;
    f.Measure = [this, client](const TMeasureWindowArgs& args, QWidget* parent) {
      MeasureArgs.push_back(args);
      auto* window = new TStandInMeasure(args, parent, client());
      Measure = window;
      return TMadeWindow<TMeasureWindow>{window, window};
    };
    f.Provocation = [this, client](const TWindowArgs&, QWidget* parent) {
      auto* window = new TStandInProvocation(parent, client());
      Provocation = window;
      return TMadeWindow<TProvocationWindow>{window, window};
    };
    f.AudioMeter = [this, client](const TWindowArgs&, QWidget* parent) {
      auto* window = new TStandInAudioMeter(parent, client());
      AudioMeter = window;
      return TMadeWindow<TAudioMeterWindow>{window, window};
    };
    f.Trend = [this, client](const TWindowArgs&, QWidget* parent) {
      auto* window = new TStandInTrend(parent, client());
      Trend = window;
      return TMadeWindow<TTrendWindow>{window, window};
    };
    return f;
  }
};
