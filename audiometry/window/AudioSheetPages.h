#pragma once

// The two pages of the "Audio" configuration sheet, for the sheet that the
// program runs on its audio set-up command. On OK the sheet calls the
// configuration page's WriteHardwareStatus, then the program re-reads
// "Install" and re-verifies an open audiometer window's link; once the
// sheet has closed it calls the service page's HaveToKillHandler.

#include "audiometry/window/AudioConfigPage.h"
#include "audiometry/window/AudioServicePage.h"

struct TAudioSheetPages {
  TAudioConfigPage* Config = nullptr;
  TAudioServicePage* Service = nullptr;
};

// Both pages, owned by `parent`; `demo` is the program's demonstration
// configuration.
inline TAudioSheetPages MakeAudioSheetPages(short demo, TMessage* texts, const std::string& iniPath, QWidget* parent) {
  return {new TAudioConfigPage(demo, texts, iniPath, parent), new TAudioServicePage(demo, texts, iniPath, parent)};
}
