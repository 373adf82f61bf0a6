// truno-window-follow: follows a log in the window, as File > Follow does, while this program
// appends LOG's messages to it: first at RATE messages a second for SECONDS seconds, then the
// rest at once (a burst). It prints how fast the message list takes them in, how long the
// statistics and the health tabs take to show them, and the longest time the window's thread
// stood still. TAB is the tab in sight: messages (the default), calls, statistics or health.
//
//   QT_QPA_PLATFORM=offscreen truno-window-follow LOG [RATE SECONDS [TAB]]   (default 20 30 messages)
#include "window/app/MainWindow.h"
#include "window/views/MessageList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Processor time the calling thread has used.
double threadProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: truno-window-follow LOG [RATE SECONDS [TAB]]\n");
        return 2;
    }
    const int rate = argc >= 4 ? std::atoi(argv[2]) : 20;
    const int duration = argc >= 4 ? std::atoi(argv[3]) : 30;
    const QString tab = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("messages");
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The page header, then one piece a message (each ends with its blank line).
    std::size_t at = bytes.find("\r\n\r\n");
    if (at == std::string::npos || rate <= 0 || duration <= 0) return 2;
    at += 4;
    const std::string header = bytes.substr(0, at);
    std::vector<std::string> messages;
    while (at < bytes.size()) {
        std::size_t end = bytes.find("\r\n\r\n", at);
        end = end == std::string::npos ? bytes.size() : end + 4;
        messages.push_back(bytes.substr(at, end - at));
        at = end;
    }
    const std::size_t paced = std::min(messages.size(), static_cast<std::size_t>(rate) * static_cast<std::size_t>(duration));

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("followed.log")).toStdString();
    append(path, header);
    truno::window::MainWindow window;
    window.resize(1400, 900);
    window.show();
    if (!window.showTab(tab)) return 2;

    // The longest gap between two ticks of a timer that asks to run every 5 ms.
    QElapsedTimer tick;
    qint64 longest = 0;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] { longest = std::max(longest, tick.restart()); });
    const auto rows = [&] { return static_cast<std::uint64_t>(window.messageModel()->rowCount()); };
    const auto counted = [&] { return window.statistics().messages(); };
    const auto waitFor = [&](auto done, int milliseconds) {
        QElapsedTimer limit;
        limit.start();
        while (!done() && limit.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return done();
    };
    window.followFile(QString::fromStdString(path));
    tick.start();
    watch.start();

    // Paced: one message every 1/RATE s; each message's time until the list shows it and until
    // the statistics count it.
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> appended(paced);
    std::vector<qint64> listedAfter;
    std::vector<qint64> countedAfter;
    std::size_t next = 0;
    std::size_t listed = 0;
    std::size_t seen = 0;
    double processor = threadProcessorSeconds();
    while (listed < paced && clock.elapsed() < static_cast<qint64>(duration) * 1000 + 20000) {
        while (next < paced && clock.elapsed() >= static_cast<qint64>(next) * 1000 / rate) {
            append(path, messages[next]);
            appended[next++] = clock.elapsed();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        for (; listed < std::min<std::uint64_t>(rows(), next); ++listed) listedAfter.push_back(clock.elapsed() - appended[listed]);
        for (; seen < std::min<std::uint64_t>(counted(), next); ++seen) countedAfter.push_back(clock.elapsed() - appended[seen]);
    }
    waitFor([&] { return counted() >= paced; }, 5000);
    for (; seen < std::min<std::uint64_t>(counted(), paced); ++seen) countedAfter.push_back(clock.elapsed() - appended[seen]);
    const double pacedProcessor = threadProcessorSeconds() - processor;
    const auto quantile = [](std::vector<qint64> values, double q) -> qint64 {
        if (values.empty()) return -1;
        std::sort(values.begin(), values.end());
        return values[std::min(values.size() - 1, static_cast<std::size_t>(q * static_cast<double>(values.size())))];
    };
    std::printf("paced: %zu messages at %d a second: listed after %lld ms (median), %lld ms (95th), %lld ms (most); "
                "counted in the statistics: %zu of them, after %lld ms (median), %lld ms (most); window's thread "
                "busy %.2f s of %.1f s; longest freeze %lld ms\n",
                paced, rate, static_cast<long long>(quantile(listedAfter, 0.5)), static_cast<long long>(quantile(listedAfter, 0.95)),
                static_cast<long long>(quantile(listedAfter, 1.0)), countedAfter.size(),
                static_cast<long long>(quantile(countedAfter, 0.5)), static_cast<long long>(quantile(countedAfter, 1.0)),
                pacedProcessor, static_cast<double>(clock.elapsed()) / 1000.0, static_cast<long long>(longest));

    // The burst: the rest at once.
    std::string rest;
    for (std::size_t k = paced; k < messages.size(); ++k) rest += messages[k];
    const std::uint64_t total = messages.size();
    longest = 0;
    tick.restart();
    processor = threadProcessorSeconds();
    clock.restart();
    append(path, rest);
    waitFor([&] { return rows() >= total; }, 600000);
    const qint64 listedAt = clock.elapsed();
    const qint64 burstFreeze = longest;
    const double burstProcessor = threadProcessorSeconds() - processor;
    waitFor([&] { return counted() >= total; }, 10000);
    std::printf("burst: %zu messages listed in %.2f s (%.0f a second); counted in the statistics %.2f s after "
                "the burst began (%s); window's thread busy %.2f s; longest freeze %lld ms\n",
                messages.size() - paced, static_cast<double>(listedAt) / 1000.0,
                static_cast<double>(messages.size() - paced) * 1000.0 / static_cast<double>(std::max<qint64>(listedAt, 1)),
                static_cast<double>(clock.elapsed()) / 1000.0, counted() >= total ? "all" : "not all, 10 s past the list",
                burstProcessor, static_cast<long long>(burstFreeze));
    window.stopFollowing();
    return 0;
}
