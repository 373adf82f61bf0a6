#include "window/log/DecodeJob.h"

#include "run/InputRun.h"

#include <QFile>
#include <QFileInfo>

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

// A file the run reads, as the run's input. A regular file is decoded with the run's threads
// for files; a pipe or a device with one.
class DecodeJob::FileSource final : public InputSource {
public:
    FileSource(const OpenFile& file, const std::atomic<bool>& cancel, std::atomic<std::uint64_t>& bytesRead)
        : input_(file.fd, cancel, bytesRead), stream_(&input_), regular_(file.regular) {}
    std::istream& bytes() override { return stream_; }
    std::string error() const override { return input_.error() != 0 ? std::strerror(input_.error()) : std::string(); }
    bool regularFile() const override { return regular_; }

private:
    FileInput input_;
    std::istream stream_;
    bool regular_;
};

namespace {

// The size of the blocks the report is handed over in: the report view keeps blocks this large
// as they are, so the run's thread writes each byte of the report once and no one copies it.
constexpr std::size_t kBlockBytes = std::size_t{4} << 20;
constexpr std::chrono::milliseconds kHandOverEvery{40};

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Opens a log for reading: its descriptor, and its size (-1 when not a file), or -1 with the
// reason in `error`.
int openLog(const QString& path, std::int64_t& size, QString& error) {
    const QByteArray name = QFile::encodeName(path);
    // Not blocking on open: a pipe without a writer would hold the window up.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = reason(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        error = reason(S_ISDIR(info.st_mode) ? EISDIR : errno);
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    size = S_ISREG(info.st_mode) ? static_cast<std::int64_t>(info.st_size) : -1;
    return fd;
}

// A log as the run names it. Its switch is the command-line tool's (its file name without
// folder, rotation number and .log), so that the calls the window exports are the tool's; of
// several files, what is said of one names it by its file name.
InputFile inputOf(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    return {.path = name, .shown = QFileInfo(path).fileName().toStdString(), .switchName = switchOfFile(name)};
}

}  // namespace

std::unique_ptr<DecodeJob> DecodeJob::open(const QString& path, QString& error) {
    auto job = std::unique_ptr<DecodeJob>(new DecodeJob(0));
    if (!job->addFile(path, error)) return nullptr;
    return job;
}

bool DecodeJob::addFile(const QString& path, QString& error) {
    std::int64_t size = -1;
    const int fd = openLog(path, size, error);
    if (fd < 0) return false;
    files_.push_back({.fd = fd, .regular = size >= 0});
    inputs_.push_back(inputOf(path));
    fileSize_ = size < 0 || fileSize_ < 0 ? -1 : fileSize_ + size;
    return true;
}

std::unique_ptr<DecodeJob> DecodeJob::follow(const QString& path) {
    auto job = std::unique_ptr<DecodeJob>(new DecodeJob(-1));
    job->following_ = true;
    job->inputs_.push_back(inputOf(path));
    return job;
}

DecodeJob::DecodeJob(std::int64_t size) : fileSize_(size) {}

DecodeJob::~DecodeJob() {
    cancel();
    wait();
    for (const OpenFile& file : files_) ::close(file.fd);
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
    health_ = std::make_unique<TrunkHealth>(healthOptions_);
    recorder_.followHealth(health_.get());
    InputRunOptions options;
    options.run.cancel = &cancel_;
    options.run.cicOctets = cicOctets_;
    // A regular file is decoded with the machine's cores, as the command-line tool decodes it; the
    // records come out in log order, the same as from one thread.
    options.fileJobs = jobs_ == 0 ? defaultJobs() : jobs_;
    // Of several files, each warning names its file.
    options.nameInputs = inputs_.size() > 1;
    if (following_) {
        // By name, across rotations, until the run is told to stop following.
        options.follow = FollowSettings{.byName = true, .stop = &stop_};
    } else {
        options.open = [this](std::size_t index, const InputFile& /*file*/, std::string& /*error*/) {
            return std::make_unique<FileSource>(files_[index], cancel_, bytesRead_);
        };
    }
    summary_ = runInputs(inputs_, options, *this);
    // A cancelled run is thrown away: its open calls need not finish.
    if (!summary_.cancelled) {
        recorder_.finish();
        health_->finish(summary_.warnings);
    } else {
        recorder_.followHealth(nullptr);
        health_.reset();
    }
    // Of several files, why one of them yielded no message is said with the warnings, or as the
    // reason the run found nothing.
    whyNothingAmongWarnings(summary_);
    handOver(true);
    if (onEnd_) onEnd_();
}

void DecodeJob::beginFile(const InputFile& file) {
    {
        const std::lock_guard lock(blocksMutex_);
        fileFirstRecords_.push_back(recordsBefore_ + 1);
    }
    recorder_.beginSwitch(file.switchName);
}

void DecodeJob::beginInput(const InputFile& file, RunOptions& options) {
    beginFile(file);
    // The store keeps where each record stands in the whole report, past the files before.
    const std::uint64_t reportBefore = reportBytes_;
    if (reportBefore == 0) {
        options.records = [this](const RecordFacts& record) { recorder_.add(record); };
    } else {
        options.records = [this, reportBefore](const RecordFacts& record) {
            RecordFacts placed = record;
            placed.reportOffset += reportBefore;
            recorder_.add(placed);
        };
    }
}

void DecodeJob::endInput(const InputFile& file, const InputResult& result) {
    // A file refused for its compression yields no message: the summary says why.
    if (!result.read) beginFile(file);
    recordsBefore_ += result.summary.found;
    // A file that could not be opened is a read error; a refused one yielded nothing, as its
    // summary says.
    const QString error = QString::fromStdString(result.read || result.refused ? result.readError : result.error);
    if (error.isEmpty() || !readError_.isEmpty()) return;
    readError_ = inputs_.size() > 1 ? QString::fromStdString(file.shown) + QStringLiteral(": ") + error : error;
}

void DecodeJob::addText(std::string_view piece) {
    reportBytes_ += piece.size();
    if (block_.empty() && lastBlockFull_) block_.reserve(kBlockBytes + kBlockBytes / 16);
    block_.append(piece);
    if (block_.size() >= kBlockBytes || std::chrono::steady_clock::now() - lastHandOver_ >= kHandOverEvery)
        handOver();
}

void DecodeJob::handOver(bool last) {
    lastHandOver_ = std::chrono::steady_clock::now();
    if (following_ && !last) keepSoFarIfDue();
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

void DecodeJob::keepSoFarIfDue() {
    // A followed log's statistics and health as they stand, once a while as messages come (and
    // once more when they pause): a copy of what the analysis keeps (counts, circuits, findings),
    // not a second analysis.
    const std::uint64_t messages = recorder_.statistics().messages();
    if (messages == messagesSoFar_ || lastHandOver_ - lastSoFar_ < kLiveEvery) return;
    lastSoFar_ = lastHandOver_;
    messagesSoFar_ = messages;
    auto soFar = std::make_unique<SoFar>(recorder_.soFar());
    const std::lock_guard lock(blocksMutex_);
    soFar_ = std::move(soFar);
}

std::unique_ptr<DecodeJob::SoFar> DecodeJob::takeSoFar() {
    const std::lock_guard lock(blocksMutex_);
    return std::move(soFar_);
}

std::vector<std::uint64_t> DecodeJob::fileFirstRecords() const {
    const std::lock_guard lock(blocksMutex_);
    return fileFirstRecords_;
}

}  // namespace truno::window
