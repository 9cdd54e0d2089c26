#pragma once

// The test data of a measurement window and its instrument settings: the
// curves and sample counts of every trial, the results, the calibration
// and zero values, the link settings and the open instrument device.
// TMeasureInterrupt adds the acquisition; the measurement window derives
// from it, so the window reads and writes these members directly.

#include "common/MeasureMode.h"
#include "common/ParameterBlocks.h"
#include "common/PredictedData.h"
#include "common/PushedSettings.h"
#include "platform/framework/EventHandler.h"
#include "platform/portkit/LinkClock.h"
#include "platform/portkit/MeasureDataTypes.h"
#include "platform/portkit/PortConfig.h"
#include "platform/portkit/Transport.h"
#include "platform/portkit/diffusion/SingleBreath.h"
#include "platform/portkit/plethysmography/LungVolumes.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/FvcParameters.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TMessage;

class TMeasureData {
public:
  // Curve buffers hold this many samples; clearing and copying use the first
  // CurveSamples of them.
  static constexpr std::size_t CurveBufferSamples = 6010;
  static constexpr std::size_t CurveSamples = 6000;
  static constexpr std::size_t LogBufferSamples = 6010;  // 12,020 bytes of raw 16-bit samples
  static constexpr std::size_t PhaseEntries = 201;
  static constexpr std::size_t ZeroSamples = 100;

  using TParameterRecord = std::array<float, MAX_PARAMETER_COUNT>;
  using TCurve = std::vector<float>;

  // `measureType` is the window's test kind (0 to 6); stand-alone links of
  // the configuration pages pass 0xFFFF (a port test) or 0xFFFD (the service
  // page). The text object is borrowed.
  TMeasureData(unsigned short measureType, TMessage* text);
  virtual ~TMeasureData();
  TMeasureData(const TMeasureData&) = delete;
  TMeasureData& operator=(const TMeasureData&) = delete;

  void SetPredictedData(PREDICTED_DATA patient) { PredictedData = patient; }

  // Sends a control word (count 2) or one byte (count 1) to the instrument
  // at once; the caller keeps the word in LastSentData. False when no
  // device is open or it went away, which also ends a running acquisition.
  bool CmSendToSerialPort(unsigned short word, short count);

  // The parameter calculations of the actual trial (TrialIndex), over its
  // curves and the extremes table, into its result record
  // (docs/spirometry.md). False, with the record zero, when the trial holds
  // no manoeuvre.
  //
  // FVC runs in three passes: 0 finds the manoeuvre, 1 the volumes and
  // times, 2 (after the window has smoothed the curve again) the flows. Each
  // pass answers the start of the blast, its peak flow, the deepest point
  // and the end of the inspiration after it as sample indexes; the passes
  // keep their own state between the calls, so the in-values are not read.
  bool CalculateFvcParams(short& start, short& peak, short& second, short& third, short pass);
  // Times the blast by back extrapolation and moves `start` to time zero.
  // Pass 1 does the same when it has not been called.
  bool CalculateBackExtrapolation(short& start, short peak);
  // "FEV*0,5/IVC" and "FEV*1,0/IVC" of the FVC trial in fvcSlot from the IVC
  // of the VC trial in vcSlot; with no VC result there (or vcSlot outside
  // 0 to 3) from the larger of the trial's own FIVC and FVC.
  void CalculateFEVperIVC(short fvcSlot, short vcSlot);
  bool CalculateVcParams();
  bool CalculateMvvParams();
  // The DFC record of the actual trial from its curves, the manoeuvre the
  // run remembered (the Gas... members), the last gas analysis and the
  // diffusion settings (docs/diffusion.md). The volumes arrive at BTPS, so
  // the ambient temperature does not enter; the pressure is the barometric
  // one. False, with the record zero and the reason in DfcRefusal, when the
  // breath gives no result.
  bool CalculateDfcParams(float temperatureC, float pressureHpa);
  // "RV", "TLC" and "RV/TLC" of the actual plethysmograph trial from its
  // "TGV", its volume curve and the four marks (docs/plethysmography.md):
  // ERV is the volume at the shutter closure less the lowest volume after
  // the shutter opened; TLC adds the IVC that PlethyVolumes names. False,
  // leaving the record, when the marks or TGV are missing.
  bool CalculatePlethyParams();
  // The SHUTTER record of the actual trial from its final pressure-flow
  // curve (flow and mouth pressure) and ShutterBreathingRate
  // (docs/shutter.md). False, with the record untouched, when the curve
  // lacks its inspiratory or its expiratory branch.
  bool CalculateShParams();
  // Orders the three trials by their criteria into TrialOrder, best first,
  // leaving out those without a result; answers the best trial's number
  // (1 to 3), 0 when none has a result.
  short CalculateTheBest(float first, float second, float third);
  // Follows the turning points of the volume curve in Extremes, sample by
  // sample.
  void LocalMaxMin(float flow, float volume, unsigned short index);

  // Empties the curves and the sample count of a trial of the current
  // measure mode (the calibration curves in calibration), and its bad-line
  // mark.
  void ClearBuffer(short trial);
  // Zeroes the result record of a trial of a test kind (0 to 5).
  void ClearParamsBuffer(short type, short trial);

  // The saturated water-vapour pressure in Pa at a whole temperature in °C.
  static short GetWaterVaporPartialPressure(short degreesC);

  // The breathing-phase table of rhinomanometry and the shutter test: a
  // change of flow sign is a new phase when it holds beyond the noise and
  // the phase before lasted long enough.
  bool LocalTressholdCompare(float flow, float time);
  void IncrementLocalBufferIndex();
  void ClearPhaseTable();

  bool AnyEndFlag() const {
    return EndPortLost || EndSilence || EndOverrun || EndSamplesLost || EndInstrumentFault;
  }
  void ClearEndFlags();

  // Statics of the link, shared by every window and page that drives it.
  static short MeasureMode;
  static unsigned short InterruptIndex;  // index of the next sample
  static unsigned short LastSentData;    // the last control word (idle 0xEF7F)
  static int IdCommDev;                  // the device whose notifications count
  static TEventHandlerPtr pThis;         // the window notified of samples; null while the caller polls
  static std::array<float, ZeroSamples + 1> ZeroBuffer;          // flow at rest, mL/s
  static unsigned short ZeroBufferIndex;
  static std::array<float, ZeroSamples + 1> ZeroPressureBuffer;  // mouth or nasal pressure at rest, Pa

  TMessage* MessageText;
  short MeasureType;
  PREDICTED_DATA PredictedData{};

  // Trials. Slots 0 to 2 are the trials of the actual test, slot 3 the
  // previous result. The window allocates the buffers; an empty one is
  // missing.
  short TrialIndex = 0;
  std::array<std::array<short, 4>, 8> SampleCount{};  // by measure mode 0 to 7 and slot
  std::array<TCurve, 4> Flow;           // L/s
  std::array<TCurve, 4> Volume;         // L
  std::array<TCurve, 4> Third;          // mouth pressure (shutter), nasal pressure (rhinomanometry)
  std::array<TCurve, 4> BoxPressure;    // plethysmograph; raw counts from the link until the window converts them
  std::array<TCurve, 4> MouthPressure;  // plethysmograph; likewise
  TCurve CalFlow;                       // calibration
  TCurve CalVolume;
  TCurve PressureA;                     // Fleisch line, or the calibration pair of a plethysmograph
  TCurve PressureB;                     // balloon line
  std::array<short, 3> TrialOrder{};    // trial numbers 1 to 3, best first; 0 none
  // Trials recorded while the line damaged more than 5 % of a second's
  // samples (filled in by the link); set by the link, cleared with the trial.
  std::array<bool, 4> BadLine{};
  short ZoomLevel = 1;                  // 0 to 3
  short DrawnSlot = 0;
  short SamplesLeft = 0;                // countdown of a trial's samples; set by InitHandler
  // The step the body box's sequence gives the handler: 25 while the
  // samples make the zero under measurement, 50 once they make the trial
  // (0 before either). The handler hands the window every sample as it
  // comes at either step; the step says what the samples are taken for.
  short HandlerStep = 0;
  short ProgressCounter = 0;            // advanced once a second of samples

  // Results, in the parameter order of each test kind.
  std::array<std::array<TParameterRecord, 4>, TEST_KIND_COUNT> AktParams{};  // slots 0 to 2, 3 previous
  std::array<TParameterRecord, TEST_KIND_COUNT> RefParams{};
  std::array<TParameterRecord, TEST_KIND_COUNT> PreRefParams{};
  std::array<TParameterRecord, TEST_KIND_COUNT> RsdParams{};
  float StartVolume = 0.0f;  // volume at the start index of the last FVC evaluation
  std::array<std::array<TMeasureDate, 4>, 8> MeasureDate{};
  std::array<std::array<TMeasureTime, 4>, 8> MeasureTime{};

  // Turning points of the current volume curve, with the count, search
  // state and running value LocalMaxMin keeps; Extremes.Clear(state) starts
  // a new curve.
  spirometry::Extremes Extremes;
  // Where the FVC passes found the manoeuvre of the actual trial, carried
  // from one pass to the next (with time zero and the back-extrapolated
  // volume).
  spirometry::FvcManoeuvre Manoeuvre;

  std::array<TPhaseEntry, PhaseEntries> PhaseTable{};
  short PhaseTableIndex = 0;
  short PhaseState = 0;

  // Zero and calibration.
  float FlowZero = 0.0f;   // mL/s
  float BoxZero = 0.0f;    // Pa
  float MouthZero = 0.0f;  // Pa
  std::array<float, ZeroSamples + 1> BoxZeroBuffer{};  // box pressure at rest, Pa
  float InspFactor = 1.0f;
  float ExpFactor = 1.0f;
  float InspGasFactor = 1.0f;
  float CoConstans = 1.0f;
  float HeConstans = 1.0f;
  short HeZero = 0;
  short CoZero = 0;
  // Mean inspiratory and expiratory stroke volume of a calibration and their
  // check-series copies, L.
  std::array<float, 4> SyringeStrokeVolumes{};
  float MeasuredCo = 0.0f;  // gas readings of the last analysis, per cent
  float MeasuredHe = 0.0f;

  // The single-breath manoeuvre of the diffusion test, as the run remembers
  // it: the volumes at the turn to the test gas and at the start of the
  // breath hold (their difference is the inspired volume), the samples of
  // the turn, the breath-hold start and the gas sample window, and the
  // volume expired and discarded before the sample.
  TDiffusionSettings Diffusion;
  float GasTurnVolume = 0.0f;   // L
  float GasStartVolume = 0.0f;  // L
  short GasTurnIndex = 0;
  short GasHoldIndex = 0;
  short GasSampleStartIndex = 0;
  short GasSampleEndIndex = 0;
  float GasDiscardVolume = 0.0f;  // S0, L
  diffusion::Refusal DfcRefusal = diffusion::Refusal::None;

  // The manoeuvre of the plethysmograph trial being recorded or evaluated,
  // as sample indexes (0 = not yet): the resistance loops from
  // ResistanceStartMark to ResistanceEndMark, the shutter closed at
  // TGVStartMark and opened at EndMark.
  short ResistanceStartMark = 0;
  short ResistanceEndMark = 0;
  short TGVStartMark = 0;
  short EndMark = 0;
  // What completes TLC: the IVC breathed in after RV
  // ("EndOfMeasurementWithIVC"), else the IVC of the VC trial shown; the
  // window sets it before an evaluation.
  plethysmography::VolumeSettings PlethyVolumes;
  short SyringeVolume = 3;  // L
  short FleischPressureLoss = 0;
  short BalloonPressureLoss = 0;
  short CalibrationInterval = 0;  // hours; 0 none
  short FivFvcLimit = 0;          // per cent
  short BreathingRate = 40;       // per minute, the metronome's setting
  short ShutterBreathingRate = 0; // per minute, as the shutter test measured it

  // The instrument and its link.
  PORT_CONFIG PortConfig{};
  PORT_CONFIG BtpsPortConfig{};
  short DeviceKind = 1;             // 1 spirometer, 2 nebulizer, 3 diffusion unit, 4 plethysmograph
  bool HasInstrument = false;       // a live instrument is configured (false: demonstration)
  short StatusWord = 1;             // 0 live, 1 demonstration, as the settings say
  unsigned short InstrumentType = 0;  // the type word: 0 plain spirometer; bits 0xE0 the family
  bool PortInUse = false;           // a live device is open
  bool CheckPassed = false;         // the last port check found the instrument
  bool HasRhinomanometer = false;   // capabilities of the last port check
  bool HasNebulizer = false;
  bool HasShutter = false;
  bool ZeroCommandEnabled = true;
  bool RhinoZeroEnabled = true;
  short FlowScaleVariant = 0;       // nonzero: the rhinomanometer's other flow scale
  std::string SerialPortsIniFile = ".\\Halvetra.ini";  // where "Serial Ports" is read
  std::string LastPortError;        // why the last port check failed

  // What the instrument reports.
  unsigned short RawTemperature = 0;  // BTPS sensor words
  unsigned short RawPressure = 0;
  unsigned short RawHumidity = 0;
  unsigned SensorReplies = 0;         // sensor frames received: a reading counts only if one came after its request
  unsigned char InstrumentStatus = 0;  // status inputs of the last sample
  bool VersionRequest = false;         // the service page asks for the hardware version
  bool ServiceFlag = false;            // the service page's second flag; the link leaves it alone
  float MouthPressureFactor = 1.0f;    // the service page's display of the mouth pressure
  // A USB device cannot be purged while the instrument settles: the window
  // clears ReceiveFlag for that while, and the link drops what arrives.
  bool ReceiveFlag = true;
  bool PurgeFlag = false;              // set before ClearQueues, which clears it

  // The shutter series of a shutter head.
  bool ShutterRunning = false;
  short ShutterCount = 0;
  short ShutterStep = 1;

  // Set by the window to end a run or a poll, cleared only by the link.
  short StopRequest = 0;
  short& AcquisitionStopped = StopRequest;  // the name the special tests use

  // The five end flags: any one ends the acquisition.
  short EndPortLost = 0;
  short EndSilence = 0;
  short EndOverrun = 0;
  short EndSamplesLost = 0;
  short EndInstrumentFault = 0;

  // The measure log: raw samples of the trial, written by the link while
  // the buffers exist (flow, box pressure, mouth pressure).
  short LogWriteEnable = 0;
  short LogMeasureMode = 4;
  short LogSaveAll = 0;
  std::array<std::vector<std::int16_t>, 3> LogBuffer;
  std::string LogFileName;

protected:
  // Raises an end flag once, keeping the message for the user.
  void RaiseEnd(short& flag, std::string message);
  // The text of a language number with its arguments; the number itself
  // when there is no text object.
  std::string Text(int number, std::initializer_list<std::string> arguments) const;

  std::shared_ptr<TLinkClock> Clock;
  std::unique_ptr<TTransport> Device;
  int DeviceId = 0;
  std::string PendingMessage;  // shown by the next notification
  bool EndMessageGiven = false;  // one message per acquisition
};
