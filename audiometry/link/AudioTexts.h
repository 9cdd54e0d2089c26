#pragma once

// The language texts of the audiometer link and its tests (resources/lang).

inline constexpr int TEXT_AUDIO_CAPTION = 0;
inline constexpr int TEXT_AUDIO_NO_TIMER = 9;
inline constexpr int TEXT_AUDIO_NO_ANSWER = 29;
inline constexpr int TEXT_AUDIO_CHECK_POWER = 31;
inline constexpr int TEXT_AUDIO_CHECK_CABLE = 32;
inline constexpr int TEXT_AUDIO_CHECK_SETTINGS = 33;
inline constexpr int TEXT_AUDIO_PLEASE_CHECK = 163;
inline constexpr int TEXT_AUDIO_FRAMING = 164;
inline constexpr int TEXT_AUDIO_FRAMING_WHY = 165;
inline constexpr int TEXT_AUDIO_OVERRUN = 166;
inline constexpr int TEXT_AUDIO_OVERRUN_WHY = 167;
inline constexpr int TEXT_AUDIO_OVERFLOW = 168;
inline constexpr int TEXT_AUDIO_OVERFLOW_BUFFER = 169;
inline constexpr int TEXT_AUDIO_OVERFLOW_OTHER = 170;
inline constexpr int TEXT_AUDIO_OVERFLOW_BUSY = 171;
inline constexpr int TEXT_AUDIO_OVERFLOW_LOST = 172;
inline constexpr int TEXT_AUDIO_SYSTEM_ERROR = 183;  // %1 the system's words
inline constexpr int TEXT_AUDIO_TEST_STOPPED = 380;
inline constexpr int TEXT_AUDIO_NO_CONSISTENT_LEVEL = 381;  // %1 responses needed
inline constexpr int TEXT_AUDIO_RETEST_HIGHER = 382;        // %1 tolerance
inline constexpr int TEXT_AUDIO_RETEST_LOWER = 383;         // %1 tolerance
inline constexpr int TEXT_AUDIO_FLOOR = 384;
inline constexpr int TEXT_AUDIO_CEILING = 385;
inline constexpr int TEXT_AUDIO_LINK_LOST = 8130;          // %1 port, %2 reason
inline constexpr int TEXT_AUDIO_CLEAR_AUDIOGRAM = 8131;    // the question before an automatic sequence
