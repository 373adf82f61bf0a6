// File > Follow on a log that grows while the window reads it: the messages appended show in the
// list as they come, and stopping ends the run as any run ends, with one record per message.
#include "window/views/MessageList.h"
#include "WindowFixture.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

using namespace window_tests;

namespace {

// A capture's column header block (its first three lines) and its messages, each with the blank
// line that ends it.
struct SplitCapture {
    std::string header;
    std::vector<std::string> messages;
};

SplitCapture splitCapture(const std::string& bytes) {
    SplitCapture split;
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) at = bytes.find('\n', at) + 1;
    split.header = bytes.substr(0, at);
    while (at < bytes.size()) {
        std::size_t end = bytes.find("\r\n\r\n", at);
        end = end == std::string::npos ? bytes.size() : end + 4;
        split.messages.push_back(bytes.substr(at, end - at));
        at = end;
    }
    return split;
}

void append(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::app);
    out << bytes;
}

}  // namespace

class FollowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void appendedMessagesShowUntilStopped();
    void openingAnotherLogEndsTheFollowing();
};

void FollowTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
    QSettings().clear();
}

void FollowTest::appendedMessagesShowUntilStopped() {
    const SplitCapture capture = splitCapture(readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    QVERIFY(capture.messages.size() > 5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    writeFile(path, capture.header);

    WindowFixture w;
    w.script.filesToChoose.push_back(path);
    w.action("followAction")->trigger();
    QVERIFY(w.form.isFollowing());
    QVERIFY(w.action("stopFollowingAction")->isEnabled());
    QVERIFY(w.action("openAction")->isEnabled());

    append(path, capture.messages[0] + capture.messages[1]);
    QTRY_COMPARE_WITH_TIMEOUT(w.form.messageModel()->rowCount(), 2, 5000);
    QCOMPARE(w.status(), QStringLiteral("Following trace.log: 2 messages"));
    append(path, capture.messages[2] + capture.messages[3] + capture.messages[4]);
    QTRY_COMPARE_WITH_TIMEOUT(w.form.messageModel()->rowCount(), 5, 5000);
    QVERIFY(w.form.isFollowing());

    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.action("stopFollowingAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(5000));
    QVERIFY(!w.form.isRunning());
    QVERIFY(w.script.errors.isEmpty());
    QCOMPARE(w.form.messages().size(), std::size_t{5});
    QCOMPARE(w.form.records().recordCount(), std::uint64_t{5});
    // The report is the one of the same bytes read whole.
    QVERIFY(w.report() == toolReport(path));
}

void FollowTest::openingAnotherLogEndsTheFollowing() {
    const QString capturePath = sourcePath("tests/golden/isup-m3ua-calls-470.log");
    const SplitCapture capture = splitCapture(readBytes(capturePath));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    writeFile(path, capture.header + capture.messages[0]);

    WindowFixture w;
    w.form.followFile(path);
    QTRY_COMPARE_WITH_TIMEOUT(w.form.messageModel()->rowCount(), 1, 5000);
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    QVERIFY(w.openThroughMenu(capturePath));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 20000);  // the followed run, then the other
    QVERIFY(!w.form.isRunning());
    QVERIFY(w.script.errors.isEmpty());
    QVERIFY(w.report() == toolReport(capturePath));
}

QTEST_MAIN(FollowTest)
#include "FollowTest.moc"
