// File > Follow on a log that grows while the window reads it: the messages appended show in the
// list as they come, and stopping ends the run as any run ends, with one record per message; with
// a limit, the list, the report and the calls keep the last messages only.
#include "window/views/CallsView.h"
#include "window/views/HealthTables.h"
#include "window/views/HealthView.h"
#include "window/views/MessageList.h"
#include "window/views/StatisticsView.h"
#include "WindowFixture.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QTableWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <string>
#include <vector>

using namespace window_tests;
using truno::window::HealthPane;

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
    void aLimitKeepsTheLastMessages();
    void statisticsAndHealthGrowWhileFollowing();
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

namespace {

// The report text from record `record`'s opening rule on.
std::string reportFrom(const std::string& report, std::uint64_t record) {
    const std::size_t banner = report.find("\nRECORD " + std::to_string(record) + " ");
    return banner == std::string::npos ? std::string() : report.substr(report.rfind('\n', banner - 1) + 1);
}

}  // namespace

void FollowTest::aLimitKeepsTheLastMessages() {
    using truno::window::MessageLimit;
    using truno::window::MessageListModel;
    const SplitCapture capture = splitCapture(readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    const std::size_t total = capture.messages.size();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    writeFile(path, capture.header);

    constexpr std::uint64_t kKeep = 40;
    WindowFixture w;
    w.script.messageLimit = MessageLimit{.on = true, .count = kKeep};
    w.action("followingLimitAction")->trigger();
    QCOMPARE(QSettings().value(QStringLiteral("follow/keepLastCount")).toULongLong(), kKeep);
    QVERIFY(QSettings().value(QStringLiteral("follow/keepLast")).toBool());
    w.form.followFile(path);

    const MessageListModel& model = *w.form.messageModel();
    QTableView* list = w.form.messageList();
    std::size_t next = 0;
    // Appends messages up to `end`, waits for the list to show them, and checks that it holds the
    // last ones with their own record numbers, no more than the limit and an eighth of it, as the
    // store, the record index and the report do.
    const auto appendUpTo = [&](std::size_t end) {
        std::string bytes;
        while (next < end) bytes += capture.messages[next++];
        append(path, bytes);
        QTRY_COMPARE_WITH_TIMEOUT(w.form.log().messagesRead(), std::uint64_t{end}, 10000);
        QTRY_VERIFY(w.form.filterSettled() && model.rowCount() == static_cast<int>(w.form.log().admitted));
        const auto rows = static_cast<std::uint64_t>(model.rowCount());
        QVERIFY2(rows >= kKeep && rows <= kKeep + kKeep / 8, qPrintable(QString::number(rows)));
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.data(model.index(row, MessageListModel::RecordColumn), Qt::DisplayRole).toULongLong(),
                     end - rows + 1 + static_cast<std::uint64_t>(row));
        QCOMPARE(w.form.messages().size(), rows);
        QCOMPARE(w.form.records().recordCount(), rows);
        QCOMPARE(w.form.records().firstRecord(), end - rows + 1);
        for (const std::uint64_t record : {end - rows + 1, end}) {
            const std::optional<std::size_t> banner = w.form.records().bannerLine(record);
            QVERIFY(banner && w.form.reportView()->document().line(*banner).starts_with("RECORD " + std::to_string(record) + " "));
        }
        // The report shows the kept records from the first one's opening rule, as the tool writes them.
        const std::string held = w.report();
        const std::string expected = reportFrom(toolReport(path), end - rows + 1);
        QVERIFY(!held.empty() && expected.compare(0, held.size(), held) == 0);
    };

    appendUpTo(100);
    if (QTest::currentTestFailed()) return;
    QVERIFY(w.status().endsWith(QStringLiteral("the last %1 kept").arg(model.rowCount())));

    // A chosen row shows its record, and stays chosen, on the same record, while it is kept.
    const int last = model.rowCount() - 1;
    list->selectionModel()->setCurrentIndex(model.index(last, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const truno::window::ReportView* view = w.form.reportView();
    QVERIFY(view->document().line(w.selectedLine()).starts_with("RECORD 100 "));
    appendUpTo(120);
    if (QTest::currentTestFailed()) return;
    QVERIFY(list->selectionModel()->hasSelection());
    QCOMPARE(w.form.messages().record(model.messageAt(list->currentIndex().row())), std::uint64_t{100});
    QVERIFY(view->document().line(w.selectedLine()).starts_with("RECORD 100 "));

    // The chosen message leaves while later ones stay: the choice goes with it, in the list and
    // in the report.
    appendUpTo(145);  // the first kept is at least record 101
    if (QTest::currentTestFailed()) return;
    QVERIFY(!list->selectionModel()->hasSelection() && !list->currentIndex().isValid());
    QVERIFY(!view->hasSelection());

    // Many more messages: the calls kept are those with a message kept.
    for (const std::size_t end : {std::size_t{250}, std::size_t{380}, total - 10}) {
        appendUpTo(end);
        if (QTest::currentTestFailed()) return;
    }
    const auto& calls = w.form.messages().calls();
    QCOMPARE(w.form.callsPane()->model()->rowCount(), static_cast<int>(calls.size()));
    for (const truno::CallRow& call : calls) QVERIFY(call.lastRecord >= w.form.records().firstRecord());
    QVERIFY(w.form.messages().droppedCalls() > 0);
    // One message at a time, until the list holds one more than the limit: fewer than an eighth
    // more stay while the log is followed.
    while (next < total && model.rowCount() != static_cast<int>(kKeep + 1)) {
        appendUpTo(next + 1);
        if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(model.rowCount(), static_cast<int>(kKeep + 1));
    const std::uint64_t read = next;

    // Once the following ends, the last messages are kept exactly; the statistics count them all.
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.action("stopFollowingAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(5000));
    QVERIFY(w.script.errors.isEmpty());
    QTRY_VERIFY(w.form.filterSettled());
    QCOMPARE(model.rowCount(), static_cast<int>(kKeep));
    QCOMPARE(model.data(model.index(0, MessageListModel::RecordColumn), Qt::DisplayRole).toULongLong(), read - kKeep + 1);
    QVERIFY(w.report() == reportFrom(toolReport(path), read - kKeep + 1));
    QCOMPARE(w.form.statistics().messages(), read);
    QVERIFY(w.form.statisticsPane()->scope().contains(QStringLiteral("keeps the last %1").arg(kKeep)));
    // The chart of messages per second is of the messages kept.
    std::uint64_t charted = 0;
    for (const auto& [second, count] : w.form.log().perSecond.seconds()) charted += count;
    QCOMPARE(charted, kKeep);
}

namespace {

QString countsText(const WindowFixture& w) { return w.form.findChild<QLabel*>(QStringLiteral("countsText"))->text(); }

// The whole log's seizures in the health tab's KPI table; -1 when it has no row.
int seizuresShown(const HealthPane& health) {
    const QTableWidgetItem* item = health.kpiTable()->item(0, HealthPane::SeizuresColumn);
    return item != nullptr ? item->text().toInt() : -1;
}

}  // namespace

void FollowTest::statisticsAndHealthGrowWhileFollowing() {
    const SplitCapture capture = splitCapture(readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    writeFile(path, capture.header);
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.form.followFile(path);
    const HealthPane& health = *w.form.healthPane();
    std::size_t next = 0;
    const auto appendUpTo = [&](std::size_t end) {
        std::string bytes;
        while (next < end) bytes += capture.messages[next++];
        append(path, bytes);
    };

    // The tabs show the counts of what was read within two seconds of its reading, while the log
    // is still followed; a tab out of sight, once chosen. (The log's first releases complete past
    // record 380.)
    QVERIFY(w.form.showTab(QStringLiteral("statistics")));
    appendUpTo(400);
    QTRY_COMPARE_WITH_TIMEOUT(w.form.log().messagesRead(), std::uint64_t{400}, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(w.form.statisticsPane()->text().startsWith(QStringLiteral("Messages: 400 ")), 2000);
    QCOMPARE(w.form.statistics().messages(), std::uint64_t{400});
    QVERIFY(w.form.isFollowing());
    QCOMPARE(health.kpiTable()->rowCount(), 0);
    QVERIFY(w.form.showTab(QStringLiteral("health")));
    const int seizures = seizuresShown(health);
    QVERIFY2(seizures > 0, qPrintable(QString::number(seizures)));
    QVERIFY(health.circuitsTable()->model()->rowCount() > 0);

    // A circuit chosen stays chosen as the tab is shown anew.
    w.form.healthPane()->selectCircuit(3);
    const QModelIndex chosen = health.circuitsTable()->currentIndex();
    const auto code = chosen.siblingAtColumn(truno::window::CircuitListModel::CodeColumn).data().toUInt();
    appendUpTo(capture.messages.size());
    QTRY_COMPARE_WITH_TIMEOUT(w.form.log().messagesRead(), std::uint64_t{capture.messages.size()}, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w.form.statistics().messages(), std::uint64_t{capture.messages.size()}, 2000);
    QVERIFY(seizuresShown(health) > seizures);
    QCOMPARE(health.circuitsTable()->currentIndex().siblingAtColumn(truno::window::CircuitListModel::CodeColumn).data().toUInt(),
             code);

    // The calls counted while following are those once it ends: open calls included.
    const QString before = countsText(w);
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.action("stopFollowingAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(5000));
    QCOMPARE(countsText(w), before);
    QCOMPARE(w.form.statistics().messages(), std::uint64_t{capture.messages.size()});
}

QTEST_MAIN(FollowTest)
#include "FollowTest.moc"
