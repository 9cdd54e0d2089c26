#pragma once

// The parameters of the special tests that the sheets keep: the diffusion
// test ("Diffusion Capacity Parameters"), the shutter test ("Shutter") and
// the body plethysmograph ("Plethysmograph Parameters"). Each is read and
// written here; a field that leaves its range is brought back to the bound
// when the user leaves it, and a decimal comma is read as a point.

#include <array>
#include <optional>
#include <string>

namespace TestParameters {

// A number typed into a field: a decimal comma counts as a point; nothing
// when the field holds no number.
std::optional<double> ReadNumber(const std::string& text);
// The number of a text kept within ±1e6 (a hand-edited settings file may
// hold any), or `fallback` when it holds none.
double ReadBounded(const std::string& text, double fallback);
// The field as it stands when it is a number within low..high (rewritten
// with a point for a comma), else the bound or, for no number, the lower
// bound, printed with `decimals` places.
std::string Clamp(const std::string& text, double low, double high, int decimals);

// --- Diffusion ----------------------------------------------------------------------
struct TDiffusionField {
  const char* Key;
  const char* Default;
  double Low;
  double High;  // no upper bound: a huge number
  int Decimals;
};
inline constexpr std::size_t DiffusionFieldCount = 10;
const std::array<TDiffusionField, DiffusionFieldCount>& DiffusionFields();
using TDiffusionValues = std::array<std::string, DiffusionFieldCount>;
TDiffusionValues ReadDiffusion(const std::string& iniPath);
std::string WriteDiffusion(const std::string& iniPath, const TDiffusionValues& values);
std::string ClampDiffusion(std::size_t field, const std::string& text);

// --- Shutter -------------------------------------------------------------------------
struct TShutterValues {
  std::string MetronomEnable = "1";
  std::string BreathingRate = "23";
};
TShutterValues ReadShutter(const std::string& iniPath);
std::string WriteShutter(const std::string& iniPath, const TShutterValues& values);
// 10 to 30 per minute, on the field's whole number.
std::string ClampShutterRate(const std::string& text);

// --- Plethysmograph ---------------------------------------------------------------
struct TPlethysmographValues {
  int VolumeOfCabin = 960;
  int VolumeOfSensor = 80;
  int ResistanceOfSensor = 20;
  int CalibrationVolume = 150;
  int MetronomEnable = 1;
  int BreathingRateHigh = 70;
  int BreathingRate = 40;
  int EndMode = 0;           // 0 deep expiration, 1 without, 2 with IVC
  int ResistanceMethod = 1;  // list index: 1 - Matthys
  int ResistanceLoopSelection = 0;
  int NumberOfResistance = 4;
  int NumberOfTGV = 4;
  int BarometerOffset = 0;  // written only when nonzero
  int EnableAutomaticBTPS = 1;
  int BTPSAutoSetStep = 50;
  float BTPSCorrectionEffect = 45.0f;
  float InspBTPSCorrectionEffect = 90.0f;
};
TPlethysmographValues ReadPlethysmograph(const std::string& iniPath);
std::string WritePlethysmograph(const std::string& iniPath, const TPlethysmographValues& values);

// The steps of the automatic BTPS setting: 0, or 10 to 1000 in steps of 10
// below 100, of 50 below 500 and of 100 from there.
int AutoSetStep(int value);
std::string ClampAutoSetStep(const std::string& text);
// The second breathing rate: 0, or 70 to 200.
std::string ClampHighRate(const std::string& text);
// The first rate: 20 to 70 with a second rate, else 20 to 200.
std::string ClampRate(const std::string& text, int highRate);

}  // namespace TestParameters
