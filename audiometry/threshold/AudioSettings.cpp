#include "audiometry/threshold/AudioSettings.h"

#include "platform/framework/Profile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::array<int, 12> DefaultSequenceHz{1000, 1500, 2000, 3000, 4000, 6000, 8000, 1000, 500, 250, 125, 0};

std::string Key(const char* prefix, int number) { return prefix + std::to_string(number); }

}  // namespace

TAudioSetup TAudioSetup::Read(const std::string& iniFile) {
  const TProfile audio("Audio", iniFile);
  TAudioSetup setup;
  setup.Algorithm = audio.GetInt("Algorithm", 0);
  setup.SignalMode = audio.GetInt("SignalMode", 0);
  setup.OneStep = std::max(1, audio.GetInt("OneStep", 1));
  setup.StepTimer = audio.GetInt("StepTimer", 2);
  setup.Step = audio.GetInt("Step", 5);
  setup.OffsetVolumeOfMicrophone = audio.GetInt("OffsetVolumeOfMicrophone", 155);
  setup.BeginVolumeOfMicrophone = audio.GetInt("BeginVolumeOfMicrophone", 50);
  if (setup.Algorithm < 0 || setup.Algorithm > 3)
    setup.Algorithm = 0;
  if (setup.SignalMode < 0 || setup.SignalMode > 2)
    setup.SignalMode = 0;
  return setup;
}

void TAudioSetup::Write(const std::string& iniFile) const {
  TProfile audio("Audio", iniFile);
  audio.WriteInt("Algorithm", Algorithm);
  audio.WriteInt("SignalMode", SignalMode);
}

TAudioCalibration TAudioCalibration::Read(const std::string& iniFile) {
  const TProfile spl("SPL", iniFile);
  TAudioCalibration calibration;
  for (int i = 0; i < AudioFrequencies; ++i) {
    const auto index = static_cast<std::size_t>(i);
    calibration.Correction[index] = spl.GetFloat(std::to_string(AudioHz[index]), calibration.Correction[index]);
    calibration.MaxDb[index] = spl.GetInt(Key("Max", AudioHz[index]), calibration.MaxDb[index]);
  }
  calibration.Max = spl.GetInt("Max", 120);
  // A range of -10 would divide by zero: keep the default scale then.
  calibration.Scale = calibration.Max + 10 > 0 ? 255.0 / (calibration.Max + 10) : 255.0 / 130.0;
  return calibration;
}

int TAudioCalibration::LevelByte(double db, int frequency) const {
  const double value = (db + Correction[static_cast<std::size_t>(frequency)]) * Scale + 10.0;
  if (value < 0)
    return 0;
  return value >= 255 ? 255 : static_cast<int>(value);
}

bool TAudioCalibration::Fits(double db, int frequency) const {
  return (db + Correction[static_cast<std::size_t>(frequency)]) * Scale + 10.0 < 256.0;
}

int TAudioCalibration::Ceiling(int frequency) const {
  return std::min(110, MaxDb[static_cast<std::size_t>(frequency)]);
}

int TAutomaticSequence::EqualLevels() const {
  const int equal = NumberOfEqualSoundLevels < 1 ? 1 : NumberOfEqualSoundLevels;
  return std::min(equal, Responses());
}

TAutomaticSequence TAutomaticSequence::Read(const std::string& iniFile) {
  const TProfile section("Audiometer Automatic Sequence", iniFile);
  TAutomaticSequence sequence;
  sequence.FirstEar = section.GetInt("FirstEar", 0) == 1 ? 1 : 0;
  sequence.IterationType = section.GetInt("IterationType", 0) == 1 ? 1 : 0;
  sequence.NumberOfRepetition = section.GetInt("NumberOfRepetition", 5);
  sequence.NumberOfEqualSoundLevels = section.GetInt("NumberOfEqualSoundLevels", 3);
  sequence.Tolerance = section.GetInt("Tolerance", 5);
  for (int position = 0; position < 12; ++position) {
    const int fallback = section.GetInt(Key("DefTest", position), DefaultSequenceHz[static_cast<std::size_t>(position)]);
    // A key written empty (a position after the last item) reads as 0; only
    // a missing key takes the default sequence's value.
    const std::string text = section.GetString(Key("Test", position), "-");
    const int hz = text == "-" ? fallback : std::atoi(text.c_str());
    if (hz == 0)
      continue;
    // A value that is no test frequency is skipped; the list stays without gaps.
    const auto found = std::find(AudioHz.begin(), AudioHz.end(), hz);
    if (found != AudioHz.end())
      sequence.Tests.push_back(static_cast<int>(found - AudioHz.begin()));
  }
  if (!sequence.Tests.empty() &&
      std::find(sequence.Tests.begin() + 1, sequence.Tests.end(), sequence.Tests.front()) != sequence.Tests.end())
    sequence.RetestFrequency = sequence.Tests.front();
  return sequence;
}
