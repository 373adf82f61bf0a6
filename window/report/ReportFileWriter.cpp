#include "window/report/ReportFileWriter.h"

#include <QSaveFile>

#include <algorithm>

namespace truno::window {

namespace {

// Bytes handed to the file in one write: small enough for a cancel to take effect at once.
constexpr std::size_t kWriteBytes = std::size_t{1} << 20;

}  // namespace

ReportFileWriter::ReportFileWriter(const ReportDocument& document, QString path)
    : document_(document), path_(std::move(path)) {}

ReportFileWriter::~ReportFileWriter() {
    cancel();
    wait();
}

void ReportFileWriter::start(std::function<void()> onEnd) {
    onEnd_ = std::move(onEnd);
    thread_ = std::thread([this] { run(); });
}

void ReportFileWriter::wait() {
    if (thread_.joinable()) thread_.join();
}

void ReportFileWriter::run() {
    {
        QSaveFile file(path_);
        if (!file.open(QIODevice::WriteOnly)) {
            error_ = file.errorString();
        } else {
            for (std::size_t c = 0; c < document_.chunkCount() && error_.isEmpty() && !cancelled(); ++c) {
                const std::string_view bytes = document_.chunk(c);
                for (std::size_t at = 0; at < bytes.size() && !cancelled(); at += kWriteBytes) {
                    const std::size_t length = std::min(kWriteBytes, bytes.size() - at);
                    if (file.write(bytes.data() + at, static_cast<qint64>(length)) != static_cast<qint64>(length)) {
                        error_ = file.errorString();
                        break;
                    }
                    written_.fetch_add(length, std::memory_order_relaxed);
                }
            }
            if (!error_.isEmpty() || cancelled())
                file.cancelWriting();
            if (!file.commit() && error_.isEmpty() && !cancelled()) error_ = file.errorString();
        }
    }
    if (onEnd_) onEnd_();
}

}  // namespace truno::window
