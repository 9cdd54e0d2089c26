#pragma once

// The program's audiometer window, as the client's factory makes it.

#include "shell/ComponentFactories.h"

TMadeWindow<TAudioMeterWindow> MakeAudioMeterWindow(const TWindowArgs& args, QWidget* parent);
