#include "window/io/ExportWriter.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace truno::window {

ExportWriter::ExportWriter(ExportKind kind, const MessageStore& store, const ReportDocument& document, QString path,
                           std::int64_t firstDay)
    : kind_(kind), store_(store), document_(document), path_(std::move(path)), firstDay_(firstDay) {}

void ExportWriter::setOnly(std::vector<std::uint32_t> messages) {
    only_ = std::move(messages);
    std::sort(only_.begin(), only_.end());
    onlySet_ = true;
}

void ExportWriter::setFiles(const QStringList& files, const std::vector<std::uint64_t>& firstRecords) {
    files_.clear();
    if (files.size() < 2) return;
    for (qsizetype k = 0; k < files.size() && static_cast<std::size_t>(k) < firstRecords.size(); ++k)
        files_.emplace_back(firstRecords[static_cast<std::size_t>(k)], files[k].toStdString());
}

ExportWriter::~ExportWriter() {
    cancel();
    wait();
}

void ExportWriter::start(std::function<void()> onEnd) {
    onEnd_ = std::move(onEnd);
    thread_ = std::thread([this] { run(); });
}

void ExportWriter::wait() {
    if (thread_.joinable()) thread_.join();
}

void ExportWriter::run() {
    if (kind_ == ExportKind::Pcap) {
        writePcapFile();
    } else {
        QSaveFile file(path_);
        if (!file.open(QIODevice::WriteOnly)) {
            error_ = file.errorString();
        } else {
            const auto write = [this, &file](std::string_view text) {
                if (!error_.isEmpty() || text.empty()) return;
                if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
                    error_ = file.errorString();
            };
            ExportControl control;
            control.cancelled = [this] { return cancelled() || !error_.isEmpty(); };
            control.progress = [this](std::size_t done) { done_.store(done, std::memory_order_relaxed); };
            if (onlySet_) control.only = &only_;
            control.files = files_;
            switch (kind_) {
                case ExportKind::SummaryCsv: writeSummaryCsv(store_, textOf(document_), write, control); break;
                case ExportKind::JsonLines: writeMessagesJson(store_, textOf(document_), write, control); break;
                case ExportKind::CallsCsv: writeCallsCsv(store_, write, control); break;
                case ExportKind::Pcap: break;
            }
            if (!error_.isEmpty() || cancelled()) file.cancelWriting();
            if (!file.commit() && error_.isEmpty() && !cancelled()) error_ = file.errorString();
        }
    }
    if (onEnd_) onEnd_();
}

void ExportWriter::writePcapFile() {
    // The capture file is written into a file beside, renamed once whole.
    const QFileInfo target(path_);
    const QString partial = target.absoluteDir().filePath(QStringLiteral(".%1.part").arg(target.fileName()));
    PcapExport pcap;
    std::string error;
    if (!pcap.open(QFile::encodeName(partial).toStdString(), error)) {
        error_ = QString::fromStdString(error);
        return;
    }
    pcap.beginLog(firstDay_);
    ExportControl control;
    control.cancelled = [this] { return cancelled(); };
    control.progress = [this](std::size_t done) { done_.store(done, std::memory_order_relaxed); };
    if (onlySet_) control.only = &only_;
    writePcap(store_, pcap, control);
    if (!pcap.close(error)) error_ = QString::fromStdString(error);
    if (!error_.isEmpty() || cancelled()) {
        QFile::remove(partial);
        return;
    }
    QFile::remove(path_);
    if (!QFile::rename(partial, path_)) {
        error_ = QStringLiteral("The file cannot be renamed into place.");
        QFile::remove(partial);
    }
}

}  // namespace truno::window
