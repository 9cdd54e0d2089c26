#pragma once

// The hearing-threshold test of the audiometer window, without the window:
// how a tone is presented and withdrawn, how its level reaches the
// audiometer (at once, ramped by the step timer, or by version 2's shaped
// onset), how the patient's response is taken, and the four methods
// (manual, ascending, descending, the automatic sequence over a list of
// frequencies for both ears) that find a threshold. The window forwards its
// commands, timers and port notices here and draws what it is told.
//
// The step timer runs on a thread of its own and writes to the port; it
// and the user-interface thread share the statics below and the port under
// the link's one lock, which the user-interface thread holds while it
// handles a message and lets go while it waits.

#include "audiometry/link/AudioInterrupt.h"
#include "audiometry/threshold/AudioHost.h"
#include "audiometry/threshold/AudioSettings.h"
#include "platform/basekit/MessageSink.h"

#include <array>
#include <string>
#include <vector>

// The test's state that the step timer reads and writes (one test per
// process).
struct TAudioStatics {
  int IsStart = 0;
  int ActualFreq = -1;
  int OldFreq = -1;
  int ActualDB = 0;
  int ActualEar = 0;  // 0 right, 1 left
  int StepBegin = 0;
  int StepEnd = 0;
  int OneStep = 1;
  int IsMicrophone = 0;
  bool IsActive = false;
  bool IsReset = false;
  bool PulseTimerEnable = false;
  int DBInBIT = 0;
  int TimerIndex = 0;
  int ContinuePulseState = 1;
};

struct TAudioStamp {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  bool Valid = false;
};

class TAudioTest : public TAudioInterrupt, public TEventHandler {
public:
  enum { Manual = 0, Ascending = 1, Descending = 2, Automatic = 3 };
  enum { Continuous = 0, Timed = 1, Pulsed = 2 };
  enum { Actual = 0, Previous = 1 };
  static constexpr unsigned IdFrequency0 = 5783;
  static constexpr unsigned IdStop = 5794;
  static constexpr unsigned IdAutomatic = 5804;

  TAudioTest(TMessage* texts, std::string iniFile, TAudioHost& host, TAudioView& view);
  ~TAudioTest() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // One shared set per process, as the window's statics.
  static TAudioStatics& Statics();

  // Reads "Audio", "SPL" and the automatic sequence again.
  void ReadAudioSetup();
  void WriteAudioSetup() const { Setup.Write(IniFile); }
  void ReadSPLFreq() { Calibration = TAudioCalibration::Read(IniFile); }
  void ReadAutomaticSequence() { Sequence = TAutomaticSequence::Read(IniFile); }

  // The step timer: true when it runs.
  bool CreateStepTimer();
  void KillStepTimer() { StepTimerHandle.reset(); }
  // One tick; true when it changed or sent something (an idle tick may be
  // skipped by a clock that knows nothing else happens meanwhile).
  bool MakeAnStep();

  // The window's commands and messages.
  void ButtonHandler(unsigned id);
  void CmStart();
  void CmStop();
  void CmReady(unsigned answer, long flag);
  void EvTimer(unsigned id);
  void EvCommNotify(TParam1 handle, TParam2 = 0);
  void CmDemoButton();
  void CmChangeAlgorithm(unsigned id);
  void CmChangeSignalMode(unsigned id);
  void CmMicrophone();
  void CmMicrophoneCommand();
  void SetAlgorithm(int method);
  // The level field, its up-down control and the keys.
  void UpDownVolumeChange(int db);
  void CmChangeUpDownVolume(unsigned id);
  void CmChangeFreq(unsigned id);
  void CmChangeEar(unsigned id);
  void CmVolumeRepeat();
  void EvKeyUp(unsigned key);
  void ChangeMicrophoneVolume(int volume);
  // The enablers of the window's gadgets and commands.
  bool FrequencyEnabled(int frequency);
  bool AutomaticEnabled() const;
  bool StopEnabled() const { return DevicePresent; }
  bool MicrophoneEnabled() const { return Install && DevicePresent && HwVersion >= 1; }
  bool MethodEnabled(unsigned id) const;

  // The test's steps.
  void ChangeVolume();
  void SwitchOffHeadPhone();
  void SetVolumeOnSerialPort(int mode, int type) { SetVolume(mode, type, Statics().ActualDB); }
  bool InitTimer(int ms, int id);
  void ReadyAscendalo();
  void ReadyDescendalo();
  void ChangeAscendaloVolume();
  void ChangeDescendaloVolume();
  bool VerifyReady(int kind);
  void ResetWorkingVaribles();
  void StopTest();
  void ClearActBuffer();

  // The audiogram, as storing and loading use it.
  int* GetTable(int ear, int kind) { return Thresholds[Index(ear)][Index(kind)].data(); }
  bool* GetFlagTable(int ear, int kind) { return Flags[Index(ear)][Index(kind)].data(); }
  TAudioStamp& Stamp(int kind) { return Stamps[Index(kind)]; }
  void SetActualMeasureDate(int kind);
  int GetAlgorithm() const { return Setup.Algorithm; }
  int GetSignalMode() const { return Setup.SignalMode; }
  void SetSignalMode(int mode) { Setup.SignalMode = mode; }
  bool GetIsStart() const { return Statics().IsStart != 0; }
  bool AudiogramChanged = false;
  std::array<std::string, 2> Notes;  // actual, previous
  std::array<bool, 2> NoteFlags{};

  const TAudioSetup& GetSetup() const { return Setup; }
  TAudioSetup& GetSetup() { return Setup; }
  const TAudioCalibration& GetCalibration() const { return Calibration; }
  const TAutomaticSequence& GetSequence() const { return Sequence; }
  TAutomaticSequence& GetSequence() { return Sequence; }
  bool StepMode() const { return static_cast<bool>(StepTimerHandle); }
  bool DeviceReady() const { return Ready; }
  int StartLevel() const { return StartDb; }
  int PhaseCounter() const { return Phase; }
  const std::vector<int>& Responses() const { return ResponseList; }
  bool SequenceRunning() const { return Running; }
  int SequenceIndex() const { return SequencePosition; }
  int PatientButton() const { return ButtonState; }
  bool ToneOn() const { return Tone; }
  int MicrophoneVolume = 50;

private:
  static std::size_t Index(int value) { return value == 0 ? 0 : 1; }
  bool AscendingMethod() const;
  void SetVolume(int mode, int type, int db);
  int WithdrawnDb() const;
  void Send(unsigned command, unsigned code, unsigned value) { SendDataToSerialPort(command, code, value); }
  int EarBits() const { return Statics().ActualEar == 0 ? 0x02 : 0x01; }
  // Waits and message boxes let go of the lock so the step timer runs on.
  void Pause(int ms);
  int Ask(const std::string& text, int caption, TMessageButtons buttons, int defaultButton = 1);
  void SetTone(bool on);
  void StoreThreshold(int db);
  int NextFrequency(int kind, bool& done);

  // The lock of a handler of the user-interface thread.
  class THandlerLock {
  public:
    explicit THandlerLock(TAudioTest& test);
    ~THandlerLock();

  private:
    TAudioTest& Test;
  };

  TAudioHost& Host;
  TAudioView& View;
  std::string IniFile;
  TAudioSetup Setup;
  TAudioCalibration Calibration;
  TAutomaticSequence Sequence;
  std::unique_ptr<TAudioHost::TStepTimer> StepTimerHandle;
  int LockDepth = 0;

  std::array<std::array<std::array<int, AudioFrequencies>, 2>, 2> Thresholds{};
  std::array<std::array<std::array<bool, AudioFrequencies>, 2>, 2> Flags{};
  std::array<TAudioStamp, 2> Stamps;

  int Phase = 0;
  std::vector<int> ResponseList;
  int FloorHits = 0;
  int CeilingHits = 0;
  int StartDb = 40;
  int FamiliarisationDb = 0;
  bool Reversal = false;
  bool StopPending = false;
  bool Ready = true;
  bool KeyHeld = false;
  bool ResponseFlag = false;
  int ButtonState = 0;
  bool Tone = false;
  bool Running = false;
  int SequencePosition = 0;
  bool SavedActive = false;
};
