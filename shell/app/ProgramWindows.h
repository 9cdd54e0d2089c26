#pragma once

// The component windows the program opens: the factories of the windows
// the libraries build. A kind whose window is not built yet has none.

#include "shell/client/ComponentFactories.h"

TComponentFactories ProgramWindows();
