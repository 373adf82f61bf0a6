#include "run/FollowInput.h"

#include "run/InputList.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

namespace truno {

FollowBuffer::FollowBuffer(std::string path, FollowOptions options)
    : path_(std::move(path)), options_(std::move(options)), lastData_(std::chrono::steady_clock::now()) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status{};
    if (fd_ >= 0 && ::fstat(fd_, &status) == 0) {
        inode_ = status.st_ino;
        device_ = status.st_dev;
    }
    watch();
}

FollowBuffer::~FollowBuffer() {
    if (fd_ >= 0) ::close(fd_);
    if (notify_ >= 0) ::close(notify_);
}

// inotify tells when the file is written, renamed or deleted, or a file is made in its folder;
// without it (no inotify, or no watch left), the file is looked at every poll interval anyway.
void FollowBuffer::watch() {
    if (notify_ < 0) notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notify_ < 0) return;
    if (fileWatch_ >= 0) ::inotify_rm_watch(notify_, fileWatch_);
    fileWatch_ = ::inotify_add_watch(notify_, path_.c_str(), IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF);
    if (folderWatch_ < 0) {
        const std::size_t slash = path_.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path_.substr(0, slash);
        folderWatch_ = ::inotify_add_watch(notify_, folder.c_str(), IN_CREATE | IN_MOVED_TO);
    }
}

// Waits until the file may have changed, or the poll interval has passed.
void FollowBuffer::wait() {
    if (notify_ < 0) {
        std::this_thread::sleep_for(options_.poll);
        return;
    }
    pollfd events{.fd = notify_, .events = POLLIN, .revents = 0};
    ::poll(&events, 1, static_cast<int>(options_.poll.count()));
    alignas(inotify_event) char drained[4096];
    while (::read(notify_, drained, sizeof drained) > 0) {
    }
}

// Whether the name stands for another file than the one open (renamed away and made anew, or
// none open yet).
bool FollowBuffer::replaced() const {
    struct stat named{};
    return ::stat(path_.c_str(), &named) == 0 && (fd_ < 0 || named.st_ino != inode_ || named.st_dev != device_);
}

// Whether the file open is shorter than what was read of it (copy-truncate).
bool FollowBuffer::truncated() const {
    struct stat status{};
    return fd_ >= 0 && ::fstat(fd_, &status) == 0 && status.st_size < offset_;
}

// Opens the file the name stands for now, from its start; false when it cannot be opened.
bool FollowBuffer::reopen() {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    if (fd_ >= 0) {
        ::close(fd_);
        ++rotations_;
    }
    fd_ = fd;
    struct stat opened{};
    if (::fstat(fd_, &opened) == 0) {
        inode_ = opened.st_ino;
        device_ = opened.st_dev;
    }
    offset_ = 0;
    watch();
    return true;
}

std::streamsize FollowBuffer::readSome(char* to, std::streamsize n) {
    using Clock = std::chrono::steady_clock;
    // A blank line of its own ends the message the log was writing, but only after a whole line.
    const auto endMessage = [&]() -> bool {
        if (options_.binary || settled_ || lastByte_ != '\n') return false;
        settled_ = true;
        to[0] = '\n';
        return true;
    };
    for (;;) {
        if (options_.stop != nullptr && options_.stop->load()) return 0;
        if (fd_ >= 0) {
            const ssize_t got = ::read(fd_, to, static_cast<std::size_t>(n));
            if (got > 0) {
                offset_ += got;
                lastByte_ = to[got - 1];
                settled_ = false;
                lastData_ = Clock::now();
                return got;
            }
            if (got < 0 && errno == EINTR) continue;
            // At the end of what the file holds: a file cut shorter is read again from its start,
            // a file replaced under the name is left for the new one, each after the message in
            // progress is ended.
            if (truncated()) {
                if (endMessage()) return 1;
                ::lseek(fd_, 0, SEEK_SET);
                offset_ = 0;
                ++truncations_;
                continue;
            }
            if (options_.byName && replaced()) {
                if (endMessage()) return 1;
                if (reopen()) continue;
            }
        } else if (options_.byName && replaced() && reopen()) {
            continue;
        }
        // A message that still lacks octets its pointers and lengths promise is not cut at the
        // settle time: its writer may only have paused inside it. It waits for them up to
        // incompleteWait, then is ended as it is (and the summary says so).
        const auto quiet = Clock::now() - lastData_;
        if (quiet >= options_.settle && !settled_ && lastByte_ == '\n') {
            const bool incomplete = options_.incomplete && options_.incomplete();
            if (!incomplete || quiet >= options_.incompleteWait) {
                if (incomplete) ++endedIncomplete_;
                if (endMessage()) return 1;
            }
        }
        // Before every wait, not only the first of a quiet spell: what the caller writes on a
        // clock (the metrics file at its interval) is brought up to date while the log is quiet.
        if (options_.idle) options_.idle();
        wait();
    }
}

FollowBuffer::int_type FollowBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::streamsize got = readSome(buffer_, static_cast<std::streamsize>(sizeof buffer_));
    if (got <= 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

// What is there now, at least one byte (waiting for it), or nothing at the end: a short count
// does not mean the end.
std::streamsize FollowBuffer::xsgetn(char* s, std::streamsize n) {
    const std::streamsize buffered = std::min<std::streamsize>(n, egptr() - gptr());
    if (buffered > 0) {
        std::memcpy(s, gptr(), static_cast<std::size_t>(buffered));
        gbump(static_cast<int>(buffered));
        return buffered;
    }
    return n > 0 ? readSome(s, n) : 0;
}

FollowInput::FollowInput(std::string path, FollowOptions options)
    : std::istream(nullptr), buffer_(std::make_unique<FollowBuffer>(std::move(path), std::move(options))) {
    rdbuf(buffer_.get());
}

namespace {

class FollowedFile final : public InputSource {
public:
    FollowedFile(std::string path, FollowOptions options) : input_(std::move(path), std::move(options)) {}
    bool opened() const { return input_.opened(); }
    std::istream& bytes() override { return input_; }
    bool followed() const override { return true; }
    std::string warning() const override {
        const unsigned ended = input_.buffer().endedIncomplete();
        if (ended == 0) return {};
        const std::string wait = std::to_string(input_.buffer().incompleteWait().count() / 1000);
        return std::to_string(ended) + (ended == 1 ? " message" : " messages") +
               " ended short of the octets " + (ended == 1 ? "its" : "their") + " pointers and lengths promise: the log was not written on within " +
               wait + " s (" + (ended == 1 ? "its record says" : "their records say") + " why " + (ended == 1 ? "it was" : "they were") + " not decoded)";
    }

private:
    FollowInput input_;
};

}  // namespace

std::unique_ptr<InputSource> openFollowed(const InputFile& file, const FollowSettings& settings,
                                          const std::function<void()>& idle, const std::function<bool()>& incomplete,
                                          std::string& error) {
    FollowOptions options;
    options.byName = settings.byName;
    options.settle = settings.settle;
    options.stop = settings.stop;
    options.idle = idle;
    options.incomplete = incomplete;
    options.incompleteWait = std::max(settings.incompleteWait, settings.settle);
    options.binary = settings.binary;
    auto input = std::make_unique<FollowedFile>(file.path, std::move(options));
    if (!input->opened()) {
        error = "cannot open '" + file.path + "': " + std::strerror(errno);
        return nullptr;
    }
    return input;
}

}  // namespace truno
