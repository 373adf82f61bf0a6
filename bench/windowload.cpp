// truno-window-load: opens a log in the window, as a person would, and measures the load: the
// time until the list, the calls and the statistics are there, the memory held against the
// report's size, the longest time the window's thread stood still, and the time filters take.
//
//   QT_QPA_PLATFORM=offscreen truno-window-load [-j JOBS] [--load-only] [--memory] LOG
//
// JOBS: the threads that decode the file (the window's default: the machine's cores);
// --load-only: the load alone, without the filters, the sort and the paging after it;
// --memory: where the resident memory is once the log is open (/proc/self/smaps by kind of
// mapping, and glibc's heap and arenas).
#include "window/app/MainWindow.h"
#include "window/views/MessageFilterBar.h"
#include "window/views/MessageList.h"
#include "window/report/ReportView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
double statusKilobytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(static_cast<qsizetype>(std::char_traits<char>::length(key)) + 1).trimmed().split(' ').front().toDouble();
    return -1;
}

double megabytes(double bytes) { return bytes / (1024.0 * 1024.0); }

double seconds(qint64 milliseconds) { return static_cast<double>(milliseconds) / 1000.0; }

// Processor time the calling thread has used.
double threadProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Processor time the whole process has used (every thread, user and system).
double processProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Resident memory by kind of mapping, from /proc/self/smaps: the main heap, the anonymous
// mappings by size (large blocks of the heap and the threads' arenas), stacks, files.
void printResidentByKind() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) return;
    std::map<std::string, std::pair<double, int>> kinds;  // kilobytes resident, mappings
    std::string kind;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.isEmpty() || words.front().isEmpty()) continue;
        if (words.front().contains('-') && !words.front().endsWith(':')) {
            const QList<QByteArray> range = words.front().split('-');
            const double size = static_cast<double>(range[1].toULongLong(nullptr, 16) - range[0].toULongLong(nullptr, 16)) / 1024.0;
            const QByteArray name = words.size() > 5 ? words[5] : QByteArray();
            if (name == "[heap]") kind = "main heap";
            else if (name.startsWith('[')) kind = name.toStdString();
            else if (!name.isEmpty()) kind = "files (libraries, fonts)";
            else if (size >= 60 * 1024) kind = "anonymous >= 60 MiB (arenas of other threads)";
            else if (size >= 1024) kind = "anonymous 1 to 60 MiB (large blocks)";
            else if (size >= 256) kind = "anonymous 256 KiB to 1 MiB (large blocks, stacks)";
            else kind = "anonymous < 256 KiB";
            ++kinds[kind].second;
        } else if (words.front() == "Rss:" && words.size() > 1) {
            kinds[kind].first += words[1].toDouble();
        }
    }
    for (const auto& [name, held] : kinds)
        std::printf("  %-52s %8.1f MB resident in %d mappings\n", name.c_str(), held.first / 1024.0, held.second);
#if defined(__GLIBC__)
    const struct mallinfo2 heap = mallinfo2();
    std::printf("  malloc: %.1f MB in use in the heaps, %.1f MB free in them, %.1f MB in large blocks of their own\n",
                megabytes(static_cast<double>(heap.uordblks)), megabytes(static_cast<double>(heap.fordblks)),
                megabytes(static_cast<double>(heap.hblkhd)));
    std::fflush(stdout);
    malloc_stats();  // each arena's system and in-use bytes, on standard error
#endif
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    unsigned jobs = 0;
    bool loadOnly = false;
    bool memory = false;
    int at = 1;
    for (; at < argc && argv[at][0] == '-'; ++at) {
        if (std::strcmp(argv[at], "--load-only") == 0) {
            loadOnly = true;
        } else if (std::strcmp(argv[at], "--memory") == 0) {
            memory = true;
        } else if (std::strcmp(argv[at], "-j") == 0 && at + 1 < argc) {
            jobs = static_cast<unsigned>(std::strtoul(argv[++at], nullptr, 10));
        } else {
            break;
        }
    }
    if (at + 1 != argc) {
        std::fprintf(stderr, "usage: truno-window-load [-j JOBS] [--load-only] [--memory] LOG\n");
        return 2;
    }
    const char* log = argv[at];
    const double baseline = statusKilobytes("VmRSS:");
    truno::window::MainWindow window;
    window.setDecodeJobs(jobs);
    window.resize(1400, 900);
    window.show();

    // The longest gap between two ticks of a timer that asks to run every 5 ms.
    QElapsedTimer tick;
    qint64 longest = 0;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        longest = std::max(longest, tick.restart());
    });

    QElapsedTimer clock;
    // Waits in the event loop as the window does: processEvents with a time limit does not wait
    // for events but polls, and the busy window's thread took a core from the run's threads.
    const auto waitFor = [&](auto done) {
        while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    bool ended = false;
    QObject::connect(&window, &truno::window::MainWindow::runEnded, [&] { ended = true; });
    tick.start();
    watch.start();
    const double loadStart = processProcessorSeconds();
    clock.start();
    window.openFile(QString::fromLocal8Bit(log));
    waitFor([&] { return ended; });
    const qint64 loaded = clock.elapsed();
    // The run's threads have ended; the tabs are drawn after this.
    const double rssAtEnd = statusKilobytes("VmRSS:");
    waitFor([&] { return window.filterSettled(); });
    const qint64 listed = clock.elapsed();
    const double loadProcessor = processProcessorSeconds() - loadStart;
    const qint64 loadFreeze = longest;
    const double rss = statusKilobytes("VmRSS:");
    const double peak = statusKilobytes("VmHWM:");
    const double report = static_cast<double>(window.reportView()->document().size());
    std::printf("messages: %zu, calls: %zu\n", window.messages().size(), window.messages().calls().size());
    std::printf("load: %.2f s to the end of the run, %.2f s to the full list, %.2f s of processor (every thread)\n",
                seconds(loaded), seconds(listed), loadProcessor);
    std::printf("report: %.0f MB; window's memory: %.0f MB now (%.2f x the report), peak %.0f MB (%.2f x), "
                "%.0f MB before the log\n",
                megabytes(report), rss / 1024.0, rss * 1024.0 / report, peak / 1024.0, peak * 1024.0 / report,
                baseline / 1024.0);
    std::printf("store of the facts: %.0f MB; report document: %.0f MB\n", megabytes(static_cast<double>(window.messages().memoryUse())),
                megabytes(static_cast<double>(window.reportView()->document().memoryUse())));
    std::printf("longest freeze while loading: %lld ms\n", static_cast<long long>(loadFreeze));
    if (memory) {
        std::printf("window's memory when the run ended, before the tabs were drawn: %.0f MB\n", rssAtEnd / 1024.0);
        printResidentByKind();
    }
    if (loadOnly) return 0;

    // Filters, each timed from the change to the list's last row.
    truno::window::MessageFilterBar* bar = window.filterBar();
    // Each filter three times: the best time from the change to the list's last row, and the best
    // processor time of the window's thread over it (less swayed by other work on the machine).
    const auto timeFilter = [&](const char* what, auto set) {
        qint64 best = -1;
        double bestProcessor = -1;
        qint64 freeze = 0;
        for (int run = 0; run < 3; ++run) {
            bar->clear();
            set();
            longest = 0;
            tick.restart();
            const double processorBefore = threadProcessorSeconds();
            clock.restart();
            window.applyFilter();
            waitFor([&] { return window.filterSettled(); });
            const qint64 elapsed = clock.elapsed();
            const double processor = threadProcessorSeconds() - processorBefore;
            if (best < 0 || elapsed < best) best = elapsed;
            if (bestProcessor < 0 || processor < bestProcessor) bestProcessor = processor;
            freeze = std::max(freeze, longest);
        }
        std::printf("filter %-28s %8d rows in %.3f s, %.3f s of processor (longest freeze %lld ms)\n", what,
                    window.messageModel()->rowCount(), seconds(best), bestProcessor, static_cast<long long>(freeze));
    };
    timeFilter("type IAM:", [&] { bar->typesEdit()->setText(QStringLiteral("IAM")); });
    timeFilter("CIC 1-100:", [&] { bar->codesEdit()->setText(QStringLiteral("1-100")); });
    timeFilter("text \"Normal call clearing\":", [&] { bar->textEdit()->setText(QStringLiteral("Normal call clearing")); });
    timeFilter("text \"16\":", [&] { bar->textEdit()->setText(QStringLiteral("16")); });
    timeFilter("text \"no such text\":", [&] { bar->textEdit()->setText(QStringLiteral("no such text")); });
    timeFilter("records 1000-200000:", [&] { bar->recordsEdit()->setText(QStringLiteral("1000-200000")); });
    timeFilter("not decoded:", [&] { bar->findChild<QCheckBox*>(QStringLiteral("filterNotDecoded"))->setChecked(true); });
    if (!window.messages().calls().empty()) {
        const std::uint64_t call = window.messages().calls()[window.messages().calls().size() / 2].firstRecord;
        timeFilter("the call chosen:", [&] { bar->setCall(call, QStringLiteral("call")); });
    }
    timeFilter("where direction, cic:", [&] { bar->expressionEdit()->setText(QStringLiteral("direction == R and cic in {1..100}")); });
    timeFilter("where cause == 16:", [&] { bar->expressionEdit()->setText(QStringLiteral("cause == 16")); });
    timeFilter("where type REL, cause 16:", [&] { bar->expressionEdit()->setText(QStringLiteral("type == REL and cause == 16")); });
    timeFilter("type REL, report too:", [&] {
        bar->typesEdit()->setText(QStringLiteral("REL"));
        bar->reportTooBox()->setChecked(true);
    });
    // Sorting the whole list by its longest texts (on a thread of its own), and paging through it.
    bar->clear();
    bar->reportTooBox()->setChecked(false);
    window.applyFilter();
    waitFor([&] { return window.filterSettled(); });
    bool sorted = false;
    QObject::connect(window.messageModel(), &truno::window::MessageListModel::sortDone, [&] { sorted = true; });
    longest = 0;
    tick.restart();
    clock.restart();
    window.messageList()->sortByColumn(truno::window::MessageListModel::InfoColumn, Qt::AscendingOrder);
    waitFor([&] { return sorted; });
    std::printf("sort of %d rows by info: %.3f s (longest freeze %lld ms)\n", window.messageModel()->rowCount(),
                seconds(clock.elapsed()), static_cast<long long>(longest));
    QScrollBar* scroll = window.messageList()->verticalScrollBar();
    clock.restart();
    for (int step = 0; step <= 100; ++step) {
        scroll->setValue(static_cast<int>(static_cast<long long>(scroll->maximum()) * step / 100));
        window.messageList()->viewport()->repaint();
    }
    std::printf("list paged through in 100 jumps, each repainted: %.1f ms a jump\n",
                static_cast<double>(clock.elapsed()) / 101.0);
    std::printf("peak memory at the end: %.0f MB (%.2f x the report)\n", statusKilobytes("VmHWM:") / 1024.0,
                statusKilobytes("VmHWM:") * 1024.0 / report);
    return 0;
}
