#pragma once

// The body box of the simulator: the patient in it (tools/lungmodel/
// BoxModel.h) behind the instrument's control words. The shutter closes
// while the word has both 0x1000 and 0x0001 clear; zero samples (0x0004
// clear) read nothing; the leak test's pump (position 0, 0x0100 clear)
// reports status 0x01 while it moves, then the box pressure it left
// decays with the leak's time constant; the calibration pump (position 1,
// 0x0200 clear) reports status 0x02 while it settles, then swings the box
// by factor × PB × "CalibrationVolume" / "VolumeOfCabin" peak to peak. A
// stuck pump keeps its status. The door opens and closes at given times.

#include "tools/lungmodel/BoxModel.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct TBoxHeadOptions {
  LungModel::TBoxSettings Box;
  double DoorOpenAtS = -1.0;   // -1: never
  double DoorCloseAtS = -1.0;  // -1: stays open once opened
  double PumpSettleS = 1.0;    // the status a pump shows before it runs
};

class TPlethysmographHead {
public:
  using TLog = std::function<void(const std::string&)>;

  struct TSample {
    double FlowLps = 0.0;
    double BoxPa = 0.0;
    double MouthPa = 0.0;
    std::uint8_t Status = 0;
  };

  TPlethysmographHead(const LungModel::TPatient& patient, TBoxHeadOptions options, bool stuckPump, TLog log);

  void ApplyWord(std::uint16_t word);
  // The patient starts breathing in the box (the manoeuvre began).
  void StartPatient();
  // One sample; `seconds` is the time the stream has run.
  TSample Tick(double seconds, bool doorOpenFromStart);

private:
  enum class TPump { None, Leak, Calibration };

  LungModel::TPatient Patient;
  TBoxHeadOptions Options;
  bool StuckPump = false;
  TLog Log;
  std::optional<LungModel::TBoxModel> Model;
  std::uint16_t Word = 0xAF7F;
  TPump Pump = TPump::None;
  long PumpSamples = 0;  // since the pump was set
  bool ShutterClosed = false;
};
