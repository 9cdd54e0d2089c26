#pragma once

// What every sample handler of the window checks first.

class TMeasureCore;

// True when the sample is not for a run: none is running, or a stop was
// asked for, which a running trial or calibration makes now.
bool SampleEndsRun(TMeasureCore& core);
