#include "window/log/DecodeJob.h"

#include "analysis/ExportDirectory.h"
#include "run/FollowInput.h"
#include "run/LogInput.h"

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

// Reads a file descriptor for the log reader, counting the bytes for the progress bar. Waiting
// for input (a pipe) is done in short slices, so that a cancelled run does not hang on a read.
class DecodeJob::FileInput : public std::streambuf {
public:
    FileInput(int fd, const std::atomic<bool>& cancel, std::atomic<std::uint64_t>& bytesRead)
        : fd_(fd), cancel_(cancel), bytesRead_(bytesRead), buffer_(std::size_t{256} * 1024) {}

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

namespace {

// The size of the blocks the report is handed over in: the report view keeps blocks this large
// as they are, so the run's thread writes each byte of the report once and no one copies it.
constexpr std::size_t kBlockBytes = std::size_t{4} << 20;
constexpr std::chrono::milliseconds kHandOverEvery{40};

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
    auto job = std::unique_ptr<DecodeJob>(new DecodeJob(fd, size));
    job->file_ = std::make_unique<FileInput>(fd, job->cancel_, job->bytesRead_);
    // The log as the run reads it: the file's bytes as they are.
    job->input_ = job->file_.get();
    job->nameSwitch(path);
    return job;
}

std::unique_ptr<DecodeJob> DecodeJob::follow(const QString& path, QString& error) {
    auto job = std::unique_ptr<DecodeJob>(new DecodeJob(-1, -1));
    FollowOptions options;
    options.byName = true;
    options.stop = &job->stop_;
    // What was decoded before the log went quiet is handed over at once.
    options.idle = [raw = job.get()] {
        if (raw->flushRecords_) raw->flushRecords_();
        raw->handOver();
    };
    auto input = std::make_unique<FollowInput>(QFile::encodeName(path).toStdString(), std::move(options));
    if (!input->opened()) {
        error = reason(errno);
        return nullptr;
    }
    job->follow_ = std::move(input);
    job->nameSwitch(path);
    return job;
}

DecodeJob::DecodeJob(int fd, std::int64_t size) : fd_(fd), fileSize_(size) {}

// The log's switch, as the command-line tool names it: its file name without folder, rotation
// number and .log, so that the calls the window exports are the tool's.
void DecodeJob::nameSwitch(const QString& path) {
    recorder_.beginSwitch(switchOfFile(QFile::encodeName(path).toStdString()));
}

DecodeJob::~DecodeJob() {
    cancel();
    wait();
    file_.reset();
    follow_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void DecodeJob::start(std::function<void()> onEnd) {
    onEnd_ = std::move(onEnd);
    thread_ = std::thread([this] { run(); });
}

void DecodeJob::cancel() {
    cancel_.store(true, std::memory_order_relaxed);
    stop_.store(true, std::memory_order_relaxed);  // a followed log stops waiting for more
}

void DecodeJob::wait() {
    if (thread_.joinable()) thread_.join();
}

void DecodeJob::run() {
    lastHandOver_ = std::chrono::steady_clock::now();
    if (follow_) {
        decode(*follow_);
    } else {
        std::istream raw(input_);
        // Gzip logs are read decompressed; the compressions that are not read say so as the
        // reason the log yielded nothing.
        LogInput in(raw);
        if (in.refused()) {
            const CompressionFormat& format = formatOf(in.compression());
            summary_ = RunSummary{};
            summary_.whyNothing = std::string(format.name) + "-compressed input is not read; decompress it first (" +
                                  std::string(format.decompressCommand) + " FILE > FILE.log)";
        } else {
            decode(in);
        }
        readErrno_ = file_->error();
        dataError_ = in.dataError();
    }
    handOver(true);
    if (onEnd_) onEnd_();
}

void DecodeJob::decode(std::istream& in) {
    RunOptions options;
    options.cancel = &cancel_;
    options.cicOctets = cicOctets_;
    options.records = [this](const RecordFacts& record) { recorder_.add(record); };
    if (follow_) options.flushRecords = &flushRecords_;
    health_ = std::make_unique<TrunkHealth>(healthOptions_);
    recorder_.followHealth(health_.get());
    summary_ = decodeLog(in, [this](std::string_view piece) { addText(piece); }, options);
    // A cancelled run is thrown away: its open calls need not finish.
    if (!summary_.cancelled) {
        recorder_.finish();
        health_->finish(summary_.warnings);
    } else {
        recorder_.followHealth(nullptr);
        health_.reset();
    }
}

void DecodeJob::addText(std::string_view piece) {
    if (block_.empty() && lastBlockFull_) block_.reserve(kBlockBytes + kBlockBytes / 16);
    block_.append(piece);
    if (block_.size() >= kBlockBytes || std::chrono::steady_clock::now() - lastHandOver_ >= kHandOverEvery)
        handOver();
}

void DecodeJob::handOver(bool last) {
    lastHandOver_ = std::chrono::steady_clock::now();
    if (block_.empty() && !last) return;
    lastBlockFull_ = block_.size() >= kBlockBytes;
    MessageBatch batch = recorder_.take();
    {
        const std::lock_guard lock(blocksMutex_);
        if (!block_.empty()) blocks_.push_back(std::move(block_));
        if (!batch.empty()) batches_.push_back(std::move(batch));
    }
    block_ = std::string();
}

void DecodeJob::takeBlocks(std::vector<std::string>& blocks) {
    const std::lock_guard lock(blocksMutex_);
    for (std::string& block : blocks_) blocks.push_back(std::move(block));
    blocks_.clear();
    batches_.clear();
}

void DecodeJob::takeBlocks(std::vector<std::string>& blocks, std::vector<MessageBatch>& batches) {
    const std::lock_guard lock(blocksMutex_);
    for (std::string& block : blocks_) blocks.push_back(std::move(block));
    blocks_.clear();
    for (MessageBatch& batch : batches_) batches.push_back(std::move(batch));
    batches_.clear();
}

QString DecodeJob::readError() const {
    if (readErrno_ != 0) return reason(readErrno_);
    return QString::fromStdString(dataError_);
}

}  // namespace truno::window
