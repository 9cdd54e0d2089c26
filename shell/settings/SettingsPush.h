#pragma once

// Reads the settings that the program pushes into its component windows
// from the settings file, with their defaults, scales and bounds, and
// applies the link settings to an instrument link with its port check.
// The readers are pure over the file; only the appliers touch a link.

#include "common/PushedSettings.h"
#include "platform/portkit/PortConfig.h"

#include <string>

class TMeasureInterrupt;
class TMessage;

namespace SettingsPush {

// How a link is reached, as a hardware section gives it.
struct TLinkSettings {
  PORT_CONFIG Config;
  short DeviceKind = 1;  // 1 spirometer, 2 nebulizer, 3 diffusion unit, 4 plethysmograph
  bool Live = false;     // Install set and Demo clear
  short StatusWord = 1;  // 0 live settings, 1 demonstration
};

enum class TPortCheck { Verify, Demo };

// A link of the measurement window with the check it takes.
struct TLinkPush {
  TLinkSettings Link;
  TPortCheck Check = TPortCheck::Demo;
  // The spirometer's keys; not read in demonstration.
  bool HasSpirometerKeys = false;
  TSpirometerSettings Spirometer;
};

inline constexpr const char* HardwareSection = "Hardware";
inline constexpr const char* DiffusionSection = "Hardware Diffusion Test";
inline constexpr const char* PlethysmographSection = "Hardware Plethysmograph";

// One hardware section as a link: every key with its default.
TLinkSettings ReadLinkSection(const std::string& iniPath, const char* section, short deviceKind);
// The spirometer's link ([Hardware]), the diffusion unit's, the plethysmograph's.
TLinkPush ReadSpirometerPort(const std::string& iniPath, bool demo);
TLinkPush ReadDiffusionPort(const std::string& iniPath, bool demo);
TLinkPush ReadPlethysmographPort(const std::string& iniPath, bool demo);
// Which of the three a measurement window's link reads.
TLinkPush ReadMeasureLink(const std::string& iniPath, short measureType, short instrumentKind, bool demo);

TDiffusionSettings ReadDiffusion(const std::string& iniPath, short versionOfHardware);
TPlethysmographSettings ReadPlethysmograph(const std::string& iniPath);
std::string CalibrationSection(short measureType, short statusWord, short instrumentKind);
TCalibrationSettings ReadCalibration(const std::string& iniPath, const std::string& section, short measureType,
                                     int warningLimit);
// Everything but the link, for a window whose link reads as `link`.
TMeasureSettings ReadMeasureSettings(const std::string& iniPath, short measureType, short instrumentKind,
                                     const TLinkPush& link);
// The BTPS device's link from [Hardware Plethysmograph].
TLinkSettings ReadBtpsLink(const std::string& iniPath);

struct TNebulizerPush {
  TNebulizerSettings Settings;
  bool Install = false;
  short Port = 3;        // below 2: driven through the lung-function instrument
  short DelayCycle = 1;
};
TNebulizerPush ReadNebulizer(const std::string& iniPath);

TAudioLinkSettings ReadAudioLink(const std::string& iniPath, bool demo);
bool ReadHardwareCheckMessages(const std::string& iniPath);

// Puts the link settings into the link; the port's device names are read
// from `iniPath`.
void ApplyLink(TMeasureInterrupt& link, const TLinkSettings& settings, const std::string& iniPath);
// ApplyLink, then the port check it takes; true when it passed.
bool PushLink(TMeasureInterrupt& link, const TLinkPush& push, const std::string& iniPath, bool showMessages);

// The nebulizer driven through the lung-function instrument: each hardware
// section in turn until an instrument answers that it drives one. True when
// one did.
bool FindNebulizerInstrument(TMeasureInterrupt& link, const std::string& iniPath, bool showMessages);
// The nebulizer's readiness as the provocation window opens: on the
// measurement window's link when there is one, else on a link of its own.
bool CheckNebulizer(TMeasureInterrupt* measureLink, const TNebulizerPush& nebulizer, const std::string& iniPath,
                    bool showMessages, TMessage* texts);

}  // namespace SettingsPush
