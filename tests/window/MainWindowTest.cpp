// The main window driven as a user would, with the dialogs answered by the test: menus,
// caption, the report shown after a run, what stays in place when a run does not complete,
// find, records, saving and printing, and what the window remembers.
#include "run/DecodeRun.h"
#include "window/report/FindBar.h"
#include "window/app/MainWindow.h"
#include "window/log/OpenedLog.h"
#include "window/views/MessageList.h"
#include "window/log/ReportDocument.h"
#include "window/report/ReportView.h"
#include "WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTableView>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using truno::window::MainWindow;

using namespace window_tests;

namespace {

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

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
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
    void openedLogIsSwappedWhole();
    void busyPointerRestoredAfterFailingMessages();
    void runShowsRecordsWhileReadingAndCanBeCancelled();
    void droppedFileIsOpened();
    void findInTheReport_data();
    void findInTheReport();
    void recordsOfADamagedLog();
    void saveAsWritesTheReportsBytes();
    void printAndPdfTakeThePagesSaid();
    void severalFilesAreReadAsOneLog();
    void recentFilesReloadAndWindowSizeAreRemembered();
    void isupModeReadsTheLogAgainAndIsRemembered();
};

void MainWindowTest::initTestCase() {
    // Settings go to a place of the tests' own, never to the user's.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
}

void MainWindowTest::init() { QSettings().clear(); }

void MainWindowTest::menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Open") << "openAction" << "&Open" << QKeySequence(QStringLiteral("Ctrl+O")) << true;
    QTest::newRow("Reload") << "reloadAction" << "&Reload" << QKeySequence(QStringLiteral("F5")) << false;
    QTest::newRow("Follow") << "followAction" << "Fo&llow..." << QKeySequence(QStringLiteral("Ctrl+Shift+O")) << true;
    QTest::newRow("Stop Following") << "stopFollowingAction" << "S&top Following" << QKeySequence() << false;
    QTest::newRow("Following Limit") << "followingLimitAction" << "Following &Limit..." << QKeySequence() << true;
    QTest::newRow("Open Traces") << "openTracesAction" << "Open &Traces of a Network..." << QKeySequence(QStringLiteral("Ctrl+Shift+N")) << true;
    QTest::newRow("Save As") << "saveAsAction" << "Save &As..." << QKeySequence() << false;
    QTest::newRow("Print") << "printAction" << "&Print..." << QKeySequence(QStringLiteral("Ctrl+P")) << false;
    QTest::newRow("Export PDF") << "exportPdfAction" << "&Export PDF..." << QKeySequence() << false;
    QTest::newRow("Exit") << "exitAction" << "E&xit" << QKeySequence(Qt::CTRL | Qt::Key_Q) << true;
    QTest::newRow("Find") << "findAction" << "&Find..." << QKeySequence(QStringLiteral("Ctrl+F")) << true;
    QTest::newRow("Find Next") << "findNextAction" << "Find &Next" << QKeySequence(QStringLiteral("F3")) << true;
    QTest::newRow("Find Previous") << "findPreviousAction" << "Find Pre&vious" << QKeySequence(QStringLiteral("Shift+F3")) << true;
    QTest::newRow("Go to Record") << "goToRecordAction" << "&Go to Record..." << QKeySequence(QStringLiteral("Ctrl+G")) << true;
    QTest::newRow("Next Not Decoded") << "nextNotDecodedAction" << "&Next Not Decoded" << QKeySequence(QStringLiteral("F8")) << true;
    QTest::newRow("Previous Not Decoded") << "previousNotDecodedAction" << "&Previous Not Decoded" << QKeySequence(QStringLiteral("Shift+F8")) << true;
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

    // The menu bar holds File, Edit, View, Go and Help in that order; File keeps Open, Save As,
    // Print, the separator and Exit in their order, with the new items among them.
    const QList<QAction*> bar = w.form.menuBar()->actions();
    QStringList menus;
    for (QAction* a : bar) menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Go", "&Help"}));
    QCOMPARE(bar[0]->menu()->objectName(), QStringLiteral("fileMenu"));
    QStringList fileItems;
    for (QAction* a : bar[0]->menu()->actions())
        fileItems << (a->isSeparator() ? "-" : a->menu() != nullptr ? a->menu()->objectName() : a->objectName());
    QCOMPARE(fileItems, (QStringList{"openAction", "recentMenu", "reloadAction", "followAction", "stopFollowingAction",
                                     "followingLimitAction", "openTracesAction", "saveAsAction", "exportMenu", "printAction", "exportPdfAction", "-", "exitAction"}));
    QCOMPARE(bar[4]->menu()->objectName(), QStringLiteral("Help"));
    QCOMPARE(bar[4]->menu()->actions().size(), 1);
    QVERIFY(bar[4]->menu()->actions().front() == w.action("aboutAction"));
}

void MainWindowTest::captionAndAbout() {
    WindowFixture w;
    QCOMPARE(w.form.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(w.form.reportView()->objectName(), QStringLiteral("reportView"));
    // The version is the build's; the banner shows its major and minor numbers, then the
    // maker and the date, and seven blanks.
    const QString version = QStringLiteral(TRUNO_EXPECTED_VERSION);
    QCOMPARE(MainWindow::versionNumber(), version);
    QCOMPARE(MainWindow::programVersion(), QStringLiteral("TRUNO Decoder v%1 - (by the TRUNO Decoder project - 06/06/2006)       ")
                                               .arg(version.section(QLatin1Char('.'), 0, 1)));
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion());
    QVERIFY(w.report().empty());

    // Three lines: program and version, what it does, where its documentation is; no address
    // or number that leads nowhere.
    w.action("aboutAction")->trigger();
    QCOMPARE(w.script.information.size(), 1);
    const QStringList lines = w.script.information.front().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("TRUNO Decoder ") + version);
    QVERIFY(lines[1].contains(QStringLiteral("trace logs")));
    // The folder named is there (installed, or the source tree's for a build not installed).
    const QString folder = lines[2].section(QStringLiteral("Documentation: "), 1).section(QStringLiteral(" and the manual"), 0, 0);
    QVERIFY2(QFileInfo(folder + QStringLiteral("/json.md")).isFile(), qPrintable(folder));
    for (const QString& line : lines)
        QVERIFY2(!line.contains(QStringLiteral("example.org")) && !line.contains(QStringLiteral("Phone")), qPrintable(line));
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
    // Ctrl+Shift+F lands in the filter's expression box, the filter language's; Ctrl+F in Find's.
    const struct {
        Qt::KeyboardModifiers modifiers;
        const char* box;
    } finds[] = {{Qt::ControlModifier | Qt::ShiftModifier, "filterExpression"}, {Qt::ControlModifier, "findText"}};
    for (const auto& find : finds) {
        QTest::keyClick(&w.form, Qt::Key_F, find.modifiers);
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(find.box));
    }
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
    // The real captures with ISUP or BICC open as the logs of their messages do.
    const QDir captures(sourcePath("tests/captures"));
    for (const QString& capture : captures.entryList({QStringLiteral("isup-*"), QStringLiteral("bicc-*")}, QDir::Files))
        QTest::newRow(qPrintable(capture)) << captures.absoluteFilePath(capture);
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
    // Every record and every not-decoded one is found in the report's lines.
    QCOMPARE(w.form.records().recordCount(), summary.found);
    QCOMPARE(w.form.records().notDecodedCount(), summary.notDecoded);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    for (const char* name : {"saveAsAction", "printAction", "exportPdfAction", "reloadAction", "openAction"})
        QVERIFY2(w.action(name)->isEnabled(), name);
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
    const std::string report = w.report();
    const QString caption = w.form.windowTitle();
    const QString status = w.status();
    QVERIFY(w.openThroughMenu(log));
    // The report shown before stays, as after Cancel, and a message box says why.
    QVERIFY(w.report() == report);
    QCOMPARE(w.form.windowTitle(), caption);
    QCOMPARE(w.status(), status);
    QCOMPARE(w.form.records().recordCount(), std::uint64_t{1});
    QCOMPARE(w.script.errors.size(), 1);
    QVERIFY2(w.script.errors.front().contains(QString::fromStdString(summary.whyNothing)), qPrintable(w.script.errors.front()));
    QVERIFY(w.script.errors.front().contains(log));
    QVERIFY(w.action("saveAsAction")->isEnabled());
}

void MainWindowTest::openedLogIsSwappedWhole() {
    using truno::window::OpenedLog;
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("no-header.log"));
    writeFile(empty, message("10:00:00.1", "01  00  00  00  10  00"));
    const QString first = sourcePath("tests/golden/isup-m3ua-call-6.log");
    const QString second = sourcePath("tests/golden/bicc-iam-app-1.log");

    WindowFixture w;
    QCOMPARE(OpenedLog::liveCount(), std::size_t{1});
    QVERIFY(w.openThroughMenu(first));
    const OpenedLog* shown = &w.form.log();
    const std::string report = w.report();
    QCOMPARE(OpenedLog::liveCount(), std::size_t{1});

    // A log with nothing in it: its run's log goes, the one shown stays the very same object.
    QVERIFY(w.openThroughMenu(empty));
    QCOMPARE(&w.form.log(), shown);
    QCOMPARE(OpenedLog::liveCount(), std::size_t{1});

    // Another log, then Reload: each time the log shown before is freed once the run is over.
    QVERIFY(w.openThroughMenu(second));
    QVERIFY(&w.form.log() != shown);
    QCOMPARE(w.form.log().path, second);
    QCOMPARE(OpenedLog::liveCount(), std::size_t{1});
    const std::string secondReport = w.report();
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.action("reloadAction")->trigger();
    QCOMPARE(OpenedLog::liveCount(), std::size_t{2});
    QVERIFY(ended.wait(20000));
    QCOMPARE(OpenedLog::liveCount(), std::size_t{1});
    QCOMPARE(w.form.log().path, second);
    QVERIFY(w.report() == secondReport);
    QCOMPARE(w.form.log().store.size(), std::size_t{1});
    QVERIFY(report != secondReport);
    // The list's row header, renewed with each log so that it lets go of the rows of the last,
    // stays hidden with rows of one fixed height, and the list keeps its rows.
    const QHeaderView* rows = w.form.messageList()->verticalHeader();
    QVERIFY(rows->isHidden());
    QCOMPARE(rows->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(rows->defaultSectionSize(), w.form.messageList()->fontMetrics().height() + 4);
    QTRY_COMPARE(w.form.messageList()->model()->rowCount(), 1);
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
    const QString counts = w.form.findChild<QLabel*>(QStringLiteral("countsText"))->text();
    QVERIFY(counts.startsWith(QStringLiteral("Found ")));

    // A pipe fed with call after call that never ends: the run cannot finish by itself, so
    // what is seen is what a long run shows while it reads.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("live.log"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    PipeFeeder feeder(fifo, readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    QVERIFY(feeder.isOpen());

    const truno::window::OpenedLog* shown = &w.form.log();
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.script.filesToChoose.push_back(fifo);
    w.action("openAction")->trigger();
    QVERIFY(w.form.isRunning());
    // The run fills a log of its own; the one shown before is kept aside meanwhile.
    QVERIFY(&w.form.log() != shown);
    QCOMPARE(truno::window::OpenedLog::liveCount(), std::size_t{2});
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
    QCOMPARE(&w.form.log(), shown);
    QCOMPARE(truno::window::OpenedLog::liveCount(), std::size_t{1});
    QVERIFY(w.report() == report);
    QCOMPARE(w.form.windowTitle(), caption);
    // The status keeps the previous run's counts; the cancel is told in passing.
    QCOMPARE(w.status(), status);
    QCOMPARE(w.form.findChild<QLabel*>(QStringLiteral("countsText"))->text(), counts);
    QTRY_COMPARE(w.form.messageModel()->rowCount(), static_cast<int>(w.form.records().recordCount()));
    QVERIFY(w.message().contains(QStringLiteral("cancelled")));
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

    // A capture dropped opens as well.
    QTRY_VERIFY(w.form.isIdle());
    const QString capture = sourcePath("tests/captures/isup-m2pa-call-6.pcap");
    QMimeData captureMime;
    captureMime.setUrls({QUrl::fromLocalFile(capture)});
    QDragEnterEvent captureEnter(QPoint(10, 10), Qt::CopyAction, &captureMime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &captureEnter);
    QVERIFY(captureEnter.isAccepted());
    QDropEvent captureDrop(QPointF(10, 10), Qt::CopyAction, &captureMime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &captureDrop);
    QVERIFY(captureDrop.isAccepted());
    QVERIFY(ended.wait(20000));
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + capture);
    const std::string captureReport = toolReport(capture);
    QVERIFY(!captureReport.empty() && w.report() == captureReport);

    // Something that is not a local file is refused.
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/trace.log"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&w.form, &refused);
    QVERIFY(!refused.isAccepted());
}

namespace {

// Offsets of every match of `needle` in `report` (letters A to Z in either case without
// `matchCase`).
std::vector<std::size_t> matchesOf(std::string report, std::string needle, bool matchCase) {
    if (!matchCase) {
        for (std::string* t : {&report, &needle})
            for (char& c : *t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::vector<std::size_t> offsets;
    for (std::size_t at = report.find(needle); at != std::string::npos; at = report.find(needle, at + 1))
        offsets.push_back(at);
    return offsets;
}

// Report line of each record's banner, by record number (index 0 unused).
std::vector<std::size_t> bannerLines(const std::string& report) {
    std::vector<std::size_t> lines{0};
    std::size_t line = 0;
    for (std::size_t at = 0; at < report.size(); ++line) {
        if (report.compare(at, 7, "RECORD ") == 0) lines.push_back(line);
        const std::size_t lf = report.find('\n', at);
        if (lf == std::string::npos) break;
        at = lf + 1;
    }
    return lines;
}

int pdfPages(const QString& path) {
    const std::string pdf = readBytes(path);
    if (pdf.rfind("%PDF", 0) != 0) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size())).count(page));
}

}  // namespace

void MainWindowTest::findInTheReport_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::newRow("upper case, match case") << QStringLiteral("RELEASE COMPLETE") << true;
    QTest::newRow("lower case, any case") << QStringLiteral("release complete") << false;
    QTest::newRow("lower case, match case: none") << QStringLiteral("release complete") << true;
    QTest::newRow("mixed case, any case") << QStringLiteral("cause VALUE") << false;
    QTest::newRow("parenthesis, any case") << QStringLiteral("(anm)") << false;
}

void MainWindowTest::findInTheReport() {
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    const std::vector<std::size_t> expected = matchesOf(w.report(), needle.toStdString(), matchCase);
    truno::window::FindBar* bar = w.form.findBar();
    truno::window::ReportView* view = w.form.reportView();
    auto* text = bar->findChild<QLineEdit*>(QStringLiteral("findText"));
    auto* status = bar->findChild<QLabel*>(QStringLiteral("findStatus"));

    QTest::keyClick(&w.form, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible() && text->hasFocus());
    bar->findChild<QCheckBox*>(QStringLiteral("matchCase"))->setChecked(matchCase);
    QTest::keyClicks(text, needle);  // found as it is typed, from the top
    QTRY_VERIFY(!bar->isSearching());
    if (expected.empty()) {
        QVERIFY(!view->hasSelection());
        QCOMPARE(status->text(), QStringLiteral("No match"));
        return;
    }
    QVERIFY(expected.size() >= 3);
    // Where the selection starts in the report; -1 when it does not hold the text.
    const auto selected = [&]() -> qint64 {
        if (view->selectedText().compare(needle, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) != 0) return -1;
        return static_cast<qint64>(view->offsetOf(view->selectionStart()));
    };
    QCOMPARE(selected(), static_cast<qint64>(expected[0]));
    // F3 and Shift+F3 step through the matches, and go on round the ends of the report.
    const struct {
        Qt::KeyboardModifier modifier;
        std::size_t match;
    } steps[] = {{Qt::NoModifier, 1},    {Qt::NoModifier, 2},
                 {Qt::ShiftModifier, 1}, {Qt::ShiftModifier, 0},
                 {Qt::ShiftModifier, expected.size() - 1}, {Qt::NoModifier, 0}};
    for (const auto& step : steps) {
        QTest::keyClick(&w.form, Qt::Key_F3, step.modifier);
        QTRY_VERIFY(!bar->isSearching());
        QCOMPARE(selected(), static_cast<qint64>(expected[step.match]));
        // The match is on screen.
        QVERIFY(view->selectionStart().line >= view->firstVisibleLine());
        QVERIFY(view->selectionStart().line < view->firstVisibleLine() + static_cast<std::size_t>(view->viewport()->height() / view->lineHeight()));
    }
    QCOMPARE(status->text(), QStringLiteral("Went on from the start of the report"));
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
}

void MainWindowTest::recordsOfADamagedLog() {
    // The real capture with two messages cut after their first four octets, before the type code.
    std::string log = readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log"));
    std::vector<std::size_t> messages;
    for (std::size_t at = log.find("TIME        MSG"); at != std::string::npos; at = log.find("TIME        MSG", at + 1))
        messages.push_back(at);
    QCOMPARE(messages.size(), std::size_t{470});
    for (const std::size_t k : {std::size_t{300}, std::size_t{6}}) {
        const std::size_t firstOctets = log.find("\r\n", log.find("\r\n", messages[k]) + 2);
        log.erase(firstOctets, log.find("\r\n\r\n", firstOctets) - firstOctets);
    }
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("damaged.log"));
    writeFile(damaged, log);
    truno::RunSummary summary;
    const std::string report = toolReport(damaged, &summary);
    QCOMPARE(summary.notDecoded, std::uint64_t{2});
    const std::vector<std::size_t> banners = bannerLines(report);
    QCOMPARE(banners.size(), std::size_t{471});
    std::vector<std::uint64_t> notDecoded;
    for (std::uint64_t r = 1; r <= 470; ++r) {
        const std::size_t from = report.find("RECORD " + std::to_string(r) + " ");
        const std::size_t to = r < 470 ? report.find("RECORD " + std::to_string(r + 1) + " ") : report.size();
        const std::size_t mark = report.find("*** MESSAGE NOT DECODED ***", from);
        if (mark < to) notDecoded.push_back(r);
    }
    QCOMPARE(notDecoded.size(), std::size_t{2});

    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    QVERIFY(w.openThroughMenu(damaged));
    QCOMPARE(w.form.records().recordCount(), std::uint64_t{470});
    truno::window::ReportView* view = w.form.reportView();

    // Ctrl+G: the record's banner line, with one line of context above it.
    w.script.record = 250;
    QTest::keyClick(&w.form, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.selectedLine(), banners[250]);
    QCOMPARE(view->firstVisibleLine(), banners[250] - 1);
    QVERIFY(view->selectedText().startsWith(QStringLiteral("RECORD 250     TIME=")));

    // F8 and Shift+F8, from the top.
    view->showLine(0);
    const struct {
        Qt::KeyboardModifier modifier;
        std::size_t line;       // where the selection is after the key
        const char* message;    // what the status bar says
    } steps[] = {
        {Qt::NoModifier, banners[notDecoded[0]], "was not decoded"},
        {Qt::NoModifier, banners[notDecoded[1]], "was not decoded"},
        {Qt::NoModifier, banners[notDecoded[1]], "No record after"},
        {Qt::ShiftModifier, banners[notDecoded[0]], "was not decoded"},
        {Qt::ShiftModifier, banners[notDecoded[0]], "No record before"},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&w.form, Qt::Key_F8, step.modifier);
        QCOMPARE(w.selectedLine(), step.line);
        QVERIFY2(w.message().contains(QString::fromLatin1(step.message)), qPrintable(w.message()));
    }
}

void MainWindowTest::saveAsWritesTheReportsBytes() {
    QTemporaryDir dir;
    WindowFixture w;
    const QString log = sourcePath("tests/golden/isup-m3ua-calls-470.log");
    QVERIFY(w.openThroughMenu(log));
    QSignalSpy ended(&w.form, &MainWindow::taskEnded);

    w.script.fileToSave = dir.filePath(QStringLiteral("saved.txt"));
    w.action("saveAsAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(20000));
    QVERIFY(w.script.suggestedSave.endsWith(QStringLiteral("/isup-m3ua-calls-470-report.txt")));
    // The command-line tool's report with --crlf, byte for byte.
    QVERIFY(readBytes(w.script.fileToSave) == readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.expected")));
    QVERIFY(w.message().contains(w.script.fileToSave));
    QVERIFY(w.script.errors.isEmpty());
    QTRY_VERIFY(w.form.isIdle());

    // A file that cannot be written is named, with the reason.
    w.script.fileToSave = dir.filePath(QStringLiteral("no-such-folder/saved.txt"));
    w.action("saveAsAction")->trigger();
    QVERIFY(ended.count() > 1 || ended.wait(20000));
    QCOMPARE(w.script.errors.size(), 1);
    QVERIFY(w.script.errors.front().contains(w.script.fileToSave));
}

void MainWindowTest::printAndPdfTakeThePagesSaid() {
    QTemporaryDir dir;
    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/isup-m3ua-call-6.log")));
    QSignalSpy ended(&w.form, &MainWindow::taskEnded);

    // Print: the dialog is told the page count, and the print has that many pages.
    w.script.printToPdf = dir.filePath(QStringLiteral("printed.pdf"));
    w.action("printAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(20000));
    QVERIFY(w.script.printPages > 1);
    QCOMPARE(pdfPages(w.script.printToPdf), static_cast<int>(w.script.printPages));

    // Export PDF: the same pages.
    w.script.fileToSave = dir.filePath(QStringLiteral("exported.pdf"));
    w.action("exportPdfAction")->trigger();
    QVERIFY(ended.count() > 1 || ended.wait(20000));
    QVERIFY(w.script.suggestedSave.endsWith(QStringLiteral("/isup-m3ua-call-6-report.pdf")));
    QVERIFY2(w.script.errors.isEmpty(), qPrintable(w.script.errors.join(QLatin1Char('|'))));
    QVERIFY2(QFileInfo::exists(w.script.fileToSave), qPrintable(w.message()));
    QCOMPARE(pdfPages(w.script.fileToSave), static_cast<int>(w.script.printPages));
    QVERIFY(w.message().contains(QString::number(w.script.printPages) + QStringLiteral(" pages")));
    QVERIFY(w.script.errors.isEmpty());
}

void MainWindowTest::severalFilesAreReadAsOneLog() {
    // The capture as a log rotated between records 201 and 202, in the middle of the call on
    // code 57 (its ACM in the older part, its ANM in the newer).
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("calls.log.1"));
    const QString newer = dir.filePath(QStringLiteral("calls.log"));
    writeRotated(sourcePath("tests/golden/isup-m3ua-calls-470.log"), 201, older, newer);
    QProcess tool;
    tool.start(QStringLiteral(TRUNO_DECODE), {QStringLiteral("-q"), QStringLiteral("--crlf"), QStringLiteral("--merge"), older, newer});
    QVERIFY(tool.waitForFinished(60000));
    const QByteArray merged = tool.readAllStandardOutput();
    QVERIFY(!merged.isEmpty());

    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    const std::size_t wholeCalls = w.form.messages().calls().size();
    QVERIFY(w.form.log().health != nullptr);
    const truno::KpiSet whole = w.form.log().health->kpis().total();

    // Given on the command line: one report, as the tool's --merge writes it, one store and one
    // set of calls and KPIs across both files.
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.form.openFiles({older, newer});
    QVERIFY(ended.wait(20000));
    QVERIFY(w.report() == merged.toStdString());
    QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + older + QStringLiteral(" + 1 file"));
    QCOMPARE(w.form.records().recordCount(), std::uint64_t{470});
    const std::optional<std::size_t> banner = w.form.records().bannerLine(202);
    QVERIFY(banner && w.form.reportView()->document().line(*banner).starts_with("RECORD 202 "));
    QCOMPARE(w.form.messages().calls().size(), wholeCalls);
    const auto& calls = w.form.messages().calls();
    QVERIFY(std::any_of(calls.begin(), calls.end(), [](const auto& c) { return c.firstRecord <= 201 && c.lastRecord > 201; }));
    QVERIFY(w.form.log().health != nullptr);
    QCOMPARE(w.form.log().health->kpis().total().seizures, whole.seizures);
    QCOMPARE(w.form.log().health->kpis().total().answered, whole.answered);

    // Each record keeps its file: the status bar names it when its row is chosen.
    QCOMPARE(w.form.log().fileOf(201), older);
    QCOMPARE(w.form.log().fileOf(202), newer);
    QTRY_VERIFY(w.form.filterSettled());
    const std::optional<int> row = w.form.messageModel()->rowOf(201);
    QVERIFY(row.has_value());
    w.form.messageList()->setCurrentIndex(w.form.messageModel()->index(*row, 0));
    QVERIFY2(w.message().startsWith(QStringLiteral("Record 202: calls.log, line 5")), qPrintable(w.message()));

    // Reload reads both again; dropped together in the wrong order, they are put in time order.
    w.action("reloadAction")->trigger();
    QVERIFY(ended.wait(20000));
    QVERIFY(w.report() == merged.toStdString());
    QCOMPARE(w.form.log().files, QStringList({older, newer}));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(newer), QUrl::fromLocalFile(older)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(ended.wait(20000));
    QVERIFY(w.report() == merged.toStdString());
    QCOMPARE(w.form.log().files, QStringList({older, newer}));

    // Files of two switches: each message keeps its own, as the window's exports name it.
    const QString east = dir.filePath(QStringLiteral("east.log"));
    const QString west = dir.filePath(QStringLiteral("west.log"));
    writeRotated(sourcePath("tests/golden/isup-m3ua-calls-470.log"), 201, east, west);
    w.form.openFiles({east, west});
    QVERIFY(ended.wait(20000));
    const truno::MessageStore& store = w.form.messages();
    QCOMPARE(store.size(), std::size_t{470});
    QVERIFY(store.switchNameOf(200) == "east" && store.switchNameOf(201) == "west");
    QVERIFY(w.script.errors.isEmpty() && w.script.information.isEmpty());
}

void MainWindowTest::recentFilesReloadAndWindowSizeAreRemembered() {
    QTemporaryDir dir;
    const std::string logA = readBytes(sourcePath("tests/golden/isup-m3ua-call-6.log"));
    const std::string logB = readBytes(sourcePath("tests/golden/bicc-iam-app-1.log"));
    std::vector<QString> logs;
    for (int k = 0; k < 11; ++k) {
        logs.push_back(dir.filePath(QStringLiteral("log%1.log").arg(k)));
        writeFile(logs.back(), logA);
    }
    {
        WindowFixture w;
        for (const QString& log : logs) QVERIFY(w.openThroughMenu(log));
        // The last ten, newest first; the Open dialog starts in the last log's folder.
        auto* recent = w.form.findChild<QMenu*>(QStringLiteral("recentMenu"));
        QStringList listed;
        for (QAction* a : recent->actions())
            if (!a->data().toString().isEmpty()) listed << a->data().toString();
        QCOMPARE(listed.size(), MainWindow::kRecentFiles);
        QCOMPARE(listed.front(), logs[10]);
        QCOMPARE(listed.back(), logs[1]);
        QCOMPARE(w.script.openFolder, dir.path());

        // An entry of the list opens its log; F5 reads it again as it is now.
        QSignalSpy ended(&w.form, &MainWindow::runEnded);
        recent->actions()[3]->trigger();
        QVERIFY(ended.wait(20000));
        QCOMPARE(w.form.windowTitle(), MainWindow::programVersion() + QStringLiteral(" - ") + logs[7]);
        writeFile(logs[7], logB);
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(&w.form, Qt::Key_F5);
        QVERIFY(ended.count() > 1 || ended.wait(20000));
        QVERIFY(w.report() == toolReport(logs[7]));
        QCOMPARE(w.form.records().recordCount(), std::uint64_t{1});

        w.form.resize(820, 610);
        w.form.close();
    }
    WindowFixture again;
    QCOMPARE(again.form.size(), QSize(820, 610));
    QCOMPARE(again.form.findChild<QMenu*>(QStringLiteral("recentMenu"))->actions().front()->data().toString(), logs[7]);
}

void MainWindowTest::isupModeReadsTheLogAgainAndIsRemembered() {
    // A real ISUP capture in the two-octet form: the two 00 octets after its circuit code dropped.
    QTemporaryDir dir;
    std::string log = readBytes(sourcePath("tests/golden/isup-m2pa-call-6.log"));
    for (std::size_t at = 0; (at = log.find("    0F  00  00  00\r\n", at)) != std::string::npos;)
        log.replace(at, 18, "    0F  00");
    const QString path = dir.filePath(QStringLiteral("isup.log"));
    writeFile(path, log);
    const auto modeText = [](const WindowFixture& w) { return w.form.findChild<QLabel*>(QStringLiteral("modeText"))->text(); };
    {
        WindowFixture w;
        QVERIFY(modeText(w).startsWith(QStringLiteral("BICC")));
        QVERIFY(w.openThroughMenu(path));
        QCOMPARE(w.form.records().notDecodedCount(), std::uint64_t{4});
        QVERIFY2(w.status().contains(QStringLiteral("--cic-octets 2")), qPrintable(w.status()));

        // The setting reads the log shown again, now as ISUP: every message decoded.
        QSignalSpy ended(&w.form, &MainWindow::runEnded);
        w.action("isupModeAction")->trigger();
        QVERIFY(ended.wait(20000));
        truno::RunSummary summary;
        QVERIFY(w.report() == toolReport(path, &summary, 2));
        QCOMPARE(summary.notDecoded, std::uint64_t{0});
        QCOMPARE(w.form.records().notDecodedCount(), std::uint64_t{0});
        QVERIFY(w.report().find("CIRCUIT IDENTIFICATION CODE (CIC)...........=15\r\n") != std::string::npos);
        QVERIFY(modeText(w).startsWith(QStringLiteral("ISUP")));
        QTRY_VERIFY(w.form.isIdle());
    }
    WindowFixture again;
    QVERIFY(again.action("isupModeAction")->isChecked());
    QVERIFY(modeText(again).startsWith(QStringLiteral("ISUP")));
    QVERIFY(again.openThroughMenu(path));
    QCOMPARE(again.form.records().notDecodedCount(), std::uint64_t{0});
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
