#pragma once
// One decoding run of a log file on a thread of its own, so that the window stays responsive
// however large the log. The window takes the report text as it is produced, with the facts of
// the messages whose records it holds (in batches, for the list, the calls and the statistics),
// reads the progress, and may stop the run at any time. The same run follows the trunk's health
// (KPIs, circuits, findings), handed over whole once the run is over. Several files are read
// one after the other as one log (rotated parts, as `truno-decode --merge` reads them): record
// numbers go on, and the calls, statistics and health span the files. A followed log is read
// as it grows (by name, across rotations) until the run is asked to stop following. The files
// are read by the run over several inputs (run/InputRun.h), as the command-line tool reads them,
// a regular file with the machine's cores (setJobs), its records handed over in log order.
#include "analysis/store/MessageStore.h"
#include "analysis/health/TrunkHealth.h"
#include "run/InputRun.h"

#include <QString>

#include <atomic>
#include <streambuf>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace truno::window {

class DecodeJob : private InputListener {
public:
    // Opens the log at `path` and the stream the run will read it through; null when it cannot
    // be opened (a missing file, no permission, a directory), with the reason in `error`. This is
    // the one place where the window opens a log.
    static std::unique_ptr<DecodeJob> open(const QString& path, QString& error);
    // Opens the log at `path` to be read after those opened before, in the same run; false, with
    // the reason in `error`, when it cannot be opened. Before start(); not for a followed log.
    bool addFile(const QString& path, QString& error);
    // Follows the log at `path` as it grows: the run waits at its end for more and hands over
    // what it decoded before each wait, until stopFollowing(). The file need not be there yet.
    static std::unique_ptr<DecodeJob> follow(const QString& path);

    DecodeJob(const DecodeJob&) = delete;
    DecodeJob& operator=(const DecodeJob&) = delete;
    // Stops the run and waits for its thread.
    ~DecodeJob() override;

    // Octets before the message type code: 4 (BICC, the default) or 2 (ISUP); before start().
    void setCicOctets(std::size_t octets) { cicOctets_ = octets; }
    // The threads that decode a regular file (not followed): 0, the machine's cores as the
    // command-line tool's default (defaultJobs); 1, one thread. Before start().
    void setJobs(unsigned jobs) { jobs_ = jobs; }
    // What the trunk's health keeps (ladders, interval groupings); before start().
    void setHealthOptions(HealthOptions options) { healthOptions_ = std::move(options); }

    // Starts decoding; `onEnd` is called on the run's thread once the run is over (finished,
    // stopped or failed), as its very last action.
    void start(std::function<void()> onEnd);
    // Asks the run to stop after the message in hand; it also stops waiting for input.
    void cancel();
    // Ends a followed run at the end of what the log holds: it finishes as any run does.
    void stopFollowing() { stop_.store(true, std::memory_order_relaxed); }
    bool following() const { return following_; }
    // Waits for the run's thread to end.
    void wait();

    // Moves the report text produced since the last call to the end of `blocks`, in order.
    void takeBlocks(std::vector<std::string>& blocks);
    // The same, with the facts of the messages whose records those blocks end: each batch goes
    // with the text handed over at the same time.
    void takeBlocks(std::vector<std::string>& blocks, std::vector<MessageBatch>& batches);
    std::uint64_t bytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
    // Size of the files; -1 when it is not known beforehand (a pipe).
    std::int64_t fileSize() const { return fileSize_; }
    // The number of the first record of each file the run has begun, in order (a file without
    // messages has the number of the next file's first record).
    std::vector<std::uint64_t> fileFirstRecords() const;

    // Valid once the run is over. Of several files: their counts added up, each warning after
    // its file's name.
    const RunSummary& summary() const { return summary_; }
    const Statistics& statistics() const { return recorder_.statistics(); }
    // What a followed log's statistics and trunk's health are so far: taken on the run's thread
    // about every second while messages come (kLiveEvery), from the same analysis as the rest, so
    // that the views of them grow with the log.
    using SoFar = LogAnalysis::SoFar;
    static constexpr std::chrono::milliseconds kLiveEvery{1000};
    // The latest taken since the last call; null when none was.
    std::unique_ptr<SoFar> takeSoFar();

    // The trunk's health of the whole log, finished with the run's input warnings; null when the
    // run was cancelled or it was taken already.
    std::unique_ptr<TrunkHealth> takeHealth() { return std::move(health_); }
    // Why reading a file failed (after its name, of several files); empty when none did.
    QString readError() const { return readError_; }

private:
    class FileInput;
    class FileSource;
    // A file the run reads: its descriptor, open from open() or addFile() on, and whether it is a
    // regular file.
    struct OpenFile {
        int fd = -1;
        bool regular = false;
    };
    std::size_t cicOctets_ = 4;
    unsigned jobs_ = 0;
    HealthOptions healthOptions_;

    explicit DecodeJob(std::int64_t size);
    void run();
    // The run's side (InputListener), on the run's thread.
    void beginInput(const InputFile& file, RunOptions& options) override;
    void report(std::string_view text) override { addText(text); }
    void endInput(const InputFile& file, const InputResult& result) override;
    void idle() override { handOver(); }
    // A file begins: its first record's number is kept, and its messages are of its switch.
    void beginFile(const InputFile& file);

    std::vector<InputFile> inputs_;
    std::vector<OpenFile> files_;  // each input's
    bool following_ = false;  // the one input is followed as it grows
    std::atomic<bool> stop_{false};  // a followed run ends at the end of the log
    std::uint64_t recordsBefore_ = 0;  // of the files the run has read
    std::int64_t fileSize_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> bytesRead_{0};
    std::uint64_t reportBytes_ = 0;  // of the report the run has written so far
    // The report is handed over in blocks: large ones while the output flows, and whatever has
    // gathered at least every few tens of milliseconds, so that the first records show at once.
    void addText(std::string_view piece);
    void handOver(bool last = false);
    std::string block_;  // filled by the run's thread
    bool lastBlockFull_ = false;
    std::chrono::steady_clock::time_point lastHandOver_;
    mutable std::mutex blocksMutex_;
    std::vector<std::string> blocks_;
    MessageRecorder recorder_;  // on the run's thread
    std::unique_ptr<TrunkHealth> health_;  // on the run's thread until the run is over
    std::vector<MessageBatch> batches_;
    void keepSoFarIfDue();
    std::unique_ptr<SoFar> soFar_;  // under blocksMutex_
    std::chrono::steady_clock::time_point lastSoFar_;
    std::uint64_t messagesSoFar_ = 0;  // of the last one taken
    std::vector<std::uint64_t> fileFirstRecords_;  // under blocksMutex_
    RunSummary summary_;
    QString readError_;
    std::function<void()> onEnd_;
    std::thread thread_;
};

}  // namespace truno::window
