#pragma once
// Writes an export of the run shown to a file on a thread of its own, with the analysis layer's
// writers (the command-line tool's own): the summary as CSV, the calls as CSV, every message as
// JSON Lines, or a capture file. The file is replaced only once it is written whole.
#include "output/StoreExports.h"
#include "window/log/ReportDocument.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace truno::window {

enum class ExportKind { SummaryCsv, CallsCsv, JsonLines, Pcap };

class ExportWriter {
public:
    // `store` and `document` must stay unchanged until the writer has ended. `firstDay`: the
    // capture file's first day (days from 1970-01-01).
    ExportWriter(ExportKind kind, const MessageStore& store, const ReportDocument& document, QString path,
                 std::int64_t firstDay = 0);
    // Writes only these messages (indices; e.g. those the filter shows) and their calls.
    void setOnly(std::vector<std::uint32_t> messages);
    // The log was read from several files (their paths, and the first record of each): the
    // messages' JSON objects and CSV rows name their file, as the tool's --merge does.
    void setFiles(const QStringList& files, const std::vector<std::uint64_t>& firstRecords);
    ExportWriter(const ExportWriter&) = delete;
    ExportWriter& operator=(const ExportWriter&) = delete;
    ~ExportWriter();

    void start(std::function<void()> onEnd);
    void cancel() { cancel_.store(true, std::memory_order_relaxed); }
    void wait();
    const QString& path() const { return path_; }
    // Messages done, of size().
    std::size_t done() const { return done_.load(std::memory_order_relaxed); }
    std::size_t size() const { return onlySet_ ? only_.size() : store_.size(); }
    const QString& error() const { return error_; }
    bool cancelled() const { return cancel_.load(std::memory_order_relaxed); }

private:
    void run();
    void writePcapFile();

    ExportKind kind_;
    const MessageStore& store_;
    const ReportDocument& document_;
    QString path_;
    std::int64_t firstDay_;
    bool onlySet_ = false;
    std::vector<std::uint32_t> only_;  // rising
    std::vector<std::pair<std::uint64_t, std::string>> files_;  // ExportControl::files
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> done_{0};
    QString error_;
    std::function<void()> onEnd_;
    std::thread thread_;
};

}  // namespace truno::window
