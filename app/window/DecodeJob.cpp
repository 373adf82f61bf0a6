#include "app/window/DecodeJob.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <istream>
#include <streambuf>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace truno::window {

namespace {

// Reads a file descriptor for the log reader, counting the bytes for the progress bar. Waiting
// for input (a pipe) is done in short slices, so that a cancelled run does not hang on a read.
class FileInput : public std::streambuf {
public:
    FileInput(int fd, const std::atomic<bool>& cancel, std::atomic<std::uint64_t>& bytesRead)
        : fd_(fd), cancel_(cancel), bytesRead_(bytesRead), buffer_(256 * 1024) {}

    // errno of the read that failed; 0 when none did.
    int error() const { return error_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        for (;;) {
            if (cancel_.load(std::memory_order_relaxed)) return traits_type::eof();
            pollfd ready{fd_, POLLIN, 0};
            const int polled = ::poll(&ready, 1, 100);
            if (polled < 0 && errno != EINTR) return fail(errno);
            if (polled <= 0) continue;
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                return fail(errno);
            }
            if (got == 0) return traits_type::eof();
            bytesRead_.fetch_add(static_cast<std::uint64_t>(got), std::memory_order_relaxed);
            setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
            return traits_type::to_int_type(*gptr());
        }
    }

private:
    int_type fail(int error) {
        error_ = error;
        return traits_type::eof();
    }

    int fd_;
    const std::atomic<bool>& cancel_;
    std::atomic<std::uint64_t>& bytesRead_;
    std::vector<char> buffer_;
    int error_ = 0;
};

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

std::unique_ptr<DecodeJob> DecodeJob::open(const QString& path, QString& error) {
    const QByteArray name = QFile::encodeName(path);
    // Not blocking on open: a pipe without a writer would hold the window up.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = reason(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        error = reason(S_ISDIR(info.st_mode) ? EISDIR : errno);
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    const std::int64_t size = S_ISREG(info.st_mode) ? static_cast<std::int64_t>(info.st_size) : -1;
    return std::unique_ptr<DecodeJob>(new DecodeJob(fd, size));
}

DecodeJob::DecodeJob(int fd, std::int64_t size) : fd_(fd), fileSize_(size) {}

DecodeJob::~DecodeJob() {
    cancel();
    wait();
    ::close(fd_);
}

void DecodeJob::start(std::function<void()> onEnd) {
    onEnd_ = std::move(onEnd);
    thread_ = std::thread([this] { run(); });
}

void DecodeJob::cancel() { cancel_.store(true, std::memory_order_relaxed); }

void DecodeJob::wait() {
    if (thread_.joinable()) thread_.join();
}

void DecodeJob::run() {
    FileInput input(fd_, cancel_, bytesRead_);
    std::istream in(&input);
    summary_ = decodeLog(
        in,
        [this](std::string_view piece) {
            const std::lock_guard lock(textMutex_);
            text_.append(piece);
        },
        &cancel_);
    readErrno_ = input.error();
    if (onEnd_) onEnd_();
}

void DecodeJob::takeText(std::string& text) {
    text.clear();
    const std::lock_guard lock(textMutex_);
    text.swap(text_);
}

QString DecodeJob::readError() const { return readErrno_ != 0 ? reason(readErrno_) : QString(); }

}  // namespace truno::window
