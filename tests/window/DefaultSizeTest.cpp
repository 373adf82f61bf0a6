// The window at the size it takes at first, on a full-HD screen: the texts of the statistics and
// health tabs show whole (the statistics' lines, the outcomes' legend, the circuits' columns).
#include "window/views/HealthView.h"
#include "window/views/StatisticsView.h"
#include "WindowFixture.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <string>

using namespace window_tests;

class DefaultSizeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textsShowWhole();
};

void DefaultSizeTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
    QSettings().clear();
    QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1920, 1080));
}

void DefaultSizeTest::textsShowWhole() {
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    // Answered calls, incomplete ones and one begun before the log: the longest outcome's name.
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    w.form.openFiles({sourcePath("tests/golden/isup-m3ua-calls-470.log"), sourcePath("tests/golden/address-numbers.log"),
                      sourcePath("tests/golden/unknown-codes.log")});
    QVERIFY(ended.wait(20000));

    QVERIFY(w.form.showTab(QStringLiteral("statistics")));
    const truno::window::StatisticsPane& statistics = *w.form.statisticsPane();
    QTRY_VERIFY(!statistics.outcomesLegend()->text().isEmpty());
    // The statistics' lines (the release causes' heading is 73 characters) are not cut.
    QCOMPARE(statistics.textView()->horizontalScrollBar()->maximum(), 0);
    // Each outcome is named whole with its count.
    const QLabel& legend = *statistics.outcomesLegend();
    for (const char* entry : {"answered (94)", "incomplete (2)", "begun-before-log (1)"})
        QVERIFY2(legend.text().contains(QLatin1String(entry)), entry);
    QTRY_VERIFY(legend.width() >= legend.sizeHint().width());
    const QChart& pie = *statistics.outcomesChart()->chart();
    QVERIFY(QFontMetrics(pie.titleFont()).horizontalAdvance(pie.title()) < statistics.outcomesChart()->width());

    // The circuits' columns, headings and contents, all in sight: a log of one switch, most of
    // its circuits busy at its end.
    QTemporaryDir dir;
    const std::string capture = readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log"));
    std::size_t cut = 0;
    for (int message = 0; message <= 300; ++message) cut = capture.find("\r\n\r\n", cut) + 4;
    const QString busy = dir.filePath(QStringLiteral("busy.log"));
    writeFile(busy, capture.substr(0, cut));
    w.form.openFiles({busy});
    QVERIFY(ended.wait(20000));
    QVERIFY(w.form.showTab(QStringLiteral("health")));
    w.form.healthPane()->selectCircuit(0);
    const QTableView& circuits = *w.form.healthPane()->circuitsTable();
    QTRY_VERIFY(circuits.isVisible() && circuits.model()->rowCount() > 50);
    QCOMPARE(circuits.horizontalScrollBar()->maximum(), 0);
    const QHeaderView& header = *circuits.horizontalHeader();
    for (int column = 0; column < circuits.model()->columnCount(); ++column) {
        if (circuits.isColumnHidden(column)) continue;
        const QString name = circuits.model()->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(header.sectionSize(column) >= header.sectionSizeHint(column), qPrintable(name));
        QVERIFY2(header.sectionSize(column) >= static_cast<const QAbstractItemView&>(circuits).sizeHintForColumn(column), qPrintable(name));
    }
}

QTEST_MAIN(DefaultSizeTest)
#include "DefaultSizeTest.moc"
