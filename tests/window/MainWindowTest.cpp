// The main window driven as a user would, with the dialogs answered by the test: menus,
// caption, the report shown after a run, and what stays in place when a run does not complete.
#include "run/DecodeRun.h"
#include "window/MainWindow.h"
#include "window/ReportDocument.h"
#include "window/ReportView.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using truno::window::MainWindow;
using truno::window::UserDialogs;

namespace {

// What the dialogs were asked and will answer; owned by the test, shared with the window.
struct DialogScript {
    std::deque<QString> filesToChoose;  // an empty entry: the user cancels
    int chooseCalls = 0;
    QStringList information;
    QStringList errors;
};

class ScriptedDialogs final : public UserDialogs {
public:
    explicit ScriptedDialogs(DialogScript& script) : script_(script) {}
    QString chooseLogFile(QWidget*) override {
        ++script_.chooseCalls;
        if (script_.filesToChoose.empty()) return {};
        QString path = script_.filesToChoose.front();
        script_.filesToChoose.pop_front();
        return path;
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override {
        QVERIFY(!title.isEmpty());
        script_.information << text;
    }
    void showError(QWidget*, const QString& title, const QString& text) override {
        QVERIFY(!title.isEmpty());
        script_.errors << text;
    }

private:
    DialogScript& script_;
};

QString sourcePath(const char* relative) {
    return QDir(QStringLiteral(TRUNO_SOURCE_DIR)).absoluteFilePath(QString::fromLatin1(relative));
}

std::string readBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The report the command-line tool writes for `path` (with --crlf: the report's own bytes).
std::string toolReport(const QString& path, truno::RunSummary* summary = nullptr) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string report;
    const truno::RunSummary s = truno::decodeLog(in, [&](std::string_view piece) { report += piece; });
    if (summary != nullptr) *summary = s;
    return report;
}

void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << bytes;
}

const char* const kHeader =
    "USER       BCIC        DEV                   ROUTE       TSTCALL\r\n"
    "OPER1      1           BICC-1                RT1         5\r\n"
    "\r\n";

// One message under its own column header.
std::string message(const char* time, const char* data) {
    return std::string("TIME        MSG        DIR  DATA\r\n") + time + " RLC        R    " + data +
           "\r\n\r\n";
}

// Writes `log` into a named pipe over and over until stopped. It holds the pipe open for reading
// too, so that the writes never fail and the reader never meets an end of file.
class PipeFeeder {
public:
    PipeFeeder(const QString& fifo, std::string log)
        : fd_(::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK)), log_(std::move(log)) {
        if (fd_ >= 0) writer_ = std::thread([this] { feed(); });
    }
    ~PipeFeeder() {
        stop();
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    void stop() {
        stop_ = true;
        if (writer_.joinable()) writer_.join();
    }

private:
    void feed() {
        std::size_t at = 0;
        while (!stop_.load()) {
            const ssize_t n = ::write(fd_, log_.data() + at, log_.size() - at);
            if (n > 0)
                at = (at + static_cast<std::size_t>(n)) % log_.size();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    int fd_;
    std::string log_;
    std::atomic<bool> stop_{false};
    std::thread writer_;
};

class WindowFixture {
public:
    WindowFixture() : form(std::make_unique<ScriptedDialogs>(script)) {}

    // Opens `path` through File > Open and waits for the run to end.
    bool openThroughMenu(const QString& path) {
        script.filesToChoose.push_back(path);
        QSignalSpy ended(&form, &MainWindow::runEnded);
        action("openAction")->trigger();
        return ended.count() > 0 || ended.wait(20000);
    }

    QAction* action(const char* name) { return form.findChild<QAction*>(QString::fromLatin1(name)); }
    std::string report() const { return form.reportView()->document().text(); }
    QString status() const { return form.findChild<QLabel*>(QStringLiteral("statusText"))->text(); }

    DialogScript script;
    MainWindow form;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menus_data();
    void menus();
    void captionAndAbout();
    void shortcutOpensTheDialog();
    void exitClosesTheWindow();
    void viewHoldsTheToolsReport_data();
    void viewHoldsTheToolsReport();
    void cancelledDialogKeepsEverything();
    void unreadableFileKeepsTheReport_data();
    void unreadableFileKeepsTheReport();
    void logWithoutMessagesSaysWhy();
    void busyPointerRestoredAfterFailingMessages();
    void runShowsRecordsWhileReadingAndCanBeCancelled();
    void droppedFileIsOpened();
};

void MainWindowTest::menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Open") << "openAction" << "&Open" << QKeySequence(QStringLiteral("Ctrl+O")) << true;
    QTest::newRow("Save As") << "saveAsAction" << "Save &As..." << QKeySequence() << false;
    QTest::newRow("Print") << "printAction" << "&Print..." << QKeySequence(QStringLiteral("Ctrl+P")) << false;
    QTest::newRow("Exit") << "exitAction" << "E&xit" << QKeySequence() << true;
    QTest::newRow("About") << "aboutAction" << "&About" << QKeySequence() << true;
}

void MainWindowTest::menus() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    WindowFixture w;
    QAction* item = w.form.findChild<QAction*>(name);
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), enabled);

    // The menu bar holds File and Help in that order; File's items are in the order of the
    // table with the separator before Exit.
    const QList<QAction*> bar = w.form.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
    QCOMPARE(bar[0]->menu()->objectName(), QStringLiteral("fileMenu"));
    QCOMPARE(bar[1]->text(), QStringLiteral("&Help"));
    QStringList fileItems;
    for (QAction* a : bar[0]->menu()->actions()) fileItems << (a->isSeparator() ? "-" : a->objectName());
    QCOMPARE(fileItems, (QStringList{"openAction", "saveAsAction", "printAction", "-", "exitAction"}));
    QCOMPARE(bar[1]->menu()->objectName(), QStringLiteral("Help"));
    QCOMPARE(bar[1]->menu()->actions().size(), 1);
    QVERIFY(bar[1]->menu()->actions().front() == w.action("aboutAction"));
}

void MainWindowTest::captionAndAbout() {
    WindowFixture w;
    QCOMPARE(w.form.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(w.form.reportView()->objectName(), QStringLiteral("reportView"));
    // The banner: version and date, a contact text naming no one, and seven blanks.
    static const QRegularExpression banner(
        QStringLiteral("^TRUNO Decoder v1\\.6 - \\(by (\\S.*\\S) - 06/06/2006\\) {7}$"));
    QVERIFY(banner.match(MainWindow::programVersion()).hasMatch());
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion());
    QVERIFY(w.report().empty());

    w.action("aboutAction")->trigger();
    QCOMPARE(w.script.information.size(), 1);
    const QStringList lines = w.script.information.front().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(QStringLiteral("This program is available at ")));
    QVERIFY(lines[1].startsWith(QStringLiteral("More information and queries to ")));
    QVERIFY(lines[2].startsWith(QStringLiteral("Phone: ")));
    // Each line goes on with its contact text after the lead-in.
    QVERIFY(lines[0].size() > 29 && lines[1].size() > 32 && lines[2].size() > 7);
}

void MainWindowTest::shortcutOpensTheDialog() {
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    QTest::keyClick(&w.form, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.script.chooseCalls, 1);
    QTest::keyClick(&w.form, Qt::Key_P, Qt::ControlModifier);  // Print is disabled: nothing
    QCOMPARE(w.script.chooseCalls, 1);
    QVERIFY(w.script.errors.isEmpty() && w.script.information.isEmpty());
}

void MainWindowTest::exitClosesTheWindow() {
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.action("exitAction")->trigger();
    QVERIFY(!w.form.isVisible());
}

void MainWindowTest::viewHoldsTheToolsReport_data() {
    QTest::addColumn<QString>("log");
    const QStringList logs = QDir(sourcePath("tests/golden")).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    QVERIFY(!logs.isEmpty());
    for (const QString& log : logs)
        QTest::newRow(qPrintable(log)) << QDir(sourcePath("tests/golden")).absoluteFilePath(log);
    if (QFileInfo::exists(sourcePath("examples/sample.log")))
        QTest::newRow("examples/sample.log") << sourcePath("examples/sample.log");
}

void MainWindowTest::viewHoldsTheToolsReport() {
    QFETCH(QString, log);
    WindowFixture w;
    QVERIFY(w.openThroughMenu(log));
    truno::RunSummary summary;
    const std::string expected = toolReport(log, &summary);
    QVERIFY(!expected.empty());
    QVERIFY(w.report() == expected);  // byte for byte (QCOMPARE would print hundreds of KB)
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + log);
    QCOMPARE(w.status(), QString::fromStdString(truno::summaryText(summary)));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(!w.action("saveAsAction")->isEnabled());
    QVERIFY(w.action("openAction")->isEnabled());
    QVERIFY(!w.form.findChild<QProgressBar*>(QStringLiteral("runProgress"))->isVisibleTo(&w.form));
    QVERIFY(w.script.errors.isEmpty());
    QTRY_VERIFY(w.form.isIdle());
}

void MainWindowTest::cancelledDialogKeepsEverything() {
    WindowFixture w;
    const QString log = sourcePath("tests/golden/isup-m3ua-call-6.log");
    QVERIFY(w.openThroughMenu(log));
    const std::string report = w.report();
    const QString caption = w.form.windowTitle();
    const QString status = w.status();

    w.script.filesToChoose.push_back(QString());  // the user cancels
    w.action("openAction")->trigger();
    QCOMPARE(w.script.chooseCalls, 2);
    QVERIFY(w.report() == report);
    QCOMPARE(w.form.windowTitle(), caption);
    QCOMPARE(w.status(), status);
    QVERIFY(!w.form.isRunning());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(w.script.errors.isEmpty());
}

void MainWindowTest::unreadableFileKeepsTheReport_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QDir::temp().absoluteFilePath(QStringLiteral("truno-no-such-file.log"))
                                  << QString::fromLocal8Bit(std::strerror(ENOENT));
    QTest::newRow("directory") << QDir::tempPath() << QString::fromLocal8Bit(std::strerror(EISDIR));
    // Opens, but reading its first bytes fails (address 0 is not mapped).
    QTest::newRow("read fails") << QStringLiteral("/proc/self/mem") << QString::fromLocal8Bit(std::strerror(EIO));
}

void MainWindowTest::unreadableFileKeepsTheReport() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/bicc-iam-app-1.log")));
    const std::string report = w.report();
    const QString caption = w.form.windowTitle();
    const QString status = w.status();

    w.script.filesToChoose.push_back(path);
    w.action("openAction")->trigger();
    QTRY_VERIFY(!w.form.isRunning());
    QCOMPARE(w.script.errors.size(), 1);
    QVERIFY2(w.script.errors.front().contains(path), qPrintable(w.script.errors.front()));
    QVERIFY2(w.script.errors.front().contains(reason), qPrintable(w.script.errors.front()));
    QVERIFY(w.report() == report);
    QCOMPARE(w.form.windowTitle(), caption);
    QCOMPARE(w.status(), status);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(w.action("openAction")->isEnabled());
}

void MainWindowTest::logWithoutMessagesSaysWhy() {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("no-header.log"));
    // A message, but no trace header in front of it: nothing is decoded.
    writeFile(log, message("10:00:00.1", "01  00  00  00  10  00"));
    truno::RunSummary summary;
    QVERIFY(toolReport(log, &summary).empty());
    QVERIFY(!summary.whyNothing.empty());

    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/bicc-iam-app-1.log")));
    QVERIFY(w.openThroughMenu(log));
    QVERIFY(w.report().empty());  // the new, empty report replaces the previous one
    QCOMPARE(w.status(), QString::fromStdString(truno::summaryText(summary)));
    QVERIFY(w.status().endsWith(QString::fromStdString(summary.whyNothing)));
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + log);
}

void MainWindowTest::busyPointerRestoredAfterFailingMessages() {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("failing.log"));
    // Too short for a type code; lower-case hex; then a good release complete.
    writeFile(log, std::string(kHeader) + message("10:00:00.1", "01  00  00  00") +
                       message("10:00:00.2", "01  00  00  00  10  0a") +
                       message("10:00:00.3", "01  00  00  00  10  00"));
    truno::RunSummary summary;
    const std::string expected = toolReport(log, &summary);
    QCOMPARE(summary.found, std::uint64_t{3});
    QVERIFY(summary.notDecoded >= 1);

    WindowFixture w;
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.form.openFile(log);
    QVERIFY(w.form.isRunning());
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QVERIFY(ended.wait(20000));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(w.report() == expected);
    QVERIFY(w.report().find("*** MESSAGE NOT DECODED ***") != std::string::npos);
    QCOMPARE(w.status(), QString::fromStdString(truno::summaryText(summary)));
    QVERIFY(w.status().contains(QStringLiteral(" not decoded")));
}

void MainWindowTest::runShowsRecordsWhileReadingAndCanBeCancelled() {
    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/isup-m3ua-call-6.log")));
    const std::string report = w.report();
    const QString caption = w.form.windowTitle();
    const QString status = w.status();

    // A pipe fed with call after call that never ends: the run cannot finish by itself, so
    // what is seen is what a long run shows while it reads.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("live.log"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    PipeFeeder feeder(fifo, readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    QVERIFY(feeder.isOpen());

    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.script.filesToChoose.push_back(fifo);
    w.action("openAction")->trigger();
    QVERIFY(w.form.isRunning());
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + fifo);
    // Records appear while the run goes on.
    QTRY_VERIFY_WITH_TIMEOUT(w.form.reportView()->document().lineCount() > 100, 10000);
    QVERIFY(w.form.isRunning());
    QCOMPARE(ended.count(), 0);
    QVERIFY(w.report().rfind("###", 0) == 0);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    auto* cancel = w.form.findChild<QPushButton*>(QStringLiteral("runCancel"));
    QVERIFY(cancel->isVisibleTo(&w.form));
    QVERIFY(w.form.findChild<QProgressBar*>(QStringLiteral("runProgress"))->isVisibleTo(&w.form));
    QVERIFY(!w.action("openAction")->isEnabled());

    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!w.form.isRunning());
    QVERIFY(w.report() == report);
    QCOMPARE(w.form.windowTitle(), caption);
    QVERIFY(w.status() != status && w.status().contains(QStringLiteral("cancelled")));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(!cancel->isVisibleTo(&w.form));
    QVERIFY(w.action("openAction")->isEnabled());
    // The decoding thread ends although the pipe is still open and silent.
    QTRY_VERIFY_WITH_TIMEOUT(w.form.isIdle(), 5000);

    feeder.stop();
    QVERIFY(w.report() == report);
}

void MainWindowTest::droppedFileIsOpened() {
    WindowFixture w;
    const QString log = sourcePath("tests/golden/isup-m2pa-call-6.log");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(log)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &enter);
    QVERIFY(enter.isAccepted());
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(ended.wait(20000));
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + log);
    QVERIFY(w.report() == toolReport(log));

    // Something that is not a local file is refused.
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/trace.log"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&w.form, &refused);
    QVERIFY(!refused.isAccepted());
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
