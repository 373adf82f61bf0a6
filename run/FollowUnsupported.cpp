// Following a growing log is not built for Windows: a followed input is refused with a message.
#include "run/InputList.h"

namespace truno {

std::unique_ptr<InputSource> openFollowed(const InputFile& /*file*/, const FollowSettings& /*settings*/,
                                          const std::function<void()>& /*idle*/,
                                          const std::function<bool()>& /*incomplete*/, std::string& error) {
    error = "-f/--follow is not available on Windows (run the tool on the log when it is complete)";
    return nullptr;
}

}  // namespace truno
