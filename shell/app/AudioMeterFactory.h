#pragma once

// The program's audiometer window, as the client's factory makes it, and
// the audiometer's pages of the "Audio" configuration sheet.

#include "shell/client/ComponentFactories.h"
#include "shell/app/SheetPages.h"

TMadeWindow<TAudioMeterWindow> MakeAudioMeterWindow(const TWindowArgs& args, QWidget* parent);

// The configuration and service pages on `sheet`.
TSheetPages AudioSheetPageFactory(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet& sheet);
