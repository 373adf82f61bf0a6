// Following a growing log is not built for Windows: the run refuses a followed input with a
// message (run/FollowUnsupported.cpp), and there is no signal to stop it.
#include "cli/Follow.h"

namespace truno {
namespace {

std::atomic<bool> stopRequested{false};

}  // namespace

const std::atomic<bool>* followStopFlag() { return &stopRequested; }

void stopFollowingOnInterrupt() {}

}  // namespace truno
