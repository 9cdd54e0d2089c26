#pragma once

// The port configuration of an instrument, as the hardware sections of the
// ini file give it. The measurement window keeps two: the instrument's and
// that of a separate BTPS device, and swaps them for a BTPS reading.

#include <array>

struct PORT_CONFIG {
  short Port = 1;               // 0 to 5: COM1 to COM6; 6: the FTDI USB device named by USBDescription
  short Type = 1;               // connection kind: 1 the caller polls while no window is notified, 2 the link reads by itself
  short BaudRate = 3;           // index: 0 9600, 1 19200, 2 38400, 3 57600, 4 115200
  short InputBuffer = 32767;    // bytes the link keeps unread
  short OutputBuffer = 128;
  short DelayCycle = 1;         // timing values of the hardware section, kept for the window
  short DelayCounter = 12;
  short VersionOfHardware = 0;  // as the last port check reported it
  std::array<char, 64> USBDescription{};
};

// The rate of a BaudRate index; 0 for an index the link does not know.
constexpr int BaudRateOf(short index) {
  switch (index) {
  case 0: return 9600;
  case 1: return 19200;
  case 2: return 38400;
  case 3: return 57600;
  case 4: return 115200;
  default: return 0;
  }
}

inline constexpr short PORT_USB = 6;
