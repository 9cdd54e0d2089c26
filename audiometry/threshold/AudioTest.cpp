#include "audiometry/threshold/AudioTest.h"

#include "audiometry/link/AudioTexts.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr int AscendingFloorDb = -15;
constexpr int FloorDb = -10;
constexpr int ManualCeilingDb = 110;
constexpr int HitsBeforeGivingUp = 20;

}  // namespace

TAudioTest::THandlerLock::THandlerLock(TAudioTest& test) : Test(test) {
  PortLock().lock();
  ++Test.LockDepth;
}

TAudioTest::THandlerLock::~THandlerLock() {
  --Test.LockDepth;
  PortLock().unlock();
}

TAudioStatics& TAudioTest::Statics() {
  static TAudioStatics statics;
  return statics;
}

TAudioTest::TAudioTest(TMessage* texts, std::string iniFile, TAudioHost& host, TAudioView& view)
    : TAudioInterrupt(ModeWindow, texts), Host(host), View(view), IniFile(std::move(iniFile)) {
  WaitAnswer = 30;
  SerialPortsIniFile = IniFile;
  pThis = nullptr;
  HwVersion = 0;
  Statics() = {};
  ResetWorkingVaribles();
  ReadAudioSetup();
  ReadSPLFreq();
  ReadAutomaticSequence();
}

TAudioTest::~TAudioTest() {
  StepTimerHandle.reset();
  if (pThis.Get() == this)
    pThis = nullptr;
}

const TResponseTable& TAudioTest::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Command<&TAudioTest::CmStart>(CM_START),
      Response::Command<&TAudioTest::CmStop>(CM_STOP),
      Response::Command<&TAudioTest::ButtonHandler>(CM_ESC_BUTTON),
      Response::Command<&TAudioTest::ButtonHandler>(IdStop),
      Response::Command<&TAudioTest::ButtonHandler>(IdAutomatic),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 0),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 1),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 2),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 3),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 4),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 5),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 6),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 7),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 8),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 9),
      Response::Command<&TAudioTest::ButtonHandler>(IdFrequency0 + 10),
      Response::Command<&TAudioTest::CmDemoButton>(CM_AUDIO_DEMO_RESPONSE),
      Response::Command<&TAudioTest::CmChangeAlgorithm>(CM_ALGORITHM1),
      Response::Command<&TAudioTest::CmChangeAlgorithm>(CM_ALGORITHM2),
      Response::Command<&TAudioTest::CmChangeAlgorithm>(CM_ALGORITHM3),
      Response::Command<&TAudioTest::CmChangeAlgorithm>(CM_ALGORITHM4),
      Response::Command<&TAudioTest::CmChangeSignalMode>(CM_SIGNAL_MODE1),
      Response::Command<&TAudioTest::CmChangeSignalMode>(CM_SIGNAL_MODE2),
      Response::Command<&TAudioTest::CmChangeSignalMode>(CM_SIGNAL_MODE3),
      Response::Command<&TAudioTest::CmMicrophoneCommand>(CM_MICROPHONE),
      Response::Command<&TAudioTest::CmChangeUpDownVolume>(CM_AUDIO_LEVEL_UP),
      Response::Command<&TAudioTest::CmChangeUpDownVolume>(CM_AUDIO_LEVEL_DOWN),
      Response::Command<&TAudioTest::CmChangeFreq>(CM_AUDIO_NEXT_FREQUENCY),
      Response::Command<&TAudioTest::CmChangeFreq>(CM_AUDIO_PREVIOUS_FREQUENCY),
      Response::Command<&TAudioTest::CmVolumeRepeat>(CM_AUDIO_PRESENT_AGAIN),
      Response::Command<&TAudioTest::CmChangeEar>(CM_AUDIO_RIGHT_EAR),
      Response::Command<&TAudioTest::CmChangeEar>(CM_AUDIO_LEFT_EAR),
      Response::Message<&TAudioTest::CmMicrophone>(CM_MICROPHONE),
      Response::Message<&TAudioTest::CmReady>(WM_DATA_READY),
      Response::Message<&TAudioTest::EvCommNotify>(WM_COMMNOTIFY),
      Response::Message<&TAudioTest::GetIsStart>(WM_GET_IS_START),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void TAudioTest::ReadAudioSetup() {
  Setup = TAudioSetup::Read(IniFile);
  Statics().OneStep = Setup.OneStep;
  MicrophoneVolume = Setup.BeginVolumeOfMicrophone;
}

void TAudioTest::Pause(int ms) {
  const int depth = LockDepth;
  for (int i = 0; i < depth; ++i)
    PortLock().unlock();
  Host.Wait(ms);
  for (int i = 0; i < depth; ++i)
    PortLock().lock();
}

int TAudioTest::Ask(const std::string& text, int caption, TMessageButtons buttons, int defaultButton) {
  const int depth = LockDepth;
  for (int i = 0; i < depth; ++i)
    PortLock().unlock();
  TUserMessage message{Texts->LoadStringA(caption), text, TMessageIcon::Stop, buttons, defaultButton};
  const int answer = Texts->GetSink().Show(message);
  for (int i = 0; i < depth; ++i)
    PortLock().lock();
  return answer;
}

void TAudioTest::SetTone(bool on) {
  Tone = on;
  View.ToneIndicator(on);
}

bool TAudioTest::AscendingMethod() const {
  return Setup.Algorithm == Ascending || (Setup.Algorithm == Automatic && Sequence.IterationType == 0);
}

// ---------------------------------------------------------------- levels

void TAudioTest::SetVolume(int mode, int type, int db) {
  THandlerLock lock(*this);
  if (!PortOpen)
    return;
  auto& s = Statics();
  const int previousMask = LastMask;
  LastMask = StepMode() ? (mode & ~0x08) : mode;
  const int ear = EarBits();
  const auto code = static_cast<unsigned>(FREQ[static_cast<std::size_t>(s.ActualFreq)]);
  const int level = Calibration.LevelByte(db, s.ActualFreq);
  if (HwVersion < 2) {
    if (StepMode()) {
      s.StepEnd = level;  // the step timer ramps to it
      // A tone muted at the very level it is now presented at would stay
      // muted, the ramp having nothing to do: make the next tick send.
      if ((previousMask ^ LastMask) & 0x04)
        s.OldFreq = -1;
      return;
    }
    if (!s.IsMicrophone)
      Send(0x80u | ear | static_cast<unsigned>(mode), code, level);
    if (mode & 0x08)
      Ready = false;
    return;
  }
  // Version 2 shapes the onset itself: muted, then the level, then sound.
  switch (type) {
  case 1:
    Send(0x84u | ear, code, 0);
    Pause(10);
    Send(0x84u | ear, code, level);
    Pause(180);
    Send(0x80u | ear, code, level);
    break;
  case 2:
    Send(0x84u | ear, code, s.DBInBIT);
    Pause(180);
    Send(0x84u | ear, code, level);
    break;
  case 3:
    Send(0x84u | ear, code, s.DBInBIT);
    Pause(180);
    Send(0x84u | ear, code, level);
    Pause(10);
    Send(0x80u | ear, code, level);
    break;
  default: break;
  }
  s.DBInBIT = s.StepEnd = s.StepBegin = level;
}

int TAudioTest::WithdrawnDb() const {
  const int db = Statics().ActualDB;
  if (HwVersion >= 1)
    return db > 35 ? db - 45 : FloorDb;
  return db > 50 ? db - 60 : FloorDb;
}

// ---------------------------------------------------------------- step timer

bool TAudioTest::CreateStepTimer() {
  StepTimerHandle.reset();
  if (Setup.StepTimer >= 1)
    StepTimerHandle = Host.StartStepTimer(Setup.StepTimer, [this] { MakeAnStep(); });
  return StepMode();
}

bool TAudioTest::MakeAnStep() {
  std::lock_guard lock(PortLock());
  auto& s = Statics();
  if (s.IsMicrophone || s.IsReset || !s.IsStart || s.ActualFreq < 0)
    return false;
  const int ear = EarBits();
  const auto code = static_cast<unsigned>(FREQ[static_cast<std::size_t>(s.ActualFreq)]);
  if (s.StepBegin == s.StepEnd && s.ActualFreq == s.OldFreq) {
    if (HwVersion < 2)
      return false;
    s.DBInBIT = s.StepEnd;
    if (!s.PulseTimerEnable)
      return false;
    // The pulse: on for 120 ticks, muted for 100.
    if (++s.TimerIndex >= (s.ContinuePulseState == 1 ? 120 : 100)) {
      if (s.IsActive)
        Send(0x80u | ear | (s.ContinuePulseState == 1 ? 0x04u : 0u), code, s.DBInBIT);
      s.ContinuePulseState ^= 1;
      s.TimerIndex = 0;
    }
    return true;
  }
  s.OldFreq = s.ActualFreq;
  s.StepBegin += std::clamp(s.StepEnd - s.StepBegin, -s.OneStep, s.OneStep);
  Send(0x80u | ear | static_cast<unsigned>(LastMask), code, s.StepBegin);
  return true;
}

// ---------------------------------------------------------------- buttons

void TAudioTest::ButtonHandler(unsigned id) {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (id == IdAutomatic && Running && Setup.Algorithm == Automatic)
    return;
  if (!StepMode() && s.IsStart && !Ready)
    Pause(10);
  s.ActualDB = View.LevelField();

  if (id == IdStop || id == CM_ESC_BUTTON) {
    s.ActualDB = 0;
    SetTone(false);
    Running = false;
    s.PulseTimerEnable = false;
    Host.KillTimer(2);
    if (HwVersion < 2)
      Host.KillTimer(4);
    Post(WM_COMMAND, CM_STOP, 0);
    View.EnableControls(true);
    View.ShowLevel(StartDb);
    if (s.IsMicrophone) {
      s.IsMicrophone = 0;
      View.NotifyFrame(WM_MICROPHONE_CHANGED, 0);
    }
    return;
  }
  if (id != IdAutomatic && (id < IdFrequency0 || id >= IdFrequency0 + AudioFrequencies))
    return;

  s.IsReset = true;
  StopPending = false;
  StartDb = s.ActualDB;
  const int sounding = s.ActualFreq;  // the frequency of a manual test that runs
  if (id == IdAutomatic) {
    if (!Sequence.Available()) {
      s.IsReset = false;
      return;
    }
    SequencePosition = 0;
    s.ActualFreq = Sequence.Tests.front();
    s.ActualEar = Sequence.FirstEar;
    View.RedrawEarButtons();
    if (AudiogramChanged) {
      if (Ask(Texts->LoadStringA(TEXT_AUDIO_CLEAR_AUDIOGRAM), 2, TMessageButtons::YesNo, 2) != IDYES) {
        View.PressStopGadget();
        s.IsReset = false;
        return;
      }
      for (std::size_t ear = 0; ear < 2; ++ear) {
        Thresholds[ear][Actual].fill(0);
        Flags[ear][Actual].fill(false);
      }
    }
  } else {
    s.ActualFreq = static_cast<int>(id - IdFrequency0);
  }
  Running = true;
  ClearActBuffer();
  if (s.IsMicrophone) {
    s.OldFreq = s.ActualFreq;
    SetTone(true);
    Send(0x9B, 16, 0);
    Pause(200);
    View.NotifyFrame(WM_MICROPHONE_CHANGED, 0);
    s.IsActive = true;
    s.IsMicrophone = 0;
  }

  if (Setup.Algorithm == Manual && s.IsStart) {
    View.Redraw();
    if (s.ActualFreq == sounding || Setup.SignalMode == Pulsed) {
      s.IsReset = false;
    } else {
      // Move the sounding tone to the new frequency without a click.
      const int withdrawn = WithdrawnDb();
      const int ear = EarBits();
      const auto oldCode = static_cast<unsigned>(FREQ[static_cast<std::size_t>(sounding)]);
      const auto newCode = static_cast<unsigned>(FREQ[static_cast<std::size_t>(s.ActualFreq)]);
      if (HwVersion < 2) {
        Send(0x80u | ear | (HwVersion >= 1 ? 0x0Cu : 0x08u), oldCode, Calibration.LevelByte(withdrawn, sounding));
        Ready = false;
        s.StepBegin = Calibration.LevelByte(withdrawn, s.ActualFreq);
      } else {
        const int level = Calibration.LevelByte(s.ActualDB, s.ActualFreq);
        Send(0x84u | ear, oldCode, Calibration.LevelByte(withdrawn, sounding));
        Pause(200);
        Send(0x84u | ear, newCode, level);
        Pause(50);
        Send(0x80u | ear, newCode, level);
        s.DBInBIT = level;
        s.OldFreq = s.ActualFreq;
      }
    }
    switch (Setup.SignalMode) {
    case Timed:
      if (!InitTimer(1500 + static_cast<int>(Host.Random() % 1000), 2)) {
        StopTest();
        return;
      }
      s.IsActive = true;
      SetTone(true);
      SetVolumeOnSerialPort(0x08, 3);
      break;
    case Pulsed:
      s.ContinuePulseState = 1;
      s.IsActive = true;
      SetVolumeOnSerialPort(0, 0);
      break;
    default: SetVolumeOnSerialPort(0x08, 3); break;
    }
    return;
  }
  if (Setup.Algorithm == Manual) {
    View.EnableControls(false);
    View.DrawMarker();
    Post(WM_COMMAND, CM_START, 0);
    s.IsReset = false;
    return;
  }
  if (InitTimer(1500 + static_cast<int>(Host.Random() % 1000), 2)) {
    View.EnableControls(false);
    View.DrawMarker();
    Post(WM_COMMAND, CM_START, 0);
    FamiliarisationDb = s.ActualDB;
    s.IsReset = false;
  }
}

// ---------------------------------------------------------------- presentation

void TAudioTest::CmStart() {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (s.IsStart)
    return;
  Host.Seed(static_cast<unsigned>(Host.NowSeconds()));
  pThis = this;
  InitHandler();
  SetTone(true);
  s.IsStart = 1;
  s.IsActive = true;
  FloorHits = CeilingHits = 0;
  ResponseFlag = false;
  SetVolumeOnSerialPort(0x08, 1);
  if (Setup.SignalMode == Timed) {
    if (!InitTimer(1500 + static_cast<int>(Host.Random() % 1000), 2))
      StopTest();
  } else if (Setup.SignalMode == Pulsed) {
    s.ContinuePulseState = 1;
    if (HwVersion >= 2) {
      s.PulseTimerEnable = true;
      s.TimerIndex = 0;
    } else if (!InitTimer(300, 4)) {
      StopTest();
    }
  }
  View.CopyScreen();
}

void TAudioTest::EvTimer(unsigned id) {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (s.IsMicrophone || StopPending)
    return;
  switch (id) {
  case 2: {
    if (!s.IsActive || KeyHeld)
      return;
    SwitchOffHeadPhone();
    // No response to this presentation.
    if (Setup.Algorithm == Manual)
      return;
    if (AscendingMethod()) {
      if (Phase >= 1)
        Reversal = true;
      if (Phase == 1)
        Phase = 2;
    } else if (Phase >= 1) {
      ReadyDescendalo();
      if (!s.IsStart || StopPending)
        return;
      ++Phase;
      s.ActualDB += Setup.Step + 10;
    }
    return;
  }
  case 3:
    if (!s.IsActive)
      ChangeVolume();
    return;
  case 4:
    if (!Ready || !s.IsStart || !s.IsActive)
      return;
    if (s.ContinuePulseState == 1) {
      const int drop = HwVersion >= 1 ? 15 : 30;
      const int lowered = s.ActualDB > (HwVersion >= 1 ? 5 : 20) ? s.ActualDB - drop : FloorDb;
      SetVolume(HwVersion >= 1 ? 0x0C : 0x08, 2, lowered);
    } else {
      SetVolumeOnSerialPort(0x08, 1);
    }
    s.ContinuePulseState ^= 1;
    return;
  default: return;
  }
}

void TAudioTest::SwitchOffHeadPhone() {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (s.IsMicrophone)
    return;
  s.IsActive = false;
  SetVolume(HwVersion >= 1 ? 0x0C : 0x08, 2, WithdrawnDb());
  Host.KillTimer(2);
  if (Setup.Algorithm != Manual && !InitTimer(2000 + static_cast<int>(Host.Random() % 3000), 3))
    StopTest();
  SetTone(false);
  if (ResponseFlag) {
    Pause(100);
    ResponseFlag = false;
    ButtonState = 0;
    View.RedrawPatientButton();
  }
}

void TAudioTest::ChangeVolume() {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (!s.IsStart)
    return;
  Host.Seed(static_cast<unsigned>(Host.NowSeconds()));
  Host.KillTimer(3);
  switch (Setup.Algorithm) {
  case Ascending: ChangeAscendaloVolume(); break;
  case Descending: ChangeDescendaloVolume(); break;
  case Automatic:
    if (Sequence.IterationType == 1)
      ChangeDescendaloVolume();
    else
      ChangeAscendaloVolume();
    break;
  default: break;
  }
  const int floor = AscendingMethod() ? AscendingFloorDb : FloorDb;
  // The methods never present more than the earphone may give at this
  // frequency; the manual path refuses such levels in the level field.
  const int ceiling = Setup.Algorithm == Manual ? ManualCeilingDb : Calibration.Ceiling(s.ActualFreq);
  // A level beyond a bound is presented at the bound; the 20th time the
  // test gives up there (the automatic sequence asks what to do).
  const auto beyond = [&](int bound, int& hits, int kind, int text) {
    s.ActualDB = bound;
    if (++hits < HitsBeforeGivingUp)
      return false;
    if (Setup.Algorithm == Automatic)
      return VerifyReady(kind);
    StopTest();
    Ask(Texts->LoadStringA(text), TEXT_AUDIO_CAPTION, TMessageButtons::Ok);
    return true;
  };
  if (s.ActualDB < floor && beyond(floor, FloorHits, 1, TEXT_AUDIO_FLOOR))
    return;
  if (s.ActualDB > ceiling && beyond(ceiling, CeilingHits, 2, TEXT_AUDIO_CEILING))
    return;
  if (!InitTimer(1500 + static_cast<int>(Host.Random() % 1000), 2))
    return;
  View.ShowLevel(s.ActualDB);
  SetTone(true);
  View.Redraw();
  SetVolumeOnSerialPort(0x08, 1);
  s.IsActive = true;
}

bool TAudioTest::InitTimer(int ms, int id) {
  Host.PumpMessages();
  if (Host.SetTimer(id, ms))
    return true;
  Ask(Texts->LoadStringA(TEXT_AUDIO_NO_TIMER), TEXT_AUDIO_CAPTION, TMessageButtons::Ok);
  return false;
}

void TAudioTest::StopTest() {
  View.PressStopGadget();
  Post(WM_COMMAND, IdStop, 0);
}

void TAudioTest::CmStop() {
  THandlerLock lock(*this);
  auto& s = Statics();
  s.IsActive = false;
  s.IsStart = 0;
  if (PortOpen) {
    if (Setup.SignalMode == Pulsed)
      Pause(100);
    Send(0x83, FREQ[static_cast<std::size_t>(std::max(0, s.ActualFreq))], 0);
    Pause(100);
    KillHandler();
  }
  // A stop from a line error or a decision must leave no timer behind and
  // let the automatic sequence start again.
  for (const int id : {2, 3, 4})
    Host.KillTimer(id);
  Running = false;
  if (Setup.Algorithm != Manual)
    s.ActualDB = StartDb;
  s.OldFreq = -1;
  s.StepBegin = s.StepEnd = 0;
  Ready = true;
  ButtonState = 0;
  StopPending = ResponseFlag = false;
  SetTone(false);
  View.Redraw();
  ResetWorkingVaribles();
}

void TAudioTest::ResetWorkingVaribles() {
  Statics().ActualFreq = 0;
  FamiliarisationDb = FloorHits = CeilingHits = Phase = 0;
  Reversal = false;
  ResponseList.clear();
}

// ---------------------------------------------------------------- responses

void TAudioTest::EvCommNotify(TParam1 handle, TParam2) {
  THandlerLock lock(*this);
  if (handle != reinterpret_cast<TParam1>(IdCommDev()) || !Statics().IsStart)
    return;
  CommNotify(IdCommDev());
  if (AnyLineError())
    Post(WM_COMMAND, CM_STOP, 0);
}

void TAudioTest::CmDemoButton() {
  if (!Statics().IsStart)
    return;
  Post(WM_DATA_READY, 64, 1);
  if (Setup.Algorithm == Manual)
    Post(WM_DATA_READY, 0, 0);
}

void TAudioTest::CmReady(unsigned answer, long flag) {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (answer == 0xFF) {
    // The audiometer has reset: put the tone back as it was meant to be.
    Pause(300);
    SetVolumeOnSerialPort(0, 0);
    return;
  }
  if (answer & 0x20) {
    Ready = true;
    s.IsReset = false;
    return;
  }
  ResponseFlag = flag != 0;
  ButtonState = static_cast<int>(answer & 0x40);
  View.RedrawPatientButton();
  if (s.IsMicrophone || !s.IsStart || !s.IsActive || !(answer & 0x40))
    return;
  switch (Setup.Algorithm) {
  case Manual:
    StoreThreshold(s.ActualDB);
    if (Setup.SignalMode == Timed)
      SwitchOffHeadPhone();
    View.Redraw();
    return;
  case Ascending:
    s.IsActive = false;
    SwitchOffHeadPhone();
    ReadyAscendalo();
    return;
  default:
    s.IsActive = false;
    SwitchOffHeadPhone();
    if (AscendingMethod()) {
      ReadyAscendalo();
    } else {
      ++Phase;
      Reversal = true;
    }
    return;
  }
}

void TAudioTest::ChangeAscendaloVolume() {
  auto& s = Statics();
  if (Phase == 0) {
    s.ActualDB += 10;
    FamiliarisationDb = s.ActualDB;
  } else if (Phase == 1) {
    s.ActualDB -= 20;
  } else {
    s.ActualDB += 5;
  }
}

void TAudioTest::ChangeDescendaloVolume() {
  auto& s = Statics();
  if (Phase == 0) {
    s.ActualDB += 10;
    FamiliarisationDb = s.ActualDB;
  } else {
    s.ActualDB -= Setup.Step;
  }
}

void TAudioTest::ReadyAscendalo() {
  THandlerLock lock(*this);
  auto& s = Statics();
  if (Phase >= 2 && Reversal) {
    ResponseList.push_back(s.ActualDB);
    if (VerifyReady(0))
      return;
  }
  if (Phase != 1)
    ++Phase;
  if (Phase >= 2)
    s.ActualDB -= 15;
  Reversal = false;
}

void TAudioTest::ReadyDescendalo() {
  THandlerLock lock(*this);
  if (Phase != 0 && Reversal) {
    ResponseList.push_back(Statics().ActualDB + Setup.Step);  // the last level heard
    if (VerifyReady(0))
      return;
  }
  Reversal = false;
}

void TAudioTest::StoreThreshold(int db) {
  auto& s = Statics();
  const auto ear = Index(s.ActualEar);
  const auto frequency = static_cast<std::size_t>(s.ActualFreq);
  Thresholds[ear][Actual][frequency] = db;
  Flags[ear][Actual][frequency] = true;
  AudiogramChanged = true;
  SetActualMeasureDate(Actual);
}

bool TAudioTest::VerifyReady(int kind) {
  THandlerLock lock(*this);
  auto& s = Statics();
  const bool automatic = Setup.Algorithm == Automatic;
  const int equal = Sequence.EqualLevels();
  const int responses = Sequence.Responses();
  const int tolerance = Sequence.Tolerance;
  const auto ear = Index(s.ActualEar);
  const auto frequency = static_cast<std::size_t>(s.ActualFreq);
  // The listener hears the operator while a question of the sequence waits.
  const auto box = [&](const std::string& text, TMessageButtons buttons, int defaultButton = 1) {
    if (automatic)
      CmMicrophoneCommand();
    const int answer = Ask(text, TEXT_AUDIO_CAPTION, buttons, defaultButton);
    if (automatic)
      CmMicrophoneCommand();
    return answer;
  };
  enum class TNext { Next, Again, Stop } next = TNext::Next;
  const auto byAnswer = [](int answer) {
    return answer == IDIGNORE ? TNext::Next : answer == IDRETRY ? TNext::Again : TNext::Stop;
  };

  std::optional<int> candidate;
  for (const int level : ResponseList)
    if (std::count(ResponseList.begin(), ResponseList.end(), level) >= equal) {
      candidate = level;
      break;
    }

  if (static_cast<int>(ResponseList.size()) < equal) {
    if (kind == 0)
      return false;
    next = byAnswer(box(Texts->LoadStringA(kind == 1 ? TEXT_AUDIO_FLOOR : TEXT_AUDIO_CEILING),
                        TMessageButtons::AbortRetryIgnore));
  } else if (!candidate) {
    if (static_cast<int>(ResponseList.size()) < responses) {
      Phase = 2;
      return false;
    }
    StopPending = true;
    const std::string text = Texts->Format(TEXT_AUDIO_NO_CONSISTENT_LEVEL, {std::to_string(equal)});
    if (!automatic) {
      StopTest();
      Ask(text, TEXT_AUDIO_CAPTION, TMessageButtons::Ok);
      return true;
    }
    const bool retestDone = s.ActualFreq == Sequence.RetestFrequency && Flags[ear][Actual][frequency];
    next = byAnswer(box(text, retestDone || SequencePosition == 0 ? TMessageButtons::RetryCancel
                                                                   : TMessageButtons::AbortRetryIgnore));
  } else {
    int threshold = *candidate;
    if (s.ActualFreq == Sequence.RetestFrequency && Flags[ear][Actual][frequency]) {
      const int difference = Thresholds[ear][Actual][frequency] - *candidate;
      if (difference > tolerance || difference < -tolerance) {
        StopPending = true;
        const std::string text = Texts->Format(difference > tolerance ? TEXT_AUDIO_RETEST_HIGHER : TEXT_AUDIO_RETEST_LOWER,
                                               {std::to_string(tolerance)});
        if (!automatic) {
          Ask(text + " " + Texts->LoadStringA(TEXT_AUDIO_TEST_STOPPED), TEXT_AUDIO_CAPTION, TMessageButtons::Ok);
          StopTest();
          return true;
        }
        next = box(text, TMessageButtons::RetryCancel, 2) == IDRETRY ? TNext::Again : TNext::Stop;
      }
      threshold = std::min(threshold, Thresholds[ear][Actual][frequency]);
    }
    if (!StopPending)
      StoreThreshold(threshold);
  }

  if (next == TNext::Stop) {
    StopTest();
    return true;
  }
  if (next == TNext::Next) {
    if (!automatic) {
      StopTest();
      return true;
    }
    ++SequencePosition;
    if (SequencePosition >= static_cast<int>(Sequence.Tests.size())) {
      if (s.ActualEar != Sequence.FirstEar) {
        StopTest();
        return true;
      }
      View.Redraw();
      s.ActualEar = 1 - s.ActualEar;
      SequencePosition = 0;
      View.RedrawEarButtons();
      Send(0x83, FREQ[frequency], 0);
      Pause(100);
    }
  }
  // This frequency again, or the next one, from the start level.
  ResetWorkingVaribles();
  s.ActualFreq = Sequence.Tests[static_cast<std::size_t>(SequencePosition)];
  s.ActualDB = FamiliarisationDb = StartDb;
  if (kind == 0)
    s.ActualDB -= AscendingMethod() ? 10 : Setup.Step + 20;
  Phase = kind == 0 ? -1 : 0;
  StopPending = false;
  return false;
}

// ---------------------------------------------------------------- talk-over

void TAudioTest::CmMicrophone() {
  THandlerLock lock(*this);
  auto& s = Statics();
  const auto code = [&] { return static_cast<unsigned>(FREQ[static_cast<std::size_t>(std::max(0, s.ActualFreq))]); };
  if (!s.IsMicrophone) {
    s.IsMicrophone = 1;
    if (!s.IsStart)
      CmStart();
    if (PortOpen) {
      SetTone(false);
      Send(0x83, code(), 0);
      Send(0x9B, 16, static_cast<unsigned>(std::min(255, MicrophoneVolume + Setup.OffsetVolumeOfMicrophone)));
      Pause(100);
      s.StepBegin = 0;
      SavedActive = s.IsActive;
      s.IsActive = false;
    }
    return;
  }
  if (!Running) {
    s.ActualDB = 0;
    SetTone(false);
    s.IsMicrophone = 0;
    CmStop();
    return;
  }
  SetTone(SavedActive);
  Send(0x9B, 16, 0);
  Pause(200);
  Send(0x80u | EarBits(), code(), Calibration.LevelByte(s.ActualDB, std::max(0, s.ActualFreq)));
  s.IsActive = SavedActive;
  s.IsMicrophone = 0;
}

void TAudioTest::CmMicrophoneCommand() {
  CmMicrophone();
  View.NotifyFrame(WM_MICROPHONE_CHANGED, Statics().IsMicrophone);
}

// ---------------------------------------------------------------- method

void TAudioTest::SetAlgorithm(int method) {
  Setup.Algorithm = method;
  if (method != Manual) {
    Setup.SignalMode = Timed;
    View.NotifyFrame(WM_SIGNAL_MODE_CHANGED, Timed);
  }
  View.NotifyFrame(WM_ALGORITHM_CHANGED, method);
}

void TAudioTest::CmChangeAlgorithm(unsigned id) {
  Setup.Algorithm = id == CM_ALGORITHM2 ? Ascending : id == CM_ALGORITHM3 ? Descending : id == CM_ALGORITHM4 ? Automatic : Manual;
  if (Setup.Algorithm != Manual) {
    Setup.SignalMode = Timed;
    View.NotifyFrame(WM_SIGNAL_MODE_CHANGED, Timed);
  }
}

void TAudioTest::CmChangeSignalMode(unsigned id) {
  // Only the timed presentation lets a method decide; any other mode is
  // the manual method's.
  Setup.SignalMode = id == CM_SIGNAL_MODE2 ? Timed : id == CM_SIGNAL_MODE3 ? Pulsed : Continuous;
  if (Setup.SignalMode != Timed && Setup.Algorithm != Manual) {
    Setup.Algorithm = Manual;
    View.NotifyFrame(WM_ALGORITHM_CHANGED, Manual);
  }
}

// ---------------------------------------------------------------- level field and keys

void TAudioTest::UpDownVolumeChange(int db) {
  THandlerLock lock(*this);
  auto& s = Statics();
  const int frequency = std::max(0, s.ActualFreq);
  // While a tone may sound, a level the earphone cannot give is refused.
  if (s.IsStart && (!Calibration.Fits(db, frequency) || db > Calibration.MaxDb[static_cast<std::size_t>(frequency)]))
    return;
  if (!StepMode())
    s.IsActive = false;
  db = std::clamp(db, FloorDb, ManualCeilingDb);
  View.ShowLevel(db);
  if (s.IsStart && !s.IsMicrophone)
    Post(WM_COMMAND, IdFrequency0 + static_cast<unsigned>(frequency), 0);
}

void TAudioTest::CmChangeUpDownVolume(unsigned id) {
  if (Setup.Algorithm != Manual && Statics().IsStart)
    return;
  UpDownVolumeChange(View.LevelField() + (id == CM_AUDIO_LEVEL_UP ? Setup.Step : -Setup.Step));
}

void TAudioTest::CmChangeFreq(unsigned id) {
  auto& s = Statics();
  if (Setup.Algorithm != Manual || !s.IsStart)
    return;
  const int frequency = std::clamp(s.ActualFreq + (id == CM_AUDIO_NEXT_FREQUENCY ? 1 : -1), 0, AudioFrequencies - 1);
  View.PressFrequencyGadget(frequency);
  Post(WM_COMMAND, IdFrequency0 + static_cast<unsigned>(frequency), 0);
}

void TAudioTest::CmChangeEar(unsigned id) {
  auto& s = Statics();
  if (s.IsStart || Setup.Algorithm == Automatic)
    return;
  s.ActualEar = id == CM_AUDIO_LEFT_EAR ? 1 : 0;
  View.Redraw();
  View.RedrawEarButtons();
}

void TAudioTest::CmVolumeRepeat() {
  if (Setup.Algorithm != Manual || Setup.SignalMode != Timed || !Statics().IsStart || KeyHeld)
    return;
  KeyHeld = true;
  ChangeVolume();
}

void TAudioTest::EvKeyUp(unsigned key) {
  constexpr unsigned KeyEnd = 35;
  if (key != KeyEnd || Setup.Algorithm != Manual || Setup.SignalMode != Timed || !Statics().IsStart)
    return;
  KeyHeld = false;
  SwitchOffHeadPhone();
}

void TAudioTest::ChangeMicrophoneVolume(int volume) {
  THandlerLock lock(*this);
  MicrophoneVolume = volume;
  if (!Statics().IsMicrophone)
    return;
  Send(0x9B, 16, static_cast<unsigned>(std::min(255, MicrophoneVolume + Setup.OffsetVolumeOfMicrophone)));
  Pause(100);
}

bool TAudioTest::FrequencyEnabled(int frequency) {
  if (!DevicePresent || Setup.Algorithm == Automatic)
    return false;
  if (Setup.Algorithm != Manual && Statics().IsStart)
    return false;
  const int db = View.LevelField();
  return std::abs(db) <= Calibration.MaxDb[static_cast<std::size_t>(frequency)] && Calibration.Fits(db, frequency);
}

bool TAudioTest::AutomaticEnabled() const {
  return DevicePresent && Setup.Algorithm == Automatic && Sequence.Available() && !Statics().IsStart;
}

bool TAudioTest::MethodEnabled(unsigned id) const {
  if (Statics().IsStart)
    return false;
  return id != CM_ALGORITHM4 || Sequence.Available();
}

// ---------------------------------------------------------------- audiogram

void TAudioTest::ClearActBuffer() {
  ButtonState = 0;
  // A threshold of 0 dB is a measured one: the flags decide.
  const auto anyFlag = [&](int kind) {
    return std::any_of(Flags.begin(), Flags.end(), [&](const auto& ear) {
      const auto& flags = ear[Index(kind)];
      return std::find(flags.begin(), flags.end(), true) != flags.end();
    });
  };
  if (AudiogramChanged || anyFlag(Previous))
    return;
  if (anyFlag(Actual)) {
    for (auto& ear : Thresholds) {
      ear[Previous] = ear[Actual];
      ear[Actual].fill(0);
    }
    for (auto& ear : Flags) {
      ear[Previous] = ear[Actual];
      ear[Actual].fill(false);
    }
    Stamps[Previous] = Stamps[Actual];
    Stamps[Previous].Valid = true;
    Stamps[Actual] = {};
  }
  if (NoteFlags[Actual]) {
    Notes[Previous] = std::move(Notes[Actual]);
    Notes[Actual].clear();
    NoteFlags[Actual] = false;
    NoteFlags[Previous] = true;
  }
}

void TAudioTest::SetActualMeasureDate(int kind) {
  const std::time_t now = static_cast<std::time_t>(Host.NowSeconds());
  std::tm local{};
  ::localtime_r(&now, &local);
  TAudioStamp& stamp = Stamps[Index(kind)];
  stamp = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, true};
}
