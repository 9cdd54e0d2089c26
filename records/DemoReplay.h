#pragma once

// Data for the measurement window without an instrument: a recorded
// demonstration file of the test kind, or for FVC, VC, MVV and PLETHY a
// measure log that an earlier real measurement wrote, put into one trial
// slot. Logs and the plethysmograph files hold raw instrument values that
// are converted with the calibration constants they carry; demonstration
// data are varied at random by the window so that trials differ.
//
// A file is checked whole (its counts against its length and the window's
// buffers, its constants) before anything of it reaches the window.

#include "records/MeasureAccess.h"

#include <filesystem>
#include <string>
#include <string_view>

class TMessage;

struct TReplaySettings {
  int ReadEnable = 0;        // [Creating Measure Log] ReadEnable
  std::string ReadFileName;  // [Creating Measure Log] ReadFileName; empty: the kind's default
};

namespace DemoReplay {

// "FvcDemo.bin" ... "RinoDemo.bin"; empty for another kind.
std::string_view DemoFileName(short kind);
// Where the demonstration files are: beside the program, where the build
// makes them and the replay reads them.
std::filesystem::path DemoFolder();
// "BadFvc.001" ... for the kinds that keep measure logs, else empty.
std::string_view DefaultLogName(short kind);

// WM_LOAD_DEMO_DATA: the file of the kind into the slot: the measure log
// (a relative name from `logFolder`, in the system's form or this one's) or
// the demonstration file in `demoFolder`. DemoDataAnswer::Replayed when it
// was replayed; Missing, with nothing said and the slot untouched, when the
// kind has no file; Damaged, after one message naming the file, when it is
// damaged or not a file that can be read whole (a folder, a device); a
// demonstration file whose samples fall short of its count leaves the slot
// untouched.
int LoadDemoData(TMeasureAccess& window, short kind, short slot, const TReplaySettings& settings,
                 const std::filesystem::path& demoFolder, TMessage* texts,
                 const std::filesystem::path& logFolder = {});

// The replay of a file's bytes; false with `error` when they are not a
// whole file of the kind.
bool ReplayMeasureData(TMeasureAccess& window, short kind, std::string_view bytes, short slot, bool isLog,
                       std::string& error);

}  // namespace DemoReplay
