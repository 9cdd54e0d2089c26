#pragma once

// Every command and private message number that crosses the libraries of
// the system, in one table. A number may be a command and a private message
// at once (the command from menus and bars, the message from a tool-bar
// button to the window that owns the bar); no other number is given twice.

#include <array>
#include <string_view>

enum class TNumberKind { Command, Message, CommandAndMessage };

struct TNumberedName {
  unsigned Number;
  std::string_view Name;
  TNumberKind Kind;
};

inline constexpr unsigned CM_SCREEN = 2001;
inline constexpr unsigned CM_ZOOM = 2002;
inline constexpr unsigned CM_ZERO = 2003;
inline constexpr unsigned WM_DATA_READY = 2004;
inline constexpr unsigned CM_UNIT = 2005;
inline constexpr unsigned CM_PREPOST = 2006;
inline constexpr unsigned WM_MEASURE_MODE_CHANGED = 2007;
inline constexpr unsigned CM_ZOOM_TABLE = 2008;
inline constexpr unsigned CM_STOP = 2009;
inline constexpr unsigned CM_CALIBRATION = 2010;
inline constexpr unsigned CM_START = 2011;
inline constexpr unsigned CM_START2 = 2012;
inline constexpr unsigned CM_START3 = 2013;
inline constexpr unsigned CM_CAKE = 2014;
inline constexpr unsigned WM_GET_IS_START = 2015;
inline constexpr unsigned WM_RESTORE_BACKUP = 2016;
inline constexpr unsigned WM_SAVE_BACKUP = 2017;
inline constexpr unsigned WM_LOAD_DEMO_DATA = 2018;
// The client's answers to WM_LOAD_DEMO_DATA (0: nobody answered).
namespace DemoDataAnswer {
inline constexpr int Replayed = 1;  // the slot holds the file's samples
inline constexpr int Missing = 2;   // no file of the kind, the slot untouched: the window says so
inline constexpr int Damaged = 3;   // the file is named in a message already
}  // namespace DemoDataAnswer
inline constexpr unsigned WM_PRINT_PROGRESS = 2020;
inline constexpr unsigned CM_TABLE1 = 2021;
inline constexpr unsigned CM_TABLE2 = 2022;
inline constexpr unsigned CM_TABLE3 = 2023;
inline constexpr unsigned WM_CHANGE_BUTTON_COLOR = 2024;
inline constexpr unsigned CM_GRID = 2025;
inline constexpr unsigned WM_CAKE_CHANGED = 2026;
inline constexpr unsigned WM_GRID_CHANGED = 2027;
inline constexpr unsigned WM_PREPOST_CHANGED = 2028;
inline constexpr unsigned WM_CHILD_ACTIVATED = 2029;
inline constexpr unsigned WM_CLOSE_CHILD_WINDOWS = 2031;
inline constexpr unsigned CM_SAVE_MEASUREMENT = 2032;
inline constexpr unsigned WM_READ_BACKUP = 2033;
inline constexpr unsigned WM_LOAD_MEASUREMENT = 2034;
inline constexpr unsigned WM_SHOW_CHILD_WINDOW = 2035;
inline constexpr unsigned WM_READ_TREND_DATA = 2036;
inline constexpr unsigned WM_NORMREL_CHANGED = 2037;
inline constexpr unsigned CM_MEASURE_CLOSED = 2038;
inline constexpr unsigned CM_NOTE_CLOSED = 2039;
inline constexpr unsigned CM_AUDIOMETER_CLOSED = 2040;
inline constexpr unsigned CM_PROVOCATION_CLOSED = 2041;
inline constexpr unsigned CM_TREND_CLOSED = 2042;
inline constexpr unsigned WM_LOAD_AUDIOGRAM = 2043;
inline constexpr unsigned WM_DO_START = 2044;
inline constexpr unsigned CM_MEASURE_MENU = 2045;
inline constexpr unsigned CM_MEASURE_MENU_CLOSE = 2046;
inline constexpr unsigned CM_AUDIO_DEMO_RESPONSE = 2047;
inline constexpr unsigned CM_ESC_BUTTON = 2048;
inline constexpr unsigned WM_RHINO_DATA_READY = 2049;
inline constexpr unsigned CM_RHINO_PROVOCATION = 2050;
inline constexpr unsigned CM_MICROPHONE = 2051;
inline constexpr unsigned CM_ALGORITHM1 = 2052;
inline constexpr unsigned CM_ALGORITHM2 = 2053;
inline constexpr unsigned CM_ALGORITHM3 = 2054;
inline constexpr unsigned CM_ALGORITHM4 = 2074;
inline constexpr unsigned CM_SIGNAL_MODE1 = 2055;
inline constexpr unsigned CM_SIGNAL_MODE2 = 2056;
inline constexpr unsigned CM_SIGNAL_MODE3 = 2057;
inline constexpr unsigned WM_MICROPHONE_CHANGED = 2058;
inline constexpr unsigned WM_ALGORITHM_CHANGED = 2059;
inline constexpr unsigned WM_SIGNAL_MODE_CHANGED = 2060;
inline constexpr unsigned CM_SAVE_AUDIOGRAM = 2061;
inline constexpr unsigned CM_AUDIO_LEVEL_UP = 2062;
inline constexpr unsigned CM_AUDIO_LEVEL_DOWN = 2063;
inline constexpr unsigned WM_GET_STORED_TRIAL = 2064;
inline constexpr unsigned WM_CLOSE_ALL_TEMP_FILES = 2065;
inline constexpr unsigned WM_METRONOME = 2066;
inline constexpr unsigned WM_PLETHY_DATA_READY = 2067;
inline constexpr unsigned CM_RESISTANCE_LOOP1 = 2068;
inline constexpr unsigned CM_RESISTANCE_LOOP2 = 2069;
inline constexpr unsigned CM_RESISTANCE_LOOP3 = 2070;
inline constexpr unsigned WM_CHANGE_COMMAND_BUTTON = 2071;
inline constexpr unsigned CM_SKIP_NEXT_POINT = 2072;
inline constexpr unsigned WM_PREDICTED_CHANGED = 2076;
inline constexpr unsigned CM_AUDIO_NEXT_FREQUENCY = 2077;
inline constexpr unsigned CM_AUDIO_PREVIOUS_FREQUENCY = 2078;
inline constexpr unsigned CM_AUDIO_PRESENT_AGAIN = 2079;
inline constexpr unsigned CM_AUDIO_RIGHT_EAR = 2080;
inline constexpr unsigned CM_AUDIO_LEFT_EAR = 2081;
inline constexpr unsigned CM_USB_DESCRIPTION = 2082;
inline constexpr unsigned CM_NEW_DATABASE = 2100;
inline constexpr unsigned CM_AUDIO_CALIBRATION = 2102;
inline constexpr unsigned CM_MERGE_DATABASES = 2103;
inline constexpr unsigned CM_DIFFUSION_SETUP = 2104;
inline constexpr unsigned CM_PLETHYSMOGRAPH_SETUP = 2105;
inline constexpr unsigned CM_GAS = 2106;
inline constexpr unsigned CM_OPEN_PATIENT = 2107;
inline constexpr unsigned CM_INSTITUTE = 2108;
inline constexpr unsigned CM_HARDWARE_SETUP = 2109;
inline constexpr unsigned CM_PATIENT_NEW = 2110;
inline constexpr unsigned CM_PATIENT_SEARCH = 2111;
inline constexpr unsigned CM_PATIENT_LIST = 2112;
inline constexpr unsigned CM_PATIENT_SAVE = 2114;
inline constexpr unsigned CM_PATIENT_FIRST = 2115;
inline constexpr unsigned CM_PATIENT_PREV = 2116;
inline constexpr unsigned CM_PATIENT_NEXT = 2117;
inline constexpr unsigned CM_PATIENT_LAST = 2118;
inline constexpr unsigned CM_START_UP_SETTINGS = 2119;
inline constexpr unsigned CM_BROWSE_MEASUREMENTS = 2120;
inline constexpr unsigned CM_DATABASE_LOCATION = 2121;
inline constexpr unsigned CM_TREND = 2122;
inline constexpr unsigned CM_PATIENT_NOTE = 2123;
inline constexpr unsigned CM_PATIENT_CANCEL = 2124;
inline constexpr unsigned CM_DOCTORS = 2125;
inline constexpr unsigned CM_AUDIOMETER = 2126;
inline constexpr unsigned CM_DATE_TIME = 2127;
inline constexpr unsigned CM_NEW_REF = 2128;
inline constexpr unsigned CM_NORMREL = 2129;
inline constexpr unsigned CM_LEFT_PRE = 2130;
inline constexpr unsigned CM_LEFT_NEXT = 2131;
inline constexpr unsigned CM_RIGHT_PRE = 2132;
inline constexpr unsigned CM_RIGHT_NEXT = 2133;
inline constexpr unsigned CM_PROVOCATION = 2134;
inline constexpr unsigned CM_PROVOCATION_STEP = 2135;
inline constexpr unsigned CM_AUDIO_SETUP = 2136;
inline constexpr unsigned CM_ECG = 2137;
inline constexpr unsigned CM_DDE = 2138;
inline constexpr unsigned CM_MEASURE_RHINO = 2139;
inline constexpr unsigned WM_ASK_HELP_CONTEXT = 2140;
inline constexpr unsigned WM_SHOW_HELP = 2141;
inline constexpr unsigned WM_GET_HELP_MODE = 2142;
inline constexpr unsigned CM_ABOUT = 2143;
inline constexpr unsigned CM_HELP_MODE = 2144;
inline constexpr unsigned CM_HELP_INDEX = 2145;
inline constexpr unsigned CM_HELP_ON_HELP = 2146;
inline constexpr unsigned CM_MEASURE_FVC = 2147;
inline constexpr unsigned CM_MEASURE_VC = 2148;
inline constexpr unsigned CM_MEASURE_MVV = 2149;
inline constexpr unsigned CM_MEASURE_DFC = 2150;
inline constexpr unsigned CM_MEASURE_PLETHY = 2151;
inline constexpr unsigned CM_MEASURE_SHUTTER = 2152;
inline constexpr unsigned CM_SHUTTER = 2153;
inline constexpr unsigned CM_AUTOMATIC_SETUP = 2154;
inline constexpr unsigned CM_PREDICTED = 2156;
inline constexpr unsigned CM_PROVOCATION_MEASURE = 2157;
inline constexpr unsigned CM_CANCEL_PROV = 2158;
inline constexpr unsigned CM_BREATHING_RATE_HIGH = 2159;
inline constexpr unsigned CM_BREATHING_RATE = 2160;
inline constexpr unsigned CM_MICROPHONE_VOLUME = 5803;
inline constexpr unsigned CM_EXIT = 24310;
// The window framework's edit commands, which an edit control answers.
inline constexpr unsigned CM_EDITUNDO = 24321;
inline constexpr unsigned CM_EDITCUT = 24322;
inline constexpr unsigned CM_EDITCOPY = 24323;
inline constexpr unsigned CM_EDITPASTE = 24324;
inline constexpr unsigned CM_EDITDELETE = 24325;
inline constexpr unsigned CM_EDITCLEAR = 24326;
inline constexpr unsigned CM_FILESAVEAS = 24334;
inline constexpr unsigned CM_FILEPRINT = 24337;
inline constexpr unsigned CM_FILEPRINTERSETUP = 24338;
inline constexpr unsigned CM_FILEPRINTPREVIEW = 24340;

inline constexpr std::array<TNumberedName, 148> CommandNumberTable{{
    {CM_SCREEN, "CM_SCREEN", TNumberKind::Command},
    {CM_ZOOM, "CM_ZOOM", TNumberKind::Command},
    {CM_ZERO, "CM_ZERO", TNumberKind::Command},
    {WM_DATA_READY, "WM_DATA_READY", TNumberKind::Message},
    {CM_UNIT, "CM_UNIT", TNumberKind::Command},
    {CM_PREPOST, "CM_PREPOST", TNumberKind::CommandAndMessage},
    {WM_MEASURE_MODE_CHANGED, "WM_MEASURE_MODE_CHANGED", TNumberKind::Message},
    {CM_ZOOM_TABLE, "CM_ZOOM_TABLE", TNumberKind::Command},
    {CM_STOP, "CM_STOP", TNumberKind::Command},
    {CM_CALIBRATION, "CM_CALIBRATION", TNumberKind::Command},
    {CM_START, "CM_START", TNumberKind::Command},
    {CM_START2, "CM_START2", TNumberKind::Command},
    {CM_START3, "CM_START3", TNumberKind::Command},
    {CM_CAKE, "CM_CAKE", TNumberKind::CommandAndMessage},
    {WM_GET_IS_START, "WM_GET_IS_START", TNumberKind::Message},
    {WM_RESTORE_BACKUP, "WM_RESTORE_BACKUP", TNumberKind::Message},
    {WM_SAVE_BACKUP, "WM_SAVE_BACKUP", TNumberKind::Message},
    {WM_LOAD_DEMO_DATA, "WM_LOAD_DEMO_DATA", TNumberKind::Message},
    {WM_PRINT_PROGRESS, "WM_PRINT_PROGRESS", TNumberKind::Message},
    {CM_TABLE1, "CM_TABLE1", TNumberKind::CommandAndMessage},
    {CM_TABLE2, "CM_TABLE2", TNumberKind::CommandAndMessage},
    {CM_TABLE3, "CM_TABLE3", TNumberKind::CommandAndMessage},
    {WM_CHANGE_BUTTON_COLOR, "WM_CHANGE_BUTTON_COLOR", TNumberKind::Message},
    {CM_GRID, "CM_GRID", TNumberKind::CommandAndMessage},
    {WM_CAKE_CHANGED, "WM_CAKE_CHANGED", TNumberKind::Message},
    {WM_GRID_CHANGED, "WM_GRID_CHANGED", TNumberKind::Message},
    {WM_PREPOST_CHANGED, "WM_PREPOST_CHANGED", TNumberKind::Message},
    {WM_CHILD_ACTIVATED, "WM_CHILD_ACTIVATED", TNumberKind::Message},
    {WM_CLOSE_CHILD_WINDOWS, "WM_CLOSE_CHILD_WINDOWS", TNumberKind::Message},
    {CM_SAVE_MEASUREMENT, "CM_SAVE_MEASUREMENT", TNumberKind::Command},
    {WM_READ_BACKUP, "WM_READ_BACKUP", TNumberKind::Message},
    {WM_LOAD_MEASUREMENT, "WM_LOAD_MEASUREMENT", TNumberKind::Message},
    {WM_SHOW_CHILD_WINDOW, "WM_SHOW_CHILD_WINDOW", TNumberKind::Message},
    {WM_READ_TREND_DATA, "WM_READ_TREND_DATA", TNumberKind::Message},
    {WM_NORMREL_CHANGED, "WM_NORMREL_CHANGED", TNumberKind::Message},
    {CM_MEASURE_CLOSED, "CM_MEASURE_CLOSED", TNumberKind::Command},
    {CM_NOTE_CLOSED, "CM_NOTE_CLOSED", TNumberKind::Command},
    {CM_AUDIOMETER_CLOSED, "CM_AUDIOMETER_CLOSED", TNumberKind::Command},
    {CM_PROVOCATION_CLOSED, "CM_PROVOCATION_CLOSED", TNumberKind::Command},
    {CM_TREND_CLOSED, "CM_TREND_CLOSED", TNumberKind::Command},
    {WM_LOAD_AUDIOGRAM, "WM_LOAD_AUDIOGRAM", TNumberKind::Message},
    {WM_DO_START, "WM_DO_START", TNumberKind::Message},
    {CM_MEASURE_MENU, "CM_MEASURE_MENU", TNumberKind::Command},
    {CM_MEASURE_MENU_CLOSE, "CM_MEASURE_MENU_CLOSE", TNumberKind::Command},
    {CM_AUDIO_DEMO_RESPONSE, "CM_AUDIO_DEMO_RESPONSE", TNumberKind::Command},
    {CM_ESC_BUTTON, "CM_ESC_BUTTON", TNumberKind::Command},
    {WM_RHINO_DATA_READY, "WM_RHINO_DATA_READY", TNumberKind::Message},
    {CM_RHINO_PROVOCATION, "CM_RHINO_PROVOCATION", TNumberKind::Command},
    {CM_MICROPHONE, "CM_MICROPHONE", TNumberKind::CommandAndMessage},
    {CM_ALGORITHM1, "CM_ALGORITHM1", TNumberKind::CommandAndMessage},
    {CM_ALGORITHM2, "CM_ALGORITHM2", TNumberKind::CommandAndMessage},
    {CM_ALGORITHM3, "CM_ALGORITHM3", TNumberKind::CommandAndMessage},
    {CM_ALGORITHM4, "CM_ALGORITHM4", TNumberKind::Command},
    {CM_SIGNAL_MODE1, "CM_SIGNAL_MODE1", TNumberKind::CommandAndMessage},
    {CM_SIGNAL_MODE2, "CM_SIGNAL_MODE2", TNumberKind::CommandAndMessage},
    {CM_SIGNAL_MODE3, "CM_SIGNAL_MODE3", TNumberKind::CommandAndMessage},
    {WM_MICROPHONE_CHANGED, "WM_MICROPHONE_CHANGED", TNumberKind::Message},
    {WM_ALGORITHM_CHANGED, "WM_ALGORITHM_CHANGED", TNumberKind::Message},
    {WM_SIGNAL_MODE_CHANGED, "WM_SIGNAL_MODE_CHANGED", TNumberKind::Message},
    {CM_SAVE_AUDIOGRAM, "CM_SAVE_AUDIOGRAM", TNumberKind::Command},
    {CM_AUDIO_LEVEL_UP, "CM_AUDIO_LEVEL_UP", TNumberKind::Command},
    {CM_AUDIO_LEVEL_DOWN, "CM_AUDIO_LEVEL_DOWN", TNumberKind::Command},
    {WM_GET_STORED_TRIAL, "WM_GET_STORED_TRIAL", TNumberKind::Message},
    {WM_CLOSE_ALL_TEMP_FILES, "WM_CLOSE_ALL_TEMP_FILES", TNumberKind::Message},
    {WM_METRONOME, "WM_METRONOME", TNumberKind::Message},
    {WM_PLETHY_DATA_READY, "WM_PLETHY_DATA_READY", TNumberKind::Message},
    {CM_RESISTANCE_LOOP1, "CM_RESISTANCE_LOOP1", TNumberKind::Command},
    {CM_RESISTANCE_LOOP2, "CM_RESISTANCE_LOOP2", TNumberKind::Command},
    {CM_RESISTANCE_LOOP3, "CM_RESISTANCE_LOOP3", TNumberKind::Command},
    {WM_CHANGE_COMMAND_BUTTON, "WM_CHANGE_COMMAND_BUTTON", TNumberKind::Message},
    {CM_SKIP_NEXT_POINT, "CM_SKIP_NEXT_POINT", TNumberKind::Command},
    {WM_PREDICTED_CHANGED, "WM_PREDICTED_CHANGED", TNumberKind::Message},
    {CM_AUDIO_NEXT_FREQUENCY, "CM_AUDIO_NEXT_FREQUENCY", TNumberKind::Command},
    {CM_AUDIO_PREVIOUS_FREQUENCY, "CM_AUDIO_PREVIOUS_FREQUENCY", TNumberKind::Command},
    {CM_AUDIO_PRESENT_AGAIN, "CM_AUDIO_PRESENT_AGAIN", TNumberKind::Command},
    {CM_AUDIO_RIGHT_EAR, "CM_AUDIO_RIGHT_EAR", TNumberKind::Command},
    {CM_AUDIO_LEFT_EAR, "CM_AUDIO_LEFT_EAR", TNumberKind::Command},
    {CM_USB_DESCRIPTION, "CM_USB_DESCRIPTION", TNumberKind::Command},
    {CM_NEW_DATABASE, "CM_NEW_DATABASE", TNumberKind::Command},
    {CM_AUDIO_CALIBRATION, "CM_AUDIO_CALIBRATION", TNumberKind::Command},
    {CM_MERGE_DATABASES, "CM_MERGE_DATABASES", TNumberKind::Command},
    {CM_DIFFUSION_SETUP, "CM_DIFFUSION_SETUP", TNumberKind::Command},
    {CM_PLETHYSMOGRAPH_SETUP, "CM_PLETHYSMOGRAPH_SETUP", TNumberKind::Command},
    {CM_GAS, "CM_GAS", TNumberKind::Command},
    {CM_OPEN_PATIENT, "CM_OPEN_PATIENT", TNumberKind::Command},
    {CM_INSTITUTE, "CM_INSTITUTE", TNumberKind::Command},
    {CM_HARDWARE_SETUP, "CM_HARDWARE_SETUP", TNumberKind::Command},
    {CM_PATIENT_NEW, "CM_PATIENT_NEW", TNumberKind::Command},
    {CM_PATIENT_SEARCH, "CM_PATIENT_SEARCH", TNumberKind::Command},
    {CM_PATIENT_LIST, "CM_PATIENT_LIST", TNumberKind::Command},
    {CM_PATIENT_SAVE, "CM_PATIENT_SAVE", TNumberKind::Command},
    {CM_PATIENT_FIRST, "CM_PATIENT_FIRST", TNumberKind::Command},
    {CM_PATIENT_PREV, "CM_PATIENT_PREV", TNumberKind::Command},
    {CM_PATIENT_NEXT, "CM_PATIENT_NEXT", TNumberKind::Command},
    {CM_PATIENT_LAST, "CM_PATIENT_LAST", TNumberKind::Command},
    {CM_START_UP_SETTINGS, "CM_START_UP_SETTINGS", TNumberKind::Command},
    {CM_BROWSE_MEASUREMENTS, "CM_BROWSE_MEASUREMENTS", TNumberKind::Command},
    {CM_DATABASE_LOCATION, "CM_DATABASE_LOCATION", TNumberKind::Command},
    {CM_TREND, "CM_TREND", TNumberKind::Command},
    {CM_PATIENT_NOTE, "CM_PATIENT_NOTE", TNumberKind::Command},
    {CM_PATIENT_CANCEL, "CM_PATIENT_CANCEL", TNumberKind::Command},
    {CM_DOCTORS, "CM_DOCTORS", TNumberKind::Command},
    {CM_AUDIOMETER, "CM_AUDIOMETER", TNumberKind::Command},
    {CM_DATE_TIME, "CM_DATE_TIME", TNumberKind::Command},
    {CM_NEW_REF, "CM_NEW_REF", TNumberKind::Command},
    {CM_NORMREL, "CM_NORMREL", TNumberKind::CommandAndMessage},
    {CM_LEFT_PRE, "CM_LEFT_PRE", TNumberKind::Command},
    {CM_LEFT_NEXT, "CM_LEFT_NEXT", TNumberKind::Command},
    {CM_RIGHT_PRE, "CM_RIGHT_PRE", TNumberKind::Command},
    {CM_RIGHT_NEXT, "CM_RIGHT_NEXT", TNumberKind::Command},
    {CM_PROVOCATION, "CM_PROVOCATION", TNumberKind::Command},
    {CM_PROVOCATION_STEP, "CM_PROVOCATION_STEP", TNumberKind::Command},
    {CM_AUDIO_SETUP, "CM_AUDIO_SETUP", TNumberKind::Command},
    {CM_ECG, "CM_ECG", TNumberKind::Command},
    {CM_DDE, "CM_DDE", TNumberKind::Command},
    {CM_MEASURE_RHINO, "CM_MEASURE_RHINO", TNumberKind::Command},
    {WM_ASK_HELP_CONTEXT, "WM_ASK_HELP_CONTEXT", TNumberKind::Message},
    {WM_SHOW_HELP, "WM_SHOW_HELP", TNumberKind::Message},
    {WM_GET_HELP_MODE, "WM_GET_HELP_MODE", TNumberKind::Message},
    {CM_ABOUT, "CM_ABOUT", TNumberKind::Command},
    {CM_HELP_MODE, "CM_HELP_MODE", TNumberKind::Command},
    {CM_HELP_INDEX, "CM_HELP_INDEX", TNumberKind::Command},
    {CM_HELP_ON_HELP, "CM_HELP_ON_HELP", TNumberKind::Command},
    {CM_MEASURE_FVC, "CM_MEASURE_FVC", TNumberKind::Command},
    {CM_MEASURE_VC, "CM_MEASURE_VC", TNumberKind::Command},
    {CM_MEASURE_MVV, "CM_MEASURE_MVV", TNumberKind::Command},
    {CM_MEASURE_DFC, "CM_MEASURE_DFC", TNumberKind::Command},
    {CM_MEASURE_PLETHY, "CM_MEASURE_PLETHY", TNumberKind::Command},
    {CM_MEASURE_SHUTTER, "CM_MEASURE_SHUTTER", TNumberKind::Command},
    {CM_SHUTTER, "CM_SHUTTER", TNumberKind::Command},
    {CM_AUTOMATIC_SETUP, "CM_AUTOMATIC_SETUP", TNumberKind::Command},
    {CM_PREDICTED, "CM_PREDICTED", TNumberKind::CommandAndMessage},
    {CM_PROVOCATION_MEASURE, "CM_PROVOCATION_MEASURE", TNumberKind::Command},
    {CM_CANCEL_PROV, "CM_CANCEL_PROV", TNumberKind::Command},
    {CM_BREATHING_RATE_HIGH, "CM_BREATHING_RATE_HIGH", TNumberKind::Command},
    {CM_BREATHING_RATE, "CM_BREATHING_RATE", TNumberKind::Command},
    {CM_MICROPHONE_VOLUME, "CM_MICROPHONE_VOLUME", TNumberKind::Command},
    {CM_EXIT, "CM_EXIT", TNumberKind::Command},
    {CM_EDITUNDO, "CM_EDITUNDO", TNumberKind::Command},
    {CM_EDITCUT, "CM_EDITCUT", TNumberKind::Command},
    {CM_EDITCOPY, "CM_EDITCOPY", TNumberKind::Command},
    {CM_EDITPASTE, "CM_EDITPASTE", TNumberKind::Command},
    {CM_EDITDELETE, "CM_EDITDELETE", TNumberKind::Command},
    {CM_EDITCLEAR, "CM_EDITCLEAR", TNumberKind::Command},
    {CM_FILESAVEAS, "CM_FILESAVEAS", TNumberKind::Command},
    {CM_FILEPRINT, "CM_FILEPRINT", TNumberKind::Command},
    {CM_FILEPRINTERSETUP, "CM_FILEPRINTERSETUP", TNumberKind::Command},
    {CM_FILEPRINTPREVIEW, "CM_FILEPRINTPREVIEW", TNumberKind::Command},
}};
