#pragma once

// The box test's manoeuvre as the samples arrive: when the breathing has
// begun, where the resistance loops start and end, when the shutter closes
// and when the panting is over. It decides the marks and the control words;
// the caller stores the samples, sends the words and draws.

#include <cstdint>
#include <vector>

namespace plethysmography {

// The start of the breathing: an inspiration of at least 60 mL/s, then an
// expiration of at least 60 mL/s; samples before that expiratory one are
// not kept.
class BreathStart {
public:
  // True when the sample (flow in mL/s, the zero taken off) is to be kept.
  bool Feed(double flowMlS);
  bool Begun() const { return begun_; }

private:
  bool breathIn_ = false;
  bool begun_ = false;
};

struct ManoeuvreSettings {
  int resistanceBreaths = 4;  // "NumberOfResistance": loops recorded
  int tgvCycles = 4;          // "NumberOfTGV": panting crossings after the first
  int breathingRate = 40;     // "BreathingRate": 70 and more set bit 0x0002 in the loops
};

// One breathing sample of the test, as the manoeuvre reads it.
struct ManoeuvreSample {
  std::uint16_t index = 0;      // of this sample
  float flowBefore = 0.0f;      // L/s at index - 1 and index
  float flow = 0.0f;
  float mouthBefore = 0.0f;     // kPa at index - 1 and index
  float mouth = 0.0f;
  float boxPa = 0.0f;
  float volumeL = 0.0f;
};

class Manoeuvre {
public:
  Manoeuvre(const ManoeuvreSettings& settings, std::uint16_t word);

  // The operator asked for the shutter: the loops may begin.
  void RequestShutter() { shutterRequested_ = true; }
  bool ShutterRequested() const { return shutterRequested_; }

  // Reads one sample (index above 1). Answers the words to send, in order;
  // Ended() turns true at the sample the panting is over.
  std::vector<std::uint16_t> Feed(const ManoeuvreSample& s);

  std::uint16_t Word() const { return word_; }
  bool Ended() const { return end_ != 0; }

  std::uint16_t ResistanceStartMark() const { return resistanceStart_; }
  std::uint16_t ResistanceEndMark() const { return resistanceEnd_; }
  std::uint16_t TgvStartMark() const { return tgvStart_; }
  std::uint16_t EndMark() const { return end_; }
  float LiveVolumeZero() const { return liveVolumeZero_; }
  float FirstBoxPressureForResistance() const { return firstBoxResistance_; }
  float FirstBoxPressureForTgv() const { return firstBoxTgv_; }

private:
  std::vector<std::uint16_t> Send(std::uint16_t word);

  ManoeuvreSettings settings_;
  std::uint16_t word_;
  bool shutterRequested_ = false;
  std::uint16_t nextEvent_ = 0;
  int loopBreathsLeft_ = 2;
  int shutterBreathsLeft_ = 2;
  int resistanceBreathsLeft_;
  int tgvCyclesLeft_;
  std::uint16_t resistanceStart_ = 0;
  std::uint16_t resistanceEnd_ = 0;
  std::uint16_t tgvStart_ = 0;
  std::uint16_t end_ = 0;
  float liveVolumeZero_ = 0.0f;
  float firstBoxResistance_ = 0.0f;
  float firstBoxTgv_ = 0.0f;
};

}  // namespace plethysmography
