#include "cli/Follow.h"

#include "run/FollowInput.h"

#include <csignal>
#include <cstring>
#include <utility>

namespace truno {
namespace {

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int /*signal*/) { stopRequested.store(true); }

}  // namespace

std::unique_ptr<std::istream> openFollowed(const std::string& file, const FollowRequest& request, std::string& error) {
    FollowOptions options;
    options.byName = request.byName;
    options.settle = request.settle;
    options.stop = &stopRequested;
    options.idle = request.idle;
    auto input = std::make_unique<FollowInput>(file, std::move(options));
    if (!input->opened()) {
        error = "cannot open '" + file + "': " + std::strerror(errno);
        return nullptr;
    }
    return input;
}

void stopFollowingOnInterrupt() {
    struct sigaction action{};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait ends at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace truno
