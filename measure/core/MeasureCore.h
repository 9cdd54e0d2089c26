#pragma once

// TMeasureCore: the measurement window without its widgets. It holds the
// trials of every test kind (through the instrument data it derives from),
// the settings kept in the ini file, the notes and the predicted values,
// and talks to its client through numbered messages. Everything the user
// must see goes through the message sink of the language texts.
//
// The members are grouped by concern, each group in a file of its own:
// MeasureAccessors.cpp, MeasureSettings.cpp, MeasureCalibration.cpp,
// CurveCompression.cpp, MeasureBuffers.cpp, MeasureNotes.cpp and
// MeasurePredicted.cpp.

#include "measure/results/CalibParams.h"
#include "measure/core/CalibrationClock.h"
#include "measure/core/CommandEnablers.h"
#include "measure/core/MeasureClient.h"
#include "measure/core/MeasureView.h"
#include "measure/core/MeasureWindow.h"
#include "measure/results/ParamsStruct.h"
#include "measure/core/PlethySlot.h"
#include "measure/results/ProvocationBlock.h"
#include "measure/run/LinkCutTrials.h"
#include "measure/run/diffusion/DiffusionState.h"
#include "measure/run/plethysmograph/PlethyEvaluation.h"
#include "measure/run/plethysmograph/PlethysmographState.h"
#include "platform/portkit/plethysmography/BoxGas.h"
#include "measure/run/shutter/ShutterState.h"
#include "common/PushedSettings.h"
#include "platform/basekit/Convert.h"
#include "platform/framework/EventHandler.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "special/rhinomanometry/RhinoState.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TBinaryWriter;
class TMessage;
class TParamList;
struct TTDdeDialogStruct;
class TPredicted;

class TMeasureCore : public TMeasureWindow, public TMeasureInterrupt, public TConvert {
public:
  static constexpr std::size_t PictureSize = 20;   // a date or time picture with its terminator
  static constexpr std::size_t IniPathLength = 254;
  static constexpr std::size_t NoteLength = 60;    // bytes, cut at a character boundary
  static constexpr std::size_t LinePressureSamples = 1510;

  TMeasureCore(TMessage* messages, TMeasureClient* client, unsigned short measureType = MEASURE_FVC);
  ~TMeasureCore() override;

  TMeasureClient* GetClient() const { return Client; }
  TMessage* GetMessages() const { return Messages; }

  // The screen the logic draws on; a core without one draws nothing.
  // Borrowed: the view outlives the core or is taken away first.
  void SetView(TMeasureView* view) { View = view ? view : &NoView; }
  TMeasureView& GetView() const { return *View; }

  // --- The program's contract (MeasureContract.cpp) -------------------

  TMeasureInterrupt& Link() override { return *this; }
  short GetMeasureType() const override { return OpenedType; }
  // The test kind shown (0 to 7): the measure mode of the link and the
  // kind whose calibration section the record uses. A running test stops
  // first.
  void SetMeasureMode(short mode) override;
  short GetMeasureMode() const override { return MeasureType; }
  bool IsStageView() const override { return StageView; }
  short GetInstrumentKind() const override { return Instrument; }
  void SetInstrumentKind(short kind) override { Instrument = kind; }
  bool GetCakeStatus() const override { return AnimationSwitch; }
  bool GetGridStatus() const override { return GridOn; }
  short GetTrialSelection() const override { return TrialOrder[0]; }
  void ClearTrialSelection() override { TrialOrder.fill(0); }
  bool HasUnsavedResults() const override { return Dirty; }
  void SetUnsavedResults(bool unsaved) override { Dirty = unsaved; }
  void KeepOpen() override { StayOpenOnce = true; }
  // Whether the next close is refused (once).
  bool TakeKeepOpen() { return std::exchange(StayOpenOnce, false); }
  void SetNote(short which, std::string_view text) override;
  void SetMeasurementOfParameters() override;
  void ChangeButtonColor() override;
  void SetZeroPending() override { ZeroPending = true; }
  std::string NextStepText() const override;
  void SetProvocationMode(bool on) override { ProvocationMode = on; }
  bool IsIdle() const override { return StartId == 0 && !LinkLent; }
  void SetIdle(bool idle) override { LinkLent = !idle; }
  void SetBRate(short rate) override { SetBRate(static_cast<int>(rate)); }
  void ApplySettings(const TMeasureSettings& settings) override;
  void SetDisplayFormats(const TDisplayFormats& formats) override;
  void Repaint() override { View->RedrawScreenBmp(); }
  TProvocationResults& ProvocationResults() override { return Provocation; }
  float GetAktValue(short type, short trial, short index) const override;
  void ClearAllTrials() override;
  void SetChanged(short type) override;
  const TMeasureSettings& GetSettings() const { return Settings; }

  bool StageView = false;        // the stored stages of a provocation test
  bool AnimationSwitch = true;   // the incentive animation may be used
  bool GridOn = true;
  bool ZeroPending = false;      // the client switched the test kind: wait for a zero
  bool ProvocationMode = false;
  bool LinkLent = false;         // the provocation's nebulizer drives the link
  // A trial of the kind ended since its results were last stored.
  std::array<bool, 7> NewResult{};
  // The key results a provocation step carries from this window.
  TProvocationResults Provocation;
  // The provoked stage's agent, concentration and dose and the solvent, as
  // the stored provocation test gives them (provocation view).
  TProvocationBlock ProvocationStep;
  bool BtpsMeasuring = false;    // the BTPS device is read automatically

  // The instrument the user chose (1 to 4; 3 the diffusion unit, 4 the
  // plethysmograph), set by the client.
  void SetInstrument(short instrument) { Instrument = instrument; }
  short GetInstrument() const { return Instrument; }

  // The predicted values of the window: the parameter list's equations.
  // Borrowed; null until the list exists.
  void SetPredicted(TPredicted* predicted) { Predicted = predicted; }
  TPredicted* GetPredicted() const { return Predicted; }

  // --- Trial slots and their curves -------------------------------------

  bool AllocateSpiroBuffer(short slot, short kind, bool withVolume);
  float* GetSpiroFlowBuffer(short slot);
  float* GetSpiroVolumeBuffer(short slot);
  float* GetSpiroPressureBuffer(short slot);
  float* GetRhinoPressureBuffer(short slot) { return GetSpiroPressureBuffer(slot); }
  float* GetSpiroBoxPressureBuffer(short slot);
  float* GetSpiroMouthPressureBuffer(short slot);

  short GetBufferSize(short kind, short slot) const;
  void SetBufferSize(short kind, short slot, short count);

  short GetBeginResistanceLoop(short slot) const;
  short GetEndResistanceLoop(short slot) const;
  short GetBeginTGVLoop(short slot) const;
  short GetEndTGVLoop(short slot) const;
  void SetBeginResistanceLoop(short slot, short index);
  void SetEndResistanceLoop(short slot, short index);
  void SetBeginTGVLoop(short slot, short index);
  void SetEndTGVLoop(short slot, short index);

  // Result arrays. Slot -1 is slot 0; null for a kind or slot outside the tables.
  float* GetAktBuffer(short kind, short slot);
  float* GetRefBuffer(short kind, short slot);
  float* GetRsdBuffer(short kind);

  void GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                      unsigned short* day) const;
  void SetMeasureDate(short kind, short slot, short year, unsigned short month, unsigned short day);
  void GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                      unsigned short* second) const;
  void SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute, unsigned short second);

  void SetDateFormatStr(std::string_view picture);
  void SetTimeFormatStr(std::string_view picture);
  const char* GetDateFormatStr() const { return DatePictureText.data(); }
  const char* GetTimeFormatStr() const { return TimePictureText.data(); }

  // Served by the parts over the core: the BTPS panel writes its values,
  // the parameter list keeps the display order of each kind's parameters.
  virtual void SaveBtpsParams() {}
  // The BTPS record of the window's panel (17 zero bytes without one): the
  // conditions its results were corrected with.
  std::string ShownBtpsRecord() const { return BtpsRecordBytes(); }
  virtual int* GetIndexBuffer(short /*kind*/) { return nullptr; }

  static short GetNumberOfParams(short kind);
  unsigned* GetParamStruct(short kind);
  static std::span<const std::string_view> GetParamStr(short kind);
  static std::span<const std::string_view> GetUnitStr(short kind);

  bool WasFVC(short n) const { return WasKind(MEASURE_FVC, n); }
  bool WasVC(short n) const { return WasKind(MEASURE_VC, n); }
  bool WasMVV(short n) const { return WasKind(MEASURE_MVV, n); }
  bool WasDFC(short n) const { return WasKind(MEASURE_DFC, n); }
  bool WasPlethy(short n) const { return WasKind(MEASURE_PLETHY, n); }
  bool WasSHUTTER(short n) const { return WasKind(MEASURE_SHUTTER, n); }
  bool WasRHINO() const;

  // The plethysmograph's members of a trial slot; null outside 0 to 3.
  TPlethySlot* GetPlethySlot(short slot);

  // --- Commands of the window (MeasureCommands.cpp) ----------------------

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // Where the parameter list stands for a screen index (0 to 5); `low`
  // under the taller title of a comparison or of rhinomanometry.
  static TListPlacement ListPlacement(short screenIndex, bool low);
  // The screen index of a screen width: 640, 800, 1024, 1152, 1280 and
  // 1600 pixels; any other width is laid out as 800.
  static short ScreenIndexOf(int widthPx);
  // Where the list stands on this window's screen (ScreenWidthPx, ScreenFactors).
  TListPlacement ListPlacementHere(bool low) const;
  int ScreenWidthPx = 800;
  std::array<float, 2> ScreenFactors{1.0f, 1.0f};
  void PlaceListByMode();

  void CmChangeAktualis(unsigned id);
  void MakeChangeAktualis(short j);
  void CmZoom();
  void CmScreen();
  void CmUnit();
  void CmCancelProv();
  void CmPrePostCommand();
  TResult CmPrePost(TParam1 = 0, TParam2 = 0);
  // The running command; 1 while the link is lent, so that nothing takes
  // the window for idle.
  TResult GetIsStart(TParam1 = 0, TParam2 = 0) { return StartId != 0 ? StartId : LinkLent ? 1 : 0; }
  void CmEscButton();
  TResult CmAskHelpContext(TParam1 id, TParam2 = 0);
  bool GetHelpContext() const;
  // The controls' notifications arrive as messages of their own: the
  // control id in the low word, the notification code above it.
  static constexpr unsigned ControlNotify(unsigned control, unsigned code) { return (code << 16) | control; }
  static constexpr unsigned PredictedListId = 5065;
  static constexpr unsigned NoteEditId = 5400;
  static constexpr unsigned CBN_SELCHANGE = 1;
  static constexpr unsigned CBN_SETFOCUS = 3;
  static constexpr unsigned EN_CHANGE = 0x300;
  // The equation-set list's selection changed.
  void TChangePredictedList();
  void CmSetFocusPredictedList();
  // The note button and the note edit.
  void CmShowNote();
  void EnChangeComment() { NoteChanged = true; }
  // What the program reads when it stores the test: the note edit's text,
  // "" without one.
  std::string GetNote() const;
  // The state every enabler answers from.
  TEnablerState EnablerState() const;
  void CommandEnable(TCommandEnabler& enabler);
  // The shown test's cells into the spreadsheet workbook, after the
  // settings dialog (MeasureDde.cpp).
  void CmDde();
  std::function<bool(TTDdeDialogStruct& settings)> RunDdeDialog;
  std::filesystem::path DdeFolder;  // the workbook's folder; empty: the working folder
  // The rows whose commands come with the special tests, and the window
  // messages the widget answers itself: they stay in place and do nothing
  // here.
  void CmNotYet() {}
  void CmNotYetEnable(TCommandEnabler& enabler) { enabler.Enable(false); }
  void CmStartCommand(unsigned id) { CmStart(id); }
  TResult CmDoStartMessage(TParam1 id, TParam2) { return CmDoStart(static_cast<unsigned>(id)); }
  TResult CmReadyMessage(TParam1 index, TParam2 sample) { return CmReady(index, sample); }
  TResult CmRhinoReadyMessage(TParam1 index, TParam2 sample) { return CmRhinoReady(index, sample); }
  TResult CmMetronomMessage(TParam1 state, TParam2) { return CmMetronom(static_cast<unsigned>(state)); }
  TResult EvCommNotifyMessage(TParam1 device, TParam2) { return EvCommNotify(device); }

  // The screen's switches (MeasureScreenCommands.cpp): the big result
  // table, the incentive animation's button and the grid.
  void ReadAnimationSettings();
  // The calibration result for the calibration list: the five labels, the
  // volume lines' constants and mean strokes in ml, and the gas or box
  // values of the instrument type.
  void SetCalibParams(CALIB_PARAMS& params) const;
  void CmZoomTable();
  TResult CmCake(TParam1 = 0, TParam2 = 0);
  void CmCakeCommand();
  TResult CmGrid(TParam1 = 0, TParam2 = 0);
  void CmGridCommand();
  short CakeEnable = 1;          // "Cake" "Enable": 0 switches the animation off for good
  // The incentive animation through a test: prepared at set-up for the
  // patient's age and predicted values, shown at the start of a trial,
  // closed at its stop.
  void LoadCake();
  void InitCake();
  // The predicted value a kind's cake measures the breath against: FVC,
  // IVC or MVV; 0 for the kinds that show no cake.
  float CakePredicted(short kind) const;
  // The candles a cake has: the patient's age.
  short CakeAge() const;
  // Whether the comparison of the actual and the previous result was shown
  // last, in any window: a window opened again on both results shows it.
  static bool PrePostShown;
  // Switches the comparison on again when it was shown last and both the
  // actual and the previous result of the kind have samples.
  void RestorePrePost() override;

  short ScreenIndex = 1;
  short MeasureScreen = 1;       // 0 while a calibration's screen is up
  short SavedZoomLevel = 1;
  short ScreenMode = 1;          // 1 curves beside the list, 0 the full-width curves
  short ResultKind = 1;          // 1 test results, 0 calibration results
  bool TableZoomed = false;
  bool NoteChanged = false;
  bool ExportBusy = false;
  int ReadoutEnabled = 50;
  int ReadoutGroup = -1;

  // --- The parameter list (MeasureTables.cpp) ----------------------------

  // Makes the window's list with its equations; `factor` scales the
  // patient's predicted values.
  void CreateParamList(short language, float factor);
  TParamList* GetParamList() const { return ParamList.get(); }
  // The test results of the current kind into the list: the shown trials
  // beside the predicted values.
  void WriteParamsTable();
  // The actual result beside the previous one.
  void WritePrePostParamsTable();
  // Refills the list as the window shows it now.
  virtual void UpdateParamListBox();
  // The back-extrapolated volume of each slot's FVC, L.
  std::array<float, 4> LostVolume{};
  // The IVC of the actual VC trial, which a plethysmograph start needs.
  float ReferenceIvc = 0.0f;

  // --- Settings of the ini file -----------------------------------------

  // Until a path is set nothing is read or written: every value keeps its
  // default. The window writes its unit system when it closes.
  void SetIniFile(std::string_view path);
  // What the window reads when it opens: units, delay counter, limit, pen
  // width and dose unit.
  void ReadWindowSettings();
  // What it reads when a test's parameters are set up: the metronome and
  // breathing set of the instrument, and whether its calibration holds.
  void ReadParameterSettings();
  const std::string& GetIniFile() const { return IniFile; }
  void ReadLimits();
  void ReadUnitConstans();
  void WriteUnitConstans();
  void ReadDelayCounterConstans();
  void ReadMeasurePenSize();
  void ReadDoseUnit();
  void ReadShutterParams();
  void ReadPlethyShutterParams();

  // --- The shutter test (run/shutter/MeasureShutter.cpp) ------------------

  // CM_SHUTTER: in the shutter test the points are cleared and the series
  // armed; in the plethysmograph test the shutter is only requested.
  void CmShutter();
  // Allocates and clears the raw points and the fitted points; false, after
  // the out-of-memory message, when they cannot be had.
  bool ClearPressurePoints();
  void DeletePressurePoints();
  // Fits the closure whose tenth point is `index` into one point.
  void ChangeShutterStateIfNeed(short index);
  // The final curve of the fitted points into the actual trial's flow and
  // mouth-pressure curves; Shutter.Fitted keeps as many entries as it has.
  void CalculateShutterCurve();
  // The breathing rate from the phase table, and its line on the screen
  // (the plethysmograph's place and format in mode 4).
  void WriteBreathingRate();
  std::string BreathingRateText() const;
  bool ShutterRequested = false;
  TShutterState Shutter;

  // --- The plethysmograph's evaluation (run/plethysmograph/) --------------

  // CurveMove's plethysmograph branch: the actual trial evaluated in the
  // library's order, with the search for the artefact share behind the
  // wait cursor; its loops, marks and searched shares kept in its slot.
  void EvaluatePlethyTrial();
  // CM_RESISTANCE_LOOP1 to 3: the next valid loop of trial 0 to 2 (wrapping)
  // and the resistance figures measured on it.
  void CmSelectResistanceLoop(unsigned id);
  // Adds the trial's RV to the first `count` samples of its volume curve.
  void AddRVtoVolumeCurve(short trial, unsigned long count);
  // "K:..., H:...; " of the selected loop of `trial`; empty when no search ran.
  std::string PlethyReadout(short trial) const;
  plethysmography::TrialSignals PlethySignals(short trial);
  plethysmography::Marks PlethyMarks() const;
  TPlethyEvaluation PlethyEvaluation;

  // --- The body box (run/plethysmograph) ----------------------------------

  TPlethysmographState Plethysmograph;
  // WM_PLETHY_DATA_READY: one sample of the box (the raw flow count, or the
  // box-pressure count in the leak and pump tests) moves its sequence on.
  TResult CmPlethyReady(TParam1 index, TParam2 sample);
  TResult CmPlethyReadyMessage(TParam1 index, TParam2 sample) { return CmPlethyReady(index, sample); }
  bool IsPlethysmographInstrument() const;
  // The air of the box as the panel (or the box's sensors) give it.
  plethysmography::BoxAir BoxAirNow() const;
  // The steps of the sequence: the door wait, the thermal settling, the
  // BTPS sensors read during a test and the values taken over.
  void WaitingCloseTheDoor();
  void WaitingBeforeMeasure();
  void MeasuredBTPSParamsUnderMeasure();
  // False (after the message) when the sensors read out of range.
  bool WriteBTPSParamsUnderMeasure();
  void CalculateBTPSParamsForMeasure();
  // One polled BTPS reading, then `word`; out of range it changes nothing.
  void MeasuredBTPSParams(unsigned short word);
  // The closing instruction once the shutter opened.
  void WriteCommandToScreen();
  // The zero of the box: the instrument's own auto-zero, the interactive
  // zero (the zero command), and the one a test takes before breathing.
  void HardwareAutoZero();
  void DoZeroPlethy();
  void DoZeroPlethyUnderMeasurement();
  bool CalculateZeroParamsUnderMeasurement();
  bool CalculatePlethyZero(bool interactive);
  void SetPumpPosition(short position, unsigned short mask);
  // The box calibration: leak test (step 16), pump swing (step 17), their
  // constants, the syringe strokes and what the stop stores.
  void PressureTest1();
  void PressureTest2();
  bool CalculateBoxLeakageTimeConst();
  void CalculateBoxPressCalConst();
  bool CalculatePlethyCalibrationConstans();
  bool TestCalculateOfPlethyCalibration(float& inspiration, float& expiration, bool interactive);
  // The nonzero text of a "Plethysmograph Parameters" value the box cannot
  // work with; 0 when they all fit.
  int PlethySettingsProblem() const;
  float PatientWeightKg() const;
  static constexpr int BtpsOutOfRangeText = 9470;
  static constexpr int CabinSettingText = 9471;
  static constexpr int PumpVolumeSettingText = 9472;
  static constexpr int StuckPumpText = 9473;

  // Shared by every window: the metronome's tone.
  static short SoundFrequency;
  static short SoundTime;

  // --- Calibration record and reminder ----------------------------------

  // The ini section of the calibration record of the current kind and instrument.
  std::string CalibrationSection() const;
  void WriteLastCalibrateDateAndTime();
  void ReadLastCalibrateDateAndTime(int* year, int* month, int* day, int* hour, int* minute, int* second) const;
  bool VerifyLastCalibrateDateAndTime(int* year, int* month, int* day, int* hour, int* minute, int* second) const;
  bool WasInstrumentCalibrating() const;
  bool HaveToCalibration();
  void SetClock(TLocalClock clock);

  // --- Stored curves ----------------------------------------------------

  // Keeps every fourth sample; count becomes count / 4.
  static void CompressGrafikon(float* curve, int& count);
  // Restores 4 x count samples into a buffer of `capacity` floats. Only
  // the stored samples whose expansion fits are used; false when the
  // curve had to be cut to fit.
  static bool DeCompressGrafikon(float* curve, int& count, int capacity);
  static void LagrangeExtrapolation(float* curve, int& count);
  // The Lagrange polynomial through n points at `at`; 1 (result untouched)
  // when two abscissae are equal.
  static int Lagrange(const float* x, const float* y, int n, float at, float* result);

  // --- Actual and previous results --------------------------------------

  bool AllocateBuffers(short trial, short type, bool flag);
  // The samples of the calibration strokes held (0 before a calibration).
  std::size_t HeldCalibrationSamples() const;
  void ClearAktBuffer(short type, short trial);
  // The slot's parameters only: its curves stay to be seen.
  void ClearAktParams(short type, short trial);
  void CopyAktToPreBuffer(short type, short trial);
  void WatchHaveToCopyAktToPre();
  // The actual result's note becomes the previous one's (an unset note
  // clears it); the actual note is empty afterwards.
  void MoveNoteToPrevious();
  void DoRandom(short trial);

  // --- Rhinomanometry (run/rhinomanometry) ---------------------------------------

  // The test's state: nostril and slots, algorithm, rows, both results and
  // the provocation.
  TRhinoState Rhino;
  // One sample of WM_RHINO_DATA_READY: the flow count in the low word, the
  // nasal pressure count in the high one.
  TResult CmRhinoReady(TParam1 index, TParam2 sample);
  // The zero of a rhinomanometer from the samples at rest; false (after
  // the message) when it is off or unsteady.
  bool CalculateRhinoZero();
  // The end of a recording: the samples the algorithm chooses, averaged,
  // and the flows read off. False when no breath could be evaluated.
  bool SelectOneCurve();
  // The flows of the current slot (TrialIndex, side Rhino.Side) into its
  // result, as after loading a stored test.
  void CalculateRhinoParams();
  // Before a start: a loaded result moves to the second pair.
  void WatchRhinoHaveToCopyAktToPre();
  // The name of the actual algorithm (which 1) or the previous one (any
  // other value); empty for none.
  std::string GetRhinoAlgorithmName(short which) const;
  // The dates and times of the first pair (slot 0, else 1) and the second
  // (slot 2, else 3), in the window's pictures.
  void SetRhinoDateTimeStr(std::string& aktDate, std::string& preDate, std::string& aktTime,
                           std::string& preTime) const;
  // The algorithm and the rows from the ini file; values a hand-edited file
  // spoiled are named in a message and replaced.
  void ReadRhinoSettings();
  void WriteRhinoAlgorithm() const;
  // CM_RHINO_PROVOCATION: the agent from the dialog; the first time the
  // result so far is saved as the base and the second pair emptied for the
  // measurements after the provocation. A base that could not be saved
  // leaves everything as it was.
  void CmRhinoProvocation();
  void SeedRandom(unsigned seed) { Random.seed(seed); }
  // Sends a message of the storage subsystem to the client, once more when
  // it is not answered; true when it was.
  bool Send(unsigned msg, short kind, short trial);
  void SearchTheBest(short type);
  short GetPredictedAlgorithm() const;

  // --- Evaluation of a finished trial (MeasureEvaluation.cpp) -----------

  // Smooths, integrates, shifts to the base line and calculates the actual
  // trial of the current measure mode, then picks the best trial.
  void CurveMove();
  // Smooths the actual trial's flow `passes` times and integrates it again.
  void Filter(short passes);
  // Shifts the actual trial's volume (the calibration volume in a
  // calibration) so that its lowest turning point is 0.
  void DoCurveMove();
  // Integrates a curve read back from storage and shifts it to its base line.
  void ReIntegratedVolume(short type, short trial, unsigned long count);
  void CurveMoveWithRV(short trial, unsigned long count);
  void SetDirtyFlag();
  void SetActualMeasureDate(short trial);
  // Asks the client to show a tool-bar button in a state.
  void ChangeCommandButton(int button, int state);

  // Smoothing passes before and after the FVC's first calculation (the
  // program sets them from its ini file), and whether the FVC is timed by
  // back extrapolation.
  std::array<short, 2> FilterPasses{0, 5};
  short BackExtrapolationRule = 0;
  float DisplayedStartVolume = 0.0f;  // what the curve view marks as the start
  float CalibrationMaximum = 0.0f;    // highest shifted calibration volume
  // Version texts of the stored actual and previous tests: "V0.000" curves
  // were stored starting with an inspiration.
  std::array<std::string, 2> StoredVersion;

  // --- The test run (MeasureRun.cpp, MeasureLog.cpp) --------------------

  // The start buttons (CM_START to CM_START + 2): a calibration first when
  // one is due, else WM_DO_START to itself. Ignored while a test runs.
  void CmStart(unsigned id);
  // Takes the trial's buffers (the demonstration trial from the client
  // without an instrument) and starts the acquisition.
  TResult CmDoStart(unsigned id, TParam2 = 0);
  // One sample of the link: stored, scaled and integrated from the start
  // of the breath, never past the curve buffers.
  TResult CmReady(TParam1 index, TParam2 sample);
  // Ends the run, writes the measure log and evaluates the trial.
  void CmStop();
  // The measure-log file of the trial: the patient, the BTPS record, the
  // factors and the raw samples, under the lowest free number. Empty when
  // it could not be written.
  std::filesystem::path WriteMeasureLog();
  bool IsRunning() const { return StartId != 0; }

  unsigned StartId = 0;          // the running command; 0 idle
  short NoBreathTrial = 0;       // the last trial, 1 to 3, stopped before any breath began; 0 none
  TLinkCutTrials LinkCut;        // trials the instrument link ended before the manoeuvre did
  // Whether the trial now in the slot (0 to 2) of the kind was ended by the link.
  bool TrialCutByLink(short kind, short slot) const;
  // The text that says so, naming the trial (1 to 3).
  std::string LinkCutText(short slot) const;
  // A line below the list about a trial (1 to 3): it found no breath, or
  // it gave no result to store.
  static constexpr int TrialNoBreathText = 9453, TrialNoResultText = 9456;
  void ListTrialLine(int textNumber, short trial);
  bool BtpsDevice = false;       // a BTPS sensor is read between trials
  bool BtpsTimerActive = false;
  bool ListVisible = true;
  short DirectionFlag = 0;       // 1: expirations show the large parameter
  short ElapsedCounter = 0;
  short RunningDelayCounter = 0;
  short CalStrokes = 10;
  unsigned short StrokeCount = 0;
  float LastTurnVolume = 0.0f;
  short CalDoneIndex = 0;
  float CalFactorPos = 1.0f;
  float CalFactorNeg = 1.0f;
  bool SkipMark = false;
  std::filesystem::path HomeFolder = ".";  // where "Bad" keeps the measure logs

  // --- Timers (MeasureTimers.cpp) -----------------------------------------

  // On the link's clock, in the user-interface thread.
  bool CreateZeroTimer();
  bool CreateBTPSTimer();
  // The breathing rate of the metronome: 0 the normal, 1 the high one;
  // kept within 20 to 200 per minute.
  void SetBRate(int which);
  int MetronomePeriodMs() const;
  bool CreateMetronomTimer();
  void KillMetronomTimer();
  TResult CmMetronom(unsigned state, TParam2 = 0);
  TResult EvCommNotify(TParam1 device, TParam2 = 0);
  void CmSkipNextPoint();

  static short StateOfMetronom;
  static bool DisableMetronom;
  short ZeroCountdown = 0;
  bool ZeroNeeded = true;
  bool DoorFlag = true;
  bool BtpsPresent = false;    // the BTPS sensor answered on its port
  short CalibrationStep = 0;   // strokes of the calibration sequence so far

  // --- Zero, calibration constants and gas analysis (MeasureZero.cpp,
  // MeasureCalibrationConstants.cpp; the arithmetic is measure/calibration)

  // The zero offsets from the samples of a zero read; false, with a
  // message, when the zero is rejected, else whether the zero timer runs.
  bool CalculateZero();
  // Reads the zero from a resting instrument: polls the link (nobody is
  // notified of samples meanwhile) until 225 samples are in, at most
  // 2,500 ms on the link's clock, then computes it. A read that times out
  // sets the stop request and keeps the previous zero. The measure mode is
  // as before afterwards. True when a zero was computed and accepted.
  bool ReadZero();
  // The zero command: the zero hand while the resting instrument is read
  // (waiting events other than user input go on meanwhile), the offsets
  // computed, the old zero kept when the link stops. Without an instrument
  // the zero is 0.
  void CmZero();
  // The calibration command (only while idle): the calibration screen and
  // stick, the calibration buffers, the acquisition of the syringe strokes
  // (and the diffusion unit's sequence, which its instrument starts).
  void CmCalibration();
  // The calibration tests over the calibration curve's turning points. The
  // references are added to; silent runs (interactive false) show nothing.
  bool TestCalculateOfSpiroCalibration(float& inspiration, float& expiration, bool interactive);
  bool TestCalculateOfDiffCalibration(float& inspiration, float& inspirationWithGas, float& expiration,
                                      bool interactive);
  // At the end of a calibration: test, and only on success store the
  // constants and write them to the calibration section. False when
  // nothing was stored.
  bool CalculateCalibrationConstans();
  bool CalculateDiffCalibrationConstans();
  // Evaluates the two gas buffers after a gas analysis into MeasuredCo and
  // MeasuredHe and frees them; false when the analysis failed.
  bool MakeGasAnalysis();
  void DeleteGasBuffers();
  static short CalculatePressureLoss(float startPa, float endPa);

  std::array<float, 2> GasPathStrokeVolumes{};  // mean gas-path stroke and its check copy, L
  bool ZeroDone = false;
  bool SkipFlow = false;            // the operator skipped the flow part of a diffusion calibration
  // The DFC branch of CurveMove (MeasureDiffusion.cpp).
  void EvaluateDfcTrial();
  // Takes the pushed "Diffusion Capacity Parameters" and the gas phase's
  // limits from them: the test gas's inspiration starts when the flow falls
  // below "FlowTreshold" after "GasInspirationMinVolume" is in; the sample
  // bag opens after "TressHoldForWashOutTime" samples below the wash-out
  // volume and closes after "TressHoldForGasSampleTime" samples in the window.
  void ApplyDiffusionSettings(const TDiffusionSettings& settings);

  // --- The gas sequence of the diffusion unit (MeasureGas.cpp) and the
  // single-breath run over it (MeasureDfcRun.cpp) ----------------------

  // The wash-out of the gas path before a diffusion calibration or test:
  // automatic zero, then high-speed and low-speed phases until the
  // count-down has run out.
  void WashingOutForCalibration();
  void WashingOutForMeasurement();
  // Zeroes the sensors, then goes on with step `next` after 30 samples.
  void DemandAutoZero(short next);
  void ShutterCloseBagOpenHighSpeed(short tick, float pressure);
  void ShutterOpenBagCloseLowSpeed(short tick, float pressure);
  // The analysers read the gas sample for 8,000 samples.
  void GasAnalysis();
  // The gas zeros: the mean of the rings the delay filled.
  void CalculateZeroValueForHEandCO();
  // The operator's gas command: the next inspiration is the test gas.
  void CmGas();
  void CmGasEnable(TCommandEnabler& enabler) { CommandEnable(enabler); }
  void BreathHold();
  // At the end of the breath hold: where in the expired volume the gas
  // sample is taken.
  void CalculateGasSamplingLimits();
  void GasExpiration();
  // The prompt of the gas inspiration, shown or hidden.
  void GasInspiration(bool show);
  TGasSequence Gas;
  // ATPD -> BTPS for the dry test gas at the room's temperature and
  // pressure, taken when a diffusion trial starts; 0 outside one.
  float DryGasBtpsFactor = 0.0f;
  // The client's last answer to WM_LOAD_DEMO_DATA (DemoDataAnswer).
  int DemoAnswer = 0;

  // --- The diffusion unit's pressure lines (MeasurePressureLines.cpp) ----

  // Pumps a line up (the tick counts samples of 10 ms from 0): the pump
  // runs P hundredths of every second, and the pressure reached is checked
  // once a second. A pump that does not reach the pressure in 60 s ends
  // the calibration.
  void PumpUpFleisch(std::size_t tick);
  void PumpUpBalloon(std::size_t tick);
  // The line is closed and its pressure held (step 2 or 5), with the text
  // of the step on the screen.
  void LeakageProbe(short mode, int textId);
  // The diffusion calibration's start: the instrument's own zero, then the
  // syringe strokes.
  void StartDiffusionCalibration();
  TPressureLines Lines;

  // --- Notes ------------------------------------------------------------

  const std::string& GetNoteText(short which) const;
  bool IsNoteSet(short which) const;
  // The dates and times of the displayed trial (1 to 3; 0 none) and of the
  // previous result, each in the window's picture; the bare picture where
  // a slot has no date.
  void SetDateTimeStr(std::string& date1, std::string& date2, std::string& time1, std::string& time2,
                      short actualTrial) const;
  // The same for the second and third trial slots, the provocation's steps.
  void SetDateTimeStrForProvView(std::string& date1, std::string& time1, std::string& date2,
                                 std::string& time2) const;
  // What the read-only pre/post note window shows: each measurement's date
  // and time over its note. `noteEdit` is the text of the note edit.
  std::string PrePostNoteText(std::string_view noteEdit);

  // --- Predicted values -------------------------------------------------

  void VerifyPredictedData();
  void CalculatePredictedRSD();

  // --- State the window and the storage subsystem set --------------------

  short UnitSystem = 0;          // 0 metric, 1 imperial
  short PenSize = 1;
  short MetronomEnable = 1;
  float FlowCorrection = 1.0f;
  float PressureCorrection = 1.0f;
  short DoseUnit = 0;
  bool Printing = false;
  bool PrePostMode = false;
  bool Calibrated = false;
  bool CalibrationWritten = false;
  short WarningCounter = 0;
  float BoxReferencePressure = 0.0f;  // plethysmograph calibration
  float BoxConstant = 0.0f;
  float TimeConstant = 0.0f;
  bool Dirty = false;
  bool StoredTest = false;          // the storage subsystem loaded a stored test
  bool KeepCalibrationBuffers = false;
  short PreAlgorithm = -1;          // equation set of the previous result
  short DemoLimit = 0;

protected:
  // What the parts of the window built over this core supply. Defaults:
  // BTPS factors always valid; predicted values from Predicted.
  virtual bool CalculatedBTPS(short kind);
  virtual void FillPredictedRSD(float* ref, float* rsd, short kind);
  // The parameter order changed with a new previous result.
  virtual void ReadIndexOfParams();
  // Allocates a curve once and zeroes it on every call; a curve never
  // changes size afterwards, so a pointer handed out stays valid. False
  // when memory runs out.
  virtual bool AllocateCurve(TCurve& curve, std::size_t samples);
  // What the run asks of the window over the core.
  virtual void PostToSelf(unsigned msg, TParam1 wParam, TParam2 lParam);
  virtual void DrawSample(short index) { View->DrawCurve(TrialIndex, index, false); }
  virtual void WriteLargeParam();
  // The steps of the calibration and gas sequences; true to go on with the
  // plain acquisition of the sample.
  // The pressure lines' steps (1, 2, 4 and 5) are answered here.
  virtual bool RunSequenceStep(short step, std::size_t index, TParam2 sample);
  // Where the gas sequence takes over once a line held: the wash-out after
  // the Fleisch line, the gas analysis after the balloon line.
  void AfterLineHeld(short mode);
  // The calibration's factors once half its strokes are in (the syringe
  // strokes tested silently); false stops it.
  virtual bool CalculateCalibrationFactors(float& positive, float& negative);
  // The BTPS panel's record as the measure log keeps it (17 bytes).
  virtual std::string BtpsRecordBytes() const { return std::string(17, '\0'); }
  virtual bool AllocateLogBuffers();
  virtual void InvalidateScreen() { View->InvalidateScreen(); }
  virtual void Beep() { View->Beep(); }
  virtual void DrawMetronome(short state) { View->DrawMetronome(state); }
  // The delay in which the gas analysers are zeroed (MeasureGas.cpp).
  virtual void DelayForSomeReason();
  // Starts a line's pump-up (mode 1 the Fleisch line, 4 the balloon line).
  virtual void PressureProbe(short mode);
  // A BTPS reading of the box's sensors reached the panel; `written` when
  // the "BTPS" section was written with it (the panel reads it back).
  virtual void ShowBtpsReading(const plethysmography::SensorReading& /*reading*/, bool /*written*/) {}
  // Note 0 goes into the note edit.
  virtual void ShowNote(const std::string& /*note*/) {}
  // Lets waiting events other than user input through during a zero read.
  virtual void LetWaitingEventsThrough() {}
  // The zero hand (played once, frame by frame) and the calibration stick
  // over the parameter list; the window over the core draws them.
  virtual void ShowZeroAnimation() {}
  virtual void RemoveZeroAnimation() {}
  virtual void ShowCalibAnimation() {}
  virtual void MoveCalibAnimation() {}
  virtual void RemoveCalibAnimation() {}
  // An extended instrument whose sequence this version cannot run.
  void NotAvailableYet() const;
  // The room temperature and barometric pressure of the BTPS panel; without
  // one, the box sensors' last reading, else 20 °C and 1013.25 hPa.
  virtual void BtpsConditions(float& temperatureC, float& pressureHpa) const;

  TMessage* Messages;
  TMeasureClient* Client;
  TNoMeasureView NoView;
  TMeasureView* View = &NoView;
  short OpenedType;
  bool StayOpenOnce = false;
  TMeasureSettings Settings;
  TPredicted* Predicted = nullptr;
  std::unique_ptr<TParamList> ParamList;
  short Instrument = 1;

  // The plethysmograph's per-trial members (slots 0 to 3) and the value
  // shared by the trials, with its copies for the previous result.
  std::array<TPlethySlot, 4> PlethySlots{};
  std::array<float, 2> PrePlethyValues{};
  float PlethyShared = 0.0f;
  float PrePlethyShared = 0.0f;

  // Which parameters are shown and printed (nonzero: shown): every kind's
  // block in kind order, as the ini section "Params Struct" keeps them.
  TParamFlags ParamsStruct{};

private:
  // A switched tool-bar state to the client, or to the main window when
  // the client leaves it unanswered.
  void TellButtons(unsigned message, bool on) const;
  bool WasKind(short kind, short n) const;
  // A slot's date and time in the window's pictures; the bare pictures
  // for a slot without a date.
  void SlotDateTime(short slot, std::string& date, std::string& time) const;
  // The same for a rhinomanometry slot, whatever the window's mode.
  void RhinoSlotDateTime(short slot, std::string& date, std::string& time) const;
  void KindSlotDateTime(short kind, short slot, std::string& date, std::string& time) const;
  void UndoStart();
  void SettleThenPurge();
  void DetectBreathStart(float scaledMlps, bool inspirationFirst);
  float ScaledFlow(float scaledMlps) const;
  unsigned short StrokesNeeded() const;
  bool IsDiffusionUnit() const;
  void CountStroke(std::size_t index);
  void RouteGasStrokes(std::size_t index);
  // The stop of a calibration: the list shows the calibration result, the
  // constants are tested and stored.
  void StopCalibration();
  void PumpUp(short mode, std::size_t tick);
  void HoldLine(short mode, std::size_t index, float pressurePa);
  void SendLineWord(unsigned short word);
  // A start after a calibration brings the measuring screen back.
  void LeaveCalibrationScreen();
  void FreeLogBuffers();
  // The diffusion unit's steps of the ready machine; true to go on with the
  // plain acquisition of the sample.
  bool RunGasStep(short step, std::size_t index, TParam2 sample);
  // The test gas's inspiration, the breath hold and the sample window
  // during the plain acquisition of a DFC trial.
  void FollowGasPhase(std::size_t index);
  void StartDfcRun();
  void SendWord(unsigned short word);
  // Stops the sample handler and starts it again at index 0, letting
  // waiting messages through between.
  void RestartHandler();
  void ShowCountDown(int textId, int seconds, bool dfcBox);
  void ShowSequenceText(int textId, int left, int top, int right, int bottom);
  std::unique_ptr<TLinkClock::TTimer> AnalysisDelay;
  std::unique_ptr<TLinkClock::TTimer> Settle;
  std::unique_ptr<TLinkClock::TTimer> ZeroTimer;
  std::unique_ptr<TLinkClock::TTimer> BtpsTimer;
  std::unique_ptr<TLinkClock::TTimer> Metronome;
  std::unique_ptr<TLinkClock::TTimer> SoundOff;
  void ZeroTick();
  void BtpsTick();
  // The shutter test's parts of the start, the data-ready machine and the stop.
  bool StartShutterTest();
  void ShutterSample(std::size_t i, std::int16_t flowCounts, std::int16_t pressureCounts);
  void FollowBreathingPhase(std::size_t i);
  void DisarmSeries();
  void StopShutterTest();
  plethysmography::EvaluationSettings PlethyEvaluationSettings() const;
  plethysmography::PlethyRecord PlethyRecord(short trial);
  void FinishPlethySearch(short trial);
  // The body box's parts of the start, the ready machine and the stop.
  bool StartPlethysmographTest();
  void StopPlethysmographTest();
  void SendPlethyWord(unsigned short word);
  void PlethyPause(int ms);
  void DoorStep();
  // Clears the panel below the loops for the next step; a calibration keeps
  // its syringe strokes there.
  void ClearPlethyPanel();
  bool RemainingTimeOut(std::size_t i, TParam2 sample);
  void ZeroSampleUnderMeasurement();
  void BreathingSample(std::size_t i, TParam2 sample);
  void FollowManoeuvre(std::size_t i, float measuredLps);
  plethysmography::SensorReading SensorReadingNow() const;
  void TakeBtpsReading(const plethysmography::SensorReading& reading, bool writeSection);
  void StartPlethyCalibration();
  void LeakSample(std::size_t i, TParam2 sample);
  void PumpSample(std::size_t i, TParam2 sample);
  bool PumpStillSetting(unsigned char statusBit);
  void CountPlethyStroke(float volumeL);
  void AppendPlethyLog(TBinaryWriter& out, std::size_t count) const;
  std::unique_ptr<TLinkClock::TTimer> PlethyWait;
  void Sound();
  void NoSound();
  void NoSoundTick();
  void ToggleMetronomeWord();
  std::span<float> ActualFlow();
  std::span<float> ActualVolume();
  void ClearSlotCurves(short type, short trial);
  void RecomputePredicted(short type);

  std::array<char, PictureSize> DatePictureText{};
  std::array<char, PictureSize> TimePictureText{};
  std::string IniFile;
  bool UnitRead = false;  // only a unit system that was read is written back
  TLocalClock Now;
  std::array<std::string, 3> Notes;
  std::array<bool, 3> NoteSet{};
  std::mt19937 Random;
};
