#include "cli/Follow.h"

#include <csignal>

namespace truno {
namespace {

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int /*signal*/) { stopRequested.store(true); }

}  // namespace

const std::atomic<bool>* followStopFlag() { return &stopRequested; }

void stopFollowingOnInterrupt() {
    struct sigaction action{};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait ends at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace truno
