// The diffusion unit's pressure lines during its calibration: each line is
// pumped up, closed, held for 15 s while its pressure is drawn, and its
// loss decides whether the calibration goes on. The pump words and the
// loss are measure/calibration/PressureLines.

#include "measure/core/MeasureCore.h"

#include "measure/calibration/PressureLines.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"

#include <cstdlib>

namespace {

using calibration::PressureLine;

constexpr unsigned short WordLinesTest = 0xEB7F;      // the lines are tested
constexpr unsigned short WordBalloonPump = 0xEB69;    // the balloon line's pump (recorded, not sent)
constexpr unsigned short WordFleischClosed = 0xEB5E;  // the Fleisch line closed for its hold
constexpr unsigned short WordLineClosed = 0xEB4F;     // a line closed for its hold
using InstrumentProtocol::WordIdle;
constexpr std::size_t HoldSamples = 1500;             // 15 s of the chart
constexpr int LinesTestText = 444;
constexpr int FleischHoldText = 445;
constexpr int BalloonHoldText = 446;
constexpr short FirstDuty = 9;

PressureLine LineOf(short mode) { return mode <= 2 ? PressureLine::Fleisch : PressureLine::Balloon; }

}  // namespace

void TMeasureCore::StartDiffusionCalibration() {
  LastSentData = WordIdle;
  Gas.AutoZeroFlag = true;
  DemandAutoZero(0);
}

void TMeasureCore::PressureProbe(short mode) {
  if (StartId == 0)
    return;
  FlagBegin = false;
  TestMode = mode;
  Lines.ProbeStarted = true;
  Lines.PressureReached = false;
  Gas.DelayPending = false;
  Lines.PumpDuty = FirstDuty;
  if (mode == 1) {
    View->ClearMeasureScreen();
    SendLineWord(WordLinesTest);
    if (Messages)
      Messages->MessageBox(LinesTestText, 1, TMessageIcon::Information);
  } else {
    // The balloon's pump word goes out with the first tick of its pump-up;
    // the delay before it filled the analysers' rings.
    LastSentData = WordBalloonPump;
    CalculateZeroValueForHEandCO();
  }
  View->CopyScreen();
  Gas.AutoZeroFlag = true;
  DemandAutoZero(mode);
}

void TMeasureCore::AfterLineHeld(short mode) {
  // The Fleisch line held: the gas path is washed out before the balloon
  // line; the balloon line held: the calibration gas is analysed.
  if (mode == 2)
    WashingOutForCalibration();
  else
    GasAnalysis();
}

bool TMeasureCore::RunSequenceStep(short step, std::size_t i, TParam2 sample) {
  switch (step) {
  case 1:
  case 4: {
    if (!FlagBegin)
      return false;
    TCurve& line = step == 1 ? PressureA : PressureB;
    if (!line.empty())
      line[0] = static_cast<float>(std::labs(sample)) * Lines.PressureFactor;
    PumpUp(step, i);
    if (Lines.PressureReached && Lines.LeakTest && StartId != 0 && TestMode == step)
      LeakageProbe(static_cast<short>(step + 1), step == 1 ? FleischHoldText : BalloonHoldText);
    return false;
  }
  case 2:
  case 5:
    if (FlagBegin)
      HoldLine(step, i, static_cast<float>(std::labs(sample)) * Lines.PressureFactor);
    return false;
  default:
    return true;
  }
}

void TMeasureCore::PumpUpFleisch(std::size_t tick) { PumpUp(1, tick); }

void TMeasureCore::PumpUpBalloon(std::size_t tick) { PumpUp(4, tick); }

void TMeasureCore::PumpUp(short mode, std::size_t tick) {
  if (StartId == 0)
    return;
  const PressureLine line = LineOf(mode);
  const TCurve& buffer = line == PressureLine::Fleisch ? PressureA : PressureB;
  const float pressurePa = buffer.empty() ? 0.0f : buffer[0];
  if (tick >= static_cast<std::size_t>(calibration::PumpUpTimeoutTicks)) {
    // A pump that never gets there: the calibration cannot go on, and its
    // end says why (the pressure was not reached).
    Lines.PressureReached = false;
    StopRequest = 1;
    LetWaitingEventsThrough();
    return;
  }
  const auto m = static_cast<short>(tick % 100);
  if (tick > 0 && m == 0) {
    Lines.PumpDuty = calibration::PumpTicks(pressurePa);
    View->DrawPressureCurve(line == PressureLine::Fleisch ? 0 : 1, 0);
    if (pressurePa >= calibration::WordsOf(line).reachedPa)
      Lines.PressureReached = true;
    return;
  }
  if (const unsigned short word = calibration::PumpWordAt(line, m, Lines.PumpDuty); word != 0)
    SendLineWord(word);
}

void TMeasureCore::LeakageProbe(short mode, int textId) {
  FlagBegin = false;
  TestMode = mode;
  View->ClearVolumeScreen();
  View->ShowSequenceText(8, 283, 741, 456, Messages ? Messages->LoadStringA(textId) : std::string());
  View->CopyScreen();
  CmSendToSerialPort(mode == 2 ? WordFleischClosed : WordLineClosed, 2);
  LastSentData = WordLineClosed;
  Lines.HoldStartPa[mode == 2 ? 0 : 1] = 0.0f;
  LetWaitingEventsThrough();
  InterruptIndex = 1;
  FlagBegin = true;
}

void TMeasureCore::HoldLine(short mode, std::size_t i, float pressurePa) {
  const std::size_t k = mode == 2 ? 0 : 1;
  TCurve& buffer = k == 0 ? PressureA : PressureB;
  if (Lines.HoldStartPa[k] == 0.0f)
    Lines.HoldStartPa[k] = pressurePa;
  if (i < HoldSamples) {
    if (i < buffer.size()) {
      buffer[i] = pressurePa;
      Lines.PressureSamples[k] = static_cast<short>(i);
      View->DrawPressureCurve(static_cast<short>(k), static_cast<short>(i));
    }
    return;
  }
  const float endPa = buffer.empty() ? 0.0f : buffer[static_cast<std::size_t>(Lines.PressureSamples[k])];
  const short loss = calibration::CalculatePressureLoss(Lines.HoldStartPa[k], endPa);
  (k == 0 ? FleischPressureLoss : BalloonPressureLoss) = loss;
  View->InvalidateScreen();
  if (loss < calibration::LossLimitPercent)
    AfterLineHeld(mode);
  else
    StopRequest = 1;
}

void TMeasureCore::SendLineWord(unsigned short word) {
  if (word == LastSentData)
    return;
  CmSendToSerialPort(word, 2);
  LastSentData = word;
}
