#pragma once

// The language texts of the instrument link (resources/lang).

inline constexpr int TEXT_LINK_PORT_LOST = 8101;        // %1 port, %2 reason
inline constexpr int TEXT_LINK_SILENT = 8102;           // %1 port, %2 seconds
inline constexpr int TEXT_LINK_OVERRUN = 8103;          // %1 port, %2 bytes
inline constexpr int TEXT_LINK_SAMPLES_LOST = 8104;     // %1 port, %2 samples
inline constexpr int TEXT_LINK_FAULT = 8105;            // %1 port, %2 fault code
inline constexpr int TEXT_LINK_CANNOT_START = 8106;     // %1 port, %2 reason
inline constexpr int TEXT_LINK_NOISY = 8107;            // %1 port, %2 per cent filled in at most
inline constexpr int TEXT_PORT_MISSING = 8110;          // %1 port
inline constexpr int TEXT_PORT_BUSY = 8111;             // %1 port
inline constexpr int TEXT_PORT_CANNOT_OPEN = 8112;      // %1 port, %2 reason
inline constexpr int TEXT_PORT_NOT_SERIAL = 8113;       // %1 port
inline constexpr int TEXT_PORT_NO_ANSWER = 8114;        // %1 port
inline constexpr int TEXT_PORT_OTHER_PROTOCOL = 8115;   // %1 port, %2 version
inline constexpr int TEXT_PORT_NOT_CONFIGURED = 8116;   // %1 port
inline constexpr int TEXT_PORT_BAD_BAUD_RATE = 8117;    // %1 setting
inline constexpr int TEXT_USB_MISSING = 8118;           // %1 description
inline constexpr int TEXT_USB_NO_DESCRIPTION = 8119;
inline constexpr int TEXT_PORT_DENIED = 8120;           // %1 port, %2 reason
inline constexpr int TEXT_PORT_UNKNOWN = 8121;          // %1 port setting
