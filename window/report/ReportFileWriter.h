#pragma once
// Writes a report to a file on a thread of its own: the report's exact bytes, CR LF line ends
// as in the report. The file is replaced only once it is written whole (a cancelled or failed
// write leaves any earlier file as it was).
#include "window/log/ReportDocument.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

namespace truno::window {

class ReportFileWriter {
public:
    // `document` must stay unchanged until the writer has ended.
    ReportFileWriter(const ReportDocument& document, QString path);
    ReportFileWriter(const ReportFileWriter&) = delete;
    ReportFileWriter& operator=(const ReportFileWriter&) = delete;
    // Stops the writing and waits for its thread.
    ~ReportFileWriter();

    // `onEnd` is called on the writer's thread as its very last action.
    void start(std::function<void()> onEnd);
    void cancel() { cancel_.store(true, std::memory_order_relaxed); }
    void wait();

    const QString& path() const { return path_; }
    std::size_t size() const { return document_.size(); }
    std::size_t written() const { return written_.load(std::memory_order_relaxed); }
    // Once ended: why the file was not written (empty when it was, or when cancelled).
    const QString& error() const { return error_; }
    bool cancelled() const { return cancel_.load(std::memory_order_relaxed); }

private:
    void run();

    const ReportDocument& document_;
    QString path_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> written_{0};
    QString error_;
    std::function<void()> onEnd_;
    std::thread thread_;
};

}  // namespace truno::window
