#pragma once
// Following a log that is still being written (-f, -F): Ctrl+C (or SIGTERM) ends the run
// cleanly. The followed stream is the run's (run/InputList.h); POSIX signals here, nothing on
// Windows, whose build refuses a followed input.
#include <atomic>

namespace truno {

// The flag that ends a followed stream once stopFollowingOnInterrupt() was called.
const std::atomic<bool>* followStopFlag();

// From now on, an interrupt or termination signal ends the followed stream (the run then ends as
// at the end of a file, with its summary) instead of the program.
void stopFollowingOnInterrupt();

}  // namespace truno
