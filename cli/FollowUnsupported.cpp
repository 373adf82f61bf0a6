// Following a growing log is not built for Windows: the options are refused with a message.
#include "cli/Follow.h"

namespace truno {

std::unique_ptr<std::istream> openFollowed(const std::string& /*file*/, const FollowRequest& /*request*/, std::string& error) {
    error = "-f/--follow is not available on Windows (run the tool on the log when it is complete)";
    return nullptr;
}

void stopFollowingOnInterrupt() {}

}  // namespace truno
