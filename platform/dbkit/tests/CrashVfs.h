#pragma once

// A SQLite file layer over the usual one that kills its own process at the
// n-th write, sync, truncate or delete of any file (in the middle of a
// write: half of it reaches the file). Installed in a child process, it
// shows what a crash at each step of a commit leaves on the disk.

namespace CrashVfs {

// Becomes SQLite's default file layer in this process.
void Install();
// Counts from now on; the n-th event (1-based) kills the process. 0 stops counting.
void KillAtEvent(int n);
// The events counted since KillAtEvent.
int EventsSeen();

}  // namespace CrashVfs
