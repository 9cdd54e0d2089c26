#pragma once

// The numbers and parameter types of the message layer. The system's own
// commands and private messages are in common/CommandNumbers.h; these are the
// few framework messages that its response tables name besides them.

#include <cstdint>

using TParam1 = std::uintptr_t;  // wParam
using TParam2 = std::intptr_t;   // lParam
using TResult = std::intptr_t;   // a handler's answer

inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_WININICHANGE = 0x001A;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_MDIDESTROY = 0x0221;
inline constexpr unsigned WM_MDIACTIVATE = 0x0222;
inline constexpr unsigned WM_COMMNOTIFY = 0x0044;

// Dialog results and standard button ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// WM_COMMAND carries the command id in the low word of wParam.
constexpr unsigned CommandId(TParam1 wParam) { return static_cast<unsigned>(wParam & 0xFFFFu); }
