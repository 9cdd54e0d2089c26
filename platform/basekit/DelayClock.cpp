#include "platform/basekit/DelayClock.h"

#include <thread>

void TSleepingDelayClock::Wait(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }
