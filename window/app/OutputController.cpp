#include "window/app/OutputController.h"

#include "output/HtmlReport.h"
#include "window/app/StatusLine.h"
#include "window/app/WindowParts.h"
#include "window/io/UserDialogs.h"
#include "window/report/ReportFileWriter.h"
#include "window/report/ReportPrinter.h"
#include "window/views/CallsView.h"
#include "window/views/MessageList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <iterator>
#include <optional>

#include <sys/stat.h>

namespace truno::window {

namespace {

// How long one slice of a print may take before the window handles its events again.
constexpr std::chrono::milliseconds kPrintSlice{30};

// The day (from 1970-01-01, UTC) a file was last changed: the capture file's first day, as the
// command-line tool takes it.
std::int64_t modificationDay(const QString& path) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    struct stat status {};
    const std::int64_t seconds = ::stat(QFile::encodeName(path).constData(), &status) == 0
                                     ? static_cast<std::int64_t>(status.st_mtime)
                                     : QDateTime::currentSecsSinceEpoch();
    return (seconds >= 0 ? seconds : seconds - kSecondsPerDay + 1) / kSecondsPerDay;
}

int permille(std::size_t done, std::size_t size) {
    return static_cast<int>(1000.0 * static_cast<double>(done) / static_cast<double>(std::max<std::size_t>(size, 1)));
}

}  // namespace

OutputController::OutputController(WindowParts& parts, QObject* parent) : QObject(parent), parts_(parts) {
    connect(&taskTimer_, &QTimer::timeout, this, &OutputController::tick);
}

OutputController::~OutputController() {
    // The writers' threads end before what they read goes away.
    saver_.reset();
    exporter_.reset();
    if (reportPrinter_) {
        reportPrinter_->cancel();
        reportPrinter_->end();
    }
    reportPrinter_.reset();
}

QString OutputController::besideLog(const QString& ending) const {
    const QFileInfo log(parts_.log->path);
    return log.absoluteDir().filePath(log.completeBaseName() + ending);
}

void OutputController::startTask(const QString& format, int maximum, int interval) {
    parts_.status->showProgress(maximum, format);
    emit stateChanged();
    taskTimer_.start(interval);
}

void OutputController::tick() {
    if (reportPrinter_)
        printSlice();
    else if (exporter_)
        parts_.status->setProgress(permille(exporter_->done(), exporter_->size()));
    else if (saver_)
        parts_.status->setProgress(permille(saver_->written(), saver_->size()));
}

void OutputController::cancel() {
    if (exporter_) {
        exporter_->cancel();  // the writer's thread says when it has stopped
    } else if (saver_) {
        saver_->cancel();  // the writer's thread says when it has stopped
    } else if (reportPrinter_) {
        reportPrinter_->cancel();
        finishPrint();
    }
}

void OutputController::stop() {
    if (saver_) {
        saver_->cancel();
        saver_.reset();  // waits for the thread; the file is left as it was
    }
    if (exporter_) {
        exporter_->cancel();
        exporter_.reset();
    }
    if (reportPrinter_) {
        reportPrinter_->cancel();
        finishPrint();
    }
}

// ---------------------------------------------------------------- save

void OutputController::saveReportAs() {
    if (parts_.reportView->document().empty()) return;
    const bool filtered = parts_.log->filtered;
    const QString suggested = besideLog(filtered ? QStringLiteral("-filtered.txt") : QStringLiteral("-report.txt"));
    const QString path = parts_.dialogs->chooseSaveFile(parts_.window, filtered ? tr("Save Matching Records As") : tr("Save Report As"),
                                                        suggested, {tr("Text files (*.txt)"), tr("All Files (*)")});
    if (path.isEmpty()) return;
    saver_ = std::make_unique<ReportFileWriter>(parts_.reportView->document(), path);
    startTask(tr("Saving %p%"), 1000, 100);
    saver_->start([this] { QMetaObject::invokeMethod(this, &OutputController::saveEnded, Qt::QueuedConnection); });
}

void OutputController::saveEnded() {
    if (!saver_) return;
    saver_->wait();
    taskTimer_.stop();
    parts_.status->endProgress();
    const std::unique_ptr<ReportFileWriter> saver = std::move(saver_);
    emit stateChanged();
    const QString path = fullPathOf(saver->path());
    if (!saver->error().isEmpty()) {
        parts_.dialogs->showError(parts_.window, kProgramTitle, tr("Cannot write the file\n%1\n\n%2").arg(path, saver->error()));
    } else if (saver->cancelled()) {
        parts_.status->tell(tr("Saving cancelled; %1 is left as it was.").arg(path));
    } else {
        parts_.status->tell(tr("Report saved to %1").arg(path));
    }
    emit taskEnded();
}

// ---------------------------------------------------------------- exports

void OutputController::exportAs(ExportKind kind) {
    if (parts_.log->store.empty()) return;
    struct Form {
        ExportKind kind;
        const char* suffix;
        const char* title;
        const char* filter;
    };
    static constexpr Form kForms[] = {
        {ExportKind::SummaryCsv, "-summary.csv", QT_TR_NOOP("Export Summary as CSV"), QT_TR_NOOP("CSV files (*.csv)")},
        {ExportKind::CallsCsv, "-calls.csv", QT_TR_NOOP("Export Calls as CSV"), QT_TR_NOOP("CSV files (*.csv)")},
        {ExportKind::JsonLines, ".jsonl", QT_TR_NOOP("Export Messages as JSON Lines"), QT_TR_NOOP("JSON Lines files (*.jsonl *.json)")},
        {ExportKind::Pcap, ".pcap", QT_TR_NOOP("Export Capture File"), QT_TR_NOOP("Capture files (*.pcap)")},
    };
    const Form& form = *std::find_if(std::begin(kForms), std::end(kForms), [kind](const Form& f) { return f.kind == kind; });
    const QString path = parts_.dialogs->chooseSaveFile(parts_.window, tr(form.title), besideLog(QLatin1String(form.suffix)),
                                                        {tr(form.filter), tr("All Files (*)")});
    if (path.isEmpty()) return;
    // While the list is filtered: the messages it shows (the default) or all of them.
    const MessageListModel& list = *parts_.messageModel;
    bool shownOnly = false;
    if (list.filter().active()) {
        const std::optional<bool> answer =
            parts_.dialogs->chooseShownOnly(parts_.window, list.shown().size(), parts_.log->store.size());
        if (!answer) return;
        shownOnly = *answer;
    }
    exporter_ = std::make_unique<ExportWriter>(kind, parts_.log->store, parts_.fullReport(), path,
                                               modificationDay(parts_.log->path));
    if (shownOnly) exporter_->setOnly(list.shown());
    exporter_->setFiles(parts_.log->files, parts_.log->fileFirstRecords);
    startTask(tr("Exporting %p%"), 1000, 100);
    exporter_->start([this] { QMetaObject::invokeMethod(this, &OutputController::exportEnded, Qt::QueuedConnection); });
}

void OutputController::exportEnded() {
    if (!exporter_) return;
    exporter_->wait();
    taskTimer_.stop();
    parts_.status->endProgress();
    const std::unique_ptr<ExportWriter> done = std::move(exporter_);
    emit stateChanged();
    const QString path = fullPathOf(done->path());
    if (!done->error().isEmpty()) {
        parts_.dialogs->showError(parts_.window, kProgramTitle, tr("Cannot write the file\n%1\n\n%2").arg(path, done->error()));
    } else if (done->cancelled()) {
        parts_.status->tell(tr("Export cancelled; %1 is left as it was.").arg(path));
    } else {
        parts_.status->tell(tr("Exported to %1").arg(path));
    }
    emit taskEnded();
}

void OutputController::exportHtmlReport() {
    const OpenedLog& log = *parts_.log;
    if (!log.health) {
        parts_.status->tell(tr("The trunk's health is known once the log is decoded."));
        return;
    }
    const QString path = parts_.dialogs->chooseSaveFile(parts_.window, tr("Export HTML Report"),
                                                        besideLog(QStringLiteral("-health.html")),
                                                        {tr("HTML files (*.html *.htm)"), tr("All Files (*)")});
    if (path.isEmpty()) return;
    // The window's log is decoded whole and unfiltered: the report counts the whole log.
    const std::string html =
        htmlReport(*log.health, HtmlReportInfo{.logName = log.path.toStdString(),
                                               .filter = {},
                                               .generator = "truno-decoder " TRUNO_VERSION,
                                               .messages = log.messagesRead(),
                                               .notDecoded = log.notDecodedRead});
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(html.data(), static_cast<qint64>(html.size())) == static_cast<qint64>(html.size()) &&
                         file.commit();
    if (!written)
        parts_.dialogs->showError(parts_.window, kProgramTitle,
                                  tr("Cannot write the file\n%1\n\n%2").arg(fullPathOf(path), file.errorString()));
    else
        parts_.status->tell(tr("HTML report written to %1").arg(fullPathOf(path)));
    emit taskEnded();
}

void OutputController::saveDiagram() {
    LadderDiagram* ladder = parts_.callsPane->ladder();
    if (ladder->arrows().empty()) {
        parts_.status->tell(tr("Choose a call in the calls tab first."));
        return;
    }
    const QString suggested = besideLog(QStringLiteral("-call-%1.svg").arg(ladder->arrows().front().record));
    const QString path = parts_.dialogs->chooseSaveFile(parts_.window, tr("Save Ladder Diagram"), suggested,
                                                        {tr("SVG pictures (*.svg)"), tr("PNG pictures (*.png)")});
    if (path.isEmpty()) return;
    if (!ladder->save(path))
        parts_.dialogs->showError(parts_.window, kProgramTitle, tr("Cannot write the file\n%1").arg(fullPathOf(path)));
    else
        parts_.status->tell(tr("Ladder diagram saved to %1").arg(fullPathOf(path)));
    emit taskEnded();
}

// ---------------------------------------------------------------- print

void OutputController::printReport() {
    if (parts_.reportView->document().empty()) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(parts_.log->path);
    const std::uint64_t pages = ReportPrinter::pageCount(parts_.reportView->document(), ReportPrinter::layoutFor(*printer));
    if (!parts_.dialogs->setUpPrinter(parts_.window, *printer, pages)) return;
    startPrint(std::move(printer), QString());
}

void OutputController::exportPdf() {
    if (parts_.reportView->document().empty()) return;
    const QString path = parts_.dialogs->chooseSaveFile(parts_.window, tr("Export PDF"), besideLog(QStringLiteral("-report.pdf")),
                                                        {tr("PDF files (*.pdf)"), tr("All Files (*)")});
    if (path.isEmpty()) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setDocName(parts_.log->path);
    startPrint(std::move(printer), path);
}

void OutputController::startPrint(std::unique_ptr<QPrinter> printer, const QString& pdfPath) {
    printer_ = std::move(printer);
    pdfPath_ = pdfPath;
    reportPrinter_ = std::make_unique<ReportPrinter>(parts_.reportView->document(), *printer_, parts_.log->path);
    if (!reportPrinter_->begin()) {
        reportPrinter_.reset();
        printer_.reset();
        parts_.dialogs->showError(parts_.window, kProgramTitle,
                                  pdfPath.isEmpty() ? tr("The printer cannot be opened.")
                                                    : tr("Cannot write the file\n%1").arg(fullPathOf(pdfPath)));
        emit taskEnded();
        return;
    }
    const std::uint64_t pages = reportPrinter_->pagesToPrint();
    startTask(tr("Page %v of %1").arg(countText(pages)), static_cast<int>(std::min<std::uint64_t>(pages, INT_MAX)), 0);
}

void OutputController::printSlice() {
    if (!reportPrinter_) return;
    const bool done = reportPrinter_->printFor(kPrintSlice);
    parts_.status->setProgress(static_cast<int>(std::min<std::uint64_t>(reportPrinter_->pagesPrinted(), INT_MAX)));
    if (done) finishPrint();
}

void OutputController::finishPrint() {
    taskTimer_.stop();
    parts_.status->endProgress();
    const std::unique_ptr<ReportPrinter> printed = std::move(reportPrinter_);
    const bool cancelled = printed->pagesPrinted() < printed->pagesToPrint();
    const bool ended = printed->end();
    printer_.reset();
    emit stateChanged();
    const QString pages = countText(printed->pagesPrinted());
    if (!pdfPath_.isEmpty()) {
        const QString path = fullPathOf(pdfPath_);
        if (cancelled || !ended) QFile::remove(pdfPath_);
        if (!ended && !cancelled)
            parts_.dialogs->showError(parts_.window, kProgramTitle, tr("Cannot write the file\n%1").arg(path));
        else
            parts_.status->tell(cancelled ? tr("PDF export cancelled; %1 is not written.").arg(path)
                                          : tr("%1 pages written to %2").arg(pages, path));
    } else if (!ended && !cancelled) {
        parts_.dialogs->showError(parts_.window, kProgramTitle, tr("The report could not be printed."));
    } else {
        parts_.status->tell(cancelled ? tr("Printing cancelled after %1 pages.").arg(pages)
                                      : tr("%1 pages sent to the printer.").arg(pages));
    }
    emit taskEnded();
}

}  // namespace truno::window
