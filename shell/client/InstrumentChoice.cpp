#include "shell/client/InstrumentChoice.h"

#include "common/CommandNumbers.h"

namespace InstrumentChoice {
namespace {

constexpr short Spirometer = 1;
constexpr short Rhinomanometer = 2;
constexpr short DiffusionUnit = 3;
constexpr short Plethysmograph = 4;

short HardwareKind(const TInstallFlags& f) { return (f.HardwareMode & 1) != 0 ? Rhinomanometer : Spirometer; }

}  // namespace

std::optional<short> KindWithoutAsking(const TInstallFlags& f, unsigned command, short currentKind, bool quietLoad) {
  const int installed = int{f.HardwareInstalled} + int{f.DiffusionInstalled} + int{f.PlethysmographInstalled};
  const bool mayAsk = command != CM_MEASURE_RHINO && !quietLoad;
  if (installed > 1 && currentKind == 0 && mayAsk)
    return std::nullopt;
  if (mayAsk && f.PlethysmographInstalled)
    return Plethysmograph;
  if (mayAsk && f.DiffusionInstalled)
    return DiffusionUnit;
  return HardwareKind(f);
}

std::array<int, 3> ButtonTexts(const TInstallFlags& f) {
  const int first = (f.HardwareMode & 1) != 0 ? 404 : 501;
  constexpr int Diffusion = 426;
  constexpr int Plethysmography = 475;
  const bool h = f.HardwareInstalled;
  const bool d = f.DiffusionInstalled;
  const bool p = f.PlethysmographInstalled;
  if (h && d && p)
    return {first, Diffusion, Plethysmography};
  if (h && d)
    return {first, Diffusion, 0};
  if (h && p)
    return {first, Plethysmography, 0};
  return {Plethysmography, Diffusion, 0};
}

short KindOfButton(const TInstallFlags& f, int button, short currentKind) {
  switch (button) {
  case Button1:
    return f.HardwareInstalled ? HardwareKind(f) : Plethysmograph;
  case Button2:
    return f.DiffusionInstalled ? DiffusionUnit : Plethysmograph;
  case Button3:
    return Plethysmograph;
  default:
    return currentKind;
  }
}

}  // namespace InstrumentChoice
