#pragma once
// Following a log that is still being written (-f, -F): the stream over it, and Ctrl+C (or
// SIGTERM) ending the run cleanly. Linux (inotify); the Windows build refuses the options.
#include <atomic>
#include <chrono>
#include <functional>
#include <istream>
#include <memory>
#include <string>

namespace truno {

struct FollowRequest {
    bool byName = false;
    std::chrono::milliseconds settle{1000};
    std::function<void()> idle;  // called before each wait: what was decoded goes out
};

// The stream over the followed file, or nullptr with `error` set (the file cannot be opened when
// following the descriptor; the system cannot follow).
std::unique_ptr<std::istream> openFollowed(const std::string& file, const FollowRequest& request, std::string& error);

// From now on, an interrupt or termination signal ends the followed stream (the run then ends as
// at the end of a file, with its summary) instead of the program.
void stopFollowingOnInterrupt();

}  // namespace truno
