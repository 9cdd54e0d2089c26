#include "shell/app/AudioMeterFactory.h"
#include "shell/settings/CommandLine.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/ProgramWindows.h"

#include <QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Without a display Qt would stop with a message about platform plugins;
// say plainly what is missing instead.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return (platform && *platform) || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Every open table is a file (with its lock file and journal): the process
// must be allowed at least `wanted` open files.
void RaiseFileHandleLimit(rlim_t wanted) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= wanted)
    return;
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
  setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs("Halvetra needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty).\n"
               "Start it from a desktop session, or over ssh with X forwarding (ssh -X).\n",
               stderr);
    return 1;
  }
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  RaiseFileHandleLimit(200);
  QApplication qt(argc, argv);
  QApplication::setApplicationName(THalvetraApp::Name);

  TAppOptions options;
  options.CommandLine = TCommandLine::Join(argc, argv);
  options.Windows = ProgramWindows();
  options.Dialogs.AudioSheetPages = AudioSheetPageFactory;
  THalvetraApp app(std::move(options));
  return app.Run();
}
