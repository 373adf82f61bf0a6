// The window decodes a regular file with several threads, as the command-line tool does: the
// report and every view must be those of one thread, whatever order the batches finish in.
#include "window/app/WindowActions.h"
#include "WindowFixture.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <string>
#include <vector>

using namespace window_tests;

namespace {

// Every row of every table and list the window shows, and the texts of its labels, with each tab
// shown in turn (a tab out of sight is drawn when it is chosen). The status bar's labels say
// how long the run took and are left out.
QStringList viewContents(MainWindow& form) {
    QStringList contents;
    for (const char* tab : truno::window::WindowActions::kTabNames) {
        form.showTab(QString::fromLatin1(tab));
        QCoreApplication::processEvents();
    }
    for (const QAbstractItemView* view : form.findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        if (model == nullptr) continue;
        contents << QStringLiteral("view %1: %2 rows").arg(view->objectName()).arg(model->rowCount());
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            contents << cells.join(QLatin1Char('|'));
        }
    }
    for (const QLabel* label : form.findChildren<QLabel*>())
        if (!form.statusBar()->isAncestorOf(label)) contents << label->objectName() + QStringLiteral(": ") + label->text();
    return contents;
}

struct Opened {
    std::string report;
    QStringList views;
    std::uint64_t messages = 0;
};

Opened openWith(unsigned jobs, const QStringList& paths) {
    WindowFixture w;
    w.form.setDecodeJobs(jobs);
    w.form.show();
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.form.openFiles(paths);
    if (ended.count() == 0 && !ended.wait(60000)) return {};
    if (!QTest::qWaitFor([&] { return w.form.filterSettled(); }, 20000)) return {};
    return {w.report(), viewContents(w.form), w.form.messages().size()};
}

// The log `source` with its messages repeated `times` over under its one page header.
std::string repeated(const std::string& source, int times) {
    const std::size_t header = source.find("\r\n\r\n") + 4;
    std::string log = source.substr(0, header);
    for (int k = 0; k < times; ++k) log += source.substr(header);
    return log;
}

}  // namespace

class ParallelRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
        QSettings().clear();
    }

    void sameReportAndViewsAsOneThread_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<std::uint64_t>("messages");
        // The files are made in the test's own folder (the source tree is not written to).
        static QTemporaryDir folder;
        const std::string log = readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log"));
        const QString large = folder.filePath(QStringLiteral("repeated.log"));
        writeFile(large, repeated(log, 6));
        const QString older = folder.filePath(QStringLiteral("switch.log.1"));
        const QString newer = folder.filePath(QStringLiteral("switch.log"));
        writeRotated(sourcePath("tests/golden/isup-m3ua-calls-470.log"), 300, older, newer);
        QTest::newRow("470-message capture log") << QStringList{sourcePath("tests/golden/isup-m3ua-calls-470.log")}
                                                 << std::uint64_t{470};
        // Many batches, so that the threads finish them out of order.
        QTest::newRow("the same six times over") << QStringList{large} << std::uint64_t{6 * 470};
        QTest::newRow("packet capture") << QStringList{sourcePath("tests/captures/isup-m3ua-calls-470.cap")}
                                        << std::uint64_t{470};
        QTest::newRow("two rotated parts as one log") << QStringList{older, newer} << std::uint64_t{470};
        QTest::newRow("unknown codes, not decoded records")
            << QStringList{sourcePath("tests/golden/unknown-codes.log")} << std::uint64_t{0};
    }

    void sameReportAndViewsAsOneThread() {
        QFETCH(QStringList, paths);
        QFETCH(std::uint64_t, messages);
        const Opened one = openWith(1, paths);
        QVERIFY(!one.report.empty());
        if (messages != 0) QCOMPARE(one.messages, messages);
        // The list holds a row per message, beside the other views' rows.
        QVERIFY(one.views.size() > static_cast<qsizetype>(one.messages));
        for (const unsigned jobs : {2U, 3U}) {
            const Opened several = openWith(jobs, paths);
            QCOMPARE(several.messages, one.messages);
            QVERIFY(several.report == one.report);
            for (qsizetype k = 0; k < std::min(one.views.size(), several.views.size()); ++k)
                QCOMPARE(several.views[k], one.views[k]);
            QCOMPARE(several.views.size(), one.views.size());
        }
    }
};

QTEST_MAIN(ParallelRunTest)
#include "ParallelRunTest.moc"
