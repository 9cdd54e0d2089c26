#pragma once

// What the service page decides: it opens the instrument's link by itself,
// shows the channels, the counter, the status inputs and the version the
// instrument reports, and drives its outputs by hand: one byte per output
// on the spirometer's sheet, a whole command word with timed pulses on the
// diffusion and plethysmograph sheets. Timers 5 and 6 end the pulses; the
// page gives them (QTimers), tests give their own.

#include "platform/framework/EventHandler.h"
#include "platform/portkit/LinkStaticsGuard.h"
#include "shell/sheets/HardwareStatus.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TMessage;

class TServicePageModel final : public TEventHandler {
public:
  static constexpr unsigned short WordIdle = 0xAF7F;
  static constexpr unsigned short WordRunning = 0xEF7F;
  static constexpr unsigned short WordStopped = 0xBF7F;
  static constexpr int PulseTimer = 5;
  static constexpr int SecondPulseTimer = 6;

  struct THooks {
    // Starts timer 5 or 6 once after `ms`; false when it cannot.
    std::function<bool(int id, int ms)> SetTimer;
    std::function<void(int id)> KillTimer;
    // Lets `ms` milliseconds pass with the events running.
    std::function<void(int ms)> Wait;
    // The page shows what changed.
    std::function<void()> Changed;
  };

  // `wordForm`: the diffusion and plethysmograph sheets' command words
  // (template 20143); else the spirometer's one byte per output.
  TServicePageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind, bool wordForm, THooks hooks);
  ~TServicePageModel() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void ReadSettings();
  // The Start/Stop button.
  void StartStop();
  // Stops a running link: the button while running, CM_STOP, leaving the
  // page, the sheet closing.
  void Stop();
  void HaveToKillHandler();
  void Send();
  void OnTimer(int id);
  void SelectPreset(int index);
  void SetPulseTimes(const std::string& time1, const std::string& time2);
  TResult EvCommNotify(TParam1 device, TParam2);

  // The controls' state, which the page shows and sets.
  std::array<bool, 16> WordBoxes{};
  std::array<bool, 16> PulseBoxes{};
  std::array<bool, 16> PulseBoxEnabled{};
  std::array<bool, 8> OnRow{};
  std::array<bool, 8> OffRow{};
  int Instrument = 0;  // 0 "Spirometer", 1 "Nebulizer"
  int TestCase = 0;

  bool IsRunning() const { return Running; }
  bool SendEnabled() const { return SendButton; }
  bool TestCaseEnabled() const { return TestCaseList; }
  bool InstrumentEnabled() const { return InstrumentList; }
  bool WordForm() const { return Words; }
  const std::string& MessageLine() const { return Line; }
  unsigned short LastWord() const { return Last; }
  unsigned short PulseMask() const { return Mask; }
  const THardwareStatus& Settings() const { return Hardware; }
  float MouthPressureFactor() const { return MouthFactor; }
  // The values the link reports: channels 1 to 4, the counter, the version.
  std::array<std::int32_t, 6> Indicators() const;
  unsigned char StatusInputs() const;
  TMeasureInterrupt& Link() { return ServiceLink; }
  static std::vector<std::string> TestCases(TMessage& texts);
  // The label of each bit of the command word on the sheet of device kind 1 or 2.
  static const char* BitLabel(short deviceKind, int bit);

private:
  void SendWord(unsigned short word);
  void ChangeNotice();

  bool Demo;
  TMessage& Texts;
  std::string IniPath;
  short Kind;
  bool Words;
  THooks Hooks;
  THardwareStatus Hardware;
  short NebulizerInstall = 0;
  short NebulizerPort = 3;
  short NebulizerDelayCycle = 1;
  float MouthFactor = 1.0f;
  unsigned short Last = WordIdle;
  unsigned short Mask = 0;
  bool Running = false;
  bool Resend = false;
  bool SendButton = false;
  bool TestCaseList = false;
  bool InstrumentList = true;
  std::string Line;
  std::string PulseTime1;
  std::string PulseTime2;
  std::optional<TLinkStaticsGuard> Guard;
  TMeasureInterrupt ServiceLink;
};
