#pragma once

// The hardware status of an instrument as its section of the settings file
// keeps it, read and written by the configuration pages. The three sheets
// share the keys: device kind 0 "Hardware" (spirometer and rhinomanometer),
// 1 "Hardware Diffusion Test", 2 "Hardware Plethysmograph". The spirometer's
// pump, calibration cycles and back extrapolation always live in
// "Hardware".

#include <string>

struct THardwareStatus {
  short Install = 0;
  short Type = 0;  // 1 after a port test on the page
  short BaudRate = 3;
  short InputBuffer = 32767;
  short OutputBuffer = 128;
  short Mode = 0;  // capabilities of the last port test: bit 0 rhinomanometer, 1 nebulizer, 2 shutter
  short Port = 1;  // 0 to 5 COM1 to COM6, 6 the USB device of USBDescription
  short Demo = 1;
  short DelayCycle = 1;
  short Pump = 3;  // litres
  short IndexOfCalibrationCycle = 2;
  short DelayCounter = 12;
  short VersionOfHardware = 0;
  short BackExtrapolation = 0;
  std::string USBDescription;  // at most 63 characters
};

namespace HardwareStatus {

inline constexpr short PortUsb = 6;
inline constexpr std::size_t UsbDescriptionSize = 64;

const char* SectionOf(short deviceKind);
// The instrument kind the link is told for a device kind: 1, 3 or 4.
short InstrumentKindOf(short deviceKind);

// The built-in values of the demonstration switch.
THardwareStatus DemoValues();
THardwareStatus Read(const std::string& iniPath, short deviceKind);
// Writes what the page keeps; an empty answer when every write went
// through, otherwise why not.
std::string Write(const std::string& iniPath, short deviceKind, const THardwareStatus& status);

}  // namespace HardwareStatus
